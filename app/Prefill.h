// What the URL box shows when the window opens: an address taken from the
// clipboard when it looks like one, else "http://".
#pragma once

#include <optional>

#include "text/Text.h"

namespace plm::app {

// The clipboard rule: a text of at most config::MaxUrlLength characters,
// lower-cased and trimmed of spaces; taken only
// when longer than 7 characters, beginning with "http:" or "https:", and
// holding a "/" after the scheme; the box then gets everything before the
// last "/". nullopt when the text is not taken.
std::optional<Text> UrlFromClipboardText(TextView clipboardText);

// The start-up text of the URL box from the clipboard's text (empty when the
// clipboard holds no text or cannot be read).
Text InitialUrlText(TextView clipboardText);

}  // namespace plm::app

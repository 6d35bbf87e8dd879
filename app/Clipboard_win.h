// The clipboard's text, read once at start-up.
#pragma once

#include <windows.h>

#include "text/Text.h"

namespace plm::app {

// The clipboard's plain text in its Unicode form, or empty text when it
// holds none. Another program may hold the clipboard open for a moment:
// opening is retried for at most about 100 ms before giving up.
Text ReadClipboardText(HWND owner);

}  // namespace plm::app

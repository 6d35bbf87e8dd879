// The notices the Auto Setting command may show before the login page, in
// the window's language, with the host where the text says "{host}". The
// texts are the language table's (config/Languages.h).
#pragma once

#include <cstdint>

#include "config/Languages.h"
#include "text/Text.h"

namespace plm::config {

inline constexpr TextView HostPlaceholder = u"{host}";

// `text` with `host` in every place of "{host}". The host goes in as it
// is: a "{host}" inside it stays.
Text WithHost(TextView text, TextView host);

// In the language of `languageCode` (the design language for a code
// without a row).
inline Text PolicyNotice(std::int16_t languageCode, TextView host) {
    return WithHost(LanguageOf(languageCode).notices.policy, host);
}
inline Text BrowserNotice(std::int16_t languageCode, TextView host) {
    return WithHost(LanguageOf(languageCode).notices.browser, host);
}
inline Text ReloadNotice(std::int16_t languageCode, TextView host) {
    return WithHost(LanguageOf(languageCode).notices.reload, host);
}

}  // namespace plm::config

#include "app/Prefill.h"

#include "config/SiteUrl.h"

namespace plm::app {

std::optional<Text> UrlFromClipboardText(TextView clipboardText) {
    // Anything longer could never be accepted; a huge clipboard is not
    // even copied.
    if (clipboardText.size() > config::MaxUrlLength) return std::nullopt;
    Text s = TrimSpaces(ToLower(clipboardText));
    if (s.size() <= 7) return std::nullopt;
    if (!s.starts_with(u"http:") && !s.starts_with(u"https:")) return std::nullopt;
    // A scheme straight followed by a host ("http:host") has no "/" to cut
    // at; such a text is no address the box could use.
    const std::size_t lastSlash = s.rfind(u'/');
    if (lastSlash == Text::npos) return std::nullopt;
    s.resize(lastSlash);
    return s;
}

Text InitialUrlText(TextView clipboardText) {
    Text url;
    if (auto taken = UrlFromClipboardText(clipboardText)) url = *taken;
    if (TrimSpaces(url).empty()) url = u"http://";
    return url;
}

}  // namespace plm::app

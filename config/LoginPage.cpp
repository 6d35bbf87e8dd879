#include "config/LoginPage.h"

#include <cstddef>
#include <string>

namespace plm::config {
namespace {

constexpr TextView LoginPageName = u"login.aspx";

// "X:\..." or "\\server\...": a path the shell takes as it is.
bool IsFullPath(TextView path) {
    if (path.size() > 2 && path.starts_with(u"\\\\")) return true;
    if (path.size() < 3 || path[1] != u':' || path[2] != u'\\') return false;
    return (path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z');
}

constexpr TextView PageExtension = u".aspx";

bool NeedsEncoding(char32_t c) {
    return c == U'"' || c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

void AppendPercentEncoded(Text& out, TextView character) {
    static constexpr char16_t Hex[] = u"0123456789ABCDEF";
    // An unpaired surrogate has no UTF-8 form; it stands for U+FFFD.
    const bool lone = character.size() == 1 && IsSurrogate(character[0]);
    const std::string bytes = ToUtf8(lone ? TextView(u"\uFFFD") : character);
    for (char b : bytes) {
        auto byte = static_cast<unsigned char>(b);
        out.push_back(u'%');
        out.push_back(Hex[byte >> 4]);
        out.push_back(Hex[byte & 0x0F]);
    }
}

// The URL with the characters percent-encoded that must not reach the
// command line as they are.
Text EncodeForCommandLine(TextView url, const CodePage& codePage) {
    Text out;
    out.reserve(url.size());
    for (std::size_t i = 0; i < url.size();) {
        const TextView character = url.substr(i, CodePointAt(url, i).units);
        if (NeedsEncoding(character[0]) || !codePage.CanRepresent(character)) {
            AppendPercentEncoded(out, character);
        } else {
            out.append(character);
        }
        i += character.size();
    }
    return out;
}

}  // namespace

Text TrimAtNull(TextView text) { return Text(text.substr(0, text.find(u'\0'))); }

bool IsLoginWindowTitle(TextView title) { return title.starts_with(u"Login"); }

Text BuildLoginUrl(TextView urlText) {
    Text url = TrimSpaces(urlText);
    if (ToLower(url).find(PageExtension) != Text::npos) return url;
    if (url.empty() || url.back() != u'/') url.push_back(u'/');
    url.append(LoginPageName);
    return url;
}

Text BuildLaunchParameters(TextView loginUrl, const CodePage& codePage) {
    Text url = EncodeForCommandLine(loginUrl, codePage);
    // 2n backslashes before a quote stand for n backslashes and leave the
    // quote closing the argument; an odd run would turn it into a literal.
    std::size_t trailing = 0;
    while (trailing < url.size() && url[url.size() - 1 - trailing] == u'\\') ++trailing;
    url.append(trailing, u'\\');
    return u" \"" + url + u"\"";
}

Text InternetExplorerPath(reg::RegisterKey& registry, TextView programFiles) {
    Text registered = TrimSpaces(registry.GetStringValue(reg::LocalMachine, InternetExplorerAppPath, u"").value);
    if (registered.size() >= 2 && registered.front() == u'"' && registered.back() == u'"') {
        registered = registered.substr(1, registered.size() - 2);
    }
    if (IsFullPath(registered)) return registered;
    if (!IsFullPath(programFiles)) return {};
    Text path(programFiles);
    if (path.back() != u'\\') path += u'\\';
    return path + Text(InternetExplorerUnderProgramFiles);
}

}  // namespace plm::config

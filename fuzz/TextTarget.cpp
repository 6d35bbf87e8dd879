// Arbitrary UTF-16 text (two bytes a unit, low byte first) through the
// address rules with both stand-in code pages: validation, site root, site
// address, login URL and launch parameters.
//
// Invariants: nothing crashes; the site root overflows its 16-bit position
// (which the command shows as "Err:") only for a text of over 32,767
// characters; an accepted address is at most 2,083 characters long, has a scheme of http
// or https, and a non-empty host that passes the host rules and is a public
// suffix with one "." at its end exactly when without; the launch
// parameters hold only what the ANSI launch call carries and split by the
// Windows rules into exactly one argument; the URL box never takes more
// than 2,083 characters from the clipboard; any text, as a host, is or is
// not a public suffix without harm.
#include <cstddef>
#include <cstdint>

#include "app/Prefill.h"
#include "config/HostName.h"
#include "config/LoginPage.h"
#include "config/PublicSuffix.h"
#include "config/SiteUrl.h"
#include "fuzz/Check.h"
#include "tests/support/CommandLine.h"
#include "text/CodePage.h"

namespace {

using namespace plm;

void CheckWith(const Text& text, const CodePage& codePage) {
    const bool accepted = config::IsValidSiteUrl(text, codePage);
    const std::string shown = ToUtf8(text);
    PLM_CHECK(!accepted || TrimSpaces(text).size() <= config::MaxUrlLength, shown);
    static_cast<void>(config::IsPublicSuffix(text));

    const Text parameters = config::BuildLaunchParameters(config::BuildLoginUrl(text), codePage);
    PLM_CHECK(codePage.CanRepresent(parameters), shown);
    const std::vector<Text> args = test::SplitCommandLine(u"\"C:\\iexplore.exe\"" + parameters);
    PLM_CHECK(args.size() == 2, shown);

    const Text root = config::GetSiteRoot(text);
    PLM_CHECK(!config::SiteRootOverflows(text) || text.size() > 32767, shown);
    if (!accepted || config::SiteRootOverflows(text)) return;
    const config::SiteAddress site = config::ParseSiteAddress(root);
    PLM_CHECK(EqualsNoCase(site.Scheme, u"http") || EqualsNoCase(site.Scheme, u"https"), shown);
    PLM_CHECK(!site.Host.empty() && config::IsAcceptableHost(site.Host, codePage), shown);
    if (site.Host.back() != u'.') {
        PLM_CHECK(config::IsPublicSuffix(site.Host) == config::IsPublicSuffix(site.Host + u"."), shown);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Text text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    static const Latin1CodePage latin1;
    static const Utf8CodePage utf8;
    CheckWith(text, latin1);
    CheckWith(text, utf8);
    const auto prefilled = app::UrlFromClipboardText(text);
    PLM_CHECK(!prefilled || prefilled->size() <= config::MaxUrlLength, ToUtf8(text));
    return 0;
}

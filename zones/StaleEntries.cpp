#include "zones/StaleEntries.h"

#include <cstddef>
#include <cstdint>
#include <exception>

#include "zones/ZoneMap.h"

namespace plm::zones {

namespace {

constexpr reg::HKEY Root = reg::CurrentUser;

// Runs one step of the removal. A failure inside it abandons that step only;
// the removal goes on with the next one.
template <typename Step>
void ResumeNext(Step&& step) noexcept {
    try {
        step();
    } catch (const RunTimeError&) {
    } catch (const std::exception&) {
    }
}

// 1-based position where the host starts, or 0 for a text of spaces only.
// Positions count from where the scheme starts, so leading spaces move
// nothing: the host starts after the "//" that directly follows the scheme's
// ":". A text without "scheme://" is read as a bare host (and optional port
// and path) starting at its first character that is not a space.
std::int32_t HostStart(TextView siteRoot) {
    const std::size_t first = siteRoot.find_first_not_of(u' ');
    if (first == TextView::npos) return 0;
    const auto schemeStart = static_cast<std::int32_t>(first) + 1;
    const std::int32_t colon = InStr(siteRoot, u":", schemeStart);
    if (colon > 0 && siteRoot.substr(static_cast<std::size_t>(colon), 2) == u"//") return colon + 3;
    return schemeStart;
}

}  // namespace

void RemoveWrongKey(reg::RegisterKey& registry, Text siteRoot) {
    Text& text = siteRoot;  // our own copy: the caller's text stays as it was

    // A port is a ":" at or after the start of the host. The scheme's own
    // ":" comes before it, however many spaces lead the text, so an address
    // without a port never gets here: its entries are left alone.
    const std::int32_t hostStart = HostStart(text);
    if (hostStart < 1 || InStrRev(text, u":") < hostStart) return;

    // The first label: from the host start up to the host's first ".". A
    // host without "." has none (the negative cut fails, the label stays
    // empty).
    const std::int32_t dot = InStr(text, u".", hostStart);
    Text firstLabel;
    ResumeNext([&] { firstLabel = Mid(text, hostStart, dot - hostStart); });

    // The stale key: what follows the first label and its ".", port
    // included (p.q.r:n gives q.r:n); the whole host and port when there is
    // no ".".
    ResumeNext([&] { text = dot > 0 ? Mid(text, dot + 1) : Mid(text, hostStart); });

    // A text that still carries a path keeps it up to and including its
    // first "/".
    ResumeNext([&] {
        const std::int32_t slash = InStr(text, u"/");
        if (slash >= 2) text = Left(text, slash);
    });

    // The first-label sub-key goes first, then the stale key itself, which
    // only goes when nothing else is below it. Opening the parent creates a
    // missing stale key, and the second pair of deletions removes it again.
    ResumeNext([&] { registry.DeleteKey(Root, Text(DomainsKey) + u'\\' + text, firstLabel); });
    ResumeNext([&] { registry.DeleteKey(Root, Text(EscDomainsKey) + u'\\' + text, firstLabel); });
    ResumeNext([&] { registry.DeleteKey(Root, DomainsKey, text); });
    ResumeNext([&] { registry.DeleteKey(Root, EscDomainsKey, text); });
}

}  // namespace plm::zones

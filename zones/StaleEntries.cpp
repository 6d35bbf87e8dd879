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

// Where the host starts and from where on a ":" counts as a port, 1-based.
// Positions count from where the scheme starts, so leading spaces move
// nothing. After "scheme://" the host starts right behind the "//", and any
// ":" from there on is a port. A text without "//" behind its scheme is read
// as a bare host from its first character that is not a space; as there is
// no host start to tell a scheme's ":" from a port's, its ":" counts only
// from the 10th character on, beyond where "http:" or "https:" can end.
struct HostPosition {
    std::int32_t start = 0;  // 0: a text of spaces only
    std::int32_t portFrom = 0;
};

HostPosition FindHost(TextView siteRoot) {
    const std::size_t first = siteRoot.find_first_not_of(u' ');
    if (first == TextView::npos) return {};
    const auto schemeStart = static_cast<std::int32_t>(first) + 1;
    const std::int32_t colon = InStr(siteRoot, u":", schemeStart);
    if (colon > 0 && siteRoot.substr(static_cast<std::size_t>(colon), 2) == u"//") return {colon + 3, colon + 3};
    return {schemeStart, schemeStart + 9};
}

}  // namespace

void RemoveWrongKey(reg::RegisterKey& registry, Text siteRoot) {
    Text& text = siteRoot;  // our own copy: the caller's text stays as it was

    // A port is a ":" at or after the start of the host. The scheme's own
    // ":" comes before it, however many spaces lead the text, so an address
    // without a port never gets here: its entries are left alone.
    const HostPosition host = FindHost(text);
    if (host.start < 1 || InStrRev(text, u":") < host.portFrom) return;
    const std::int32_t hostStart = host.start;

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

#include "zones/StaleEntries.h"

#include <cstddef>
#include <cstdint>
#include <exception>

#include "zones/ZoneMap.h"

namespace plm::zones {

namespace {

// Runs one deletion of the removal. A failure inside it abandons that
// deletion only; the removal goes on with the next one. Its status is not
// looked at: a key that is not there is the usual case.
template <typename Step>
void ResumeNext(Step&& step) noexcept {
    try {
        static_cast<void>(step());
    } catch (const std::exception&) {
    }
}

// From where on a ":" counts as a port, 1-based. Positions count from where
// the scheme starts, so leading spaces move nothing. After "scheme://" any
// ":" from the host start on is a port. A text without "//" behind its
// scheme has no host start to tell a scheme's ":" from a port's: its ":"
// counts only from the 10th character on, beyond where "http:" or "https:"
// can end.
std::int32_t PortFrom(const HostStart& host) { return host.afterScheme ? host.position : host.position + 9; }

}  // namespace

void RemoveWrongKey(reg::RegisterKey& registry, Text siteRoot) {
    Text& text = siteRoot;  // our own copy: the caller's text stays as it was

    // A port is a ":" at or after the start of the host. The scheme's own
    // ":" comes before it, however many spaces lead the text, so an address
    // without a port never gets here: its entries are left alone.
    const HostStart host = FindHostStart(text);
    if (host.position < 1 || InStrRev(text, u":") < PortFrom(host)) return;
    const std::int32_t hostStart = host.position;

    // The first label: from the host start up to the host's first ".". A
    // host without "." has none (the negative cut fails, the label stays
    // empty).
    const std::int32_t dot = InStr(text, u".", hostStart);
    const Text firstLabel = Mid(text, hostStart, dot - hostStart).value_or(Text());

    // The stale key: what follows the first label and its ".", port
    // included (p.q.r:n gives q.r:n); the whole host and port when there is
    // no ".".
    text = (dot > 0 ? Mid(text, dot + 1) : Mid(text, hostStart)).value_or(text);

    // A text that still carries a path keeps it up to and including its
    // first "/".
    if (const std::int32_t slash = InStr(text, u"/"); slash >= 2) text.resize(static_cast<std::size_t>(slash));

    // The first-label sub-key goes first, then the stale key itself, which
    // only goes when nothing else is below it. Opening the parent creates a
    // missing stale key, and the second pair of deletions removes it again.
    ResumeNext([&] { return registry.DeleteKey(reg::CurrentUser, Text(DomainsKey) + u'\\' + text, firstLabel); });
    ResumeNext([&] { return registry.DeleteKey(reg::CurrentUser, Text(EscDomainsKey) + u'\\' + text, firstLabel); });
    ResumeNext([&] { return registry.DeleteKey(reg::CurrentUser, DomainsKey, text); });
    ResumeNext([&] { return registry.DeleteKey(reg::CurrentUser, EscDomainsKey, text); });
}

}  // namespace plm::zones

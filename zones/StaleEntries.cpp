#include "zones/StaleEntries.h"

#include <cstddef>
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

}  // namespace

std::optional<StaleEntry> StaleEntryOf(const SiteAddress& site) {
    const TextView text = site.Root;
    const std::size_t hostStart = site.HostStart;

    // A port is a ":" at or after the start of the host. The scheme's own
    // ":" comes before it, however many spaces lead the text, so an address
    // without a port never gets here: its entries are left alone. A text
    // without "//" behind its scheme has no host start to tell a scheme's
    // ":" from a port's: its ":" counts only from the 10th character on,
    // counted from where the scheme starts, beyond where "http:" or "https:"
    // can end.
    const std::size_t portFrom = site.AfterScheme ? hostStart : hostStart + 9;
    const std::size_t lastColon = text.rfind(u':');
    if (lastColon == TextView::npos || lastColon < portFrom) return std::nullopt;

    // The first label: from the host start up to the host's first ".". A
    // host without "." has none.
    StaleEntry entry;
    const std::size_t dot = text.find(u'.', hostStart);
    if (dot != TextView::npos) entry.firstLabel = Text(text.substr(hostStart, dot - hostStart));

    // The stale key: what follows the first label and its ".", port
    // included (p.q.r:n gives q.r:n); the whole host and port when there is
    // no ".".
    entry.key = Text(text.substr(dot != TextView::npos ? dot + 1 : hostStart));

    // A text that still carries a path keeps it up to and including its
    // first "/".
    if (const std::size_t slash = entry.key.find(u'/'); slash != Text::npos && slash >= 1) entry.key.resize(slash + 1);
    return entry;
}

void RemoveWrongKey(reg::RegisterKey& registry, const SiteAddress& site) {
    const std::optional<StaleEntry> stale = StaleEntryOf(site);
    if (!stale) return;
    const Text& text = stale->key;
    const Text& firstLabel = stale->firstLabel;

    // The first-label sub-key goes first, then the stale key itself, which
    // only goes when nothing else is below it. Opening the parent creates a
    // missing stale key, and the second pair of deletions removes it again.
    ResumeNext([&] { return registry.DeleteKey(reg::CurrentUser, Text(DomainsKey) + u'\\' + text, firstLabel); });
    ResumeNext([&] { return registry.DeleteKey(reg::CurrentUser, Text(EscDomainsKey) + u'\\' + text, firstLabel); });
    ResumeNext([&] { return registry.DeleteKey(reg::CurrentUser, DomainsKey, text); });
    ResumeNext([&] { return registry.DeleteKey(reg::CurrentUser, EscDomainsKey, text); });
}

}  // namespace plm::zones

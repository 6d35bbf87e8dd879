#include "zones/StaleEntries.h"

#include <cstddef>

#include "zones/ZoneMap.h"

namespace plm::zones {

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

reg::Status RemoveWrongKey(reg::RegisterKey& registry, const SiteAddress& site) {
    const std::optional<StaleEntry> stale = StaleEntryOf(site);
    if (!stale) return {};
    const Text& text = stale->key;
    const Text& firstLabel = stale->firstLabel;

    // The first-label sub-key goes first, then the stale key itself, which
    // only goes when nothing else is below it. Opening the parent creates a
    // missing stale key, and the second pair of deletions removes it again.
    // A failing deletion does not stop the next one; a key that is not
    // there is the usual case and no failure.
    reg::Status failure;
    const auto remove = [&](const Text& parent, const Text& name) {
        const reg::Status deleted = registry.DeleteKey(reg::CurrentUser, parent, name);
        if (deleted != reg::ErrorFileNotFound) failure.KeepFirstFailure(deleted);
    };
    remove(Text(DomainsKey) + u'\\' + text, firstLabel);
    remove(Text(EscDomainsKey) + u'\\' + text, firstLabel);
    remove(Text(DomainsKey), text);
    remove(Text(EscDomainsKey), text);
    return failure;
}

}  // namespace plm::zones

#include "zones/TrustedSite.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "zones/ZoneMap.h"

namespace plm::zones {

namespace {

constexpr reg::HKEY Root = reg::CurrentUser;
constexpr std::int32_t ErrorInvalidData = 13;

Text JoinPath(TextView parent, TextView child) {
    Text path(parent);
    path += u'\\';
    path += child;
    return path;
}

Text SlotName(std::int64_t number) { return Text(RangeSlotPrefix) + DecimalText(number); }

// One (address, scheme) mapping of a range list, with the zone it maps to.
// No zone: none of the address's slots mapped a scheme, and the address
// comes back on its own.
struct RangePair {
    Text address;
    Text scheme;
    std::optional<std::int32_t> zone;
};

// Each address maps each scheme once. The registry takes "HTTP" and "http"
// for one value, so schemes compare without letter case; the first mapping
// collected stays: the registered site's, then the earliest slot's. An
// address that stood alone so far gives its place to its first mapping.
void Collect(std::vector<RangePair>& pairs, RangePair pair) {
    for (RangePair& known : pairs) {
        if (known.address != pair.address) continue;
        if (!known.zone) {
            known = std::move(pair);
            return;
        }
        if (EqualsNoCase(known.scheme, pair.scheme)) return;
    }
    pairs.push_back(std::move(pair));
}

void CollectAddressAlone(std::vector<RangePair>& pairs, const Text& address) {
    for (const RangePair& known : pairs) {
        if (known.address == address) return;
    }
    pairs.push_back({address, Text(HttpScheme), std::nullopt});
}

// Every REG_DWORD of an earlier slot maps a scheme, whoever wrote it, and
// is carried over with its zone: rebuilding the list must not move another
// address into a different zone (a site put into Restricted Sites stays
// there). The slot's own scheme comes first ("https" when its https value is
// above 0, "http" otherwise), then the other of the two, then the rest by
// name, so the order does not depend on how the registry lists values.
// The status is that of the read that failed when the slot cannot be read
// whole: then it is left as it is.
// Whether a slot's values are out of all proportion or its address is not
// text: then its data is not copied (a 1 MB binary ":Range" would come back
// as a 1 MB string, 3,000 values one by one).
bool IsPlantedSlot(const std::vector<reg::ValueEntry>& values) {
    return values.size() > MostRangeSlotValues ||
           std::any_of(values.begin(), values.end(), [](const reg::ValueEntry& value) {
               return EqualsNoCase(value.name, RangeAddressValue) && value.type != reg::TypeString;
           });
}

// `root` is the key the path starts from: the zone map's root, or a range
// list (a key of any name in it takes more than the ANSI calls' 260
// characters as a path from the root).
reg::Result<std::vector<RangePair>> SlotMappings(reg::RegisterKey& registry, const Text& readPath,
                                                 const Text& address, reg::HKEY root = Root) {
    std::vector<RangePair> mappings;
    const auto values = registry.EnumValues(root, readPath);
    if (!values.status.ListingComplete()) return {{}, values.status};
    if (IsPlantedSlot(values.value)) return {{}, ErrorInvalidData};
    for (const reg::ValueEntry& value : values.value) {
        if (value.type != reg::TypeDword || EqualsNoCase(value.name, RangeAddressValue)) continue;
        const auto zone = registry.GetDwordValue(root, readPath, value.name);
        if (zone.status.Failed()) return {{}, zone.status};
        mappings.push_back({address, value.name, zone.value});
    }
    const bool httpsSlot = std::any_of(mappings.begin(), mappings.end(), [](const RangePair& m) {
        return EqualsNoCase(m.scheme, HttpsScheme) && *m.zone > 0;
    });
    const auto rank = [&](const RangePair& m) {
        if (EqualsNoCase(m.scheme, httpsSlot ? HttpsScheme : HttpScheme)) return 0;
        if (EqualsNoCase(m.scheme, httpsSlot ? HttpScheme : HttpsScheme)) return 1;
        return 2;
    };
    std::sort(mappings.begin(), mappings.end(), [&](const RangePair& a, const RangePair& b) {
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        return ToUpper(a.scheme) < ToUpper(b.scheme);
    });
    return {std::move(mappings), reg::Success};
}

// The address a range slot holds, trimmed. The status is Success also when
// the slot or its ":Range" is not there (no address: nothing to leave
// alone); else that of the read that failed, when no address came of it.
reg::Result<Text> SlotAddress(reg::RegisterKey& registry, const Text& slotPath, reg::HKEY root = Root) {
    const auto stored = registry.GetStringValue(root, slotPath, RangeAddressValue);
    Text address = TrimSpaces(stored.value);
    const bool unread = address.empty() && stored.status.Failed() && stored.status != reg::ErrorFileNotFound;
    return {std::move(address), unread ? stored.status : reg::Status()};
}

// A planted slot (IsPlantedSlot) is not written into. A key that still
// holds a REG_DWORD maps schemes for some address (a slot
// whose address is blank, or one past slot 100, which is never read); a
// pair written into it would take those mappings over. So would one whose
// values cannot all be listed. A key with sub-keys cannot be deleted by the
// next run, which would then find the pair there and write it once more.
// A key that does not exist is free.
bool HoldsMapping(reg::RegisterKey& registry, const Text& slotPath) {
    const auto values = registry.EnumValues(Root, slotPath);
    if (!values.status.ListingComplete()) return values.status != reg::ErrorFileNotFound;
    if (IsPlantedSlot(values.value)) return true;
    if (std::any_of(values.value.begin(), values.value.end(),
                    [](const reg::ValueEntry& value) { return value.type == reg::TypeDword; })) {
        return true;
    }
    const auto subKeys = registry.EnumKeys(Root, slotPath);
    return !subKeys.value.empty() || !subKeys.status.ListingComplete();
}

}  // namespace

namespace {

// Deletes the slot "Range" + address from Ranges and EscRanges.
void RemoveFixedRangeKey(reg::RegisterKey& registry, TextView address) {
    // A slot that is not there, or will not go, is nothing to report.
    const Text slot = Text(RangeSlotPrefix) + Text(address);
    static_cast<void>(registry.DeleteKey(Root, RangesKey, slot));
    static_cast<void>(registry.DeleteKey(Root, EscRangesKey, slot));
}

// The entry's key with the scheme value 2; the first failing write goes
// into `failure`.
Text WriteEntry(reg::RegisterKey& registry, Text entry, TextView scheme, reg::Status& failure) {
    failure.KeepFirstFailure(registry.CreateKey(Root, entry).status);
    failure.KeepFirstFailure(registry.SetDwordValue(Root, entry, scheme, TrustedSitesZone));
    return entry;
}

// Whether the entry holds what the registration wrote there: the scheme
// value 2 and, for a range slot, the address. Success when it does; else
// the status of the read that found it missing, or ERROR_INVALID_DATA for
// data other than written.
reg::Status ReadBack(reg::RegisterKey& registry, const Text& entry, TextView scheme,
                                     std::optional<TextView> address) {
    if (address) {
        const auto stored = registry.GetStringValue(Root, entry, RangeAddressValue);
        if (stored.value.empty() && stored.status.Failed()) return stored.status;
        if (stored.value != *address) return ErrorInvalidData;
    }
    const auto zone = registry.GetDwordValue(Root, entry, scheme);
    if (zone.status.Failed()) return zone.status;
    if (zone.value != TrustedSitesZone) return ErrorInvalidData;
    return {};
}

// Whether a key of the range list still maps the site's scheme to a zone
// other than 2: a slot the rebuild had to leave as it was, one past slot
// 100, or a key not named as a slot, which the browser reads as a range
// entry all the same. Then the site would stand in two zones. Success when
// no key does; else the status of the call that kept that slot from being
// rebuilt (ERROR_INVALID_DATA when none did), or that of a read that could
// not tell.
reg::Status MapsSiteElsewhere(reg::RegisterKey& registry, TextView listPath, TextView scheme, TextView host,
                              const RangeRebuild& rebuild) {
    const auto names = registry.EnumKeys(Root, listPath);
    if (!names.status.ListingComplete()) return names.status;
    // Each key is read from the list itself: a name may be as long as the
    // registry allows.
    const auto list = registry.CreateKey(Root, listPath);
    if (list.status.Failed()) return list.status;
    for (const Text& name : names.value) {
        const auto address = SlotAddress(registry, name, list.value.Get());
        if (address.status.Failed()) return address.status;
        if (address.value != host) continue;
        const auto mappings = SlotMappings(registry, name, address.value, list.value.Get());
        if (mappings.status.Failed()) return mappings.status;
        const bool elsewhere = std::any_of(mappings.value.begin(), mappings.value.end(), [&](const RangePair& m) {
            return EqualsNoCase(m.scheme, scheme) && *m.zone != TrustedSitesZone;
        });
        if (!elsewhere) continue;
        for (std::size_t n = 1; n < rebuild.kept.size(); ++n) {
            if (rebuild.kept[n].Failed() && EqualsNoCase(name, SlotName(static_cast<std::int64_t>(n)))) return rebuild.kept[n];
        }
        return ErrorInvalidData;
    }
    return {};
}

}  // namespace

Text DomainEntryPath(TextView listPath, const SiteAddress& site) {
    if (site.Labels.size() < 3) return JoinPath(listPath, site.Host);
    const TextView host = site.Host;
    const std::size_t firstLabel = site.Labels.front().size();
    return JoinPath(JoinPath(listPath, host.substr(firstLabel + 1)), host.substr(0, firstLabel));
}

RangeRebuild AddRangeKey(reg::RegisterKey& registry, TextView listPath, TextView scheme, TextView host) {
    std::vector<RangePair> pairs;
    pairs.push_back({Text(host), Text(scheme), TrustedSitesZone});

    // Every one of the first 100 slots is visited: lists written by hand or
    // by other tools have gaps. A slot without an address is not ours to
    // touch and stays as it is.
    // A slot the registry will not let us read whole, or delete, is left
    // alone too, and nothing is written into it: what it holds stays where
    // it is.
    RangeRebuild rebuild;
    rebuild.kept.assign(RangeSlotsRead + 1, reg::Status());
    Text readPath = JoinPath(listPath, RangeSlotPrefix);
    const std::size_t numberAt = readPath.size();
    for (std::int32_t n = 1; n <= RangeSlotsRead; ++n) {
        // list\RangeN\, built in place: most slots are empty, and a run
        // reads a hundred of them in each list.
        readPath.resize(numberAt);
        readPath += DecimalText(n);
        readPath += u'\\';
        const auto slot = static_cast<std::size_t>(n);
        const auto address = SlotAddress(registry, readPath);
        if (address.status.Failed()) rebuild.kept[slot] = address.status;
        if (address.value.empty()) continue;
        const auto mappings = SlotMappings(registry, readPath, address.value);
        if (mappings.status.Failed()) {
            rebuild.kept[slot] = mappings.status;
            continue;
        }
        // A slot that will not go (it has sub-keys, or the delete is refused)
        // is not copied either: its mappings would stand twice, and once more
        // with every run. Gone already, it is written back like the others.
        const reg::Status deleted = registry.DeleteKey(Root, listPath, SlotName(n));
        if (deleted.Failed() && deleted != reg::ErrorFileNotFound) {
            rebuild.kept[slot] = deleted;
            continue;
        }
        if (mappings.value.empty()) CollectAddressAlone(pairs, address.value);
        for (const RangePair& mapping : mappings.value) Collect(pairs, mapping);
    }

    // Written back in list order, the registered site first, each pair into
    // the next slot that holds no mapping; past slot 100 the same way. A
    // failing write stops nothing: every earlier address is written back.
    std::int32_t n = 0;
    for (const RangePair& pair : pairs) {
        Text slotPath;
        do {
            slotPath = JoinPath(listPath, SlotName(++n));
        } while ((n <= RangeSlotsRead && rebuild.kept[static_cast<std::size_t>(n)].Failed()) ||
                 HoldsMapping(registry, slotPath));
        reg::Status failure;
        failure.KeepFirstFailure(registry.CreateKey(Root, slotPath).status);
        failure.KeepFirstFailure(registry.SetStringValue(Root, slotPath, RangeAddressValue, pair.address));
        if (pair.zone) failure.KeepFirstFailure(registry.SetDwordValue(Root, slotPath, pair.scheme, *pair.zone));
        if (rebuild.siteSlot == 0) {
            rebuild.siteSlot = n;
            rebuild.siteFailure = failure;
        } else {
            rebuild.otherFailure.KeepFirstFailure(failure);
        }
    }
    return rebuild;
}

bool ZoneMapCanHold(TextView host, const CodePage& codePage) {
    // A sub-domain entry (EscDomains\q.r\p) is as long as the domain entry
    // of the whole host (EscDomains\p.q.r); range slots are short.
    const auto path = codePage.ToAnsi(JoinPath(EscDomainsKey, host));
    return path && path->size() <= reg::MaxAnsiSubKeyPath;
}

reg::Status AddTrustedSite(reg::RegisterKey& registry, const SiteAddress& site) {
    RemoveFixedRangeKey(registry, ObsoleteRangeAddress);
    const TextView scheme = site.Scheme;
    const TextView host = site.Host;
    const bool numeric = site.Numeric;

    // The site's entry in the normal list and in its twin, each checked
    // after both are written.
    std::vector<Text> entries;
    std::vector<std::pair<TextView, RangeRebuild>> rebuilds;
    reg::Status siteFailure;
    reg::Status otherFailure;
    for (const auto& [domains, ranges] : {std::pair{DomainsKey, RangesKey}, std::pair{EscDomainsKey, EscRangesKey}}) {
        if (numeric) {
            const RangeRebuild rebuild = AddRangeKey(registry, ranges, scheme, host);
            entries.push_back(JoinPath(ranges, SlotName(rebuild.siteSlot)));
            siteFailure.KeepFirstFailure(rebuild.siteFailure);
            otherFailure.KeepFirstFailure(rebuild.otherFailure);
            rebuilds.emplace_back(ranges, rebuild);
        } else {
            entries.push_back(WriteEntry(registry, DomainEntryPath(domains, site), scheme, siteFailure));
        }
    }
    if (siteFailure.Failed()) return siteFailure;
    for (const Text& entry : entries) {
        const reg::Status fault = ReadBack(registry, entry, scheme, numeric ? std::optional<TextView>(host) : std::nullopt);
        if (fault.Failed()) return fault;
    }
    for (const auto& [ranges, rebuild] : rebuilds) {
        const reg::Status fault = MapsSiteElsewhere(registry, ranges, scheme, host, rebuild);
        if (fault.Failed()) return fault;
    }
    return otherFailure;
}

}  // namespace plm::zones

#include "zones/Policy.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "zones/ZoneMap.h"

namespace plm::zones {

namespace {

using reg::ValueEntry;

// ---- the names of a Site to Zone Assignment List ----

bool IsDigitsAndDots(TextView s) {
    if (s.empty()) return false;
    for (const char16_t c : s) {
        if (!IsAsciiDigit(c) && c != u'.') return false;
    }
    return true;
}

// "10.1.2.1-10.1.2.50" stands for the addresses in between, not for a name.
bool IsAddressRange(TextView name) {
    const std::size_t dash = name.find(u'-');
    return dash != TextView::npos && IsDigitsAndDots(name.substr(0, dash)) && IsDigitsAndDots(name.substr(dash + 1));
}

// The host itself, or a domain the host lies in ("example.com" for
// "plm.example.com", not for "badexample.com"). A numeric host has no
// parent domains: only its own address names it.
bool NamesHost(TextView name, const SiteAddress& site) {
    const TextView host = site.Host;
    if (name.empty()) return false;
    if (site.Numeric) return name == host;
    if (EqualsNoCase(name, host)) return true;
    if (name.size() >= host.size()) return false;
    const std::size_t at = host.size() - name.size();
    return host[at - 1] == u'.' && EqualsNoCase(host.substr(at), name);
}

bool PolicyNameCovers(TextView name, const SiteAddress& site) {
    TextView rest = name;
    if (const std::size_t separator = rest.find(u"://"); separator != TextView::npos) {
        const TextView named = rest.substr(0, separator);
        if (named != AnyScheme && !EqualsNoCase(named, site.Scheme)) return false;
        rest.remove_prefix(separator + 3);
    }
    if (rest.substr(0, 2) == u"*.") rest.remove_prefix(2);
    // A port or a path narrows the entry to part of a site; the browser
    // does not take such names for a whole host, so neither do we.
    if (rest.find_first_of(u":/") != TextView::npos || IsAddressRange(rest)) return false;
    return NamesHost(rest, site);
}

// The policy stores the zone as text; a REG_DWORD counts as well.
bool HoldsTrustedZone(reg::RegisterKey& registry, reg::HKEY root, TextView keyPath, const ValueEntry& value) {
    if (value.type == reg::TypeString) {
        return TrimSpaces(registry.GetStringValue(root, keyPath, value.name).value) == DecimalText(TrustedSitesZone);
    }
    // A value that cannot be read reads as 0, no zone.
    return value.type == reg::TypeDword && registry.GetDwordValue(root, keyPath, value.name).value == TrustedSitesZone;
}

// A policy list is in force when it names at least one site: an empty key,
// as a lifted policy may leave it behind, assigns nothing.
std::vector<ValueEntry> PolicyList(reg::RegisterKey& registry, reg::HKEY root) {
    return registry.EnumValues(root, PolicyZoneMapKey).value;
}

bool PolicyListCovers(reg::RegisterKey& registry, reg::HKEY root, const std::vector<ValueEntry>& list,
                      const SiteAddress& site) {
    for (const ValueEntry& entry : list) {
        if (PolicyNameCovers(entry.name, site) && HoldsTrustedZone(registry, root, PolicyZoneMapKey, entry)) {
            return true;
        }
    }
    return false;
}

// ---- the machine's own zone map ----

constexpr reg::HKEY Machine = reg::LocalMachine;

// A zone-map key maps the scheme to Trusted Sites: a REG_DWORD named after
// the scheme, or "*", holding 2.
bool MapsToTrustedSites(reg::RegisterKey& registry, TextView keyPath, TextView scheme) {
    for (const ValueEntry& value : registry.EnumValues(Machine, keyPath).value) {
        if (value.type != reg::TypeDword || (value.name != AnyScheme && !EqualsNoCase(value.name, scheme))) continue;
        if (registry.GetDwordValue(Machine, keyPath, value.name).value == TrustedSitesZone) return true;
    }
    return false;
}

Text Joined(const std::vector<Text>& labels, std::size_t from, std::size_t to) {
    Text out;
    for (std::size_t i = from; i < to; ++i) {
        if (i > from) out += u'.';
        out += labels[i];
    }
    return out;
}

// A domain entry names "domain" by a key of that name, and "sub.domain" by
// a sub-key "sub" below "domain" (the tool writes p.q.r as q.r\p); a sub-key
// "*" or "*.sub" stands for the names below. Every such key that can name
// the host or one of its parent domains is looked at.
bool MachineDomainsCover(reg::RegisterKey& registry, const SiteAddress& site) {
    const TextView scheme = site.Scheme;
    const std::vector<Text>& labels = site.Labels;
    for (std::size_t first = 0; first < labels.size(); ++first) {
        for (std::size_t split = first; split < labels.size(); ++split) {
            const Text domain = Joined(labels, split, labels.size());
            if (domain.empty()) continue;
            const Text domainKey = Text(DomainsKey) + u'\\' + domain;
            if (split == first) {
                if (MapsToTrustedSites(registry, domainKey, scheme) ||
                    MapsToTrustedSites(registry, domainKey + u"\\*", scheme)) {
                    return true;
                }
                continue;
            }
            const Text sub = Joined(labels, first, split);
            Text subKey = domainKey;
            subKey += u'\\';
            const std::size_t nameAt = subKey.size();
            subKey += sub;
            if (MapsToTrustedSites(registry, subKey, scheme)) return true;
            subKey.insert(nameAt, u"*.");
            if (MapsToTrustedSites(registry, subKey, scheme)) return true;
        }
    }
    return false;
}

// The range slots read are the ones the registration reads: 1 to 100.
bool MachineRangesCover(reg::RegisterKey& registry, const SiteAddress& site) {
    const TextView scheme = site.Scheme;
    const TextView host = site.Host;
    for (std::int32_t n = 1; n <= RangeSlotsRead; ++n) {
        const Text slot = Text(RangesKey) + u'\\' + Text(RangeSlotPrefix) + DecimalText(n);
        if (TrimSpaces(registry.GetStringValue(Machine, slot, RangeAddressValue).value) != host) continue;
        if (MapsToTrustedSites(registry, slot, scheme)) return true;
    }
    return false;
}

bool MachineSettingsOnly(reg::RegisterKey& registry) {
    return registry.GetDwordValue(Machine, PolicySettingsKey, MachineSettingsOnlyValue).value == 1;
}

}  // namespace

bool PolicyLeavesOut(reg::RegisterKey& registry, const SiteAddress& site) {
    // The computer policy's list wins over everything else, the user
    // policy's list only counts where the machine's settings do not rule.
    if (const auto list = PolicyList(registry, reg::LocalMachine); !list.empty()) {
        return !PolicyListCovers(registry, reg::LocalMachine, list, site);
    }
    if (MachineSettingsOnly(registry)) {
        return site.Numeric ? !MachineRangesCover(registry, site) : !MachineDomainsCover(registry, site);
    }
    if (const auto list = PolicyList(registry, reg::CurrentUser); !list.empty()) {
        return !PolicyListCovers(registry, reg::CurrentUser, list, site);
    }
    return false;
}

}  // namespace plm::zones

#include "zones/TrustedSite.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "zones/ZoneMap.h"

namespace plm::zones {

namespace {

constexpr reg::HKEY Root = reg::CurrentUser;

Text JoinPath(TextView parent, TextView child) {
    Text path(parent);
    path += u'\\';
    path += child;
    return path;
}

Text SlotName(std::int64_t number) { return Text(RangeSlotPrefix) + DecimalText(number); }

// One (address, scheme) mapping of a range list, with the zone it maps to.
// No zone: the slot it came from held no value for that scheme, so none is
// written back.
struct RangePair {
    Text address;
    Text scheme;
    std::optional<std::int32_t> zone;
};

// Pairs are told apart by exact text, letter case included.
void AppendIfNew(std::vector<RangePair>& pairs, RangePair pair) {
    for (const auto& known : pairs) {
        if (known.address == pair.address && known.scheme == pair.scheme) return;
    }
    pairs.push_back(std::move(pair));
}

// The mappings an earlier slot holds for its address. The slot counts as an
// "https" slot when its https value is above 0, and as an "http" slot
// otherwise; that scheme's pair comes first. A slot holding both an http and
// an https value keeps both mappings as two pairs, so each ends up in a slot
// of its own, each with the zone it had: rebuilding the list must not move
// another address into a different zone (a site put into Restricted Sites
// stays there). A slot with neither value is carried over as an http pair
// without a value, unless it maps other schemes ("*", "ftp", "file"), which
// come after its http and https pairs, each in a slot of its own.
void CollectSlot(std::vector<RangePair>& pairs, const Text& address, std::optional<std::int32_t> http,
                 std::optional<std::int32_t> https, bool otherSchemes) {
    if (https && *https > 0) {
        AppendIfNew(pairs, {address, Text(HttpsScheme), https});
        if (http) AppendIfNew(pairs, {address, Text(HttpScheme), http});
        return;
    }
    if (http || (!https && !otherSchemes)) AppendIfNew(pairs, {address, Text(HttpScheme), http});
    if (https) AppendIfNew(pairs, {address, Text(HttpsScheme), https});
}

}  // namespace

// The numeric rule is deliberately narrow: a part is numeric only when it is
// a non-empty run of ASCII decimal digits and nothing else. No sign, no
// group or decimal separator, no exponent, no full-width digits: none of
// those make an address that the browser treats as a numeric range.
bool IsNumericAddress(TextView host) {
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = host.find(u'.', start);
        const TextView part = host.substr(start, dot == TextView::npos ? TextView::npos : dot - start);
        if (part.empty()) return false;
        for (const char16_t c : part) {
            if (!IsAsciiDigit(c)) return false;
        }
        if (dot == TextView::npos) return true;
        start = dot + 1;
    }
}

void RemoveFixedRangeKey(reg::RegisterKey& registry, TextView address) {
    const Text slot = Text(RangeSlotPrefix) + Text(address);
    registry.DeleteKey(Root, RangesKey, slot);
    registry.DeleteKey(Root, EscRangesKey, slot);
}

void AddDomainKey(reg::RegisterKey& registry, TextView listPath, TextView scheme, TextView host) {
    const Text entry = JoinPath(listPath, host);
    registry.CreateKey(Root, entry);
    registry.SetDwordValue(Root, entry, scheme, TrustedSitesZone);
}

void AddSubDomainKey(reg::RegisterKey& registry, TextView listPath, TextView scheme, TextView host) {
    // The first label becomes a sub-key of the rest: p.q.r is q.r\p, and
    // o.p.q.r is p.q.r\o.
    const std::int32_t dot = InStr(host, u".");
    const Text subName = Left(host, dot - 1);
    const Text domain = Mid(host, dot + 1);
    const Text entry = JoinPath(JoinPath(listPath, domain), subName);
    registry.CreateKey(Root, entry);
    registry.SetDwordValue(Root, entry, scheme, TrustedSitesZone);
}

void AddRangeKey(reg::RegisterKey& registry, TextView listPath, TextView scheme, TextView host) {
    std::vector<RangePair> pairs;
    pairs.push_back({Text(host), Text(scheme), TrustedSitesZone});

    // Every one of the first 100 slots is visited: lists written by hand or
    // by other tools have gaps. A slot without an address is not ours to
    // touch and stays as it is.
    for (std::int32_t n = 1; n <= RangeSlotsRead; ++n) {
        const Text readPath = JoinPath(listPath, SlotName(n)) + u'\\';
        Text address = registry.GetStringValue(Root, readPath, RangeAddressValue);
        const auto https = registry.FindDwordValue(Root, readPath, HttpsScheme);
        const auto http = registry.FindDwordValue(Root, readPath, HttpScheme);
        address = TrimSpaces(address);
        if (address.empty()) continue;
        std::vector<RangePair> others;
        for (TextView other : OtherRangeSchemes) {
            if (auto zone = registry.FindDwordValue(Root, readPath, other)) others.push_back({address, Text(other), zone});
        }
        CollectSlot(pairs, address, http, https, !others.empty());
        for (auto& other : others) AppendIfNew(pairs, std::move(other));
        registry.DeleteKey(Root, listPath, SlotName(n));
    }

    // Written back without gaps, the registered site first. Beyond 100
    // pairs the slots above 100 are written over.
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const RangePair& pair = pairs[i];
        const Text slotPath = JoinPath(listPath, SlotName(static_cast<std::int64_t>(i) + 1));
        registry.CreateKey(Root, slotPath);
        registry.SetStringValue(Root, slotPath, RangeAddressValue, pair.address);
        if (pair.zone) registry.SetDwordValue(Root, slotPath, pair.scheme, *pair.zone);
    }
}

bool ZoneMapCanHold(TextView host, const CodePage& codePage) {
    // A sub-domain entry (EscDomains\q.r\p) is as long as the domain entry
    // of the whole host (EscDomains\p.q.r); range slots are short.
    const auto path = codePage.ToAnsi(JoinPath(EscDomainsKey, host));
    return path && path->size() <= reg::MaxAnsiSubKeyPath;
}

void AddTrustedSite(reg::RegisterKey& registry, TextView scheme, TextView host) {
    RemoveFixedRangeKey(registry, ObsoleteRangeAddress);

    // The first dot's position and the position after it are 16-bit
    // numbers: a first "." at 32767 or later overflows.
    const std::int16_t firstDot = ToInt16(InStr(host, u"."));
    const std::int32_t secondDot = InStr(host, u".", ToInt16(firstDot + 1));

    if (secondDot < 1 || firstDot < 1) {
        AddDomainKey(registry, DomainsKey, scheme, host);
        AddDomainKey(registry, EscDomainsKey, scheme, host);
    } else if (IsNumericAddress(host)) {
        AddRangeKey(registry, RangesKey, scheme, host);
        AddRangeKey(registry, EscRangesKey, scheme, host);
    } else {
        AddSubDomainKey(registry, DomainsKey, scheme, host);
        AddSubDomainKey(registry, EscDomainsKey, scheme, host);
    }
}

}  // namespace plm::zones

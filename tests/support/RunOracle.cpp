#include "tests/support/RunOracle.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace plm::test {

namespace {

// Names as the checks compare them: UTF-8, ASCII letters upper-cased (the
// registry folds more, but every name the checks look up is spelled the
// same way on both sides).
std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}
std::string Upper(TextView t) { return Upper(ToUtf8(t)); }

// Key path (relative to the root, upper-cased) to its value lines.

KeyLines KeysOf(RegistryInspector& r, reg::HKEY root) {
    KeyLines keys;
    const std::string text = ToUtf8(r.Snapshot(root, u""));
    std::set<std::string>* values = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (text[start] == '[') {
            values = &keys[Upper(text.substr(start + 1, end - start - 2))];
        } else if (values != nullptr) {
            values->insert(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return keys;
}
bool Under(const std::string& key, const std::string& prefix) {
    return key == prefix || (key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0 &&
                             key[prefix.size()] == '\\');
}
bool Above(const std::string& key, const std::string& path) { return Under(path, key); }

constexpr TextView ZoneMap = zones::ZoneMapKey;
// As a snapshot names it: without the trailing "\\" the product writes through.
constexpr TextView Zone2 = zones::TrustedZoneKey.substr(0, zones::TrustedZoneKey.size() - 1);
constexpr TextView Machine = zones::MachineInternetSettingsKey;


// (a): every key that differs is one the run may change.
void CheckOnlyAllowedChanges(const RegistryState& before, const RegistryState& after, std::vector<std::string>& problems) {
    const std::string zoneMap = Upper(ZoneMap);
    const std::vector<std::string> lists = {zoneMap + "\\DOMAINS", zoneMap + "\\ESCDOMAINS", zoneMap + "\\RANGES",
                                            zoneMap + "\\ESCRANGES"};
    const bool zoneExisted = before.user.count(Upper(Zone2)) > 0;
    auto allowedUser = [&](const std::string& key) {
        for (const auto& list : lists) {
            if (Under(key, list)) return true;
        }
        return zoneExisted && key == Upper(Zone2);
    };
    std::set<std::string> keys;
    for (const auto* side : {&before.user, &after.user}) {
        for (const auto& [key, _] : *side) keys.insert(key);
    }
    for (const auto& key : keys) {
        const auto b = before.user.find(key);
        const auto a = after.user.find(key);
        const bool same = b != before.user.end() && a != after.user.end() && b->second == a->second;
        if (same || allowedUser(key)) continue;
        // A key on the way to a list may come into being, empty.
        const bool madeOnTheWay = b == before.user.end() && a->second.empty() &&
                                  std::any_of(lists.begin(), lists.end(), [&](const auto& l) { return Above(key, l); });
        if (!(madeOnTheWay)) problems.push_back("changed outside the zone map: " + key);
    }
    // The machine: only CodeBaseSearchPath, and the keys on its way.
    // Built in steps: GCC 12 warns falsely of an overlapping copy for a
    // literal put before a string at -O3.
    std::string codeBase(1, '"');
    codeBase += ToUtf8(zones::CodeBaseSearchPathValue);
    codeBase += "\"=";
    for (const auto* side : {&before.machine, &after.machine}) {
        for (const auto& [key, values] : *side) {
            const auto& other = side == &before.machine ? after.machine : before.machine;
            const auto it = other.find(key);
            std::set<std::string> mine;
            std::set<std::string> theirs;
            for (const auto& v : values) {
                if (key != Upper(Machine) || v.rfind(codeBase, 0) != 0) mine.insert(v);
            }
            if (it != other.end()) {
                for (const auto& v : it->second) {
                    if (key != Upper(Machine) || v.rfind(codeBase, 0) != 0) theirs.insert(v);
                }
            }
            const bool onTheWay = Above(key, Upper(Machine));
            if (!(mine == theirs && (it != other.end() || onTheWay))) problems.push_back("machine key changed: " + key);
        }
    }
}

// ---- range lists as mappings ----

struct Slot {
    std::string address;                       // trimmed ":Range", as text whatever its type
    std::map<std::string, std::int32_t> zones;  // upper-cased scheme -> zone
    bool planted = false;                      // a ":Range" not REG_SZ, or more than 64 values
};

// The text of a value the snapshot shows as "hex(type):..", up to its first
// NUL, as a read of it as a string gives it.
std::string HexText(const std::string& data) {
    std::string text;
    for (std::size_t at = data.find("):") + 2; at + 1 < data.size(); at += 3) {
        const char c = static_cast<char>(std::stoul(data.substr(at, 2), nullptr, 16));
        if (c == '\0') break;
        text.push_back(c);
    }
    return text;
}

// The slots of a range list by number, read from the snapshot text.
std::map<int, Slot> SlotsOf(const KeyLines& user, TextView list) {
    std::map<int, Slot> slots;
    const std::string prefix = Upper(ZoneMap) + "\\" + Upper(list) + "\\RANGE";
    for (const auto& [key, values] : user) {
        if (key.rfind(prefix, 0) != 0) continue;
        const std::string number = key.substr(prefix.size());
        if (number.empty() || number.size() > 6 || number.find_first_not_of("0123456789") != std::string::npos) continue;
        Slot slot;
        slot.planted = values.size() > zones::MostRangeSlotValues;
        for (const auto& v : values) {
            const std::size_t eq = v.find("\"=");
            const std::string name = v.substr(1, eq - 1);
            const std::string data = v.substr(eq + 2);
            if (FromUtf8(name) == zones::RangeAddressValue && data.size() >= 2 && data.front() == '"') {
                slot.address = ToUtf8(TrimSpaces(FromUtf8(data.substr(1, data.size() - 2))));
            } else if (FromUtf8(name) == zones::RangeAddressValue) {
                slot.planted = true;
                slot.address = ToUtf8(TrimSpaces(FromUtf8(HexText(data))));
            } else if (data.rfind("dword:", 0) == 0) {
                slot.zones[Upper(name)] =
                    static_cast<std::int32_t>(std::stoul(data.substr(6), nullptr, 16));
            }
        }
        slots[std::stoi(number)] = slot;
    }
    return slots;
}

// (d): what slots 1 to 100 held, each scheme's first zone, must still be
// mapped somewhere in the list; the site's own mapping is 2.
void CheckOtherAddresses(const KeyLines& before, const KeyLines& after, TextView list, const std::string& host,
                         const std::string& scheme, std::vector<std::string>& problems) {
    std::map<std::pair<std::string, std::string>, std::int32_t> expected;
    std::set<std::string> addresses;
    for (const auto& [n, slot] : SlotsOf(before, list)) {
        if (n > 100 || slot.address.empty()) continue;
        addresses.insert(slot.address);
        for (const auto& [s, zone] : slot.zones) expected.emplace(std::make_pair(slot.address, s), zone);
    }
    if (!host.empty()) expected[{host, scheme}] = 2;
    std::set<std::pair<std::string, std::string>> found;
    std::set<std::string> foundAddresses;
    for (const auto& [n, slot] : SlotsOf(after, list)) {
        foundAddresses.insert(slot.address);
        for (const auto& [s, zone] : slot.zones) {
            const auto it = expected.find({slot.address, s});
            if (it != expected.end() && it->second == zone) found.insert(it->first);
        }
    }
    for (const auto& [mapping, zone] : expected) {
        if (!(found.count(mapping) > 0)) problems.push_back(ToUtf8(list) + ": lost " + mapping.first + " " +
                                                mapping.second + "=" + std::to_string(zone));
    }
    for (const auto& a : addresses) if (!(foundAddresses.count(a) > 0)) problems.push_back("lost address " + a);
}


// The site's own entry in one domain list, as the registration names it.
std::string DomainEntry(TextView list, const Text& host) {
    const std::size_t first = host.find(u'.');
    const bool plain = first == Text::npos || host.find(u'.', first + 1) == Text::npos;
    const Text entry = plain ? host : host.substr(first + 1) + u'\\' + host.substr(0, first);
    return Upper(Text(ZoneMap) + u'\\' + Text(list) + u'\\' + entry);
}

void CheckSiteEntries(const KeyLines& after, const zones::SiteAddress& site, bool numeric, std::vector<std::string>& problems) {
    const std::string scheme = Upper(site.Scheme);
    if (numeric) {
        for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
            bool found = false;
            for (const auto& [n, slot] : SlotsOf(after, list)) {
                const auto it = slot.zones.find(scheme);
                found = found || (slot.address == ToUtf8(site.Host) && it != slot.zones.end() && it->second == 2);
            }
            if (!(found)) problems.push_back("no slot for the site in " + ToUtf8(list));
        }
        return;
    }
    for (TextView list : {TextView(u"Domains"), TextView(u"EscDomains")}) {
        const auto it = after.find(DomainEntry(list, site.Host));
        bool found = false;
        if (it != after.end()) {
            for (const auto& v : it->second) {
                found = found || (Upper(v) == "\"" + scheme + "\"=DWORD:00000002");
            }
        }
        if (!(found)) problems.push_back("no entry for the site in " + ToUtf8(list));
    }
}

// (e): domain keys other than the site's own, its parent and port-carrying
// ones are as they were.
void CheckOtherDomains(const KeyLines& before, const KeyLines& after, const Text& host, std::vector<std::string>& problems) {
    for (TextView list : {TextView(u"Domains"), TextView(u"EscDomains")}) {
        const std::string prefix = Upper(Text(ZoneMap) + u'\\' + Text(list)) + "\\";
        const std::string own = DomainEntry(list, host);
        auto mine = [&](const std::string& key) {
            return key.rfind(prefix, 0) != 0 || own.rfind(key, 0) == 0 ||
                   key.find(':', prefix.size()) != std::string::npos;
        };
        for (const auto* side : {&before, &after}) {
            const auto& other = side == &before ? after : before;
            for (const auto& [key, values] : *side) {
                if (mine(key)) continue;
                const auto it = other.find(key);
                if (!(it != other.end() && it->second == values)) problems.push_back("domain entry changed: " + key);
            }
        }
    }
}

// (f): range lists as sets of slot contents.
std::multiset<std::string> Contents(const KeyLines& user, TextView list) {
    std::multiset<std::string> out;
    for (const auto& [n, slot] : SlotsOf(user, list)) {
        std::string line = slot.address + ":";
        for (const auto& [s, zone] : slot.zones) line += s + "=" + std::to_string(zone) + ";";
        out.insert(line);
    }
    return out;
}

KeyLines WithoutRanges(KeyLines keys) {
    for (auto it = keys.begin(); it != keys.end();) {
        const bool range = Under(it->first, Upper(Text(ZoneMap) + u"\\Ranges")) ||
                           Under(it->first, Upper(Text(ZoneMap) + u"\\EscRanges"));
        it = range ? keys.erase(it) : std::next(it);
    }
    return keys;
}

}  // namespace

RegistryState StateOf(RegistryInspector& registry) {
    return {KeysOf(registry, reg::CurrentUser), KeysOf(registry, reg::LocalMachine)};
}

bool IsNumericHost(TextView host) {
    const std::vector<TextView> parts = SplitAt(host, u'.');
    return parts.size() >= 3 && std::all_of(parts.begin(), parts.end(), [](TextView part) {
               return !part.empty() && std::all_of(part.begin(), part.end(), IsAsciiDigit);
           });
}

std::vector<std::string> SiteElsewhere(const KeyLines& user, const zones::SiteAddress& site, bool keptOnly) {
    std::vector<std::string> found;
    for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
        const std::string prefix = Upper(Text(ZoneMap) + u'\\' + Text(list)) + "\\RANGE";
        for (const auto& [n, slot] : SlotsOf(user, list)) {
            const auto it = slot.zones.find(Upper(site.Scheme));
            if (slot.address != ToUtf8(site.Host)) continue;
            // Nothing tells what a planted slot holding the address maps.
            if (keptOnly && slot.planted) {
                found.push_back(ToUtf8(list) + " planted slot " + std::to_string(n));
                continue;
            }
            if (it == slot.zones.end() || it->second == 2) continue;
            const std::string below = prefix + std::to_string(n) + "\\";
            const auto next = user.lower_bound(below);
            const bool subKeys = next != user.end() && next->first.rfind(below, 0) == 0;
            if (!keptOnly || n > 100 || subKeys) found.push_back(ToUtf8(list) + " slot " + std::to_string(n));
        }
    }
    return found;
}

std::vector<std::string> RunProblems(const RegistryState& before, const RegistryState& after,
                                     const zones::SiteAddress* completed) {
    std::vector<std::string> problems;
    CheckOnlyAllowedChanges(before, after, problems);
    for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
        for (const auto& [n, slot] : SlotsOf(before.user, list)) {
            if (!slot.planted) continue;
            const std::string key = Upper(Text(ZoneMap) + u'\\' + Text(list)) + "\\RANGE" + std::to_string(n);
            const auto it = after.user.find(key);
            if (it == after.user.end() || it->second != before.user.at(key)) problems.push_back("planted slot changed: " + key);
        }
    }
    if (completed == nullptr) return problems;
    const zones::SiteAddress& site = *completed;
    const bool numeric = IsNumericHost(site.Host);
    CheckSiteEntries(after.user, site, numeric, problems);
    if (numeric) {
        for (const std::string& slot : SiteElsewhere(after.user, site, false)) {
            problems.push_back("completed with the site in another zone in " + slot);
        }
    }
    for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
        CheckOtherAddresses(before.user, after.user, list, numeric ? ToUtf8(site.Host) : std::string(),
                            Upper(site.Scheme), problems);
    }
    CheckOtherDomains(before.user, after.user, site.Host, problems);
    return problems;
}

std::vector<std::string> SecondRunProblems(const RegistryState& once, const RegistryState& twice) {
    std::vector<std::string> problems;
    if (WithoutRanges(twice.user) != WithoutRanges(once.user) || twice.machine != once.machine) {
        problems.push_back("the second run changed more than range slots");
    }
    for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
        if (Contents(twice.user, list) != Contents(once.user, list)) {
            problems.push_back("the second run changed the slots of " + ToUtf8(list));
        }
    }
    return problems;
}

}  // namespace plm::test

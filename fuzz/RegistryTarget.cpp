// One Auto Setting run's registry phase on the in-memory registry: the
// first bytes of the input choose the starting registry, the rest is the
// address typed (UTF-8). Built twice: fuzz_registry_steps, and, with
// PLM_FUZZ_FAULTS, fuzz_registry_faults, in which one registry call,
// chosen by the input, fails.
//
// Invariants:
// (a) nothing is written outside the four zone-map lists, Zones\2 (only
//     when it existed) and the one machine-wide value;
// (b) a rejected address leaves the registry as it was;
// (c) a completed run leaves the site's own entries holding 2 in both lists
//     (with a failing call: either that, or the "Err:" failure path);
// (d) every other address of range slots 1 to 100 is still there with, for
//     each scheme, the zone of the first slot that held a value for it;
// (e) no domain entry changes but the site's own and port-carrying ones;
// (f) a second run of the same address changes nothing more (range slots
//     may change places, not content);
// (g) after a completed run no slot of either range list maps a numeric
//     site's address and scheme to a zone other than 2; without a failing
//     call a run fails only where a slot the rebuild cannot redo (one with
//     sub-keys, one past slot 100) maps them so from the start, or a
//     planted slot (a ":Range" that is not REG_SZ, or more than 64 values)
//     holds the site's address;
// (h) a planted slot is left exactly as it was, and a key under a range
//     list with the longest name a key may have stops no registration;
// (i) a host that is itself a public suffix is refused like an invalid
//     address: one box, nothing read or written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "config/AutoSetting.h"
#include "config/PublicSuffix.h"
#include "config/RegistrySteps.h"
#include "config/SiteUrl.h"
#include "fuzz/Check.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/MemoryRegistry.h"
#include "text/CodePage.h"
#include "zones/TrustedSite.h"
#include "zones/IeMode.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace {

using namespace plm;

using test::DwordBytes;
using test::MemoryRegistry;
using test::StringBytes;
constexpr TextView ZoneMap = zones::ZoneMapKey;
// As a snapshot names it: without the trailing "\\" the product writes through.
constexpr TextView Zone2 = zones::TrustedZoneKey.substr(0, zones::TrustedZoneKey.size() - 1);
constexpr TextView Machine = zones::MachineInternetSettingsKey;

// ---- reading the input ----

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::string Rest() { return std::string(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A small generator, so that two bytes of input make a whole range list.
class Draw {
public:
    explicit Draw(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    std::uint32_t Next(std::uint32_t bound) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ % bound;
    }

private:
    std::uint32_t state_;
};

// ---- the starting registry ----

void PutDword(MemoryRegistry& r, reg::HKEY root, const Text& path, TextView name, std::int32_t v) {
    r.PutValue(root, path, name, reg::TypeDword, DwordBytes(static_cast<std::uint32_t>(v)));
}

// Addresses and schemes the slots draw from: some the fuzzer types too.
constexpr const char* Addresses[] = {"10.0.0.1", "10.0.0.2", "10.0.0.9", "10.0.0.9 ", "192.168.1.1",
                                     "192.168.10.250", "127.0.0.1", "10.1.2.3"};
constexpr TextView Schemes[] = {u"http", u"https", u"HTTP", u"*", u"ftp", u"rtsp", u"Https"};

// Up to `count` range slots (gaps, blank addresses, keys with values but no
// address, several schemes and zones), beyond slot 100 when asked, and with
// `subKeys` now and then a sub-key, which makes a slot that cannot be
// deleted.
// With `planted`, some slots are planted: their ":Range" binary, or more
// values than any slot needs.
void SeedRanges(MemoryRegistry& r, TextView list, std::uint32_t count, std::uint32_t seed, bool subKeys,
                bool planted) {
    Draw draw(seed);
    if (planted) {  // and a key with the longest name a key may have
        r.PutValue(reg::CurrentUser, Text(ZoneMap) + u'\\' + Text(list) + u'\\' + Text(255, u'x'), u"note",
                   reg::TypeString, StringBytes("kept"));
    }
    for (std::uint32_t n = 1; n <= count; ++n) {
        const Text slot = Text(ZoneMap) + u'\\' + Text(list) + u"\\Range" + DecimalText(n);
        const std::uint32_t kind = draw.Next(10);
        if (kind < 2) continue;  // a gap
        if (kind == 2) {
            r.PutValue(reg::CurrentUser, slot, zones::RangeAddressValue, reg::TypeString,
                       StringBytes(draw.Next(2) ? "" : "  "));
        }
        if (kind >= 4) {
            r.PutValue(reg::CurrentUser, slot, zones::RangeAddressValue, reg::TypeString,
                       StringBytes(Addresses[draw.Next(std::size(Addresses))]));
        }
        for (std::uint32_t v = draw.Next(4); v > 0; --v) {
            PutDword(r, reg::CurrentUser, slot, Schemes[draw.Next(std::size(Schemes))],
                     static_cast<std::int32_t>(draw.Next(6)) - 1);
        }
        if (draw.Next(8) == 0) r.PutValue(reg::CurrentUser, slot, u"note", reg::TypeString, StringBytes("kept"));
        if (kind == 3 && draw.Next(2) == 0) r.PutValue(reg::CurrentUser, slot, u"empty", reg::TypeBinary, "");
        if (subKeys && draw.Next(4) == 0) PutDword(r, reg::CurrentUser, slot + u"\\sub", u"http", 4);
        if (planted && draw.Next(4) == 0) {
            if (draw.Next(2) == 0) {
                r.PutValue(reg::CurrentUser, slot, zones::RangeAddressValue, reg::TypeBinary,
                           StringBytes(Addresses[draw.Next(std::size(Addresses))]));
            } else {
                for (int v = 0; v <= 64; ++v) PutDword(r, reg::CurrentUser, slot, u"v" + DecimalText(v), 1);
            }
        }
    }
}

void SeedDomains(MemoryRegistry& r, std::uint8_t flags) {
    for (TextView list : {TextView(u"Domains"), TextView(u"EscDomains")}) {
        const Text base = Text(ZoneMap) + u'\\' + Text(list) + u'\\';
        PutDword(r, reg::CurrentUser, base + u"example.com\\plm", u"http", 4);
        PutDword(r, reg::CurrentUser, base + u"other.test", u"https", 2);
        PutDword(r, reg::CurrentUser, base + u"q.r\\p", u"*", 1);
        if (flags & 4) {  // stale entries of addresses with a port
            PutDword(r, reg::CurrentUser, base + u"example.com:8080\\plm", u"http", 2);
            PutDword(r, reg::CurrentUser, base + u"example.com:8080\\other", u"http", 2);
            PutDword(r, reg::CurrentUser, base + u"plmhost:8080", u"http", 2);
        }
    }
}

// ---- the registry as text, key by key ----

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
using Keys = std::map<std::string, std::set<std::string>>;

Keys KeysOf(MemoryRegistry& r, reg::HKEY root) {
    Keys keys;
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

struct State {
    Keys user;
    Keys machine;
};

State StateOf(MemoryRegistry& r) { return {KeysOf(r, reg::CurrentUser), KeysOf(r, reg::LocalMachine)}; }

// (a): every key that differs is one the run may change.
void CheckOnlyAllowedChanges(const State& before, const State& after, const std::string& shown) {
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
        PLM_CHECK(madeOnTheWay, shown + "\nchanged outside the zone map: " + key);
    }
    // The machine: only CodeBaseSearchPath, and the keys on its way.
    const std::string codeBase = "\"" + ToUtf8(zones::CodeBaseSearchPathValue) + "\"=";
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
            PLM_CHECK(mine == theirs && (it != other.end() || onTheWay), shown + "\nmachine key changed: " + key);
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
std::map<int, Slot> SlotsOf(const Keys& user, TextView list) {
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
void CheckOtherAddresses(const Keys& before, const Keys& after, TextView list, const std::string& host,
                         const std::string& scheme, const std::string& shown) {
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
        PLM_CHECK(found.count(mapping) > 0, shown + "\n" + ToUtf8(list) + ": lost " + mapping.first + " " +
                                                mapping.second + "=" + std::to_string(zone));
    }
    for (const auto& a : addresses) PLM_CHECK(foundAddresses.count(a) > 0, shown + "\nlost address " + a);
}

// ---- one run of the command ----

struct Run {
    std::vector<std::string> shown;
    bool ended = false;
    bool loginPage = false;
};

Run RunOnce(MemoryRegistry& registry, const CodePage& codes, const Text& url) {
    reg::RegisterKey keys(registry, codes);
    test::RecordingUi ui(url, config::English);
    Run run;
    config::RegistrySteps steps(keys, [&](TextView) {
        run.loginPage = true;
        return reg::Status();
    });
    config::AutoSettingCommand().Run(ui, steps, codes);
    run.shown = ui.shown;
    run.ended = ui.ended;
    return run;
}

// The site's own entry in one domain list, as the registration names it.
std::string DomainEntry(TextView list, const Text& host) {
    const std::size_t first = host.find(u'.');
    const bool plain = first == Text::npos || host.find(u'.', first + 1) == Text::npos;
    const Text entry = plain ? host : host.substr(first + 1) + u'\\' + host.substr(0, first);
    return Upper(Text(ZoneMap) + u'\\' + Text(list) + u'\\' + entry);
}

void CheckSiteEntries(const Keys& after, const config::SiteAddress& site, bool numeric, const std::string& shown) {
    const std::string scheme = Upper(site.Scheme);
    if (numeric) {
        for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
            bool found = false;
            for (const auto& [n, slot] : SlotsOf(after, list)) {
                const auto it = slot.zones.find(scheme);
                found = found || (slot.address == ToUtf8(site.Host) && it != slot.zones.end() && it->second == 2);
            }
            PLM_CHECK(found, shown + "\nno slot for the site in " + ToUtf8(list));
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
        PLM_CHECK(found, shown + "\nno entry for the site in " + ToUtf8(list));
    }
}

// (e): domain keys other than the site's own, its parent and port-carrying
// ones are as they were.
void CheckOtherDomains(const Keys& before, const Keys& after, const Text& host, const std::string& shown) {
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
                PLM_CHECK(it != other.end() && it->second == values, shown + "\ndomain entry changed: " + key);
            }
        }
    }
}

// (g): the slots of either list that map the site's address and scheme
// to a zone other than 2; with `keptOnly`, only those the rebuild cannot
// redo: past slot 100, or with sub-keys.
std::vector<std::string> SiteElsewhere(const Keys& user, const config::SiteAddress& site, bool keptOnly) {
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

// (f): range lists as sets of slot contents.
[[maybe_unused]] std::multiset<std::string> Contents(const Keys& user, TextView list) {
    std::multiset<std::string> out;
    for (const auto& [n, slot] : SlotsOf(user, list)) {
        std::string line = slot.address + ":";
        for (const auto& [s, zone] : slot.zones) line += s + "=" + std::to_string(zone) + ";";
        out.insert(line);
    }
    return out;
}

[[maybe_unused]] Keys WithoutRanges(Keys keys) {
    for (auto it = keys.begin(); it != keys.end();) {
        const bool range = Under(it->first, Upper(Text(ZoneMap) + u"\\Ranges")) ||
                           Under(it->first, Upper(Text(ZoneMap) + u"\\EscRanges"));
        it = range ? keys.erase(it) : std::next(it);
    }
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const std::uint8_t flags = input.Byte();
    const std::uint8_t rangeCount = input.Byte();
    const std::uint16_t rangeSeed = static_cast<std::uint16_t>(input.Byte() | (input.Byte() << 8));
    const std::uint8_t escCount = input.Byte();
    const std::uint16_t escSeed = static_cast<std::uint16_t>(input.Byte() | (input.Byte() << 8));
#ifdef PLM_FUZZ_FAULTS
    const std::size_t failAt = static_cast<std::size_t>(input.Byte() | (input.Byte() << 8));
    // Refusals a registry gives; "not found" for what is there would be a
    // registry that lies, not one that refuses.
    constexpr reg::LONG Codes[] = {reg::ErrorAccessDenied, reg::ErrorInvalidHandle, reg::ErrorMoreData,
                                   1016 /* registry I/O failed */};
    const reg::LONG failCode = Codes[input.Byte() % std::size(Codes)];
#endif
    const Text url = FromUtf8(input.Rest());
    const std::string shown = "address: " + ToUtf8(url);

    static const Latin1CodePage codes;
    MemoryRegistry registry(codes);
    // More than 100 slots now and then: those past 100 are never read.
    const std::uint32_t limit = (flags & 16) ? 111 : 101;
    const bool subKeys = (flags & 128) != 0;
    // Planted slots share the top bit of the second seed.
    const bool planted = (escSeed & 0x8000) != 0;
    SeedRanges(registry, u"Ranges", rangeCount % limit, rangeSeed, subKeys, planted);
    SeedRanges(registry, u"EscRanges", (flags & 8) ? rangeCount % limit : escCount % limit,
               (flags & 8) ? rangeSeed : escSeed, subKeys, planted);
    if (flags & 2) SeedDomains(registry, flags);
    if (flags & 1) PutDword(registry, reg::CurrentUser, Text(Zone2), u"1200", 3);
    if (flags & 32) {
        registry.PutValue(reg::LocalMachine, Text(Machine), zones::CodeBaseSearchPathValue, reg::TypeString,
                          StringBytes("old"));
    }
    if (flags & 64) {  // the machine's settings decide: the user is told, nothing else changes
        PutDword(registry, reg::LocalMachine, Text(zones::PolicySettingsKey), zones::MachineSettingsOnlyValue, 1);
    }
    // The flag bits are all taken: Windows 11 shares the sub-key bit, with
    // the top bit of the range seed.
    const bool windows11 = (flags & 128) != 0 && (rangeSeed & 0x8000) != 0;
    if (windows11) {  // Windows 11 without Edge's IE mode: told as well, but one box at most
        registry.PutValue(reg::LocalMachine, zones::WindowsVersionKey, zones::BuildNumberValue, reg::TypeString,
                          StringBytes("22631"));
    }
    const State before = StateOf(registry);
    const bool accepted = config::IsValidSiteUrl(url, codes);
    // (i): checked like a rejected address.
    const bool publicSuffix =
        accepted && config::IsPublicSuffix(config::ReadSiteAddress(url).Host);

#ifdef PLM_FUZZ_FAULTS
    registry.Faults().Fail(test::Fault().Number(failAt).With(failCode));
#endif
    const std::size_t callsBefore = registry.CallCount();
    const Run run = RunOnce(registry, codes, url);
    registry.Faults().Clear();
    const State after = StateOf(registry);

    // (a)
    CheckOnlyAllowedChanges(before, after, shown);
    // (h)
    for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
        for (const auto& [n, slot] : SlotsOf(before.user, list)) {
            if (!slot.planted) continue;
            const std::string key = Upper(Text(ZoneMap) + u'\\' + Text(list)) + "\\RANGE" + std::to_string(n);
            const auto it = after.user.find(key);
            PLM_CHECK(it != after.user.end() && it->second == before.user.at(key), shown + "\nplanted slot changed: " + key);
        }
    }
    if (!accepted || publicSuffix) {
        // (b)
        PLM_CHECK(run.shown.size() == 1 && !run.loginPage && !run.ended, shown);
        PLM_CHECK(registry.CallCount() == callsBefore, shown + "\na rejected address reached the registry");
        return 0;
    }
    const config::SiteAddress site = config::ReadSiteAddress(url);
    // The oracle's own numeric rule: two dots or more, digits between them.
    const std::vector<TextView> parts = SplitAt(site.Host, u'.');
    const bool numeric = parts.size() >= 3 && std::all_of(parts.begin(), parts.end(), [](TextView part) {
                             return !part.empty() && std::all_of(part.begin(), part.end(), IsAsciiDigit);
                         });
    const bool failed = !run.shown.empty() && run.shown.back().rfind("Err:", 0) == 0;
    // (g): a slot that cannot be rebuilt keeps the site in another zone.
    const auto keptElsewhere = numeric ? SiteElsewhere(before.user, site, true) : std::vector<std::string>();
    PLM_CHECK(failed || keptElsewhere.empty(), shown + "\ncompleted with the site in another zone in " +
                                                   (keptElsewhere.empty() ? "" : keptElsewhere[0]));
    // (c): the site is registered, or the user is told. A policy notice or
    // the browser notice, one box at most, may come before the login page.
    const std::size_t notices = ((flags & 64) || windows11) ? 1 : 0;
    PLM_CHECK(failed || (run.shown.size() <= notices && run.ended && run.loginPage), shown);
    if (failed) {
        PLM_CHECK(!run.loginPage && !run.ended, shown + "\nthe failure path went on");
#ifndef PLM_FUZZ_FAULTS
        PLM_CHECK(!keptElsewhere.empty(), shown + "\na run without a failing call ended in " + run.shown.back());
#endif
        return 0;
    }
    CheckSiteEntries(after.user, site, numeric, shown);
    if (numeric) {
        const auto elsewhere = SiteElsewhere(after.user, site, false);
        PLM_CHECK(elsewhere.empty(), shown + "\ncompleted with the site in another zone in " +
                                         (elsewhere.empty() ? "" : elsewhere[0]));
    }
    // (d) and (e)
    for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
        CheckOtherAddresses(before.user, after.user, list, numeric ? ToUtf8(site.Host) : std::string(),
                            Upper(site.Scheme), shown);
    }
    CheckOtherDomains(before.user, after.user, site.Host, shown);

#ifndef PLM_FUZZ_FAULTS
    // (f); not after a failing call: a silent step it hit (the template,
    // the machine-wide value) is done only by the second run.
    const Run again = RunOnce(registry, codes, url);
    PLM_CHECK(again.ended && again.shown.size() == run.shown.size(), shown + "\nthe second run did not complete");
    const State twice = StateOf(registry);
    PLM_CHECK(WithoutRanges(twice.user) == WithoutRanges(after.user) && twice.machine == after.machine,
              shown + "\nthe second run changed more");
    for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
        PLM_CHECK(Contents(twice.user, list) == Contents(after.user, list),
                  shown + "\nthe second run changed the slots of " + ToUtf8(list));
    }
#endif
    return 0;
}

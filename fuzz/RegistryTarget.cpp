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
#include "tests/support/RunOracle.h"
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
    const test::RegistryState before = test::StateOf(registry);
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
    const test::RegistryState after = test::StateOf(registry);
    const auto check = [&](const std::vector<std::string>& problems) {
        PLM_CHECK(problems.empty(), shown + "\n" + (problems.empty() ? std::string() : problems[0]));
    };

    // (a) and (h)
    check(test::RunProblems(before, after, nullptr));
    if (!accepted || publicSuffix) {
        // (b)
        PLM_CHECK(run.shown.size() == 1 && !run.loginPage && !run.ended, shown);
        PLM_CHECK(registry.CallCount() == callsBefore, shown + "\na rejected address reached the registry");
        return 0;
    }
    const config::SiteAddress site = config::ReadSiteAddress(url);
    const bool failed = !run.shown.empty() && run.shown.back().rfind("Err:", 0) == 0;
    // (g): a slot that cannot be rebuilt keeps the site in another zone.
    const auto keptElsewhere = test::IsNumericHost(site.Host) ? test::SiteElsewhere(before.user, site, true)
                                                              : std::vector<std::string>();
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
    // (c), (d), (e) and (g)
    check(test::RunProblems(before, after, &site));

#ifndef PLM_FUZZ_FAULTS
    // (f); not after a failing call: a silent step it hit (the template,
    // the machine-wide value) is done only by the second run.
    const Run again = RunOnce(registry, codes, url);
    PLM_CHECK(again.ended && again.shown.size() == run.shown.size(), shown + "\nthe second run did not complete");
    check(test::SecondRunProblems(after, test::StateOf(registry)));
#endif
    return 0;
}

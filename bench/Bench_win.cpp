// The benchmark behind scripts/bench. Prints rows of one table:
//   plm_bench startup MACHINE APP YARDSTICK PAIRS
//                                           start-up of APP against YARDSTICK
//   plm_bench registry                      the registry phase of one Auto
//                                           Setting run, in memory and on
//                                           the real advapi32
// Paths may be Unix paths (as scripts pass them); they are reached through
// drive Z:.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/AutoSetting.h"
#include "config/RegistrySteps.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/ProgramDriver_win.h"
#include "tests/support/TestBackends.h"
#include "zones/ZoneMap.h"

namespace {

using Clock = LARGE_INTEGER;

double Milliseconds(const Clock& from, const Clock& to) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency;
}

Clock Now() {
    Clock now;
    QueryPerformanceCounter(&now);
    return now;
}

// The value at fraction q (0..1) of the sorted samples, interpolated.
double Quantile(std::vector<double> samples, double q) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    double at = q * static_cast<double>(samples.size() - 1);
    auto low = static_cast<std::size_t>(at);
    std::size_t high = std::min(low + 1, samples.size() - 1);
    return samples[low] + (samples[high] - samples[low]) * (at - static_cast<double>(low));
}

std::string Number(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

// One row of the table (scripts/bench prints its head): what, the median,
// the spread as min .. max and as the middle half of the samples, a note.
void PrintRow(const std::string& what, const std::string& median, const char* unit, const std::string& range,
              const std::string& middle, const std::string& note) {
    std::printf("| %-50s | %10s %-5s | %21s | %21s | %-13s |\n", what.c_str(), median.c_str(), unit, range.c_str(),
                middle.c_str(), note.c_str());
}

void PrintRow(const std::string& what, const std::vector<double>& samples, const char* unit, int decimals,
              const std::string& note) {
    PrintRow(what, Number(Quantile(samples, 0.5), decimals), unit,
             Number(Quantile(samples, 0), decimals) + " .. " + Number(Quantile(samples, 1), decimals),
             Number(Quantile(samples, 0.25), decimals) + " .. " + Number(Quantile(samples, 0.75), decimals), note);
}

// ---- start-up ----

// Starts `program` and returns the milliseconds until one of its top-level
// windows is visible, or a negative number when none shows within 15 s.
// Then closes it as a user would and waits for it to end.
double TimeToWindow(const std::wstring& program) {
    const Clock start = Now();
    plm::test::ProgramRun run(program);
    HWND shown = nullptr;
    plm::test::WaitFor([&] { return (shown = plm::test::ShownWindowOf(run.Id())) != nullptr || !run.Running(); },
                       15000, 1);
    const double elapsed = shown != nullptr ? Milliseconds(start, Now()) : -1;
    if (shown != nullptr) PostMessageW(shown, WM_CLOSE, 0, 0);
    run.WaitForExit(5000);
    return elapsed;
}

int Startup(const std::string& machine, const std::wstring& app, const std::wstring& yardstick, int pairs) {
    // One unmeasured start each, so that both find the prefix equally warm.
    if (TimeToWindow(app) < 0 || TimeToWindow(yardstick) < 0) return 1;
    std::vector<double> appTimes;
    std::vector<double> yardstickTimes;
    std::vector<double> ratios;
    for (int i = 0; i < pairs; ++i) {
        // Which one goes first alternates, so neither always follows the other.
        double a = 0;
        double b = 0;
        if (i % 2 == 0) {
            a = TimeToWindow(app);
            b = TimeToWindow(yardstick);
        } else {
            b = TimeToWindow(yardstick);
            a = TimeToWindow(app);
        }
        if (a < 0 || b < 0) return 1;
        appTimes.push_back(a);
        yardstickTimes.push_back(b);
        ratios.push_back(a / b);
    }
    const std::string runs = std::to_string(pairs) + " runs";
    const std::string what = "start-up " + machine + ": ";
    PrintRow(what + "PlmClientConfig", appTimes, "ms", 1, runs);
    PrintRow(what + "minimal window", yardstickTimes, "ms", 1, runs);
    PrintRow(what + "ratio, pair by pair (the median)", ratios, "", 3, std::to_string(pairs) + " pairs");
    PrintRow(what + "ratio of the two medians", Number(Quantile(appTimes, 0.5) / Quantile(yardstickTimes, 0.5), 3),
             "", "", "", "");
    return 0;
}

// ---- registry phase ----

constexpr plm::TextView ZoneMapPath = plm::zones::ZoneMapKey;
constexpr plm::TextView ZonesPath = plm::zones::TrustedZoneKey;
constexpr plm::TextView MachinePath = plm::zones::MachineInternetSettingsKey;

// Counts every call that reaches the registry behind it.
class CallCountingRegistry final : public plm::test::ForwardingRegistry {
public:
    using ForwardingRegistry::ForwardingRegistry;
    plm::reg::LONG RegOpenKeyA(plm::reg::HKEY key, const char* subKey, plm::reg::HKEY* result) override {
        ++calls;
        return Inner().RegOpenKeyA(key, subKey, result);
    }
    plm::reg::LONG RegCreateKeyA(plm::reg::HKEY key, const char* subKey, plm::reg::HKEY* result) override {
        ++calls;
        return Inner().RegCreateKeyA(key, subKey, result);
    }
    plm::reg::LONG RegQueryValueExA(plm::reg::HKEY key, const char* name, plm::reg::DWORD* reserved,
                                    plm::reg::DWORD* type, plm::reg::BYTE* data, plm::reg::DWORD* size) override {
        ++calls;
        return Inner().RegQueryValueExA(key, name, reserved, type, data, size);
    }
    plm::reg::LONG RegSetValueExA(plm::reg::HKEY key, const char* name, plm::reg::DWORD reserved,
                                  plm::reg::DWORD type, const plm::reg::BYTE* data, plm::reg::DWORD size) override {
        ++calls;
        return Inner().RegSetValueExA(key, name, reserved, type, data, size);
    }
    plm::reg::LONG RegDeleteKeyA(plm::reg::HKEY key, const char* subKey) override {
        ++calls;
        return Inner().RegDeleteKeyA(key, subKey);
    }
    plm::reg::LONG RegCloseKey(plm::reg::HKEY key) override {
        ++calls;
        return Inner().RegCloseKey(key);
    }
    plm::reg::LONG RegEnumValueA(plm::reg::HKEY key, plm::reg::DWORD index, char* name, plm::reg::DWORD* nameSize,
                                 plm::reg::DWORD* reserved, plm::reg::DWORD* type, plm::reg::BYTE* data,
                                 plm::reg::DWORD* size) override {
        ++calls;
        return Inner().RegEnumValueA(key, index, name, nameSize, reserved, type, data, size);
    }
    plm::reg::LONG RegEnumKeyA(plm::reg::HKEY key, plm::reg::DWORD index, char* name,
                               plm::reg::DWORD nameSize) override {
        ++calls;
        return Inner().RegEnumKeyA(key, index, name, nameSize);
    }
    std::size_t calls = 0;
};

struct RegistryCase {
    const char* name;
    const char16_t* url;
    int filledSlots;  // in Ranges and in EscRanges; -1: a domain host
};

// What a user's registry already holds: the machine's Internet Settings key,
// the Trusted Sites zone, and `filled` range slots in each range list, each
// with an address of its own mapped for http.
void Seed(plm::test::RegistryInspector& registry, int filled) {
    registry.PutValue(plm::reg::LocalMachine, MachinePath, u"ActiveXCache", plm::reg::TypeString,
                      std::string("C:\\Windows\\Downloaded Program Files\0", 37));
    registry.PutValue(plm::reg::CurrentUser, ZonesPath, u"1200", plm::reg::TypeDword, std::string("\3\0\0\0", 4));
    for (plm::TextView list : {plm::TextView(u"\\Ranges\\Range"), plm::TextView(u"\\EscRanges\\Range")}) {
        for (int n = 1; n <= filled; ++n) {
            plm::Text slot = plm::Text(ZoneMapPath) + plm::Text(list) + plm::DecimalText(n);
            std::string address = "10.0.0." + std::to_string(n);
            address.push_back('\0');
            registry.PutValue(plm::reg::CurrentUser, slot, u":Range", plm::reg::TypeString, address);
            registry.PutValue(plm::reg::CurrentUser, slot, u"http", plm::reg::TypeDword, std::string("\2\0\0\0", 4));
        }
    }
}

// The fewest registry calls the prescribed steps need for a case, counted
// from the steps themselves rather than from our code. Each step is one
// registry-module operation, and each operation is charged the calls of its
// prescribed sequence on the path the seeded registry takes, leaving out
// the closes of the handles the module may leave open:
//   GetStringValue  4 (open, size query, read, close); 1 on a missing key
//   GetDwordValue   3 (open, query, close);            1 on a missing key
//   SetStringValue  4 (open, second open, set, close) on an existing key
//   SetDwordValue   3 (open, set, close) on an existing key
//   CreateKey       1 (create)
//   DeleteKey       2 (create the parent, delete)
// The steps of one run without a port in the address:
//   the stale-entry removal: nothing (no port)
//   the code-base search path: 1 SetStringValue on an existing key   4
//   the obsolete range slot: 2 DeleteKey                             4
//   a dotted host name: per domain list CreateKey + SetDwordValue    2 × 4
//   a numeric host, per range list with f filled slots of 100: a filled
//     slot is read (string 4, https dword 3) and deleted (2), an empty one
//     costs two failing opens (2); then f + 1 slots are written back
//     (CreateKey 1, SetStringValue 4, SetDwordValue 3)                2 × (9f + 2(100 - f) + 8(f + 1))
//   the zone template: 60 SetDwordValue on the existing zone key     180
std::size_t LeastCalls(const RegistryCase& c) {
    const std::size_t common = 4 + 4 + 180;
    if (c.filledSlots < 0) return common + 2 * 4;
    const auto f = static_cast<std::size_t>(c.filledSlots);
    return common + 2 * (9 * f + 2 * (100 - f) + 8 * (f + 1));
}

struct Outcome {
    double milliseconds = 0;
    std::size_t calls = 0;
    std::size_t backendCalls = 0;  // as the in-memory registry counts them; 0 for advapi32
    bool ok = false;
};

Outcome RunOnce(const std::string& backendName, const RegistryCase& c) {
    auto backend = plm::test::MakeBackend(backendName);
    Seed(backend->Inspector(), std::max(c.filledSlots, 0));
    CallCountingRegistry counting(backend->Api());
    plm::reg::RegisterKey registry(counting, backend->Codes());
    plm::test::MemoryRegistry* memory = backend->Memory();
    const std::size_t memoryBefore = memory != nullptr ? memory->CallCount() : 0;
    plm::test::RecordingUi ui{plm::Text(c.url)};
    plm::config::RegistrySteps steps(registry, [](plm::TextView) { return plm::reg::Status(); });

    const Clock start = Now();
    plm::config::AutoSettingCommand().Run(ui, steps, backend->Codes());
    const Clock end = Now();

    Outcome outcome;
    outcome.milliseconds = Milliseconds(start, end);
    outcome.calls = counting.calls;
    outcome.backendCalls = memory != nullptr ? memory->CallCount() - memoryBefore : 0;
    outcome.ok = ui.ended && ui.shown.empty();
    return outcome;
}

int Registry() {
    const RegistryCase cases[] = {
        {"domain host", u"http://plm.example.com/plm", -1},
        {"numeric host, 0 filled slots", u"http://10.1.2.3/plm", 0},
        {"numeric host, 50 filled slots", u"http://10.1.2.3/plm", 50},
        {"numeric host, 99 filled slots", u"http://10.1.2.3/plm", 99},
    };
    int rc = 0;
    for (const RegistryCase& c : cases) {
        for (const char* backend : {"Memory", "Win32"}) {
            const int runs = std::string(backend) == "Memory" ? 30 : 10;
            std::vector<double> times;
            std::size_t calls = 0;
            for (int i = 0; i < runs; ++i) {
                Outcome outcome = RunOnce(backend, c);
                if (!outcome.ok) {
                    std::fprintf(stderr, "plm_bench: the run for %s on %s did not end as a success\n", c.name,
                                 backend);
                    return 1;
                }
                // The counter must see every call the in-memory registry sees.
                if (outcome.backendCalls != 0 && outcome.backendCalls != outcome.calls) {
                    std::fprintf(stderr, "plm_bench: counted %zu calls, the registry saw %zu\n", outcome.calls,
                                 outcome.backendCalls);
                    rc = 1;
                }
                times.push_back(outcome.milliseconds);
                calls = outcome.calls;
            }
            const std::string what = std::string("registry: ") + c.name + ", " +
                                     (std::string(backend) == "Memory" ? "in memory" : "advapi32");
            char note[64];
            std::snprintf(note, sizeof(note), "%5zu / %-5zu", calls, LeastCalls(c));
            PrintRow(what, times, "ms", 3, note);
        }
    }
    return rc;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 6 && std::string(argv[1]) == "startup") {
        int pairs = std::atoi(argv[5]);
        return Startup(argv[2], plm::test::WindowsPath(argv[3]), plm::test::WindowsPath(argv[4]), pairs > 0 ? pairs : 20);
    }
    if (argc == 2 && std::string(argv[1]) == "registry") return Registry();
    std::fprintf(stderr, "usage: plm_bench startup MACHINE APP YARDSTICK PAIRS | plm_bench registry\n");
    return 2;
}

// PlmFleetKit /check ADDRESS: for the help desk, why the PLM site does or
// does not work for the user on this machine. Windows' own zone logic
// (urlmon) says which zone the login page falls into and which URL action
// policies are in force there; the registry says where that comes from;
// the tool's own rules say which browser opens the page. Only reads: every
// registry write is refused on the way.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "text/Text.h"
#include "text/CodePage.h"
#include "registry/RegistryApi.h"
#include "fleet/FleetKit.h"

namespace plm::fleet {

// Exit statuses of the check.
inline constexpr int CheckReady = 0;
inline constexpr int CheckRefused = 1;  // a refused address or a wrong command line
inline constexpr int CheckFailed = 2;   // the browser's zone logic could not be asked
inline constexpr int CheckNotReady = 3;

// "/check" or "--check", in any letter case.
bool IsCheckSwitch(TextView arg);

// What the browser's own zone logic answers. A failure comes back as the
// reason, in words.
class BrowserZones {
public:
    virtual ~BrowserZones() = default;
    struct Zone {
        std::optional<std::int32_t> zone;
        Text failure;
    };
    // The zone Windows puts `url` into, policies included.
    virtual Zone ZoneOf(TextView url) = 0;
    // The policy in force for the URL action `action` in `zone`; nullopt
    // when the zone holds none for it.
    virtual std::optional<std::uint32_t> ActionPolicy(std::int32_t zone, std::uint32_t action) = 0;
};

// The machine the check looks at: the registry in the program's own view,
// the same registry in the other view (32-bit and 64-bit programs see
// different HKLM\SOFTWARE), what the views are called, and the browser.
struct CheckMachine {
    reg::RegistryApi& registry;
    reg::RegistryApi& otherView;
    TextView viewName;
    TextView otherViewName;
    BrowserZones& browser;
    const CodePage& codePage;
};

// The check, on the arguments after the switch (the address alone).
KitRun RunCheck(std::span<const Text> args, CheckMachine& machine);

// The same on this machine: advapi32 in both views, urlmon. Windows only.
KitRun RunCheckOnThisMachine(std::span<const Text> args);

}  // namespace plm::fleet

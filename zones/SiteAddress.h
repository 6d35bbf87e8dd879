// The site as every configuration step takes it: read once from the checked
// address (config/ fills it), so that no step cuts the address again.
#pragma once

#include <cstddef>
#include <vector>

#include "text/Text.h"

namespace plm::zones {

struct SiteAddress {
    Text Scheme;       // before the first ":", trimmed, letter case as typed
    Text Host;         // the host, port dropped
    Text HostAndPort;  // the host with its port when the address has one
    // The address as typed up to its path: leading spaces, scheme, "//",
    // host and port. The stale entries are named after it.
    Text Root;
    // Where the host starts in Root (0-based), and whether a "scheme://"
    // comes before it.
    std::size_t HostStart = 0;
    bool AfterScheme = false;
    std::vector<Text> Labels;  // Host split at every "."
    // Three or more labels, each a run of ASCII decimal digits: registered
    // as an address range, never as a name.
    bool Numeric = false;
};

}  // namespace plm::zones

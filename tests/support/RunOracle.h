// What one Auto Setting run may and must leave in the registry, judged from
// the registry as it was before and after the run: the one oracle of the
// fuzz targets (on every input) and of the tests that fail each registry
// call in turn. It reads the registry as snapshot text and has a numeric
// rule of its own, so that it does not share a fault with the product.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/support/RegistrySnapshot.h"
#include "text/Text.h"
#include "zones/SiteAddress.h"

namespace plm::test {

// Key path (from the root, ASCII letters upper-cased) to its value lines.
using KeyLines = std::map<std::string, std::set<std::string>>;
struct RegistryState {
    KeyLines user;
    KeyLines machine;
};
RegistryState StateOf(RegistryInspector& registry);

// Three or more labels, each a run of ASCII digits.
bool IsNumericHost(TextView host);

// The slots of either range list that map the site's address and scheme to
// a zone other than 2; with `keptOnly`, only those the rebuild cannot redo:
// past slot 100, with sub-keys, or planted (a ":Range" that is not REG_SZ,
// or more than 64 values), whatever they map.
std::vector<std::string> SiteElsewhere(const KeyLines& user, const zones::SiteAddress& site, bool keptOnly);

// What the run broke, one line each; none when nothing. Always: a change
// outside the four zone-map lists, Zones\2 (only where it existed) and the
// machine-wide value; a planted slot changed. For a run that completed
// (`completed`: its site): the site's own entries not holding 2 in both
// lists, the site still in another zone in a range slot, an address of
// slots 1 to 100 that lost its first zone of a scheme, and a domain entry
// other than the site's own and port-carrying ones changed.
std::vector<std::string> RunProblems(const RegistryState& before, const RegistryState& after,
                                     const zones::SiteAddress* completed);

// A second run of the same address: what it may change is only the places
// of range slots, not their contents. What it broke, one line each.
std::vector<std::string> SecondRunProblems(const RegistryState& once, const RegistryState& twice);

}  // namespace plm::test

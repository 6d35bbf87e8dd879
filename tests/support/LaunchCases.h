// Login URLs that try to break out of the quoted browser argument, with the
// one argument the browser must receive for each, shared by the command-line
// round-trip tests (a model of the splitting rules everywhere, the real
// CommandLineToArgvW on Windows).
#pragma once

#include <vector>

#include "text/Text.h"

namespace plm::config::test {

struct LaunchCase {
    const char* label;
    Text loginUrl;
    Text argument;  // what the browser gets, percent-encoded where needed
    bool breaksUnquoted;  // passed raw inside quotes, it would not arrive intact
};

// With a Latin-1 code page for the ANSI launch call.
const std::vector<LaunchCase>& HostileLaunchCases();

}  // namespace plm::config::test

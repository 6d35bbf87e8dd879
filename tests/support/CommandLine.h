// A model of the Windows rules for splitting a command line into
// arguments, for tests and fuzz targets on every platform (on Windows the
// tests also hold the launch parameters to the real CommandLineToArgvW).
#pragma once

#include <vector>

#include "text/Text.h"

namespace plm::test {

// The Windows rules for splitting a command line into arguments, as the
// browser's start-up code applies them: the program name runs to the next
// quote (when quoted) or white space; then white space separates arguments
// outside quotes; 2n backslashes before a quote give n backslashes and the
// quote toggles quoting, 2n+1 give n and a literal quote; inside quotes a
// doubled quote is a literal one; other backslashes are literal.
std::vector<Text> SplitCommandLine(TextView line);

}  // namespace plm::test

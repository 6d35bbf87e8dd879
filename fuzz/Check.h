// The invariants of the fuzz targets are checks that abort: libFuzzer then
// keeps the input that broke one, and says which.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#define PLM_CHECK(condition, detail)                                                          \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            const std::string plmDetail = (detail);                                            \
            std::fprintf(stderr, "invariant broken: %s\n", #condition);                        \
            std::fwrite(plmDetail.data(), 1, plmDetail.size(), stderr);                          \
            std::fputc('\n', stderr);                                                          \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

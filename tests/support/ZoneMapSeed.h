// Shared by the zone tests: the browser's key paths spelled out on their own
// (so a wrong path in the product shows up), and seeding registry state from
// the same text form that a snapshot prints.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "text/Text.h"
#include "registry/RegisterKey.h"
#include "registry/RegistryApi.h"
#include "tests/support/RegistrySnapshot.h"

namespace plm::zones::test {

inline constexpr TextView ZoneMapPath = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap";
inline constexpr TextView RangesPath =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Ranges";
inline constexpr TextView ZonesPath = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones";
inline constexpr TextView MachineSettingsPath = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// A block of snapshot lines relative to one list ("[]" is the list key),
// repeated under each of the given lists of the zone map.
inline std::string UnderLists(std::string_view block, std::initializer_list<std::string_view> lists) {
    std::string out;
    for (const std::string_view list : lists) {
        std::string_view rest = block;
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            const std::string_view line = rest.substr(0, end);
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            if (!line.empty() && line.front() == '[') {
                out += '[';
                out += list;
                if (line != "[]") out += '\\';
                out += line.substr(1);  // "]" for the list key itself
            } else {
                out += line;
            }
            out += '\n';
        }
    }
    return out;
}

inline std::string DomainLists(std::string_view block) { return UnderLists(block, {"Domains", "EscDomains"}); }

}  // namespace plm::zones::test

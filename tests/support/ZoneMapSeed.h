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
#include "registry/RegistryInspector.h"

namespace plm::zones::test {

inline constexpr TextView ZoneMapPath = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap";
inline constexpr TextView RangesPath =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Ranges";
inline constexpr TextView ZonesPath = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones";
inline constexpr TextView MachineSettingsPath = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

inline std::string DwordBytes(std::uint32_t v) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFFu);
    return bytes;
}

// Creates keys and values below `base` from snapshot text:
//   [sub\key]            the key (created even when it holds no value)
//   "name"=dword:0000002a
//   "name"="text"        a REG_SZ with its terminating NUL
// "[]" is `base` itself. Texts are ASCII.
inline void Seed(reg::RegisterKey& keys, reg::RegistryInspector& inspect, reg::HKEY root, TextView base,
                 std::string_view regText) {
    Text key(base);
    while (!regText.empty()) {
        const std::size_t end = regText.find('\n');
        const std::string_view line = regText.substr(0, end);
        regText.remove_prefix(end == std::string_view::npos ? regText.size() : end + 1);
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view sub = line.substr(1, line.size() - 2);
            key = Text(base);
            if (!sub.empty()) key += u'\\' + FromUtf8(sub);
            if (keys.CreateKey(root, key).status != reg::Success) ADD_FAILURE() << "cannot seed: " << line;
            continue;
        }
        const std::size_t eq = line.find("\"=");
        if (line.front() != '"' || eq == std::string_view::npos) {
            ADD_FAILURE() << "cannot seed: " << line;
            continue;
        }
        const Text name = FromUtf8(line.substr(1, eq - 1));
        const std::string_view data = line.substr(eq + 2);
        if (data.substr(0, 6) == "dword:") {
            const auto v = static_cast<std::uint32_t>(std::stoul(std::string(data.substr(6)), nullptr, 16));
            inspect.PutValue(root, key, name, reg::TypeDword, DwordBytes(v));
        } else if (data.size() >= 2 && data.front() == '"' && data.back() == '"') {
            std::string bytes(data.substr(1, data.size() - 2));
            bytes.push_back('\0');
            inspect.PutValue(root, key, name, reg::TypeString, bytes);
        } else {
            ADD_FAILURE() << "cannot seed: " << line;
        }
    }
}

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

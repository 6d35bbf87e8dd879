// Snapshot text for the zone tests: a block of keys and values written in
// short, and repeated under several lists of the zone map.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>

namespace plm::test {

// A block in short, one key a line: its path below the list, then its
// values, name=zone for a REG_DWORD (hexadecimal), name='text' for a REG_SZ;
// as snapshot text, the list key first. For example
//   Range1 :Range='10.0.0.9' http=2
inline std::string Block(std::string_view text) {
    std::string out = "[]\n";
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        out += "[" + key + "]\n";
        for (std::string name; std::getline(words >> std::ws, name, '=');) {
            std::string data;
            if (words.peek() == '\'') {
                words.get();
                std::getline(words, data, '\'');
                out += "\"" + name + "\"=\"" + data + "\"\n";
                continue;
            }
            words >> data;
            char dword[16];
            std::snprintf(dword, sizeof dword, "%08lx", std::stoul(data, nullptr, 16));
            out += "\"" + name + "\"=dword:" + dword + "\n";
        }
    }
    return out;
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

}  // namespace plm::test

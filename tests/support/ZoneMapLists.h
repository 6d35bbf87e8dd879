// Snapshot text for the zone tests: a block of keys and values repeated
// under several lists of the zone map.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace plm::test {

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

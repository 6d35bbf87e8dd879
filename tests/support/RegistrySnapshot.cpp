#include "tests/support/RegistrySnapshot.h"

#include <cstdio>
#include <stdexcept>

#include "text/Text.h"

namespace plm::test {

namespace {

std::u16string Hex(const std::string& bytes) {
    std::u16string out;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
        if (i) out += u',';
        out += static_cast<char16_t>(buf[0]);
        out += static_cast<char16_t>(buf[1]);
    }
    return out;
}

// A line the seed cannot take is a mistake in the test that gives it.
[[noreturn]] void Refuse(std::string_view line) { throw std::invalid_argument("cannot seed: " + std::string(line)); }

}  // namespace

std::u16string FormatRegistryValue(std::u16string_view name, reg::DWORD type, const std::string& bytes,
                                   const CodePage& codePage) {
    std::u16string line = u"@=";
    if (!name.empty()) {
        line = u"\"";
        line += name;
        line += u"\"=";
    }
    if (type == reg::TypeDword && bytes.size() == 4) {
        std::uint32_t v = static_cast<unsigned char>(bytes[0]) | (static_cast<unsigned char>(bytes[1]) << 8) |
                          (static_cast<unsigned char>(bytes[2]) << 16) |
                          (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[3])) << 24);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(v));
        line += FromUtf8(buf);
    } else if (type == reg::TypeString && !bytes.empty() && bytes.back() == '\0' &&
               bytes.find('\0') == bytes.size() - 1) {
        line += u"\"" + codePage.FromAnsi(std::string_view(bytes).substr(0, bytes.size() - 1)) + u"\"";
    } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(type));
        line += FromUtf8(buf) + Hex(bytes);
    }
    return line;
}

std::string DwordBytes(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
    return bytes;
}

std::string StringBytes(std::string_view text) {
    std::string bytes(text);
    bytes.push_back('\0');
    return bytes;
}

void Seed(reg::RegisterKey& keys, RegistryInspector& inspect, reg::HKEY root, TextView base, std::string_view regText) {
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
            if (keys.CreateKey(root, key).status != reg::Success) Refuse(line);
            continue;
        }
        const std::size_t eq = line.find("\"=");
        if (line.front() != '"' || eq == std::string_view::npos) Refuse(line);
        const Text name = FromUtf8(line.substr(1, eq - 1));
        const std::string_view data = line.substr(eq + 2);
        if (data.substr(0, 6) == "dword:") {
            const auto v = static_cast<std::uint32_t>(std::stoul(std::string(data.substr(6)), nullptr, 16));
            inspect.PutValue(root, key, name, reg::TypeDword, DwordBytes(v));
        } else if (data.size() >= 2 && data.front() == '"' && data.back() == '"') {
            inspect.PutValue(root, key, name, reg::TypeString, StringBytes(data.substr(1, data.size() - 2)));
        } else if (data.substr(0, 4) == "hex(" && data.find("):") != std::string_view::npos) {
            // hex(type):12,34 as the snapshot prints any other value.
            const std::size_t close = data.find("):");
            std::string bytes;
            for (std::size_t at = close + 2; at + 1 < data.size(); at += 3) {
                bytes.push_back(static_cast<char>(std::stoul(std::string(data.substr(at, 2)), nullptr, 16)));
            }
            inspect.PutValue(root, key, name, std::stoul(std::string(data.substr(4, close - 4)), nullptr, 16), bytes);
        } else {
            Refuse(line);
        }
    }
}

}  // namespace plm::test

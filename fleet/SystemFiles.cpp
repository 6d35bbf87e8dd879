// The kit's file operations through C stdio, where there is no Win32: paths
// in UTF-8, and rename, which replaces the old file in one step on POSIX.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "fleet/FleetKit.h"

namespace plm::fleet {
namespace {

Text Reason() { return FromUtf8(std::strerror(errno)); }

class StdioFiles final : public FileSystem {
public:
    TextView Separators() const override { return u"/"; }

    std::optional<Text> Write(TextView path, std::string_view bytes) override {
        std::FILE* file = std::fopen(ToUtf8(path).c_str(), "wb");
        if (file == nullptr) return Reason();
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (std::fclose(file) != 0 || !written) return Reason();
        return std::nullopt;
    }

    std::optional<Text> Replace(TextView from, TextView to) override {
        if (std::rename(ToUtf8(from).c_str(), ToUtf8(to).c_str()) != 0) return Reason();
        return std::nullopt;
    }

    void Remove(TextView path) override { std::remove(ToUtf8(path).c_str()); }
};

}  // namespace

FileSystem& SystemFiles() {
    static StdioFiles files;
    return files;
}

}  // namespace plm::fleet

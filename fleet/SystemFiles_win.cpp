// The kit's file operations through Win32: Unicode paths, data on the disk
// before the rename, and a rename that replaces the old file in one step.
#include <windows.h>

#include "fleet/FleetKit.h"

namespace plm::fleet {
namespace {

const wchar_t* Wide(TextView path, Text& buffer) {
    buffer.assign(path);
    return reinterpret_cast<const wchar_t*>(buffer.c_str());
}

// The system's wording of the last error, and its code.
Text Reason() {
    const DWORD code = GetLastError();
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    Text reason(reinterpret_cast<const char16_t*>(message), length);
    LocalFree(message);
    while (!reason.empty() && (reason.back() == u'\r' || reason.back() == u'\n' || reason.back() == u' ')) {
        reason.pop_back();
    }
    if (!reason.empty()) reason += u' ';
    return reason + u"(error " + DecimalText(code) + u")";
}

class Win32Files final : public FileSystem {
public:
    TextView Separators() const override { return u"\\/:"; }

    std::optional<Text> Write(TextView path, std::string_view bytes) override {
        const HANDLE file = CreateFileW(Wide(path, from_), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return Reason();
        DWORD written = 0;
        const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size() && FlushFileBuffers(file);
        std::optional<Text> failure;
        if (!ok) failure = Reason();
        CloseHandle(file);
        return failure;
    }

    std::optional<Text> Replace(TextView from, TextView to) override {
        if (!MoveFileExW(Wide(from, from_), Wide(to, to_), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return Reason();
        }
        return std::nullopt;
    }

    void Remove(TextView path) override { DeleteFileW(Wide(path, from_)); }

private:
    Text from_;
    Text to_;
};

}  // namespace

FileSystem& SystemFiles() {
    static Win32Files files;
    return files;
}

}  // namespace plm::fleet

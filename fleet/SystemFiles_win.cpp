// The kit's file operations through Win32: Unicode paths, new files that
// never open what is there already, data on the disk before the rename, and
// a rename that replaces the old file in one step.
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

    Creation CreateNew(TextView path, std::string_view bytes) override {
        // CREATE_NEW with FILE_FLAG_OPEN_REPARSE_POINT fails on any name
        // that exists, a link included, instead of following it.
        const HANDLE file = CreateFileW(Wide(path, from_), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            const Text reason = Reason();
            return {code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS ? Created::NameTaken : Created::Failed,
                    reason};
        }
        DWORD written = 0;
        const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size() && FlushFileBuffers(file);
        Creation creation{Created::Yes, {}};
        if (!ok) {
            creation = {Created::Failed, Reason()};
            // Through the handle: the file this call made, whatever the
            // name stands for by now.
            FILE_DISPOSITION_INFO dispose{TRUE};
            SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
        }
        CloseHandle(file);
        return creation;
    }

    std::optional<Text> CannotReplace(TextView path) override {
        const DWORD attributes = GetFileAttributesW(Wide(path, from_));
        if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return Text(u"it is a link (a reparse point), which the kit does not replace");
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Text(u"it is a folder");
        return std::nullopt;
    }

    std::optional<Text> Replace(TextView from, TextView to) override {
        if (!MoveFileExW(Wide(from, from_), Wide(to, to_), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return Reason();
        }
        return std::nullopt;
    }

    void Remove(TextView path) override { DeleteFileW(Wide(path, from_)); }

    Text RunTag() override { return DecimalText(GetCurrentProcessId()); }

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

// A REG_DWORD planted in the real registry of a test prefix for the life of
// the object (a policy, say). On the way out the value goes again, with
// every key that had to be created for it; a value that was there before
// gets its old data back.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace plm::test {

class PlantedDword {
public:
    PlantedDword(HKEY root, std::wstring path, std::wstring name, DWORD data)
        : root_(root), path_(std::move(path)), name_(std::move(name)) {
        for (std::size_t end = path_.find(L'\\'); created_.empty(); end = path_.find(L'\\', end + 1)) {
            const std::wstring key = path_.substr(0, end);
            if (!Exists(key)) created_ = key;
            if (end == std::wstring::npos) break;
        }
        DWORD old = 0;
        DWORD size = sizeof old;
        if (RegGetValueW(root_, path_.c_str(), name_.c_str(), RRF_RT_REG_DWORD, nullptr, &old, &size) == ERROR_SUCCESS) {
            previous_ = old;
        }
        Set(data);
    }
    ~PlantedDword() {
        if (!created_.empty()) {
            RegDeleteTreeW(root_, created_.c_str());
            RegDeleteKeyW(root_, created_.c_str());
        } else if (previous_) {
            Set(*previous_);
        } else {
            RegDeleteKeyValueW(root_, path_.c_str(), name_.c_str());
        }
    }
    PlantedDword(const PlantedDword&) = delete;
    PlantedDword& operator=(const PlantedDword&) = delete;

private:
    bool Exists(const std::wstring& key) const {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(root_, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
        RegCloseKey(opened);
        return true;
    }
    void Set(DWORD data) const {
        HKEY key = nullptr;
        if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return;
        }
        RegSetValueExW(key, name_.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
        RegCloseKey(key);
    }

    HKEY root_;
    std::wstring path_;
    std::wstring name_;
    std::wstring created_;  // the first key of the path that was missing
    std::optional<DWORD> previous_;
};

// "Security Zones: Use only machine settings": the browser goes by the
// machine's zone map and ignores the user's.
inline constexpr const wchar_t* MachinePolicyKey =
    L"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr const wchar_t* MachineSettingsOnly = L"Security_HKLM_only";

}  // namespace plm::test

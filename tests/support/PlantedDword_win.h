// A REG_DWORD planted in the real registry of a test prefix (a policy, say)
// for the life of the object. On the way out it goes again, with every key
// that had to be created for it. The value must not exist before.
#pragma once

#include <windows.h>

#include <string>

namespace plm::test {

class PlantedDword {
public:
    PlantedDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD data)
        : root_(root), path_(path), name_(name) {
        for (std::size_t end = 0; created_.empty() && end != std::wstring::npos;) {
            end = path_.find(L'\\', end + 1);
            HKEY key = nullptr;
            if (RegOpenKeyExW(root_, path_.substr(0, end).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
                RegCloseKey(key);
            } else {
                created_ = path_.substr(0, end);
            }
        }
        RegSetKeyValueW(root_, path_.c_str(), name_, REG_DWORD, &data, sizeof data);
    }
    ~PlantedDword() {
        if (created_.empty()) {
            RegDeleteKeyValueW(root_, path_.c_str(), name_);
        } else {
            RegDeleteTreeW(root_, created_.c_str());
            RegDeleteKeyW(root_, created_.c_str());
        }
    }
    PlantedDword(const PlantedDword&) = delete;
    PlantedDword& operator=(const PlantedDword&) = delete;

private:
    HKEY root_;
    std::wstring path_;
    const wchar_t* name_;
    std::wstring created_;  // the first key of the path that was missing
};

// "Security Zones: Use only machine settings": the browser goes by the
// machine's zone map and ignores the user's.
inline constexpr const wchar_t* MachinePolicyKey =
    L"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr const wchar_t* MachineSettingsOnly = L"Security_HKLM_only";

}  // namespace plm::test

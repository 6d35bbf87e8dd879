// Values planted in the real registry of a test prefix (a policy, the
// Windows identity) for the life of the object. On the way out the old
// data comes back, or the value goes again with every key that had to be
// created for it.
#pragma once

#include <windows.h>

#include <list>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/RealRegistry_win.h"
#include "text/Text.h"
#include "zones/IeMode.h"
#include "zones/ZoneMap.h"

namespace plm::test {

class PlantedValue {
public:
    // `view`: KEY_WOW64_32KEY or KEY_WOW64_64KEY for one registry view, 0
    // for the test's own.
    PlantedValue(HKEY root, const std::wstring& path, std::wstring name, DWORD type, const void* data, DWORD size,
                 REGSAM view = 0)
        : root_(root), path_(path), name_(std::move(name)), view_(view) {
        for (std::size_t end = 0; created_.empty() && end != std::wstring::npos;) {
            end = path_.find(L'\\', end + 1);
            HKEY key = nullptr;
            if (RegOpenKeyExW(root_, path_.substr(0, end).c_str(), 0, KEY_READ | view_, &key) != ERROR_SUCCESS) {
                created_ = path_.substr(0, end);
                continue;
            }
            DWORD oldSize = 0;
            if (end == std::wstring::npos &&
                RegQueryValueExW(key, name_.c_str(), nullptr, &oldType_, nullptr, &oldSize) == ERROR_SUCCESS) {
                old_.resize(oldSize);
                existed_ = RegQueryValueExW(key, name_.c_str(), nullptr, &oldType_, old_.data(), &oldSize) == ERROR_SUCCESS;
            }
            RegCloseKey(key);
        }
        Set(type, data, size);
    }
    ~PlantedValue() {
        HKEY key = nullptr;
        if (existed_) {
            Set(oldType_, old_.data(), static_cast<DWORD>(old_.size()));
        } else if (!created_.empty()) {
            if (RegOpenKeyExW(root_, created_.c_str(), 0, KEY_ALL_ACCESS | view_, &key) == ERROR_SUCCESS) {
                RegDeleteTreeW(key, nullptr);
                RegCloseKey(key);
            }
            RegDeleteKeyExW(root_, created_.c_str(), view_, 0);
        } else if (RegOpenKeyExW(root_, path_.c_str(), 0, KEY_SET_VALUE | view_, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, name_.c_str());
            RegCloseKey(key);
        }
    }
    PlantedValue(const PlantedValue&) = delete;
    PlantedValue& operator=(const PlantedValue&) = delete;

private:
    void Set(DWORD type, const void* data, DWORD size) { PutValue(root_, path_, name_, type, data, size, view_); }

    HKEY root_;
    std::wstring path_;
    std::wstring name_;
    REGSAM view_;
    std::wstring created_;  // the first key of the path that was missing
    bool existed_ = false;
    DWORD oldType_ = 0;
    std::vector<BYTE> old_;
};

class PlantedDword : public PlantedValue {
public:
    PlantedDword(HKEY root, const std::wstring& path, std::wstring name, DWORD data)
        : PlantedValue(root, path, std::move(name), REG_DWORD, &data, sizeof data) {}
};

// "Security Zones: Use only machine settings": the browser goes by the
// machine's zone map and ignores the user's.
inline const std::wstring MachinePolicyKey = Wide(zones::PolicySettingsKey);
inline const std::wstring MachineSettingsOnlyName = Wide(zones::MachineSettingsOnlyValue);
inline const wchar_t* const MachineSettingsOnly = MachineSettingsOnlyName.c_str();

// The Windows the program takes the machine for, in both registry views:
// the shipped program is 32-bit and reads its own.
class PlantedWindows {
public:
    PlantedWindows(const wchar_t* build, const wchar_t* edition) {
        for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            for (const auto& [name, text] : {std::pair{zones::BuildNumberValue, build}, std::pair{zones::EditionValue, edition},
                                             std::pair{zones::InstallationTypeValue, L"Client"}}) {
                values_.emplace_back(HKEY_LOCAL_MACHINE, Wide(zones::WindowsVersionKey), Wide(name), REG_SZ, text,
                                     static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)), view);
            }
        }
    }

private:
    std::list<PlantedValue> values_;
};

}  // namespace plm::test

// The real registry as the tests see and prepare it, through the W API: a
// subtree as snapshot text (RegistrySnapshot.h's format, the one the
// in-memory registry prints), and a value stored. The registry backend, the
// planted values and the end-to-end tests all go through these.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/RegistrySnapshot.h"
#include "tests/support/WideStrings_win.h"
#include "text/CodePage.h"

namespace plm::test {

// Appends `key` and everything below it, sorted without letter case, paths
// relative to the first key. Names are listed through the W API; values are
// read through the A API so that a string shows the code-page bytes the
// product wrote.
inline void AppendSnapshot(HKEY key, const std::u16string& relative, const CodePage& codes, std::u16string& out) {
    struct Entry {
        std::u16string folded;
        std::u16string name;
    };
    // The names `enumerate` lists by index, sorted without letter case.
    const auto listed = [](auto&& enumerate) {
        std::vector<Entry> names;
        wchar_t name[16384];
        for (DWORD i = 0, length = 16384; enumerate(i, name, &length) == ERROR_SUCCESS; ++i, length = 16384) {
            const std::u16string n = FromWide(std::wstring_view(name, length));
            names.push_back({ToUpper(n), n});
        }
        std::sort(names.begin(), names.end(), [](const Entry& a, const Entry& b) { return a.folded < b.folded; });
        return names;
    };
    out += u"[" + relative + u"]\n";
    for (const Entry& v : listed([&](DWORD i, wchar_t* name, DWORD* length) {
             return RegEnumValueW(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
         })) {
        DWORD type = 0;
        DWORD size = 0;
        const std::string ansiName = codes.ToAnsi(v.name).value_or("?");
        RegQueryValueExA(key, ansiName.c_str(), nullptr, &type, nullptr, &size);
        std::string bytes(size, '\0');
        RegQueryValueExA(key, ansiName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
        bytes.resize(size);
        out += FormatRegistryValue(v.name, type, bytes, codes) + u"\n";
    }
    for (const Entry& k : listed([&](DWORD i, wchar_t* name, DWORD* length) {
             return RegEnumKeyExW(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
         })) {
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, Wide(k.name).c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
        AppendSnapshot(child, relative.empty() ? k.name : relative + u"\\" + k.name, codes, out);
        RegCloseKey(child);
    }
}

// The subtree below root\path; empty text when the key does not exist.
inline std::u16string SnapshotOf(HKEY root, const std::wstring& path, const CodePage& codes = SystemCodePage()) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::u16string out;
    AppendSnapshot(key, u"", codes, out);
    RegCloseKey(key);
    return out;
}

// Creates the key path as needed and stores a value of any type; `view`:
// KEY_WOW64_32KEY or KEY_WOW64_64KEY for one registry view, 0 for the
// caller's own.
inline void PutValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
                     DWORD size, REGSAM view = 0) {
    HKEY key = nullptr;
    RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr);
    RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}
inline void PutDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD data) {
    PutValue(root, path, name, REG_DWORD, &data, sizeof data);
}
inline void PutString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text) {
    PutValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace plm::test

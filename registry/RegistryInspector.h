// What tests need to see and prepare registry state, for both backends (the
// in-memory registry and, under Wine, the real one): a printed snapshot of a
// subtree, and raw setup and removal. The product never uses it.
#pragma once

#include <string>
#include <string_view>

#include "text/CodePage.h"
#include "registry/RegistryApi.h"

namespace plm::reg {

// One value as a snapshot line: "name"=dword:00000002, "name"="text" (a
// REG_SZ holding text and exactly one terminating NUL), otherwise
// "name"=hex(type):bytes. The default value is @.
std::u16string FormatRegistryValue(std::u16string_view name, DWORD type, const std::string& bytes,
                                   const CodePage& codePage);

class RegistryInspector {
public:
    virtual ~RegistryInspector() = default;

    // The subtree below keyPath, one line per key and value, sorted without
    // letter case, paths relative to keyPath:
    //   [sub\key]
    //   "name"=dword:00000002
    //   "name"="text"
    //   "name"=hex(3):01,02
    // Empty text when the key does not exist; "[]" heads the key itself.
    virtual std::u16string Snapshot(HKEY root, std::u16string_view keyPath) = 0;
    virtual bool KeyExists(HKEY root, std::u16string_view keyPath) = 0;
    // Deletes the key and everything below it (no error when missing).
    virtual void RemoveTree(HKEY root, std::u16string_view keyPath) = 0;
    // Creates the key path as needed and stores a value of any type.
    virtual void PutValue(HKEY root, std::u16string_view keyPath, std::u16string_view name, DWORD type,
                          std::string bytes) = 0;
};

}  // namespace plm::reg

// The snapshot format tests see and prepare registry state in, for both
// backends (the in-memory registry and, under Wine, the real one): a
// printed subtree, one line per key and value, and the same text read
// back to seed a registry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/CodePage.h"
#include "text/Text.h"
#include "registry/RegisterKey.h"
#include "registry/RegistryApi.h"

namespace plm::test {

// One value as a snapshot line: "name"=dword:00000002, "name"="text" (a
// REG_SZ holding text and exactly one terminating NUL), otherwise
// "name"=hex(type):bytes. The default value is @.
std::u16string FormatRegistryValue(std::u16string_view name, reg::DWORD type, const std::string& bytes,
                                   const CodePage& codePage);

// The data of a REG_DWORD, least significant byte first, and of a REG_SZ,
// with its terminating NUL.
std::string DwordBytes(std::uint32_t value);
std::string StringBytes(std::string_view text);

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
    virtual std::u16string Snapshot(reg::HKEY root, std::u16string_view keyPath) = 0;
    virtual bool KeyExists(reg::HKEY root, std::u16string_view keyPath) = 0;
    // Deletes the key and everything below it (no error when missing).
    virtual void RemoveTree(reg::HKEY root, std::u16string_view keyPath) = 0;
    // Creates the key path as needed and stores a value of any type.
    virtual void PutValue(reg::HKEY root, std::u16string_view keyPath, std::u16string_view name, reg::DWORD type,
                          std::string bytes) = 0;
};

// Creates keys and values below `base` from snapshot text:
//   [sub\key]            the key (created even when it holds no value)
//   "name"=dword:0000002a
//   "name"="text"        a REG_SZ with its terminating NUL
// "[]" is `base` itself. Texts are ASCII. Throws std::invalid_argument for a
// line it cannot take.
void Seed(reg::RegisterKey& keys, RegistryInspector& inspect, reg::HKEY root, TextView base, std::string_view regText);

}  // namespace plm::test

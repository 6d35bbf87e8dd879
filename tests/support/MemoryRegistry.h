// An in-memory registry behind RegistryApi that behaves like the Win32 one in
// everything this system relies on:
// - key and value names compare without letter case, as Windows compares
//   them: converted to Unicode and upper-cased, never by folding ANSI bytes;
// - a trailing "\" names the same key; RegCreateKeyA creates every missing
//   key of the path; opening a missing key gives ERROR_FILE_NOT_FOUND;
// - RegDeleteKeyA deletes only a key without sub-keys, with its values, and
//   on an empty sub-key name acts on the key itself;
// - RegQueryValueExA reports sizes in bytes, terminating NUL included;
// - RegEnumValueA and RegEnumKeyA list names in their upper-cased order (the
//   order is the registry's own business; this one is at least fixed), and
//   hand out a name the code page cannot hold with "?" in its place;
// - key names of at most 255 characters and at most 512 levels.
// Handles are counted so tests can see leaks, and its fault plan makes
// chosen calls fail. A test double: the product runs on advapi32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/CodePage.h"
#include "registry/RegistryApi.h"
#include "tests/support/FaultPlan.h"
#include "tests/support/RegistrySnapshot.h"

namespace plm::test {

class MemoryRegistry final : public reg::RegistryApi, public RegistryInspector {
public:
    explicit MemoryRegistry(const CodePage& codePage = SystemCodePage());
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    reg::LONG RegOpenKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override;
    reg::LONG RegCreateKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override;
    reg::LONG RegQueryValueExA(reg::HKEY key, const char* valueName, reg::DWORD* reserved, reg::DWORD* type, reg::BYTE* data,
                          reg::DWORD* dataSize) override;
    reg::LONG RegSetValueExA(reg::HKEY key, const char* valueName, reg::DWORD reserved, reg::DWORD type, const reg::BYTE* data,
                        reg::DWORD dataSize) override;
    reg::LONG RegDeleteKeyA(reg::HKEY key, const char* subKey) override;
    reg::LONG RegCloseKey(reg::HKEY key) override;
    reg::LONG RegEnumValueA(reg::HKEY key, reg::DWORD index, char* valueName, reg::DWORD* valueNameSize, reg::DWORD* reserved, reg::DWORD* type,
                       reg::BYTE* data, reg::DWORD* dataSize) override;
    reg::LONG RegEnumKeyA(reg::HKEY key, reg::DWORD index, char* name, reg::DWORD nameSize) override;

    // The calls that fail, and with what; see FaultPlan.
    FaultPlan& Faults() { return faults_; }

    // Handles currently open (root keys are not counted).
    std::size_t OpenHandles() const;
    // Number of registry calls made so far, of all kinds.
    std::size_t CallCount() const { return faults_.CallCount(); }

    // RegistryInspector
    std::u16string Snapshot(reg::HKEY root, std::u16string_view keyPath) override;
    bool KeyExists(reg::HKEY root, std::u16string_view keyPath) override;
    void RemoveTree(reg::HKEY root, std::u16string_view keyPath) override;
    void PutValue(reg::HKEY root, std::u16string_view keyPath, std::u16string_view name, reg::DWORD type,
                  std::string bytes) override;

    struct Node;

private:
    reg::LONG StartSubKeyCall(RegCall call, reg::HKEY key, const char* subKey, std::shared_ptr<Node>& node);
    std::shared_ptr<Node>* HandleSlot(reg::HKEY key);
    reg::LONG OpenKey(RegCall call, reg::HKEY key, const char* subKey, reg::HKEY* result);

    std::shared_ptr<Node> Resolve(reg::HKEY key, reg::LONG* error);
    std::shared_ptr<Node> Find(reg::HKEY root, std::u16string_view keyPath);
    std::string AnsiName(std::u16string_view name) const;
    reg::HKEY NewHandle(std::shared_ptr<Node> node);

    const CodePage& codePage_;
    std::shared_ptr<Node> currentUser_;
    std::shared_ptr<Node> localMachine_;
    static constexpr std::intptr_t FirstHandle = 0x1000;
    std::vector<std::shared_ptr<Node>> handles_;  // by handle number; empty once closed
    std::size_t openHandles_ = 0;
    // The sub-key (or value name) of the call being made and its names,
    // kept from call to call so that a call makes no allocation for them.
    std::u16string sub_;
    std::vector<std::u16string_view> parts_;
    FaultPlan faults_;
};

}  // namespace plm::test

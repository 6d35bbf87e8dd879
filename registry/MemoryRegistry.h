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
// Handles are counted so tests can see leaks, and any call can be made to
// fail with a chosen code.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "text/CodePage.h"
#include "registry/RegistryApi.h"
#include "registry/RegistryInspector.h"

namespace plm::reg {

enum class RegCall { Open, Create, Query, Set, Delete, Close, Enum, EnumKey };

class MemoryRegistry final : public RegistryApi, public RegistryInspector {
public:
    explicit MemoryRegistry(const CodePage& codePage = SystemCodePage());
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    LONG RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) override;
    LONG RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) override;
    LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                          DWORD* dataSize) override;
    LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                        DWORD dataSize) override;
    LONG RegDeleteKeyA(HKEY key, const char* subKey) override;
    LONG RegCloseKey(HKEY key) override;
    LONG RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize, DWORD* reserved, DWORD* type,
                       BYTE* data, DWORD* dataSize) override;
    LONG RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD nameSize) override;

    // Makes the next `times` calls of this kind fail with `code`, doing
    // nothing else (negative times: every call from now on).
    void FailNext(RegCall call, LONG code, int times = 1);
    // Fails every call of this kind whose key path (root-relative, the
    // sub-key appended for open/create/delete) contains `pathPart`, compared
    // without letter case; only the first `times` such calls when times > 0.
    // Used for refused writes such as HKLM.
    void FailPath(RegCall call, std::u16string_view pathPart, LONG code, int times = -1);
    // Fails the call that comes `number`-th (counted from 0, as CallCount
    // counts), whatever its kind.
    void FailCall(std::size_t number, LONG code);
    void ClearFailures();

    // Handles currently open (root keys are not counted).
    std::size_t OpenHandles() const;
    // Number of registry calls made so far, of all kinds.
    std::size_t CallCount() const { return callCount_; }

    // RegistryInspector
    std::u16string Snapshot(HKEY root, std::u16string_view keyPath) override;
    bool KeyExists(HKEY root, std::u16string_view keyPath) override;
    void RemoveTree(HKEY root, std::u16string_view keyPath) override;
    void PutValue(HKEY root, std::u16string_view keyPath, std::u16string_view name, DWORD type,
                  std::string bytes) override;

    struct Node;

private:
    struct Failure {
        RegCall call;
        LONG code;
        int times;
        std::u16string pathPart;
    };
    template <typename PathOf>
    LONG Injected(RegCall call, PathOf&& pathOf);
    LONG StartSubKeyCall(RegCall call, HKEY key, const char* subKey, std::shared_ptr<Node>& node);
    std::shared_ptr<Node>* HandleSlot(HKEY key);
    LONG OpenKey(RegCall call, HKEY key, const char* subKey, HKEY* result);

    // Keys met before, by their exact path from a root key.
    struct PathHash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view path) const { return std::hash<std::u16string_view>{}(path); }
    };
    struct PathCache {
        std::unordered_map<std::u16string, std::weak_ptr<Node>, PathHash, std::equal_to<>> keys;
        std::shared_ptr<Node> Find(std::u16string_view path);
        void Remember(std::u16string_view path, const std::shared_ptr<Node>& node);
    };
    std::shared_ptr<Node> Resolve(HKEY key, LONG* error);
    HKEY NewHandle(std::shared_ptr<Node> node);

    const CodePage& codePage_;
    std::shared_ptr<Node> currentUser_;
    std::shared_ptr<Node> localMachine_;
    PathCache currentUserPaths_;
    PathCache localMachinePaths_;
    static constexpr std::intptr_t FirstHandle = 0x1000;
    std::vector<std::shared_ptr<Node>> handles_;  // by handle number; empty once closed
    std::size_t openHandles_ = 0;
    // The sub-key (or value name) of the call being made and its names,
    // kept from call to call so that a call makes no allocation for them.
    std::u16string sub_;
    std::vector<std::u16string_view> parts_;
    std::vector<Failure> failures_;
    std::optional<std::pair<std::size_t, LONG>> failCall_;
    std::size_t callCount_ = 0;
};

}  // namespace plm::reg

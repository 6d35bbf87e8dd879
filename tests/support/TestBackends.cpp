#include "tests/support/TestBackends.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <utility>

#ifdef _WIN32
#include <windows.h>

#include "registry/Win32Registry_win.h"
#include "tests/support/RealRegistry_win.h"
#endif

namespace plm::test {

namespace {

class MemoryBackend final : public TestRegistry {
public:
    MemoryBackend() : registry_(codes_) {}
    reg::RegistryApi& Api() override { return registry_; }
    test::RegistryInspector& Inspector() override { return registry_; }
    const CodePage& Codes() override { return codes_; }
    std::size_t OpenHandles() override { return registry_.OpenHandles(); }
    test::MemoryRegistry* Memory() override { return &registry_; }

private:
    Latin1CodePage codes_;
    test::MemoryRegistry registry_;
};

#ifdef _WIN32


// The real advapi32, with the two root keys moved into a test-owned key
// under HKCU\Software, which the backend deletes when the test ends. Calls
// on other handles pass through unchanged, so the registry's own rules
// (letter case, trailing separators, deletes, sizes) are the real ones.
class RebasedAdvapi32 final : public reg::RegistryApi {
public:
    RebasedAdvapi32() {
        static std::atomic<int> counter{0};
        wchar_t name[96];
        std::swprintf(name, 96, L"Software\\PlmClientConfigTests\\run-%lu-%d",
                      static_cast<unsigned long>(GetCurrentProcessId()), counter++);
        base_ = name;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        ::RegCreateKeyW(HKEY_CURRENT_USER, (base_ + L"\\HKCU").c_str(), &cu_);
        ::RegCreateKeyW(HKEY_CURRENT_USER, (base_ + L"\\HKLM").c_str(), &lm_);
    }
    ~RebasedAdvapi32() override {
        ::RegCloseKey(cu_);
        ::RegCloseKey(lm_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\PlmClientConfigTests");
    }
    RebasedAdvapi32(const RebasedAdvapi32&) = delete;
    RebasedAdvapi32& operator=(const RebasedAdvapi32&) = delete;

    // The sandbox key that stands for a root (nullptr for other handles).
    ::HKEY RootFor(reg::HKEY key) const {
        if (key == reg::CurrentUser) return cu_;
        if (key == reg::LocalMachine) return lm_;
        return nullptr;
    }
    ::HKEY Map(reg::HKEY key) const {
        if (::HKEY root = RootFor(key)) return root;
        return reinterpret_cast<::HKEY>(static_cast<std::intptr_t>(key));
    }
    static reg::HKEY Ours(::HKEY key) { return static_cast<reg::HKEY>(reinterpret_cast<std::intptr_t>(key)); }

    reg::LONG RegOpenKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override {
        return Opening(::RegOpenKeyA, key, subKey, result);
    }
    reg::LONG RegCreateKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override {
        return Opening(::RegCreateKeyA, key, subKey, result);
    }
    reg::LONG RegQueryValueExA(reg::HKEY key, const char* valueName, reg::DWORD* reserved, reg::DWORD* type,
                               reg::BYTE* data, reg::DWORD* dataSize) override {
        return ::RegQueryValueExA(Map(key), valueName, reserved, type, data, dataSize);
    }
    reg::LONG RegSetValueExA(reg::HKEY key, const char* valueName, reg::DWORD reserved, reg::DWORD type,
                             const reg::BYTE* data, reg::DWORD dataSize) override {
        return ::RegSetValueExA(Map(key), valueName, reserved, type, data, dataSize);
    }
    reg::LONG RegDeleteKeyA(reg::HKEY key, const char* subKey) override {
        // A root key itself cannot be deleted.
        if (RootFor(key) && subKey != nullptr && *subKey == '\0') return ERROR_ACCESS_DENIED;
        return ::RegDeleteKeyA(Map(key), subKey);
    }
    reg::LONG RegCloseKey(reg::HKEY key) override {
        if (RootFor(key)) return ERROR_SUCCESS;
        return ::RegCloseKey(Map(key));
    }
    reg::LONG RegEnumValueA(reg::HKEY key, reg::DWORD index, char* valueName, reg::DWORD* valueNameSize,
                            reg::DWORD* reserved, reg::DWORD* type, reg::BYTE* data, reg::DWORD* dataSize) override {
        return ::RegEnumValueA(Map(key), index, valueName, valueNameSize, reserved, type, data, dataSize);
    }
    reg::LONG RegEnumKeyA(reg::HKEY key, reg::DWORD index, char* name, reg::DWORD nameSize) override {
        return ::RegEnumKeyA(Map(key), index, name, nameSize);
    }

private:
    // An open or a create. An empty sub-key of a root gives the root back,
    // which the caller may close: hand out a key of its own instead of the
    // sandbox key.
    template <typename Call>
    reg::LONG Opening(Call call, reg::HKEY key, const char* subKey, reg::HKEY* result) {
        if (RootFor(key) && (subKey == nullptr || *subKey == '\0')) {
            *result = key;
            return ERROR_SUCCESS;
        }
        ::HKEY out = nullptr;
        const LONG rc = call(Map(key), subKey, &out);
        *result = rc == ERROR_SUCCESS ? Ours(out) : reg::NullKey;
        return rc;
    }

    std::wstring base_;
    ::HKEY cu_ = nullptr;
    ::HKEY lm_ = nullptr;
};

// Counts the handles that the wrapped registry hands out and takes back.
class HandleCountingRegistry final : public ForwardingRegistry {
public:
    using ForwardingRegistry::ForwardingRegistry;
    reg::LONG RegOpenKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override {
        reg::LONG rc = Inner().RegOpenKeyA(key, subKey, result);
        Track(rc, *result);
        return rc;
    }
    reg::LONG RegCreateKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override {
        reg::LONG rc = Inner().RegCreateKeyA(key, subKey, result);
        Track(rc, *result);
        return rc;
    }
    reg::LONG RegCloseKey(reg::HKEY key) override {
        reg::LONG rc = Inner().RegCloseKey(key);
        if (rc == ERROR_SUCCESS) {
            auto it = std::find(open_.begin(), open_.end(), key);
            if (it != open_.end()) open_.erase(it);
        }
        return rc;
    }
    std::size_t Open() const { return open_.size(); }

private:
    void Track(reg::LONG rc, reg::HKEY key) {
        if (rc == ERROR_SUCCESS && key != reg::CurrentUser && key != reg::LocalMachine) open_.push_back(key);
    }
    std::vector<reg::HKEY> open_;
};

// Prints and prepares the real registry through the W API, in the format of
// the in-memory registry's snapshots.
class Win32Inspector final : public test::RegistryInspector {
public:
    Win32Inspector(RebasedAdvapi32& api, const CodePage& codes) : api_(api), codes_(codes) {}

    std::u16string Snapshot(reg::HKEY root, std::u16string_view keyPath) override {
        return SnapshotOf(api_.RootFor(root), Wide(keyPath), codes_);
    }
    bool KeyExists(reg::HKEY root, std::u16string_view keyPath) override {
        ::HKEY key = nullptr;
        if (::RegOpenKeyExW(api_.RootFor(root), Wide(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        ::RegCloseKey(key);
        return true;
    }
    void RemoveTree(reg::HKEY root, std::u16string_view keyPath) override {
        ::RegDeleteTreeW(api_.RootFor(root), Wide(keyPath).c_str());
        ::RegDeleteKeyW(api_.RootFor(root), Wide(keyPath).c_str());
    }
    void PutValue(reg::HKEY root, std::u16string_view keyPath, std::u16string_view name, reg::DWORD type,
                  std::string bytes) override {
        // Strings go in through the A call so they hold the same code-page
        // bytes the product would write; a name the code page cannot hold
        // goes in through the W call (its data then as given, bytes for
        // bytes: such names carry numbers here, not text).
        const auto ansiName = codes_.ToAnsi(name);
        if (!ansiName) {
            test::PutValue(api_.RootFor(root), Wide(keyPath), Wide(name), type, bytes.data(),
                           static_cast<DWORD>(bytes.size()));
            return;
        }
        ::HKEY key = nullptr;
        ::RegCreateKeyW(api_.RootFor(root), Wide(keyPath).c_str(), &key);
        ::RegSetValueExA(key, ansiName->c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
        ::RegCloseKey(key);
    }

private:
    RebasedAdvapi32& api_;
    const CodePage& codes_;
};

class Win32Backend final : public TestRegistry {
public:
    Win32Backend() : counting_(rebased_), inspector_(rebased_, SystemCodePage()) {}
    reg::RegistryApi& Api() override { return counting_; }
    test::RegistryInspector& Inspector() override { return inspector_; }
    const CodePage& Codes() override { return SystemCodePage(); }
    std::size_t OpenHandles() override { return counting_.Open(); }

private:
    RebasedAdvapi32 rebased_;
    HandleCountingRegistry counting_;
    Win32Inspector inspector_;
};

#endif  // _WIN32

}  // namespace

std::vector<std::string> BackendNames() {
#ifdef _WIN32
    return {"Memory", "Win32"};
#else
    return {"Memory"};
#endif
}

std::unique_ptr<TestRegistry> MakeBackend(const std::string& name) {
#ifdef _WIN32
    if (name == "Win32") return std::make_unique<Win32Backend>();
#endif
    if (name == "Memory") return std::make_unique<MemoryBackend>();
    ADD_FAILURE() << "unknown registry backend " << name;
    return std::make_unique<MemoryBackend>();
}

// ---- RecordingRegistry ----

std::string RecordingRegistry::PathOf(reg::HKEY key) const {
    if (key == reg::CurrentUser) return "HKCU";
    if (key == reg::LocalMachine) return "HKLM";
    for (auto it = paths_.rbegin(); it != paths_.rend(); ++it) {
        if (it->first == key) return it->second;
    }
    return key == reg::NullKey ? "(null)" : "(unknown)";
}

std::string RecordingRegistry::Join(reg::HKEY key, const char* subKey) const {
    std::string path = PathOf(key);
    if (subKey && *subKey) path += std::string("\\") + ToUtf8(codePage_.FromAnsi(subKey));
    return path;
}

reg::LONG RecordingRegistry::RegOpenKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) {
    log_.push_back("Open " + Join(key, subKey));
    return Opened(Inner().RegOpenKeyA(key, subKey, result), result, Join(key, subKey));
}

reg::LONG RecordingRegistry::RegCreateKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) {
    log_.push_back("Create " + Join(key, subKey));
    return Opened(Inner().RegCreateKeyA(key, subKey, result), result, Join(key, subKey));
}

reg::LONG RecordingRegistry::Opened(reg::LONG rc, const reg::HKEY* result, std::string path) {
    if (rc == 0) paths_.emplace_back(*result, std::move(path));
    return rc;
}

reg::LONG RecordingRegistry::RegQueryValueExA(reg::HKEY key, const char* valueName, reg::DWORD* reserved,
                                              reg::DWORD* type, reg::BYTE* data, reg::DWORD* dataSize) {
    log_.push_back("Query " + PathOf(key) + " \"" + ToUtf8(codePage_.FromAnsi(valueName ? valueName : "")) + "\"");
    return Inner().RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
}

reg::LONG RecordingRegistry::RegSetValueExA(reg::HKEY key, const char* valueName, reg::DWORD reserved,
                                            reg::DWORD type, const reg::BYTE* data, reg::DWORD dataSize) {
    log_.push_back("SetValue " + PathOf(key) + " \"" + ToUtf8(codePage_.FromAnsi(valueName ? valueName : "")) +
                   "\"");
    return Inner().RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}

reg::LONG RecordingRegistry::RegDeleteKeyA(reg::HKEY key, const char* subKey) {
    log_.push_back("Delete " + PathOf(key) + " \"" + ToUtf8(codePage_.FromAnsi(subKey ? subKey : "")) + "\"");
    return Inner().RegDeleteKeyA(key, subKey);
}

reg::LONG RecordingRegistry::RegCloseKey(reg::HKEY key) {
    log_.push_back("Close " + PathOf(key));
    return Inner().RegCloseKey(key);
}

reg::LONG RecordingRegistry::RegEnumValueA(reg::HKEY key, reg::DWORD index, char* valueName,
                                           reg::DWORD* valueNameSize, reg::DWORD* reserved, reg::DWORD* type,
                                           reg::BYTE* data, reg::DWORD* dataSize) {
    log_.push_back("Enum " + PathOf(key) + " " + std::to_string(index));
    return Inner().RegEnumValueA(key, index, valueName, valueNameSize, reserved, type, data, dataSize);
}

reg::LONG RecordingRegistry::RegEnumKeyA(reg::HKEY key, reg::DWORD index, char* name, reg::DWORD nameSize) {
    log_.push_back("EnumKey " + PathOf(key) + " " + std::to_string(index));
    return Inner().RegEnumKeyA(key, index, name, nameSize);
}

std::vector<std::string> RecordingRegistry::Writes() const {
    std::vector<std::string> out;
    for (const auto& line : log_) {
        if (line.rfind("Create ", 0) == 0 || line.rfind("SetValue ", 0) == 0 || line.rfind("Delete ", 0) == 0) {
            out.push_back(line);
        }
    }
    return out;
}

}  // namespace plm::test

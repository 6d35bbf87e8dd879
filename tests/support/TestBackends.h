// Registry backends for tests. Every registry suite runs against each of
// them: "Memory" everywhere, and on Windows builds also "Win32", the real
// advapi32 (under Wine here), rebased into a key the test owns and removes,
// so tests can use the real HKCU and HKLM paths without touching them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "text/Text.h"
#include "text/CodePage.h"
#include "tests/support/MemoryRegistry.h"
#include "registry/RegisterKey.h"
#include "registry/RegistryApi.h"
#include "tests/support/RegistrySnapshot.h"

namespace plm::test {

class TestRegistry {
public:
    virtual ~TestRegistry() = default;
    virtual reg::RegistryApi& Api() = 0;
    virtual test::RegistryInspector& Inspector() = 0;
    virtual const CodePage& Codes() = 0;
    // Handles opened through Api() and not closed yet.
    virtual std::size_t OpenHandles() = 0;
    // The in-memory registry, for failure injection; nullptr for Win32.
    virtual test::MemoryRegistry* Memory() { return nullptr; }
};

std::vector<std::string> BackendNames();
std::unique_ptr<TestRegistry> MakeBackend(const std::string& name);

// A fixture over one backend, with a RegisterKey on it.
class BackendTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        backend_ = MakeBackend(GetParam());
        keys_ = std::make_unique<reg::RegisterKey>(backend_->Api(), backend_->Codes());
    }
    void TearDown() override {
        keys_.reset();
        backend_.reset();
    }
    reg::RegistryApi& Api() { return backend_->Api(); }
    test::RegistryInspector& Inspect() { return backend_->Inspector(); }
    reg::RegisterKey& Keys() { return *keys_; }
    TestRegistry& Backend() { return *backend_; }
    // Snapshot as UTF-8, for readable failure output.
    std::string Snap(reg::HKEY root, TextView path) { return ToUtf8(Inspect().Snapshot(root, path)); }
    bool IsMemory() const { return GetParam() == "Memory"; }

private:
    std::unique_ptr<TestRegistry> backend_;
    std::unique_ptr<reg::RegisterKey> keys_;
};

using reg::ForwardingRegistry;

// Logs every call that reaches the wrapped registry, one line each, with the
// full key path of the handle: "Open HKCU\a\b", "SetValue HKLM\x \"name\"",
// "Delete HKCU\a \"sub\"", "Enum HKCU\a 0" (the index; "EnumKey" for
// sub-keys), "Create ...",
// "Query ...", "Close ...".
class RecordingRegistry final : public ForwardingRegistry {
public:
    explicit RecordingRegistry(reg::RegistryApi& inner, const CodePage& codePage)
        : ForwardingRegistry(inner), codePage_(codePage) {}

    reg::LONG RegOpenKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override;
    reg::LONG RegCreateKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override;
    reg::LONG RegQueryValueExA(reg::HKEY key, const char* valueName, reg::DWORD* reserved, reg::DWORD* type,
                               reg::BYTE* data, reg::DWORD* dataSize) override;
    reg::LONG RegSetValueExA(reg::HKEY key, const char* valueName, reg::DWORD reserved, reg::DWORD type,
                             const reg::BYTE* data, reg::DWORD dataSize) override;
    reg::LONG RegDeleteKeyA(reg::HKEY key, const char* subKey) override;
    reg::LONG RegCloseKey(reg::HKEY key) override;
    reg::LONG RegEnumValueA(reg::HKEY key, reg::DWORD index, char* valueName, reg::DWORD* valueNameSize,
                            reg::DWORD* reserved, reg::DWORD* type, reg::BYTE* data, reg::DWORD* dataSize) override;
    reg::LONG RegEnumKeyA(reg::HKEY key, reg::DWORD index, char* name, reg::DWORD nameSize) override;

    const std::vector<std::string>& Log() const { return log_; }
    // Only the lines that change the registry (Create, SetValue, Delete).
    std::vector<std::string> Writes() const;
    void Clear() { log_.clear(); }

private:
    std::string PathOf(reg::HKEY key) const;
    std::string Join(reg::HKEY key, const char* subKey) const;
    // Remembers the path of a key an open or create handed out.
    reg::LONG Opened(reg::LONG rc, const reg::HKEY* result, std::string path);

    const CodePage& codePage_;
    std::vector<std::pair<reg::HKEY, std::string>> paths_;
    std::vector<std::string> log_;
};

}  // namespace plm::test

#define PLM_BACKEND_NAME [](const ::testing::TestParamInfo<std::string>& backend) { return backend.param; }
#define PLM_INSTANTIATE_FOR_BACKENDS(Suite) \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite, ::testing::ValuesIn(::plm::test::BackendNames()), PLM_BACKEND_NAME)
// For the suites that need the in-memory registry's fault plan.
#define PLM_INSTANTIATE_FOR_MEMORY(Suite) \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite, ::testing::Values(std::string("Memory")), PLM_BACKEND_NAME)

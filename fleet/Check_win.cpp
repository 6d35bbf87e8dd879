// The check's view of this machine: urlmon, the zone logic Internet
// Explorer and Edge's IE mode ask themselves, and the registry's other
// view. urlmon and COM are system DLLs, loaded by full path when the check
// runs, so that the kit still starts with kernel32 and advapi32 alone.
#include <windows.h>
#include <urlmon.h>

#include <cstdint>

#include "config/SystemDll_win.h"
#include "fleet/Check.h"
#include "registry/Win32Registry_win.h"

namespace plm::fleet {
namespace {

// "MapUrlToZone failed (0x80004005)".
Text HresultText(TextView call, HRESULT hr) {
    return Text(call) + u" failed (0x" + HexDigits(static_cast<std::uint32_t>(hr), HexCase::Upper) + u')';
}

class Urlmon final : public BrowserZones {
public:
    ~Urlmon() override {
        if (security_ != nullptr) security_->Release();
        if (zones_ != nullptr) zones_->Release();
    }

    Zone ZoneOf(TextView url) override {
        if (!Start()) return {std::nullopt, failure_};
        const Text text(url);
        DWORD zone = 0;
        const HRESULT hr = security_->MapUrlToZone(reinterpret_cast<const wchar_t*>(text.c_str()), &zone, 0);
        if (FAILED(hr)) return {std::nullopt, HresultText(u"MapUrlToZone", hr)};
        return {static_cast<std::int32_t>(zone), {}};
    }

    std::optional<std::uint32_t> ActionPolicy(std::int32_t zone, std::uint32_t action) override {
        if (!Start()) return std::nullopt;
        DWORD policy = 0;
        // The zone's policy as the browser applies it (URLZONEREG_DEFAULT:
        // the user's settings, or the machine's where policy says so).
        const HRESULT hr = zones_->GetZoneActionPolicy(static_cast<DWORD>(zone), action,
                                                       reinterpret_cast<BYTE*>(&policy), sizeof policy,
                                                       URLZONEREG_DEFAULT);
        if (FAILED(hr)) return std::nullopt;
        return policy;
    }

private:
    bool Start() {
        if (security_ != nullptr && zones_ != nullptr) return true;
        if (!failure_.empty()) return false;
        if (!config::InitialiseComOnce()) {
            failure_ = u"COM could not be initialised";
            return false;
        }
        const auto createSecurity = config::SystemFunction<decltype(&CoInternetCreateSecurityManager)>(
            L"urlmon.dll", "CoInternetCreateSecurityManager");
        const auto createZones =
            config::SystemFunction<decltype(&CoInternetCreateZoneManager)>(L"urlmon.dll", "CoInternetCreateZoneManager");
        if (createSecurity == nullptr || createZones == nullptr) {
            failure_ = u"urlmon.dll could not be loaded";
            return false;
        }
        if (const HRESULT hr = createSecurity(nullptr, &security_, 0); FAILED(hr)) {
            failure_ = HresultText(u"CoInternetCreateSecurityManager", hr);
            return false;
        }
        if (const HRESULT hr = createZones(nullptr, &zones_, 0); FAILED(hr)) {
            failure_ = HresultText(u"CoInternetCreateZoneManager", hr);
            return false;
        }
        return true;
    }

    IInternetSecurityManager* security_ = nullptr;
    IInternetZoneManager* zones_ = nullptr;
    Text failure_;
};

// advapi32 in the registry view of programs of the other bitness: on
// 64-bit Windows HKLM\SOFTWARE differs between them. Reads only.
#ifdef _WIN64
constexpr REGSAM OtherView = KEY_WOW64_32KEY;
constexpr TextView ViewName = u"64-bit view";
constexpr TextView OtherViewName = u"32-bit view";
#else
constexpr REGSAM OtherView = KEY_WOW64_64KEY;
constexpr TextView ViewName = u"32-bit view";
constexpr TextView OtherViewName = u"64-bit view";
#endif

::HKEY Native(reg::HKEY key) { return reinterpret_cast<::HKEY>(static_cast<std::intptr_t>(key)); }

class OtherViewRegistry final : public reg::RegistryApi {
public:
    reg::LONG RegOpenKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override {
        ::HKEY out = nullptr;
        const LONG rc = ::RegOpenKeyExA(Native(key), subKey, 0, KEY_READ | OtherView, &out);
        if (result != nullptr) *result = rc == ERROR_SUCCESS ? static_cast<reg::HKEY>(reinterpret_cast<std::intptr_t>(out)) : reg::NullKey;
        return rc;
    }
    reg::LONG RegCreateKeyA(reg::HKEY, const char*, reg::HKEY* result) override {
        if (result != nullptr) *result = reg::NullKey;
        return ERROR_ACCESS_DENIED;
    }
    reg::LONG RegQueryValueExA(reg::HKEY key, const char* valueName, reg::DWORD* reserved, reg::DWORD* type,
                               reg::BYTE* data, reg::DWORD* dataSize) override {
        return ::RegQueryValueExA(Native(key), valueName, reserved, type, data, dataSize);
    }
    reg::LONG RegSetValueExA(reg::HKEY, const char*, reg::DWORD, reg::DWORD, const reg::BYTE*, reg::DWORD) override {
        return ERROR_ACCESS_DENIED;
    }
    reg::LONG RegDeleteKeyA(reg::HKEY, const char*) override { return ERROR_ACCESS_DENIED; }
    reg::LONG RegCloseKey(reg::HKEY key) override { return ::RegCloseKey(Native(key)); }
    reg::LONG RegEnumValueA(reg::HKEY key, reg::DWORD index, char* valueName, reg::DWORD* valueNameSize,
                            reg::DWORD* reserved, reg::DWORD* type, reg::BYTE* data, reg::DWORD* dataSize) override {
        return ::RegEnumValueA(Native(key), index, valueName, valueNameSize, reserved, type, data, dataSize);
    }
    reg::LONG RegEnumKeyA(reg::HKEY key, reg::DWORD index, char* name, reg::DWORD nameSize) override {
        return ::RegEnumKeyA(Native(key), index, name, nameSize);
    }
};

}  // namespace

KitRun RunCheckOnThisMachine(std::span<const Text> args) {
    Urlmon browser;
    OtherViewRegistry otherView;
    CheckMachine machine{reg::Advapi32(), otherView, ViewName, OtherViewName, browser, SystemCodePage()};
    return RunCheck(args, machine);
}

}  // namespace plm::fleet

// Ordinary addresses go through validation and the trusted-site
// registration on the real advapi32, and the browser's own zone reader,
// urlmon's MapUrlToZone, is asked where they land. It reads the real HKCU
// zone map, so the test writes there: the zone map of the test prefix is
// copied first and put back afterwards. Runs under code page 936 (ctest
// passes a Simplified Chinese locale) so that a Chinese host crosses the
// ANSI calls as on a Chinese system.
#include <windows.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <string>

#include "config/LoginPage.h"
#include "config/SiteUrl.h"
#include "registry/RegisterKey.h"
#include "registry/Win32Registry.h"
#include "zones/TrustedSite.h"

namespace plm::config {
namespace {

const std::wstring ZoneMapPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap";
const std::wstring CopyRoot = L"Software\\PlmClientConfigTests\\ZoneLookup";
const std::wstring CopyPath = CopyRoot + L"\\ZoneMapBefore";

constexpr DWORD TrustedSites = URLZONE_TRUSTED;
constexpr DWORD NoZone = static_cast<DWORD>(URLZONE_INVALID);

std::wstring Wide(TextView text) { return std::wstring(text.begin(), text.end()); }

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Copies the tree at `from` to `to`, which must not exist yet.
void CopyTree(const std::wstring& from, const std::wstring& to) {
    HKEY source = nullptr;
    HKEY target = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, &source), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCopyTreeW(source, nullptr, target), ERROR_SUCCESS);
    RegCloseKey(source);
    RegCloseKey(target);
}

// The zone map as it was before the test; a copy left by a run that died
// half-way is put back first.
void RestoreZoneMap() {
    RegDeleteTreeW(HKEY_CURRENT_USER, ZoneMapPath.c_str());
    CopyTree(CopyPath, ZoneMapPath);
    RegDeleteTreeW(HKEY_CURRENT_USER, CopyRoot.c_str());
}

DWORD ZoneOf(TextView url) {
    IInternetSecurityManager* manager = nullptr;
    if (FAILED(CoInternetCreateSecurityManager(nullptr, &manager, 0))) return NoZone;
    DWORD zone = NoZone;
    const HRESULT hr = manager->MapUrlToZone(Wide(url).c_str(), &zone, 0);
    manager->Release();
    return SUCCEEDED(hr) ? zone : NoZone;
}

std::wstring RangeText(const std::wstring& slot) {
    wchar_t text[64] = L"";
    DWORD size = sizeof text;
    const std::wstring path = ZoneMapPath + L"\\" + slot;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L":Range", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

DWORD RangeZone(const std::wstring& slot, const wchar_t* scheme) {
    DWORD zone = 0;
    DWORD size = sizeof zone;
    const std::wstring path = ZoneMapPath + L"\\" + slot;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), scheme, RRF_RT_REG_DWORD, nullptr, &zone, &size) != ERROR_SUCCESS) {
        return NoZone;
    }
    return zone;
}

class ZoneLookup : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (KeyExists(CopyPath)) RestoreZoneMap();
        CopyTree(ZoneMapPath, CopyPath);
    }
    static void TearDownTestSuite() { RestoreZoneMap(); }

    // Validates the address and registers its host as Auto Setting does.
    static void Register(TextView url) {
        ASSERT_TRUE(IsValidSiteUrl(url, SystemCodePage()));
        const SiteAddress site = ParseSiteAddress(GetSiteRoot(url));
        reg::RegisterKey registry(reg::Advapi32(), SystemCodePage());
        zones::AddTrustedSite(registry, site.Scheme, site.Host);
        EXPECT_EQ(registry.LastRegError(), 0);
    }
};

TEST_F(ZoneLookup, OrdinaryFormsLandInTrustedSites) {
    ASSERT_EQ(GetACP(), 936u) << "run with a Simplified Chinese locale (PLM_LC_ALL=zh_CN.UTF-8)";
    struct Form {
        const char* label;
        Text url;
    } forms[] = {
        {"plain", u"http://plmzonetest/plm"},
        {"dotted", u"http://plm.zonetest.example/plm"},
        {"upper-case", u"HTTP://PLMUPPER.ZoneTest.EXAMPLE/PLM"},
        {"https with a port", u"https://plmport.zonetest.example:8443/plm"},
        {"Chinese", u"http://\u4EA7\u54C1.\u4E2D\u6587\u6D4B\u8BD5.cn/plm"},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.label);
        // The login page is the address the browser is started on.
        const Text page = BuildLoginUrl(form.url);
        EXPECT_NE(ZoneOf(page), TrustedSites) << "trusted before it was registered";
        Register(form.url);
        EXPECT_EQ(ZoneOf(page), TrustedSites) << ToUtf8(page);
    }
}

// urlmon does not read the range lists: the slot is checked by its content.
TEST_F(ZoneLookup, DottedQuadFillsTheFirstRangeSlot) {
    Register(u"http://10.20.30.40/plm");
    for (const std::wstring slot : {L"Ranges\\Range1", L"EscRanges\\Range1"}) {
        EXPECT_EQ(RangeText(slot), L"10.20.30.40");
        EXPECT_EQ(RangeZone(slot, L"http"), TrustedSites);
    }
}

}  // namespace
}  // namespace plm::config

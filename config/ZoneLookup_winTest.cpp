// Ordinary addresses go through validation and the trusted-site
// registration on the real advapi32, and the browser's own zone reader,
// urlmon's MapUrlToZone, is asked where they land. It reads the real HKCU
// zone map, so the test writes there: the zone map of the test prefix is
// copied first and put back afterwards. Runs under code page 936 (ctest
// passes a Simplified Chinese locale) so that a Chinese host crosses the
// ANSI calls as on a Chinese system. (urlmon never reads the range lists;
// the end-to-end test checks a range slot by its content.)
#include <windows.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <string>

#include "config/LoginPage.h"
#include "config/SiteUrl.h"
#include "registry/RegisterKey.h"
#include "registry/Win32Registry_win.h"
#include "tests/support/WideStrings_win.h"
#include "zones/TrustedSite.h"
#include "zones/ZoneMap.h"

namespace plm::config {
namespace {

using test::Wide;

const std::wstring ZoneMapPath = Wide(zones::ZoneMapKey);
const std::wstring CopyPath = L"Software\\PlmClientConfigZoneMapBefore";

constexpr DWORD TrustedSites = URLZONE_TRUSTED;
constexpr DWORD NoZone = static_cast<DWORD>(URLZONE_INVALID);

// Copies the tree at `from` to `to`, after deleting whatever `to` holds.
void CopyTree(const std::wstring& from, const std::wstring& to) {
    HKEY source = nullptr;
    HKEY target = nullptr;
    RegDeleteTreeW(HKEY_CURRENT_USER, to.c_str());
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, &source), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, to.c_str(), &target), ERROR_SUCCESS);
    EXPECT_EQ(RegCopyTreeW(source, nullptr, target), ERROR_SUCCESS);
    RegCloseKey(source);
    RegCloseKey(target);
}

DWORD ZoneOf(TextView url) {
    IInternetSecurityManager* manager = nullptr;
    if (FAILED(CoInternetCreateSecurityManager(nullptr, &manager, 0))) return NoZone;
    DWORD zone = NoZone;
    const HRESULT hr = manager->MapUrlToZone(Wide(url).c_str(), &zone, 0);
    manager->Release();
    return SUCCEEDED(hr) ? zone : NoZone;
}

class ZoneLookup : public ::testing::Test {
protected:
    // A copy left by a run that died half-way is the zone map as it was.
    static void SetUpTestSuite() {
        HKEY left = nullptr;
        if (RegOpenKeyW(HKEY_CURRENT_USER, CopyPath.c_str(), &left) == ERROR_SUCCESS) {
            RegCloseKey(left);
            TearDownTestSuite();
        }
        CopyTree(ZoneMapPath, CopyPath);
    }
    static void TearDownTestSuite() {
        CopyTree(CopyPath, ZoneMapPath);
        RegDeleteTreeW(HKEY_CURRENT_USER, CopyPath.c_str());
    }
};

TEST_F(ZoneLookup, OrdinaryFormsLandInTrustedSites) {
    ASSERT_EQ(GetACP(), 936u) << "run with a Simplified Chinese locale (PLM_LC_ALL=zh_CN.UTF-8)";
    for (const Text url : {u"http://plmzonetest/plm", u"http://plm.zonetest.example/plm",
                           u"HTTP://PLMUPPER.ZoneTest.EXAMPLE/PLM", u"https://plmport.zonetest.example:8443/plm",
                           u"http://\u4EA7\u54C1.\u4E2D\u6587\u6D4B\u8BD5.cn/plm"}) {
        SCOPED_TRACE(ToUtf8(url));
        // The login page is the address the browser is started on.
        const Text page = BuildLoginUrl(url);
        EXPECT_NE(ZoneOf(page), TrustedSites) << "trusted before it was registered";
        // Validated and registered as Auto Setting does.
        ASSERT_TRUE(IsValidSiteUrl(url, SystemCodePage()));
        reg::RegisterKey registry(reg::Advapi32(), SystemCodePage());
        EXPECT_EQ(zones::AddTrustedSite(registry, ReadSiteAddress(url)), reg::Status());
        EXPECT_EQ(registry.LastRegError(), 0);
        EXPECT_EQ(ZoneOf(page), TrustedSites);
    }
}

}  // namespace
}  // namespace plm::config

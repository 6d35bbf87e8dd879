#include "zones/IeMode.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace plm::zones {

namespace {

using reg::ValueEntry;

// The value named `name` among those of the key, in any letter case, as
// the registry matches names.
std::optional<ValueEntry> FindValue(const std::vector<ValueEntry>& values, TextView name) {
    for (const ValueEntry& value : values) {
        if (EqualsNoCase(value.name, name)) return value;
    }
    return std::nullopt;
}

// The decimal build number; nullopt when it is missing or not a number.
std::optional<std::int64_t> BuildNumber(reg::RegisterKey& registry) {
    const Text text = TrimSpaces(registry.GetStringValue(reg::LocalMachine, WindowsVersionKey, BuildNumberValue).value);
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), IsAsciiDigit)) return std::nullopt;
    std::int64_t number = 0;
    for (const char16_t c : text) number = number * 10 + (c - u'0');
    return number;
}

bool IsEditionKeepingIe(TextView edition) {
    return std::any_of(EditionsKeepingIe.begin(), EditionsKeepingIe.end(),
                       [&](TextView known) { return EqualsNoCase(edition, known); });
}

// Whether Internet Explorer's policies under `root` disable it: any
// NotifyDisableIEOptions does; DisableInternetExplorerApp only as the DWORD
// 1 that device management writes. One listing of the key serves both.
bool PolicyDisablesIe(reg::RegisterKey& registry, reg::HKEY root) {
    const std::vector<ValueEntry> values = registry.EnumValues(root, IePolicyKey).value;
    if (FindValue(values, DisableIeValue)) return true;
    const auto value = FindValue(values, DisableIeAppValue);
    if (!value || value->type != reg::TypeDword) return false;
    const auto read = registry.GetDwordValue(root, IePolicyKey, DisableIeAppValue);
    return read.status.Succeeded() && read.value == 1;
}

bool WindowsKeepsIe(reg::RegisterKey& registry) {
    const auto read = [&](TextView name) {
        return TrimSpaces(registry.GetStringValue(reg::LocalMachine, WindowsVersionKey, name).value);
    };
    if (EqualsNoCase(read(InstallationTypeValue), ServerInstallation)) return true;
    const std::optional<std::int64_t> build = BuildNumber(registry);
    if (!build) return true;  // not known: no guess
    if (*build >= FirstWindows11Build) return false;
    if (*build >= FirstWindows10Build) return IsEditionKeepingIe(read(EditionValue));
    return true;
}

// One of Edge's or Internet Explorer's policy values: the machine's when it
// holds one of the type, else the user's.
class PolicyValues {
public:
    PolicyValues(reg::RegisterKey& registry, TextView keyPath)
        : registry_(registry),
          keyPath_(keyPath),
          machine_(registry.EnumValues(reg::LocalMachine, keyPath).value),
          user_(registry.EnumValues(reg::CurrentUser, keyPath).value) {}

    std::optional<std::int32_t> Dword(TextView name) {
        const auto root = RootHolding(name, reg::TypeDword);
        if (!root) return std::nullopt;
        const auto read = registry_.GetDwordValue(*root, keyPath_, name);
        if (read.status.Failed()) return std::nullopt;
        return read.value;
    }
    bool NonEmptyText(TextView name) {
        const auto root = RootHolding(name, reg::TypeString);
        return root && !TrimSpaces(registry_.GetStringValue(*root, keyPath_, name).value).empty();
    }

private:
    static bool Holds(const std::vector<ValueEntry>& values, TextView name, reg::DWORD type) {
        const auto value = FindValue(values, name);
        return value && value->type == type;
    }
    std::optional<reg::HKEY> RootHolding(TextView name, reg::DWORD type) const {
        if (Holds(machine_, name, type)) return reg::LocalMachine;
        if (Holds(user_, name, type)) return reg::CurrentUser;
        return std::nullopt;
    }

    reg::RegisterKey& registry_;
    TextView keyPath_;
    std::vector<ValueEntry> machine_;
    std::vector<ValueEntry> user_;
};

}  // namespace

bool IeRunsOnItsOwn(reg::RegisterKey& registry) {
    if (!WindowsKeepsIe(registry)) return false;
    for (const reg::HKEY root : {reg::LocalMachine, reg::CurrentUser}) {
        if (PolicyDisablesIe(registry, root)) return false;
    }
    return true;
}

bool EdgeMayUseIeMode(reg::RegisterKey& registry) {
    PolicyValues edge(registry, EdgePolicyKey);
    const std::optional<std::int32_t> level = edge.Dword(IntegrationLevelValue);
    if (level != IeModeLevel && level != InternetExplorerLevel) return false;
    return edge.NonEmptyText(EdgeSiteListValue) || edge.NonEmptyText(EdgeCloudSiteListValue) ||
           PolicyValues(registry, IeSiteListKey).NonEmptyText(IeSiteListValue);
}

bool UserMayReloadInIeMode(reg::RegisterKey& registry) {
    return PolicyValues(registry, EdgePolicyKey).Dword(ReloadInIeModeValue) == 1;
}

LoginPageBrowser WhereLoginPageOpens(reg::RegisterKey& registry) {
    if (IeRunsOnItsOwn(registry)) return LoginPageBrowser::InternetExplorer;
    if (EdgeMayUseIeMode(registry)) return LoginPageBrowser::EdgeInIeMode;
    return UserMayReloadInIeMode(registry) ? LoginPageBrowser::EdgeUserMayReload
                                           : LoginPageBrowser::EdgeWithoutIeMode;
}

bool OpensWithoutIeMode(reg::RegisterKey& registry) {
    const LoginPageBrowser where = WhereLoginPageOpens(registry);
    return where == LoginPageBrowser::EdgeWithoutIeMode || where == LoginPageBrowser::EdgeUserMayReload;
}

}  // namespace plm::zones

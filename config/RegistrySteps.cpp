#include "config/RegistrySteps.h"

#include "zones/IeMode.h"
#include "zones/Policy.h"
#include "zones/StaleEntries.h"
#include "zones/TrustedSite.h"
#include "zones/ZoneTemplate.h"

namespace plm::config {

reg::Status RegistrySteps::RemoveWrongKey(const zones::SiteAddress& site) {
    return zones::RemoveWrongKey(registry_, site);
}
reg::Status RegistrySteps::SetCodeBaseSearchPath() { return zones::SetCodeBaseSearchPath(registry_); }
reg::Status RegistrySteps::AddTrustedSite(const zones::SiteAddress& site) {
    return zones::AddTrustedSite(registry_, site);
}
reg::Status RegistrySteps::SetTrustedZoneSecurity() { return zones::SetTrustedZoneSecurity(registry_); }
bool RegistrySteps::IsLeftOutByPolicy(const zones::SiteAddress& site) {
    return zones::PolicyLeavesOut(registry_, site);
}
zones::LoginPageBrowser RegistrySteps::WhereLoginPageOpens() { return zones::WhereLoginPageOpens(registry_); }
reg::Status RegistrySteps::OpenLoginPage(TextView url) { return openLoginPage_ ? openLoginPage_(url) : reg::Status(); }

}  // namespace plm::config

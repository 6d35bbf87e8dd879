#include "config/RegistrySteps.h"

#include "zones/IeMode.h"
#include "zones/Policy.h"
#include "zones/StaleEntries.h"
#include "zones/TrustedSite.h"
#include "zones/ZoneTemplate.h"

namespace plm::config {

void RegistrySteps::RemoveWrongKey(const zones::SiteAddress& site) { zones::RemoveWrongKey(registry_, site); }
void RegistrySteps::SetCodeBaseSearchPath() { zones::SetCodeBaseSearchPath(registry_); }
zones::StepStatus RegistrySteps::AddTrustedSite(const zones::SiteAddress& site) {
    return zones::AddTrustedSite(registry_, site);
}
void RegistrySteps::SetTrustedZoneSecurity() { zones::SetTrustedZoneSecurity(registry_); }
bool RegistrySteps::IsLeftOutByPolicy(const zones::SiteAddress& site) {
    return zones::PolicyLeavesOut(registry_, site);
}
zones::LoginPageBrowser RegistrySteps::WhereLoginPageOpens() { return zones::WhereLoginPageOpens(registry_); }
void RegistrySteps::OpenLoginPage(TextView url) {
    if (openLoginPage_) openLoginPage_(url);
}

}  // namespace plm::config

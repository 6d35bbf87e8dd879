#include "config/RegistrySteps.h"

#include "zones/IeMode.h"
#include "zones/Policy.h"
#include "zones/StaleEntries.h"
#include "zones/TrustedSite.h"
#include "zones/ZoneTemplate.h"

namespace plm::config {

void RegistrySteps::RemoveWrongKey(Text siteRoot) { zones::RemoveWrongKey(registry_, std::move(siteRoot)); }
void RegistrySteps::SetCodeBaseSearchPath() { zones::SetCodeBaseSearchPath(registry_); }
zones::StepStatus RegistrySteps::AddTrustedSite(TextView scheme, TextView host) {
    return zones::AddTrustedSite(registry_, scheme, host);
}
void RegistrySteps::SetTrustedZoneSecurity() { zones::SetTrustedZoneSecurity(registry_); }
bool RegistrySteps::IsLeftOutByPolicy(TextView scheme, TextView host) {
    return zones::PolicyLeavesOut(registry_, scheme, host);
}
zones::LoginPageBrowser RegistrySteps::WhereLoginPageOpens() { return zones::WhereLoginPageOpens(registry_); }
void RegistrySteps::OpenLoginPage(TextView url) {
    if (openLoginPage_) openLoginPage_(url);
}

}  // namespace plm::config

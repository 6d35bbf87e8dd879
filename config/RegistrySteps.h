// The configuration steps as they run in the product: the zone-map and
// template steps on the registry, and the login page step handed in by the
// window (it hides the window and starts the browser).
#pragma once

#include <functional>
#include <utility>

#include "config/AutoSetting.h"
#include "registry/RegisterKey.h"

namespace plm::config {

class RegistrySteps final : public ConfigurationSteps {
public:
    RegistrySteps(reg::RegisterKey& registry, std::function<reg::Status(TextView)> openLoginPage)
        : registry_(registry), openLoginPage_(std::move(openLoginPage)) {}

    reg::Status RemoveWrongKey(const zones::SiteAddress& site) override;
    reg::Status SetCodeBaseSearchPath() override;
    reg::Status AddTrustedSite(const zones::SiteAddress& site) override;
    reg::Status SetTrustedZoneSecurity() override;
    bool IsLeftOutByPolicy(const zones::SiteAddress& site) override;
    zones::LoginPageBrowser WhereLoginPageOpens() override;
    reg::Status OpenLoginPage(TextView url) override;

private:
    reg::RegisterKey& registry_;
    std::function<reg::Status(TextView)> openLoginPage_;
};

}  // namespace plm::config

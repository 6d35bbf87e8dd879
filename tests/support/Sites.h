// The site the configuration steps get, read by the product's own rules,
// for tests of the steps.
#pragma once

#include <gtest/gtest.h>

#include "config/SiteUrl.h"

namespace plm::test {

// The site of a site root, as the command reads it.
inline zones::SiteAddress SiteOf(TextView siteRoot) { return config::ParseSiteAddress(siteRoot); }

// The site of scheme://host.
inline zones::SiteAddress Site(TextView scheme, TextView host) {
    zones::SiteAddress site = config::ParseSiteAddress(Text(scheme) + u"://" + Text(host));
    EXPECT_EQ(ToUtf8(site.Host), ToUtf8(host)) << "no site root gives this host";
    return site;
}

}  // namespace plm::test

// Public suffixes: names under which anyone can have a site of their own
// ("github.io", "co.uk", "s3.amazonaws.com"). Trusting one makes every site
// under it trusted, since a zone-map entry covers all its subdomains. The
// rules are the Public Suffix List's (https://publicsuffix.org/list/),
// embedded at build time (cmake/PublicSuffixTable.cmake).
#pragma once

#include "text/Text.h"

namespace plm::config {

// True when the host itself is a public suffix: a normal or wildcard ("*.")
// rule of the list, from either of its sections, names exactly the host,
// and no exception rule ("!") applies to it. Letter case of ASCII does not
// matter; one "." at the end is set aside; a label written in its ASCII
// form ("xn--...") is compared in its Unicode form, as the list holds it.
// A host no rule names (a dotless "plm" among them) is not a public suffix:
// the list's implicit "*" rule does not count here.
bool IsPublicSuffix(TextView host);

}  // namespace plm::config

// The texts the Auto Setting command shows with the host in them: the
// notices before the login page and the public suffix refusal, whose
// texts are the language table's (config/Languages.h), with the host where
// the text says "{host}".
#pragma once

#include "text/Text.h"

namespace plm::config {

inline constexpr TextView HostPlaceholder = u"{host}";

// `text` with `host` in every place of "{host}". The host goes in as it
// is: a "{host}" inside it stays.
Text WithHost(TextView text, TextView host);

}  // namespace plm::config

// The real registry: advapi32's ANSI entry points behind RegistryApi.
// Windows builds only.
#pragma once

#include "registry/RegistryApi.h"

namespace plm::reg {

// The process-wide advapi32 backend.
RegistryApi& Advapi32();

}  // namespace plm::reg

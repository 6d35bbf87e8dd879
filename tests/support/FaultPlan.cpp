#include "tests/support/FaultPlan.h"

#include <utility>

#include "text/Text.h"

namespace plm::test {

void FaultPlan::Fail(Fault fault) {
    fault.pathPart = Folded(fault.pathPart);
    faults_.push_back(std::move(fault));
}

std::u16string FaultPlan::Folded(std::u16string_view path) { return ToUpper(path); }

}  // namespace plm::test

// How a configuration step that can fail ended, as the Auto Setting command
// is told: done, or failed, with the status of the call that failed when
// there is one.
#pragma once

#include <cstdint>
#include <optional>

namespace plm::zones {

struct [[nodiscard]] StepStatus {
    bool failed = false;
    // The status to show; none for a failure without a status of its own,
    // for which the command shows the thread's last error.
    std::optional<std::int32_t> code;

    static StepStatus Done() { return {}; }
    static StepStatus Failed(std::optional<std::int32_t> code) { return {true, code}; }
    bool operator==(const StepStatus&) const = default;
};

}  // namespace plm::zones

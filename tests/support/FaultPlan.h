// Which calls of the in-memory registry fail, and with what code: the one
// way tests and fuzz targets make the registry refuse. A planned failure
// makes the call return its code and do nothing else.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "registry/RegistryApi.h"

namespace plm::test {

enum class RegCall { Open, Create, Query, Set, Delete, Close, Enum, EnumKey };

// One planned failure: every call, unless narrowed, fails with
// ERROR_ACCESS_DENIED, as a locked-down machine refuses. For example
//   Fault().Of(RegCall::Set).On(u"HKEY_LOCAL_MACHINE")
//   Fault().Number(12).With(ErrorMoreData)
struct Fault {
    // Calls of this kind only.
    Fault& Of(RegCall kind) { call = kind; return *this; }
    // Calls whose key path (from the root key's name, the sub-key appended
    // for open, create and delete) holds this, compared without letter case.
    Fault& On(std::u16string_view part) { pathPart = part; return *this; }
    // The call with this number only, counted from 0 as CallCount counts.
    Fault& Number(std::size_t n) { number = n; return *this; }
    // The first `n` calls chosen only.
    Fault& Times(int n) { times = n; return *this; }
    Fault& With(reg::LONG status) { code = status; return *this; }

    reg::LONG code = reg::ErrorAccessDenied;
    std::optional<RegCall> call;
    std::u16string pathPart;
    std::optional<std::size_t> number;
    int times = -1;  // -1: every call chosen
};

class FaultPlan {
public:
    void Fail(Fault fault);
    void Clear() { faults_.clear(); }
    // Calls made so far, of every kind.
    std::size_t CallCount() const { return calls_; }

    // Counts the call and gives the code it fails with, or Success.
    // `pathOf` gives the call's key path; it is asked only when a fault
    // names a path, as most calls meet no fault at all.
    template <typename PathOf>
    reg::LONG Next(RegCall call, PathOf&& pathOf) {
        const std::size_t number = calls_++;
        std::u16string folded;
        for (auto it = faults_.begin(); it != faults_.end(); ++it) {
            if ((it->call && *it->call != call) || (it->number && *it->number != number)) continue;
            if (!it->pathPart.empty()) {
                if (folded.empty()) folded = Folded(pathOf());
                if (folded.find(it->pathPart) == std::u16string::npos) continue;
            }
            const reg::LONG code = it->code;
            if (it->times > 0 && --it->times == 0) faults_.erase(it);
            return code;
        }
        return reg::Success;
    }

private:
    static std::u16string Folded(std::u16string_view path);

    std::vector<Fault> faults_;
    std::size_t calls_ = 0;
};

}  // namespace plm::test

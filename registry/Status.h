// How an operation on the registry ended, and how a configuration step made
// of such operations ended: the Win32 status of the call that decided it.
// One type for both, so that no caller has to remember which convention an
// operation follows.
#pragma once

#include <cstdint>

#include "registry/RegistryApi.h"

namespace plm::reg {

class [[nodiscard]] Status {
public:
    constexpr Status() noexcept = default;
    // A status code as a registry call returned it; every LONG those calls
    // return is one, so it converts without ceremony.
    constexpr Status(LONG code) noexcept : code_(code) {}  // NOLINT(google-explicit-constructor)

    // A failed step whose system call hands back no code of its own: the
    // thread's last error is all there is to tell the user.
    static constexpr Status WithoutCode() noexcept {
        Status failed(ErrorInvalidFunction);
        failed.hasCode_ = false;
        return failed;
    }

    constexpr bool Succeeded() const noexcept { return hasCode_ && code_ == Success; }
    constexpr bool Failed() const noexcept { return !Succeeded(); }
    // A listing that ended because every item is in it (the registry's
    // "no more items"); any other status means the list is not whole.
    constexpr bool ListingComplete() const noexcept { return hasCode_ && code_ == ErrorNoMoreItems; }
    constexpr bool HasCode() const noexcept { return hasCode_; }
    constexpr LONG Code() const noexcept { return code_; }

    // For a step made of several calls, each made whatever became of the
    // others: the status stays the first failure, `later` counting only
    // while none has failed yet.
    constexpr void KeepFirstFailure(Status later) noexcept {
        if (Succeeded()) *this = later;
    }

    constexpr bool operator==(const Status&) const noexcept = default;

private:
    LONG code_ = Success;
    bool hasCode_ = true;
};

// What an operation gives its caller: the result (empty text, 0, an empty
// list or no handle when it could not be had) and the status of the call
// that decided it.
template <typename T>
struct [[nodiscard]] Result {
    T value{};
    Status status;
};

}  // namespace plm::reg

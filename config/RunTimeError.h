// The failures the Auto Setting command turns into its "Err:" message.
// Both carry only a string literal, so that throwing one needs no text of
// its own, and the command tells them apart by type alone.
#pragma once

#include <cstdint>
#include <exception>

namespace plm::config {

// A run-time error of the command (a position overflow, an invalid text
// cut, a launch the ANSI call cannot carry). The command shows the thread's
// last error for it.
class RunTimeError : public std::exception {
public:
    // `what` must be a string literal: it is kept, not copied.
    explicit RunTimeError(const char* what) noexcept : what_(what) {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_;
};

// A run-time error whose system status is known where it happens. The
// command shows this code rather than the thread's last error, which may be
// overwritten on the way (a MinGW-built process resets it when it throws its
// first C++ exception, and registry calls do not set it at all).
class CodedError : public RunTimeError {
public:
    CodedError(const char* what, std::int32_t code) noexcept : RunTimeError(what), code_(code) {}
    std::int32_t Code() const noexcept { return code_; }

private:
    std::int32_t code_;
};

}  // namespace plm::config

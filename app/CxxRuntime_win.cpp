// The program's own definitions of a few helpers that libstdc++ calls from
// its headers, so that the program links none of libstdc++'s versions.
//
// The containers report their own errors through std::__throw_length_error
// and its kin. libstdc++ defines them in functexcept.o, which builds
// std::logic_error and friends, whose messages are reference-counted
// strings: linking it brings both of libstdc++'s std::string
// implementations, the formatting behind out_of_range messages and more,
// some 88 KB of a program whose own code uses none of it. Defined here they
// throw exceptions that hold the library's literal message and nothing
// else; the Auto Setting command shows any std::exception as its "Err:"
// message, as it did before.
//
// These are the toolchain's internal names: if a header starts calling one
// not defined here, libstdc++'s file comes back and clashes with these at
// link time, and scripts/check-exe fails when the link map shows it.
#include <cstdlib>
#include <exception>
#include <new>

#if defined(__GLIBCXX__)  // set by the headers above when they are libstdc++'s

#include <bits/functexcept.h>
#include <cxxabi.h>

namespace {

class LibraryError final : public std::exception {
public:
    explicit LibraryError(const char* what) noexcept : what_(what) {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_;
};

}  // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char* what) { throw LibraryError(what); }
void __throw_logic_error(const char* what) { throw LibraryError(what); }
// The message stays a format: filling it in is what brought the formatter.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }

}  // namespace std

// Where the exception runtime keeps the exceptions being handled: one
// record of the layout the C++ ABI gives it (__cxa_eh_globals: the caught
// exceptions and the count of uncaught ones). libstdc++ keeps one a thread,
// and with it brings its emulation of thread-local storage; in this program
// only the user-interface thread runs C++ code, so one record serves.
namespace {
struct ExceptionGlobals {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
} exceptionGlobals;
}  // namespace

namespace __cxxabiv1 {
extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept {
    return reinterpret_cast<__cxa_eh_globals*>(&exceptionGlobals);
}
extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept {
    return reinterpret_cast<__cxa_eh_globals*>(&exceptionGlobals);
}
}  // namespace __cxxabiv1

// libstdc++'s default terminate handler prints the demangled type of the
// exception before it aborts, and so brings the whole demangler (some 47 KB)
// into the program. A window program has nowhere to print it: this one
// aborts the same way, without the text.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

#endif

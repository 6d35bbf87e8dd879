// The program's own definitions of the few helpers that libstdc++'s headers
// and the compiler call, so that the program links none of libstdc++'s
// versions, which all come with its exception machinery (the unwinder, the
// personality routine, type information, the demangler behind the default
// terminate handler).
//
// The shipped program is built without exceptions: nothing in it throws,
// and a container that cannot grow (no memory, or a size beyond its
// maximum) ends the program at once, as an exception that nothing catches
// would have. The inputs are bounded (an address holds at most 2,083
// characters), so these are the failures of a machine out of memory.
//
// These are the toolchain's internal names: if a header starts calling one
// not defined here, libstdc++'s file comes back and scripts/check-exe fails
// when the link map shows it.
#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__GLIBCXX__)  // set by the headers above when they are libstdc++'s

#include <bits/functexcept.h>

namespace std {

void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }

}  // namespace std

// A pure virtual function called during construction or destruction: a
// defect of the program, which ends it.
extern "C" void __cxa_pure_virtual() { std::abort(); }

#endif

// The global allocation functions without the new-handler loop and the
// std::bad_alloc of libstdc++'s own: out of memory ends the program.
void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
    std::abort();
}
// GCC takes the free of what operator new handed out for a mismatch; here
// the two are one pair by design.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif


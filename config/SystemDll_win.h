// System DLLs the program needs only now and then (the shell and COM for
// the browser start, COM for a screen reader), loaded when first needed
// instead of with the program: loading them took a good part of the time
// the window needed to appear. Always by full path from the system
// directory, never from where the program lies.
#pragma once

#include <windows.h>

namespace plm::config {

// The address of `name` in the system DLL `dll`, or nullptr.
FARPROC SystemProc(const wchar_t* dll, const char* name);

// The same, as the function type it has (through void(*)(), the one
// function type a cast may pass through).
template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemProc(dll, name)));
}

// A COM apartment on the calling thread, made once; it lasts until the
// program ends. True when there is one.
bool InitialiseComOnce();

}  // namespace plm::config

#include "config/SystemDll_win.h"

#include <objbase.h>

namespace plm::config {

FARPROC SystemProc(const wchar_t* dll, const char* name) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenW(dll) >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    lstrcpyW(path + length + 1, dll);
    HMODULE module = LoadLibraryW(path);
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

bool InitialiseComOnce() {
    static const bool initialised = [] {
        const auto initialise = SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        return initialise != nullptr && SUCCEEDED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }();
    return initialised;
}

}  // namespace plm::config

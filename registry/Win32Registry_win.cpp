// Wraps advapi32's ANSI registry calls. The only file of the registry module
// that includes <windows.h>.
#include <windows.h>

#include <type_traits>

#include "registry/Win32Registry_win.h"

namespace plm::reg {
namespace {

// Our portable types must be the real ones, so values pass unchanged.
static_assert(std::is_same_v<LONG, ::LONG>);
static_assert(std::is_same_v<DWORD, ::DWORD>);
static_assert(std::is_same_v<BYTE, ::BYTE>);
static_assert(sizeof(HKEY) == sizeof(::HKEY));
static_assert(TypeString == REG_SZ && TypeDword == REG_DWORD && TypeBinary == REG_BINARY);
static_assert(ErrorFileNotFound == ERROR_FILE_NOT_FOUND && ErrorAccessDenied == ERROR_ACCESS_DENIED &&
              ErrorInvalidHandle == ERROR_INVALID_HANDLE && ErrorMoreData == ERROR_MORE_DATA &&
              ErrorInvalidParameter == ERROR_INVALID_PARAMETER && ErrorKeyDeleted == ERROR_KEY_DELETED &&
              ErrorNoUnicodeTranslation == ERROR_NO_UNICODE_TRANSLATION && ErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
// The interface has the shape of these entry points.
static_assert(std::is_same_v<decltype(&::RegOpenKeyA), ::LONG(WINAPI*)(::HKEY, LPCSTR, PHKEY)>);
static_assert(std::is_same_v<decltype(&::RegCreateKeyA), ::LONG(WINAPI*)(::HKEY, LPCSTR, PHKEY)>);
static_assert(std::is_same_v<decltype(&::RegQueryValueExA),
                             ::LONG(WINAPI*)(::HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)>);
static_assert(std::is_same_v<decltype(&::RegSetValueExA),
                             ::LONG(WINAPI*)(::HKEY, LPCSTR, ::DWORD, ::DWORD, const ::BYTE*, ::DWORD)>);
static_assert(std::is_same_v<decltype(&::RegDeleteKeyA), ::LONG(WINAPI*)(::HKEY, LPCSTR)>);
static_assert(std::is_same_v<decltype(&::RegCloseKey), ::LONG(WINAPI*)(::HKEY)>);
static_assert(std::is_same_v<decltype(&::RegEnumValueA),
                             ::LONG(WINAPI*)(::HKEY, ::DWORD, LPSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD)>);
static_assert(std::is_same_v<decltype(&::RegEnumKeyA), ::LONG(WINAPI*)(::HKEY, ::DWORD, LPSTR, ::DWORD)>);

::HKEY Native(HKEY key) { return reinterpret_cast<::HKEY>(static_cast<std::intptr_t>(key)); }
HKEY Ours(::HKEY key) { return static_cast<HKEY>(reinterpret_cast<std::intptr_t>(key)); }

class Advapi32Registry final : public RegistryApi {
public:
    LONG RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) override {
        ::HKEY out = nullptr;
        LONG rc = ::RegOpenKeyA(Native(key), subKey, &out);
        if (result) *result = rc == ERROR_SUCCESS ? Ours(out) : NullKey;
        return rc;
    }
    LONG RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) override {
        ::HKEY out = nullptr;
        LONG rc = ::RegCreateKeyA(Native(key), subKey, &out);
        if (result) *result = rc == ERROR_SUCCESS ? Ours(out) : NullKey;
        return rc;
    }
    LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                          DWORD* dataSize) override {
        return ::RegQueryValueExA(Native(key), valueName, reserved, type, data, dataSize);
    }
    LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                        DWORD dataSize) override {
        return ::RegSetValueExA(Native(key), valueName, reserved, type, data, dataSize);
    }
    LONG RegDeleteKeyA(HKEY key, const char* subKey) override { return ::RegDeleteKeyA(Native(key), subKey); }
    LONG RegCloseKey(HKEY key) override { return ::RegCloseKey(Native(key)); }
    LONG RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize, DWORD* reserved, DWORD* type,
                       BYTE* data, DWORD* dataSize) override {
        return ::RegEnumValueA(Native(key), index, valueName, valueNameSize, reserved, type, data, dataSize);
    }
    LONG RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD nameSize) override {
        return ::RegEnumKeyA(Native(key), index, name, nameSize);
    }
};

}  // namespace

RegistryApi& Advapi32() {
    static Advapi32Registry api;
    return api;
}

}  // namespace plm::reg

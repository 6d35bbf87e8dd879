// The registry calls the system makes, with the shape of advapi32's ANSI
// entry points (same arguments, same LONG results). The real advapi32
// stands behind it on Windows; the in-memory registry in tests and on Linux.
//
// The types are our own so this header needs no <windows.h>; the Win32
// backend checks that they match the real ones.
#pragma once

#include <cstdint>

namespace plm::reg {

// 32-bit on every platform; on Windows spelled as <windows.h> spells them
// (long is 32-bit there), so pointers pass to advapi32 unchanged.
#ifdef _WIN32
using LONG = long;
using DWORD = unsigned long;
#else
using LONG = std::int32_t;
using DWORD = std::uint32_t;
#endif
static_assert(sizeof(LONG) == 4 && sizeof(DWORD) == 4);
using BYTE = unsigned char;

// A registry handle. Predefined root keys are the sign-extended 32-bit
// constants Windows uses, so a value converts one-to-one to a real HKEY.
enum class HKEY : std::intptr_t {};

inline constexpr HKEY NullKey{0};
inline constexpr HKEY CurrentUser{static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000001u))};
inline constexpr HKEY LocalMachine{static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000002u))};

// Value types and status codes, named after their Win32 meaning (the Win32
// names themselves are macros in <windows.h>).
inline constexpr DWORD TypeString = 1;  // REG_SZ
inline constexpr DWORD TypeBinary = 3;  // REG_BINARY
inline constexpr DWORD TypeDword = 4;   // REG_DWORD

// The ANSI calls take a sub-key path of at most MAX_PATH bytes; a longer one
// is refused with ERROR_MORE_DATA (Wine's advapi32 converts it through a
// fixed buffer of that size).
inline constexpr unsigned MaxAnsiSubKeyPath = 260;

inline constexpr LONG Success = 0;
inline constexpr LONG ErrorInvalidFunction = 1;
inline constexpr LONG ErrorFileNotFound = 2;
inline constexpr LONG ErrorAccessDenied = 5;
inline constexpr LONG ErrorInvalidHandle = 6;
inline constexpr LONG ErrorInvalidParameter = 87;
inline constexpr LONG ErrorMoreData = 234;
inline constexpr LONG ErrorNoMoreItems = 259;
inline constexpr LONG ErrorKeyDeleted = 1018;
inline constexpr LONG ErrorNoUnicodeTranslation = 1113;

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    virtual LONG RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) = 0;
    virtual LONG RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) = 0;
    virtual LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type,
                                  BYTE* data, DWORD* dataSize) = 0;
    virtual LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type,
                                const BYTE* data, DWORD dataSize) = 0;
    virtual LONG RegDeleteKeyA(HKEY key, const char* subKey) = 0;
    virtual LONG RegCloseKey(HKEY key) = 0;
    // The key's value at `index`: its name (valueNameSize: the buffer's size
    // in bytes going in, the name's length without its NUL coming out), type
    // and data. ERROR_NO_MORE_ITEMS past the last value, ERROR_MORE_DATA when
    // the name or the data does not fit.
    virtual LONG RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize, DWORD* reserved,
                               DWORD* type, BYTE* data, DWORD* dataSize) = 0;
    // The name of the key's sub-key at `index` (nameSize: the buffer's size
    // in bytes, NUL included). ERROR_NO_MORE_ITEMS past the last sub-key,
    // ERROR_MORE_DATA when the name does not fit.
    virtual LONG RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD nameSize) = 0;
};

// Passes every call on to another registry; a wrapper overrides the calls it
// changes (a read-only view, a recording, a fault plan).
class ForwardingRegistry : public RegistryApi {
public:
    explicit ForwardingRegistry(RegistryApi& inner) : inner_(inner) {}
    LONG RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) override {
        return inner_.RegOpenKeyA(key, subKey, result);
    }
    LONG RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) override {
        return inner_.RegCreateKeyA(key, subKey, result);
    }
    LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type,
                               BYTE* data, DWORD* dataSize) override {
        return inner_.RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
    }
    LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type,
                             const BYTE* data, DWORD dataSize) override {
        return inner_.RegSetValueExA(key, valueName, reserved, type, data, dataSize);
    }
    LONG RegDeleteKeyA(HKEY key, const char* subKey) override { return inner_.RegDeleteKeyA(key, subKey); }
    LONG RegCloseKey(HKEY key) override { return inner_.RegCloseKey(key); }
    LONG RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize,
                            DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) override {
        return inner_.RegEnumValueA(key, index, valueName, valueNameSize, reserved, type, data, dataSize);
    }
    LONG RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD nameSize) override {
        return inner_.RegEnumKeyA(key, index, name, nameSize);
    }

protected:
    RegistryApi& Inner() { return inner_; }

private:
    RegistryApi& inner_;
};

}  // namespace plm::reg

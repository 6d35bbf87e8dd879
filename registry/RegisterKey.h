// RegisterKey: the one place where the system reads, writes, creates and
// deletes registry keys and values. Every operation opens what it needs from
// a root key and a key path, so callers never hold a registry handle.
//
// Failures are never raised: each operation hands its caller the Status it
// went by (each saying which below; the caller goes by that alone), reads
// give empty text or 0, and LastRegError() holds the status of the
// operation's last registry call (-1002 for an empty key path), the
// module's own record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/CodePage.h"
#include "registry/RegistryApi.h"
#include "registry/Status.h"

namespace plm::reg {

inline constexpr std::int32_t EmptyKeyPathError = -1002;

// A key handle that closes itself. Move-only, so a copy can never close the
// same handle twice.
class KeyHandle {
public:
    KeyHandle() = default;
    KeyHandle(RegistryApi& api, HKEY key) : api_(&api), key_(key) {}
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    KeyHandle(KeyHandle&& other) noexcept : api_(other.api_), key_(other.key_) { other.key_ = NullKey; }
    KeyHandle& operator=(KeyHandle&& other) noexcept;
    ~KeyHandle() { Close(); }

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != NullKey; }
    void Close();

private:
    RegistryApi* api_ = nullptr;
    HKEY key_ = NullKey;
};

// One value of a key as EnumValues lists it: its name and registry type.
struct ValueEntry {
    std::u16string name;
    DWORD type = 0;
    bool operator==(const ValueEntry&) const = default;
};

class RegisterKey {
public:
    RegisterKey(RegistryApi& api, const CodePage& codePage) : api_(api), codePage_(codePage) {}

    // The reads: the status is the open's when it failed, else the query's
    // as that call returned it (Success for a string value holding empty
    // text, ERROR_FILE_NOT_FOUND for a missing value).
    Result<std::u16string> GetStringValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName);
    // 0, with the status, when the value cannot be read: a stored 0 reads
    // with Success.
    Result<std::int32_t> GetDwordValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName);

    // The writes give Success when the value was written, else the status
    // of the first call that failed on the way: the create, the open or the
    // set (a refused set is followed by a close that succeeds, so
    // LastRegError cannot tell).
    Status SetStringValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName,
                          std::u16string_view text);
    Status SetDwordValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName, std::int32_t data);
    // Opens the key, creating it and every missing key above it; the
    // status is the create's. The handle closes itself; callers that only
    // need the key to exist drop it.
    Result<KeyHandle> CreateKey(HKEY root, std::u16string_view keyPath);
    // The status of the call that decided: the open of the parent when it
    // failed, else the delete's (ERROR_FILE_NOT_FOUND: nothing was there to
    // delete). Callers that only tidy up ignore it.
    Status DeleteKey(HKEY root, std::u16string_view parentKeyPath, std::u16string_view subKeyName);

    // The names and types of the key's values, the default value with an
    // empty name, in the registry's own order (callers that need an order
    // sort). Left out: a name the ANSI calls cannot hand back exactly (a
    // character the code page lacks comes out as "?" or a look-alike, which
    // names another value or none). A failing call ends the list. The
    // status is the open's when it failed, else the one that ended the
    // list: ListingComplete() when every value is in it,
    // ERROR_NO_UNICODE_TRANSLATION when a name was left out. LastRegError
    // ends at the close's code, as after the reads.
    Result<std::vector<ValueEntry>> EnumValues(HKEY root, std::u16string_view keyPath);
    // The names of the key's sub-keys, in the registry's own order, as the
    // ANSI call hands them back (a character the code page lacks comes out
    // as "?", and such a name opens another key or none). A failing call
    // ends the list; the status is ListingComplete() when it is whole.
    Result<std::vector<std::u16string>> EnumKeys(HKEY root, std::u16string_view keyPath);

    std::int32_t LastRegError() const { return lastRegError_; }

private:
    // The key path, value name and string data of one call, as the ANSI
    // registry calls take them.
    struct AnsiArgs {
        std::string path;
        std::string name;
        std::string data;
    };
    // The start every operation shares: LastRegError reset, an empty key
    // path refused (-1002), and every text converted to the code page, into
    // buffers kept from call to call. nullptr, with LastRegError set, when
    // the operation must stop there.
    const AnsiArgs* Start(std::u16string_view keyPath, std::u16string_view name = {},
                          std::u16string_view data = {});
    // RegOpenKeyA into `key`; true when it succeeded. LastRegError = its code.
    bool Open(HKEY root, const std::string& path, HKEY& key);

    RegistryApi& api_;
    const CodePage& codePage_;
    AnsiArgs args_;
    std::int32_t lastRegError_ = 0;
};

}  // namespace plm::reg

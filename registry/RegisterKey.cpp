#include "registry/RegisterKey.h"

#include <string>

namespace plm::reg {

KeyHandle& KeyHandle::operator=(KeyHandle&& other) noexcept {
    if (this != &other) {
        Close();
        api_ = other.api_;
        key_ = other.key_;
        other.key_ = NullKey;
    }
    return *this;
}

void KeyHandle::Close() {
    if (key_ != NullKey && api_ != nullptr) api_->RegCloseKey(key_);
    key_ = NullKey;
}

const RegisterKey::AnsiArgs* RegisterKey::Start(std::u16string_view keyPath, std::u16string_view name,
                                                std::u16string_view data) {
    lastRegError_ = 0;
    if (keyPath.empty()) {
        lastRegError_ = EmptyKeyPathError;
        return nullptr;
    }
    // A name the system code page cannot hold exactly must not reach the
    // ANSI API, where it would become "?" or a look-alike and name another
    // key.
    if (!codePage_.ToAnsiInto(keyPath, args_.path) || !codePage_.ToAnsiInto(name, args_.name) ||
        !codePage_.ToAnsiInto(data, args_.data)) {
        lastRegError_ = ErrorNoUnicodeTranslation;
        return nullptr;
    }
    return &args_;
}

bool RegisterKey::Open(HKEY root, const std::string& path, HKEY& key) {
    key = NullKey;
    lastRegError_ = api_.RegOpenKeyA(root, path.c_str(), &key);
    return lastRegError_ == Success;
}

Result<std::u16string> RegisterKey::GetStringValue(HKEY root, std::u16string_view keyPath,
                                                   std::u16string_view valueName) {
    auto args = Start(keyPath, valueName);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) return {{}, lastRegError_};
    const char* name = args->name.c_str();

    // Ask for the size first: it counts bytes, terminating NUL included.
    DWORD scratch = 0;
    DWORD size = 0;
    DWORD type = 0;
    lastRegError_ = api_.RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&scratch), &size);
    // "More data" is what a value larger than the empty probe answers.
    Result<std::u16string> result{{}, lastRegError_ == ErrorMoreData ? Success : lastRegError_};
    if (size >= 2) {
        std::string buffer(static_cast<std::size_t>(size) + 1, ' ');
        DWORD read = size + 1;
        lastRegError_ = api_.RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
        result.status = lastRegError_;
        if (lastRegError_ == Success) {
            buffer.resize(read < buffer.size() ? read : buffer.size());
            auto nul = buffer.find('\0');
            if (nul != std::string::npos) buffer.resize(nul);
            result.value = codePage_.FromAnsi(buffer);
        }
    }
    lastRegError_ = api_.RegCloseKey(key);
    return result;
}

Result<std::int32_t> RegisterKey::GetDwordValue(HKEY root, std::u16string_view keyPath,
                                                std::u16string_view valueName) {
    auto args = Start(keyPath, valueName);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) return {0, lastRegError_};

    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = 0;
    lastRegError_ = api_.RegQueryValueExA(key, args->name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    // A value that cannot be read is 0.
    const Result<std::int32_t> result{lastRegError_ == Success ? static_cast<std::int32_t>(data) : 0, lastRegError_};
    lastRegError_ = api_.RegCloseKey(key);
    return result;
}

Status RegisterKey::SetStringValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName,
                                   std::u16string_view text) {
    auto args = Start(keyPath, valueName, text);
    if (!args) return lastRegError_;

    std::int32_t status = Success;
    HKEY key = NullKey;
    // Kept on purpose: the write goes through a second open even when the
    // first one succeeded, the registry calls the tool has always made
    // (RegisterKeyContract.SetStringValueOpensTheKeyTwice pins them).
    if (Open(root, args->path, key)) {
        api_.RegCloseKey(key);  // not needed: the write uses a fresh open
    } else {
        // Only to make the key exist: the calls of CreateKey, whose handle
        // is closed at once.
        lastRegError_ = api_.RegCreateKeyA(root, args->path.c_str(), &key);
        status = lastRegError_;
        if (lastRegError_ == Success) api_.RegCloseKey(key);
    }
    if (!Open(root, args->path, key)) return status != Success ? status : lastRegError_;

    const std::string& data = args->data;
    if (!data.empty()) {
        // The stored REG_SZ carries its terminating NUL.
        lastRegError_ = api_.RegSetValueExA(key, args->name.c_str(), 0, TypeString,
                                            reinterpret_cast<const BYTE*>(data.c_str()),
                                            static_cast<DWORD>(data.size() + 1));
    } else {
        const DWORD zero = 0;
        lastRegError_ = api_.RegSetValueExA(key, args->name.c_str(), 0, TypeString,
                                            reinterpret_cast<const BYTE*>(&zero), 0);
    }
    if (status == Success) status = lastRegError_;
    lastRegError_ = api_.RegCloseKey(key);
    return status;
}

Status RegisterKey::SetDwordValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName,
                                  std::int32_t data) {
    auto args = Start(keyPath, valueName);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) return lastRegError_;  // never creates the key

    auto value = static_cast<std::uint32_t>(data);
    const BYTE bytes[4] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>((value >> 8) & 0xFF),
                           static_cast<BYTE>((value >> 16) & 0xFF), static_cast<BYTE>((value >> 24) & 0xFF)};
    lastRegError_ = api_.RegSetValueExA(key, args->name.c_str(), 0, TypeDword, bytes, 4);
    const std::int32_t status = lastRegError_;
    lastRegError_ = api_.RegCloseKey(key);
    return status;
}

Result<std::vector<ValueEntry>> RegisterKey::EnumValues(HKEY root, std::u16string_view keyPath) {
    auto args = Start(keyPath);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) return {{}, lastRegError_};

    Result<std::vector<ValueEntry>> values;
    // Names are short; a longer one is asked for again with room for the
    // longest there is (16,383 characters, two bytes each in a double-byte
    // code page). Only a failing registry can answer "more data" then, and
    // any answer but success ends the list (normally ERROR_NO_MORE_ITEMS
    // after the last value).
    constexpr std::size_t LongestName = 32767;
    std::string buffer(256, '\0');
    bool leftOut = false;
    for (DWORD index = 0;; ++index) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD type = 0;
        lastRegError_ = api_.RegEnumValueA(key, index, buffer.data(), &size, nullptr, &type, nullptr, nullptr);
        if (lastRegError_ == ErrorMoreData && buffer.size() < LongestName) {
            buffer.resize(LongestName);
            size = static_cast<DWORD>(buffer.size());
            lastRegError_ = api_.RegEnumValueA(key, index, buffer.data(), &size, nullptr, &type, nullptr, nullptr);
        }
        if (lastRegError_ != Success) {
            // ERROR_NO_MORE_ITEMS: every value was listed, unless one was
            // left out for its name.
            values.status = lastRegError_ == ErrorNoMoreItems && leftOut ? ErrorNoUnicodeTranslation : lastRegError_;
            break;
        }
        const std::string ansi = buffer.substr(0, size);
        // The name must come back to these same bytes and, given to the
        // registry, name this value.
        ValueEntry entry{codePage_.FromAnsi(ansi), type};
        DWORD found = 0;
        lastRegError_ = codePage_.ToAnsi(entry.name) == ansi
                            ? api_.RegQueryValueExA(key, ansi.c_str(), nullptr, &found, nullptr, nullptr)
                            : ErrorNoUnicodeTranslation;
        if (lastRegError_ == Success && found == type) {
            values.value.push_back(std::move(entry));
        } else if (lastRegError_ == ErrorNoUnicodeTranslation || lastRegError_ == Success) {
            leftOut = true;
        } else {
            values.status = lastRegError_;  // the registry would not say: the list is not whole
            break;
        }
    }
    lastRegError_ = api_.RegCloseKey(key);
    return values;
}

Result<KeyHandle> RegisterKey::CreateKey(HKEY root, std::u16string_view keyPath) {
    auto args = Start(keyPath);
    if (!args) return {{}, lastRegError_};
    HKEY key = NullKey;
    lastRegError_ = api_.RegCreateKeyA(root, args->path.c_str(), &key);
    if (lastRegError_ != Success) return {{}, lastRegError_};
    return {KeyHandle(api_, key), Success};
}

Status RegisterKey::DeleteKey(HKEY root, std::u16string_view parentKeyPath, std::u16string_view subKeyName) {
    auto args = Start(parentKeyPath, subKeyName);
    if (!args) return lastRegError_;

    // Kept on purpose: the parent is opened with the create call, so a
    // missing parent is created (empty) on the way; the stale-entry removal
    // counts on it and deletes that key again (DeleteKeyCreatesAMissingParent).
    HKEY opened = NullKey;
    lastRegError_ = api_.RegCreateKeyA(root, args->path.c_str(), &opened);
    const std::int32_t opening = lastRegError_;
    KeyHandle parent = lastRegError_ == Success ? KeyHandle(api_, opened) : KeyHandle();
    lastRegError_ = api_.RegDeleteKeyA(parent.Get(), args->name.c_str());
    return opening != Success ? opening : lastRegError_;
}

Result<std::vector<std::u16string>> RegisterKey::EnumKeys(HKEY root, std::u16string_view keyPath) {
    auto args = Start(keyPath);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) return {{}, lastRegError_};
    Result<std::vector<std::u16string>> names;
    // Key names hold 255 characters at most, but their ANSI form may take
    // three bytes for each (UTF-8 as the code page), and the system may ask
    // for more room than the name needs: a name that does not fit is asked
    // for again in a larger buffer. Only a failing registry wants more.
    constexpr std::size_t LargestBuffer = 8192;
    std::string buffer(64, '\0');
    for (DWORD index = 0;;) {
        lastRegError_ = api_.RegEnumKeyA(key, index, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (lastRegError_ == ErrorMoreData && buffer.size() < LargestBuffer) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (lastRegError_ != Success) break;
        names.value.push_back(codePage_.FromAnsi(buffer.c_str()));
        ++index;
    }
    names.status = lastRegError_;
    lastRegError_ = api_.RegCloseKey(key);
    return names;
}

}  // namespace plm::reg

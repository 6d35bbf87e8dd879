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

std::u16string RegisterKey::GetStringValue(HKEY root, std::u16string_view keyPath,
                                           std::u16string_view valueName) {
    auto args = Start(keyPath, valueName);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) {
        readStatus_ = lastRegError_;
        return {};
    }
    const char* name = args->name.c_str();

    // Ask for the size first: it counts bytes, terminating NUL included.
    DWORD scratch = 0;
    DWORD size = 0;
    DWORD type = 0;
    lastRegError_ = api_.RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&scratch), &size);
    // "More data" is what a value larger than the empty probe answers.
    readStatus_ = lastRegError_ == ErrorMoreData ? Success : lastRegError_;
    std::u16string result;
    if (size >= 2) {
        std::string buffer(static_cast<std::size_t>(size) + 1, ' ');
        DWORD read = size + 1;
        lastRegError_ = api_.RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
        readStatus_ = lastRegError_;
        if (lastRegError_ == Success) {
            buffer.resize(read < buffer.size() ? read : buffer.size());
            auto nul = buffer.find('\0');
            if (nul != std::string::npos) buffer.resize(nul);
            result = codePage_.FromAnsi(buffer);
        }
    }
    lastRegError_ = api_.RegCloseKey(key);
    return result;
}

std::int32_t RegisterKey::GetDwordValue(HKEY root, std::u16string_view keyPath,
                                        std::u16string_view valueName) {
    // The same calls; a value that cannot be read is 0.
    return FindDwordValue(root, keyPath, valueName).value_or(0);
}

std::optional<std::int32_t> RegisterKey::FindDwordValue(HKEY root, std::u16string_view keyPath,
                                                        std::u16string_view valueName) {
    auto args = Start(keyPath, valueName);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) {
        readStatus_ = lastRegError_;
        return std::nullopt;
    }

    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = 0;
    lastRegError_ = api_.RegQueryValueExA(key, args->name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    readStatus_ = lastRegError_;
    std::optional<std::int32_t> result;
    if (lastRegError_ == Success) result = static_cast<std::int32_t>(data);
    lastRegError_ = api_.RegCloseKey(key);
    return result;
}

void RegisterKey::SetStringValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName,
                                 std::u16string_view text) {
    auto args = Start(keyPath, valueName, text);
    if (!args) {
        NoteWrite(lastRegError_);
        return;
    }

    HKEY key = NullKey;
    if (Open(root, args->path, key)) {
        api_.RegCloseKey(key);  // not needed: the write uses a fresh open
    } else {
        // Only to make the key exist: the calls of CreateKey, whose handle
        // is closed at once.
        lastRegError_ = api_.RegCreateKeyA(root, args->path.c_str(), &key);
        NoteWrite(lastRegError_);
        if (lastRegError_ == Success) api_.RegCloseKey(key);
    }
    if (!Open(root, args->path, key)) {
        NoteWrite(lastRegError_);
        return;
    }

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
    NoteWrite(lastRegError_);
    lastRegError_ = api_.RegCloseKey(key);
}

void RegisterKey::SetDwordValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName,
                                std::int32_t data) {
    auto args = Start(keyPath, valueName);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) {  // never creates the key
        NoteWrite(lastRegError_);
        return;
    }

    auto value = static_cast<std::uint32_t>(data);
    const BYTE bytes[4] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>((value >> 8) & 0xFF),
                           static_cast<BYTE>((value >> 16) & 0xFF), static_cast<BYTE>((value >> 24) & 0xFF)};
    lastRegError_ = api_.RegSetValueExA(key, args->name.c_str(), 0, TypeDword, bytes, 4);
    NoteWrite(lastRegError_);
    lastRegError_ = api_.RegCloseKey(key);
}

std::vector<ValueEntry> RegisterKey::EnumValues(HKEY root, std::u16string_view keyPath) {
    auto args = Start(keyPath);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) {
        readStatus_ = lastRegError_;
        return {};
    }

    std::vector<ValueEntry> values;
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
            readStatus_ = lastRegError_ == ErrorNoMoreItems && leftOut ? ErrorNoUnicodeTranslation : lastRegError_;
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
            values.push_back(std::move(entry));
        } else if (lastRegError_ == ErrorNoUnicodeTranslation || lastRegError_ == Success) {
            leftOut = true;
        } else {
            readStatus_ = lastRegError_;  // the registry would not say: the list is not whole
            break;
        }
    }
    lastRegError_ = api_.RegCloseKey(key);
    return values;
}

KeyHandle RegisterKey::CreateKey(HKEY root, std::u16string_view keyPath) {
    auto args = Start(keyPath);
    HKEY key = NullKey;
    if (args) lastRegError_ = api_.RegCreateKeyA(root, args->path.c_str(), &key);
    NoteWrite(lastRegError_);
    if (!args || lastRegError_ != Success) return {};
    return KeyHandle(api_, key);
}

std::int32_t RegisterKey::DeleteKey(HKEY root, std::u16string_view parentKeyPath, std::u16string_view subKeyName) {
    auto args = Start(parentKeyPath, subKeyName);
    if (!args) return lastRegError_;

    // The parent is opened with the create call, so a missing parent is
    // created (empty) on the way.
    HKEY opened = NullKey;
    lastRegError_ = api_.RegCreateKeyA(root, args->path.c_str(), &opened);
    const std::int32_t opening = lastRegError_;
    KeyHandle parent = lastRegError_ == Success ? KeyHandle(api_, opened) : KeyHandle();
    lastRegError_ = api_.RegDeleteKeyA(parent.Get(), args->name.c_str());
    return opening != Success ? opening : lastRegError_;
}

std::vector<std::u16string> RegisterKey::EnumKeys(HKEY root, std::u16string_view keyPath) {
    auto args = Start(keyPath);
    HKEY key = NullKey;
    if (!args || !Open(root, args->path, key)) {
        readStatus_ = lastRegError_;
        return {};
    }
    std::vector<std::u16string> names;
    // 255 characters at most, two bytes each in a double-byte code page.
    char buffer[2 * 255 + 1];
    for (DWORD index = 0;; ++index) {
        lastRegError_ = api_.RegEnumKeyA(key, index, buffer, sizeof buffer);
        if (lastRegError_ != Success) break;
        names.push_back(codePage_.FromAnsi(buffer));
    }
    readStatus_ = lastRegError_;
    lastRegError_ = api_.RegCloseKey(key);
    return names;
}

}  // namespace plm::reg

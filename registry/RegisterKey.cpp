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

bool RegisterKey::Begin(std::u16string_view keyPath) {
    lastRegError_ = 0;
    if (keyPath.empty()) {
        lastRegError_ = EmptyKeyPathError;
        return false;
    }
    return true;
}

// A name the system code page cannot hold exactly must not reach the ANSI
// API, where it would become "?" or a look-alike and name another key.
std::optional<std::string> RegisterKey::Ansi(std::u16string_view text) {
    auto ansi = codePage_.ToAnsi(text);
    if (!ansi) lastRegError_ = ErrorNoUnicodeTranslation;
    return ansi;
}

std::u16string RegisterKey::GetStringValue(HKEY root, std::u16string_view keyPath,
                                           std::u16string_view valueName) {
    if (!Begin(keyPath)) return {};
    auto path = Ansi(keyPath);
    auto name = path ? Ansi(valueName) : std::nullopt;
    if (!path || !name) return {};

    HKEY key = NullKey;
    lastRegError_ = api_.RegOpenKeyA(root, path->c_str(), &key);
    if (lastRegError_ != Success) return {};

    // Ask for the size first: it counts bytes, terminating NUL included.
    DWORD scratch = 0;
    DWORD size = 0;
    DWORD type = 0;
    lastRegError_ = api_.RegQueryValueExA(key, name->c_str(), nullptr, &type,
                                          reinterpret_cast<BYTE*>(&scratch), &size);
    std::u16string result;
    if (size >= 2) {
        std::string buffer(static_cast<std::size_t>(size) + 1, ' ');
        DWORD read = size + 1;
        lastRegError_ = api_.RegQueryValueExA(key, name->c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(buffer.data()), &read);
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
    if (!Begin(keyPath)) return std::nullopt;
    auto path = Ansi(keyPath);
    auto name = path ? Ansi(valueName) : std::nullopt;
    if (!path || !name) return std::nullopt;

    HKEY key = NullKey;
    lastRegError_ = api_.RegOpenKeyA(root, path->c_str(), &key);
    if (lastRegError_ != Success) return std::nullopt;

    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG rc = api_.RegQueryValueExA(key, name->c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    lastRegError_ = rc;
    std::optional<std::int32_t> result;
    if (rc == Success) result = static_cast<std::int32_t>(data);
    lastRegError_ = api_.RegCloseKey(key);
    return result;
}

void RegisterKey::SetStringValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName,
                                 std::u16string_view text) {
    if (!Begin(keyPath)) return;
    auto path = Ansi(keyPath);
    auto name = path ? Ansi(valueName) : std::nullopt;
    auto data = name ? Ansi(text) : std::nullopt;
    if (!path || !name || !data) return;

    HKEY probe = NullKey;
    lastRegError_ = api_.RegOpenKeyA(root, path->c_str(), &probe);
    if (lastRegError_ != Success) {
        CreateKey(root, keyPath);  // only to make the key exist
    } else {
        api_.RegCloseKey(probe);  // not needed: the write uses a fresh open
    }

    HKEY key = NullKey;
    lastRegError_ = api_.RegOpenKeyA(root, path->c_str(), &key);
    if (lastRegError_ != Success) return;

    if (!data->empty()) {
        // The stored REG_SZ carries its terminating NUL.
        lastRegError_ = api_.RegSetValueExA(key, name->c_str(), 0, TypeString,
                                            reinterpret_cast<const BYTE*>(data->c_str()),
                                            static_cast<DWORD>(data->size() + 1));
    } else {
        const DWORD zero = 0;
        lastRegError_ = api_.RegSetValueExA(key, name->c_str(), 0, TypeString,
                                            reinterpret_cast<const BYTE*>(&zero), 0);
    }
    lastRegError_ = api_.RegCloseKey(key);
}

void RegisterKey::SetDwordValue(HKEY root, std::u16string_view keyPath, std::u16string_view valueName,
                                std::int32_t data) {
    if (!Begin(keyPath)) return;
    auto path = Ansi(keyPath);
    auto name = path ? Ansi(valueName) : std::nullopt;
    if (!path || !name) return;

    HKEY key = NullKey;
    lastRegError_ = api_.RegOpenKeyA(root, path->c_str(), &key);
    if (lastRegError_ != Success) return;  // never creates the key

    auto value = static_cast<std::uint32_t>(data);
    const BYTE bytes[4] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>((value >> 8) & 0xFF),
                           static_cast<BYTE>((value >> 16) & 0xFF), static_cast<BYTE>((value >> 24) & 0xFF)};
    lastRegError_ = api_.RegSetValueExA(key, name->c_str(), 0, TypeDword, bytes, 4);
    lastRegError_ = api_.RegCloseKey(key);
}

KeyHandle RegisterKey::CreateKey(HKEY root, std::u16string_view keyPath) {
    if (!Begin(keyPath)) return {};
    auto path = Ansi(keyPath);
    if (!path) return {};
    HKEY key = NullKey;
    lastRegError_ = api_.RegCreateKeyA(root, path->c_str(), &key);
    if (lastRegError_ != Success) return {};
    return KeyHandle(api_, key);
}

void RegisterKey::DeleteKey(HKEY root, std::u16string_view parentKeyPath, std::u16string_view subKeyName) {
    if (!Begin(parentKeyPath)) return;
    auto path = Ansi(parentKeyPath);
    auto sub = path ? Ansi(subKeyName) : std::nullopt;
    if (!path || !sub) return;

    // The parent is opened with the create call, so a missing parent is
    // created (empty) on the way.
    HKEY opened = NullKey;
    lastRegError_ = api_.RegCreateKeyA(root, path->c_str(), &opened);
    KeyHandle parent = lastRegError_ == Success ? KeyHandle(api_, opened) : KeyHandle();
    lastRegError_ = api_.RegDeleteKeyA(parent.Get(), sub->c_str());
}

}  // namespace plm::reg

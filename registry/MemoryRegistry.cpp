#include "registry/MemoryRegistry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "text/Text.h"

namespace plm::reg {

namespace {

// Windows compares key and value names as Unicode, upper-cased.
std::u16string Fold(std::u16string_view name) { return ToUpper(name); }

// Windows' limits: 255 characters a key name, 512 levels of keys.
constexpr std::size_t MaxKeyNameLength = 255;
constexpr std::size_t MaxDepth = 512;
bool TooLong(const char* subKey) { return subKey && std::strlen(subKey) > MaxAnsiSubKeyPath; }

struct ParsedPath {
    std::vector<std::u16string> parts;
    LONG error = Success;
};

// Splits a sub-key path. Trailing separators are ignored, as Windows ignores
// them; an empty name inside the path or a name over the limit is refused.
ParsedPath SplitPath(std::u16string_view path) {
    ParsedPath out;
    while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    if (path.empty()) return out;
    std::size_t start = 0;
    while (true) {
        auto end = path.find(u'\\', start);
        auto part = path.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
        if (part.empty() || part.size() > MaxKeyNameLength) {
            out.error = ErrorInvalidParameter;
            return out;
        }
        out.parts.emplace_back(part);
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    return out;
}

}  // namespace

struct MemoryRegistry::Node {
    struct Value {
        std::u16string name;
        DWORD type = 0;
        std::string bytes;
    };
    std::u16string name;
    Node* parent = nullptr;
    bool deleted = false;
    std::map<std::u16string, std::shared_ptr<Node>> children;  // by folded name
    std::map<std::u16string, Value> values;                     // by folded name

    std::size_t Depth() const { return parent ? parent->Depth() + 1 : 0; }
    std::u16string Path() const {
        if (!parent) return name;
        return parent->Path() + u"\\" + name;
    }
    void MarkDeleted() {
        deleted = true;
        parent = nullptr;
        for (auto& [_, child] : children) child->MarkDeleted();
        children.clear();
        values.clear();
    }
};

namespace {

using NodePtr = std::shared_ptr<MemoryRegistry::Node>;

// The existing key below `node` named by `parts`, or nullptr.
NodePtr Descend(NodePtr node, const std::vector<std::u16string>& parts) {
    for (const auto& part : parts) {
        auto it = node->children.find(Fold(part));
        if (it == node->children.end()) return nullptr;
        node = it->second;
    }
    return node;
}

// The key below `node` named by `parts`, created with every missing key.
NodePtr DescendCreating(NodePtr node, const std::vector<std::u16string>& parts) {
    for (const auto& part : parts) {
        auto& slot = node->children[Fold(part)];
        if (!slot) {
            slot = std::make_shared<MemoryRegistry::Node>();
            slot->name = part;
            slot->parent = node.get();
        }
        node = slot;
    }
    return node;
}

}  // namespace

MemoryRegistry::MemoryRegistry(const CodePage& codePage)
    : codePage_(codePage),
      currentUser_(std::make_shared<Node>()),
      localMachine_(std::make_shared<Node>()) {
    currentUser_->name = u"HKEY_CURRENT_USER";
    localMachine_->name = u"HKEY_LOCAL_MACHINE";
}

MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::FailNext(RegCall call, LONG code, int times) {
    failures_.push_back(Failure{call, code, times, {}});
}

void MemoryRegistry::FailPath(RegCall call, std::u16string_view pathPart, LONG code) {
    failures_.push_back(Failure{call, code, -1, Fold(pathPart)});
}

void MemoryRegistry::ClearFailures() { failures_.clear(); }

LONG MemoryRegistry::Injected(RegCall call, std::u16string_view path) {
    ++callCount_;
    auto folded = Fold(path);
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (it->call != call) continue;
        if (!it->pathPart.empty() && folded.find(it->pathPart) == std::u16string::npos) continue;
        LONG code = it->code;
        if (it->times > 0 && --it->times == 0) failures_.erase(it);
        return code;
    }
    return Success;
}

std::size_t MemoryRegistry::OpenHandles() const { return handles_.size(); }

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Resolve(HKEY key, LONG* error) {
    *error = Success;
    if (key == CurrentUser) return currentUser_;
    if (key == LocalMachine) return localMachine_;
    auto it = handles_.find(static_cast<std::intptr_t>(key));
    if (it == handles_.end()) {
        *error = ErrorInvalidHandle;
        return nullptr;
    }
    if (it->second->deleted) {
        *error = ErrorKeyDeleted;
        return nullptr;
    }
    return it->second;
}

HKEY MemoryRegistry::NewHandle(std::shared_ptr<Node> node) {
    auto id = nextHandle_;
    nextHandle_ += 4;
    handles_[id] = std::move(node);
    return static_cast<HKEY>(id);
}

namespace {
std::u16string Joined(const std::shared_ptr<MemoryRegistry::Node>& node, std::u16string_view sub);
}

// The start that the calls naming a sub-key share: the handle's key, an
// injected failure, and the MAX_PATH limit of the ANSI sub-key argument.
// A non-zero result ends the call with that code.
LONG MemoryRegistry::StartSubKeyCall(RegCall call, HKEY key, const char* subKey, std::shared_ptr<Node>& node,
                                     std::u16string& sub) {
    LONG error = Success;
    node = Resolve(key, &error);
    sub = subKey ? codePage_.FromAnsi(subKey) : std::u16string();
    if (LONG injected = Injected(call, node ? Joined(node, sub) : sub)) return injected;
    if (!node) return error;
    if (TooLong(subKey)) return ErrorMoreData;
    return Success;
}

// RegOpenKeyA and RegCreateKeyA: the same path rules, except that a create
// makes what is missing (within Windows' depth limit) and reports a bad
// path as such, while an open simply finds nothing.
LONG MemoryRegistry::OpenKey(RegCall call, HKEY key, const char* subKey, HKEY* result) {
    if (result) *result = NullKey;
    std::shared_ptr<Node> node;
    std::u16string sub;
    if (LONG error = StartSubKeyCall(call, key, subKey, node, sub)) return error;
    if (!result) return ErrorInvalidParameter;
    const bool create = call == RegCall::Create;
    auto parsed = SplitPath(sub);
    if (parsed.error != Success) return create ? parsed.error : ErrorFileNotFound;
    if (parsed.parts.empty()) {
        // An empty sub-key gives back the handle that was passed in.
        *result = key;
        return Success;
    }
    if (create) {
        if (node->Depth() + parsed.parts.size() > MaxDepth) return ErrorInvalidParameter;
        node = DescendCreating(node, parsed.parts);
    } else {
        node = Descend(node, parsed.parts);
        if (!node) return ErrorFileNotFound;
    }
    *result = NewHandle(node);
    return Success;
}

LONG MemoryRegistry::RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) {
    return OpenKey(RegCall::Open, key, subKey, result);
}

LONG MemoryRegistry::RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) {
    return OpenKey(RegCall::Create, key, subKey, result);
}

LONG MemoryRegistry::RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type,
                                      BYTE* data, DWORD* dataSize) {
    LONG error = Success;
    auto node = Resolve(key, &error);
    if (LONG injected = Injected(RegCall::Query, node ? node->Path() : std::u16string())) return injected;
    if (!node) return error;
    if (reserved != nullptr) return ErrorInvalidParameter;
    if (data != nullptr && dataSize == nullptr) return ErrorInvalidParameter;
    std::u16string name = valueName ? codePage_.FromAnsi(valueName) : std::u16string();
    auto it = node->values.find(Fold(name));
    if (it == node->values.end()) return ErrorFileNotFound;
    const auto& value = it->second;
    if (type) *type = value.type;
    auto size = static_cast<DWORD>(value.bytes.size());
    if (!dataSize) return Success;
    if (data == nullptr) {
        *dataSize = size;
        return Success;
    }
    if (*dataSize < size) {
        *dataSize = size;
        return ErrorMoreData;
    }
    if (size > 0) std::memcpy(data, value.bytes.data(), size);
    *dataSize = size;
    return Success;
}

LONG MemoryRegistry::RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type,
                                    const BYTE* data, DWORD dataSize) {
    LONG error = Success;
    auto node = Resolve(key, &error);
    if (LONG injected = Injected(RegCall::Set, node ? node->Path() : std::u16string())) return injected;
    if (!node) return error;
    if (reserved != 0) return ErrorInvalidParameter;
    if (data == nullptr && dataSize > 0) return ErrorInvalidParameter;
    std::u16string name = valueName ? codePage_.FromAnsi(valueName) : std::u16string();
    if (name.size() > 16383) return ErrorInvalidParameter;
    auto& value = node->values[Fold(name)];
    if (value.name.empty()) value.name = name;  // the first spelling stays
    value.type = type;
    value.bytes.assign(reinterpret_cast<const char*>(data), dataSize);
    return Success;
}

LONG MemoryRegistry::RegDeleteKeyA(HKEY key, const char* subKey) {
    std::shared_ptr<Node> node;
    std::u16string sub;
    if (LONG error = StartSubKeyCall(RegCall::Delete, key, subKey, node, sub)) return error;
    if (!subKey) return ErrorInvalidParameter;
    auto parsed = SplitPath(sub);
    if (parsed.error != Success) return ErrorFileNotFound;
    node = Descend(node, parsed.parts);
    if (!node) return ErrorFileNotFound;
    // An empty name acts on the key itself; the root keys cannot go.
    if (!node->parent) return ErrorAccessDenied;
    if (!node->children.empty()) return ErrorAccessDenied;
    auto keep = node;  // the parent's map holds the last owning reference
    node->parent->children.erase(Fold(node->name));
    keep->MarkDeleted();
    return Success;
}

LONG MemoryRegistry::RegCloseKey(HKEY key) {
    if (LONG injected = Injected(RegCall::Close, std::u16string())) return injected;
    if (key == CurrentUser || key == LocalMachine) return Success;
    auto it = handles_.find(static_cast<std::intptr_t>(key));
    if (it == handles_.end()) return ErrorInvalidHandle;
    handles_.erase(it);
    return Success;
}

LONG MemoryRegistry::RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize,
                                   DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
    LONG error = Success;
    auto node = Resolve(key, &error);
    if (LONG injected = Injected(RegCall::Enum, node ? node->Path() : std::u16string())) return injected;
    if (reserved != nullptr || valueName == nullptr || valueNameSize == nullptr) return ErrorInvalidParameter;
    if (data != nullptr && dataSize == nullptr) return ErrorInvalidParameter;
    if (!node) return error;
    if (index >= node->values.size()) return ErrorNoMoreItems;
    const auto& value = std::next(node->values.begin(), static_cast<std::ptrdiff_t>(index))->second;

    // As the ANSI call does: a character the code page lacks becomes "?".
    std::string name;
    for (char16_t c : value.name) name += codePage_.ToAnsi(std::u16string_view(&c, 1)).value_or("?");
    const auto size = static_cast<DWORD>(value.bytes.size());
    if (type) *type = value.type;
    if (dataSize) {
        // Data that does not fit is not copied, and neither is the name.
        const bool fits = data == nullptr || *dataSize >= size;
        if (data != nullptr && fits && size > 0) std::memcpy(data, value.bytes.data(), size);
        *dataSize = size;
        if (!fits) return ErrorMoreData;
    }
    // A name that does not fit is cut to the buffer and its size is left as
    // it was.
    if (name.size() >= *valueNameSize) {
        if (*valueNameSize > 0) {
            std::memcpy(valueName, name.data(), *valueNameSize - 1);
            valueName[*valueNameSize - 1] = '\0';
        }
        return ErrorMoreData;
    }
    std::memcpy(valueName, name.c_str(), name.size() + 1);
    *valueNameSize = static_cast<DWORD>(name.size());
    return Success;
}

namespace {

std::u16string Joined(const std::shared_ptr<MemoryRegistry::Node>& node, std::u16string_view sub) {
    std::u16string path = node->Path();
    if (!sub.empty()) {
        path += u"\\";
        path += sub;
    }
    return path;
}

std::u16string Hex(const std::string& bytes) {
    std::u16string out;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
        if (i) out += u',';
        out += static_cast<char16_t>(buf[0]);
        out += static_cast<char16_t>(buf[1]);
    }
    return out;
}

}  // namespace

std::u16string FormatRegistryValue(std::u16string_view name, DWORD type, const std::string& bytes,
                                   const CodePage& codePage) {
    std::u16string line = name.empty() ? u"@=" : u"\"" + std::u16string(name) + u"\"=";
    if (type == TypeDword && bytes.size() == 4) {
        std::uint32_t v = static_cast<unsigned char>(bytes[0]) | (static_cast<unsigned char>(bytes[1]) << 8) |
                          (static_cast<unsigned char>(bytes[2]) << 16) |
                          (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[3])) << 24);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(v));
        line += FromUtf8(buf);
    } else if (type == TypeString && !bytes.empty() && bytes.back() == '\0' &&
               bytes.find('\0') == bytes.size() - 1) {
        line += u"\"" + codePage.FromAnsi(std::string_view(bytes).substr(0, bytes.size() - 1)) + u"\"";
    } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(type));
        line += FromUtf8(buf) + Hex(bytes);
    }
    return line;
}

namespace {

void Print(const MemoryRegistry::Node& node, const std::u16string& relative, const CodePage& codePage,
           std::u16string& out) {
    out += u"[" + relative + u"]\n";
    for (const auto& [_, value] : node.values) {
        out += FormatRegistryValue(value.name, value.type, value.bytes, codePage) + u"\n";
    }
    for (const auto& [_, child] : node.children) {
        Print(*child, relative.empty() ? child->name : relative + u"\\" + child->name, codePage, out);
    }
}

}  // namespace

std::u16string MemoryRegistry::Snapshot(HKEY root, std::u16string_view keyPath) {
    LONG error = Success;
    auto node = Resolve(root, &error);
    if (node) node = Descend(node, SplitPath(keyPath).parts);
    if (!node) return {};
    std::u16string out;
    Print(*node, u"", codePage_, out);
    return out;
}

bool MemoryRegistry::KeyExists(HKEY root, std::u16string_view keyPath) {
    LONG error = Success;
    auto node = Resolve(root, &error);
    if (!node) return false;
    auto parsed = SplitPath(keyPath);
    return parsed.error == Success && Descend(node, parsed.parts) != nullptr;
}

void MemoryRegistry::RemoveTree(HKEY root, std::u16string_view keyPath) {
    LONG error = Success;
    auto node = Resolve(root, &error);
    if (node) node = Descend(node, SplitPath(keyPath).parts);
    if (!node || !node->parent) return;
    auto keep = node;
    node->parent->children.erase(Fold(node->name));
    keep->MarkDeleted();
}

void MemoryRegistry::PutValue(HKEY root, std::u16string_view keyPath, std::u16string_view name, DWORD type,
                              std::string bytes) {
    LONG error = Success;
    auto node = Resolve(root, &error);
    if (!node) return;
    node = DescendCreating(node, SplitPath(keyPath).parts);
    auto& value = node->values[Fold(name)];
    if (value.name.empty()) value.name = std::u16string(name);
    value.type = type;
    value.bytes = std::move(bytes);
}

}  // namespace plm::reg

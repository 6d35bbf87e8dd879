#include "tests/support/MemoryRegistry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>

#include "text/Text.h"

namespace plm::test {

using namespace reg;

namespace {

// Windows compares key and value names as Unicode, upper-cased. Names are
// kept as first spelled and compared folded on the fly, so that a lookup
// makes no folded copy.
struct FoldedLess {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const {
        const char16_t* x = a.data();
        const char16_t* y = b.data();
        const char16_t* end = x + std::min(a.size(), b.size());
        for (; x != end; ++x, ++y) {
            const char16_t p = ToUpperChar(*x);
            const char16_t q = ToUpperChar(*y);
            if (p != q) return p < q;
        }
        return a.size() < b.size();
    }
};

// Windows' limits: 255 characters a key name, 512 levels of keys.
constexpr std::size_t MaxKeyNameLength = 255;
constexpr std::size_t MaxDepth = 512;
bool TooLong(const char* subKey) { return subKey && std::strlen(subKey) > MaxAnsiSubKeyPath; }

using PathParts = std::vector<std::u16string_view>;

// Splits a sub-key path into the names of its keys, as views into the path
// text. Trailing separators are ignored, as Windows ignores them; an empty
// name inside the path or a name over the limit is refused.
LONG SplitPath(std::u16string_view path, PathParts& parts) {
    parts.clear();
    while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    if (path.empty()) return Success;
    std::size_t start = 0;
    while (true) {
        auto end = path.find(u'\\', start);
        auto part = path.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
        if (part.empty() || part.size() > MaxKeyNameLength) return ErrorInvalidParameter;
        parts.push_back(part);
        if (end == std::u16string_view::npos) return Success;
        start = end + 1;
    }
}

PathParts SplitPath(std::u16string_view path) {
    PathParts parts;
    if (SplitPath(path, parts) != Success) parts.clear();
    return parts;
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
    std::map<std::u16string, std::shared_ptr<Node>, FoldedLess> children;
    std::map<std::u16string, Value, FoldedLess> values;

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
    // Takes the key from its parent; handles to it and below then fail.
    void Remove() {
        auto keep = parent->children.at(name);  // the parent's map holds the last owning reference
        parent->children.erase(name);
        keep->MarkDeleted();
    }
    void Store(std::u16string_view valueName, DWORD type, std::string bytes) {
        auto& value = values.try_emplace(std::u16string(valueName)).first->second;
        if (value.name.empty()) value.name = valueName;  // the first spelling stays
        value.type = type;
        value.bytes = std::move(bytes);
    }
};

namespace {

using NodePtr = std::shared_ptr<MemoryRegistry::Node>;

// The existing key below `node` named by `parts`, or nullptr.
// Walks by reference: only the key found is shared anew.
NodePtr Descend(const NodePtr& start, const PathParts& parts) {
    const NodePtr* node = &start;
    for (const auto& part : parts) {
        auto it = (*node)->children.find(part);
        if (it == (*node)->children.end()) return nullptr;
        node = &it->second;
    }
    return *node;
}

// The key below `node` named by `parts`, created with every missing key.
NodePtr DescendCreating(const NodePtr& start, const PathParts& parts) {
    const NodePtr* node = &start;
    for (const auto& part : parts) {
        auto it = (*node)->children.find(part);
        if (it == (*node)->children.end()) {
            auto child = std::make_shared<MemoryRegistry::Node>();
            child->name = std::u16string(part);
            child->parent = node->get();
            it = (*node)->children.emplace(child->name, std::move(child)).first;
        }
        node = &it->second;
    }
    return *node;
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

std::size_t MemoryRegistry::OpenHandles() const { return openHandles_; }

// Handles are numbered from FirstHandle in steps of 4, as Windows numbers
// them, never given out twice, and kept in a table by number.
std::shared_ptr<MemoryRegistry::Node>* MemoryRegistry::HandleSlot(HKEY key) {
    const auto id = static_cast<std::intptr_t>(key);
    if (id < FirstHandle || (id - FirstHandle) % 4 != 0) return nullptr;
    const auto index = static_cast<std::size_t>((id - FirstHandle) / 4);
    if (index >= handles_.size() || !handles_[index]) return nullptr;
    return &handles_[index];
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Resolve(HKEY key, LONG* error) {
    *error = Success;
    if (key == CurrentUser) return currentUser_;
    if (key == LocalMachine) return localMachine_;
    auto* slot = HandleSlot(key);
    if (slot == nullptr) {
        *error = ErrorInvalidHandle;
        return nullptr;
    }
    if ((*slot)->deleted) {
        *error = ErrorKeyDeleted;
        return nullptr;
    }
    return *slot;
}

HKEY MemoryRegistry::NewHandle(std::shared_ptr<Node> node) {
    const auto id = FirstHandle + 4 * static_cast<std::intptr_t>(handles_.size());
    handles_.push_back(std::move(node));
    ++openHandles_;
    return static_cast<HKEY>(id);
}

namespace {

// A key's path from its root key's name, and the same with a sub-key: what
// a planned failure's path part is looked for in.
std::u16string PathOf(const std::shared_ptr<MemoryRegistry::Node>& node) { return node ? node->Path() : std::u16string(); }
std::u16string Joined(const std::shared_ptr<MemoryRegistry::Node>& node, std::u16string_view sub) {
    std::u16string path = node->Path();
    if (!sub.empty()) {
        path += u"\\";
        path += sub;
    }
    return path;
}

}  // namespace

// The start that the calls naming a sub-key share: the handle's key, an
// injected failure, and the MAX_PATH limit of the ANSI sub-key argument.
// A non-zero result ends the call with that code.
LONG MemoryRegistry::StartSubKeyCall(RegCall call, HKEY key, const char* subKey, std::shared_ptr<Node>& node) {
    LONG error = Success;
    node = Resolve(key, &error);
    std::u16string& sub = sub_;
    codePage_.FromAnsiInto(subKey ? std::string_view(subKey) : std::string_view(), sub);
    if (LONG injected = faults_.Next(call, [&] { return node ? Joined(node, sub) : sub; })) return injected;
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
    if (LONG error = StartSubKeyCall(call, key, subKey, node)) return error;
    if (!result) return ErrorInvalidParameter;
    const bool create = call == RegCall::Create;
    std::u16string_view path = sub_;
    while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    if (path.empty()) {
        // An empty sub-key gives back the handle that was passed in.
        *result = key;
        return Success;
    }
    if (LONG error = SplitPath(path, parts_)) return create ? error : ErrorFileNotFound;
    std::shared_ptr<Node> found;
    if (create) {
        if (node->Depth() + parts_.size() > MaxDepth) return ErrorInvalidParameter;
        found = DescendCreating(node, parts_);
    } else {
        found = Descend(node, parts_);
        if (!found) return ErrorFileNotFound;
    }
    *result = NewHandle(std::move(found));
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
    if (LONG injected = faults_.Next(RegCall::Query, [&] { return PathOf(node); })) return injected;
    if (!node) return error;
    if (reserved != nullptr) return ErrorInvalidParameter;
    if (data != nullptr && dataSize == nullptr) return ErrorInvalidParameter;
    std::u16string& name = sub_;
    codePage_.FromAnsiInto(valueName ? std::string_view(valueName) : std::string_view(), name);
    auto it = node->values.find(name);
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
    // Registry data is bytes, not a C string: a REG_SZ carries its own NUL.
    if (size > 0) std::memcpy(data, value.bytes.data(), size);  // NOLINT(bugprone-not-null-terminated-result)
    *dataSize = size;
    return Success;
}

LONG MemoryRegistry::RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type,
                                    const BYTE* data, DWORD dataSize) {
    LONG error = Success;
    auto node = Resolve(key, &error);
    if (LONG injected = faults_.Next(RegCall::Set, [&] { return PathOf(node); })) return injected;
    if (!node) return error;
    if (reserved != 0) return ErrorInvalidParameter;
    if (data == nullptr && dataSize > 0) return ErrorInvalidParameter;
    std::u16string& name = sub_;
    codePage_.FromAnsiInto(valueName ? std::string_view(valueName) : std::string_view(), name);
    if (name.size() > 16383) return ErrorInvalidParameter;
    node->Store(name, type, std::string(reinterpret_cast<const char*>(data), dataSize));
    return Success;
}

LONG MemoryRegistry::RegDeleteKeyA(HKEY key, const char* subKey) {
    std::shared_ptr<Node> node;
    if (LONG error = StartSubKeyCall(RegCall::Delete, key, subKey, node)) return error;
    if (!subKey) return ErrorInvalidParameter;
    if (SplitPath(sub_, parts_) != Success) return ErrorFileNotFound;
    node = Descend(node, parts_);
    if (!node) return ErrorFileNotFound;
    // An empty name acts on the key itself; the root keys cannot go.
    if (!node->parent) return ErrorAccessDenied;
    if (!node->children.empty()) return ErrorAccessDenied;
    node->Remove();
    return Success;
}

LONG MemoryRegistry::RegCloseKey(HKEY key) {
    if (LONG injected = faults_.Next(RegCall::Close, [] { return std::u16string(); })) return injected;
    if (key == CurrentUser || key == LocalMachine) return Success;
    auto* slot = HandleSlot(key);
    if (slot == nullptr) return ErrorInvalidHandle;
    slot->reset();
    --openHandles_;
    return Success;
}

// As the ANSI calls do: a character the code page lacks becomes "?".
std::string MemoryRegistry::AnsiName(std::u16string_view name) const {
    std::string ansi;
    for (char16_t c : name) ansi += codePage_.ToAnsi(std::u16string_view(&c, 1)).value_or("?");
    return ansi;
}

LONG MemoryRegistry::RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize,
                                   DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
    LONG error = Success;
    auto node = Resolve(key, &error);
    if (LONG injected = faults_.Next(RegCall::Enum, [&] { return PathOf(node); })) return injected;
    if (reserved != nullptr || valueName == nullptr || valueNameSize == nullptr) return ErrorInvalidParameter;
    if (data != nullptr && dataSize == nullptr) return ErrorInvalidParameter;
    if (!node) return error;
    if (index >= node->values.size()) return ErrorNoMoreItems;
    const auto& value = std::next(node->values.begin(), static_cast<std::ptrdiff_t>(index))->second;

    const std::string name = AnsiName(value.name);
    const auto size = static_cast<DWORD>(value.bytes.size());
    if (type) *type = value.type;
    if (dataSize) {
        // Data that does not fit is not copied, and neither is the name.
        const bool fits = data == nullptr || *dataSize >= size;
        // Bytes, as above.
        if (data != nullptr && fits && size > 0) std::memcpy(data, value.bytes.data(), size);  // NOLINT(bugprone-not-null-terminated-result)
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

LONG MemoryRegistry::RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD nameSize) {
    LONG error = Success;
    auto node = Resolve(key, &error);
    if (LONG injected = faults_.Next(RegCall::EnumKey, [&] { return PathOf(node); })) return injected;
    if (name == nullptr) return ErrorInvalidParameter;
    if (!node) return error;
    if (index >= node->children.size()) return ErrorNoMoreItems;
    const auto& child = *std::next(node->children.begin(), static_cast<std::ptrdiff_t>(index))->second;
    const std::string ansi = AnsiName(child.name);
    if (ansi.size() >= nameSize) return ErrorMoreData;
    std::memcpy(name, ansi.c_str(), ansi.size() + 1);
    return Success;
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

// The existing key a root and path name; nullptr for a path Windows refuses.
std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Find(HKEY root, std::u16string_view keyPath) {
    LONG error = Success;
    auto node = Resolve(root, &error);
    PathParts parts;
    return node && SplitPath(keyPath, parts) == Success ? Descend(node, parts) : nullptr;
}

std::u16string MemoryRegistry::Snapshot(HKEY root, std::u16string_view keyPath) {
    std::u16string out;
    if (auto node = Find(root, keyPath)) Print(*node, u"", codePage_, out);
    return out;
}

bool MemoryRegistry::KeyExists(HKEY root, std::u16string_view keyPath) { return Find(root, keyPath) != nullptr; }

void MemoryRegistry::RemoveTree(HKEY root, std::u16string_view keyPath) {
    auto node = Find(root, keyPath);
    if (node && node->parent) node->Remove();
}

void MemoryRegistry::PutValue(HKEY root, std::u16string_view keyPath, std::u16string_view name, DWORD type,
                              std::string bytes) {
    LONG error = Success;
    if (auto node = Resolve(root, &error)) DescendCreating(node, SplitPath(keyPath))->Store(name, type, std::move(bytes));
}

}  // namespace plm::test

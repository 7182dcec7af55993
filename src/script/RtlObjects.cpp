#include "script/RtlObjects.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace ScriptRtl {
namespace {

class TOwnedObjects {
public:
    TOwnedObjects() {
        // The table of live objects must outlive this owner: touching it
        // first makes it be destroyed after us.
        (void)TScriptObjectTable::Instance();
    }
    TOwnedObjects(const TOwnedObjects&) = delete;
    TOwnedObjects& operator=(const TOwnedObjects&) = delete;
    ~TOwnedObjects() { Clear(); }

    void Clear() {
        // Freeing one object may free others (a component frees what it
        // owns), so take them out one at a time.
        while (!Objects.empty()) {
            auto it = Objects.begin();
            std::unique_ptr<TScriptObject> object = std::move(it->second);
            Objects.erase(it);
            object.reset();
        }
    }

    std::unordered_map<std::int32_t, std::unique_ptr<TScriptObject>> Objects;
};

TOwnedObjects& Owned() {
    static TOwnedObjects owned;
    return owned;
}

} // namespace

std::int32_t Adopt(std::unique_ptr<TScriptObject> object) {
    const std::int32_t id = object->ScriptId();
    Owned().Objects.emplace(id, std::move(object));
    return id;
}

bool IsAdopted(std::int32_t id) {
    return Owned().Objects.count(id) != 0;
}

bool FreeIfAdopted(std::int32_t id) {
    auto& objects = Owned().Objects;
    auto it = objects.find(id);
    if (it == objects.end()) return false;
    // Out of the map before the destructor runs, which may free more.
    std::unique_ptr<TScriptObject> object = std::move(it->second);
    objects.erase(it);
    object.reset();
    return true;
}

void Free(std::int32_t id) {
    TScriptObject& object = TScriptObjectTable::Instance().Get(id);
    if (!FreeIfAdopted(id))
        throw EScriptError("Cannot free " + object.ScriptClassName() + ": the object belongs to the program");
}

std::size_t AdoptedCount() {
    return Owned().Objects.size();
}

void FreeAll() {
    Owned().Clear();
}

std::string Message(std::string_view pattern, std::string_view text) {
    std::string result(pattern);
    const std::size_t at = result.find('%');
    if (at != std::string::npos && at + 1 < result.size()) result.replace(at, 2, text);
    return result;
}

std::string Message(std::string_view pattern, std::int64_t number) {
    return Message(pattern, std::to_string(number));
}

} // namespace ScriptRtl

#include "script/ScriptObjects.h"

#include "script/ScriptErrors.h"

TScriptObject::TScriptObject() : FScriptId(TScriptObjectTable::Instance().Add(this)) {}

TScriptObject::~TScriptObject() {
    TScriptObjectTable::Instance().Remove(FScriptId);
}

TScriptObjectTable& TScriptObjectTable::Instance() {
    static TScriptObjectTable table;
    return table;
}

std::int32_t TScriptObjectTable::Add(TScriptObject* object) {
    // Ids are never reused, so an id kept by a script after its object died
    // stays invalid. Should the ids ever run out, they wrap past 0.
    std::int32_t id = FNextId;
    while (id == 0 || FObjects.contains(id))
        ++id;
    FNextId = id == 0x7FFFFFFF ? 1 : id + 1;
    FObjects.emplace(id, object);
    return id;
}

void TScriptObjectTable::Remove(std::int32_t id) {
    FObjects.erase(id);
    if (FLastId == id) {
        FLastId = 0;
        FLastObject = nullptr;
    }
}

TScriptObject* TScriptObjectTable::Find(std::int32_t id) const {
    if (id != 0 && id == FLastId) return FLastObject;
    const auto it = FObjects.find(id);
    if (it == FObjects.end()) return nullptr;
    FLastId = id;
    FLastObject = it->second;
    return it->second;
}

TScriptObject& TScriptObjectTable::Get(std::int32_t id) const {
    TScriptObject* object = Find(id);
    if (!object) throw EScriptError("Invalid object reference");
    return *object;
}

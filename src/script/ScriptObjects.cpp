#include "script/ScriptObjects.h"

#include "script/ScriptErrors.h"

TScriptObject::TScriptObject() : FScriptId(TScriptObjectTable::Instance().Add(this)) {}

TScriptObject::~TScriptObject() {
    TScriptObjectTable::Instance().Remove(FScriptId);
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

TScriptObject* TScriptObjectTable::FindInTable(std::int32_t id) const {
    const auto it = FObjects.find(id);
    if (it == FObjects.end()) return nullptr;
    FLastId = id;
    FLastObject = it->second;
    return it->second;
}

void TScriptObjectTable::InvalidReference() {
    throw EScriptError("Invalid object reference");
}

#pragma once
// Objects that scripts may name. A script holds an object as a 32-bit id;
// every use goes through the table of live objects, so a stale or forged id
// raises an error instead of touching freed memory.

#include <cstdint>
#include <string>
#include <typeinfo>
#include <unordered_map>

class TScriptObject {
public:
    TScriptObject();
    TScriptObject(const TScriptObject&) = delete;
    TScriptObject& operator=(const TScriptObject&) = delete;
    virtual ~TScriptObject();

    // The class name scripts see, upper-cased (TSTRINGLIST).
    virtual std::string ScriptClassName() const = 0;
    // The id scripts hold for this object; never 0.
    std::int32_t ScriptId() const noexcept { return FScriptId; }

    // The class this object was last converted to for a member call (see
    // ScriptRtl::CastObject): scripts call member after member of one class.
    const std::type_info* LastCast() const noexcept { return FLastCast; }
    void NoteCast(const std::type_info* type) const noexcept { FLastCast = type; }

private:
    std::int32_t FScriptId;
    mutable const std::type_info* FLastCast = nullptr;
};

// The live objects by id. Ids are handed out once and never reused.
class TScriptObjectTable {
public:
    static TScriptObjectTable& Instance() {
        static TScriptObjectTable table;
        return table;
    }
    // The object behind the id, or nullptr (0 and unknown ids).
    TScriptObject* Find(std::int32_t id) const {
        if (id != 0 && id == FLastId) return FLastObject;
        return FindInTable(id);
    }
    // The object behind the id; raises EScriptError "Invalid object reference"
    // for an id of no live object.
    TScriptObject& Get(std::int32_t id) const {
        TScriptObject* object = Find(id);
        if (!object) InvalidReference();
        return *object;
    }
    template <typename T> T* FindAs(std::int32_t id) const { return dynamic_cast<T*>(Find(id)); }
    std::size_t Count() const { return FObjects.size(); }

private:
    friend class TScriptObject;
    TScriptObject* FindInTable(std::int32_t id) const;
    [[noreturn]] static void InvalidReference();
    std::int32_t Add(TScriptObject* object);
    void Remove(std::int32_t id);

    std::unordered_map<std::int32_t, TScriptObject*> FObjects;
    std::int32_t FNextId = 1;
    // The last object found: scripts call member after member on one object.
    mutable std::int32_t FLastId = 0;
    mutable TScriptObject* FLastObject = nullptr;
};

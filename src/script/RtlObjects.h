#pragma once
// Helpers shared by the run-time library bindings: the owner of objects that
// scripts create (TStringList.Create …), access to the current object of a
// member call, and message formatting for the library's error texts.

#include "script/Runtime.h"
#include "script/ScriptErrors.h"
#include "script/ScriptObjects.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>

namespace ScriptRtl {

// Objects created by scripts stay here until the script frees them; what is
// left over is freed when the process ends.
std::int32_t Adopt(std::unique_ptr<TScriptObject> object);
bool IsAdopted(std::int32_t id);
// Frees an adopted object. A dead id raises "Invalid object reference"; an
// object the program itself owns cannot be freed by a script.
void Free(std::int32_t id);
// Frees the object if it is adopted; returns whether it was.
bool FreeIfAdopted(std::int32_t id);
std::size_t AdoptedCount();
// Frees every adopted object (what scripts created and did not free).
void FreeAll();

// The object as T, or nullptr. Each object remembers the class it was last
// converted to, so the dynamic_cast is only paid when a script switches
// between an object's classes.
template <typename T> T* CastObject(TScriptObject& object) {
    if (object.LastCast() == &typeid(T)) return static_cast<T*>(&object);
    T* typed = dynamic_cast<T*>(&object);
    if (typed != nullptr) object.NoteCast(&typeid(T));
    return typed;
}

// The object as T, or EScriptError naming both classes.
template <typename T> [[gnu::noinline]] T& CastOrFail(TScriptObject& object, std::string_view className) {
    T* typed = CastObject<T>(object);
    if (typed == nullptr)
        throw EScriptError("Object of class " + object.ScriptClassName() + " is not a " +
                           std::string(className));
    return *typed;
}

// The current object of a member call as T; raises EScriptError when the id
// names no live object or an object of another class. Inline up to the
// common case: the same object of the same class as the call before.
template <typename T> T& SelfAs(const TNativeCall& call, std::string_view className) {
    TScriptObject& object = TScriptObjectTable::Instance().Get(call.Self);
    if (object.LastCast() == &typeid(T)) [[likely]]
        return static_cast<T&>(object);
    return CastOrFail<T>(object, className);
}

// An object argument (its id in the value's integer field) as T; nullptr for
// a nil reference, EScriptError for a dead id or an object of another class.
template <typename T> T* ObjectArg(const TScriptValue& value, std::string_view className) {
    const std::int32_t id = value.IntField();
    if (id == 0) return nullptr;
    TScriptObject& object = TScriptObjectTable::Instance().Get(id);
    T* typed = CastObject<T>(object);
    if (typed == nullptr)
        throw EScriptError("Object of class " + object.ScriptClassName() + " is not a " +
                           std::string(className));
    return typed;
}

// Replaces the first %s or %d of the pattern by the text.
std::string Message(std::string_view pattern, std::string_view text);
std::string Message(std::string_view pattern, std::int64_t number);

} // namespace ScriptRtl

#pragma once
// The process-wide registration tables through which natives, properties,
// named constants, dynamic variables, event types and classes are offered to
// scripts. Names are matched case-insensitively (stored upper-cased).
// Native entries and providers keep their position once added, so a compiled
// program refers to them by index.

#include "script/ScriptValue.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using TArgumentArray = std::array<TScriptValue, 101>;

// The arguments of a native call, read and written where they are: the
// interpreter hands over the registers named by the call's carriers (a var
// parameter is the variable's own register, so writing it is the write-back),
// a host calling a native directly hands over an argument array.
class TNativeArgs {
public:
    TNativeArgs(TScriptValue* registers, const std::int32_t* numbers, std::size_t count) noexcept
        : FRegisters(registers), FNumbers(numbers), FCount(count) {}
    // The first count elements of the array (all of them by default).
    TNativeArgs(TArgumentArray& values, std::size_t count = std::tuple_size_v<TArgumentArray>) noexcept
        : FRegisters(values.data()), FNumbers(kInOrder.data()), FCount(count) {}

    TScriptValue& operator[](std::size_t k) const noexcept {
        assert(k < FCount);
        return FRegisters[FNumbers[k]];
    }
    std::size_t size() const noexcept { return FCount; }

private:
    static constexpr std::array<std::int32_t, std::tuple_size_v<TArgumentArray>> kInOrder = [] {
        std::array<std::int32_t, std::tuple_size_v<TArgumentArray>> numbers{};
        for (std::size_t k = 0; k < numbers.size(); ++k)
            numbers[k] = static_cast<std::int32_t>(k);
        return numbers;
    }();
    TScriptValue* FRegisters;
    const std::int32_t* FNumbers;
    std::size_t FCount;
};

// What a native routine gets: the current object (an object id, 0 for none),
// the entry's short name, its arguments (one per parameter; an array
// argument is one array value whose element 0 is the count) and a result
// that starts empty. A routine writes its var parameters only after it has
// read every argument it needs: in a program image built by hand a var
// parameter may share its register with another argument.
struct TNativeCall {
    std::int32_t Self;
    const std::string& ShortName;
    TNativeArgs Args;
    TScriptValue& Result;
};
using TNativeRoutine = std::function<void(TNativeCall&)>;

enum TParamKind : std::uint8_t { pkValue = 0, pkByRef = 1, pkArray = 3, pkAssigned = 4 };
enum TEntryKind : std::uint8_t { ekFunction = 0, ekProcedure = 1 };

struct TFunListItem {
    std::string Name;      // upper-cased full name (TSTRINGS.ADD, TCONTROL.LEFT_SET)
    std::string ShortName; // the part after the first point
    TNativeRoutine Routine;
    std::uint8_t Kind = ekFunction;
    std::vector<std::uint8_t> ParamKinds; // one per parameter
    bool Method = false;
    bool Setter = false;
    int ParamCount() const { return static_cast<int>(ParamKinds.size()); }
};

// Dynamic variable provider: name → id (−1: not mine), get, set.
struct TDynaVarItem {
    std::string Name; // upper-cased
    bool Scoped = false;
    const void* Owner = nullptr; // the THalComp a scoped provider belongs to
    std::function<std::int32_t(const std::string& name)> NameToId;
    std::function<TScriptValue(std::int32_t id)> Get;
    std::function<void(std::int32_t id, const TScriptValue& value)> Set;
};

class TScriptRuntime {
public:
    // The one runtime of the process, with the engine's own tables and the
    // run-time library registered on first use.
    static TScriptRuntime& Instance();

    // --- natives (TFunList) ---
    // Adding a name that exists keeps the first entry. `kinds` has one byte
    // per parameter; a first byte of 2 means no parameters.
    void RegisterProc(std::string_view name, TNativeRoutine routine, std::vector<std::uint8_t> kinds = {});
    void RegisterFunc(std::string_view name, TNativeRoutine routine, std::vector<std::uint8_t> kinds = {});
    // Getter under the name (no parameters); setter under NAME_SET with one
    // value parameter (the new value arrives as argument 0).
    void RegisterProp(std::string_view name, TNativeRoutine getter, TNativeRoutine setter = {});
    // Getter with n value parameters; setter under NAME_VET with the n
    // indexes and a final assigned value.
    void RegisterIndexedProp(std::string_view name, int n, TNativeRoutine getter, TNativeRoutine setter = {});
    // Entry index by upper- or mixed-case full name.
    std::optional<std::size_t> FindNative(std::string_view name) const;
    const TFunListItem& Native(std::size_t index) const { return FNatives[index]; }
    std::size_t NativeCount() const { return FNatives.size(); }

    // --- named constants (TResConstList) ---
    void RegisterConst(std::string_view name, TScriptValue value);
    std::optional<std::size_t> FindConst(std::string_view name) const;
    const TScriptValue& Const(std::size_t index) const { return FConsts[index].second; }

    // --- dynamic variables (TDynaVars) ---
    // The built-in unscoped provider __InternalVar is always position 0.
    std::size_t RegisterDynaVars(TDynaVarItem provider);
    void UnregisterDynaVars(std::string_view name);
    // The provider (searched from the most recent) that claims the name for
    // a script run by `owner`: its position and the id.
    std::optional<std::pair<std::size_t, std::int32_t>> FindDynaVar(std::string_view name,
                                                                    const void* owner) const;
    TDynaVarItem* Provider(std::size_t position);
    std::size_t ProviderCount() const { return FProviders.size(); }
    // The process-wide Result variable of __InternalVar.
    TScriptValue& InternalResult() { return FInternalResult; }

    // --- classes (name → parent, the root's parent empty) ---
    void RegisterClass(std::string_view name, std::string_view parent);
    // The parent's upper-cased name; nullopt for unknown classes, "" for a root.
    std::optional<std::string> ParentClass(std::string_view name) const;
    bool IsClass(std::string_view name) const { return ParentClass(name).has_value(); }

    // --- output of Print and PrintError (none assigned by default) ---
    std::function<void(const std::string&)> PrintSink;
    std::function<void(const std::string&)> ErrorSink;
    bool ErrorFlag = false;

    // Upper-cases ASCII and the Latin-1 letters 224…254 (not 247) of a
    // Windows-1252 name.
    static std::string UpperName(std::string_view name);

private:
    TScriptRuntime();
    void AddNative(TFunListItem item);
    void AddRoutine(std::string_view name, TNativeRoutine routine, std::vector<std::uint8_t> kinds,
                    std::uint8_t kind);

    std::vector<TFunListItem> FNatives;
    std::map<std::string, std::size_t, std::less<>> FNativeIndex;
    std::vector<std::pair<std::string, TScriptValue>> FConsts;
    std::map<std::string, std::size_t, std::less<>> FConstIndex;
    std::vector<std::unique_ptr<TDynaVarItem>> FProviders; // null entries for removed providers
    std::vector<std::pair<std::string, TScriptValue>> FInternalVars;
    TScriptValue FInternalResult;
    std::map<std::string, std::string, std::less<>> FClasses;
};

// Runs a macro file in a component of its own and returns its Result
// ("File %S not found" shown when there is no such file).
TScriptValue RunMacroFile(const std::string& fileName);

// Registers the engine's own natives (RunMacro, RunForm, Print, PrintError).
void RegisterEngineTable(TScriptRuntime& runtime);
// Registers the run-time library tables (classes, system, system utilities).
// Called once by TScriptRuntime's construction.
void RegisterClassesTable(TScriptRuntime& runtime);
void RegisterSystemTable(TScriptRuntime& runtime);
void RegisterSysUtilsTable(TScriptRuntime& runtime);

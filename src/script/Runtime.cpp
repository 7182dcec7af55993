#include "script/Runtime.h"

#include "script/ScriptErrors.h"

namespace {

std::vector<std::uint8_t> NormalisedKinds(std::vector<std::uint8_t> kinds) {
    // A first byte of 2 stands for "no parameters".
    if (!kinds.empty() && kinds.front() == 2) kinds.clear();
    return kinds;
}

std::string ShortNameOf(const std::string& name) {
    const std::size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

} // namespace

std::string TScriptRuntime::UpperName(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 224 && b <= 254 && b != 247)) c = static_cast<char>(b - 32);
    }
    return upper;
}

TScriptRuntime& TScriptRuntime::Instance() {
    static TScriptRuntime runtime;
    return runtime;
}

TScriptRuntime::TScriptRuntime() {
    // __InternalVar: Result is id 0 (the process-wide result), the names it
    // holds follow from 1; any other name is not its.
    TDynaVarItem internal;
    internal.Name = "__INTERNALVAR";
    internal.NameToId = [this](const std::string& name) -> std::int32_t {
        if (name == "RESULT") return 0;
        for (std::size_t k = 0; k < FInternalVars.size(); ++k)
            if (FInternalVars[k].first == name) return static_cast<std::int32_t>(k + 1);
        return -1;
    };
    internal.Get = [this](std::int32_t id) -> TScriptValue {
        if (id == 0) return FInternalResult;
        if (id > 0 && static_cast<std::size_t>(id) <= FInternalVars.size())
            return FInternalVars[static_cast<std::size_t>(id - 1)].second;
        return TScriptValue::FromInt(0);
    };
    internal.Set = [this](std::int32_t id, const TScriptValue& value) {
        if (id == 0)
            FInternalResult = value;
        else if (id > 0 && static_cast<std::size_t>(id) <= FInternalVars.size())
            FInternalVars[static_cast<std::size_t>(id - 1)].second = value;
    };
    RegisterDynaVars(std::move(internal));

    // Named constants of the event arguments.
    const std::pair<const char*, int> constants[] = {
        {"qrMasterDataAdvance", 0},
        {"qrBandPrinted", 1},
        {"qrBandSizeChange", 2},
        {"mbLeft", 0},
        {"mbRight", 1},
        {"mbMiddle", 2},
        {"ssShift", 0},
        {"ssAlt", 1},
        {"ssCtrl", 2},
        {"ssLeft", 3},
        {"ssRight", 4},
        {"ssMiddle", 5},
        {"ssDouble", 6},
    };
    for (const auto& [name, value] : constants)
        RegisterConst(name, TScriptValue::FromInt(value));

    RegisterEngineTable(*this);
    RegisterClassesTable(*this);
    RegisterSystemTable(*this);
    RegisterSysUtilsTable(*this);
}

void TScriptRuntime::AddNative(TFunListItem item) {
    if (FNativeIndex.contains(item.Name)) return; // the first registration stays
    FNativeIndex.emplace(item.Name, FNatives.size());
    FNatives.push_back(std::move(item));
}

void TScriptRuntime::AddRoutine(std::string_view name, TNativeRoutine routine,
                                std::vector<std::uint8_t> kinds, std::uint8_t kind) {
    TFunListItem item;
    item.Name = UpperName(name);
    item.ShortName = ShortNameOf(item.Name);
    item.Routine = std::move(routine);
    item.Kind = kind;
    item.ParamKinds = NormalisedKinds(std::move(kinds));
    AddNative(std::move(item));
}

void TScriptRuntime::RegisterProc(std::string_view name, TNativeRoutine routine,
                                  std::vector<std::uint8_t> kinds) {
    AddRoutine(name, std::move(routine), std::move(kinds), ekProcedure);
}

void TScriptRuntime::RegisterFunc(std::string_view name, TNativeRoutine routine,
                                  std::vector<std::uint8_t> kinds) {
    AddRoutine(name, std::move(routine), std::move(kinds), ekFunction);
}

void TScriptRuntime::RegisterProp(std::string_view name, TNativeRoutine getter, TNativeRoutine setter) {
    TFunListItem get;
    get.Name = UpperName(name);
    get.ShortName = ShortNameOf(get.Name);
    get.Routine = std::move(getter);
    get.Method = true;
    AddNative(std::move(get));
    if (!setter) return;
    TFunListItem set;
    set.Name = UpperName(name) + "_SET";
    set.ShortName = ShortNameOf(set.Name);
    set.Routine = std::move(setter);
    set.Kind = ekProcedure;
    set.ParamKinds = {pkValue};
    set.Method = true;
    set.Setter = true;
    AddNative(std::move(set));
}

void TScriptRuntime::RegisterIndexedProp(std::string_view name, int n, TNativeRoutine getter,
                                         TNativeRoutine setter) {
    TFunListItem get;
    get.Name = UpperName(name);
    get.ShortName = ShortNameOf(get.Name);
    get.Routine = std::move(getter);
    get.ParamKinds.assign(static_cast<std::size_t>(n), pkValue);
    get.Method = true;
    AddNative(std::move(get));
    if (!setter) return;
    TFunListItem set;
    set.Name = UpperName(name) + "_VET";
    set.ShortName = ShortNameOf(set.Name);
    set.Routine = std::move(setter);
    set.Kind = ekProcedure;
    set.ParamKinds.assign(static_cast<std::size_t>(n), pkValue);
    set.ParamKinds.push_back(pkAssigned);
    set.Method = true;
    set.Setter = true;
    AddNative(std::move(set));
}

std::optional<std::size_t> TScriptRuntime::FindNative(std::string_view name) const {
    const auto it = FNativeIndex.find(UpperName(name));
    if (it == FNativeIndex.end()) return std::nullopt;
    return it->second;
}

void TScriptRuntime::RegisterConst(std::string_view name, TScriptValue value) {
    std::string upper = UpperName(name);
    if (FConstIndex.contains(upper)) return;
    FConstIndex.emplace(upper, FConsts.size());
    FConsts.emplace_back(std::move(upper), std::move(value));
}

std::optional<std::size_t> TScriptRuntime::FindConst(std::string_view name) const {
    const auto it = FConstIndex.find(UpperName(name));
    if (it == FConstIndex.end()) return std::nullopt;
    return it->second;
}

std::size_t TScriptRuntime::RegisterDynaVars(TDynaVarItem provider) {
    provider.Name = UpperName(provider.Name);
    FProviders.push_back(std::make_unique<TDynaVarItem>(std::move(provider)));
    return FProviders.size() - 1;
}

void TScriptRuntime::UnregisterDynaVars(std::string_view name) {
    const std::string upper = UpperName(name);
    // Positions stay: compiled programs refer to providers by position.
    for (std::size_t k = FProviders.size(); k-- > 1;)
        if (FProviders[k] && FProviders[k]->Name == upper) {
            FProviders[k].reset();
            return;
        }
}

std::optional<std::pair<std::size_t, std::int32_t>> TScriptRuntime::FindDynaVar(std::string_view name,
                                                                                const void* owner) const {
    const std::string upper = UpperName(name);
    for (std::size_t k = FProviders.size(); k-- > 0;) {
        const TDynaVarItem* provider = FProviders[k].get();
        if (!provider || !provider->NameToId) continue;
        if (provider->Scoped && provider->Owner != owner) continue;
        const std::int32_t id = provider->NameToId(upper);
        if (id != -1) return std::make_pair(k, id);
    }
    return std::nullopt;
}

TDynaVarItem* TScriptRuntime::Provider(std::size_t position) {
    return position < FProviders.size() ? FProviders[position].get() : nullptr;
}

void TScriptRuntime::RegisterClass(std::string_view name, std::string_view parent) {
    FClasses.emplace(UpperName(name), UpperName(parent));
}

std::optional<std::string> TScriptRuntime::ParentClass(std::string_view name) const {
    const auto it = FClasses.find(UpperName(name));
    if (it == FClasses.end()) return std::nullopt;
    return it->second;
}

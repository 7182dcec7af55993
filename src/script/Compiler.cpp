// The compiler's entry points and the helpers every part of it uses:
// labels, constants, registers and name lookup.

#include "script/Compiler.h"

#include "script/CompilerImpl.h"
#include "script/ScriptErrors.h"

THalCompiler::TImpl::TImpl(std::string_view source, const void* host, const THostObjects* objects)
    : Lexer(source), Host(host), Objects(objects), Runtime(TScriptRuntime::Instance()) {}

std::int32_t THalCompiler::TImpl::NewLabel() {
    Labels.emplace_back();
    return static_cast<std::int32_t>(Labels.size() - 1);
}

void THalCompiler::TImpl::DefineLabel(std::int32_t label) {
    TLabelItem& item = Labels[static_cast<std::size_t>(label)];
    item.Defined = true;
    item.Address = static_cast<std::int32_t>(Code.size());
}

std::int32_t THalCompiler::TImpl::AddConstant(TScriptValue value) {
    Constants.push_back(std::move(value));
    return static_cast<std::int32_t>(Constants.size() - 1);
}

std::int32_t THalCompiler::TImpl::LoadConstant(TScriptValue value) {
    const std::int32_t k = AddConstant(std::move(value));
    const std::int32_t t = NewTemp();
    Emit(opLDC, t, k);
    return t;
}

std::int32_t THalCompiler::TImpl::NewTemp() {
    const std::int32_t r = TempNext;
    if (r < NextRegister) Fail("Too many variables");
    --TempNext;
    if (r < TempFloor) TempFloor = r;
    return r;
}

std::int32_t THalCompiler::TImpl::DeclareRegister(const std::string& key, const std::string& typeName) {
    const std::int32_t r = NextRegister;
    if (r >= TempFloor || r >= kRegisterCount) Fail("Too many variables");
    ++NextRegister;
    TIdentListItem item;
    item.Number = r;
    item.TypeName = typeName;
    Identifiers[key] = std::move(item);
    return r;
}

const TIdentEntry* THalCompiler::TImpl::Resolve(std::string_view name) const {
    std::string scope = Prefix;
    for (;;) {
        const auto it = Identifiers.find(scope + std::string(name));
        if (it != Identifiers.end()) return &*it;
        if (scope.empty()) return nullptr;
        // Drop the innermost component ("A.B." → "A.").
        const std::size_t cut = scope.rfind('.', scope.size() - 2);
        scope.resize(cut == std::string::npos ? 0 : cut + 1);
    }
}

const TIdentEntry* THalCompiler::TImpl::ResolveData(std::string_view name) const {
    const TIdentEntry* entry = Resolve(name);
    return entry && entry->second.Routine == 0 ? entry : nullptr;
}

const TIdentEntry* THalCompiler::TImpl::ResolveRoutine(std::string_view name) const {
    const TIdentEntry* entry = Resolve(name);
    return entry && entry->second.Routine != 0 ? entry : nullptr;
}

const THostObject* THalCompiler::TImpl::HostObject(std::string_view name) const {
    if (!Objects) return nullptr;
    const auto it = Objects->find(name);
    return it == Objects->end() ? nullptr : &it->second;
}

std::optional<std::size_t> THalCompiler::TImpl::FindNativeInClasses(std::string name) const {
    // CLASS.MEMBER climbs to the parent classes; the guard stops a cyclic registry.
    for (int guard = 0; guard < 256; ++guard) {
        if (const auto index = Runtime.FindNative(name)) return index;
        const std::size_t dot = name.find('.');
        if (dot == std::string::npos) return std::nullopt;
        const auto parent = Runtime.ParentClass(name.substr(0, dot));
        if (!parent || parent->empty()) return std::nullopt;
        name = TScriptRuntime::UpperName(*parent) + name.substr(dot);
    }
    return std::nullopt;
}

TMemberName THalCompiler::TImpl::ReadName(const TToken& first) {
    TMemberName result;
    result.Name = first.Text;
    if (!PeekIs('.')) return result;
    result.Dotted = true;
    if (const THostObject* object = HostObject(first.Text)) {
        result.Binding = TMemberName::bnConst;
        result.Bound = object->Object;
        result.Name = TScriptRuntime::UpperName(object->ClassName);
    } else if (const TIdentEntry* variable = ResolveData(first.Text);
               variable && !variable->second.TypeName.empty() && Runtime.IsClass(variable->second.TypeName)) {
        result.Binding = TMemberName::bnRegister;
        result.Bound = variable->second.Number;
        result.Name = TScriptRuntime::UpperName(variable->second.TypeName);
    }
    while (PeekIs('.')) {
        Next();
        const TToken part = Next();
        if (part.Kind != tkIdentifier) Fail("Identifier expected");
        result.Name += "." + part.Text;
    }
    return result;
}

THalCompiler::THalCompiler(std::string_view source, const void* host, const THostObjects* objects)
    : FImpl(new TImpl(source, host, objects)) {}

THalCompiler::~THalCompiler() {
    delete FImpl;
}

TProgramImage THalCompiler::Compile() {
    if (FImpl->Used) {
        // A second compilation starts from scratch.
        TImpl* fresh = new TImpl(FImpl->Lexer.Source(), FImpl->Host, FImpl->Objects);
        delete FImpl;
        FImpl = fresh;
    }
    FImpl->Used = true;
    TImpl& c = *FImpl;
    c.ProgramUnit();
    c.CheckLinks();
    TProgramImage image;
    image.Constants = c.Constants;
    image.Labels.reserve(c.Labels.size());
    for (const TLabelItem& label : c.Labels)
        image.Labels.push_back(label.Address);
    image.Code = c.Code;
    return image;
}

const TIdentList& THalCompiler::Identifiers() const {
    return FImpl->Identifiers;
}

const std::string& THalCompiler::ParentClassName() const {
    return FImpl->ParentClassName;
}

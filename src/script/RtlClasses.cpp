// The "classes" table: TPersistent, TStrings, TStringList and TComponent as
// scripts see them, and the duplicate-handling constants.

#include "script/RtlObjects.h"
#include "script/RtlStrings.h"
#include "script/Runtime.h"

#include <memory>

using ScriptRtl::ObjectArg;
using ScriptRtl::SelfAs;

namespace {

TScriptStrings& Strings(const TNativeCall& call) {
    return SelfAs<TScriptStrings>(call, "TSTRINGS");
}

TScriptStringList& StringList(const TNativeCall& call) {
    return SelfAs<TScriptStringList>(call, "TSTRINGLIST");
}

TScriptComponent& Component(const TNativeCall& call) {
    return SelfAs<TScriptComponent>(call, "TCOMPONENT");
}

// A TStrings argument that must not be nil.
TScriptStrings& StringsArg(const TScriptValue& value) {
    TScriptStrings* strings = ObjectArg<TScriptStrings>(value, "TSTRINGS");
    if (strings == nullptr) throw EScriptError("Invalid object reference");
    return *strings;
}

TScriptComponent& ComponentArg(const TScriptValue& value) {
    TScriptComponent* component = ObjectArg<TScriptComponent>(value, "TCOMPONENT");
    if (component == nullptr) throw EScriptError("Invalid object reference");
    return *component;
}

TScriptValue ObjectValue(const TScriptObject* object) {
    return TScriptValue::FromObject(object != nullptr ? object->ScriptId() : 0);
}

void RegisterStrings(TScriptRuntime& rt) {
    const std::vector<std::uint8_t> one{pkValue};
    const std::vector<std::uint8_t> two{pkValue, pkValue};

    rt.RegisterIndexedProp(
        "TSTRINGS.STRINGS", 1,
        [](TNativeCall& c) { c.Result = Strings(c).GetValue(c.Args[0].AsInt()); },
        [](TNativeCall& c) { Strings(c).PutValue(c.Args[0].AsInt(), c.Args[1]); });
    rt.RegisterIndexedProp("TSTRINGS.NAMES", 1, [](TNativeCall& c) {
        c.Result = TScriptValue::FromString(Strings(c).Name(c.Args[0].AsInt()));
    });
    rt.RegisterIndexedProp(
        "TSTRINGS.OBJECTS", 1,
        [](TNativeCall& c) { c.Result = TScriptValue::FromObject(Strings(c).GetObject(c.Args[0].AsInt())); },
        [](TNativeCall& c) { Strings(c).PutObject(c.Args[0].AsInt(), c.Args[1].IntField()); });
    rt.RegisterIndexedProp(
        "TSTRINGS.VALUES", 1,
        [](TNativeCall& c) { c.Result = TScriptValue::FromString(Strings(c).Value(c.Args[0].AsString())); },
        [](TNativeCall& c) { Strings(c).SetValue(c.Args[0].AsString(), c.Args[1].AsString()); });

    rt.RegisterFunc(
        "TSTRINGS.ADD",
        [](TNativeCall& c) { c.Result = TScriptValue::FromInt(Strings(c).AddValue(c.Args[0])); }, one);
    rt.RegisterFunc(
        "TSTRINGS.ADDOBJECT",
        [](TNativeCall& c) {
            c.Result =
                TScriptValue::FromInt(Strings(c).AddObject(c.Args[0].AsString(), c.Args[1].IntField()));
        },
        two);
    rt.RegisterProc(
        "TSTRINGS.APPEND", [](TNativeCall& c) { Strings(c).AddValue(c.Args[0]); }, one);
    rt.RegisterProc(
        "TSTRINGS.ADDSTRINGS",
        [](TNativeCall& c) {
            TScriptStrings& self = Strings(c);
            self.AddStrings(StringsArg(c.Args[0]));
        },
        one);
    rt.RegisterProc("TSTRINGS.BEGINUPDATE", [](TNativeCall& c) { Strings(c).BeginUpdate(); });
    rt.RegisterProc("TSTRINGS.CLEAR", [](TNativeCall& c) { Strings(c).Clear(); });
    rt.RegisterProc(
        "TSTRINGS.DELETE", [](TNativeCall& c) { Strings(c).Delete(c.Args[0].AsInt()); }, one);
    rt.RegisterProc("TSTRINGS.ENDUPDATE", [](TNativeCall& c) { Strings(c).EndUpdate(); });
    rt.RegisterFunc(
        "TSTRINGS.EQUALS",
        [](TNativeCall& c) {
            TScriptStrings& self = Strings(c);
            c.Result = TScriptValue::FromBool(self.Equals(StringsArg(c.Args[0])));
        },
        one);
    rt.RegisterProc(
        "TSTRINGS.EXCHANGE",
        [](TNativeCall& c) { Strings(c).Exchange(c.Args[0].AsInt(), c.Args[1].AsInt()); }, two);
    rt.RegisterFunc(
        "TSTRINGS.INDEXOF",
        [](TNativeCall& c) { c.Result = TScriptValue::FromInt(Strings(c).IndexOf(c.Args[0].AsString())); },
        one);
    rt.RegisterFunc(
        "TSTRINGS.INDEXOFNAME",
        [](TNativeCall& c) {
            c.Result = TScriptValue::FromInt(Strings(c).IndexOfName(c.Args[0].AsString()));
        },
        one);
    rt.RegisterFunc(
        "TSTRINGS.INDEXOFOBJECT",
        [](TNativeCall& c) {
            c.Result = TScriptValue::FromInt(Strings(c).IndexOfObject(c.Args[0].IntField()));
        },
        one);
    rt.RegisterProc(
        "TSTRINGS.INSERT", [](TNativeCall& c) { Strings(c).Insert(c.Args[0].AsInt(), c.Args[1].AsString()); },
        two);
    rt.RegisterProc(
        "TSTRINGS.LOADFROMFILE", [](TNativeCall& c) { Strings(c).LoadFromFile(c.Args[0].AsString()); }, one);
    rt.RegisterProc(
        "TSTRINGS.MOVE", [](TNativeCall& c) { Strings(c).Move(c.Args[0].AsInt(), c.Args[1].AsInt()); }, two);
    rt.RegisterProc(
        "TSTRINGS.SAVETOFILE", [](TNativeCall& c) { Strings(c).SaveToFile(c.Args[0].AsString()); }, one);
    rt.RegisterProp(
        "TSTRINGS.COMMATEXT",
        [](TNativeCall& c) { c.Result = TScriptValue::FromString(Strings(c).CommaText()); },
        [](TNativeCall& c) { Strings(c).SetCommaText(c.Args[0].AsString()); });
    rt.RegisterProp("TSTRINGS.COUNT",
                    [](TNativeCall& c) { c.Result = TScriptValue::FromInt(Strings(c).Count()); });
    rt.RegisterProp(
        "TSTRINGS.TEXT", [](TNativeCall& c) { c.Result = TScriptValue::FromString(Strings(c).Text()); },
        [](TNativeCall& c) { Strings(c).SetText(c.Args[0].AsString()); });
}

void RegisterStringList(TScriptRuntime& rt) {
    // TStringList.Create: the new list belongs to the script until it is freed.
    rt.RegisterFunc("TSTRINGLIST.CREATE", [](TNativeCall& c) {
        c.Result = TScriptValue::FromObject(ScriptRtl::Adopt(std::make_unique<TScriptStringList>()));
    });
    rt.RegisterFunc("TSTRINGLIST.FIND",
                    [](TNativeCall& c) {
                        std::int32_t index = 0;
                        const bool found = StringList(c).Find(c.Args[0].AsString(), index);
                        c.Args[1] = TScriptValue::FromInt(index);
                        c.Result = TScriptValue::FromBool(found);
                    },
                    {pkValue, pkByRef});
    rt.RegisterProc("TSTRINGLIST.SORT", [](TNativeCall& c) { StringList(c).Sort(); });
    rt.RegisterProp(
        "TSTRINGLIST.DUPLICATES",
        [](TNativeCall& c) { c.Result = TScriptValue::FromInt(StringList(c).Duplicates()); },
        [](TNativeCall& c) {
            const std::int32_t value = c.Args[0].AsInt();
            if (value < dupIgnore || value > dupError) throw EScriptError("Invalid value for Duplicates");
            StringList(c).SetDuplicates(value);
        });
    rt.RegisterProp(
        "TSTRINGLIST.SORTED",
        [](TNativeCall& c) { c.Result = TScriptValue::FromBool(StringList(c).Sorted()); },
        [](TNativeCall& c) { StringList(c).SetSorted(c.Args[0].AsBool()); });
}

void RegisterComponent(TScriptRuntime& rt) {
    const std::vector<std::uint8_t> one{pkValue};

    rt.RegisterFunc(
        "TCOMPONENT.FINDCOMPONENT",
        [](TNativeCall& c) { c.Result = ObjectValue(Component(c).FindComponent(c.Args[0].AsString())); },
        one);
    rt.RegisterFunc("TCOMPONENT.GETPARENTCOMPONENT",
                    [](TNativeCall& c) { c.Result = ObjectValue(Component(c).GetParentComponent()); });
    rt.RegisterFunc("TCOMPONENT.HASPARENT",
                    [](TNativeCall& c) { c.Result = TScriptValue::FromBool(Component(c).HasParent()); });
    rt.RegisterProc(
        "TCOMPONENT.INSERTCOMPONENT",
        [](TNativeCall& c) {
            TScriptComponent& self = Component(c);
            self.InsertComponent(ComponentArg(c.Args[0]));
        },
        one);
    rt.RegisterProc(
        "TCOMPONENT.REMOVECOMPONENT",
        [](TNativeCall& c) {
            TScriptComponent& self = Component(c);
            self.RemoveComponent(ComponentArg(c.Args[0]));
        },
        one);
    rt.RegisterProp("TCOMPONENT.COMPONENTCOUNT",
                    [](TNativeCall& c) { c.Result = TScriptValue::FromInt(Component(c).ComponentCount()); });
    rt.RegisterProp(
        "TCOMPONENT.COMPONENTINDEX",
        [](TNativeCall& c) { c.Result = TScriptValue::FromInt(Component(c).ComponentIndex()); },
        [](TNativeCall& c) { Component(c).SetComponentIndex(c.Args[0].AsInt()); });
    rt.RegisterProp("TCOMPONENT.OWNER", [](TNativeCall& c) { c.Result = ObjectValue(Component(c).Owner()); });
    rt.RegisterProp(
        "TCOMPONENT.NAME", [](TNativeCall& c) { c.Result = TScriptValue::FromString(Component(c).Name()); },
        [](TNativeCall& c) { Component(c).SetName(c.Args[0].AsString()); });
    rt.RegisterProp(
        "TCOMPONENT.TAG", [](TNativeCall& c) { c.Result = TScriptValue::FromInt(Component(c).Tag()); },
        [](TNativeCall& c) { Component(c).SetTag(c.Args[0].AsInt()); });
    rt.RegisterIndexedProp("TCOMPONENT.COMPONENTS", 1, [](TNativeCall& c) {
        c.Result = ObjectValue(&Component(c).Component(c.Args[0].AsInt()));
    });
}

} // namespace

void RegisterClassesTable(TScriptRuntime& runtime) {
    runtime.RegisterProc("TPERSISTENT.ASSIGN",
                         [](TNativeCall& c) {
                             auto& self = SelfAs<TScriptPersistent>(c, "TPERSISTENT");
                             TScriptObject* source = ObjectArg<TScriptObject>(c.Args[0], "TOBJECT");
                             if (source == nullptr)
                                 throw EScriptError("Cannot assign nil to a " + self.ScriptClassName());
                             self.Assign(*source);
                         },
                         {pkValue});
    RegisterStrings(runtime);
    RegisterStringList(runtime);
    RegisterComponent(runtime);

    runtime.RegisterConst("dupIgnore", TScriptValue::FromInt(dupIgnore));
    runtime.RegisterConst("dupAccept", TScriptValue::FromInt(dupAccept));
    runtime.RegisterConst("dupError", TScriptValue::FromInt(dupError));

    // TObject is the root of every class; its members live in the system table.
    if (!runtime.IsClass("TOBJECT")) runtime.RegisterClass("TOBJECT", "");
    runtime.RegisterClass("TPERSISTENT", "TOBJECT");
    runtime.RegisterClass("TSTRINGS", "TPERSISTENT");
    runtime.RegisterClass("TSTRINGLIST", "TSTRINGS");
    runtime.RegisterClass("TCOMPONENT", "TPERSISTENT");
}

#include "RtlTestCall.h"

#include "script/RtlObjects.h"
#include "script/RtlStrings.h"
#include "script/ScriptErrors.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace {

// A new TStringList as a script gets it.
std::int32_t NewList() {
    const TScriptValue list = CallNative("TSTRINGLIST.CREATE", {}).Result;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_NE(list.IntField(), 0);
    return list.IntField();
}

std::vector<std::string> Items(std::int32_t list) {
    std::vector<std::string> items;
    const std::int32_t count = CallNative("TSTRINGS.COUNT", {}, list).Result.AsInt();
    for (std::int32_t i = 0; i < count; ++i)
        items.push_back(CallNative("TSTRINGS.STRINGS", {Int(i)}, list).Result.AsString());
    return items;
}

void Free(std::int32_t object) {
    CallNative("TOBJECT.FREE", {}, object);
}

} // namespace

TEST(RtlStrings, AddReturnsIndexAndStringsReadAndWrite) {
    const std::int32_t list = NewList();
    EXPECT_EQ(CallNative("TSTRINGS.ADD", {Str("one")}, list).Result.AsInt(), 0);
    EXPECT_EQ(CallNative("TSTRINGS.ADD", {Str("two")}, list).Result.AsInt(), 1);
    CallNative("TSTRINGS.APPEND", {Str("three")}, list);
    CallNative("TSTRINGS.INSERT", {Int(0), Str("zero")}, list);
    CallNative("TSTRINGS.STRINGS_VET", {Int(2), Str("TWO")}, list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"zero", "one", "TWO", "three"}));
    CallNative("TSTRINGS.DELETE", {Int(1)}, list);
    CallNative("TSTRINGS.EXCHANGE", {Int(0), Int(2)}, list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"three", "TWO", "zero"}));
    CallNative("TSTRINGS.MOVE", {Int(0), Int(2)}, list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"TWO", "zero", "three"}));
    EXPECT_EQ(CallNative("TSTRINGS.INDEXOF", {Str("two")}, list).Result.AsInt(), 0); // case-insensitive
    EXPECT_EQ(CallNative("TSTRINGS.INDEXOF", {Str("four")}, list).Result.AsInt(), -1);
    CallNative("TSTRINGS.CLEAR", {}, list);
    EXPECT_EQ(CallNative("TSTRINGS.COUNT", {}, list).Result.AsInt(), 0);
    Free(list);
}

TEST(RtlStrings, IndexErrors) {
    const std::int32_t list = NewList();
    CallNative("TSTRINGS.ADD", {Str("a")}, list);
    const struct {
        const char* Name;
        std::vector<TScriptValue> Args;
        const char* Error;
    } cases[] = {
        {"TSTRINGS.STRINGS", {Int(1)}, "List index out of bounds (1)"},
        {"TSTRINGS.STRINGS", {Int(-1)}, "List index out of bounds (-1)"},
        {"TSTRINGS.STRINGS_VET", {Int(5), Str("x")}, "List index out of bounds (5)"},
        {"TSTRINGS.DELETE", {Int(1)}, "List index out of bounds (1)"},
        {"TSTRINGS.INSERT", {Int(2), Str("x")}, "List index out of bounds (2)"},
        {"TSTRINGS.EXCHANGE", {Int(0), Int(3)}, "List index out of bounds (3)"},
        {"TSTRINGS.OBJECTS", {Int(7)}, "List index out of bounds (7)"},
        {"TSTRINGS.NAMES", {Int(1)}, "List index out of bounds (1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string error = ErrorOf([&] {
            TScriptRuntime& rt = TScriptRuntime::Instance();
            const TFunListItem& item = rt.Native(*rt.FindNative(c.Name));
            TArgumentArray args{};
            for (std::size_t i = 0; i < c.Args.size(); ++i)
                args[i] = c.Args[i];
            TScriptValue result;
            TNativeCall call{list, item.ShortName, args, result};
            item.Routine(call);
        });
        EXPECT_EQ(error, c.Error);
    }
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a"}));
    Free(list);
}

TEST(RtlStrings, SortedListsAndDuplicates) {
    const struct {
        std::int32_t Duplicates;
        std::vector<std::string> Adds;
        std::vector<std::string> Expected;
        std::vector<std::int32_t> Indexes;
        const char* Error;
    } cases[] = {
        {dupIgnore, {"b", "a", "c", "B"}, {"a", "b", "c"}, {0, 0, 2, 1}, ""},
        {dupAccept, {"b", "a", "b"}, {"a", "b", "b"}, {0, 0, 1}, ""},
        {dupError, {"b", "a", "B"}, {"a", "b"}, {0, 0}, "String list does not allow duplicates"},
        {dupIgnore,
         {"\xE4pfel", "Zebra", "Apfel", "apfel"},
         {"Apfel", "\xE4pfel", "Zebra"},
         {0, 1, 0, 0},
         ""},
    };
    for (const auto& c : cases) {
        const std::int32_t list = NewList();
        CallNative("TSTRINGLIST.SORTED_SET", {TScriptValue::FromBool(true)}, list);
        CallNative("TSTRINGLIST.DUPLICATES_SET", {Int(c.Duplicates)}, list);
        std::vector<std::int32_t> indexes;
        const std::string error = ErrorOf([&] {
            for (const std::string& s : c.Adds)
                indexes.push_back(CallNative("TSTRINGS.ADD", {Str(s)}, list).Result.AsInt());
        });
        EXPECT_EQ(error, c.Error);
        EXPECT_EQ(indexes, c.Indexes);
        EXPECT_EQ(Items(list), c.Expected);
        Free(list);
    }
}

TEST(RtlStrings, SortFindAndSortedRestrictions) {
    const std::int32_t list = NewList();
    CallNative("TSTRINGS.TEXT_SET", {Str("pear\r\napple\r\nfig")}, list);
    CallNative("TSTRINGLIST.SORT", {}, list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"apple", "fig", "pear"}));
    CallNative("TSTRINGLIST.SORTED_SET", {TScriptValue::FromBool(true)}, list);
    EXPECT_TRUE(CallNative("TSTRINGLIST.SORTED", {}, list).Result.AsBool());

    const struct {
        const char* Text;
        bool Found;
        std::int32_t Index;
    } finds[] = {{"FIG", true, 1}, {"banana", false, 1}, {"a", false, 0}, {"zucchini", false, 3}};
    for (const auto& f : finds) {
        SCOPED_TRACE(f.Text);
        const TRtlCall call = CallNative("TSTRINGLIST.FIND", {Str(f.Text), Int(-5)}, list);
        EXPECT_EQ(call.Result.AsBool(), f.Found);
        EXPECT_EQ(call.Args[1].AsInt(), f.Index);
    }
    EXPECT_EQ(CallNative("TSTRINGS.INDEXOF", {Str("PEAR")}, list).Result.AsInt(), 2);
    // A duplicate ignored by AddObject keeps the object it had.
    EXPECT_EQ(
        CallNative("TSTRINGS.ADDOBJECT", {Str("Fig"), TScriptValue::FromObject(list)}, list).Result.AsInt(),
        1);
    EXPECT_EQ(CallNative("TSTRINGS.OBJECTS", {Int(1)}, list).Result.IntField(), 0);
    EXPECT_EQ(
        CallNative("TSTRINGS.ADDOBJECT", {Str("kiwi"), TScriptValue::FromObject(list)}, list).Result.AsInt(),
        2);
    EXPECT_EQ(CallNative("TSTRINGS.OBJECTS", {Int(2)}, list).Result.IntField(), list);
    CallNative("TSTRINGS.DELETE", {Int(2)}, list);
    for (const char* name : {"TSTRINGS.INSERT", "TSTRINGS.STRINGS_VET", "TSTRINGS.MOVE"}) {
        SCOPED_TRACE(name);
        const std::string error = ErrorOf([&] {
            if (std::string(name) == "TSTRINGS.MOVE")
                CallNative(name, {Int(0), Int(1)}, list);
            else
                CallNative(name, {Int(0), Str("x")}, list);
        });
        EXPECT_EQ(error, "Operation not allowed on sorted list");
    }
    EXPECT_EQ(Items(list), (std::vector<std::string>{"apple", "fig", "pear"}));
    Free(list);
}

TEST(RtlStrings, TextRoundTrips) {
    const struct {
        const char* Text;
        std::vector<std::string> Lines;
        const char* Back;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
        {"a\nb\rc\r\n\r\nd", {"a", "b", "c", "", "d"}, "a\r\nb\r\nc\r\n\r\nd\r\n"},
        {"", {}, ""},
        {"\r\n", {""}, "\r\n"},
    };
    const std::int32_t list = NewList();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        CallNative("TSTRINGS.TEXT_SET", {Str(c.Text)}, list);
        EXPECT_EQ(Items(list), c.Lines);
        EXPECT_EQ(CallNative("TSTRINGS.TEXT", {}, list).Result.AsString(), c.Back);
    }
    Free(list);
}

TEST(RtlStrings, CommaText) {
    const struct {
        const char* Input;
        std::vector<std::string> Items;
        const char* Output;
    } cases[] = {
        {"a,b,c", {"a", "b", "c"}, "a,b,c"},
        {"\"a b\",c", {"a b", "c"}, "\"a b\",c"},
        {"a b,c", {"a", "b", "c"}, "a,b,c"},
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}, "\"say \"\"hi\"\"\",x"},
        {"a,,b", {"a", "", "b"}, "a,\"\",b"},
        {"a,", {"a", ""}, "a,\"\""},
        {"  a , b ", {"a", "b"}, "a,b"},
        {"", {}, ""},
    };
    const std::int32_t list = NewList();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Input);
        CallNative("TSTRINGS.COMMATEXT_SET", {Str(c.Input)}, list);
        EXPECT_EQ(Items(list), c.Items);
        EXPECT_EQ(CallNative("TSTRINGS.COMMATEXT", {}, list).Result.AsString(), c.Output);
    }
    Free(list);
}

TEST(RtlStrings, NamesAndValues) {
    const std::int32_t list = NewList();
    CallNative("TSTRINGS.TEXT_SET", {Str("Width=10\r\nplain\r\nHeight=20=x")}, list);
    EXPECT_EQ(CallNative("TSTRINGS.NAMES", {Int(0)}, list).Result.AsString(), "Width");
    EXPECT_EQ(CallNative("TSTRINGS.NAMES", {Int(1)}, list).Result.AsString(), "");
    EXPECT_EQ(CallNative("TSTRINGS.VALUES", {Str("height")}, list).Result.AsString(), "20=x");
    EXPECT_EQ(CallNative("TSTRINGS.VALUES", {Str("depth")}, list).Result.AsString(), "");
    EXPECT_EQ(CallNative("TSTRINGS.INDEXOFNAME", {Str("HEIGHT")}, list).Result.AsInt(), 2);
    CallNative("TSTRINGS.VALUES_VET", {Str("width"), Str("15")}, list);
    CallNative("TSTRINGS.VALUES_VET", {Str("Depth"), Str("5")}, list);
    CallNative("TSTRINGS.VALUES_VET", {Str("Height"), Str("")}, list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"width=15", "plain", "Depth=5"}));
    Free(list);
}

TEST(RtlStrings, ObjectsAddStringsEqualsAssign) {
    const std::int32_t a = NewList();
    const std::int32_t b = NewList();
    EXPECT_EQ(CallNative("TSTRINGS.ADDOBJECT", {Str("x"), TScriptValue::FromObject(b)}, a).Result.AsInt(), 0);
    CallNative("TSTRINGS.ADD", {Str("y")}, a);
    EXPECT_EQ(CallNative("TSTRINGS.OBJECTS", {Int(0)}, a).Result.IntField(), b);
    EXPECT_EQ(CallNative("TSTRINGS.INDEXOFOBJECT", {TScriptValue::FromObject(b)}, a).Result.AsInt(), 0);
    CallNative("TSTRINGS.OBJECTS_VET", {Int(1), TScriptValue::FromObject(a)}, a);
    EXPECT_EQ(CallNative("TSTRINGS.INDEXOFOBJECT", {TScriptValue::FromObject(a)}, a).Result.AsInt(), 1);

    EXPECT_FALSE(CallNative("TSTRINGS.EQUALS", {TScriptValue::FromObject(b)}, a).Result.AsBool());
    CallNative("TSTRINGS.ADDSTRINGS", {TScriptValue::FromObject(a)}, b);
    EXPECT_TRUE(CallNative("TSTRINGS.EQUALS", {TScriptValue::FromObject(b)}, a).Result.AsBool());
    EXPECT_EQ(CallNative("TSTRINGS.OBJECTS", {Int(0)}, b).Result.IntField(), b);
    CallNative("TSTRINGS.STRINGS_VET", {Int(1), Str("Y")}, b);
    EXPECT_FALSE(
        CallNative("TSTRINGS.EQUALS", {TScriptValue::FromObject(b)}, a).Result.AsBool()); // case counts

    CallNative("TSTRINGS.TEXT_SET", {Str("only")}, b);
    CallNative("TPERSISTENT.ASSIGN", {TScriptValue::FromObject(b)}, a);
    EXPECT_EQ(Items(a), (std::vector<std::string>{"only"}));

    TScriptComponent component;
    EXPECT_EQ(ErrorOf([&] {
                  CallNative("TPERSISTENT.ASSIGN", {TScriptValue::FromObject(component.ScriptId())}, a);
              }),
              "Cannot assign a TCOMPONENT to a TSTRINGLIST");
    Free(a);
    Free(b);
}

TEST(RtlStrings, CreateAndFreeGoThroughTheObjectTable) {
    const std::size_t before = ScriptRtl::AdoptedCount();
    const std::int32_t list = NewList();
    EXPECT_EQ(ScriptRtl::AdoptedCount(), before + 1);
    EXPECT_EQ(CallNative("TOBJECT.CLASSNAME", {}, list).Result.AsString(), "TSTRINGLIST");
    EXPECT_TRUE(CallNative("TOBJECT.CLASSNAMEIS", {Str("TStringList")}, list).Result.AsBool());
    Free(list);
    EXPECT_EQ(ScriptRtl::AdoptedCount(), before);
    EXPECT_EQ(ErrorOf([&] { Free(list); }), "Invalid object reference");
    EXPECT_EQ(ErrorOf([&] { CallNative("TSTRINGS.ADD", {Str("x")}, list); }), "Invalid object reference");
    EXPECT_EQ(ErrorOf([&] { CallNative("TSTRINGS.COUNT", {}, 0); }), "Invalid object reference");
    EXPECT_EQ(ErrorOf([&] { Free(0); }), ""); // Free of nil does nothing

    // Whatever scripts leave behind is freed in one go.
    const std::int32_t left = NewList();
    ScriptRtl::FreeAll();
    EXPECT_EQ(ScriptRtl::AdoptedCount(), 0u);
    EXPECT_EQ(TScriptObjectTable::Instance().Find(left), nullptr);

    TScriptComponent component; // owned by the program, not by scripts
    EXPECT_NE(ErrorOf([&] { CallNative("TSTRINGS.ADD", {Str("x")}, component.ScriptId()); }), "");
    EXPECT_NE(ErrorOf([&] { Free(component.ScriptId()); }), "");
    EXPECT_NE(TScriptObjectTable::Instance().Find(component.ScriptId()), nullptr);
}

TEST(RtlStrings, LoadAndSaveFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("lines.txt").toStdString();
    const std::int32_t list = NewList();
    CallNative("TSTRINGS.TEXT_SET", {Str("first\r\nM\xE4rz")}, list);
    CallNative("TSTRINGS.SAVETOFILE", {Str(path)}, list);
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("first\r\nM\xE4rz\r\n"));
    file.close();

    const std::int32_t other = NewList();
    CallNative("TSTRINGS.LOADFROMFILE", {Str(path)}, other);
    EXPECT_EQ(Items(other), (std::vector<std::string>{"first", "M\xE4rz"}));

    const std::string missing = dir.filePath("missing.txt").toStdString();
    const std::string error = ErrorOf([&] { CallNative("TSTRINGS.LOADFROMFILE", {Str(missing)}, other); });
    EXPECT_EQ(error.rfind("Cannot open file \"" + missing + "\"", 0), 0u) << error;
    EXPECT_EQ(Items(other), (std::vector<std::string>{"first", "M\xE4rz"}));
    const std::string badDir = dir.filePath("no/such/dir/x.txt").toStdString();
    EXPECT_EQ(ErrorOf([&] {
                  CallNative("TSTRINGS.SAVETOFILE", {Str(badDir)}, list);
              }).rfind("Cannot create file", 0),
              0u);
    Free(list);
    Free(other);
}

TEST(RtlStrings, Components) {
    TScriptComponent owner;
    const std::int32_t self = owner.ScriptId();
    auto child = std::make_unique<TScriptComponent>();
    TScriptComponent* childPtr = child.get();
    const std::int32_t childId = ScriptRtl::Adopt(std::move(child));
    TScriptComponent other;

    CallNative("TCOMPONENT.NAME_SET", {Str("Button1")}, childId);
    CallNative("TCOMPONENT.TAG_SET", {Int(7)}, childId);
    EXPECT_EQ(CallNative("TCOMPONENT.TAG", {}, childId).Result.AsInt(), 7);
    CallNative("TCOMPONENT.INSERTCOMPONENT", {TScriptValue::FromObject(childId)}, self);
    CallNative("TCOMPONENT.INSERTCOMPONENT", {TScriptValue::FromObject(other.ScriptId())}, self);
    EXPECT_EQ(CallNative("TCOMPONENT.COMPONENTCOUNT", {}, self).Result.AsInt(), 2);
    EXPECT_EQ(CallNative("TCOMPONENT.OWNER", {}, childId).Result.IntField(), self);
    EXPECT_EQ(CallNative("TCOMPONENT.FINDCOMPONENT", {Str("BUTTON1")}, self).Result.IntField(), childId);
    EXPECT_EQ(CallNative("TCOMPONENT.FINDCOMPONENT", {Str("Nothing")}, self).Result.IntField(), 0);
    EXPECT_EQ(CallNative("TCOMPONENT.COMPONENTS", {Int(1)}, self).Result.IntField(), other.ScriptId());
    EXPECT_EQ(CallNative("TCOMPONENT.COMPONENTINDEX", {}, other.ScriptId()).Result.AsInt(), 1);
    CallNative("TCOMPONENT.COMPONENTINDEX_SET", {Int(0)}, other.ScriptId());
    EXPECT_EQ(CallNative("TCOMPONENT.COMPONENTS", {Int(0)}, self).Result.IntField(), other.ScriptId());
    EXPECT_FALSE(CallNative("TCOMPONENT.HASPARENT", {}, self).Result.AsBool());
    EXPECT_EQ(CallNative("TCOMPONENT.GETPARENTCOMPONENT", {}, self).Result.IntField(), 0);

    EXPECT_EQ(ErrorOf([&] { CallNative("TCOMPONENT.NAME_SET", {Str("button1")}, other.ScriptId()); }),
              "A component named button1 already exists");
    EXPECT_EQ(ErrorOf([&] { CallNative("TCOMPONENT.NAME_SET", {Str("1st")}, other.ScriptId()); }),
              "'1st' is not a valid component name");
    EXPECT_EQ(ErrorOf([&] { CallNative("TCOMPONENT.COMPONENTS", {Int(2)}, self); }),
              "List index out of bounds (2)");

    CallNative("TCOMPONENT.REMOVECOMPONENT", {TScriptValue::FromObject(other.ScriptId())}, self);
    EXPECT_EQ(other.Owner(), nullptr);
    EXPECT_EQ(childPtr->Owner(), &owner);
    // Freeing a component releases it from its owner.
    Free(childId);
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(RtlStrings, FreeingAnOwnerFreesWhatItOwns) {
    const std::int32_t ownerId = ScriptRtl::Adopt(std::make_unique<TScriptComponent>());
    const std::int32_t childId = ScriptRtl::Adopt(std::make_unique<TScriptComponent>());
    TScriptComponent hostChild;
    CallNative("TCOMPONENT.INSERTCOMPONENT", {TScriptValue::FromObject(childId)}, ownerId);
    CallNative("TCOMPONENT.INSERTCOMPONENT", {TScriptValue::FromObject(hostChild.ScriptId())}, ownerId);
    Free(ownerId);
    EXPECT_EQ(TScriptObjectTable::Instance().Find(childId), nullptr);
    EXPECT_EQ(hostChild.Owner(), nullptr);
}

TEST(RtlStrings, ClassesAndConstants) {
    TScriptRuntime& rt = TScriptRuntime::Instance();
    EXPECT_EQ(rt.ParentClass("TStringList"), "TSTRINGS");
    EXPECT_EQ(rt.ParentClass("TSTRINGS"), "TPERSISTENT");
    EXPECT_EQ(rt.ParentClass("TCOMPONENT"), "TPERSISTENT");
    EXPECT_EQ(rt.ParentClass("TPERSISTENT"), "TOBJECT");
    EXPECT_EQ(rt.ParentClass("TOBJECT"), "");
    for (const auto& [name, value] : {std::pair{"dupIgnore", 0}, {"dupAccept", 1}, {"dupError", 2}}) {
        const auto index = rt.FindConst(name);
        ASSERT_TRUE(index) << name;
        EXPECT_EQ(rt.Const(*index).AsInt(), value);
    }
    // Read-only properties have no setter.
    for (const char* name : {"TSTRINGS.COUNT_SET", "TSTRINGS.NAMES_VET", "TCOMPONENT.OWNER_SET",
                             "TCOMPONENT.COMPONENTS_VET", "TCOMPONENT.COMPONENTCOUNT_SET"})
        EXPECT_FALSE(rt.FindNative(name)) << name;
    for (const char* name : {"TSTRINGS.TEXT_SET", "TSTRINGS.OBJECTS_VET", "TSTRINGLIST.SORTED_SET"})
        EXPECT_TRUE(rt.FindNative(name)) << name;
}

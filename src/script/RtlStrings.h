#pragma once
// The non-visual classes scripts can use: TPersistent, TStrings, TStringList
// and TComponent. TStrings implements everything on top of a few primitive
// operations, so a control's line list can derive from it; TComponent keeps
// the owner/owned relation that the user-interface classes build on.

#include "script/ScriptObjects.h"
#include "script/ScriptValue.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TScriptPersistent : public TScriptObject {
public:
    std::string ScriptClassName() const override { return "TPERSISTENT"; }
    // Copies the source's contents; false when the classes do not fit.
    virtual bool AssignFrom(TScriptObject& source);
    // Assign: AssignFrom or "Cannot assign a %s to a %s".
    void Assign(TScriptObject& source);
};

enum TDuplicates : std::int32_t { dupIgnore = 0, dupAccept = 1, dupError = 2 };

class TScriptStrings : public TScriptPersistent {
public:
    std::string ScriptClassName() const override { return "TSTRINGS"; }

    // --- the primitives a concrete list provides ---
    virtual std::int32_t Count() const = 0;
    virtual std::string Get(std::int32_t index) const = 0;
    virtual std::int32_t GetObject(std::int32_t index) const = 0;
    virtual void Put(std::int32_t index, const std::string& s) = 0;
    virtual void PutObject(std::int32_t index, std::int32_t object) = 0;
    virtual void InsertObject(std::int32_t index, const std::string& s, std::int32_t object) = 0;
    virtual void Delete(std::int32_t index) = 0;
    virtual void Clear() = 0;
    // Called with true on the first BeginUpdate and false on the last EndUpdate.
    virtual void SetUpdateState(bool /*updating*/) {}

    // The same primitives with script values, for the member calls: a list
    // that keeps its lines as values shares their text instead of copying
    // it. A value of another kind is stored as its text.
    virtual TScriptValue GetValue(std::int32_t index) const { return TScriptValue::FromString(Get(index)); }
    virtual void PutValue(std::int32_t index, const TScriptValue& s) { Put(index, s.AsString()); }
    virtual std::int32_t AddValue(const TScriptValue& s) { return Add(s.AsString()); }

    // --- operations built on them ---
    virtual std::int32_t Add(const std::string& s);
    virtual std::int32_t AddObject(const std::string& s, std::int32_t object);
    void Insert(std::int32_t index, const std::string& s) { InsertObject(index, s, 0); }
    void AddStrings(const TScriptStrings& source);
    void BeginUpdate();
    void EndUpdate();
    bool Equals(const TScriptStrings& other) const;
    virtual void Exchange(std::int32_t a, std::int32_t b);
    virtual void Move(std::int32_t from, std::int32_t to);
    virtual std::int32_t IndexOf(std::string_view s) const;
    std::int32_t IndexOfName(std::string_view name) const;
    std::int32_t IndexOfObject(std::int32_t object) const;
    std::string Name(std::int32_t index) const;
    std::string Value(std::string_view name) const;
    void SetValue(std::string_view name, const std::string& value);
    // Every line followed by CR LF; setting splits at CR LF, CR or LF.
    std::string Text() const;
    void SetText(std::string_view text);
    std::string CommaText() const;
    void SetCommaText(std::string_view text);
    // File name in Windows-1252; the bytes are the lines' text.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    bool AssignFrom(TScriptObject& source) override;

protected:
    // "List index out of bounds (%d)" unless 0 <= index < limit.
    static void CheckIndex(std::int32_t index, std::int32_t limit) {
        if (index < 0 || index >= limit) IndexError(index);
    }
    [[noreturn]] static void IndexError(std::int32_t index);

private:
    std::int32_t FUpdateCount = 0;
};

class TScriptStringList : public TScriptStrings {
public:
    std::string ScriptClassName() const override { return "TSTRINGLIST"; }

    std::int32_t Count() const override { return static_cast<std::int32_t>(FItems.size()); }
    std::string Get(std::int32_t index) const override;
    std::int32_t GetObject(std::int32_t index) const override;
    void Put(std::int32_t index, const std::string& s) override;
    void PutObject(std::int32_t index, std::int32_t object) override;
    void InsertObject(std::int32_t index, const std::string& s, std::int32_t object) override;
    void Delete(std::int32_t index) override;
    void Clear() override { FItems.clear(); }

    // A sorted list puts the text in its place; a duplicate is ignored (the
    // existing index is returned, its object kept), accepted or refused as
    // Duplicates says.
    TScriptValue GetValue(std::int32_t index) const override;
    void PutValue(std::int32_t index, const TScriptValue& s) override;
    std::int32_t AddValue(const TScriptValue& s) override;

    std::int32_t Add(const std::string& s) override { return AddObject(s, 0); }
    std::int32_t AddObject(const std::string& s, std::int32_t object) override;
    void Exchange(std::int32_t a, std::int32_t b) override;
    void Move(std::int32_t from, std::int32_t to) override;
    std::int32_t IndexOf(std::string_view s) const override;
    // Binary search of a sorted list: true and the index of the match, or
    // false and the index where the text would go.
    bool Find(std::string_view s, std::int32_t& index) const;
    void Sort();
    bool Sorted() const { return FSorted; }
    void SetSorted(bool sorted);
    std::int32_t Duplicates() const { return FDuplicates; }
    void SetDuplicates(std::int32_t duplicates) { FDuplicates = duplicates; }

private:
    // Lines are string values: reading a line into a script and storing
    // one from it share the text.
    struct TItem {
        TScriptValue Text;
        std::int32_t Object = 0;
        const std::string& Str() const noexcept { return Text.StringRef(); }
    };
    static TScriptValue AsStringValue(const TScriptValue& s) {
        return s.IsString() ? s : TScriptValue::FromString(s.AsString());
    }
    std::int32_t AddItem(TItem&& item);
    std::vector<TItem> FItems;
    bool FSorted = false;
    std::int32_t FDuplicates = dupIgnore;
};

class TScriptComponent : public TScriptPersistent {
public:
    TScriptComponent() = default;
    ~TScriptComponent() override;
    std::string ScriptClassName() const override { return "TCOMPONENT"; }

    const std::string& Name() const { return FName; }
    // Raises "'%s' is not a valid component name" or "A component named %s
    // already exists".
    void SetName(const std::string& name);
    std::int32_t Tag() const { return FTag; }
    void SetTag(std::int32_t tag) { FTag = tag; }
    TScriptComponent* Owner() const { return FOwner; }
    std::int32_t ComponentCount() const { return static_cast<std::int32_t>(FComponents.size()); }
    TScriptComponent& Component(std::int32_t index) const;
    // Position in the owner's list, −1 without owner.
    std::int32_t ComponentIndex() const;
    void SetComponentIndex(std::int32_t index);
    TScriptComponent* FindComponent(std::string_view name) const;
    void InsertComponent(TScriptComponent& component);
    void RemoveComponent(TScriptComponent& component);
    virtual TScriptComponent* GetParentComponent() const { return nullptr; }
    virtual bool HasParent() const { return false; }

private:
    std::string FName;
    std::int32_t FTag = 0;
    TScriptComponent* FOwner = nullptr;
    std::vector<TScriptComponent*> FComponents;
};

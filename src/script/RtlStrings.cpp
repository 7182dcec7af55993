#include "script/RtlStrings.h"

#include "platform/Cp1252.h"
#include "script/RtlObjects.h"
#include "script/RtlText.h"
#include "script/ScriptErrors.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <utility>

using ScriptRtl::Message;

namespace {

const char* const ListIndexError = "List index out of bounds (%d)";
const char* const SortedListError = "Operation not allowed on sorted list";
const char* const DuplicateString = "String list does not allow duplicates";

bool NeedsQuotes(std::string_view s) {
    if (s.empty()) return true;
    for (char c : s)
        if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') return true;
    return false;
}

std::string Quoted(std::string_view s) {
    std::string result = "\"";
    for (char c : s) {
        result += c;
        if (c == '"') result += '"';
    }
    result += '"';
    return result;
}

bool IsIdentifier(std::string_view s) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (s.empty() || !letter(s[0])) return false;
    return std::all_of(s.begin(), s.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

} // namespace

// --- TScriptPersistent ---

bool TScriptPersistent::AssignFrom(TScriptObject& /*source*/) {
    return false;
}

void TScriptPersistent::Assign(TScriptObject& source) {
    if (!AssignFrom(source))
        throw EScriptError("Cannot assign a " + source.ScriptClassName() + " to a " + ScriptClassName());
}

// --- TScriptStrings ---

void TScriptStrings::IndexError(std::int32_t index) {
    throw EScriptError(Message(ListIndexError, index));
}

std::int32_t TScriptStrings::Add(const std::string& s) {
    const std::int32_t index = Count();
    InsertObject(index, s, 0);
    return index;
}

std::int32_t TScriptStrings::AddObject(const std::string& s, std::int32_t object) {
    const std::int32_t index = Add(s);
    PutObject(index, object);
    return index;
}

void TScriptStrings::AddStrings(const TScriptStrings& source) {
    // Copy first: the source may be this list.
    std::vector<std::pair<std::string, std::int32_t>> items;
    for (std::int32_t i = 0; i < source.Count(); ++i)
        items.emplace_back(source.Get(i), source.GetObject(i));
    BeginUpdate();
    try {
        for (const auto& [text, object] : items)
            AddObject(text, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TScriptStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TScriptStrings::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) SetUpdateState(false);
}

bool TScriptStrings::Equals(const TScriptStrings& other) const {
    if (Count() != other.Count()) return false;
    for (std::int32_t i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

void TScriptStrings::Exchange(std::int32_t a, std::int32_t b) {
    CheckIndex(a, Count());
    CheckIndex(b, Count());
    const std::string textA = Get(a);
    const std::int32_t objectA = GetObject(a);
    Put(a, Get(b));
    PutObject(a, GetObject(b));
    Put(b, textA);
    PutObject(b, objectA);
}

void TScriptStrings::Move(std::int32_t from, std::int32_t to) {
    CheckIndex(from, Count());
    CheckIndex(to, Count());
    if (from == to) return;
    const std::string text = Get(from);
    const std::int32_t object = GetObject(from);
    Delete(from);
    InsertObject(to, text, object);
}

std::int32_t TScriptStrings::IndexOf(std::string_view s) const {
    for (std::int32_t i = 0; i < Count(); ++i)
        if (ScriptRtl::AnsiCompareText(Get(i), s) == 0) return i;
    return -1;
}

std::int32_t TScriptStrings::IndexOfName(std::string_view name) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        const std::string line = Get(i);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos &&
            ScriptRtl::AnsiCompareText(std::string_view(line).substr(0, eq), name) == 0)
            return i;
    }
    return -1;
}

std::int32_t TScriptStrings::IndexOfObject(std::int32_t object) const {
    for (std::int32_t i = 0; i < Count(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

std::string TScriptStrings::Name(std::int32_t index) const {
    const std::string line = Get(index);
    const std::size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TScriptStrings::Value(std::string_view name) const {
    const std::int32_t index = IndexOfName(name);
    if (index < 0) return {};
    const std::string line = Get(index);
    return line.substr(line.find('=') + 1);
}

void TScriptStrings::SetValue(std::string_view name, const std::string& value) {
    const std::int32_t index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    const std::string line = std::string(name) + "=" + value;
    if (index >= 0)
        Put(index, line);
    else
        Add(line);
}

std::string TScriptStrings::Text() const {
    std::string result;
    for (std::int32_t i = 0; i < Count(); ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

void TScriptStrings::SetText(std::string_view text) {
    BeginUpdate();
    try {
        Clear();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = start;
            while (end < text.size() && text[end] != '\r' && text[end] != '\n')
                ++end;
            Add(std::string(text.substr(start, end - start)));
            if (end < text.size() && text[end] == '\r') ++end;
            if (end < text.size() && text[end] == '\n') ++end;
            start = end;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TScriptStrings::CommaText() const {
    std::string result;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (i > 0) result += ',';
        const std::string item = Get(i);
        result += NeedsQuotes(item) ? Quoted(item) : item;
    }
    return result;
}

void TScriptStrings::SetCommaText(std::string_view text) {
    const auto blank = [&](std::size_t i) {
        return i < text.size() && static_cast<unsigned char>(text[i]) <= ' ';
    };
    BeginUpdate();
    try {
        Clear();
        std::size_t i = 0;
        while (blank(i))
            ++i;
        while (i < text.size()) {
            std::string item;
            if (text[i] == '"') {
                ++i;
                while (i < text.size()) {
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            item += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    item += text[i++];
                }
            } else {
                while (i < text.size() && static_cast<unsigned char>(text[i]) > ' ' && text[i] != ',')
                    item += text[i++];
            }
            Add(item);
            while (blank(i))
                ++i;
            if (i < text.size() && text[i] == ',') {
                ++i;
                if (i >= text.size()) Add(std::string()); // a trailing comma ends with an empty item
                while (blank(i))
                    ++i;
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TScriptStrings::LoadFromFile(const std::string& fileName) {
    QFile file(Cp1252::Decode(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw EScriptError("Cannot open file \"" + fileName + "\": " + Cp1252::Encode(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EScriptError("Cannot read file \"" + fileName + "\": " + Cp1252::Encode(file.errorString()));
    SetText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void TScriptStrings::SaveToFile(const std::string& fileName) const {
    QSaveFile file(Cp1252::Decode(fileName));
    if (!file.open(QIODevice::WriteOnly))
        throw EScriptError("Cannot create file \"" + fileName + "\": " + Cp1252::Encode(file.errorString()));
    const std::string text = Text();
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !file.commit())
        throw EScriptError("Cannot write file \"" + fileName + "\": " + Cp1252::Encode(file.errorString()));
}

bool TScriptStrings::AssignFrom(TScriptObject& source) {
    auto* strings = dynamic_cast<TScriptStrings*>(&source);
    if (strings == nullptr) return false;
    if (strings == this) return true;
    BeginUpdate();
    try {
        Clear();
        AddStrings(*strings);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return true;
}

// --- TScriptStringList ---

std::string TScriptStringList::Get(std::int32_t index) const {
    CheckIndex(index, Count());
    return FItems[static_cast<std::size_t>(index)].Str();
}

TScriptValue TScriptStringList::GetValue(std::int32_t index) const {
    CheckIndex(index, Count());
    return FItems[static_cast<std::size_t>(index)].Text;
}

std::int32_t TScriptStringList::GetObject(std::int32_t index) const {
    CheckIndex(index, Count());
    return FItems[static_cast<std::size_t>(index)].Object;
}

void TScriptStringList::Put(std::int32_t index, const std::string& s) {
    PutValue(index, TScriptValue::FromString(s));
}

void TScriptStringList::PutValue(std::int32_t index, const TScriptValue& s) {
    if (FSorted) throw EScriptError(SortedListError);
    CheckIndex(index, Count());
    TScriptValue& text = FItems[static_cast<std::size_t>(index)].Text;
    if (s.IsString())
        text = s;
    else
        text = TScriptValue::FromString(s.AsString());
}

void TScriptStringList::PutObject(std::int32_t index, std::int32_t object) {
    CheckIndex(index, Count());
    FItems[static_cast<std::size_t>(index)].Object = object;
}

void TScriptStringList::InsertObject(std::int32_t index, const std::string& s, std::int32_t object) {
    if (FSorted) throw EScriptError(SortedListError);
    CheckIndex(index, Count() + 1);
    FItems.insert(FItems.begin() + index, TItem{TScriptValue::FromString(s), object});
}

void TScriptStringList::Delete(std::int32_t index) {
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
}

std::int32_t TScriptStringList::AddObject(const std::string& s, std::int32_t object) {
    return AddItem(TItem{TScriptValue::FromString(s), object});
}

std::int32_t TScriptStringList::AddValue(const TScriptValue& s) {
    // A string added to an unsorted list is built in its place: this is the
    // call of every filling loop, and the way through AddItem moves it twice.
    if (!FSorted && s.IsString()) {
        FItems.push_back(TItem{s, 0});
        return Count() - 1;
    }
    return AddItem(TItem{AsStringValue(s), 0});
}

std::int32_t TScriptStringList::AddItem(TItem&& item) {
    if (!FSorted) {
        FItems.push_back(std::move(item));
        return Count() - 1;
    }
    std::int32_t index = 0;
    if (Find(item.Str(), index)) {
        if (FDuplicates == dupIgnore) return index;
        if (FDuplicates == dupError) throw EScriptError(DuplicateString);
    }
    FItems.insert(FItems.begin() + index, std::move(item));
    return index;
}

void TScriptStringList::Exchange(std::int32_t a, std::int32_t b) {
    CheckIndex(a, Count());
    CheckIndex(b, Count());
    std::swap(FItems[static_cast<std::size_t>(a)], FItems[static_cast<std::size_t>(b)]);
}

void TScriptStringList::Move(std::int32_t from, std::int32_t to) {
    if (FSorted) throw EScriptError(SortedListError);
    TScriptStrings::Move(from, to);
}

std::int32_t TScriptStringList::IndexOf(std::string_view s) const {
    if (!FSorted) return TScriptStrings::IndexOf(s);
    std::int32_t index = 0;
    return Find(s, index) ? index : -1;
}

bool TScriptStringList::Find(std::string_view s, std::int32_t& index) const {
    // The first item not ordered before s.
    std::int32_t low = 0;
    std::int32_t high = Count();
    while (low < high) {
        const std::int32_t mid = low + (high - low) / 2;
        if (ScriptRtl::AnsiCompareText(FItems[static_cast<std::size_t>(mid)].Str(), s) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    index = low;
    return low < Count() && ScriptRtl::AnsiCompareText(FItems[static_cast<std::size_t>(low)].Str(), s) == 0;
}

void TScriptStringList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(), [](const TItem& a, const TItem& b) {
        return ScriptRtl::AnsiCompareText(a.Str(), b.Str()) < 0;
    });
}

void TScriptStringList::SetSorted(bool sorted) {
    if (sorted && !FSorted) Sort();
    FSorted = sorted;
}

// --- TScriptComponent ---

TScriptComponent::~TScriptComponent() {
    // Owned components go with their owner; those the program created itself
    // are only released.
    while (!FComponents.empty()) {
        TScriptComponent* child = FComponents.back();
        FComponents.pop_back();
        child->FOwner = nullptr;
        ScriptRtl::FreeIfAdopted(child->ScriptId());
    }
    if (FOwner != nullptr) FOwner->RemoveComponent(*this);
}

void TScriptComponent::SetName(const std::string& name) {
    if (name == FName) return;
    if (!name.empty() && !IsIdentifier(name))
        throw EScriptError(Message("'%s' is not a valid component name", name));
    if (FOwner != nullptr && !name.empty()) {
        TScriptComponent* other = FOwner->FindComponent(name);
        if (other != nullptr && other != this)
            throw EScriptError(Message("A component named %s already exists", name));
    }
    FName = name;
}

TScriptComponent& TScriptComponent::Component(std::int32_t index) const {
    if (index < 0 || index >= ComponentCount()) throw EScriptError(Message(ListIndexError, index));
    return *FComponents[static_cast<std::size_t>(index)];
}

std::int32_t TScriptComponent::ComponentIndex() const {
    if (FOwner == nullptr) return -1;
    const auto& list = FOwner->FComponents;
    return static_cast<std::int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TScriptComponent::SetComponentIndex(std::int32_t index) {
    if (FOwner == nullptr) return;
    auto& list = FOwner->FComponents;
    const std::int32_t count = static_cast<std::int32_t>(list.size());
    index = std::clamp(index, std::int32_t{0}, count - 1);
    const std::int32_t current = ComponentIndex();
    if (current == index) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + index, this);
}

TScriptComponent* TScriptComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TScriptComponent* child : FComponents)
        if (ScriptRtl::SameText(child->FName, name)) return child;
    return nullptr;
}

void TScriptComponent::InsertComponent(TScriptComponent& component) {
    if (component.FOwner == this) return;
    for (const TScriptComponent* up = this; up != nullptr; up = up->FOwner)
        if (up == &component) throw EScriptError("A component cannot own itself or its owner");
    if (!component.FName.empty() && FindComponent(component.FName) != nullptr)
        throw EScriptError(Message("A component named %s already exists", component.FName));
    if (component.FOwner != nullptr) component.FOwner->RemoveComponent(component);
    FComponents.push_back(&component);
    component.FOwner = this;
}

void TScriptComponent::RemoveComponent(TScriptComponent& component) {
    if (component.FOwner != this) return;
    FComponents.erase(std::find(FComponents.begin(), FComponents.end(), &component));
    component.FOwner = nullptr;
}

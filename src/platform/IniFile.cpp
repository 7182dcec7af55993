#include "platform/IniFile.h"

#include "platform/Cp1252.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace {

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Largest INI file read; the sidecars and lists are far smaller.
constexpr qint64 kMaxIniSize = 64 * 1024 * 1024;

} // namespace

TIniFile TIniFile::Parse(const std::string& bytes) {
    TIniFile ini;
    TSection* current = nullptr;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const QString text = Cp1252::Decode(line).trimmed();
        if (text.isEmpty() || text.startsWith(u';')) continue;
        if (text.startsWith(u'[')) {
            const qsizetype close = text.indexOf(u']');
            if (close < 0) continue;
            const QString name = text.mid(1, close - 1).trimmed();
            current = ini.Find(name);
            if (!current) current = ini.Append(name);
            continue;
        }
        if (!current) continue;
        const qsizetype eq = text.indexOf(u'=');
        if (eq <= 0) continue;
        current->Entries.push_back({text.left(eq).trimmed(), text.mid(eq + 1).trimmed()});
    }
    return ini;
}

TIniFile TIniFile::Load(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxIniSize) return {};
    const QByteArray data = file.readAll();
    return Parse(std::string(data.constData(), static_cast<std::size_t>(data.size())));
}

std::string TIniFile::Serialize() const {
    std::string out;
    bool first = true;
    for (const TSection& section : FSections) {
        if (!first) out += "\r\n";
        first = false;
        out += '[';
        Cp1252::AppendEncoded(out, section.Name);
        out += "]\r\n";
        for (const TEntry& entry : section.Entries) {
            Cp1252::AppendEncoded(out, entry.Key);
            out += '=';
            Cp1252::AppendEncoded(out, entry.Value);
            out += "\r\n";
        }
    }
    return out;
}

bool TIniFile::Save(const QString& fileName, QString* error) const {
    const std::string bytes = Serialize();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

QStringList TIniFile::SectionNames() const {
    QStringList names;
    for (const TSection& section : FSections)
        names << section.Name;
    return names;
}

bool TIniFile::HasSection(const QString& section) const {
    return Find(section) != nullptr;
}

std::vector<TIniFile::TEntry> TIniFile::SectionEntries(const QString& section) const {
    const TSection* found = Find(section);
    return found ? found->Entries : std::vector<TEntry>{};
}

QStringList TIniFile::SectionLines(const QString& section) const {
    QStringList lines;
    for (const TEntry& entry : SectionEntries(section))
        lines << entry.Key + u'=' + entry.Value;
    return lines;
}

std::optional<QString> TIniFile::Value(const QString& section, const QString& key) const {
    if (const TSection* found = Find(section))
        for (const TEntry& entry : found->Entries)
            if (SameName(entry.Key, key)) return entry.Value;
    return std::nullopt;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    return Value(section, key).value_or(defaultValue);
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    AddSection(section);
    TSection* found = Find(section);
    for (TEntry& entry : found->Entries)
        if (SameName(entry.Key, key)) {
            entry.Value = value;
            return;
        }
    found->Entries.push_back({key, value});
}

void TIniFile::AppendEntry(const QString& section, const QString& key, const QString& value) {
    TSection* found = Find(section);
    if (!found) found = Append(section);
    found->Entries.push_back({key, value});
}

void TIniFile::AddSection(const QString& section) {
    if (!Find(section)) Append(section);
}

TIniFile::TSection* TIniFile::Append(const QString& section) {
    FIndex.insert(TNoCaseKey{section}, FSections.size());
    FSections.push_back({section, {}});
    return &FSections.back();
}

void TIniFile::EraseSection(const QString& section) {
    std::erase_if(FSections, [&](const TSection& s) { return SameName(s.Name, section); });
    FIndex.clear();
    for (std::size_t i = 0; i < FSections.size(); ++i) FIndex.insert(TNoCaseKey{FSections[i].Name}, i);
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
    if (TSection* found = Find(section))
        std::erase_if(found->Entries, [&](const TEntry& e) { return SameName(e.Key, key); });
}

TIniFile::TSection* TIniFile::Find(const QString& section) {
    const auto it = FIndex.constFind(TNoCaseKey{section});
    return it == FIndex.cend() ? nullptr : &FSections[*it];
}

const TIniFile::TSection* TIniFile::Find(const QString& section) const {
    const auto it = FIndex.constFind(TNoCaseKey{section});
    return it == FIndex.cend() ? nullptr : &FSections[*it];
}

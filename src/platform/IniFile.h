#pragma once
// INI files with the semantics of the Windows profile functions: section and
// key names compare without regard to case, sections and keys keep the order
// they were read or added in, and the text is stored as Windows-1252 bytes.
// Lines are "[Section]" and "Key=Value"; blank lines and lines starting with
// ';' are skipped; a key line before any section is ignored.

#include "platform/NoCaseKey.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TIniFile {
public:
    struct TEntry {
        QString Key;
        QString Value;
    };
    struct TSection {
        QString Name;
        std::vector<TEntry> Entries;
    };

    TIniFile() = default;

    // Parses INI text; never fails (unreadable lines are skipped).
    static TIniFile Parse(const std::string& bytes);
    // Reads a file; an empty INI when the file cannot be read.
    static TIniFile Load(const QString& fileName);
    // The file's bytes: "[Section]\r\n", "Key=Value\r\n", a blank line between sections.
    std::string Serialize() const;
    // Writes the file through a temporary file and a rename; false on failure
    // (then `error` says why).
    bool Save(const QString& fileName, QString* error = nullptr) const;

    const std::vector<TSection>& Sections() const { return FSections; }
    QStringList SectionNames() const;
    bool HasSection(const QString& section) const;
    // The section of that name, or null.
    const TSection* FindSection(const QString& section) const { return Find(section); }
    // The entries of a section in order; empty when there is no such section.
    std::vector<TEntry> SectionEntries(const QString& section) const;
    // "Key=Value" lines of a section, in order.
    QStringList SectionLines(const QString& section) const;

    std::optional<QString> Value(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Sets a key (replacing the first of that name) or appends it; creates the section.
    void WriteString(const QString& section, const QString& key, const QString& value);
    // Appends an entry even when the key exists already.
    void AppendEntry(const QString& section, const QString& key, const QString& value);
    // Creates an empty section when missing.
    void AddSection(const QString& section);
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& key);
    bool IsEmpty() const { return FSections.empty(); }
    // Room for that many sections.
    void Reserve(std::size_t sections) {
        FSections.reserve(sections);
        FIndex.reserve(static_cast<qsizetype>(sections));
    }

private:
    TSection* Find(const QString& section);
    const TSection* Find(const QString& section) const;
    TSection* Append(const QString& section);

    std::vector<TSection> FSections;
    // Case-folded section name -> position in FSections.
    QHash<TNoCaseKey, std::size_t> FIndex;
};

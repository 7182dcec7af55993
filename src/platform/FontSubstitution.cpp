#include "platform/FontSubstitution.h"

#include <array>

namespace {

struct TSubstitutionEntry {
    const char* WindowsName;
    const char* Family;
    bool ForceBold;
};

constexpr std::array<TSubstitutionEntry, 13> kSubstitutions{{
    {"Arial", "Liberation Sans", false},
    {"Arial Black", "DejaVu Sans", true},
    {"Tahoma", "DejaVu Sans", false},
    {"Verdana", "DejaVu Sans", false},
    {"MS Sans Serif", "Liberation Sans", false},
    {"MS Shell Dlg", "Liberation Sans", false},
    {"MS Shell Dlg 2", "Liberation Sans", false},
    {"Helvetica", "Liberation Sans", false},
    {"Courier New", "Liberation Mono", false},
    {"Courier", "Liberation Mono", false},
    {"Times New Roman", "Liberation Serif", false},
    {"Times", "Liberation Serif", false},
    {"Marlett", "DejaVu Sans", false},
}};

struct TSymbolEntry {
    char16_t Character;
    char16_t Symbol;
};

// Marlett's window-control glyphs and their Unicode look-alikes.
constexpr std::array<TSymbolEntry, 9> kMarlettSymbols{{
    {u'0', u'\u2581'}, // minimise: a bar at the bottom
    {u'1', u'\u25A1'}, // maximise: a square
    {u'2', u'\u2750'}, // restore: two overlapping squares
    {u'3', u'\u25C0'}, // triangle pointing left
    {u'4', u'\u25B6'}, // triangle pointing right
    {u'5', u'\u25B2'}, // triangle pointing up
    {u'6', u'\u25BC'}, // triangle pointing down
    {u'a', u'\u2713'}, // check mark
    {u'r', u'\u2715'}, // close: a cross
}};

} // namespace

TFontSubstitute LookupFontSubstitute(const QString& windowsName) {
    const QString name = windowsName.trimmed();
    for (const TSubstitutionEntry& entry : kSubstitutions) {
        if (name.compare(QLatin1String(entry.WindowsName), Qt::CaseInsensitive) == 0)
            return {QString::fromLatin1(entry.Family), entry.ForceBold};
    }
    return {windowsName, false};
}

QString SubstituteFontFamily(const QString& windowsName) { return LookupFontSubstitute(windowsName).Family; }

QString TranslateSymbolFontText(const QString& windowsName, const QString& text) {
    if (windowsName.trimmed().compare(QLatin1String("Marlett"), Qt::CaseInsensitive) != 0) return text;
    QString result = text;
    for (QChar& c : result) {
        for (const TSymbolEntry& entry : kMarlettSymbols) {
            if (c.unicode() == entry.Character) {
                c = QChar(entry.Symbol);
                break;
            }
        }
    }
    return result;
}

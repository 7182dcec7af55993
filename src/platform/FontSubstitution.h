#pragma once
// The Windows font names the program asks for, mapped to the families that
// Linux has: the Liberation fonts are metric twins of Arial, Times New Roman
// and Courier New; DejaVu Sans stands in for the wider sans-serif faces.

#include <QString>

struct TFontSubstitute {
    QString Family;
    // The Windows face is heavier than any weight of the stand-in's regular
    // style (Arial Black): draw it bold.
    bool ForceBold = false;
};

// Case-insensitive; a name without an entry passes through unchanged.
TFontSubstitute LookupFontSubstitute(const QString& windowsName);
QString SubstituteFontFamily(const QString& windowsName);

// "Marlett" draws its window-control symbols for plain characters ("4" is a
// triangle pointing right); the stand-in family has no such glyphs, so the
// text is turned into the Unicode symbols instead. Text for any other font
// comes back unchanged.
QString TranslateSymbolFontText(const QString& windowsName, const QString& text);

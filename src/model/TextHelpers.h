#pragma once
// Small text and platform helpers of the drawing model: string splitting,
// the verbal command line, code pages of locales, figure tags and the
// resolution of bitmap files.

#include "model/GeometryTypes.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QTime>
#include <functional>
#include <string>

// Splits s at every separator; empty pieces between two separators are kept,
// a trailing piece only when it is not empty. Returns the number of pieces
// (0 on failure). The array is replaced.
int SplitString(const QString& s, QChar separator, TStringArray& pieces);

// Splits a command line: element 0 is the verb (the text up to the first
// blank); the rest is split at every comma and blank, like SplitString.
// Returns the index of the last argument, 0 for a verb alone, -1 for an empty
// line.
int ParseVerbalCommand(const QString& s, TStringArray& parts);

// The English name of the locale's language ("German").
QString LocaleLanguageName(const QLocale& locale);

// The code page the program stores 8-bit text in when nothing else is said.
constexpr int kSystemAnsiCodePage = 1252;

// The Windows ANSI code page of the locale's language (1250 … 1258, 874, 932,
// 936, 949, 950), or kSystemAnsiCodePage for languages that have none.
int LocaleAnsiCodePage(const QLocale& locale);

// The GDI font character set of a code page (ANSI_CHARSET 0 for 1252 and
// unknown ones) and of a locale's code page.
int CodePageCharset(int codePage);
int LocaleCharset(const QLocale& locale);

// Code-page conversions. 1252 (and 0, the system code page) use the stored
// Windows-1252 table; other code pages use Qt's converters where Qt knows the
// encoding, else Latin-1. Characters without a byte become '?'.
QString AnsiToWide(const QByteArray& bytes, int codePage);
QString AnsiToWide(const std::string& bytes, int codePage);
std::string WideToAnsi(const QString& text, int codePage);

// The identification number of a new figure:
// random(100) + hour*100 + minute + second + millisecond div 100.
int NewFigureTag();
// The same with the clock and the random source given; random(n) must return
// a value in 0 … n-1.
int NewFigureTag(const std::function<QTime()>& clock, const std::function<int(int)>& random);

// The resolution of a .bmp file in dots per inch, from its horizontal
// pixels-per-metre field. Files that are not bitmaps, are too short or cannot
// be read, and bitmaps whose field gives 0, count as 180 dpi.
int BitmapFileDPI(const QString& fileName);
constexpr int kDefaultBitmapDPI = 180;

// The folder picker of the user-interface services; empty when cancelled.
QString BrowseForFolder(const QString& title);

#include "model/TextHelpers.h"

#include "platform/Cp1252.h"
#include "platform/UiServices.h"

#include <chrono>
#include <ctime>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cmath>
#include <exception>

// ---------------------------------------------------------------------------
// Splitting

namespace {

// Appends the pieces of s split at any of the separators to the array.
void AppendPieces(const QString& s, const QString& separators, TStringArray& pieces) {
    QString piece;
    for (const QChar ch : s) {
        if (separators.contains(ch)) {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece.append(ch);
        }
    }
    if (!piece.isEmpty()) pieces.push_back(piece);
}

} // namespace

int SplitString(const QString& s, QChar separator, TStringArray& pieces) {
    pieces.clear();
    try {
        AppendPieces(s, QString(separator), pieces);
        return static_cast<int>(pieces.size());
    } catch (const std::exception&) {
        pieces.clear();
        return 0;
    }
}

int ParseVerbalCommand(const QString& s, TStringArray& parts) {
    parts.clear();
    if (s.isEmpty()) return -1;
    const qsizetype blank = s.indexOf(QLatin1Char(' '));
    if (blank < 0) {
        parts.push_back(s);
        return 0;
    }
    parts.push_back(s.left(blank));
    AppendPieces(s.mid(blank + 1), QStringLiteral(", "), parts);
    return static_cast<int>(parts.size()) - 1;
}

// ---------------------------------------------------------------------------
// Locales and code pages

QString LocaleLanguageName(const QLocale& locale) { return QLocale::languageToString(locale.language()); }

int LocaleAnsiCodePage(const QLocale& locale) {
    const bool cyrillic = locale.script() == QLocale::CyrillicScript;
    switch (locale.language()) {
    // Western European
    case QLocale::Afrikaans: case QLocale::Basque: case QLocale::Breton: case QLocale::Catalan:
    case QLocale::Corsican: case QLocale::Danish: case QLocale::Dutch: case QLocale::English:
    case QLocale::Faroese: case QLocale::Filipino: case QLocale::Finnish: case QLocale::French:
    case QLocale::Galician: case QLocale::German: case QLocale::Icelandic: case QLocale::Indonesian:
    case QLocale::Irish: case QLocale::Italian: case QLocale::Kalaallisut: case QLocale::Luxembourgish:
    case QLocale::Malay: case QLocale::NorwegianBokmal: case QLocale::NorwegianNynorsk:
    case QLocale::Occitan: case QLocale::Portuguese: case QLocale::Quechua: case QLocale::Romansh:
    case QLocale::Gaelic: case QLocale::Spanish: case QLocale::Swahili: case QLocale::Swedish:
    case QLocale::Welsh: case QLocale::WesternFrisian: case QLocale::Xhosa: case QLocale::Zulu:
    case QLocale::Tswana: case QLocale::Kinyarwanda: case QLocale::Wolof: case QLocale::Hausa:
    case QLocale::Yoruba: case QLocale::Igbo: case QLocale::NorthernSami:
        return 1252;
    // Central European
    case QLocale::Albanian: case QLocale::Croatian: case QLocale::Czech: case QLocale::Hungarian:
    case QLocale::Polish: case QLocale::Romanian: case QLocale::Slovak: case QLocale::Slovenian:
    case QLocale::Turkmen:
        return 1250;
    case QLocale::Serbian:
    case QLocale::Bosnian:
        return cyrillic ? 1251 : 1250;
    // Cyrillic
    case QLocale::Bashkir: case QLocale::Belarusian: case QLocale::Bulgarian: case QLocale::Kazakh:
    case QLocale::Kyrgyz: case QLocale::Macedonian: case QLocale::Mongolian: case QLocale::Russian:
    case QLocale::Sakha: case QLocale::Tajik: case QLocale::Tatar: case QLocale::Ukrainian:
        return 1251;
    case QLocale::Greek:
        return 1253;
    case QLocale::Turkish:
        return 1254;
    case QLocale::Azerbaijani:
    case QLocale::Uzbek:
        return cyrillic ? 1251 : 1254;
    case QLocale::Hebrew:
        return 1255;
    case QLocale::Arabic: case QLocale::Persian: case QLocale::Urdu: case QLocale::Uyghur:
        return 1256;
    case QLocale::Estonian: case QLocale::Latvian: case QLocale::Lithuanian:
        return 1257;
    case QLocale::Vietnamese:
        return 1258;
    case QLocale::Thai:
        return 874;
    case QLocale::Japanese:
        return 932;
    case QLocale::Korean:
        return 949;
    case QLocale::Chinese: {
        const bool traditional = locale.script() == QLocale::TraditionalHanScript ||
                                 locale.territory() == QLocale::Taiwan ||
                                 locale.territory() == QLocale::HongKong ||
                                 locale.territory() == QLocale::Macao;
        return traditional ? 950 : 936;
    }
    default:
        // Languages written only in Unicode (Hindi, Georgian, Armenian, …).
        return kSystemAnsiCodePage;
    }
}

int CodePageCharset(int codePage) {
    switch (codePage) {
    case 1250: return 238; // EASTEUROPE_CHARSET
    case 1251: return 204; // RUSSIAN_CHARSET
    case 1253: return 161; // GREEK_CHARSET
    case 1254: return 162; // TURKISH_CHARSET
    case 1255: return 177; // HEBREW_CHARSET
    case 1256: return 178; // ARABIC_CHARSET
    case 1257: return 186; // BALTIC_CHARSET
    case 1258: return 163; // VIETNAMESE_CHARSET
    case 874: return 222;  // THAI_CHARSET
    case 932: return 128;  // SHIFTJIS_CHARSET
    case 936: return 134;  // GB2312_CHARSET
    case 949: return 129;  // HANGUL_CHARSET
    case 950: return 136;  // CHINESEBIG5_CHARSET
    default: return 0;     // ANSI_CHARSET
    }
}

int LocaleCharset(const QLocale& locale) { return CodePageCharset(LocaleAnsiCodePage(locale)); }

namespace {

bool IsSystemCodePage(int codePage) { return codePage == 0 || codePage == kSystemAnsiCodePage; }

// The name under which Qt's converters know a Windows code page.
QByteArray EncodingName(int codePage) {
    switch (codePage) {
    case 932: return "windows-31j";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 65001: return "UTF-8";
    case 20127: return "US-ASCII";
    case 28591: return "ISO-8859-1";
    default: break;
    }
    if (codePage >= 28592 && codePage <= 28605) return "ISO-8859-" + QByteArray::number(codePage - 28590);
    if (codePage == 874 || (codePage >= 1250 && codePage <= 1258)) return "windows-" + QByteArray::number(codePage);
    return "cp" + QByteArray::number(codePage);
}

} // namespace

QString AnsiToWide(const QByteArray& bytes, int codePage) {
    if (bytes.isEmpty()) return QString();
    if (IsSystemCodePage(codePage)) return Cp1252::Decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    QStringDecoder decoder(EncodingName(codePage).constData());
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QString AnsiToWide(const std::string& bytes, int codePage) {
    return AnsiToWide(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), codePage);
}

std::string WideToAnsi(const QString& text, int codePage) {
    if (text.isEmpty()) return std::string();
    if (IsSystemCodePage(codePage)) return Cp1252::Encode(text);
    const QByteArray name = EncodingName(codePage);
    QStringEncoder encoder(name.constData());
    if (!encoder.isValid()) return text.toLatin1().toStdString();
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        // The converters substitute unencodable characters with bytes of their
        // own choice; encode character by character to put '?' there instead.
        bytes.clear();
        qsizetype i = 0;
        while (i < text.size()) {
            const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
            QStringEncoder single(name.constData());
            const QByteArray encoded = single.encode(QStringView(text).mid(i, n));
            bytes += single.hasError() ? QByteArray("?") : encoded;
            i += n;
        }
    }
    return bytes.toStdString();
}

// ---------------------------------------------------------------------------
// Figure tags

int NewFigureTag(const std::function<QTime()>& clock, const std::function<int(int)>& random) {
    const QTime now = clock();
    return random(100) + now.hour() * 100 + now.minute() + now.second() + now.msec() / 100;
}

namespace {
// The local time of day. QTime::currentTime re-reads the time zone on every
// call, which is too slow for a figure tag taken per figure while loading.
QTime LocalTimeOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return QTime::currentTime();
    const auto ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return QTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), ms < 0 ? ms + 1000 : ms);
}
} // namespace

int NewFigureTag() {
    return NewFigureTag(LocalTimeOfDay,
                        [](int n) { return static_cast<int>(QRandomGenerator::global()->bounded(n)); });
}

// ---------------------------------------------------------------------------
// Bitmap resolution

int BitmapFileDPI(const QString& fileName) {
    // "BM", the 14-byte file header and the info header up to the
    // horizontal pixels-per-metre field at offset 38, of which the low 16 bits count.
    constexpr qint64 kFieldOffset = 38;
    constexpr qint64 kNeeded = kFieldOffset + 2;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return kDefaultBitmapDPI;
    const QByteArray head = file.read(kNeeded);
    if (head.size() < kNeeded || !head.startsWith("BM")) return kDefaultBitmapDPI;
    const auto low = static_cast<unsigned char>(head[kFieldOffset]);
    const auto high = static_cast<unsigned char>(head[kFieldOffset + 1]);
    const int pixelsPerMetre = low | (high << 8);
    const int dpi = static_cast<int>(std::nearbyint(pixelsPerMetre / 39.370079));
    return dpi > 0 ? dpi : kDefaultBitmapDPI;
}

QString BrowseForFolder(const QString& title) { return UiServices().BrowseForFolder(title); }

// Text splitting, the verbal command line, code pages, figure tags and the
// resolution of bitmap files.
#include "model/TextHelpers.h"

#include "platform/UiServices.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* text;
    char separator;
    std::vector<QString> pieces;
};

TEST(SplitStringTest, KeepsInnerEmptyPiecesAndDropsEmptyTrailingPiece) {
    const SplitCase cases[] = {
        {"", ',', {}},
        {"abc", ',', {"abc"}},
        {"a,b,c", ',', {"a", "b", "c"}},
        {"a,,b", ',', {"a", "", "b"}},
        {",a", ',', {"", "a"}},
        {"a,", ',', {"a"}},
        {",", ',', {""}},
        {",,", ',', {"", ""}},
        {"a,,", ',', {"a", ""}},
        {"Base Layer;Ebene 1", ';', {"Base Layer", "Ebene 1"}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.text);
        TStringArray pieces{"stale"};
        EXPECT_EQ(SplitString(QString::fromUtf8(c.text), QLatin1Char(c.separator), pieces),
                  static_cast<int>(c.pieces.size()));
        EXPECT_EQ(pieces, c.pieces);
    }
}

struct VerbalCase {
    const char* line;
    int result;
    std::vector<QString> parts;
};

TEST(ParseVerbalCommandTest, VerbThenArgumentsSplitAtCommaAndBlank) {
    const VerbalCase cases[] = {
        {"", -1, {}},
        {"SELECTALL", 0, {"SELECTALL"}},
        {"MOVE 10,20", 2, {"MOVE", "10", "20"}},
        {"LINE 0 0,10 10", 4, {"LINE", "0", "0", "10", "10"}},
        {"CIRCLE >5,5,3", 3, {"CIRCLE", ">5", "5", "3"}},
        {"LINE 0, 0", 3, {"LINE", "0", "", "0"}},      // two separators give an empty argument
        {"LINE 1,,2", 3, {"LINE", "1", "", "2"}},
        {"MOVE  10", 2, {"MOVE", "", "10"}},           // doubled blank after the verb
        {"MOVE 10,", 1, {"MOVE", "10"}},               // empty trailing piece dropped
        {"MOVE ", 0, {"MOVE"}},
        {"ROT 2.5", 1, {"ROT", "2.5"}},
        {"rsc 1,5", 2, {"rsc", "1", "5"}},
    };
    for (const VerbalCase& c : cases) {
        SCOPED_TRACE(c.line);
        TStringArray parts{"stale"};
        EXPECT_EQ(ParseVerbalCommand(QString::fromUtf8(c.line), parts), c.result);
        EXPECT_EQ(parts, c.parts);
    }
}

TEST(LocaleTest, CodePagesAndCharsetsOfLanguages) {
    struct Case {
        const char* locale;
        const char* language;
        int codePage;
        int charset;
    };
    const Case cases[] = {
        {"de_DE", "German", 1252, 0},     {"en_US", "English", 1252, 0},   {"fr_FR", "French", 1252, 0},
        {"pl_PL", "Polish", 1250, 238},   {"cs_CZ", "Czech", 1250, 238},   {"ru_RU", "Russian", 1251, 204},
        {"uk_UA", "Ukrainian", 1251, 204}, {"el_GR", "Greek", 1253, 161},  {"tr_TR", "Turkish", 1254, 162},
        {"he_IL", "Hebrew", 1255, 177},   {"ar_EG", "Arabic", 1256, 178},  {"lt_LT", "Lithuanian", 1257, 186},
        {"vi_VN", "Vietnamese", 1258, 163}, {"th_TH", "Thai", 874, 222},   {"ja_JP", "Japanese", 932, 128},
        {"zh_CN", "Chinese", 936, 134},   {"ko_KR", "Korean", 949, 129},   {"zh_TW", "Chinese", 950, 136},
        {"sr_Latn_RS", "Serbian", 1250, 238}, {"sr_Cyrl_RS", "Serbian", 1251, 204},
        {"hi_IN", "Hindi", 1252, 0},      {"ka_GE", "Georgian", 1252, 0},  // no ANSI code page: the system's
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const QLocale locale(QString::fromUtf8(c.locale));
        EXPECT_EQ(LocaleLanguageName(locale), QString::fromUtf8(c.language));
        EXPECT_EQ(LocaleAnsiCodePage(locale), c.codePage);
        EXPECT_EQ(LocaleCharset(locale), c.charset);
    }
}

TEST(CodePageTest, Windows1252RoundTripsEveryByte) {
    std::string bytes;
    for (int b = 1; b <= 255; ++b) bytes.push_back(static_cast<char>(b));
    const QString wide = AnsiToWide(bytes, 1252);
    ASSERT_EQ(wide.size(), 255);
    EXPECT_EQ(wide.at(0x80 - 1), QChar(0x20AC)); // euro sign
    EXPECT_EQ(wide.at(0x81 - 1), QChar(0x0081)); // undefined byte kept
    EXPECT_EQ(wide.at(0xE4 - 1), QChar(0x00E4)); // ä
    EXPECT_EQ(WideToAnsi(wide, 1252), bytes);
    // 0 stands for the system code page, which is 1252.
    EXPECT_EQ(AnsiToWide(bytes, 0), wide);
    EXPECT_EQ(WideToAnsi(wide, 0), bytes);
}

TEST(CodePageTest, OtherCodePagesGoThroughQtConverters) {
    struct Case {
        int codePage;
        const char* text; // UTF-8
        std::string bytes;
    };
    const Case cases[] = {
        {1251, "Привет", "\xCF\xF0\xE8\xE2\xE5\xF2"},
        {1250, "Łódź", "\xA3\xF3\x64\x9F"},
        {1253, "Ωμέγα", "\xD9\xEC\xDD\xE3\xE1"},
        {932, "日本", "\x93\xFA\x96\x7B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(WideToAnsi(text, c.codePage), c.bytes);
        EXPECT_EQ(AnsiToWide(c.bytes, c.codePage), text);
        EXPECT_EQ(AnsiToWide(QByteArray::fromStdString(c.bytes), c.codePage), text);
    }
}

TEST(CodePageTest, UnencodableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(WideToAnsi(QString::fromUtf8("aЖ€b"), 1250), "a?\x80" "b");
    EXPECT_EQ(WideToAnsi(QString::fromUtf8("Ж€日"), 1252), "?\x80?");
    EXPECT_EQ(WideToAnsi(QString::fromUtf8("xé"), 1251), "x?");
    EXPECT_EQ(WideToAnsi(QString::fromUtf8("a\U0001F600b"), 1251), "a?b"); // one '?' for a surrogate pair
}

TEST(CodePageTest, EmptyInputAndUnknownCodePage) {
    for (int codePage : {0, 1252, 1251, 932, 12345}) {
        SCOPED_TRACE(codePage);
        EXPECT_TRUE(AnsiToWide(std::string(), codePage).isEmpty());
        EXPECT_TRUE(AnsiToWide(QByteArray(), codePage).isEmpty());
        EXPECT_TRUE(WideToAnsi(QString(), codePage).empty());
    }
    // An encoding nobody knows falls back to Latin-1.
    EXPECT_EQ(AnsiToWide(std::string("\xE4\x80"), 12345), QString::fromUtf8("ä\u0080"));
    EXPECT_EQ(WideToAnsi(QString::fromUtf8("äЖ"), 12345), "\xE4?");
}

TEST(NewFigureTagTest, FormulaOfClockAndRandom) {
    struct Case {
        QTime time;
        int random;
        int tag;
    };
    const Case cases[] = {
        {QTime(13, 45, 30, 789), 42, 42 + 1300 + 45 + 30 + 7},
        {QTime(0, 0, 0, 99), 0, 0},
        {QTime(23, 59, 59, 999), 99, 99 + 2300 + 59 + 59 + 9},
        {QTime(9, 5, 7, 100), 1, 1 + 900 + 5 + 7 + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time.toString("HH:mm:ss.zzz").toStdString());
        int bound = 0;
        const int tag = NewFigureTag([&] { return c.time; },
                                     [&](int n) {
                                         bound = n;
                                         return c.random;
                                     });
        EXPECT_EQ(tag, c.tag);
        EXPECT_EQ(bound, 100);
    }
    for (int i = 0; i < 50; ++i) {
        const int tag = NewFigureTag();
        EXPECT_GE(tag, 0);
        EXPECT_LE(tag, 99 + 2300 + 59 + 59 + 9);
    }
}

class BitmapFileDPITest : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = FDir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QByteArray Bmp(int dotsPerMeter) {
        QImage image(8, 4, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        const QString path = FDir.filePath(QStringLiteral("qt%1.bmp").arg(dotsPerMeter));
        EXPECT_TRUE(image.save(path, "BMP"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    QTemporaryDir FDir;
};

TEST_F(BitmapFileDPITest, ResolutionFromPixelsPerMetre) {
    struct Case {
        int dotsPerMeter;
        int dpi;
    };
    const Case cases[] = {{3780, 96}, {11811, 300}, {2835, 72}, {7087, 180}, {23622, 600}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dotsPerMeter);
        EXPECT_EQ(BitmapFileDPI(Write("a.bmp", Bmp(c.dotsPerMeter))), c.dpi);
    }
}

TEST_F(BitmapFileDPITest, ReadsOnlyTheLow16BitsAtOffset38) {
    QByteArray bytes = Bmp(3780);
    ASSERT_GE(bytes.size(), 42);
    EXPECT_EQ(static_cast<unsigned char>(bytes[38]) | (static_cast<unsigned char>(bytes[39]) << 8), 3780);
    bytes[38] = '\x5A'; // 0x0001205A = 73818 ppm; the low word 0x205A = 8282 → 210 dpi
    bytes[39] = '\x20';
    bytes[40] = '\x01';
    EXPECT_EQ(BitmapFileDPI(Write("b.bmp", bytes)), 210);
}

TEST_F(BitmapFileDPITest, OtherFilesCountAs180) {
    QByteArray notBmp(64, '\x10'); // offset 38 would say 4112 ppm = 104 dpi
    notBmp[0] = 'P';
    notBmp[1] = 'K';
    EXPECT_EQ(BitmapFileDPI(Write("x.jpg", notBmp)), 180);
    EXPECT_EQ(BitmapFileDPI(Write("short.bmp", QByteArray("BM\x10\x10\x10\x10\x10\x10\x10\x10", 10))), 180);
    QByteArray to39 = Bmp(3780).left(39); // ends inside the field
    EXPECT_EQ(BitmapFileDPI(Write("to39.bmp", to39)), 180);
    EXPECT_EQ(BitmapFileDPI(Write("to40.bmp", Bmp(3780).left(40))), 96);
    EXPECT_EQ(BitmapFileDPI(Write("empty.bmp", QByteArray())), 180);
    EXPECT_EQ(BitmapFileDPI(FDir.filePath("missing.bmp")), 180);
    EXPECT_EQ(BitmapFileDPI(FDir.path()), 180); // a folder
}

TEST_F(BitmapFileDPITest, ZeroResolutionCountsAs180) {
    QByteArray bytes = Bmp(3780);
    bytes[38] = 0;
    bytes[39] = 0;
    EXPECT_EQ(BitmapFileDPI(Write("zero.bmp", bytes)), 180);
    bytes[38] = 19; // 0.48 dpi rounds to 0
    EXPECT_EQ(BitmapFileDPI(Write("tiny.bmp", bytes)), 180);
}

TEST(BrowseForFolderTest, AsksTheUserInterfaceServices) {
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    ui.ChooseFolder("/srv/plugins").Cancel();
    EXPECT_EQ(BrowseForFolder("Select Plugins Directory"), "/srv/plugins");
    EXPECT_EQ(BrowseForFolder("Select Plugins Directory"), QString());
    ASSERT_EQ(ui.Calls().size(), 2u);
    EXPECT_EQ(ui.Calls()[0].Kind, TUiCallKind::BrowseFolder);
    EXPECT_EQ(ui.Calls()[0].Caption, "Select Plugins Directory");
}

} // namespace

#include "platform/IniFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(IniFile, SectionsAndKeysIgnoreCaseAndKeepOrder) {
    const TIniFile ini = TIniFile::Parse("; comment\r\n[Line1]\r\nName_C=TLine\r\nb=2\r\na=1\r\n\r\n[Zweite]\nX = y \n");
    EXPECT_EQ(ini.SectionNames(), QStringList({"Line1", "Zweite"}));
    EXPECT_EQ(ini.ReadString("LINE1", "name_c", ""), "TLine");
    EXPECT_EQ(ini.SectionLines("line1"), QStringList({"Name_C=TLine", "b=2", "a=1"}));
    EXPECT_EQ(ini.ReadString("zweite", "x", ""), "y");
    EXPECT_EQ(ini.ReadString("fehlt", "x", "def"), "def");

    TIniFile edited = ini;
    edited.WriteString("line1", "B", "3"); // replaces in place, keeps the stored key spelling
    edited.WriteString("Neu", "k", "v");
    EXPECT_EQ(edited.SectionLines("Line1"), QStringList({"Name_C=TLine", "b=3", "a=1"}));
    edited.EraseSection("ZWEITE");
    EXPECT_EQ(edited.SectionNames(), QStringList({"Line1", "Neu"}));
    edited.DeleteKey("line1", "A");
    EXPECT_EQ(edited.SectionLines("Line1"), QStringList({"Name_C=TLine", "b=3"}));
}

TEST(IniFile, Windows1252BytesRoundTripThroughFile) {
    TIniFile ini;
    ini.AppendEntry(QString::fromUtf8("Maße"), "Name_C", "TLine");
    ini.AppendEntry(QString::fromUtf8("Maße"), QString::fromUtf8("Größe"), QString::fromUtf8("5 € Ä"));
    const std::string bytes = ini.Serialize();
    EXPECT_EQ(bytes, std::string("[Ma\xDF" "e]\r\nName_C=TLine\r\nGr\xF6\xDF" "e=5 \x80 \xC4\r\n"));
    QTemporaryDir dir;
    const QString path = dir.filePath("a.pin");
    ASSERT_TRUE(ini.Save(path));
    const TIniFile back = TIniFile::Load(path);
    EXPECT_EQ(back.Serialize(), bytes);
    EXPECT_EQ(back.ReadString(QString::fromUtf8("MASSE"), "x", "none"), "none"); // ß is not SS
    EXPECT_EQ(back.ReadString(QString::fromUtf8("maße"), QString::fromUtf8("GRÖSSE"), "none"), "none");
    EXPECT_EQ(back.ReadString(QString::fromUtf8("maße"), QString::fromUtf8("größe"), ""), QString::fromUtf8("5 € Ä"));
}

TEST(IniFile, DamagedTextIsSkippedNotFatal) {
    const TIniFile ini = TIniFile::Parse(std::string("k=v\n[unclosed\n=novalue\n[S]\nnoequals\n\0x=1\n[S]\ny=2", 48));
    EXPECT_EQ(ini.SectionNames(), QStringList({"S"}));
    EXPECT_EQ(ini.ReadString("s", "y", ""), "2");
    EXPECT_TRUE(TIniFile::Load("/nonexistent/dir/x.pin").IsEmpty());
    QString error;
    EXPECT_FALSE(TIniFile().Save("/nonexistent/dir/x.pin", &error));
    EXPECT_FALSE(error.isEmpty());
}

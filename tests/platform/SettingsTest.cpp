// Registry values over the INI file in the user's configuration folder.
#include "platform/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Points XDG_CONFIG_HOME at a fresh folder for each test.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FConfig.isValid());
        FSaved = qgetenv("XDG_CONFIG_HOME");
        FHadValue = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(FConfig.path()));
    }
    void TearDown() override {
        if (FHadValue) qputenv("XDG_CONFIG_HOME", FSaved);
        else qunsetenv("XDG_CONFIG_HOME");
    }

    QTemporaryDir FConfig;
    QByteArray FSaved;
    bool FHadValue = false;
};

TEST_F(SettingsTest, ValueWrittenUnderDefaultKeyReadsBack) {
    EXPECT_TRUE(RegWriteSetting("PlgDir", "/opt/keldra/plugins/"));
    EXPECT_EQ(RegReadSetting("PlgDir"), "/opt/keldra/plugins/");
    EXPECT_EQ(RegReadSetting("PlgDir", kVexalSettingsKey), "/opt/keldra/plugins/");
}

TEST_F(SettingsTest, MissingValueAndMissingFileReadEmpty) {
    EXPECT_FALSE(QFileInfo::exists(RegistryFileName()));
    EXPECT_EQ(RegReadSetting("BlockDir"), QString());
    RegWriteSetting("PlgDir", "x");
    EXPECT_EQ(RegReadSetting("BlockDir"), QString());
    EXPECT_EQ(RegReadSetting("PlgDir", "\\Software\\Other\\"), QString());
}

TEST_F(SettingsTest, FileLandsUnderXdgConfigHomeWithKeyPathsAsGroups) {
    RegWriteSetting("MacroDir", "/home/u/macros/", kKeldraSettingsKey);
    RegWriteSetting("PlgDir", "/home/u/plugins/");

    const QString expected = QDir(FConfig.path()).filePath("Keldra/Keldra.ini");
    EXPECT_EQ(RegistryFileName(), expected);
    ASSERT_TRUE(QFileInfo::exists(expected));

    QSettings ini(expected, QSettings::IniFormat);
    EXPECT_EQ(ini.value("Software/Keldra/Settings/MacroDir").toString(), "/home/u/macros/");
    EXPECT_EQ(ini.value("Software/Orbanix/Vexal/Settings/PlgDir").toString(), "/home/u/plugins/");
    // The two keys do not see each other's values.
    EXPECT_EQ(RegReadSetting("MacroDir"), QString());
    EXPECT_EQ(RegReadSetting("PlgDir", kKeldraSettingsKey), QString());
}

TEST_F(SettingsTest, KeyPathSpellingsMeetInOneGroup) {
    EXPECT_EQ(RegistryGroup("\\Software\\Orbanix\\Vexal\\Settings\\"), "Software/Orbanix/Vexal/Settings");
    RegWriteSetting("A", "1", "Software\\Orbanix\\Vexal\\Settings");
    EXPECT_EQ(RegReadSetting("A", "\\Software\\Orbanix\\Vexal\\Settings\\"), "1");
}

TEST_F(SettingsTest, AwkwardStringsRoundTrip) {
    const QString values[] = {"", "a,b, c", "true", "C:\\Programme\\Keldra\\", "Größe ÄÖÜ ß €",
                              "  spaces  ", "@Variant(x)", "line1\nline2", "semi;colon=eq\"quote"};
    int i = 0;
    for (const QString& value : values) {
        SCOPED_TRACE(value.toStdString());
        const QString name = QStringLiteral("V%1").arg(i++);
        RegWriteSetting(name, value);
        EXPECT_EQ(RegReadSetting(name), value);
    }
}

TEST_F(SettingsTest, OverwriteReplacesValue) {
    RegWriteSetting("BlockDir", "/a/");
    RegWriteSetting("BlockDir", "/b/");
    EXPECT_EQ(RegReadSetting("BlockDir"), "/b/");
}

TEST_F(SettingsTest, UnwritableFolderIsSwallowed) {
    // A file where the Keldra folder should be: nothing can be stored.
    QFile blocker(QDir(FConfig.path()).filePath("Keldra"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(RegWriteSetting("PlgDir", "/x/"));
    EXPECT_EQ(RegReadSetting("PlgDir"), QString());
}

TEST_F(SettingsTest, TypedValuesFallBackToDefault) {
    EXPECT_EQ(RegReadInteger("Count", 7), 7);
    EXPECT_TRUE(RegWriteInteger("Count", -12));
    EXPECT_EQ(RegReadInteger("Count", 7), -12);
    RegWriteSetting("Count", "zwölf");
    EXPECT_EQ(RegReadInteger("Count", 7), 7);

    EXPECT_TRUE(RegReadBool("Flag", true));
    RegWriteBool("Flag", false);
    EXPECT_FALSE(RegReadBool("Flag", true));
    EXPECT_EQ(RegReadSetting("Flag"), "0");
    RegWriteSetting("Flag", "TRUE");
    EXPECT_TRUE(RegReadBool("Flag", false));
    RegWriteSetting("Flag", "ja");
    EXPECT_FALSE(RegReadBool("Flag", false));
}

} // namespace

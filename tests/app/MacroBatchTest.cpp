// quellin --macro and --eval: the real program runs macros without a window.
#include "app/MacroBatch.h"
#include "app/QuellinProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString WriteMacro(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return path;
}

} // namespace

TEST(MacroBatch, PrintGoesToStandardOutputAndPrintErrorToStandardError) {
    QTemporaryDir dir;
    const QString macro = WriteMacro(dir, QStringLiteral("hallo.pas"),
                                     "var i: integer;\n"
                                     "begin\n"
                                     "  for i := 1 to 3 do Print('Zeile ', IntToStr(i));\n"
                                     "  PrintError('Größe');\n"
                                     "end.\n");
    const TRun run = RunQuellin({QStringLiteral("--macro"), macro});
    EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, "Zeile 1\nZeile 2\nZeile 3\n");
    EXPECT_EQ(QString::fromUtf8(run.Err), QStringLiteral("Größe\n"));
}

TEST(MacroBatch, ErrorsPrintTheEnginesMessageAndGiveStatusOne) {
    QTemporaryDir dir;
    struct Case {
        const char* Name;
        QByteArray Text;
        const char* Message;
    } const cases[] = {
        {"compile error", "begin\n  x := 1\nend.\n", "Syntax error in  (2): \r\nVariable <X> not defined.\n"},
        {"division by zero", "var a: integer;\nbegin a := 0; a := 1 div a; end.\n", "Division by zero\n"},
        {"conversion", "begin Print('x = ', 5); end.\n",
         "Could not convert variant of type (String) into type (Double)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run =
            RunQuellin({QStringLiteral("--macro"), WriteMacro(dir, QStringLiteral("m.pas"), c.Text)});
        EXPECT_EQ(run.Status, 1);
        EXPECT_TRUE(run.Out.isEmpty());
        EXPECT_EQ(run.Err.toStdString(), c.Message);
    }
    const TRun missing = RunQuellin({QStringLiteral("--macro"), dir.filePath(QStringLiteral("fehlt.pas"))});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_FALSE(missing.Err.isEmpty());
}

TEST(MacroBatch, StepLimitStopsAnEndlessMacro) {
    QTemporaryDir dir;
    const QString macro = WriteMacro(dir, QStringLiteral("endlos.pas"),
                                     "var i: integer;\nbegin while True do i := i + 1; end.\n");
    const TRun run = RunQuellin(
        {QStringLiteral("--macro"), macro, QStringLiteral("--max-steps"), QStringLiteral("100000")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "Macro stopped after too many steps\n");
}

TEST(MacroBatch, EvalPrintsTheValueAsText) {
    struct Case {
        const char* Expression;
        const char* Output;
    } const cases[] = {
        {"1+2", "3\n"},
        {"7 / 2", "3.5\n"},
        {"4 / 2", "2\n"},
        {"1 = 1.0", "False\n"},
        {"'5' + 3", "8\n"},
        {"'5' + '3'", "53\n"},
        {"True + 1", "0\n"},
        {"1 < 1.5", "True\n"},
        {"$0FF + 0xff", "510\n"},
        {"'it''s'", "its\n"},
        {"#65#66", "AB\n"},
        {"-7 mod 3", "-1\n"},
        {"1.0 / 3", "0.333333333333333\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Expression);
        const TRun run = RunQuellin({QStringLiteral("--eval"), QString::fromUtf8(c.Expression)});
        EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
        EXPECT_EQ(run.Out.toStdString(), c.Output);
    }
}

TEST(MacroBatch, SourceInUtf8BecomesWindows1252) {
    EXPECT_EQ(MacroSourceFromBytes(QByteArray("Gr\xc3\xb6\xc3\x9f"
                                              "e")),
              std::string("Gr\xf6\xdf"
                          "e"));
    // Not UTF-8: taken as Windows-1252 already.
    EXPECT_EQ(MacroSourceFromBytes(QByteArray("Gr\xf6\xdf"
                                              "e")),
              std::string("Gr\xf6\xdf"
                          "e"));
}

TEST(MacroBatch, TheSampleMacrosRun) {
    const QDir samples(QStringLiteral(KELDRA_SAMPLES "/macros"));
    const QStringList macros = samples.entryList({QStringLiteral("*.pas")}, QDir::Files);
    ASSERT_GE(macros.size(), 2);
    for (const QString& name : macros) {
        SCOPED_TRACE(name.toStdString());
        const TRun run = RunQuellin({QStringLiteral("--macro"), samples.filePath(name)});
        EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.isEmpty());
        EXPECT_GE(run.Out.count('\n'), 3);
    }
}

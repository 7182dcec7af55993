// Events of script-driven forms: finding the handler procedure, passing the
// sender and the event's arguments, writing back by-reference arguments.
#include "script/HalEvent.h"
#include "script/ScriptErrors.h"
#include "script/ScriptObjects.h"

#include "platform/UiServices.h"

#include <gtest/gtest.h>

namespace {

class TTestObject : public TScriptObject {
public:
    std::string ScriptClassName() const override { return "TBUTTON"; }
};

class HalEventTest : public ::testing::Test {
protected:
    HalEventTest()
        : Runner("var count: integer;\n"
                 "procedure TForm1.Button1Click(Sender: TObject);\n"
                 "begin count := count + 1; Print('click ', IntToStr(Sender)); end;\n"
                 "procedure TForm1.FormKeyPress(Sender: TObject; var Key: string);\n"
                 "begin if Key = 'a' then Key := 'X'; end;\n"
                 "procedure TForm1.Lonely(A: integer);\n"
                 "begin count := 100; end;\n"
                 "begin end.") {
        Runner.KeepIdentifiers = true;
        Runner.CompileOnly = true;
        Runner.Execute();
        TScriptRuntime::Instance().PrintSink = [this](const std::string& text) { Printed.push_back(text); };
    }
    ~HalEventTest() override { TScriptRuntime::Instance().PrintSink = nullptr; }

    THalRuner Runner;
    std::vector<std::string> Printed;
    TScriptedUiServices Ui;
    TUiServicesScope Scope{Ui};
};

} // namespace

TEST_F(HalEventTest, TheHandlerOfACopiedFormRunsWithItsSender) {
    TTestObject button;
    THalEvent event(Runner, "Form1_2", "Button1Click");
    std::vector<TScriptValue> none;
    event.Fire(button.ScriptId(), none);
    event.Fire(button.ScriptId(), none);
    EXPECT_EQ(event.ProcedureName(), "TFORM1.BUTTON1CLICK");
    ASSERT_EQ(Printed.size(), 2u);
    EXPECT_EQ(Printed[0], "click " + std::to_string(button.ScriptId()));
    EXPECT_EQ(Runner.Program()->Register(Runner.Identifiers().at("COUNT").Number).IntField(), 2);
    EXPECT_TRUE(Ui.Messages().empty());
}

TEST_F(HalEventTest, ByReferenceArgumentsComeBack) {
    const TEventType* keyPress = FindEventType("TKeyPressEvent");
    ASSERT_NE(keyPress, nullptr);
    ASSERT_EQ(keyPress->Args.size(), 1u);
    EXPECT_TRUE(keyPress->Args[0].ByRef);
    THalEvent event(Runner, "Form1", "FormKeyPress");
    std::vector<TScriptValue> args{TScriptValue::FromString("a")};
    event.Fire(1, args, {true});
    EXPECT_EQ(args[0].StringRef(), "X");
}

TEST_F(HalEventTest, MissingParametersAreReportedAndTheProcedureStillRuns) {
    THalEvent event(Runner, "Form1", "Lonely");
    std::vector<TScriptValue> none;
    event.Fire(7, none);
    ASSERT_EQ(Ui.Messages().size(), 1u);
    EXPECT_EQ(Ui.Messages()[0], QStringLiteral("Parameter TFORM1.LONELY.SENDER not found"));
    EXPECT_EQ(Runner.Program()->Register(Runner.Identifiers().at("COUNT").Number).IntField(), 100);
}

TEST_F(HalEventTest, AMissingProcedureRaises) {
    THalEvent event(Runner, "Form1", "Nope");
    std::vector<TScriptValue> none;
    try {
        event.Fire(0, none);
        FAIL();
    } catch (const EScriptError& error) {
        EXPECT_STREQ(error.what(), "Procedure TFORM1.NOPE not found");
    }
}

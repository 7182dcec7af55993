// The injectable user-interface services: the scripted test double, the
// process-wide current instance, and the German Qt dialogs.
#include "platform/UiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(ScriptedUiServicesTest, AnswersAreConsumedInOrderAndMessagesNeedNone) {
    TScriptedUiServices ui;
    ui.Answer(TAnswer::Yes).EnterFloat(2.5).ChooseFile("/tmp/a.qld").Answer(TAnswer::Cancel);

    ui.MessageBox("unbekanntes Kommando", "Keldra", TMessageKind::Warning);
    EXPECT_EQ(ui.Question("Möchten Sie die Änderungen in  a.qld vor dem Beenden speichern?", "Keldra",
                          TQuestionButtons::YesNoCancel),
              TAnswer::Yes);
    double value = 1;
    EXPECT_TRUE(ui.InputFloat("Raster", "Rasterweite", value));
    EXPECT_EQ(value, 2.5);
    ui.MessageBox("falscher Parameter für diese Kommando", "Keldra", TMessageKind::Error);
    EXPECT_EQ(ui.OpenFileName("Öffnen", "Zeichnungen (*.qld)", "/tmp"), "/tmp/a.qld");
    EXPECT_EQ(ui.Question("Speichern?", "Keldra", TQuestionButtons::YesNoCancel), TAnswer::Cancel);

    EXPECT_EQ(ui.PendingAnswers(), 0u);
    EXPECT_EQ(ui.UnansweredCalls(), 0u);
    EXPECT_EQ(ui.Messages(), (std::vector<QString>{"unbekanntes Kommando", "falscher Parameter für diese Kommando"}));
    EXPECT_EQ(ui.Questions(),
              (std::vector<QString>{"Möchten Sie die Änderungen in  a.qld vor dem Beenden speichern?", "Speichern?"}));

    ASSERT_EQ(ui.Calls().size(), 6u);
    const TUiCall& message = ui.Calls()[0];
    EXPECT_EQ(message.Kind, TUiCallKind::Message);
    EXPECT_EQ(message.Caption, "Keldra");
    EXPECT_EQ(message.MessageKind, TMessageKind::Warning);
    const TUiCall& prompt = ui.Calls()[2];
    EXPECT_EQ(prompt.Kind, TUiCallKind::InputFloat);
    EXPECT_EQ(prompt.Caption, "Raster");
    EXPECT_EQ(prompt.Text, "Rasterweite");
    EXPECT_EQ(prompt.Detail, "1"); // the preset value shown
    const TUiCall& open = ui.Calls()[4];
    EXPECT_EQ(open.Kind, TUiCallKind::OpenFile);
    EXPECT_EQ(open.Text, "Zeichnungen (*.qld)");
    EXPECT_EQ(open.Detail, "/tmp");
}

TEST(ScriptedUiServicesTest, UnexpectedCallsGetTheNegativeAnswerAndAreRecorded) {
    TScriptedUiServices ui;
    EXPECT_EQ(ui.Question("q", "c", TQuestionButtons::YesNo), TAnswer::No);
    EXPECT_EQ(ui.Question("q", "c", TQuestionButtons::YesNoCancel), TAnswer::Cancel);
    QString text = "alt";
    EXPECT_FALSE(ui.InputText("New Layer", "Enter Name for The layer", text));
    EXPECT_EQ(text, "alt");
    double number = 4.25;
    EXPECT_FALSE(ui.InputFloat("c", "p", number));
    EXPECT_EQ(number, 4.25);
    int integer = 3;
    EXPECT_FALSE(ui.InputInteger("c", "p", integer));
    EXPECT_EQ(integer, 3);
    EXPECT_EQ(ui.OpenFileName("c", "f", "d"), QString());
    EXPECT_EQ(ui.SaveFileName("c", "f", "d"), QString());
    EXPECT_EQ(ui.BrowseForFolder("Select Plugins Directory"), QString());

    EXPECT_EQ(ui.UnansweredCalls(), 8u);
    EXPECT_EQ(ui.Calls()[2].Text, "Enter Name for The layer");
    EXPECT_EQ(ui.Calls()[2].Detail, "alt");
    EXPECT_EQ(ui.Calls()[7].Kind, TUiCallKind::BrowseFolder);
    EXPECT_EQ(ui.Calls()[7].Caption, "Select Plugins Directory");
}

TEST(ScriptedUiServicesTest, AnswerOfAnotherKindIsNotConsumed) {
    TScriptedUiServices ui;
    ui.EnterInteger(42);
    EXPECT_EQ(ui.Question("q", "c", TQuestionButtons::YesNo), TAnswer::No);
    EXPECT_EQ(ui.PendingAnswers(), 1u);
    EXPECT_EQ(ui.UnansweredCalls(), 1u);
    int value = 0;
    EXPECT_TRUE(ui.InputInteger("c", "p", value));
    EXPECT_EQ(value, 42);
}

TEST(ScriptedUiServicesTest, CancelAnswersEveryKindNegatively) {
    TScriptedUiServices ui;
    for (int i = 0; i < 8; ++i) ui.Cancel();
    EXPECT_EQ(ui.Question("q", "c", TQuestionButtons::YesNo), TAnswer::No);
    EXPECT_EQ(ui.Question("q", "c", TQuestionButtons::YesNoCancel), TAnswer::Cancel);
    QString text = "x";
    EXPECT_FALSE(ui.InputText("c", "p", text));
    double number = 1;
    EXPECT_FALSE(ui.InputFloat("c", "p", number));
    int integer = 1;
    EXPECT_FALSE(ui.InputInteger("c", "p", integer));
    EXPECT_EQ(ui.OpenFileName("c", "f", "d"), QString());
    EXPECT_EQ(ui.SaveFileName("c", "f", "d"), QString());
    EXPECT_EQ(ui.BrowseForFolder("t"), QString());
    EXPECT_EQ(text, "x");
    EXPECT_EQ(ui.PendingAnswers(), 0u);
    EXPECT_EQ(ui.UnansweredCalls(), 0u);
}

TEST(ScriptedUiServicesTest, CancelAnswerOnYesNoBoxReadsNo) {
    TScriptedUiServices ui;
    ui.Answer(TAnswer::Cancel).Answer(TAnswer::No).EnterText("Ebene 2").ChooseFolder("/srv/plugins");
    EXPECT_EQ(ui.Question("q", "c", TQuestionButtons::YesNo), TAnswer::No);
    EXPECT_EQ(ui.Question("q", "c", TQuestionButtons::YesNoCancel), TAnswer::No);
    QString name;
    EXPECT_TRUE(ui.InputText("New Layer", "Enter Name for The layer", name));
    EXPECT_EQ(name, "Ebene 2");
    EXPECT_EQ(ui.BrowseForFolder("Select Plugins Directory"), "/srv/plugins");
}

TEST(UiServicesInstanceTest, ScopeInstallsAndRestores) {
    EXPECT_NE(dynamic_cast<TQtUiServices*>(&UiServices()), nullptr);
    TScriptedUiServices outer;
    {
        TUiServicesScope outerScope(outer);
        EXPECT_EQ(&UiServices(), &outer);
        TScriptedUiServices inner;
        {
            TUiServicesScope innerScope(inner);
            UiServices().MessageBox("innen", "c", TMessageKind::Information);
        }
        EXPECT_EQ(&UiServices(), &outer);
        EXPECT_EQ(inner.Messages(), std::vector<QString>{"innen"});
        EXPECT_TRUE(outer.Calls().empty());
    }
    EXPECT_NE(dynamic_cast<TQtUiServices*>(&UiServices()), nullptr);
    EXPECT_EQ(SetUiServices(nullptr), nullptr);
}

TEST(UiFloatTest, CommaAndPointAreBothDecimalSeparators) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"2,75", true, 2.75}, {"2.75", true, 2.75}, {"-0,5", true, -0.5}, {" 12 ", true, 12},
        {",5", true, 0.5},    {"1e3", true, 1000},  {"1,2,3", false, 0}, {"1.2,3", false, 0},
        {"", false, 0},       {"   ", false, 0},    {"abc", false, 0},   {"1.000,5", false, 0},
        {"inf", false, 0},    {"nan", false, 0},    {"-", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = -99;
        EXPECT_EQ(ParseUiFloat(QString::fromUtf8(c.text), value), c.ok);
        EXPECT_DOUBLE_EQ(value, c.ok ? c.value : -99);
    }
    EXPECT_EQ(FormatUiFloat(2.75), "2,75");
    EXPECT_EQ(FormatUiFloat(12345.5), "12345,5");
}

// Runs `act` on the modal dialog as soon as it is shown; rejects any dialog
// still open after a while so a failing test cannot hang.
void WhenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start();
    QTimer::singleShot(5000, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
}

void ClickButton(QWidget* dialog, const QString& text) {
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (button->text() == text) {
            button->click();
            return;
        }
    ADD_FAILURE() << "no button " << text.toStdString();
    if (auto* d = qobject_cast<QDialog*>(dialog)) d->reject();
}

std::vector<QString> ButtonTexts(QWidget* dialog) {
    std::vector<QString> texts;
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (button->isVisible()) texts.push_back(button->text());
    std::sort(texts.begin(), texts.end());
    return texts;
}

TEST(QtUiServicesTest, QuestionShowsGermanButtons) {
    TQtUiServices ui;
    struct Case {
        TQuestionButtons buttons;
        const char* click;
        TAnswer expected;
        std::vector<QString> shown;
    };
    const Case cases[] = {
        {TQuestionButtons::YesNo, "Ja", TAnswer::Yes, {"Ja", "Nein"}},
        {TQuestionButtons::YesNo, "Nein", TAnswer::No, {"Ja", "Nein"}},
        {TQuestionButtons::YesNoCancel, "Abbrechen", TAnswer::Cancel, {"Abbrechen", "Ja", "Nein"}},
        {TQuestionButtons::YesNoCancel, "Nein", TAnswer::No, {"Abbrechen", "Ja", "Nein"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.click);
        std::vector<QString> shown;
        QString title, text;
        WhenModal([&](QWidget* dialog) {
            shown = ButtonTexts(dialog);
            title = dialog->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(dialog)) text = box->text();
            ClickButton(dialog, QString::fromUtf8(c.click));
        });
        EXPECT_EQ(ui.Question("Änderungen speichern?", "Keldra", c.buttons), c.expected);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(title, "Keldra");
        EXPECT_EQ(text, "Änderungen speichern?");
    }
}

TEST(QtUiServicesTest, EscapeOnYesNoQuestionAnswersNo) {
    TQtUiServices ui;
    WhenModal([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(ui.Question("q", "c", TQuestionButtons::YesNo), TAnswer::No);
}

TEST(QtUiServicesTest, MessageBoxHasOkButton) {
    TQtUiServices ui;
    std::vector<QString> shown;
    WhenModal([&](QWidget* dialog) {
        shown = ButtonTexts(dialog);
        ClickButton(dialog, "OK");
    });
    ui.MessageBox("kein gültiges Bildformat", "Keldra", TMessageKind::Error);
    EXPECT_EQ(shown, std::vector<QString>{"OK"});
}

TEST(QtUiServicesTest, FloatPromptTakesCommaAndPoint) {
    TQtUiServices ui;
    struct Case {
        const char* typed;
        bool ok;
        double value;
    };
    const Case cases[] = {{"2,75", true, 2.75}, {"2.75", true, 2.75}, {"", false, 1.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QString preset;
        WhenModal([&](QWidget* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>();
            ASSERT_NE(edit, nullptr);
            preset = edit->text();
            edit->setText(QString::fromUtf8(c.typed));
            ClickButton(dialog, "OK");
        });
        double value = 1.5;
        EXPECT_EQ(ui.InputFloat("Raster", "Rasterweite", value), c.ok);
        EXPECT_DOUBLE_EQ(value, c.value);
        EXPECT_EQ(preset, "1,5");
    }
}

TEST(QtUiServicesTest, FloatPromptRefusesASecondSeparator) {
    TQtUiServices ui;
    QString after;
    WhenModal([&](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->clear();
        for (const QChar ch : QStringLiteral("1,5.2"))
            edit->insert(ch); // the validator refuses the "."
        after = edit->text();
        ClickButton(dialog, "Abbrechen");
    });
    double value = 0;
    EXPECT_FALSE(ui.InputFloat("c", "p", value));
    EXPECT_EQ(after, "1,52");
}

TEST(QtUiServicesTest, TextAndIntegerPromptsReturnTheEnteredValue) {
    TQtUiServices ui;
    WhenModal([](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_NE(input, nullptr);
        input->setTextValue("Ebene 7");
        ClickButton(dialog, "OK");
    });
    QString name = "alt";
    EXPECT_TRUE(ui.InputText("New Layer", "Enter Name for The layer", name));
    EXPECT_EQ(name, "Ebene 7");

    WhenModal([](QWidget* dialog) { ClickButton(dialog, "Abbrechen"); });
    EXPECT_FALSE(ui.InputText("New Layer", "Enter Name for The layer", name));
    EXPECT_EQ(name, "Ebene 7");

    WhenModal([](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_NE(input, nullptr);
        input->setIntValue(-250);
        ClickButton(dialog, "OK");
    });
    int count = 3;
    EXPECT_TRUE(ui.InputInteger("Anzahl", "Kopien", count));
    EXPECT_EQ(count, -250);
}

} // namespace

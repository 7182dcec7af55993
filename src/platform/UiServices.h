#pragma once
// Message boxes, questions, input prompts and file dialogs.
//
// Every part of the program asks the user through the current TUiServices
// instance (UiServices()), never through Qt dialogs directly. The program
// uses TQtUiServices; tests install a TScriptedUiServices that answers from a
// script and records every call, so each German message and question can be
// checked without a window.

#include <QPointer>
#include <QString>
#include <deque>
#include <vector>

#include <QWidget>

enum class TMessageKind { Information, Warning, Error };
enum class TQuestionButtons { YesNo, YesNoCancel };
enum class TAnswer { Yes, No, Cancel };

class TUiServices {
public:
    TUiServices() = default;
    TUiServices(const TUiServices&) = delete;
    TUiServices& operator=(const TUiServices&) = delete;
    virtual ~TUiServices() = default;

    // A message with an "OK" button.
    virtual void MessageBox(const QString& text, const QString& caption, TMessageKind kind) = 0;
    // A question with "Ja"/"Nein" or "Ja"/"Nein"/"Abbrechen". Closing the box
    // answers No (YesNo) or Cancel (YesNoCancel).
    virtual TAnswer Question(const QString& text, const QString& caption, TQuestionButtons buttons) = 0;
    // Prompts for a value preset with `value`; true and the new value when
    // confirmed, false and `value` untouched when cancelled.
    virtual bool InputText(const QString& caption, const QString& prompt, QString& value) = 0;
    // Accepts the decimal comma as well as the point.
    virtual bool InputFloat(const QString& caption, const QString& prompt, double& value) = 0;
    virtual bool InputInteger(const QString& caption, const QString& prompt, int& value) = 0;
    // File dialogs; `filter` uses Qt's form ("Zeichnungen (*.qld);;Alle Dateien (*)").
    // The empty text means cancelled.
    virtual QString OpenFileName(const QString& caption, const QString& filter, const QString& dir) = 0;
    virtual QString SaveFileName(const QString& caption, const QString& filter, const QString& dir) = 0;
    // The folder picker; empty when cancelled.
    virtual QString BrowseForFolder(const QString& title) = 0;
};

// The services the program runs with: the current instance, or the Qt one
// when none is installed.
TUiServices& UiServices();
// Installs services (nullptr restores the Qt ones); returns the previously
// installed instance (nullptr when that was the default). The caller keeps
// ownership and must uninstall before destroying the instance.
TUiServices* SetUiServices(TUiServices* services);

// Installs services for the lifetime of the guard and restores the previous
// ones afterwards.
class TUiServicesScope {
public:
    explicit TUiServicesScope(TUiServices& services) : FPrevious(SetUiServices(&services)) {}
    ~TUiServicesScope() { SetUiServices(FPrevious); }
    TUiServicesScope(const TUiServicesScope&) = delete;
    TUiServicesScope& operator=(const TUiServicesScope&) = delete;

private:
    TUiServices* FPrevious;
};

// The real dialogs: QMessageBox, QInputDialog and QFileDialog with German
// button texts, owned by the owner widget (or the active window).
class TQtUiServices : public TUiServices {
public:
    void MessageBox(const QString& text, const QString& caption, TMessageKind kind) override;
    TAnswer Question(const QString& text, const QString& caption, TQuestionButtons buttons) override;
    bool InputText(const QString& caption, const QString& prompt, QString& value) override;
    bool InputFloat(const QString& caption, const QString& prompt, double& value) override;
    bool InputInteger(const QString& caption, const QString& prompt, int& value) override;
    QString OpenFileName(const QString& caption, const QString& filter, const QString& dir) override;
    QString SaveFileName(const QString& caption, const QString& filter, const QString& dir) override;
    QString BrowseForFolder(const QString& title) override;

    // The window that owns the dialogs (the main window); nullptr means the
    // application's active window.
    void SetOwner(QWidget* owner) { FOwner = owner; }

private:
    QWidget* Owner() const;
    QPointer<QWidget> FOwner;
};

// Reads a number typed with a decimal comma or point ("2,75", "2.75",
// "-0,5", "1e3"); false for anything else, including a second separator.
bool ParseUiFloat(const QString& text, double& value);
// The text the float prompt shows for a value (German decimal comma).
QString FormatUiFloat(double value);

enum class TUiCallKind {
    Message, Question, InputText, InputFloat, InputInteger, OpenFile, SaveFile, BrowseFolder
};

// One recorded call of the scripted services.
struct TUiCall {
    TUiCallKind Kind = TUiCallKind::Message;
    QString Caption;           // caption / window title (the folder picker's title)
    QString Text;              // message, question or prompt; the filter of a file dialog
    QString Detail;            // preset value of an input; start folder of a file dialog
    TMessageKind MessageKind = TMessageKind::Information;
    TQuestionButtons Buttons = TQuestionButtons::YesNo;
    bool Answered = false;     // false: no fitting scripted answer was queued
};

// Test services: answers come from a queue, consumed in order by the calls
// that need an answer (message boxes need none). A call without a fitting
// answer at the head of the queue is recorded as unanswered and gets the
// negative answer: No or Cancel, false, or the empty text.
class TScriptedUiServices : public TUiServices {
public:
    // Queueing answers.
    TScriptedUiServices& Answer(TAnswer answer);             // a Question
    TScriptedUiServices& EnterText(const QString& text);      // InputText
    TScriptedUiServices& EnterFloat(double value);            // InputFloat
    TScriptedUiServices& EnterInteger(int value);             // InputInteger
    TScriptedUiServices& ChooseFile(const QString& fileName); // OpenFileName or SaveFileName
    TScriptedUiServices& ChooseFolder(const QString& folder); // BrowseForFolder
    TScriptedUiServices& Cancel();                            // any prompt, dialog or question

    void MessageBox(const QString& text, const QString& caption, TMessageKind kind) override;
    TAnswer Question(const QString& text, const QString& caption, TQuestionButtons buttons) override;
    bool InputText(const QString& caption, const QString& prompt, QString& value) override;
    bool InputFloat(const QString& caption, const QString& prompt, double& value) override;
    bool InputInteger(const QString& caption, const QString& prompt, int& value) override;
    QString OpenFileName(const QString& caption, const QString& filter, const QString& dir) override;
    QString SaveFileName(const QString& caption, const QString& filter, const QString& dir) override;
    QString BrowseForFolder(const QString& title) override;

    const std::vector<TUiCall>& Calls() const { return FCalls; }
    // The texts of all message boxes, in order.
    std::vector<QString> Messages() const;
    // The texts of all questions, in order.
    std::vector<QString> Questions() const;
    std::size_t PendingAnswers() const { return FAnswers.size(); }
    std::size_t UnansweredCalls() const;
    void Reset();

private:
    enum class TScript { Answer, Text, Float, Integer, File, Folder, Cancel };
    struct TScripted {
        TScript Kind = TScript::Cancel;
        TAnswer Button = TAnswer::Cancel;
        QString Text;
        double Float = 0;
        int Integer = 0;
    };

    TScriptedUiServices& Push(TScripted answer);
    // Takes the head of the queue when it is of kind `wanted` or a Cancel.
    bool Take(TScript wanted, TScripted& answer);
    TUiCall& Record(TUiCallKind kind, const QString& caption, const QString& text, const QString& detail);

    std::deque<TScripted> FAnswers;
    std::vector<TUiCall> FCalls;
};

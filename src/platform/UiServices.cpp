#include "platform/UiServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <climits>
#include <cmath>

// ---------------------------------------------------------------------------
// The current instance

namespace {

TUiServices* gInstalled = nullptr;

TUiServices& DefaultServices() {
    static TQtUiServices services;
    return services;
}

} // namespace

TUiServices& UiServices() { return gInstalled ? *gInstalled : DefaultServices(); }

TUiServices* SetUiServices(TUiServices* services) {
    TUiServices* previous = gInstalled;
    gInstalled = services;
    return previous;
}

// ---------------------------------------------------------------------------
// Numbers typed by the user

bool ParseUiFloat(const QString& text, double& value) {
    QString number = text.trimmed();
    if (number.isEmpty()) return false;
    if (number.count(QLatin1Char(',')) + number.count(QLatin1Char('.')) > 1) return false;
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double parsed = QLocale::c().toDouble(number, &ok);
    if (!ok || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

QString FormatUiFloat(double value) {
    QLocale german(QLocale::German, QLocale::Germany);
    german.setNumberOptions(QLocale::OmitGroupSeparator);
    return german.toString(value, 'g', 15);
}

// ---------------------------------------------------------------------------
// Qt dialogs

QWidget* TQtUiServices::Owner() const {
    if (FOwner) return FOwner.data();
    return QApplication::activeWindow();
}

void TQtUiServices::MessageBox(const QString& text, const QString& caption, TMessageKind kind) {
    QMessageBox::Icon icon = QMessageBox::Information;
    if (kind == TMessageKind::Warning) icon = QMessageBox::Warning;
    if (kind == TMessageKind::Error) icon = QMessageBox::Critical;
    QMessageBox box(icon, caption, text, QMessageBox::Ok, Owner());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

TAnswer TQtUiServices::Question(const QString& text, const QString& caption, TQuestionButtons buttons) {
    const bool withCancel = buttons == TQuestionButtons::YesNoCancel;
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, Owner());
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    QPushButton* cancel = withCancel ? box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole) : nullptr;
    box.setDefaultButton(yes);
    box.setEscapeButton(withCancel ? cancel : no);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == yes) return TAnswer::Yes;
    if (clicked == no) return TAnswer::No;
    return withCancel ? TAnswer::Cancel : TAnswer::No;
}

namespace {

void GermanButtons(QInputDialog& dialog) {
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
}

} // namespace

bool TQtUiServices::InputText(const QString& caption, const QString& prompt, QString& value) {
    QInputDialog dialog(Owner());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    GermanButtons(dialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    value = dialog.textValue();
    return true;
}

bool TQtUiServices::InputFloat(const QString& caption, const QString& prompt, double& value) {
    // A text prompt rather than a spin box, so that both "2,75" and "2.75" are taken.
    QInputDialog dialog(Owner());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(FormatUiFloat(value));
    GermanButtons(dialog);
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        static const QRegularExpression pattern(QStringLiteral("[+-]?[0-9]*([.,][0-9]*)?([eE][+-]?[0-9]*)?"));
        edit->setValidator(new QRegularExpressionValidator(pattern, edit));
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    return ParseUiFloat(dialog.textValue(), value);
}

bool TQtUiServices::InputInteger(const QString& caption, const QString& prompt, int& value) {
    QInputDialog dialog(Owner());
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setIntRange(INT_MIN, INT_MAX);
    dialog.setIntValue(value);
    GermanButtons(dialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    value = dialog.intValue();
    return true;
}

QString TQtUiServices::OpenFileName(const QString& caption, const QString& filter, const QString& dir) {
    return QFileDialog::getOpenFileName(Owner(), caption, dir, filter);
}

QString TQtUiServices::SaveFileName(const QString& caption, const QString& filter, const QString& dir) {
    return QFileDialog::getSaveFileName(Owner(), caption, dir, filter);
}

QString TQtUiServices::BrowseForFolder(const QString& title) {
    return QFileDialog::getExistingDirectory(Owner(), title);
}

// ---------------------------------------------------------------------------
// Scripted services for tests

TScriptedUiServices& TScriptedUiServices::Push(TScripted answer) {
    FAnswers.push_back(std::move(answer));
    return *this;
}

TScriptedUiServices& TScriptedUiServices::Answer(TAnswer answer) {
    TScripted s;
    s.Kind = TScript::Answer;
    s.Button = answer;
    return Push(s);
}

TScriptedUiServices& TScriptedUiServices::EnterText(const QString& text) {
    TScripted s;
    s.Kind = TScript::Text;
    s.Text = text;
    return Push(s);
}

TScriptedUiServices& TScriptedUiServices::EnterFloat(double value) {
    TScripted s;
    s.Kind = TScript::Float;
    s.Float = value;
    return Push(s);
}

TScriptedUiServices& TScriptedUiServices::EnterInteger(int value) {
    TScripted s;
    s.Kind = TScript::Integer;
    s.Integer = value;
    return Push(s);
}

TScriptedUiServices& TScriptedUiServices::ChooseFile(const QString& fileName) {
    TScripted s;
    s.Kind = TScript::File;
    s.Text = fileName;
    return Push(s);
}

TScriptedUiServices& TScriptedUiServices::ChooseFolder(const QString& folder) {
    TScripted s;
    s.Kind = TScript::Folder;
    s.Text = folder;
    return Push(s);
}

TScriptedUiServices& TScriptedUiServices::Cancel() { return Push(TScripted{}); }

bool TScriptedUiServices::Take(TScript wanted, TScripted& answer) {
    if (FAnswers.empty()) return false;
    const TScript head = FAnswers.front().Kind;
    if (head != wanted && head != TScript::Cancel) return false;
    answer = std::move(FAnswers.front());
    FAnswers.pop_front();
    return true;
}

TUiCall& TScriptedUiServices::Record(TUiCallKind kind, const QString& caption, const QString& text,
                                     const QString& detail) {
    TUiCall call;
    call.Kind = kind;
    call.Caption = caption;
    call.Text = text;
    call.Detail = detail;
    FCalls.push_back(std::move(call));
    return FCalls.back();
}

void TScriptedUiServices::MessageBox(const QString& text, const QString& caption, TMessageKind kind) {
    TUiCall& call = Record(TUiCallKind::Message, caption, text, QString());
    call.MessageKind = kind;
    call.Answered = true; // nothing to answer
}

TAnswer TScriptedUiServices::Question(const QString& text, const QString& caption, TQuestionButtons buttons) {
    TUiCall& call = Record(TUiCallKind::Question, caption, text, QString());
    call.Buttons = buttons;
    const TAnswer negative = buttons == TQuestionButtons::YesNoCancel ? TAnswer::Cancel : TAnswer::No;
    TScripted answer;
    if (!Take(TScript::Answer, answer)) return negative;
    call.Answered = true;
    if (answer.Kind == TScript::Cancel) return negative;
    // A box without "Abbrechen" cannot answer Cancel.
    if (answer.Button == TAnswer::Cancel && buttons == TQuestionButtons::YesNo) return TAnswer::No;
    return answer.Button;
}

bool TScriptedUiServices::InputText(const QString& caption, const QString& prompt, QString& value) {
    TUiCall& call = Record(TUiCallKind::InputText, caption, prompt, value);
    TScripted answer;
    if (!Take(TScript::Text, answer)) return false;
    call.Answered = true;
    if (answer.Kind == TScript::Cancel) return false;
    value = answer.Text;
    return true;
}

bool TScriptedUiServices::InputFloat(const QString& caption, const QString& prompt, double& value) {
    TUiCall& call = Record(TUiCallKind::InputFloat, caption, prompt, FormatUiFloat(value));
    TScripted answer;
    if (!Take(TScript::Float, answer)) return false;
    call.Answered = true;
    if (answer.Kind == TScript::Cancel) return false;
    value = answer.Float;
    return true;
}

bool TScriptedUiServices::InputInteger(const QString& caption, const QString& prompt, int& value) {
    TUiCall& call = Record(TUiCallKind::InputInteger, caption, prompt, QString::number(value));
    TScripted answer;
    if (!Take(TScript::Integer, answer)) return false;
    call.Answered = true;
    if (answer.Kind == TScript::Cancel) return false;
    value = answer.Integer;
    return true;
}

QString TScriptedUiServices::OpenFileName(const QString& caption, const QString& filter, const QString& dir) {
    TUiCall& call = Record(TUiCallKind::OpenFile, caption, filter, dir);
    TScripted answer;
    if (!Take(TScript::File, answer)) return QString();
    call.Answered = true;
    return answer.Kind == TScript::Cancel ? QString() : answer.Text;
}

QString TScriptedUiServices::SaveFileName(const QString& caption, const QString& filter, const QString& dir) {
    TUiCall& call = Record(TUiCallKind::SaveFile, caption, filter, dir);
    TScripted answer;
    if (!Take(TScript::File, answer)) return QString();
    call.Answered = true;
    return answer.Kind == TScript::Cancel ? QString() : answer.Text;
}

QString TScriptedUiServices::BrowseForFolder(const QString& title) {
    TUiCall& call = Record(TUiCallKind::BrowseFolder, title, QString(), QString());
    TScripted answer;
    if (!Take(TScript::Folder, answer)) return QString();
    call.Answered = true;
    return answer.Kind == TScript::Cancel ? QString() : answer.Text;
}

std::vector<QString> TScriptedUiServices::Messages() const {
    std::vector<QString> texts;
    for (const TUiCall& call : FCalls)
        if (call.Kind == TUiCallKind::Message) texts.push_back(call.Text);
    return texts;
}

std::vector<QString> TScriptedUiServices::Questions() const {
    std::vector<QString> texts;
    for (const TUiCall& call : FCalls)
        if (call.Kind == TUiCallKind::Question) texts.push_back(call.Text);
    return texts;
}

std::size_t TScriptedUiServices::UnansweredCalls() const {
    std::size_t count = 0;
    for (const TUiCall& call : FCalls)
        if (!call.Answered) ++count;
    return count;
}

void TScriptedUiServices::Reset() {
    FAnswers.clear();
    FCalls.clear();
}

#include "app/MessageArea.h"

#include "platform/Cp1252.h"
#include "script/Runtime.h"

#include <QPlainTextEdit>

TMessageArea::TMessageArea(QWidget* parent) : QDockWidget(QStringLiteral("Meldungen"), parent) {
    setObjectName(QStringLiteral("MessageArea"));
    FText = new QPlainTextEdit(this);
    FText->setReadOnly(true);
    FText->setMaximumBlockCount(5000);
    setWidget(FText);
    hide();
    // The program's window takes the macros' output while it exists.
    TScriptRuntime& runtime = TScriptRuntime::Instance();
    runtime.PrintSink = [this](const std::string& text) { AddLine(Cp1252::Decode(text)); };
    runtime.ErrorSink = [this](const std::string& text) { AddError(Cp1252::Decode(text)); };
}

TMessageArea::~TMessageArea() {
    TScriptRuntime& runtime = TScriptRuntime::Instance();
    runtime.PrintSink = nullptr;
    runtime.ErrorSink = nullptr;
}

void TMessageArea::AddLine(const QString& text) {
    FText->appendPlainText(text);
    show();
}

void TMessageArea::AddError(const QString& text) {
    FText->appendHtml(QStringLiteral("<span style=\"color:#b00000\">%1</span>").arg(text.toHtmlEscaped()));
    show();
}

QString TMessageArea::Text() const {
    return FText->toPlainText();
}

#pragma once
// The message area at the bottom of the main window: the lines macros print
// (Print) and their errors (PrintError, compile and run-time errors). It
// shows itself when a line arrives.

#include <QDockWidget>

class QPlainTextEdit;

class TMessageArea : public QDockWidget {
public:
    explicit TMessageArea(QWidget* parent = nullptr);
    ~TMessageArea() override;

    void AddLine(const QString& text);
    void AddError(const QString& text);
    QString Text() const;

private:
    QPlainTextEdit* FText;
};

#pragma once
// The program's main window: one drawing control named "Vexal1" filling the
// window, the file name in the title, a file menu and a view menu whose keys
// zoom (+, −, 0, Ctrl+1) and scroll (Bild↑/↓, Strg+Bild↑/↓). The wheel is
// the surface's own.

#include <QMainWindow>
#include <QString>

class TVXDrawing;

class TMainWindow : public QMainWindow {
public:
    explicit TMainWindow(QWidget* parent = nullptr);
    ~TMainWindow() override;

    TVXDrawing& Drawing() const { return *FDrawing; }

    // Loads a drawing; on failure shows the message and returns false (the
    // window then shows an empty drawing).
    bool OpenFile(const QString& path);
    // Saves to the current file name; false with a message on failure.
    bool SaveFile(const QString& path);

    // Scrolls by `pages` visible pages, vertically or horizontally.
    void ScrollPages(int pages, bool vertical);

    // "quellin – NAME.qld" or "quellin – Unbenannt".
    void UpdateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void OpenWithDialog();
    void SaveCurrent();

    TVXDrawing* FDrawing = nullptr;
};

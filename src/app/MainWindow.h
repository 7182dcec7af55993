#pragma once
// The program's main window: one drawing control named "Vexal1" filling the
// window, the file name in the title, a file menu and a view menu whose keys
// zoom (+, −, 0, Ctrl+1) and scroll (Bild↑/↓, Strg+Bild↑/↓). The wheel is
// the surface's own.

#include <QMainWindow>
#include <QString>

class TMessageArea;
class TVXDrawing;

class TMainWindow : public QMainWindow {
public:
    explicit TMainWindow(QWidget* parent = nullptr);
    ~TMainWindow() override;

    TVXDrawing& Drawing() const { return *FDrawing; }

    // Loads a drawing. A file that is no drawing or cannot be read shows the
    // message and returns false; the window keeps its drawing, name and
    // modified flag. A damaged drawing loads what could be read, warns and
    // returns true; the drawing is then unnamed and modified, so that saving
    // asks for a name instead of overwriting the damaged file.
    bool OpenFile(const QString& path);
    // Saves under `path` and takes it as the drawing's name. A failure shows
    // the message and returns false; the name and the modified flag stay.
    bool SaveFile(const QString& path);

    // The file menu's commands: Öffnen asks for a drawing and opens it;
    // Speichern saves under the drawing's name, or asks for one like
    // Speichern unter when it has none. False when cancelled or failed.
    bool OpenWithDialog();
    // Unsaved changes: asks (the text takes the drawing's name as %1) and
    // saves if wanted. False when the user cancels or the save fails.
    bool SettleChanges(const QString& questionTemplate);
    bool SaveCurrent();
    bool SaveAs();

    // Scrolls by `pages` visible pages, vertically or horizontally.
    void ScrollPages(int pages, bool vertical);

    // Extras → "Makro ausführen…": asks for a macro file and runs it; Print
    // and errors go to the message area. False when cancelled or failed.
    bool RunMacroWithDialog();
    bool RunMacro(const QString& path);
    TMessageArea& Messages() const { return *FMessages; }

    // "quellin – NAME.qld" or "quellin – Unbenannt".
    void UpdateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();

    TVXDrawing* FDrawing = nullptr;
    TMessageArea* FMessages = nullptr;
};

#pragma once
// The pop-up menu a figure adds its own entries to; the user interface
// supplies the real menu, tests a recording one.

#include <QString>

class TPopupMenuBuilder {
public:
    virtual ~TPopupMenuBuilder() = default;
    // An empty caption adds a separator.
    virtual void AddItem(const QString& caption, int tag, bool checked = false, bool enabled = true) = 0;
    // Items between these two calls go into a sub-menu with the caption. A
    // builder without sub-menus shows the caption as a disabled heading.
    virtual void BeginSubMenu(const QString& caption) { AddItem(caption, -1, false, false); }
    virtual void EndSubMenu() {}
};

#pragma once
// The menus "Ändern" and "Anordnen" of the main window: undo and redo,
// deleting and selecting, grouping, order, alignment and the polyline and
// arc changes of the selection. Each action is named "cmdNN" after its
// command number.

class QMenuBar;
class QWidget;
class TVXDrawing;

void BuildEditMenus(QMenuBar& bar, QWidget& owner, TVXDrawing& drawing);

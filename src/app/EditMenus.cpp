#include "app/EditMenus.h"

#include "document/VXDrawing.h"
#include "model/Enums.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <functional>

namespace {

struct TMenuCommand {
    int Number;
    const char* Caption;
    std::function<void(TVXDrawing&)> Run;
    QKeySequence Keys = {};
};

QAction* AddCommand(QMenu& menu, QWidget& owner, TVXDrawing& drawing, const TMenuCommand& command) {
    QAction* action = menu.addAction(QString::fromUtf8(command.Caption));
    action->setObjectName(QStringLiteral("cmd%1").arg(command.Number));
    if (!command.Keys.isEmpty()) {
        action->setShortcut(command.Keys);
        // The surface keeps its own keys while it has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
    }
    auto run = command.Run;
    QObject::connect(action, &QAction::triggered, &owner, [&drawing, run] { run(drawing); });
    return action;
}

void AddCommands(QMenu& menu, QWidget& owner, TVXDrawing& drawing,
                 std::initializer_list<TMenuCommand> commands) {
    for (const TMenuCommand& command : commands) {
        if (command.Number == 0)
            menu.addSeparator();
        else
            AddCommand(menu, owner, drawing, command);
    }
}

const TMenuCommand kSeparator{0, "", {}};

} // namespace

void BuildEditMenus(QMenuBar& bar, QWidget& owner, TVXDrawing& drawing) {
    QMenu* edit = bar.addMenu(QStringLiteral("Ä&ndern"));
    AddCommands(
        *edit, owner, drawing,
        {
            {21, "Rückgängig", [](TVXDrawing& d) { d.UnDo(); }, QKeySequence::Undo},
            {22, "Wiederrufen", [](TVXDrawing& d) { d.ReDo(); }, QKeySequence(Qt::CTRL | Qt::Key_Y)},
            kSeparator,
            {26, "Löschen", [](TVXDrawing& d) { d.RemoveSelection(); }, QKeySequence::Delete},
            kSeparator,
            {112, "alles selektieren", [](TVXDrawing& d) { d.SelectAll(0); }, QKeySequence::SelectAll},
            {113, "Auswahl aufheben", [](TVXDrawing& d) { d.DeselectAll(0); }},
            {114, "Selektion umkehren", [](TVXDrawing& d) { d.InvertSelection(); }},
        });
    QAction* undo = edit->findChild<QAction*>(QStringLiteral("cmd21"));
    QAction* redo = edit->findChild<QAction*>(QStringLiteral("cmd22"));
    QObject::connect(edit, &QMenu::aboutToShow, &owner, [&drawing, undo, redo] {
        undo->setEnabled(drawing.CanUndo());
        redo->setEnabled(drawing.CanRedo());
    });

    QMenu* arrange = bar.addMenu(QStringLiteral("An&ordnen"));
    AddCommands(
        *arrange, owner, drawing,
        {
            {38, "gruppieren", [](TVXDrawing& d) { d.GroupSelection(); }, QKeySequence(Qt::CTRL | Qt::Key_G)},
            {39, "Gruppe aufheben", [](TVXDrawing& d) { d.UngroupSelection(); },
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)},
            {190, "zu Bezier konvertieren", [](TVXDrawing& d) { d.ConvertSelectionToBezier(); }},
            {193, "InterBreak", [](TVXDrawing& d) { d.InterBreakSelection(); }},
        });
    QMenu* order = arrange->addMenu(QStringLiteral("Order"));
    AddCommands(*order, owner, drawing,
                {
                    {40, "nach vorne setzen", [](TVXDrawing& d) { d.OrderSelection(1); }},
                    {41, "nach hinten setzen", [](TVXDrawing& d) { d.OrderSelection(0); }},
                    {42, "eine Ebene höher", [](TVXDrawing& d) { d.OrderSelection(3); }},
                    {43, "eine Ebene tiefer", [](TVXDrawing& d) { d.OrderSelection(2); }},
                });
    QMenu* align = arrange->addMenu(QStringLiteral("Ausrichtung"));
    AddCommands(*align, owner, drawing,
                {
                    {60, "Ausrichtung oben", [](TVXDrawing& d) { d.AlignSelection(1, 0); }},
                    {61, "Ausrichtung unten", [](TVXDrawing& d) { d.AlignSelection(2, 0); }},
                    {65, "Ausrichtung X center", [](TVXDrawing& d) { d.AlignSelection(0, 3); }},
                    {66, "Distribute X Centers", [](TVXDrawing& d) { d.AlignSelection(4, 0); }},
                    kSeparator,
                    {63, "Ausrichtung links", [](TVXDrawing& d) { d.AlignSelection(0, 1); }},
                    {64, "Ausrichtung rechts", [](TVXDrawing& d) { d.AlignSelection(0, 2); }},
                    {62, "Ausrichtung Y Center", [](TVXDrawing& d) { d.AlignSelection(3, 0); }},
                    {67, "Distrubute Y Center", [](TVXDrawing& d) { d.AlignSelection(0, 4); }},
                });
    AddCommands(*arrange, owner, drawing,
                {
                    kSeparator,
                    {44, "Bogenauschnitt umkehren", [](TVXDrawing& d) { d.InvertArcsOfSelection(); }},
                    kSeparator,
                    {53, "zu einer Polyline zusammenfügen", [](TVXDrawing& d) { d.WeldIntoPolyline(); }},
                    {54, "alle Segmente linear", [](TVXDrawing& d) { d.ConvertPLToPolyline(); }},
                    {55, "alle Segmente runden", [](TVXDrawing& d) { d.ConvertPLToBezier(); }},
                });
}

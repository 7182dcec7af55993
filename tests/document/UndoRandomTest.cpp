// Random editing with random undo and redo: every undo and redo must give
// back exactly the drawing of that point of the history, and the figures
// the history keeps out of the drawing must all be let go at the end.
#include "DocumentFixture.h"
#include "UndoTestSupport.h"

#include "model/Group.h"

#include <numbers>
#include <random>

namespace {

class UndoRandomTest : public DocumentTest {
protected:
    std::mt19937 Rng{20261210u};

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Rng); }
    double Coord() { return std::uniform_int_distribution<int>(-50, 250)(Rng) / 2.0; }

    void Seed() {
        // A small surface paints fast.
        Doc.resize(160, 120);
        Doc.ReLocate();
        Doc.NewLayer(QStringLiteral("Zwei"));
        for (int i = 0; i < 6; ++i) AddLine(i % 2, Coord(), Coord(), Coord(), Coord());
        for (int i = 0; i < 3; ++i)
            AddPolyline(0, {DoublePoint(Coord(), Coord()), DoublePoint(Coord(), Coord()), DoublePoint(Coord(), Coord())});
        Doc.DrawCircle(1, Coord(), Coord(), 5, 1, 0, 0, 1, 0, false);
        Doc.Arc(0, Coord(), Coord(), 8, 0.3, 2.0, 1, 0, 0, 1, 0, 0, false);
        Doc.Rectangle(0, Coord(), Coord(), Coord(), Coord(), 1, 0, 0, 1, 0, false);
        Doc.TextOut(0, Coord(), Coord(), 0, 5, 0, QStringLiteral("Maß"), QStringLiteral("Arial"), 1, 0, false);
        Doc.Vertex(1, Coord(), Coord(), false);
    }

    void ChangeSelection() {
        const int n = Doc.FigureCount();
        if (n == 0) return;
        if (Pick(2) == 0) Doc.DeselectAll(0);
        const int picks = 1 + Pick(3);
        for (int i = 0; i < picks; ++i) {
            TFigure* figure = Doc.GetFigure(Pick(n));
            if (figure->FSelected)
                Doc.DeSelectFigure(figure);
            else
                Doc.SelectFigure(figure);
        }
        Doc.RefreshSelection();
    }

    std::string Trace;

    // Painting lays texts out and puts arc ends where their angles say, which
    // may change records in the last bit: states are compared painted.
    // A group's corners are a cache of its members' box that may lag a
    // member's last-bit change; they are brought up to date as well.
    TDrawingSnapshot Settled() {
        Doc.Draw();
        for (int i = 0; i < Doc.FigureCount(); ++i)
            if (auto* group = dynamic_cast<TFigureGrp*>(Doc.GetFigure(i))) group->RecalcBounds();
        return Snapshot(Doc);
    }

    void Edit() {
        const TDoublePoint centre = DoublePoint(Coord(), Coord());
        const int op = Pick(26);
        Trace += " " + std::to_string(op);
        switch (op) {
        case 0: Doc.MoveSelection(Coord() / 4, Coord() / 4); break;
        case 1: Doc.RemoveSelection(); break;
        case 2: Doc.GroupSelection(); break;
        case 3: Doc.UngroupSelection(); break;
        case 4: Doc.OrderSelection(Pick(4)); break;
        case 5: Doc.AlignSelection(Pick(5), Pick(5)); break;
        case 6: Doc.ModifyPenColor(static_cast<TColor>(Pick(0xFFFFFF))); break;
        case 7: Doc.ModifyPenWidth(1 + Pick(5)); break;
        case 8: Doc.ModifyBrushColor(static_cast<TColor>(Pick(0xFFFFFF))); break;
        case 9: Doc.ModifyPenStyle(static_cast<TPenStyle>(Pick(4))); break;
        case 10: Doc.ModifyFontBold(Pick(2) == 0); break;
        case 11: Doc.ModifyFontName(Pick(2) ? QStringLiteral("Courier") : QStringLiteral("Arial")); break;
        case 12: Doc.RotateSelection(centre, Pick(8) * std::numbers::pi / 4); break;
        case 13: Doc.MirrorSelection(centre, DoublePoint(Coord(), Coord()), Pick(2) == 0); break;
        case 14: Doc.DuplicateSelection(Coord() / 8, Coord() / 8); break;
        case 15: Doc.ArrayRectSelection(1 + Pick(2), 1 + Pick(2), 7, 9); break;
        case 16: Doc.ArrayPolarSelection(centre, std::numbers::pi / (1 + Pick(2))); break;
        case 17: Doc.AddDimensionsToSelection(); break;
        case 18: Doc.RemoveDimensionsOfSelection(); break;
        case 19: Doc.InvertArcsOfSelection(); break;
        case 20: Doc.ConvertPLToBezier(); break;
        case 21: Doc.ConvertPLToPolyline(); break;
        case 22: Pick(2) ? Doc.CloseSelectedPolyline() : Doc.OpenSelectedPolyline(); break;
        case 23: AddLine(Pick(2), Coord(), Coord(), Coord(), Coord(), 0, Pick(2) == 0); break;
        case 24: Doc.ModifyFontColor(static_cast<TColor>(Pick(0xFFFFFF))); break;
        default: Doc.ModifyRowStyle(static_cast<TRowStyle>(Pick(3))); break;
        }
    }
};

TEST_F(UndoRandomTest, UndoAndRedoGiveBackEveryStateOfTheHistory) {
    Doc.SetUndoCount(0);
    Seed();
    Doc.ClearUndoList();
    // states[k]: the drawing after k steps of the history; position: where we are.
    std::vector<TDrawingSnapshot> states{Settled()};
    std::size_t position = 0;
    int undos = 0, redos = 0, edits = 0;
    for (int round = 0; round < 2500; ++round) {
        const int what = Pick(10);
        if (what < 2 && position > 0) {
            Doc.UnDo();
            Trace += " u";
            --position;
            ++undos;
            ASSERT_EQ(Settled(), states[position]) << "undo in round " << round << ": " << SnapshotDiff(Settled(), states[position]) << Trace;
        } else if (what < 3 && position + 1 < states.size()) {
            Doc.ReDo();
            Trace += " r";
            ++position;
            ++redos;
            ASSERT_EQ(Settled(), states[position]) << "redo in round " << round << ": " << SnapshotDiff(Settled(), states[position]) << Trace;
        } else if (what < 5) {
            ChangeSelection();
        } else {
            if (Doc.FigureCount() > 50) {
                // Keeps the drawing small: delete a good part of it.
                for (int i = 0; i < Doc.FigureCount(); i += 2) Doc.SelectFigure(Doc.GetFigure(i));
                Doc.RefreshSelection();
            }
            const TDrawingSnapshot before = Settled();
            ASSERT_EQ(before, states[position]) << SnapshotDiff(before, states[position]) << Trace;
            const int count = Doc.UndoStepCount();
            const int undone = Doc.UndoPosition();
            if (Doc.FigureCount() > 50)
                Doc.RemoveSelection();
            else
                Edit();
            ++edits;
            const bool recorded = Doc.UndoPosition() == 0 && Doc.UndoStepCount() == count - undone + 1;
            if (!recorded) {
                ASSERT_EQ(Doc.UndoStepCount(), count) << "round " << round;
                ASSERT_EQ(Settled(), before) << "unrecorded change in round " << round << ": " << SnapshotDiff(Settled(), before) << Trace;
                continue;
            }
            states.resize(position + 1);
            states.push_back(Settled());
            ++position;
            ASSERT_EQ(static_cast<std::size_t>(Doc.UndoStepCount()), states.size() - 1);
        }
        ASSERT_EQ(static_cast<std::size_t>(Doc.UndoPosition()), states.size() - 1 - position);
    }
    EXPECT_GT(undos, 200);
    EXPECT_GT(redos, 50);
    EXPECT_GT(edits, 800);
    // Back to the start and forward to the end once more.
    while (Doc.CanUndo()) Doc.UnDo();
    EXPECT_EQ(Settled(), states.front());
    while (Doc.CanRedo()) Doc.ReDo();
    EXPECT_EQ(Settled(), states[states.size() - 1]);
    Doc.ClearUndoList();
    EXPECT_EQ(Doc.HeldFigureCount(), 0);
}

TEST_F(UndoRandomTest, ABoundedHistoryFreesWhatItDrops) {
    Doc.SetUndoCount(5);
    Seed();
    for (int round = 0; round < 1500; ++round) {
        switch (Pick(6)) {
        case 0: Doc.UnDo(); break;
        case 1: Doc.ReDo(); break;
        case 2: ChangeSelection(); break;
        default:
            if (Doc.FigureCount() > 50) {
                Doc.SelectAll(0);
                Doc.RemoveSelection();
            } else {
                Edit();
            }
            break;
        }
        ASSERT_LE(Doc.UndoStepCount(), 5);
    }
    Doc.ClearUndoList();
    EXPECT_EQ(Doc.HeldFigureCount(), 0);
}

} // namespace

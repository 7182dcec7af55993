#include "DocumentFixture.h"
#include "UndoTestSupport.h"

#include "model/Group.h"
#include "platform/UiServices.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace {
TFigure* AsFigure(std::intptr_t handle) {
    return reinterpret_cast<TFigure*>(handle);
}

struct TEditCase {
    const char* Name;
    int Lines;                  // lines i: (10i, 2i) – (10i + 5, 2i + 3), on layer i % 2
    std::vector<int> Selected;  // indexes selected before the operation
    std::function<void(TVXDrawing&)> Operation;
    // Checks the result; gets the figures as they were before.
    std::function<void(TVXDrawing&, const std::vector<TFigure*>&)> Check;
    bool Records = true;
    std::function<void(TVXDrawing&)> Prepare = nullptr; // before the snapshot, not recorded
};

void PrintTo(const TEditCase& edit, std::ostream* out) {
    *out << edit.Name;
}

void ExpectAt(const TVXDrawing& doc, const std::vector<TFigure*>& before, std::vector<int> order) {
    ASSERT_EQ(doc.FigureCount(), static_cast<int>(order.size()));
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(doc.GetFigure(static_cast<int>(i)), before[static_cast<std::size_t>(order[i])]) << "index " << i;
}

class EditingCases : public DocumentTest, public ::testing::WithParamInterface<TEditCase> {};

TEST_P(EditingCases, DoesItsWorkAndUndoesIt) {
    const TEditCase& edit = GetParam();
    Doc.NewLayer(QStringLiteral("A"));
    std::vector<TFigure*> figures;
    for (int i = 0; i < edit.Lines; ++i)
        figures.push_back(AddLine(i % 2, 10.0 * i, 2.0 * i, 10.0 * i + 5, 2.0 * i + 3));
    Doc.DeselectAll(0);
    for (int index : edit.Selected) Doc.SelectFigure(figures[static_cast<std::size_t>(index)]);
    Doc.RefreshSelection();
    if (edit.Prepare) edit.Prepare(Doc);
    Doc.ClearUndoList();
    const TDrawingSnapshot before = Snapshot(Doc);

    edit.Operation(Doc);
    edit.Check(Doc, figures);
    EXPECT_EQ(Doc.UndoStepCount(), edit.Records ? 1 : 0);
    const TDrawingSnapshot after = Snapshot(Doc);

    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before);
    Doc.ReDo();
    EXPECT_EQ(Snapshot(Doc), after);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before);
    Doc.ClearUndoList();
    EXPECT_EQ(Doc.HeldFigureCount(), 0);
}

const TEditCase kCases[] = {
    {"OrderToBack", 6, {3, 5}, [](TVXDrawing& d) { d.OrderSelection(0); },
     [](TVXDrawing& d, const std::vector<TFigure*>& f) { ExpectAt(d, f, {3, 5, 0, 1, 2, 4}); }},
    {"OrderToFront", 6, {3, 5}, [](TVXDrawing& d) { d.OrderSelection(1); },
     [](TVXDrawing& d, const std::vector<TFigure*>& f) { ExpectAt(d, f, {0, 1, 2, 4, 3, 5}); }},
    {"OrderOneBack", 6, {0, 3, 4}, [](TVXDrawing& d) { d.OrderSelection(2); },
     [](TVXDrawing& d, const std::vector<TFigure*>& f) { ExpectAt(d, f, {0, 1, 3, 4, 2, 5}); }},
    {"OrderOneForward", 6, {3, 5}, [](TVXDrawing& d) { d.OrderSelection(3); },
     [](TVXDrawing& d, const std::vector<TFigure*>& f) { ExpectAt(d, f, {0, 1, 2, 4, 3, 5}); }},
    {"GroupTwoOfFive", 5, {1, 3},
     [](TVXDrawing& d) { d.GroupSelection(); },
     [](TVXDrawing& d, const std::vector<TFigure*>& f) {
         ASSERT_EQ(d.FigureCount(), 4);
         EXPECT_EQ(d.GetFigure(0), f[0]);
         EXPECT_EQ(d.GetFigure(1), f[2]);
         auto* group = dynamic_cast<TFigureGrp*>(d.GetFigure(2));
         ASSERT_NE(group, nullptr);
         EXPECT_EQ(d.GetFigure(3), f[4]);
         EXPECT_EQ(group->FLayer, f[1]->FLayer);
         ASSERT_EQ(group->Count(), 2);
         EXPECT_EQ(group->Member(0), f[1]);
         EXPECT_EQ(group->Member(1), f[3]);
     }},
    {"AlignLeftAndTop", 3, {0, 1, 2}, [](TVXDrawing& d) { d.AlignSelection(1, 1); },
     [](TVXDrawing&, const std::vector<TFigure*>& f) {
         // The drawing's zero is at the bottom: top is the larger y.
         for (TFigure* figure : f) {
             double maxX = 0, maxY = 0, minX = 0, minY = 0;
             figure->GetBounds(maxX, maxY, minX, minY);
             EXPECT_DOUBLE_EQ(minX, 0);
             EXPECT_DOUBLE_EQ(maxY, 3);
         }
     }},
    {"DistributeHorizontally", 4, {0, 1, 2, 3},
     [](TVXDrawing& d) { d.AlignSelection(4, 0); },
     [](TVXDrawing&, const std::vector<TFigure*>& f) {
         // Centres 2.5 … 32.5 in four slots of 10 mm.
         for (int i = 0; i < 4; ++i) {
             double maxX = 0, maxY = 0, minX = 0, minY = 0;
             f[static_cast<std::size_t>(i)]->GetBounds(maxX, maxY, minX, minY);
             EXPECT_DOUBLE_EQ((maxX + minX) / 2, 2.5 + 10 * i) << i;
         }
     },
     true,
     [](TVXDrawing& d) {
         // Uneven first: lines 1 and 2 close to line 0.
         d.GetFigure(1)->Move(-7, 0);
         d.GetFigure(2)->Move(-15, 0);
     }},
    {"ArrayRect", 1, {0}, [](TVXDrawing& d) { d.ArrayRectSelection(4, 3, 10, 20); },
     [](TVXDrawing& d, const std::vector<TFigure*>&) {
         ASSERT_EQ(d.FigureCount(), 12);
         EXPECT_EQ(d.GetFigure(11)->GetPoint(1), DoublePoint(30, 40));
         EXPECT_EQ(d.GetFigure(1)->GetPoint(1), DoublePoint(10, 0));
         EXPECT_EQ(d.GetFigure(4)->GetPoint(1), DoublePoint(0, 20));
     }},
    {"ArrayPolarQuarter", 1, {0}, [](TVXDrawing& d) { d.ArrayPolarSelection(DoublePoint(0, 0), std::numbers::pi / 2); },
     [](TVXDrawing& d, const std::vector<TFigure*>&) {
         ASSERT_EQ(d.FigureCount(), 4);
         const TDoublePoint p = d.GetFigure(2)->GetPoint(2); // (5, 3) turned by 180°
         EXPECT_NEAR(p.X, -5, 1e-9);
         EXPECT_NEAR(p.Y, -3, 1e-9);
     }},
    {"ArrayPolarFullTurn", 1, {0}, [](TVXDrawing& d) { d.ArrayPolarSelection(DoublePoint(0, 0), 2 * std::numbers::pi); },
     [](TVXDrawing& d, const std::vector<TFigure*>&) { EXPECT_EQ(d.FigureCount(), 1); }, false},
    {"ArrayPolarZero", 1, {0}, [](TVXDrawing& d) { d.ArrayPolarSelection(DoublePoint(0, 0), 0); },
     [](TVXDrawing& d, const std::vector<TFigure*>&) { EXPECT_EQ(d.FigureCount(), 1); }, false},
    {"Remove", 4, {1, 3}, [](TVXDrawing& d) { d.RemoveSelection(); },
     [](TVXDrawing& d, const std::vector<TFigure*>& f) { ExpectAt(d, f, {0, 2}); }},
    {"Move", 3, {1}, [](TVXDrawing& d) { d.MoveSelection(1, 2); },
     [](TVXDrawing&, const std::vector<TFigure*>& f) { EXPECT_EQ(f[1]->GetPoint(1), DoublePoint(11, 4)); }},
    {"PenWidth", 3, {0, 2}, [](TVXDrawing& d) { d.ModifyPenWidth(7); },
     [](TVXDrawing& d, const std::vector<TFigure*>& f) {
         EXPECT_EQ(f[0]->FPenWidth, 7);
         EXPECT_EQ(f[1]->FPenWidth, 1);
         EXPECT_NE(d.DefaultPenWidth(), 7);
     }},
    {"Rotate", 2, {0}, [](TVXDrawing& d) { d.RotateSelection(DoublePoint(0, 0), std::numbers::pi); },
     [](TVXDrawing&, const std::vector<TFigure*>& f) {
         EXPECT_NEAR(f[0]->GetPoint(2).X, -5, 1e-9);
     }},
    {"MirrorCopy", 2, {1}, [](TVXDrawing& d) { d.MirrorSelection(DoublePoint(0, 0), DoublePoint(0, 1), true); },
     [](TVXDrawing& d, const std::vector<TFigure*>& f) {
         ASSERT_EQ(d.FigureCount(), 3);
         EXPECT_EQ(f[1]->GetPoint(1), DoublePoint(10, 2));
         EXPECT_NEAR(d.GetFigure(2)->GetPoint(1).X, -10, 1e-9);
     }},
    {"Duplicate", 2, {0, 1}, [](TVXDrawing& d) { d.DuplicateSelection(1, 1); },
     [](TVXDrawing& d, const std::vector<TFigure*>& f) {
         ASSERT_EQ(d.FigureCount(), 4);
         EXPECT_FALSE(f[0]->FSelected);
         EXPECT_TRUE(d.GetFigure(3)->FSelected);
         EXPECT_EQ(d.GetFigure(3)->GetPoint(1), DoublePoint(11, 3));
     }},
};

INSTANTIATE_TEST_SUITE_P(Undo, EditingCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TEditCase>& param) { return std::string(param.param.Name); });
} // namespace

TEST_F(DocumentTest, UngroupPutsTheMembersInPlaceAndUndoes) {
    AddLine(0, 0, 0, 1, 1);
    TFigure* a = AddLine(0, 0, 0, 2, 2, 0, true);
    TFigure* b = AddLine(0, 0, 0, 3, 3, 0, true);
    AddLine(0, 0, 0, 4, 4);
    Doc.DeselectAll(0);
    Doc.SelectFigure(a);
    Doc.SelectFigure(b);
    TFigure* group = AsFigure(Doc.GroupSelection());
    TFigure* last = Doc.GetFigure(2);
    ASSERT_EQ(Doc.GetFigure(1), group);
    const TDrawingSnapshot grouped = Snapshot(Doc);
    Doc.UngroupSelection();
    ASSERT_EQ(Doc.FigureCount(), 4);
    EXPECT_EQ(Doc.GetFigure(1), a);
    EXPECT_EQ(Doc.GetFigure(2), b);
    EXPECT_EQ(Doc.GetFigure(3), last);
    EXPECT_EQ(Doc.HeldFigureCount(), 1);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), grouped);
    Doc.UnDo(); // the grouping
    EXPECT_EQ(Doc.GetFigure(1), a);
    EXPECT_EQ(Doc.GetFigure(2), b);
    Doc.ReDo();
    Doc.ReDo();
    EXPECT_EQ(Doc.FigureCount(), 4);
    Doc.ClearUndoList();
    EXPECT_EQ(Doc.HeldFigureCount(), 0);
}

TEST_F(DocumentTest, HugeArraysAskFirst) {
    AddLine(0, 0, 0, 1, 1, 0, true);
    Doc.ClearUndoList();
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    ui.Answer(TAnswer::No);
    Doc.ArrayRectSelection(101, 100, 1, 1);
    EXPECT_EQ(Doc.FigureCount(), 1);
    EXPECT_EQ(Doc.UndoStepCount(), 0);
    ASSERT_EQ(ui.Questions().size(), 1u);
    EXPECT_EQ(ui.Questions()[0], QStringLiteral("Die Anordnung erzeugt 10099 Kopien. Fortfahren?"));
    ui.Answer(TAnswer::No);
    Doc.ArrayPolarSelection(DoublePoint(0, 0), 2 * std::numbers::pi / 20000);
    EXPECT_EQ(Doc.FigureCount(), 1);
    Doc.ArrayRectSelection(100, 100, 1, 1); // 9999 copies: no question
    EXPECT_EQ(ui.Questions().size(), 2u);
    EXPECT_EQ(Doc.FigureCount(), 10000);
    Doc.UnDo();
    EXPECT_EQ(Doc.FigureCount(), 1);
}

TEST_F(DocumentTest, FontChangesOfTextsAreUndone) {
    TFigure* text = AsFigure(Doc.TextOut(0, 0, 0, 0, 5, 0, QStringLiteral("Hallo"), QStringLiteral("Arial"), 1, 0, true));
    Doc.ClearUndoList();
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.ModifyFontBold(true);
    Doc.ModifyFontName(QStringLiteral("Courier"));
    EXPECT_EQ(Doc.UndoStepCount(), 2);
    EXPECT_EQ(Doc.Font().Name, TFontSpec().Name); // the control's font stays
    Doc.UnDo();
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before);
    Doc.DeSelectFigure(text);
    Doc.RefreshSelection();
    Doc.ModifyFontItalic(true);
    EXPECT_TRUE(Doc.Font().Italic);
    EXPECT_EQ(Doc.UndoStepCount(), 2);
}

TEST_F(DocumentTest, PolylineAndDimensionChangesAreUndone) {
    TFigure* polyline = AddPolyline(0, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)}, true);
    Doc.ClearUndoList();
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.CloseSelectedPolyline();
    Doc.ConvertPLToBezier();
    Doc.AddDimensionsToSelection();
    EXPECT_EQ(Doc.UndoStepCount(), 3);
    EXPECT_NE(Snapshot(Doc), before);
    const TDrawingSnapshot after = Snapshot(Doc);
    Doc.UnDo();
    Doc.UnDo();
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before);
    EXPECT_TRUE(polyline->FDimensions.empty());
    Doc.ReDo();
    Doc.ReDo();
    Doc.ReDo();
    EXPECT_EQ(Snapshot(Doc), after);
}

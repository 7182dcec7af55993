#include "DocumentFixture.h"

#include "platform/UiServices.h"

TEST_F(DocumentTest, MapScaleZeroBecomesOne) {
    int changed = 0;
    Doc.OnMapScaleChanged = [&](TVXDrawing*) { ++changed; };
    Doc.SetMapScale(0);
    EXPECT_EQ(Doc.MapScale(), 1);
    EXPECT_EQ(changed, 1);
    Doc.SetMapScale(-20);
    EXPECT_EQ(Doc.MapScale(), 1);
}

TEST_F(DocumentTest, MapScaleRescaling) {
    struct TCase {
        TMapRescale Mode;
        std::optional<TAnswer> Answer;
        double ExpectedLength;
    };
    const TCase cases[] = {
        {TMapRescale::rsNever, std::nullopt, 40},
        {TMapRescale::rsAlways, std::nullopt, 20},
        {TMapRescale::rsAskUser, TAnswer::Yes, 20},
        {TMapRescale::rsAskUser, TAnswer::No, 40},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Mode));
        TScriptedUiServices ui;
        TUiServicesScope scope(ui);
        if (c.Answer) ui.Answer(*c.Answer);
        TVXDrawing doc;
        doc.Line(0, 10, 10, 50, 10, 1, 0, 0, 0, false);
        doc.Vertex(0, 30, 50, false);
        doc.SetRescaleToMap(c.Mode);
        doc.SetMapScale(100);
        EXPECT_EQ(doc.MapScale(), 100);
        const TFigure* line = doc.GetFigure(0);
        EXPECT_DOUBLE_EQ(line->GetPoint(2).X - line->GetPoint(1).X, c.ExpectedLength);
        // Scaled about the smallest corner of the drawing.
        EXPECT_DOUBLE_EQ(line->GetPoint(1).X, 10);
        EXPECT_DOUBLE_EQ(line->GetPoint(1).Y, 10);
        if (c.Mode == TMapRescale::rsAskUser) {
            ASSERT_EQ(ui.Questions().size(), 1u);
            EXPECT_EQ(ui.Questions()[0], QStringLiteral("Soll die Zeichnung dem Maßstab angepasst werden?"));
            EXPECT_EQ(ui.Calls()[0].Buttons, TQuestionButtons::YesNo);
        } else {
            EXPECT_TRUE(ui.Questions().empty());
        }
    }
}

TEST_F(DocumentTest, MapScaleWithoutFiguresAsksNothing) {
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    Doc.SetRescaleToMap(TMapRescale::rsAskUser);
    Doc.SetMapScale(200);
    EXPECT_TRUE(ui.Calls().empty());
}

TEST_F(DocumentTest, DefaultAttributesChangeTheSelectionInstead) {
    TFigure* a = AddLine(0, 0, 0, 10, 10, 0x00FF00, true);
    TFigure* b = AddLine(0, 0, 0, 10, 20, 0x00FF00, false);
    Doc.RefreshSelection();
    std::vector<TFigure*> modified;
    Doc.OnFigureModify = [&](TVXDrawing*, TFigure* f) { modified.push_back(f); };

    Doc.SetDefaultPenColor(0x0000FF);
    EXPECT_EQ(a->FPenColor, 0x0000FF);
    EXPECT_EQ(b->FPenColor, 0x00FF00);
    EXPECT_EQ(Doc.DefaultPenColor(), 0);
    Doc.SetDefaultPenWidth(3);
    Doc.SetDefaultRowStyle(TRowStyle::rsBothSolid);
    EXPECT_EQ(a->FPenWidth, 3);
    EXPECT_EQ(a->FRowStyle, 3);
    EXPECT_EQ(Doc.DefaultPenWidth(), 1);
    EXPECT_EQ(modified, (std::vector<TFigure*>{a, a, a}));

    Doc.DeselectAll(0);
    Doc.RefreshSelection();
    std::vector<int> published;
    Doc.Subscribe(DocChannel::PenWidth, nullptr,
                  [&](QObject*, int, int num, const QString&, double, bool) { published.push_back(num); });
    Doc.SetDefaultPenColor(0x0000FF);
    Doc.SetDefaultPenWidth(4);
    EXPECT_EQ(Doc.DefaultPenColor(), 0x0000FF);
    EXPECT_EQ(Doc.DefaultPenWidth(), 4);
    EXPECT_EQ(Doc.FindEventEngine(DocChannel::PenColor)->Numval, 0x0000FF);
    EXPECT_EQ(published, (std::vector<int>{0, 3}));
    EXPECT_EQ(a->FPenWidth, 3);
    EXPECT_EQ(modified.size(), 3u);
}

TEST_F(DocumentTest, DefaultPLineClosedClosesTheSelectedPolylines) {
    auto* poly = dynamic_cast<TPolyline*>(
        AddPolyline(0, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)}, true));
    ASSERT_NE(poly, nullptr);
    Doc.SetDefaultPLineClosed(true);
    EXPECT_TRUE(poly->Closed());
    EXPECT_FALSE(Doc.DefaultPLineClosed());
    Doc.SetDefaultPLineClosed(false);
    EXPECT_FALSE(poly->Closed());
    Doc.DeselectAll(0);
    Doc.SetDefaultPLineClosed(true);
    EXPECT_TRUE(Doc.DefaultPLineClosed());
    EXPECT_FALSE(poly->Closed());
}

TEST_F(DocumentTest, RulerModePublishesItsChannel) {
    std::vector<int> values;
    Doc.Subscribe(DocChannel::RulerMode, nullptr,
                  [&](QObject*, int, int num, const QString&, double, bool) { values.push_back(num); });
    Doc.SetRulerMode(TRulerMode::rmWorld);
    EXPECT_EQ(Doc.RulerMode(), TRulerMode::rmWorld);
    EXPECT_EQ(values, (std::vector<int>{0, 1}));
}

// Text figures: the stored record (with the older height and ratio items),
// layout at creation and after drawing, the spacing and resize drags, the
// pop-up items, font changes, the prompts of creation and editing, hit test
// and bounds.
#include "support/FakeDocument.h"

#include "model/ModPoint.h"
#include "model/PopupMenu.h"
#include "model/Text.h"
#include "platform/UiServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numbers>

namespace {

std::vector<std::uint8_t> Save(const TFigure& figure) {
    TMemoryStream out;
    figure.SaveToStream(out);
    return out.TakeData();
}

std::unique_ptr<TFigure> Load(const std::vector<std::uint8_t>& bytes, TFigureDocument* document = nullptr) {
    TMemoryStream in(bytes);
    return TFigure::CreateFromStream(in, document ? document->LayerAt(0) : nullptr, document, true);
}

// The items after the base record, as (tag, payload) in stored order.
std::vector<TTaggedItem> ClassItems(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream in(bytes);
    ReadStr(in); // class name
    ReadStr(in); // figure name
    TTaggedItem item;
    while (ReadTaggedItem(in, item))
        if (item.Kind == TTagPayload::String && item.AsString() == QStringLiteral("BaseEnd")) break;
    std::vector<TTaggedItem> items;
    while (ReadTaggedItem(in, item)) items.push_back(item);
    return items;
}

std::vector<int> TagsOf(const std::vector<TTaggedItem>& items) {
    std::vector<int> tags;
    for (const TTaggedItem& item : items) tags.push_back(item.Tag);
    return tags;
}

class TRecordingMenu : public TPopupMenuBuilder {
public:
    struct TItem {
        QString Caption;
        int Tag;
        bool Checked;
    };
    void AddItem(const QString& caption, int tag, bool checked, bool) override {
        Items.push_back({caption, tag, checked});
    }
    std::vector<TItem> Items;
};

void RegisterTextClasses() {
    RegisterFigureClass(TText::StaticClass());
    RegisterFigureClass(TStripedText::StaticClass());
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterTextClasses(); }

    // A text at (10, 20) in the fake document: 8 high, natural width (the
    // fake's characters are 0.6 of the height wide).
    std::unique_ptr<TText> MakeText(const QString& s, double charWidth = 0, double height = 8) {
        return TText::Create(s, &Doc, true, Doc.LayerAt(0), 0x112233, 0, QStringLiteral("Arial"), charWidth, height,
                             10, 20);
    }
    TModPoint* HandleWithIndex(const TFigure& figure, int index) {
        for (TModPoint* h : figure.FHandles)
            if (h->Index == index) return h;
        return nullptr;
    }

    TFakeDocument Doc;
};

// --- the stored record ---

TEST_F(TextTest, RecordsReadBackToTheSameBytes) {
    struct TCase {
        const char* Name;
        bool Striped;
    };
    for (const TCase& c : {TCase{"text", false}, TCase{"striped", true}}) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<TText> text =
            c.Striped ? std::unique_ptr<TText>(TStripedText::Create(QStringLiteral("Welle"), &Doc, true,
                                                                    Doc.LayerAt(0), kLayerColor, 0,
                                                                    QStringLiteral("Courier New"), 2.5, 6, 3, 4))
                      : MakeText(QStringLiteral("Hallo Welt"), 3.25, 7.5);
        text->FSpacing = 0.75;
        text->FAngle = 0.4;
        text->FBrushColor = 0x00FF00;
        text->FBrushStyle = static_cast<int>(TBrushStyle::bsDiagCross);
        text->FFont.Italic = true;
        text->FFont.StrikeOut = true;
        text->FOutline = true;
        text->FInfo = QStringLiteral("Info");
        const std::vector<std::uint8_t> first = Save(*text);
        const std::unique_ptr<TFigure> again = Load(first, &Doc);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(&again->Class(), &text->Class());
        EXPECT_EQ(Save(*again), first);
        const auto* read = static_cast<const TText*>(again.get());
        EXPECT_EQ(read->FText, text->FText);
        EXPECT_EQ(read->FFont.Name, text->FFont.Name);
        EXPECT_EQ(read->FPenColor, text->FPenColor);
        EXPECT_EQ(read->FFont.Color, text->FPenColor);
        EXPECT_EQ(read->FHeight, text->FHeight);
        EXPECT_EQ(read->FCharWidth, text->FCharWidth);
        EXPECT_EQ(read->FSpacing, 0.75);
        EXPECT_EQ(read->FAngle, 0.4);
        EXPECT_TRUE(read->FFont.Italic && read->FFont.StrikeOut);
        EXPECT_FALSE(read->FFont.Bold || read->FFont.Underline);
        EXPECT_TRUE(read->FOutline); // set for the text, and always for the striped text
        EXPECT_EQ(read->FBrushStyle, static_cast<int>(TBrushStyle::bsDiagCross));
        EXPECT_EQ(read->FBrushColor, 0x00FF00);
    }
}

TEST_F(TextTest, TextBeyondAsciiIsStoredAsWindows1252) {
    const QString s = QStringLiteral("Maße Ø 20° 5 €");
    const std::unique_ptr<TText> text = MakeText(s);
    const std::vector<std::uint8_t> bytes = Save(*text);
    const std::vector<TTaggedItem> items = ClassItems(bytes);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].Tag, 180);
    const std::vector<std::uint8_t> expected = {'M', 'a', 0xDF, 'e', ' ', 0xD8, ' ', '2', '0', 0xB0, ' ', '5', ' ', 0x80};
    EXPECT_EQ(items[0].Data, expected);
    const std::unique_ptr<TFigure> again = Load(bytes);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(static_cast<const TText&>(*again).FText, s);
    EXPECT_EQ(Save(*again), bytes);
}

TEST_F(TextTest, ItemsFollowTheBaseRecordInOrderAndStyleFlagsOnlyWhenSet) {
    std::unique_ptr<TText> text = MakeText(QStringLiteral("B"));
    text->FFont.Bold = true;
    text->FFont.Underline = true;
    const std::vector<TTaggedItem> items = ClassItems(Save(*text));
    EXPECT_EQ(TagsOf(items), (std::vector<int>{180, 181, 21, 22, 221, 222, 223, 224, 90, 93, 95}));
    for (const TTaggedItem& item : items)
        if (item.Tag == 90 || item.Tag == 93) {
            EXPECT_EQ(item.AsByte(), 1);
        }

    text->FFont = TEngineFont{};
    text->FOutline = true;
    EXPECT_EQ(TagsOf(ClassItems(Save(*text))), (std::vector<int>{180, 181, 21, 22, 221, 222, 223, 224, 94, 95}));
}

// A text record with its own items replaced by `extra`.
std::vector<std::uint8_t> RecordWith(const std::function<void(TStream&)>& extra) {
    std::unique_ptr<TFigure> text = NewFigure(TText::StaticClass(), nullptr, nullptr);
    TMemoryStream out;
    text->TFigure::SaveToStream(out);
    extra(out);
    return out.TakeData();
}

TEST_F(TextTest, OlderHeightAndRatioItemsInAnyOrder) {
    struct TCase {
        const char* Name;
        std::function<void(TStream&)> Items;
        double Height;
        double CharWidth;
    };
    const std::vector<TCase> cases = {
        {"ratio after the height", [](TStream& s) { WriteTaggedDouble(221, s, 8); WriteTaggedDouble(220, s, 0.5); }, 8, 4},
        {"ratio before the height", [](TStream& s) { WriteTaggedDouble(220, s, 0.5); WriteTaggedDouble(221, s, 8); }, 8, 4},
        {"ratio before the tenths", [](TStream& s) { WriteTaggedDouble(220, s, 0.5); WriteTaggedInt(20, s, 80); }, 8, 4},
        {"negative ratio is a width", [](TStream& s) { WriteTaggedDouble(220, s, -3); WriteTaggedInt(20, s, 125); }, 12.5, 3},
        {"stored width wins", [](TStream& s) { WriteTaggedDouble(220, s, 0.5); WriteTaggedDouble(221, s, 8); WriteTaggedDouble(223, s, 1.5); }, 8, 1.5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::unique_ptr<TFigure> figure = Load(RecordWith(c.Items));
        ASSERT_NE(figure, nullptr);
        const auto& text = static_cast<const TText&>(*figure);
        EXPECT_DOUBLE_EQ(text.FHeight, c.Height);
        EXPECT_DOUBLE_EQ(text.FCharWidth, c.CharWidth);
    }
}

// --- layout ---

TEST_F(TextTest, NewTextIsLaidOutFromTheAnchorForEveryZeroCorner) {
    struct TCase {
        TVertZero Vert;
        THorzZero Horz;
        double Dx, Dy;
    };
    // "ABCDE" at height 8: 5 × 4.8 = 24 wide, 8 high.
    for (const TCase& c : {TCase{TVertZero::vzTop, THorzZero::vzLeft, 24, 8},
                           TCase{TVertZero::vzBottom, THorzZero::vzLeft, 24, -8},
                           TCase{TVertZero::vzTop, THorzZero::vzRight, -24, 8},
                           TCase{TVertZero::vzBottom, THorzZero::vzRight, -24, -8}}) {
        SCOPED_TRACE(testing::Message() << c.Dx << " " << c.Dy);
        Doc.VertZero = c.Vert;
        Doc.HorzZero = c.Horz;
        const std::unique_ptr<TText> text = MakeText(QStringLiteral("ABCDE"));
        EXPECT_EQ(text->GetPoint(1), DoublePoint(10, 20));
        EXPECT_EQ(text->GetPoint(2), DoublePoint(10 + c.Dx, 20));
        EXPECT_EQ(text->GetPoint(3), DoublePoint(10 + c.Dx, 20 + c.Dy));
        EXPECT_EQ(text->GetPoint(4), DoublePoint(10, 20 + c.Dy));
    }
    // Without a document there is nothing to measure with.
    const std::unique_ptr<TText> loose =
        TText::Create(QStringLiteral("ABC"), nullptr, true, nullptr, 0, 0, QStringLiteral("Arial"), 0, 8, 1, 2);
    EXPECT_EQ(loose->GetPoint(3), DoublePoint(1, 2));
}

TEST_F(TextTest, DrawingLaysTheBoxOutAlongTheAngleAndClearsTheChange) {
    Doc.EngineInstance.TextExtents = true;
    std::unique_ptr<TText> text = MakeText(QStringLiteral("ABCDE"), 2, 8); // 10 wide, 8 high
    text->FSpacing = 0.5;                                                  // + 4 gaps × 0.5
    text->FAngle = std::numbers::pi / 2;
    text->Draw(Doc.EngineInstance, false);
    ASSERT_EQ(Doc.EngineInstance.TextCalls.size(), 1u);
    EXPECT_EQ(Doc.EngineInstance.TextCalls[0].Angle, std::numbers::pi / 2); // world Y grows with device Y
    EXPECT_FALSE(text->FChanged);
    EXPECT_NEAR(text->FLayoutWidth, 12, 1e-9);
    EXPECT_NEAR(text->FLayoutHeight, 8, 1e-9);
    // Along +90°: the base line runs towards +Y, the glyphs hang towards −X.
    EXPECT_NEAR(text->GetPoint(2).X, 10, 1e-9);
    EXPECT_NEAR(text->GetPoint(2).Y, 32, 1e-9);
    EXPECT_NEAR(text->GetPoint(4).X, 2, 1e-9);
    EXPECT_NEAR(text->GetPoint(4).Y, 20, 1e-9);
    EXPECT_NEAR(text->GetPoint(3).X, 2, 1e-9);
    EXPECT_NEAR(text->GetPoint(3).Y, 32, 1e-9);
    ASSERT_NE(text->FRegion, nullptr);
}

TEST_F(TextTest, AngleIsNegatedWhenWorldYRunsUpTheDevice) {
    TRecordingEngine engine;
    engine.SetConversions([](double& x, double& y, double&) { x *= 4; y = 800 - y * 4; },
                          [](double& d) { d *= 4; },
                          [](double& x, double& y, double&) { x /= 4; y = (800 - y) / 4; },
                          [](double& d) { d /= 4; });
    engine.TextExtents = true;
    std::unique_ptr<TText> text = MakeText(QStringLiteral("AB"));
    text->FAngle = 0.3;
    text->Draw(engine, false);
    ASSERT_EQ(engine.TextCalls.size(), 1u);
    EXPECT_DOUBLE_EQ(engine.TextCalls[0].Angle, -0.3);
    // The glyphs hang below the base line on the device: towards smaller world Y.
    EXPECT_LT(text->GetPoint(4).Y, text->GetPoint(1).Y);
}

TEST_F(TextTest, ColoursFontAndPrimitivePerState) {
    Doc.LayerAt(0)->TextColor = 0x445566;
    struct TCase {
        const char* Name;
        bool Outline;
        bool InCombined;
        bool Grayed;
        TColor Color;
        const char* Primitive;
    };
    for (const TCase& c : {TCase{"plain by layer", false, false, false, 0x445566, "DrawText"},
                           TCase{"grayed", false, false, true, 0xC0C0C0, "DrawText"},
                           TCase{"outline", true, false, false, 0x445566, "DrawTextOutline"},
                           TCase{"outline in a combined group", true, true, false, 0x445566, "DrawText"}}) {
        SCOPED_TRACE(c.Name);
        Doc.EngineInstance.Calls.clear();
        Doc.EngineInstance.TextCalls.clear();
        std::unique_ptr<TText> text = TText::Create(QStringLiteral("Ab"), &Doc, true, Doc.LayerAt(0), kLayerColor, 0,
                                                    QStringLiteral("Tahoma"), 0, 5, 0, 0);
        text->FFont.Bold = true;
        text->FOutline = c.Outline;
        text->SetInCombined(c.InCombined);
        text->Draw(Doc.EngineInstance, c.Grayed);
        ASSERT_EQ(Doc.EngineInstance.TextCalls.size(), 1u);
        const auto& call = Doc.EngineInstance.TextCalls[0];
        EXPECT_EQ(call.Font.Color, c.Color);
        EXPECT_EQ(call.Font.Name, QStringLiteral("Tahoma"));
        EXPECT_TRUE(call.Font.Bold);
        EXPECT_EQ(call.Height, 5);
        EXPECT_EQ(call.P, DoublePoint(0, 0));
        EXPECT_NE(std::find(Doc.EngineInstance.Calls.begin(), Doc.EngineInstance.Calls.end(), QString::fromLatin1(c.Primitive)),
                  Doc.EngineInstance.Calls.end());
    }
}

TEST_F(TextTest, StripedTextDrawsStripesOverItsBox) {
    std::unique_ptr<TStripedText> text = TStripedText::Create(QStringLiteral("ABC"), &Doc, true, Doc.LayerAt(0), 0, 0,
                                                              QStringLiteral("Arial"), 0, 10, 5, 5);
    EXPECT_TRUE(text->FOutline);
    EXPECT_EQ(text->GetTypeName(), QStringLiteral("StripedText"));
    text->Draw(Doc.EngineInstance, false);
    ASSERT_EQ(Doc.EngineInstance.TextCalls.size(), 1u);
    EXPECT_EQ(Doc.EngineInstance.Calls.back(), QStringLiteral("DrawStripedText"));
    const TDoublePointArr& box = Doc.EngineInstance.TextCalls[0].Box;
    ASSERT_EQ(box.size(), 4u);
    EXPECT_EQ(box[2], DoublePoint(5 + 18, 15));
}

TEST_F(TextTest, TemporaryTextDrawsOnlyItsBoxAndEmptyTextKeepsItsBox) {
    std::unique_ptr<TText> rubber = TText::Create(QStringLiteral("AB"), &Doc, false, Doc.LayerAt(0), 0, 0,
                                                  QStringLiteral("Arial"), 0, 8, 0, 0);
    rubber->Draw(Doc.EngineInstance, false);
    EXPECT_EQ(Doc.EngineInstance.Calls, (std::vector<QString>{QStringLiteral("DrawPolyline")}));

    Doc.EngineInstance.Calls.clear();
    Doc.EngineInstance.TextExtents = true;
    std::unique_ptr<TText> text = MakeText(QStringLiteral("ABCDE"));
    text->SetFontAttribute(6, QString(), false, 0, 0);
    const auto before = text->Box();
    text->Draw(Doc.EngineInstance, false);
    EXPECT_TRUE(Doc.EngineInstance.TextCalls.empty());
    EXPECT_EQ(text->Box(), before);
    EXPECT_TRUE(text->HitTest(20, 24));
}

TEST_F(TextTest, TooSmallToDrawKeepsTheBoxAndTheChange) {
    // The engine lays nothing out (the stand-in returns no extent).
    std::unique_ptr<TText> text = MakeText(QStringLiteral("ABCDE"));
    const auto before = text->Box();
    text->Draw(Doc.EngineInstance, false);
    EXPECT_EQ(text->Box(), before);
    EXPECT_TRUE(text->FChanged);
}

TEST_F(TextTest, HitAndBoundedByItsLaidOutBox) {
    const std::unique_ptr<TText> text = MakeText(QStringLiteral("ABCDE")); // (10, 20) – (34, 28)
    double maxX, maxY, minX, minY;
    text->GetBounds(maxX, maxY, minX, minY);
    EXPECT_EQ(minX, 10);
    EXPECT_EQ(minY, 20);
    EXPECT_DOUBLE_EQ(maxX, 34);
    EXPECT_EQ(maxY, 28);
    // Before any draw the box itself decides, afterwards the region made from it.
    for (bool drawn : {false, true}) {
        SCOPED_TRACE(drawn);
        if (drawn) {
            text->Draw(Doc.EngineInstance, false);
            ASSERT_NE(text->FRegion, nullptr);
        }
        EXPECT_TRUE(text->HitTest(22, 24));
        EXPECT_TRUE(text->HitTest(33, 27));
        EXPECT_FALSE(text->HitTest(40, 24));
        EXPECT_FALSE(text->HitTest(22, 33));
    }
}

// --- handles and drags ---

TEST_F(TextTest, HandlesWithTheSpacingHandle) {
    std::unique_ptr<TText> text = MakeText(QStringLiteral("ABCDE"));
    text->Select();
    ASSERT_EQ(text->FHandles.size(), 8u);
    const TModPoint* spacing = HandleWithIndex(*text, TText::kSpacingHandle);
    ASSERT_NE(spacing, nullptr);
    EXPECT_EQ(spacing->Color, 0x0000FF);
    EXPECT_EQ(spacing->Shape, 4);
    EXPECT_DOUBLE_EQ(spacing->X, 34);
    EXPECT_DOUBLE_EQ(spacing->Y, 24);
    for (const TModPoint* h : text->FHandles)
        if (h != spacing) {
            EXPECT_EQ(h->Color, 0xFF0000);
        }

    text->Deselect();
    text->FDiagonal = true;
    text->Select();
    std::vector<int> indexes;
    for (const TModPoint* h : text->FHandles) indexes.push_back(h->Index);
    EXPECT_EQ(indexes, (std::vector<int>{1, 3, 5, 7, 4}));
    EXPECT_EQ(HandleWithIndex(*text, 4)->Shape, 4);
}

TEST_F(TextTest, SpacingDragSharesTheWidthAmongTheGaps) {
    struct TCase {
        const char* Text;
        double Drag;
        double Start;
        double Spacing;
    };
    for (const TCase& c : {TCase{"ABCDE", 8, 0, 2}, TCase{"ABCDE", -4, 1, 0}, TCase{"A", 8, 1.5, 0},
                           TCase{"", 8, 1.5, 0}}) {
        SCOPED_TRACE(c.Text);
        std::unique_ptr<TText> text = MakeText(QString::fromLatin1(c.Text));
        text->FSpacing = c.Start;
        text->Select();
        TModPoint* handle = HandleWithIndex(*text, TText::kSpacingHandle);
        ASSERT_NE(handle, nullptr);
        std::unique_ptr<TFigure> ghost = text->CreateGhost();
        text->GhostDrag(handle, handle->X + c.Drag, handle->Y + 3, ghost.get());
        EXPECT_NEAR(ghost->GetPoint(2).X - text->GetPoint(2).X, c.Drag, 1e-9);
        EXPECT_EQ(ghost->GetPoint(4), text->GetPoint(4));
        text->ApplyDrag(handle, 0, handle->X + c.Drag, handle->Y + 3, ghost.get());
        EXPECT_DOUBLE_EQ(text->FSpacing, c.Spacing);
        EXPECT_TRUE(text->FChanged);
    }
}

TEST_F(TextTest, CornerDragFitsHeightAndWidthToTheBox) {
    std::unique_ptr<TText> text = MakeText(QStringLiteral("ABCDE")); // 24 × 8 from (10, 20)
    text->Select();
    TModPoint* corner = HandleWithIndex(*text, 5); // P3
    ASSERT_NE(corner, nullptr);
    text->ApplyDrag(corner, 0, 10 + 40, 20 + 12, nullptr);
    EXPECT_DOUBLE_EQ(text->FHeight, 12);
    EXPECT_DOUBLE_EQ(text->FCharWidth, 8); // 40 / 5 characters
    EXPECT_EQ(text->GetPoint(1), DoublePoint(10, 20));
    EXPECT_EQ(text->GetPoint(3), DoublePoint(50, 32));

    // Dragged past the anchor the box turns over; the text starts at its new first corner.
    text->RefreshHandles();
    TModPoint* p1 = HandleWithIndex(*text, 1);
    ASSERT_NE(p1, nullptr);
    text->ApplyDrag(p1, 0, 70, 40, nullptr);
    EXPECT_EQ(text->GetPoint(1), DoublePoint(50, 32));
    EXPECT_DOUBLE_EQ(text->FHeight, 8);
    EXPECT_DOUBLE_EQ(text->FCharWidth, 4);
}

TEST_F(TextTest, RotationTurnsTheTextDirection) {
    Doc.EngineInstance.TextExtents = true;
    std::unique_ptr<TText> text = MakeText(QStringLiteral("ABCDE"));
    text->Draw(Doc.EngineInstance, false);
    text->Rotate(DoublePoint(10, 20), std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(text->FAngle, std::numbers::pi / 2);
    EXPECT_NEAR(text->GetPoint(2).X, 10, 1e-9);
    EXPECT_NEAR(text->GetPoint(2).Y, 44, 1e-9);
    text->Draw(Doc.EngineInstance, false);
    EXPECT_DOUBLE_EQ(Doc.EngineInstance.TextCalls.back().Angle, std::numbers::pi / 2);
}

// --- pop-up items and font changes ---

TEST_F(TextTest, PopupItemsAndTheirActions) {
    Doc.EngineInstance.TextExtents = true;
    std::unique_ptr<TText> text = MakeText(QStringLiteral("ABCDE"), 5); // stretched: 25 wide
    text->FSpacing = 1;
    text->Draw(Doc.EngineInstance, false);
    EXPECT_NEAR(text->GetPoint(2).X - 10, 25 + 4, 1e-9);

    TRecordingMenu menu;
    int nextTag = 40;
    text->AddPopupItems(menu, nextTag);
    EXPECT_EQ(nextTag, 43);
    ASSERT_EQ(menu.Items.size(), 3u);
    EXPECT_EQ(menu.Items[0].Caption, QStringLiteral("Aspect Ratio"));
    EXPECT_EQ(menu.Items[1].Caption, QStringLiteral("Default Spacing"));
    EXPECT_EQ(menu.Items[2].Caption, QStringLiteral("Aussenlinie"));
    EXPECT_EQ(menu.Items[2].Tag, 42);
    EXPECT_FALSE(menu.Items[2].Checked);

    // "Aspect Ratio": the next draw lays the text out at its natural width again.
    text->PopupItemClicked(40);
    EXPECT_TRUE(text->FChanged);
    text->Draw(Doc.EngineInstance, false);
    EXPECT_EQ(Doc.EngineInstance.TextCalls.back().Width, 0);
    EXPECT_FALSE(text->FResetRatio);
    EXPECT_EQ(text->FCharWidth, 0);
    EXPECT_NEAR(text->GetPoint(2).X - 10, 24 + 4, 1e-9);

    text->PopupItemClicked(41);
    EXPECT_EQ(text->FSpacing, 0);
    EXPECT_TRUE(text->FChanged);
    text->PopupItemClicked(42);
    EXPECT_TRUE(text->FOutline);
    TRecordingMenu again;
    text->AddPopupItems(again, nextTag);
    EXPECT_TRUE(again.Items[2].Checked);
    text->PopupItemClicked(43 + 3); // not one of its items
    EXPECT_TRUE(text->FOutline);
}

TEST_F(TextTest, FontAttributeKinds) {
    struct TCase {
        int Kind;
        QString Text;
        bool Flag;
        int Style;
        double Number;
        bool Changed;
        std::function<bool(const TText&)> Holds;
    };
    const std::vector<TCase> cases = {
        {6, "Neu", false, 0, 0, true, [](const TText& t) { return t.FText == "Neu"; }},
        {7, "Tahoma", false, 0, 0, true, [](const TText& t) { return t.FFont.Name == "Tahoma"; }},
        {8, "", false, 0, 12.5, true, [](const TText& t) { return t.FHeight == 12.5; }},
        {9, "", false, 0, 161.4, true, [](const TText& t) { return t.FFont.Charset == 161; }},
        {10, "", false, 0, 255.0, false, [](const TText& t) { return t.FPenColor == 255 && t.FFont.Color == 255; }},
        {11, "", false, 1 | 8, 0, true,
         [](const TText& t) { return t.FFont.Bold && !t.FFont.Italic && !t.FFont.Underline && t.FFont.StrikeOut; }},
        {12, "", true, 0, 0, true, [](const TText& t) { return t.FFont.Bold; }},
        {13, "", true, 0, 0, true, [](const TText& t) { return t.FFont.Italic; }},
        {14, "", true, 0, 0, true, [](const TText& t) { return t.FFont.Underline; }},
        {15, "", true, 0, 0, true, [](const TText& t) { return t.FFont.StrikeOut; }},
    };
    Doc.EngineInstance.TextExtents = true;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Kind);
        std::unique_ptr<TText> text = MakeText(QStringLiteral("AB"));
        text->Draw(Doc.EngineInstance, false);
        ASSERT_FALSE(text->FChanged);
        text->SetFontAttribute(c.Kind, c.Text, c.Flag, c.Style, c.Number);
        EXPECT_EQ(text->FChanged, c.Changed);
        EXPECT_TRUE(c.Holds(*text));
    }
}

// --- prompts ---

TEST_F(TextTest, CommitAsksForTheTextAndUsesTheDocumentFont) {
    Doc.Font.Name = QStringLiteral("Courier New");
    Doc.Font.Color = 0x0000AA;
    Doc.Font.Charset = 238;
    Doc.Font.Italic = true;
    Doc.DefaultAttributes.TextHeight = 5;
    Doc.DefaultAttributes.PenColor = 0x00AA00;
    const std::unique_ptr<TText> rubber = MakeText(QStringLiteral("x"));
    rubber->SetPoint(1, DoublePoint(30, 40));

    struct TCase {
        const TFigureClass* Cls;
        const char* Caption;
        const char* Prompt;
        TColor Color;
    };
    for (const TCase& c : {TCase{&TText::StaticClass(), "Text-Werkzeug", "Text eingeben", 0x0000AA},
                           TCase{&TStripedText::StaticClass(), "Striped Text Tool", "Enter Text", 0x00AA00}}) {
        SCOPED_TRACE(c.Caption);
        TScriptedUiServices ui;
        TUiServicesScope scope(ui);
        ui.EnterText(QStringLiteral("Straße")).Cancel();
        const std::unique_ptr<TFigure> figure = CommitRubber(*c.Cls, &Doc, Doc.LayerAt(0), rubber.get());
        ASSERT_NE(figure, nullptr);
        EXPECT_EQ(&figure->Class(), c.Cls);
        ASSERT_EQ(ui.Calls().size(), 1u);
        EXPECT_EQ(ui.Calls()[0].Kind, TUiCallKind::InputText);
        EXPECT_EQ(ui.Calls()[0].Caption, QString::fromUtf8(c.Caption));
        EXPECT_EQ(ui.Calls()[0].Text, QString::fromUtf8(c.Prompt));
        const auto& text = static_cast<const TText&>(*figure);
        EXPECT_EQ(text.FText, QStringLiteral("Straße"));
        EXPECT_EQ(text.FFont.Name, QStringLiteral("Courier New"));
        EXPECT_EQ(text.FFont.Charset, 238);
        EXPECT_TRUE(text.FFont.Italic);
        EXPECT_EQ(text.FPenColor, c.Color);
        EXPECT_EQ(text.FHeight, 5);
        EXPECT_EQ(text.FCharWidth, 0);
        EXPECT_EQ(text.GetPoint(1), DoublePoint(30, 40));
        EXPECT_DOUBLE_EQ(text.GetPoint(3).X, 30 + 6 * 3); // laid out at once: 6 × 0.6 × 5
        EXPECT_DOUBLE_EQ(text.GetPoint(3).Y, 45);
        EXPECT_EQ(text.FLayer, Doc.LayerAt(0));

        // Cancelled: nothing is made.
        EXPECT_EQ(CommitRubber(*c.Cls, &Doc, Doc.LayerAt(0), rubber.get()), nullptr);
    }
}

TEST_F(TextTest, EditOffersTheTextAndReplacesItOnOk) {
    std::unique_ptr<TText> text = MakeText(QStringLiteral("alt"));
    Doc.EngineInstance.TextExtents = true;
    text->Draw(Doc.EngineInstance, false);
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    ui.Cancel().EnterText(QStringLiteral("neu"));

    text->Edit();
    EXPECT_EQ(text->FText, QStringLiteral("alt"));
    EXPECT_FALSE(text->FChanged);
    text->Edit();
    EXPECT_EQ(text->FText, QStringLiteral("neu"));
    EXPECT_TRUE(text->FChanged);
    ASSERT_EQ(ui.Calls().size(), 2u);
    for (const TUiCall& call : ui.Calls()) {
        EXPECT_EQ(call.Caption, QStringLiteral("Text-Werkzeug"));
        EXPECT_EQ(call.Text, QStringLiteral("Neuen Text eingeben"));
        EXPECT_EQ(call.Detail, QStringLiteral("alt"));
    }
    EXPECT_TRUE(Doc.EditEvents.empty());
}

TEST_F(TextTest, CloneCarriesTheTextState) {
    std::unique_ptr<TStripedText> text = TStripedText::Create(QStringLiteral("Kopie"), &Doc, true, Doc.LayerAt(0),
                                                              0x123456, 238, QStringLiteral("Arial"), 2, 6, 1, 2);
    text->FSpacing = 0.25;
    text->FAngle = 0.5;
    const std::unique_ptr<TFigure> copy = text->Clone();
    EXPECT_EQ(&copy->Class(), &TStripedText::StaticClass());
    const auto& c = static_cast<const TText&>(*copy);
    EXPECT_EQ(c.FFont.Charset, 238);
    EXPECT_EQ(c.Box(), text->Box());
    const std::vector<TTaggedItem> copied = ClassItems(Save(c)), original = ClassItems(Save(*text));
    ASSERT_EQ(copied.size(), original.size());
    for (std::size_t i = 0; i < copied.size(); ++i) EXPECT_EQ(copied[i].Data, original[i].Data);
    EXPECT_EQ(TText::StaticClass().ShapeKind, 2);
}

} // namespace

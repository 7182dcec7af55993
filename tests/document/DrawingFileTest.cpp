// Writing and reading drawing files: the exact bytes, the sections, round
// trips with layers, joins, attributes and groups, and the legacy tags.

#include "DrawingFileTestSupport.h"

#include "document/DocumentSection.h"
#include "model/Group.h"
#include "model/Line.h"
#include "model/Polyline.h"
#include "platform/Bmp.h"

#include <gtest/gtest.h>

namespace {

class DrawingFileTest : public ::testing::Test {
protected:
    DrawingFileTest() {
        Doc.resize(640, 480);
        Doc.SetPageLayout(TPageLayout::plA4);
        Doc.SetPageOrient(TPageOrient::poPortrait);
        Doc.SetSaveWithPreview(false);
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }

    QTemporaryDir Dir;
    TVXDrawing Doc;
};

TFigure* Fig(std::intptr_t handle) {
    return reinterpret_cast<TFigure*>(handle);
}

} // namespace

TEST_F(DrawingFileTest, EmptyA4DrawingIsTheHandBuiltBytes) {
    TByteBuilder expected;
    expected.Header(4)
        .Section("Document", DefaultA4DocumentData())
        .Section("Layers", BaseLayerSectionData())
        .Section("Figures", TByteBuilder().I32(0).Bytes)
        .Section("Joins", {});
    ASSERT_EQ(expected.Bytes.size(), 150u);

    ASSERT_TRUE(Doc.SaveToFile(Path("leer.qld")));
    EXPECT_EQ(ReadAll(Path("leer.qld")), expected.Bytes);
    EXPECT_FALSE(QFile::exists(Path("leer.pin")));
    EXPECT_TRUE(DrawingFile::ReadPreview(Path("leer.qld")).isNull());
}

TEST_F(DrawingFileTest, PreviewFirstAndCustomStreamLast) {
    Doc.SetSaveWithPreview(true);
    Doc.Line(0, 10, 10, 200, 280, 1, 0, 0, 0, false);
    const char custom[] = "eigene\0Daten";
    Doc.SetCustomStream(sizeof custom, custom);
    const TBytes bytes = DrawingFile::Encode(Doc).Bytes;
    ASSERT_GT(bytes.size(), 11u);
    EXPECT_EQ(bytes[10], 6);
    std::int32_t previewLength = 0;
    std::memcpy(&previewLength, &bytes[11], 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[15])), "Preview");
    EXPECT_EQ(bytes[23], 'B');
    EXPECT_EQ(bytes[24], 'M');
    // The last section is the custom stream, its bytes unchanged.
    const TBytes tail(bytes.end() - static_cast<std::ptrdiff_t>(sizeof custom + 18), bytes.end());
    TByteBuilder expectedTail;
    expectedTail.Section("Custom Stream", TBytes(custom, custom + sizeof custom));
    EXPECT_EQ(tail, expectedTail.Bytes);

    // s = min(85/210, 100/297): 70.7 → 71 by 100 pixels.
    const QImage preview = DrawingFile::ReadPreview(bytes);
    ASSERT_FALSE(preview.isNull());
    EXPECT_EQ(preview.size(), QSize(71, 100));
    EXPECT_EQ(Bmp::Encode(DrawingFile::RenderPreview(Doc)),
              TBytes(bytes.begin() + 23, bytes.begin() + 23 + previewLength));
    // The line from (10,10) to (200,280) runs from about (3,3) to (67,94).
    int dark = 0;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x)
            if ((preview.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                ++dark;
                EXPECT_NEAR(y, 3.4 + (x - 3.4) * 270.0 / 190.0, 2.5) << x;
            }
    EXPECT_GT(dark, 60);
}

TEST_F(DrawingFileTest, RichDrawingRoundTripsByteForByte) {
    Doc.SetSaveWithPreview(true);
    const int hidden = Doc.NewLayer(QString::fromUtf8("Maße Ä"));
    const int grayed = Doc.NewLayer("Grau");
    Doc.HideLayer(hidden);
    Doc.GrayLayer(grayed);
    Doc.SetRulerSystem(TRulerSystem::rsWhitworth);
    Doc.SetGridStep(3);
    Doc.AddGuide(1, 12.5);
    Doc.AddGuide(0, 40.25);
    TFigure* a = Fig(Doc.Line(0, 10, 10, 50, 10, 1, 0, 0xFF, 1, false));
    TFigure* b = Fig(Doc.Line(hidden, 50, 10, 50, 60, 2, 0, -255, 0, false));
    const std::vector<TDoublePoint> pts{DoublePoint(0, 0), DoublePoint(20, 5), DoublePoint(30, 40)};
    TFigure* p = Fig(Doc.PolyLine(grayed, pts, 1, 0, 0, 0, 1, 0, false, false));
    TFigure* c = Fig(Doc.DrawCircle(0, 100, 100, 20, 1, 0, 0, 1, 0xFF00, false));
    a->SetJoin2(b);
    b->SetJoin1(a);
    p->SetJoin1(c);
    p->SetJoin2(a);
    a->FAttributes << "Teil=Träger 1" << "Preis=12,50 €";
    c->FAttributes << "Name_C=auch ein Attribut";
    auto group = TFigureGrp::Create(Doc.LayerAt(0), &Doc, true);
    group->Add(TLine::Create(1, &Doc, true, Doc.LayerAt(0), TRowStyle{}, 0, 0, 1, 1, 5, 5));
    group->Add(TBlock::Create("Tür", Doc.LayerAt(0), &Doc, true));
    group->RecalcBounds();
    Doc.AddFigure(std::move(group), false, TInsertReason::irCreate);
    const char custom[] = {1, 2, 0, 3};
    Doc.SetCustomStream(sizeof custom, custom);

    ASSERT_TRUE(Doc.SaveToFile(Path("r1.qld")));
    TBytes qld = ReadAll(Path("r1.qld"));
    TBytes pin = ReadAll(Path("r1.pin"));
    ASSERT_FALSE(pin.empty());
    for (int round = 2; round <= 3; ++round) {
        SCOPED_TRACE(round);
        TVXDrawing loaded;
        loaded.resize(640, 480);
        const QString from = Path(QString("r%1.qld").arg(round - 1));
        ASSERT_TRUE(loaded.LoadFromFile(from));
        EXPECT_FALSE(loaded.Updated());
        EXPECT_EQ(loaded.FileName, from);
        ASSERT_EQ(loaded.LayerCount(), 3);
        EXPECT_EQ(loaded.GetLayerName(1), QString::fromUtf8("Maße Ä"));
        EXPECT_FALSE(loaded.GetLayerVisible(1));
        EXPECT_TRUE(loaded.GetLayerGrayed(2));
        EXPECT_EQ(loaded.RulerSystem(), TRulerSystem::rsWhitworth);
        EXPECT_EQ(loaded.GridStep(), 3.0);
        EXPECT_EQ(loaded.GuideCount(), 2);
        ASSERT_EQ(loaded.FigureCount(), 5);
        EXPECT_EQ(loaded.GetFigure(0)->FJoin2, loaded.GetFigure(1));
        EXPECT_EQ(loaded.GetFigure(2)->FJoin1, loaded.GetFigure(3));
        EXPECT_EQ(loaded.GetFigure(2)->FJoin2, loaded.GetFigure(0));
        EXPECT_EQ(loaded.GetFigure(0)->FAttributes, QStringList({"Teil=Träger 1", "Preis=12,50 €"}));
        EXPECT_EQ(loaded.GetFigure(3)->FAttributes, QStringList({"Name_C=auch ein Attribut"}));
        EXPECT_EQ(loaded.GetFigure(1)->FLayer, loaded.LayerAt(1));
        EXPECT_EQ(loaded.CountBlock("Tür"), 1);
        EXPECT_EQ(loaded.GetCustomStream(), QByteArray(custom, sizeof custom));
        ASSERT_TRUE(loaded.SaveToFile(Path(QString("r%1.qld").arg(round))));
        EXPECT_EQ(ReadAll(Path(QString("r%1.qld").arg(round))), qld);
        EXPECT_EQ(ReadAll(Path(QString("r%1.pin").arg(round))), pin);
    }
}

TEST_F(DrawingFileTest, PinSidecarHoldsClassAndAttributesInOrder) {
    TFigure* line = Fig(Doc.Line(0, 0, 0, 1, 1, 1, 0, 0, 0, false));
    line->FName = "Linie7";
    line->FAttributes << "b=2" << "a=1";
    const TIniFile pin = DrawingFile::Encode(Doc).Pin;
    EXPECT_EQ(pin.SectionLines("Linie7"), QStringList({"Name_C=TLine", "b=2", "a=1"}));
}

// Figures that share a name share a sidecar section; each keeps its own
// attributes, and a user attribute called like the class key stays one.
TEST_F(DrawingFileTest, FiguresSharingANameKeepTheirOwnAttributes) {
    TFigure* first = Fig(Doc.Line(0, 0, 0, 1, 1, 1, 0, 0, 0, false));
    TFigure* second = Fig(Doc.DrawCircle(0, 5, 5, 2, 1, 0, 0, 1, 0, false));
    TFigure* third = Fig(Doc.Line(0, 2, 2, 3, 3, 1, 0, 0, 0, false));
    for (TFigure* f : {first, second, third}) f->FName = "Teil";
    first->FAttributes << "a=1";
    second->FAttributes << "Name_C=kein Klassenname" << "b=2";
    third->FAttributes << "c=3" << "d=4";
    const DrawingFile::TEncodedDrawing encoded = DrawingFile::Encode(Doc);
    EXPECT_EQ(encoded.Pin.SectionLines("Teil"),
              QStringList({"Name_C=TLine", "a=1", "Name_C=TCircle", "Name_C=kein Klassenname", "b=2", "Name_C=TLine",
                           "c=3", "d=4"}));
    TVXDrawing loaded;
    ASSERT_EQ(DrawingFile::Decode(loaded, encoded.Bytes, encoded.Pin), DrawingFile::TLoadResult::Loaded);
    ASSERT_EQ(loaded.FigureCount(), 3);
    EXPECT_EQ(loaded.GetFigure(0)->FAttributes, QStringList({"a=1"}));
    EXPECT_EQ(loaded.GetFigure(1)->FAttributes, QStringList({"Name_C=kein Klassenname", "b=2"}));
    EXPECT_EQ(loaded.GetFigure(2)->FAttributes, QStringList({"c=3", "d=4"}));
    EXPECT_EQ(DrawingFile::Encode(loaded).Pin.SectionLines("Teil"), encoded.Pin.SectionLines("Teil"));
}

TEST_F(DrawingFileTest, JoinsResolveToTheFirstNameAndIgnoreCommas) {
    TByteBuilder figures;
    TBytes records;
    auto lineRecord = [&](const QString& name) {
        auto line = TLine::Create(1, &Doc, true, Doc.LayerAt(0), TRowStyle{}, 0, 0, 0, 0, 1, 1);
        line->FName = name;
        TMemoryStream s;
        line->SaveToStream(s);
        TByteBuilder r;
        r.I32(static_cast<std::int32_t>(s.Size())).Raw(s.Data());
        return r.Bytes;
    };
    figures.I32(4).Raw(lineRecord("L")).Raw(lineRecord("Z")).Raw(lineRecord("Z")).Raw(lineRecord("a,b"));
    TByteBuilder joins;
    joins.U8(180).Str("L,Z").U8(181).Str("a,b,Z").U8(181).Str("L,fehlt").U8(5);
    TByteBuilder file;
    file.Header(3).Section("Layers", BaseLayerSectionData()).Section("Figures", figures.Bytes).Section("Joins", joins.Bytes);
    TVXDrawing loaded;
    ASSERT_EQ(DrawingFile::Decode(loaded, file.Bytes, {}), DrawingFile::TLoadResult::Loaded);
    ASSERT_EQ(loaded.FigureCount(), 4);
    EXPECT_EQ(loaded.GetFigure(0)->FJoin1, loaded.GetFigure(1));
    EXPECT_EQ(loaded.GetFigure(0)->FJoin2, nullptr);
    EXPECT_EQ(loaded.GetFigure(3)->FJoin2, nullptr);
}

TEST(DocumentSectionRead, LegacyAndUnknownTags) {
    struct TCase {
        const char* Name;
        TBytes Data;
        std::vector<TDocumentItem> Expected;
    };
    using P = TDocumentProperty;
    const TCase cases[] = {
        {"grid step in tenths", TByteBuilder().U8(23).I32(125).Bytes, {{P::GridStep, 12.5, 0}}},
        {"page in tenths", TByteBuilder().U8(25).I32(2100).U8(26).I32(2970).Bytes,
         {{P::WorkWidth, 210, 0}, {P::WorkHeight, 297, 0}}},
        {"guides in tenths", TByteBuilder().U8(150).I32(10).U8(1).I32(125).U8(0).I32(-30).Bytes,
         {{P::Guide, 12.5, 1}, {P::Guide, -3, 0}}},
        {"guides", TByteBuilder().U8(151).I32(9).U8(0).F64(7.75).Bytes, {{P::Guide, 7.75, 0}}},
        {"unknown int", TByteBuilder().U8(88).I32(-1).U8(27).I32(200).Bytes, {{P::ZoomScale, 200, 0}}},
        {"unknown byte", TByteBuilder().U8(119).U8(7).U8(94).U8(1).Bytes, {{P::RulerSystem, 1, 0}}},
        {"no payload 120..149", TByteBuilder().U8(130).U8(28).I32(100).Bytes, {{P::MapScale, 100, 0}}},
        {"no payload 0..19, 240..255", TByteBuilder().U8(0).U8(19).U8(240).U8(255).U8(92).U8(0).Bytes,
         {{P::VerticalZero, 0, 0}}},
        {"unknown blob", TByteBuilder().U8(170).I32(3).U8(1).U8(2).U8(3).U8(21).I32(5).Bytes,
         {{P::BackGround, 5, 0}}},
        {"strings ignored", TByteBuilder().U8(180).Str("x").U8(219).Str("").U8(29).I32(7).Bytes,
         {{P::PageColor, 7, 0}}},
        {"unknown double", TByteBuilder().U8(239).F64(1.5).U8(221).F64(150).Bytes, {{P::WorkWidth, 150, 0}}},
        {"out of range values dropped",
         TByteBuilder().U8(90).U8(12).U8(91).U8(2).U8(92).U8(9).U8(94).U8(2).U8(221).F64(-5).U8(222).F64(0)
             .U8(220).F64(1e9).U8(27).I32(0).U8(27).I32(3001).U8(28).I32(0).U8(23).I32(-10).Bytes,
         {}},
        {"guide kinds other than 0 and 1 dropped", TByteBuilder().U8(151).I32(9).U8(2).F64(1).Bytes, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryStream in(c.Data);
        bool damaged = false;
        EXPECT_EQ(DocumentSection::Read(in, damaged), c.Expected);
        EXPECT_FALSE(damaged);
    }
    TMemoryStream cut(TByteBuilder().U8(27).I32(200).U8(221).U8(0).Bytes);
    bool damaged = false;
    EXPECT_EQ(DocumentSection::Read(cut, damaged), (std::vector<TDocumentItem>{{P::ZoomScale, 200, 0}}));
    EXPECT_TRUE(damaged);
}

TEST_F(DrawingFileTest, LegacyItemsApplyThroughTheSetters) {
    // Width and height make the page custom; the following layout recomputes it.
    TByteBuilder doc;
    doc.U8(23).I32(125).U8(25).I32(1000).U8(26).I32(500).U8(150).I32(5).U8(1).I32(333);
    TByteBuilder file;
    file.Header(1).Section("Document", doc.Bytes);
    TVXDrawing loaded;
    ASSERT_EQ(DrawingFile::Decode(loaded, file.Bytes, {}), DrawingFile::TLoadResult::Loaded);
    EXPECT_EQ(loaded.GridStep(), 12.5);
    EXPECT_EQ(loaded.WorkWidth(), 100.0);
    EXPECT_EQ(loaded.WorkHeight(), 50.0);
    EXPECT_EQ(loaded.PageLayout(), TPageLayout::plCustom);
    EXPECT_EQ(loaded.PageOrient(), TPageOrient::poLandscape);
    ASSERT_EQ(loaded.GuideCount(), 1);
    EXPECT_EQ(loaded.GuideAt(0).Position, 33.3);
    ASSERT_EQ(loaded.LayerCount(), 1);
    EXPECT_EQ(loaded.GetLayerName(0), "Base Layer");
}

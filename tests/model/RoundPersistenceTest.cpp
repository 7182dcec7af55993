// Round figures: their stored records written and read back, and the older
// record layouts (radii in tenths, the three-point ellipse).
#include "RoundTestSupport.h"

#include "model/Geometry.h"

#include <numbers>

using namespace round_test;

namespace {

constexpr double Pi = std::numbers::pi;

// Attributes that differ from every default.
void Decorate(TFigure& figure) {
    figure.FPenWidth = 3;
    figure.FPenColor = 0x123456;
    figure.FPenStyle = static_cast<int>(TPenStyle::psDashDot);
    figure.FBrushColor = 0x00FF80;
    figure.FBrushStyle = static_cast<int>(TBrushStyle::bsCross);
    figure.FRowStyle = static_cast<std::uint8_t>(TRowStyle::rsBothLight);
    figure.FInfo = QStringLiteral("Maß ä");
    figure.FCName = QStringLiteral("Zahnrad");
    figure.FTag30 = 77;
    figure.FTag31 = -5;
}

struct TRoundTrip {
    const char* Name;
    std::unique_ptr<TFigure> (*Make)(TFakeDocument& doc);
};

std::unique_ptr<TFigure> MakeCircle(TFakeDocument& doc) {
    return TCircle::Create(doc.LayerAt(1), &doc, true, DoublePoint(12.5, -3.25), 7.125);
}
std::unique_ptr<TFigure> MakeUserCircle(TFakeDocument& doc) {
    auto circle = NewFigure(TUserCircle::StaticClass(), doc.LayerAt(1), &doc);
    static_cast<TCircle*>(circle.get())->SetCircle(DoublePoint(1, 2), 3);
    return circle;
}
std::unique_ptr<TFigure> MakeEllipse(TFakeDocument& doc) {
    return TEllipse::Create(doc.LayerAt(1), &doc, true, DoublePoint(40, 30), 20, 8.5, Pi / 6);
}
std::unique_ptr<TFigure> MakeUserEllipse(TFakeDocument& doc) {
    auto ellipse = NewFigure(TUserEllipse::StaticClass(), doc.LayerAt(1), &doc);
    static_cast<TEllipse*>(ellipse.get())->SetEllipse(DoublePoint(-4, 9), 6, 2, 2.5);
    return ellipse;
}
std::unique_ptr<TFigure> MakeArc(TFakeDocument& doc) {
    return TArc::Create(doc.LayerAt(1), &doc, true, DoublePoint(5, 6), 12.5, 3 * Pi / 2, Pi / 2, TArcStyle::asPie);
}
std::unique_ptr<TFigure> MakeUserArc(TFakeDocument& doc) {
    auto arc = NewFigure(TUserArc::StaticClass(), doc.LayerAt(1), &doc);
    auto* a = static_cast<TArc*>(arc.get());
    a->FArcStyle = TArcStyle::asChord;
    a->SetArc(DoublePoint(0, 0), 4, 1, 2);
    return arc;
}
std::unique_ptr<TFigure> MakeElpArc(TFakeDocument& doc) {
    return TElpArc::Create(doc.LayerAt(1), &doc, true, DoublePoint(10, 20), 15, 5, Pi / 5, 0.5, 4.0,
                           TArcStyle::asChord);
}
std::unique_ptr<TFigure> MakeHellical(TFakeDocument& doc) {
    return THellical::Create(doc.LayerAt(1), &doc, true, 1, 2, 11, 7);
}

TEST(RoundRecord, EveryClassWritesBackTheBytesItRead) {
    RegisterRoundClasses();
    const TRoundTrip cases[] = {
        {"TCircle", &MakeCircle},   {"TUserCircle", &MakeUserCircle}, {"TEllipse", &MakeEllipse},
        {"TUserEllipse", &MakeUserEllipse}, {"TArc", &MakeArc}, {"TUserArc", &MakeUserArc},
        {"TElpArc", &MakeElpArc},   {"THellical", &MakeHellical},
    };
    for (const TRoundTrip& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeDocument doc(2);
        std::unique_ptr<TFigure> figure = c.Make(doc);
        Decorate(*figure);
        const std::vector<std::uint8_t> first = Save(*figure);
        std::unique_ptr<TFigure> loaded = Load(first, &doc);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->Class().Name, QString::fromLatin1(c.Name));
        EXPECT_EQ(loaded->FLayer, doc.LayerAt(1));
        // The spiral has no fill and keeps none.
        if (loaded->Class().Name != QStringLiteral("THellical")) {
            EXPECT_EQ(loaded->FBrushStyle, static_cast<int>(TBrushStyle::bsCross));
            EXPECT_EQ(loaded->FBrushColor, 0x00FF80);
        }
        EXPECT_EQ(loaded->FCName, QStringLiteral("Zahnrad"));
        EXPECT_EQ(Save(*loaded), first);
        // The same for a direct copy.
        std::unique_ptr<TFigure> copy = figure->Clone();
        EXPECT_EQ(Save(*copy), first);
    }
}

TEST(RoundRecord, ClassItemsFollowTheBaseRecordInTheirOrder) {
    RegisterRoundClasses();
    TFakeDocument doc;
    auto arc = TArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 12.5, 1.0, 2.0, TArcStyle::asChord, 1, 0,
                            0, 0x0000FF, static_cast<int>(TBrushStyle::bsSolid));
    const std::vector<std::uint8_t> bytes = Save(*arc);
    // 90 brush style, 91 arc style, 20 brush colour, 222 radius, 220 start, 221 end.
    TMemoryStream tail;
    WriteTaggedByte(90, tail, 0);
    WriteTaggedByte(91, tail, 2);
    WriteTaggedInt(20, tail, 0x0000FF);
    WriteTaggedDouble(222, tail, 12.5);
    WriteTaggedDouble(220, tail, 1.0);
    WriteTaggedDouble(221, tail, 2.0);
    const std::vector<std::uint8_t> expected = tail.TakeData();
    ASSERT_GE(bytes.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.end() - static_cast<std::ptrdiff_t>(expected.size())));

    auto ellipse = TEllipse::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 9, 4, 0);
    const std::vector<std::uint8_t> ebytes = Save(*ellipse);
    TMemoryStream etail;
    WriteTaggedByte(90, etail, 1);
    WriteTaggedInt(20, etail, 0xFFFFFF);
    WriteTaggedDouble(220, etail, 9);
    WriteTaggedDouble(221, etail, 4);
    const std::vector<std::uint8_t> eexpected = etail.TakeData();
    EXPECT_TRUE(
        std::equal(eexpected.begin(), eexpected.end(), ebytes.end() - static_cast<std::ptrdiff_t>(eexpected.size())));
}

TEST(RoundRecord, LegacyRadiiInTenthsAreRead) {
    RegisterRoundClasses();
    {
        SCOPED_TRACE("arc: tag 21 = 125 and no 222");
        TRecordBuilder b;
        b.Base("TArc", {0, 0, 0, 0, 0, 0});
        b.Byte(90, 1);
        b.Byte(91, 0);
        b.Int(20, 0);
        b.Int(21, 125);
        b.Double(220, 0);
        b.Double(221, Pi / 2);
        auto figure = Load(b.Bytes());
        auto* arc = As<TArc>(figure);
        ASSERT_NE(arc, nullptr);
        EXPECT_DOUBLE_EQ(arc->FRadius, 12.5);
        // Points 2 and 3 lie on the arc's ends at once.
        EXPECT_POINT_NEAR(arc->GetPoint(2), 12.5, 0, 1e-4);
        EXPECT_POINT_NEAR(arc->GetPoint(3), 0, 12.5, 1e-4);
    }
    {
        SCOPED_TRACE("circle: tag 21");
        TRecordBuilder b;
        b.Base("TCircle", {3, 4});
        b.Int(21, 55);
        auto figure = Load(b.Bytes());
        ASSERT_NE(As<TCircle>(figure), nullptr);
        EXPECT_DOUBLE_EQ(figure->FRadius, 5.5);
    }
    {
        SCOPED_TRACE("ellipse: tags 21 and 22");
        TRecordBuilder b;
        b.Base("TEllipse", {0, 0, 7.5, 0});
        b.Int(21, 75);
        b.Int(22, 30);
        auto figure = Load(b.Bytes());
        auto* ellipse = As<TEllipse>(figure);
        ASSERT_NE(ellipse, nullptr);
        EXPECT_DOUBLE_EQ(ellipse->FRadiusA, 7.5);
        EXPECT_DOUBLE_EQ(ellipse->FRadiusB, 3.0);
    }
}

TEST(RoundRecord, ThreePointEllipseIsReadAsTwoPointsWithPointTwoOnItsAxis) {
    RegisterRoundClasses();
    TRecordBuilder b;
    // Centre, an old second and third point, angle 30°.
    b.Base("TEllipse", {10, 10, 99, 99, 10, 15}, Pi / 6);
    b.Byte(90, 1);
    b.Int(20, 0);
    b.Int(21, 100);
    b.Int(22, 50);
    const std::vector<std::uint8_t> record = b.Bytes();
    auto figure = Load(record);
    auto* ellipse = As<TEllipse>(figure);
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->PointCount(), 2);
    EXPECT_DOUBLE_EQ(ellipse->FRadiusA, 10);
    EXPECT_DOUBLE_EQ(ellipse->FRadiusB, 5);
    EXPECT_NEAR(ellipse->FAngle, Pi / 6, 1e-12);
    EXPECT_POINT_NEAR(ellipse->GetPoint(2), 10 + 10 * std::cos(Pi / 6), 10 + 10 * std::sin(Pi / 6), 1e-9);
    // Written in the current layout, and stable from then on.
    const std::vector<std::uint8_t> first = Save(*ellipse);
    auto again = Load(first);
    EXPECT_EQ(again->PointCount(), 2);
    EXPECT_EQ(Save(*again), first);
}

TEST(RoundRecord, ArcWithoutAnglesTakesThemFromItsPointsAndNormalisesThem) {
    RegisterRoundClasses();
    {
        SCOPED_TRACE("both angles 0: from points 2 and 3");
        TRecordBuilder b;
        b.Base("TArc", {0, 0, 0, 10, -10, 0});
        b.Double(222, 10);
        b.Double(220, 0);
        b.Double(221, 0);
        auto figure = Load(b.Bytes());
        auto* arc = As<TArc>(figure);
        ASSERT_NE(arc, nullptr);
        EXPECT_NEAR(arc->FStartAngle, Pi / 2, 1e-12);
        EXPECT_NEAR(arc->FEndAngle, Pi, 1e-12);
    }
    {
        SCOPED_TRACE("angles outside [0, 2π)");
        TRecordBuilder b;
        b.Base("TElpArc", {0, 0, 0, 0, 0, 0, 0, 0});
        b.Double(222, 8);
        b.Double(223, 4);
        b.Double(220, -Pi / 2);
        b.Double(221, 5 * Pi);
        auto figure = Load(b.Bytes());
        auto* arc = As<TElpArc>(figure);
        ASSERT_NE(arc, nullptr);
        EXPECT_NEAR(arc->FStartAngle, 3 * Pi / 2, 1e-12);
        EXPECT_NEAR(arc->FEndAngle, Pi, 1e-12);
        EXPECT_EQ(arc->PointCount(), 4);
        EXPECT_POINT_NEAR(arc->GetPoint(2), 0, -4, 1e-4);
        EXPECT_POINT_NEAR(arc->GetPoint(3), -8, 0, 1e-4);
        EXPECT_POINT_NEAR(arc->GetPoint(4), 8, 0, 1e-12);
    }
}

TEST(RoundRecord, HellicalStoresOnlyTheBaseRecord) {
    RegisterRoundClasses();
    auto spiral = THellical::Create(nullptr, nullptr, true, 0, 0, 10, 0);
    const std::vector<std::uint8_t> bytes = Save(*spiral);
    const char end[] = "BaseEnd";
    ASSERT_GE(bytes.size(), sizeof end);
    EXPECT_EQ(std::memcmp(bytes.data() + bytes.size() - sizeof end, end, sizeof end), 0);
}

} // namespace

// Lines: the stored record, joins while a selection moves, snapping, offsets,
// cutting, drawing, interactive creation and the user-drawn variant.
#include "support/FakeDocument.h"
#include "model/Pattern.h"

#include "model/Geometry.h"
#include "model/Line.h"
#include "model/Polyline.h"
#include "model/Vertex.h"
#include <gtest/gtest.h>
#include <array>
#include <cstring>
#include <numbers>

namespace {

void ExpectNear(const TDoublePoint& actual, const TDoublePoint& expected) {
    EXPECT_NEAR(actual.X, expected.X, 1e-9);
    EXPECT_NEAR(actual.Y, expected.Y, 1e-9);
}

std::vector<std::uint8_t> Save(const TFigure& figure) {
    TMemoryStream out;
    figure.SaveToStream(out);
    return out.TakeData();
}

std::unique_ptr<TFigure> Load(const std::vector<std::uint8_t>& bytes, TFigureDocument* doc) {
    TMemoryStream in(bytes);
    return TFigure::CreateFromStream(in, doc ? doc->LayerAt(0) : nullptr, doc, true);
}

void RegisterClasses() {
    RegisterFigureClass(TLine::StaticClass());
    RegisterFigureClass(TVertex::StaticClass());
    RegisterFigureClass(TCircleVertex::StaticClass());
    RegisterFigureClass(TUserLine::StaticClass());
    RegisterFigureClass(TUserVertex::StaticClass());
}

std::unique_ptr<TLine> MakeLine(TFakeDocument* doc, double x1, double y1, double x2, double y2) {
    return TLine::Create(1, doc, true, doc ? doc->LayerAt(0) : nullptr, TRowStyle::rsNone, 0, 0, x1, y1, x2, y2);
}

// The record built item by item: class name, name, the base items in their
// order, the end marker, then the two arrow sizes.
class TRecordBuilder {
public:
    void Str(const char* text) {
        FStream.Write(text, std::strlen(text));
        FStream.WriteU8(0);
    }
    void Byte(std::uint8_t tag, std::uint8_t v) {
        FStream.WriteU8(tag);
        FStream.WriteU8(v);
    }
    void Int(std::uint8_t tag, std::int32_t v) {
        FStream.WriteU8(tag);
        FStream.WriteI32(v);
    }
    void Double(std::uint8_t tag, double v) {
        FStream.WriteU8(tag);
        FStream.WriteDouble(v);
    }
    void TaggedStr(std::uint8_t tag, const char* text) {
        FStream.WriteU8(tag);
        Str(text);
    }
    void Points(std::initializer_list<double> coordinates) {
        FStream.WriteU8(152);
        FStream.WriteI32(static_cast<std::int32_t>(coordinates.size() * 8));
        for (double c : coordinates) FStream.WriteDouble(c);
    }
    std::vector<std::uint8_t> Bytes() { return FStream.TakeData(); }

private:
    TMemoryStream FStream;
};

std::vector<std::uint8_t> ReferenceLineRecord() {
    TRecordBuilder b;
    b.Str("TLine");
    b.Str("Line1");
    b.Byte(90, 0);  // FDiagonal
    b.Byte(91, 1);  // rsRightSolid
    b.Byte(92, 0);  // no dimensions
    b.Int(21, 0);   // layer 0
    b.Double(220, 0); // FRotAngle
    b.Double(221, 0); // FAngle
    b.Double(222, 0); // FRadius
    b.Int(24, 2);   // point count
    b.Int(26, 1);   // pen width
    b.Int(27, 0x0000FF);
    b.Int(28, 0);   // psSolid
    b.Int(29, 1234);
    b.Int(30, 0);
    b.Int(31, 0);
    b.Points({0, 0, 10, 5});
    b.TaggedStr(181, "");
    b.TaggedStr(182, "");
    b.TaggedStr(180, "BaseEnd");
    b.Double(220, 1.2); // FArrowWidth
    b.Double(221, 3.5); // FArrowLength
    return b.Bytes();
}

// --- the stored record ---

TEST(LineRecord, ReferenceLineIsWrittenAsTheDocumented153Bytes) {
    RegisterClasses();
    TFakeDocument doc;
    auto line = TLine::Create(1, &doc, true, doc.LayerAt(0), TRowStyle::rsRightSolid, 0x0000FF, 0, 0, 0, 10, 5);
    line->FName = QStringLiteral("Line1");
    line->FTagNumber = 1234;

    const std::vector<std::uint8_t> expected = ReferenceLineRecord();
    ASSERT_EQ(expected.size(), 153u);
    const std::vector<std::uint8_t> bytes = Save(*line);
    EXPECT_EQ(bytes, expected);

    auto read = Load(bytes, &doc);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(&read->Class(), &TLine::StaticClass());
    auto* readLine = static_cast<TLine*>(read.get());
    EXPECT_EQ(readLine->FName, QStringLiteral("Line1"));
    EXPECT_EQ(readLine->FTagNumber, 1234);
    EXPECT_EQ(readLine->RowStyle(), TRowStyle::rsRightSolid);
    EXPECT_EQ(readLine->FPenColor, 0x0000FF);
    EXPECT_EQ(readLine->GetPoint(2), DoublePoint(10, 5));
    EXPECT_EQ(readLine->FArrowWidth, 1.2);
    EXPECT_EQ(readLine->FArrowLength, 3.5);
    EXPECT_EQ(Save(*read), expected);
}

TEST(LineRecord, ArrowSizesComeFromTheLinesOwnTagsNotTheBaseOnes) {
    RegisterClasses();
    auto line = MakeLine(nullptr, 0, 0, 1, 1);
    line->FRotAngle = 0.5; // base tag 220
    line->FArrowWidth = 2.25;
    line->FArrowLength = 6.5;
    auto read = Load(Save(*line), nullptr);
    auto* readLine = static_cast<TLine*>(read.get());
    EXPECT_EQ(readLine->FRotAngle, 0.5);
    EXPECT_EQ(readLine->FArrowWidth, 2.25);
    EXPECT_EQ(readLine->FArrowLength, 6.5);
}

// Every class of this module written with non-default attributes reads back
// as the same class and writes the same bytes again.
TEST(LineRecord, EveryLineAndPointClassRoundTripsByteForByte) {
    RegisterClasses();
    TFakeDocument doc(2);
    struct TCase {
        const TFigureClass* Cls;
        int Points;
    };
    const TCase cases[] = {{&TLine::StaticClass(), 2},
                           {&TUserLine::StaticClass(), 2},
                           {&TVertex::StaticClass(), 1},
                           {&TCircleVertex::StaticClass(), 1},
                           {&TUserVertex::StaticClass(), 1}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Cls->Name.toStdString());
        std::unique_ptr<TFigure> f = NewFigure(*c.Cls, doc.LayerAt(1), &doc, true);
        for (int i = 1; i <= c.Points; ++i) f->SetPoint(i, DoublePoint(1.5 * i, -2.25 * i));
        f->FPenWidth = 3;
        f->FPenColor = 0x123456;
        f->FPenStyle = 2;
        f->FRowStyle = 5;
        f->FRotAngle = 0.25;
        f->FAngle = -0.5;
        f->FRadius = 6.5;
        f->FTag30 = 77;
        f->FTag31 = -3;
        f->FInfo = QStringLiteral("Größe");
        f->FCName = QStringLiteral("Custom");
        f->FDiagonal = true;
        if (auto* line = dynamic_cast<TLine*>(f.get())) {
            line->FArrowWidth = 0.75;
            line->FArrowLength = 9.125;
        }
        const std::vector<std::uint8_t> first = Save(*f);
        auto read = Load(first, &doc);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(&read->Class(), c.Cls);
        EXPECT_EQ(read->FLayer, doc.LayerAt(1));
        EXPECT_EQ(read->FCName, QStringLiteral("Custom"));
        EXPECT_EQ(read->FRadius, 6.5);
        EXPECT_EQ(read->PointCount(), c.Points);
        EXPECT_EQ(Save(*read), first);
    }
}

// --- joins while a selection moves ---

class LineJoins : public ::testing::Test {
protected:
    void SetUp() override {
        line = MakeLine(&doc, 0, 0, 10, 0);
        a = TVertex::Create(doc.LayerAt(0), &doc, true, 0, 0);
        b = TVertex::Create(doc.LayerAt(0), &doc, true, 10, 0);
    }

    // What the document does: FMoving on every selected line without
    // FLockMove, then every selected figure without FLockMove moves.
    static void MoveSelection(const std::vector<TFigure*>& order, double dx, double dy) {
        for (TFigure* f : order) {
            f->FSelected = true;
            if (auto* l = dynamic_cast<TLine*>(f); l && !l->FLockMove) l->FMoving = true;
        }
        for (TFigure* f : order)
            if (!f->FLockMove) f->Move(dx, dy);
    }

    TFakeDocument doc;
    std::unique_ptr<TLine> line;
    std::unique_ptr<TVertex> a;
    std::unique_ptr<TVertex> b;
};

TEST_F(LineJoins, ALineJoinedAtBothEndsDoesNotMoveByItself) {
    line->SetJoin1(a.get());
    line->SetJoin2(b.get());
    line->FMoving = true;
    line->Move(5, 5);
    EXPECT_FALSE(line->FMoving);
    EXPECT_EQ(line->GetPoint(1), DoublePoint(0, 0));
    EXPECT_EQ(line->GetPoint(2), DoublePoint(10, 0));
}

TEST_F(LineJoins, BothEndsFollowTheirTargetsExactlyOnceInEveryOrder) {
    line->SetJoin1(a.get());
    line->SetJoin2(b.get());
    const std::vector<std::vector<TFigure*>> orders = {{line.get(), a.get(), b.get()},
                                                       {a.get(), line.get(), b.get()},
                                                       {a.get(), b.get(), line.get()}};
    double x = 0;
    for (const auto& order : orders) {
        SCOPED_TRACE(&order - orders.data());
        MoveSelection(order, 3, 2);
        x += 3;
        EXPECT_EQ(line->GetPoint(1), DoublePoint(x, 2 * x / 3));
        EXPECT_EQ(line->GetPoint(2), DoublePoint(10 + x, 2 * x / 3));
    }
}

TEST_F(LineJoins, ALineJoinedAtOneEndMovesOnceWithItsMovingTargetInEitherOrder) {
    line->SetJoin1(a.get());
    const std::vector<std::vector<TFigure*>> orders = {{line.get(), a.get()}, {a.get(), line.get()}};
    for (const auto& order : orders) {
        SCOPED_TRACE(&order - orders.data());
        const TDoublePoint p1 = line->GetPoint(1), p2 = line->GetPoint(2);
        MoveSelection(order, 4, -1);
        EXPECT_EQ(line->GetPoint(1), OffsetXY(p1, 4, -1));
        EXPECT_EQ(line->GetPoint(2), OffsetXY(p2, 4, -1));
        EXPECT_EQ(line->GetPoint(1), a->GetPoint(1));
    }
    // Afterwards the joined end follows its target again when the target moves alone.
    a->FSelected = false;
    line->FSelected = false;
    a->Move(1, 1);
    EXPECT_EQ(line->GetPoint(1), a->GetPoint(1));
    EXPECT_EQ(line->GetPoint(2), DoublePoint(18, -2));
}

TEST_F(LineJoins, ATargetThatStaysBehindKeepsItsEndInPlace) {
    line->SetJoin1(a.get());
    line->SetJoin2(b.get());
    // Only the line and target a move: end 1 follows a, end 2 stays on b.
    MoveSelection({line.get(), a.get()}, 2, 2);
    EXPECT_EQ(line->GetPoint(1), DoublePoint(2, 2));
    EXPECT_EQ(line->GetPoint(2), DoublePoint(10, 0));

    // A line joined at one end whose target does not move moves completely.
    auto other = MakeLine(&doc, 0, 5, 10, 5);
    other->SetJoin2(b.get());
    MoveSelection({other.get()}, 1, 0);
    EXPECT_EQ(other->GetPoint(1), DoublePoint(1, 5));
    EXPECT_EQ(other->GetPoint(2), DoublePoint(11, 5));
}

TEST_F(LineJoins, MovingFlagRules) {
    // Joined at one end: the notice is ignored while FMoving is set.
    line->SetJoin1(a.get());
    line->FMoving = true;
    line->JoinedFigureMoved(a.get(), 5, 0);
    EXPECT_EQ(line->GetPoint(1), DoublePoint(0, 0));
    // Joined at both ends: the notice is followed even while FMoving is set.
    line->SetJoin2(b.get());
    line->JoinedFigureMoved(b.get(), 0, 5);
    EXPECT_EQ(line->GetPoint(2), DoublePoint(10, 5));
    // A figure the line is not joined to is ignored.
    line->FMoving = false;
    auto stranger = TVertex::Create(doc.LayerAt(0), &doc, true, 0, 0);
    line->JoinedFigureMoved(stranger.get(), 7, 7);
    EXPECT_EQ(line->GetPoint(1), DoublePoint(0, 0));
    // Both ends on the same target: both follow it.
    line->SetJoin2(a.get());
    a->Move(1, 2);
    EXPECT_EQ(line->GetPoint(1), DoublePoint(1, 2));
    EXPECT_EQ(line->GetPoint(2), DoublePoint(11, 7));
}

TEST_F(LineJoins, DraggingAnEndWithTheBindFlagsBindsItToTheFigureThere) {
    doc.Figures.push_back(b.get());
    TModPoint handle;
    handle.Index = 2;
    handle.X = 10;
    handle.Y = 0;
    b->Move(10, 10); // b now at (20, 10)
    line->ApplyDrag(&handle, 1, 20, 10, nullptr);
    EXPECT_EQ(line->GetPoint(2), DoublePoint(20, 10));
    EXPECT_EQ(line->FJoin2, nullptr); // flag 4 missing
    handle.X = 20;
    handle.Y = 10;
    line->ApplyDrag(&handle, 1 | 4, 20, 10, nullptr);
    EXPECT_EQ(line->GetPoint(2), DoublePoint(20, 10));
    EXPECT_EQ(line->FJoin2, b.get());
    b->Move(1, 0);
    EXPECT_EQ(line->GetPoint(2), DoublePoint(21, 10));
    // Nothing under the point: the end is dragged but not bound.
    handle.Index = 1;
    handle.X = 0;
    handle.Y = 0;
    line->ApplyDrag(&handle, 5, 50, 50, nullptr);
    EXPECT_EQ(line->GetPoint(1), DoublePoint(50, 50));
    EXPECT_EQ(line->FJoin1, nullptr);
    EXPECT_EQ(line->FJoin2, b.get());
}

TEST_F(LineJoins, BoundEndsAreMarkedInRed) {
    line->SetJoin2(b.get());
    doc.EngineInstance.Markers.clear();
    line->DrawExtras(doc.EngineInstance);
    ASSERT_EQ(doc.EngineInstance.Markers.size(), 1u);
    const auto& m = doc.EngineInstance.Markers[0];
    EXPECT_EQ(m.Shape, 0);
    EXPECT_EQ(m.Color, 0x0000FF);
    EXPECT_EQ(m.HalfSize, 3.0);
    EXPECT_EQ(m.P, DoublePoint(10, 0));
}

// --- snapping ---

TEST(LineSnap, EndPointsFirstThenThePerpendicularFootWithin18Pixels) {
    auto line = MakeLine(nullptr, 0, 0, 100, 0);
    struct TCase {
        TDoublePoint In;
        double Scale;
        bool Snaps;
        TDoublePoint Out;
    } const cases[] = {
        {DoublePoint(2, 2.5), 4, true, DoublePoint(0, 0)},       // end point within 3 mm
        {DoublePoint(50, 4), 4, true, DoublePoint(50, 0)},       // 16 px from the foot
        {DoublePoint(50, -4.4), 4, true, DoublePoint(50, 0)},    // 17.6 px
        {DoublePoint(50, 4.5), 4, false, DoublePoint(50, 4.5)},  // 18 px is too far
        {DoublePoint(50, 8), 2, true, DoublePoint(50, 0)},       // the scale decides
        {DoublePoint(100.05, 3.5), 4, true, DoublePoint(100.05, 0)}, // foot within 0.1 of the end
        {DoublePoint(100.2, 3.5), 4, false, DoublePoint(100.2, 3.5)},
        {DoublePoint(-4, 1), 4, false, DoublePoint(-4, 1)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.In.X << ", " << c.In.Y << " at " << c.Scale);
        double x = c.In.X, y = c.In.Y;
        EXPECT_EQ(line->SnapToPointScaled(x, y, c.Scale), c.Snaps);
        ExpectNear(DoublePoint(x, y), c.Out);
    }

    auto diagonal = MakeLine(nullptr, 0, 0, 10, 10);
    double x = 6, y = 4;
    EXPECT_TRUE(diagonal->SnapToPointScaled(x, y, 4));
    ExpectNear(DoublePoint(x, y), DoublePoint(5, 5));
}

TEST(LineSnap, TheSlotSnapUsesTheDocumentsScale) {
    TFakeDocument doc; // 4 pixels per millimetre
    auto line = MakeLine(&doc, 0, 0, 100, 0);
    double x = 50, y = 4;
    EXPECT_TRUE(line->SnapToPoint(x, y));
    EXPECT_EQ(y, 0);
    x = 50;
    y = 5;
    EXPECT_FALSE(line->SnapToPoint(x, y));
    auto loose = MakeLine(nullptr, 0, 0, 100, 0);
    EXPECT_FALSE(loose->SnapToPoint(x, y)); // without a document only the end points
}

// --- offset, cutting, clone ---

TEST(LineOffset, ParallelToTheLeftOfTheDirectionForPositiveDistances) {
    TFakeDocument doc;
    struct TCase {
        TDoublePoint A, B;
        double D;
        TDoublePoint OutA, OutB;
    } const cases[] = {
        {DoublePoint(0, 0), DoublePoint(10, 0), 2, DoublePoint(0, 2), DoublePoint(10, 2)},
        {DoublePoint(10, 0), DoublePoint(0, 0), 2, DoublePoint(10, -2), DoublePoint(0, -2)},
        {DoublePoint(0, 0), DoublePoint(0, 10), -3, DoublePoint(3, 0), DoublePoint(3, 10)},
        {DoublePoint(0, 0), DoublePoint(3, 4), 5, DoublePoint(-4, 3), DoublePoint(-1, 7)},
    };
    for (const TCase& c : cases) {
        auto line = TLine::Create(2, &doc, true, doc.LayerAt(0), TRowStyle::rsBothLight, 0xFF, 1, c.A.X, c.A.Y,
                                  c.B.X, c.B.Y);
        line->FArrowWidth = 2;
        auto offset = line->CreateOffsetFigure(c.D);
        ASSERT_NE(offset, nullptr);
        auto* o = dynamic_cast<TLine*>(offset.get());
        ASSERT_NE(o, nullptr);
        ExpectNear(o->GetPoint(1), c.OutA);
        ExpectNear(o->GetPoint(2), c.OutB);
        EXPECT_TRUE(o->FPersistent);
        EXPECT_EQ(o->FPenWidth, 2);
        EXPECT_EQ(o->FPenStyle, 1);
        EXPECT_EQ(o->RowStyle(), TRowStyle::rsBothLight);
        EXPECT_EQ(o->FArrowWidth, 2);
        EXPECT_NE(o->FName, line->FName);
    }
    auto dot = MakeLine(&doc, 1, 1, 1, 1);
    EXPECT_EQ(dot->CreateOffsetFigure(2), nullptr);
}

TEST(LineCut, IntersectionOfTwoSegments) {
    auto line = MakeLine(nullptr, 0, 0, 10, 0);
    struct TCase {
        TDoublePoint A, B;
        bool Hit;
        TDoublePoint P;
    } const cases[] = {
        {DoublePoint(5, -5), DoublePoint(5, 5), true, DoublePoint(5, 0)},
        {DoublePoint(0, 2), DoublePoint(4, -2), true, DoublePoint(2, 0)},
        {DoublePoint(10, 5), DoublePoint(10, -5), true, DoublePoint(10, 0)}, // through an end
        {DoublePoint(5, 1), DoublePoint(5, 5), false, {}},                   // would meet beyond the knife
        {DoublePoint(11, -5), DoublePoint(11, 5), false, {}},                // beyond the line
        {DoublePoint(0, 1), DoublePoint(10, 1), false, {}},                  // parallel
        {DoublePoint(2, 0), DoublePoint(8, 0), false, {}},                   // collinear
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.A.X << "," << c.A.Y << " - " << c.B.X << "," << c.B.Y);
        TDoublePointArr points;
        EXPECT_EQ(line->IntersectLine(c.A, c.B, points), c.Hit);
        ASSERT_EQ(points.size(), c.Hit ? 1u : 0u);
        if (c.Hit) ExpectNear(points[0], c.P);
    }
}

TEST(LineCut, SplittingAndCuttingGivesTwoLinesWithTheSameAttributes) {
    TFakeDocument doc;
    auto line = TLine::Create(1, &doc, true, doc.LayerAt(0), TRowStyle::rsRightSolid, 0xFF00, 2, 0, 0, 10, 0);
    line->FArrowLength = 5;

    std::vector<TFigure*> list;
    EXPECT_FALSE(line->SplitAtPoint(DoublePoint(5, 5), list)); // not on the line
    EXPECT_FALSE(line->SplitAtPoint(DoublePoint(0, 0), list)); // an end: no empty piece
    EXPECT_TRUE(list.empty());
    ASSERT_TRUE(line->SplitAtPoint(DoublePoint(4, 0), list));
    ASSERT_EQ(list.size(), 2u);
    std::unique_ptr<TFigure> first(list[0]), second(list[1]);
    EXPECT_EQ(first->GetPoint(1), DoublePoint(0, 0));
    EXPECT_EQ(first->GetPoint(2), DoublePoint(4, 0));
    EXPECT_EQ(second->GetPoint(1), DoublePoint(4, 0));
    EXPECT_EQ(second->GetPoint(2), DoublePoint(10, 0));
    for (const TFigure* piece : {first.get(), second.get()}) {
        EXPECT_EQ(&piece->Class(), &TLine::StaticClass());
        EXPECT_EQ(piece->FPenColor, 0xFF00);
        EXPECT_EQ(piece->FPenStyle, 2);
        EXPECT_EQ(piece->RowStyle(), TRowStyle::rsRightSolid);
        EXPECT_EQ(static_cast<const TLine*>(piece)->FArrowLength, 5);
    }

    // Cutting through the base: the knife line's intersections split the line.
    std::vector<TFigure*> pieces;
    ASSERT_TRUE(line->CutByLine(DoublePoint(6, -3), DoublePoint(6, 3), pieces));
    ASSERT_EQ(pieces.size(), 2u);
    std::unique_ptr<TFigure> left(pieces[0]), right(pieces[1]);
    ExpectNear(left->GetPoint(2), DoublePoint(6, 0));
    ExpectNear(right->GetPoint(1), DoublePoint(6, 0));
}

TEST(LineClone, DirectCopyKeepsRotationStateArrowsNameAndTag) {
    TFakeDocument doc;
    auto line = TLine::Create(2, &doc, true, doc.LayerAt(0), TRowStyle::rsLeftSolid, 0xAB, 3, 0, 0, 10, 0);
    line->Rotate(DoublePoint(0, 0), std::numbers::pi / 2);
    line->FArrowWidth = 4;
    line->FArrowLength = 8;
    line->FTagNumber = 99;
    line->FInfo = QStringLiteral("info");
    line->FCustomStream = std::make_unique<TMemoryStream>(std::vector<std::uint8_t>{1, 2, 3});
    auto copy = line->Clone();
    auto* c = dynamic_cast<TLine*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c, line.get());
    EXPECT_EQ(c->FPoints, line->FPoints);
    EXPECT_EQ(c->FOrgPoints, (TDoublePointArr{DoublePoint(0, 0), DoublePoint(10, 0)}));
    EXPECT_EQ(c->FRotAngle, line->FRotAngle);
    EXPECT_EQ(c->FRotCentre, line->FRotCentre);
    EXPECT_EQ(c->FArrowWidth, 4);
    EXPECT_EQ(c->FArrowLength, 8);
    EXPECT_EQ(c->FName, line->FName);
    EXPECT_EQ(c->FTagNumber, 99);
    EXPECT_EQ(c->FInfo, QStringLiteral("info"));
    ASSERT_NE(c->FCustomStream, nullptr);
    EXPECT_NE(c->FCustomStream.get(), line->FCustomStream.get());
    EXPECT_EQ(c->FCustomStream->Data(), line->FCustomStream->Data());
    EXPECT_EQ(Save(*c), Save(*line));
}

TEST(LineBezier, ATwoNodeBezierPolylineWithControlsAtAQuarterAndThreeQuarters) {
    TFakeDocument doc;
    auto line = TLine::Create(2, &doc, true, doc.LayerAt(0), TRowStyle::rsRightSolid, 0xFF, 0, 0, 0, 8, 4);
    auto converted = line->ConvertToBezier();
    auto* polyline = dynamic_cast<TPolyline*>(converted.get());
    ASSERT_NE(polyline, nullptr);
    EXPECT_FALSE(polyline->Closed());
    ASSERT_EQ(polyline->PointCount(), 2);
    EXPECT_EQ(polyline->GetPoint(1), DoublePoint(0, 0));
    EXPECT_EQ(polyline->GetPoint(2), DoublePoint(8, 4));
    EXPECT_EQ(polyline->GetSegmentKind(1), 1);
    TDoublePoint in, out;
    polyline->GetNodeControls(1, in, out);
    ExpectNear(out, DoublePoint(2, 1));
    polyline->GetNodeControls(2, in, out);
    ExpectNear(in, DoublePoint(6, 3));
    EXPECT_EQ(polyline->FPenWidth, 2);
    EXPECT_EQ(polyline->FPenColor, 0xFF);
    EXPECT_EQ(polyline->FLayer, doc.LayerAt(0));
}

TEST(LineVectors, OneLineObjectRelativeToTheOrigin) {
    auto line = MakeLine(nullptr, 3, 4, 7, 9);
    std::vector<TVectorObject> list;
    line->CollectVectors(list, DoublePoint(1, 2));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (TVectorObject{TVectorObject::Line, {DoublePoint(2, 2), DoublePoint(6, 7)}}));
}

// --- drawing ---

// Records the arguments of the line primitive and the pen mode.
class TLineEngine : public TRecordingEngine {
public:
    struct TRowEnds {
        TColor Color;
        int Width;
        double HalfWidth, Length;
        TRowStyle Style;
        TPenStyle PenStyle;
        TDoublePoint P1, P2;
    };
    void DrawRowEnds(TColor color, int width, double halfWidth, double length, TRowStyle style, TPenStyle penStyle,
                     const TDoublePoint& p1, const TDoublePoint& p2, TRegionSlot* region) override {
        TRecordingEngine::DrawRowEnds(color, width, halfWidth, length, style, penStyle, p1, p2, region);
        RowEnds.push_back({color, width, halfWidth, length, style, penStyle, p1, p2});
    }
    void SetPenMode(TPenMode mode) override { Modes.push_back(mode); }
    std::vector<TRowEnds> RowEnds;
    std::vector<TPenMode> Modes;
};

TEST(LineDraw, OneEngineLineWithTheLastPointFirstAndResolvedColours) {
    TFakeDocument doc;
    doc.LayerAt(0)->PenColor = 0x445566;
    auto line = TLine::Create(3, &doc, true, doc.LayerAt(0), TRowStyle::rsLeftLight, kLayerColor, 4, 1, 2, 3, 4);
    line->FArrowWidth = 1.5;
    line->FArrowLength = 4.5;
    TLineEngine engine;
    line->Draw(engine, false);
    line->Draw(engine, true);
    line->FPersistent = false;
    line->FPenColor = 0x10;
    line->Draw(engine, false);
    ASSERT_EQ(engine.RowEnds.size(), 3u);
    const auto& r = engine.RowEnds[0];
    EXPECT_EQ(r.Color, 0x445566);
    EXPECT_EQ(r.Width, 3);
    EXPECT_EQ(r.HalfWidth, 1.5);
    EXPECT_EQ(r.Length, 4.5);
    EXPECT_EQ(r.Style, TRowStyle::rsLeftLight);
    EXPECT_EQ(r.PenStyle, TPenStyle::psDashDotDot);
    EXPECT_EQ(r.P1, DoublePoint(3, 4));
    EXPECT_EQ(r.P2, DoublePoint(1, 2));
    EXPECT_EQ(engine.RowEnds[1].Color, 0xC0C0C0);
    EXPECT_EQ(engine.RowEnds[2].Color, 0x10);
    EXPECT_EQ(engine.Modes, (std::vector<TPenMode>{TPenMode::pmCopy, TPenMode::pmCopy, TPenMode::pmXor}));
}

TEST(LineHitTest, WithinTwoPixelsPlusThePenWidth) {
    TFakeDocument doc; // 4 px per mm
    auto line = MakeLine(&doc, 0, 0, 10, 10);
    // 0.707 mm = 2.83 px from the line: within 2 + pen width 1.
    EXPECT_TRUE(line->HitTest(5.5, 4.5));
    EXPECT_FALSE(line->HitTest(5.6, 4.4)); // 3.39 px
    line->FPenWidth = 3;
    EXPECT_TRUE(line->HitTest(5.8, 4.2)); // 4.5 px of 5
    EXPECT_FALSE(line->HitTest(11, 11));
    double maxX, maxY, minX, minY;
    line->GetBounds(maxX, maxY, minX, minY);
    EXPECT_EQ((std::array{maxX, maxY, minX, minY}), (std::array{10.0, 10.0, 0.0, 0.0}));
}

// --- interactive creation ---

TEST(LineRubber, RubberFollowsTheMouseAndCommitTakesTheDocumentDefaults) {
    TFakeDocument doc;
    doc.DefaultAttributes.PenColor = 0x123456;
    doc.DefaultAttributes.PenWidth = 3;
    doc.DefaultAttributes.PenStyle = TPenStyle::psDot;
    doc.DefaultAttributes.RowStyle = TRowStyle::rsBothLight;

    auto rubber = CreateRubber(TLine::StaticClass(), 1, 2);
    ASSERT_NE(rubber, nullptr);
    EXPECT_EQ(&rubber->Class(), &TLine::StaticClass());
    EXPECT_FALSE(rubber->FPersistent);
    EXPECT_EQ(rubber->FDrawing, nullptr);
    EXPECT_EQ(rubber->FPenColor, 0x00FF00);
    EXPECT_EQ(rubber->PenStyle(), TPenStyle::psDash);
    EXPECT_EQ(rubber->FPenWidth, 1);
    EXPECT_EQ(rubber->GetPoint(2), DoublePoint(1, 2));

    rubber->RubberMove(1, 5, 6);
    EXPECT_EQ(rubber->GetPoint(2), DoublePoint(5, 6));
    EXPECT_FALSE(rubber->RubberClick(1, 5, 6));
    EXPECT_TRUE(rubber->RubberClick(2, 7, 8));
    EXPECT_EQ(rubber->GetPoint(2), DoublePoint(7, 8));

    auto line = CommitRubber(TLine::StaticClass(), &doc, doc.LayerAt(0), rubber.get());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(&line->Class(), &TLine::StaticClass());
    EXPECT_TRUE(line->FPersistent);
    EXPECT_EQ(line->FDrawing, &doc);
    EXPECT_EQ(line->FLayer, doc.LayerAt(0));
    EXPECT_EQ(line->GetPoint(1), DoublePoint(1, 2));
    EXPECT_EQ(line->GetPoint(2), DoublePoint(7, 8));
    EXPECT_EQ(line->FPenColor, 0x123456);
    EXPECT_EQ(line->FPenWidth, 3);
    EXPECT_EQ(line->PenStyle(), TPenStyle::psDot);
    EXPECT_EQ(line->RowStyle(), TRowStyle::rsBothLight);
    EXPECT_EQ(line->GetTypeName(), QStringLiteral("Line"));
    EXPECT_EQ(static_cast<TLine*>(line.get())->FArrowWidth, 1.2);
}

// --- the user-drawn line ---

TEST(UserLine, TheApplicationDrawsAndHitTestsFirst) {
    TFakeDocument doc;
    doc.UserName = QStringLiteral("Pipe");
    auto rubber = CreateRubber(TUserLine::StaticClass(), 0, 0);
    ASSERT_TRUE(rubber->RubberClick(2, 10, 0));
    auto figure = CommitRubber(TUserLine::StaticClass(), &doc, doc.LayerAt(0), rubber.get());
    ASSERT_NE(figure, nullptr);
    EXPECT_EQ(&figure->Class(), &TUserLine::StaticClass());
    EXPECT_EQ(figure->FCName, QStringLiteral("Pipe"));
    EXPECT_EQ(figure->GetTypeName(), QStringLiteral("UserLine"));

    TLineEngine engine;
    doc.UserDrawResult = true;
    figure->Draw(engine, false);
    EXPECT_TRUE(engine.RowEnds.empty());
    EXPECT_EQ(engine.Modes, (std::vector<TPenMode>{TPenMode::pmCopy}));
    ASSERT_EQ(doc.UserDrawCalls.size(), 1u);
    EXPECT_EQ(doc.UserDrawCalls[0], std::make_pair(figure.get(), QStringLiteral("Pipe")));
    doc.UserDrawResult = false;
    figure->Draw(engine, false);
    EXPECT_EQ(engine.RowEnds.size(), 1u);

    EXPECT_TRUE(figure->HitTest(5, 0));
    doc.UserHitTestResult = false;
    EXPECT_FALSE(figure->HitTest(5, 0));
    doc.UserHitTestResult = true;
    EXPECT_TRUE(figure->HitTest(50, 50));
    EXPECT_EQ(doc.UserHitTestCalls.size(), 3u);

    auto copy = figure->Clone();
    EXPECT_EQ(&copy->Class(), &TUserLine::StaticClass());
    EXPECT_EQ(copy->FCName, QStringLiteral("Pipe"));
}

} // namespace

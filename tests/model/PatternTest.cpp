// Pen patterns: the built-in motifs, the pattern record and its damaged and
// older forms.
#include "support/FakeDocument.h"

#include "model/Line.h"
#include "model/Pattern.h"

#include <gtest/gtest.h>
#include <cstring>

namespace {

std::vector<std::uint8_t> Write(const TPattern& pattern) {
    TMemoryStream out;
    pattern.Write(out);
    return out.TakeData();
}

std::unique_ptr<TPattern> Read(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream in(bytes);
    return TPattern::Read(in);
}

TVectorSegment Line(double x, double y) { return {TVectorSegment::Line, DoublePoint(x, y), {}, {}}; }
TVectorSegment Bezier(double c1x, double c1y, double c2x, double c2y, double x, double y) {
    return {TVectorSegment::Bezier, DoublePoint(x, y), DoublePoint(c1x, c1y), DoublePoint(c2x, c2y)};
}

TEST(BuiltInPatterns, NamesSizesAndMotifsInMenuOrder) {
    const auto patterns = BuiltInPatterns();
    struct TExpected {
        const char* Name;
        double Length, Gap;
        std::vector<TVectorSegment> Segments;
        std::vector<TVectorObject> Objects;
    };
    const TExpected expected[] = {
        {"Zig Zag", 4, 0, {Line(2, 2), Line(4, 0)}, {}},
        {"Blume", 3, 0, {Bezier(0, 2, 3, 2, 3, 0)}, {}},
        {"Sinus", 6, 0, {Bezier(0, 2, 3, 2, 3, 0), Bezier(3, -2, 6, -2, 6, 0)}, {}},
        {"Buttons", 3, 0.5, {}, {{TVectorObject::Circle, {DoublePoint(1.5, 0), DoublePoint(1.5, 0)}}}},
        {"Rechteck", 3, 0.5, {},
         {{TVectorObject::Polygon, {DoublePoint(0, 0), DoublePoint(3, 0), DoublePoint(3, 3), DoublePoint(0, 3)}}}},
        {"MiniSinus", 3, 0, {Bezier(0, 1, 1.5, 1, 1.5, 0), Bezier(1.5, -1, 3, -1, 3, 0)}, {}},
    };
    ASSERT_EQ(patterns.size(), std::size(expected));
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        SCOPED_TRACE(expected[i].Name);
        const TPattern& p = *patterns[i];
        EXPECT_EQ(p.Name, QString::fromUtf8(expected[i].Name));
        EXPECT_EQ(p.Length, expected[i].Length);
        EXPECT_EQ(p.Gap, expected[i].Gap);
        EXPECT_EQ(p.Vector->Offset, 0);
        EXPECT_EQ(p.Vector->Segments, expected[i].Segments);
        EXPECT_EQ(p.Vector->Objects, expected[i].Objects);
    }
}

TEST(PatternRecord, LayoutOfTheZigZagRecord) {
    TMemoryStream expected;
    expected.WriteI32(100);
    expected.WriteDouble(0);  // Gap
    expected.WriteDouble(4);  // Length
    expected.Write("Zig Zag", 8);
    expected.WriteDouble(0);  // Offset
    expected.WriteI32(2);
    expected.WriteU8(0);
    expected.WriteDouble(2);
    expected.WriteDouble(2);
    expected.WriteU8(0);
    expected.WriteDouble(4);
    expected.WriteDouble(0);
    expected.WriteI32(0);
    EXPECT_EQ(Write(*BuiltInPatterns()[0]), expected.Data());
}

TEST(PatternRecord, EveryBuiltInPatternRoundTrips) {
    for (const auto& pattern : BuiltInPatterns()) {
        SCOPED_TRACE(pattern->Name.toStdString());
        const std::vector<std::uint8_t> bytes = Write(*pattern);
        TMemoryStream in(bytes);
        auto read = TPattern::Read(in);
        EXPECT_TRUE(in.AtEnd());
        EXPECT_TRUE(*read == *pattern);
        EXPECT_EQ(Write(*read), bytes);
    }
}

TEST(PatternRecord, PathAndObjectsTogetherWithAnOffset) {
    TPattern p(QStringLiteral("Gemischt"), 5, 1.25);
    p.Vector->Offset = 0.5;
    p.Vector->AddLine(DoublePoint(1, 1));
    p.Vector->AddBezier(DoublePoint(2, 3), DoublePoint(4, 3), DoublePoint(5, 0));
    p.Vector->AddObject({TVectorObject::Ellipse, {DoublePoint(2, 0), DoublePoint(1, 0.5)}});
    p.Vector->AddObject({TVectorObject::Point, {DoublePoint(4, 4)}});
    p.Vector->AddObject({TVectorObject::Polyline, {}});
    auto read = Read(Write(p));
    EXPECT_TRUE(*read == p);
}

TEST(PatternRecord, CopiesAreDeep) {
    const auto patterns = BuiltInPatterns();
    const TPattern* original = patterns[3].get();
    auto copy = original->Copy();
    EXPECT_TRUE(*copy == *original);
    EXPECT_NE(copy->Vector.get(), original->Vector.get());
    copy->Vector->Objects[0].Points[0].X = 99;
    copy->Vector->AddLine(DoublePoint(1, 1));
    EXPECT_EQ(original->Vector->Objects[0].Points[0].X, 1.5);
    EXPECT_TRUE(original->Vector->Segments.empty());
}

TEST(PatternRecord, EveryTruncationIsARefusedRecord) {
    for (const auto& pattern : BuiltInPatterns()) {
        SCOPED_TRACE(pattern->Name.toStdString());
        const std::vector<std::uint8_t> bytes = Write(*pattern);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            SCOPED_TRACE(n);
            EXPECT_THROW(Read(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(n))),
                         EReadError);
        }
    }
}

TEST(PatternRecord, ImpossibleCountsAreRefusedWithoutAllocating) {
    // "Buttons": marker, gap, length, name (8 bytes) = 28; offset to 36;
    // segment count at 36, object count at 40, object kind at 44, point count at 45.
    const std::vector<std::uint8_t> bytes = Write(*BuiltInPatterns()[3]);
    const auto patched = [&](std::size_t at, std::int32_t value) {
        std::vector<std::uint8_t> b = bytes;
        std::memcpy(b.data() + at, &value, 4);
        return b;
    };
    ASSERT_EQ(Read(patched(45, 2))->Vector->Objects[0].Points.size(), 2u); // the offsets are right
    struct TCase {
        std::size_t At;
        std::int32_t Value;
    } const cases[] = {{36, 0x7FFFFFFF}, {36, -1}, {36, 2}, {40, 0x7FFFFFFF}, {40, -5},
                       {40, 2},          {45, 0x7FFFFFFF}, {45, -1}, {45, 3}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.At << " = " << c.Value);
        try {
            Read(patched(c.At, c.Value));
            ADD_FAILURE() << "accepted";
        } catch (const EReadError& e) {
            EXPECT_FALSE(e.Message().isEmpty());
        }
    }
}

// --- older records ---

// Writes the header of an older record: gap and length in tenths, the form.
void OldHeader(TMemoryStream& s, double gapTenths, double lengthTenths, std::uint8_t form) {
    s.WriteDouble(gapTenths);
    s.WriteDouble(12345); // skipped
    s.WriteDouble(lengthTenths);
    s.WriteU8(form);
}

TEST(OldPatternRecord, FormOneIsAVectorInTenths) {
    TMemoryStream s;
    OldHeader(s, 5, 40, 1);
    s.WriteI32(20); // offset
    s.WriteI32(2);
    s.WriteU8(0);
    s.WriteI32(20);
    s.WriteI32(-20);
    s.WriteU8(1);
    for (std::int32_t v : {40, 0, 10, 20, 30, 25}) s.WriteI32(v);
    s.Seek(0);
    auto p = TPattern::Read(s);
    EXPECT_TRUE(s.AtEnd());
    EXPECT_EQ(p->Gap, 0.5);
    EXPECT_EQ(p->Length, 4);
    EXPECT_EQ(p->Vector->Offset, 2);
    EXPECT_EQ(p->Vector->Segments, (std::vector<TVectorSegment>{Line(2, -2), Bezier(1, 2, 3, 2.5, 4, 0)}));
    EXPECT_TRUE(p->Vector->Objects.empty());
}

TEST(OldPatternRecord, StartsWhereTheCallerStands) {
    TMemoryStream s;
    s.WriteI32(7); // something before the record
    TMemoryStream old;
    OldHeader(old, 10, 30, 1);
    old.WriteI32(0);
    old.WriteI32(0);
    s.WriteBytes(old.Data());
    s.Seek(4);
    auto p = TPattern::Read(s);
    EXPECT_EQ(p->Gap, 1);
    EXPECT_EQ(p->Length, 3);
}

std::vector<std::uint8_t> LineRecord(double x1, double y1, double x2, double y2) {
    RegisterFigureClass(TLine::StaticClass());
    auto line = TLine::Create(1, nullptr, true, nullptr, TRowStyle::rsNone, 0, 0, x1, y1, x2, y2);
    TMemoryStream out;
    line->SaveToStream(out);
    return out.TakeData();
}

TEST(OldPatternRecord, FormTwoTakesTheFiguresOutlineAndWidth) {
    struct TCase {
        double LengthTenths;
        TDoublePoint A, B;
        double Length;
        TDoublePointArr Outline;
    } const cases[] = {
        // zero length: the width of the stored figure; origin at its left/top corner
        {0, DoublePoint(2, 3), DoublePoint(9.5, 8), 7.5, {DoublePoint(0, 0), DoublePoint(7.5, 5)}},
        {0, DoublePoint(9.5, 8), DoublePoint(2, 3), 7.5, {DoublePoint(7.5, 5), DoublePoint(0, 0)}},
        // a figure without width: 10
        {0, DoublePoint(2, 3), DoublePoint(2, 8), 10, {DoublePoint(0, 0), DoublePoint(0, 5)}},
        // a stored length is kept
        {25, DoublePoint(2, 3), DoublePoint(9.5, 8), 2.5, {DoublePoint(0, 0), DoublePoint(7.5, 5)}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.LengthTenths);
        TMemoryStream s;
    OldHeader(s, 0, c.LengthTenths, 2);
        s.WriteBytes(LineRecord(c.A.X, c.A.Y, c.B.X, c.B.Y));
        s.Seek(0);
        auto p = TPattern::Read(s);
        EXPECT_EQ(p->Length, c.Length);
        EXPECT_TRUE(p->Vector->Segments.empty());
        ASSERT_EQ(p->Vector->Objects.size(), 1u);
        EXPECT_EQ(p->Vector->Objects[0].Kind, TVectorObject::Line);
        EXPECT_EQ(p->Vector->Objects[0].Points, c.Outline);
    }
}

TEST(OldPatternRecord, DamagedOlderRecordsAreRefused) {
    // an unknown form
    TMemoryStream unknown;
    OldHeader(unknown, 0, 10, 3);
    EXPECT_THROW(TPattern::Read(unknown), EReadError);
    // a figure of a class nobody knows
    TMemoryStream stranger;
    OldHeader(stranger, 0, 10, 2);
    WriteStr(stranger, QStringLiteral("TNoSuchFigure"));
    WriteStr(stranger, QStringLiteral("x"));
    stranger.Seek(0);
    EXPECT_THROW(TPattern::Read(stranger), EReadError);
    // a huge old segment count
    TMemoryStream huge;
    OldHeader(huge, 0, 10, 1);
    huge.WriteI32(0);
    huge.WriteI32(0x40000000);
    huge.Seek(0);
    EXPECT_THROW(TPattern::Read(huge), EReadError);
    // every truncation of a form 1 and a form 2 record
    TMemoryStream form1;
    OldHeader(form1, 5, 40, 1);
    form1.WriteI32(0);
    form1.WriteI32(1);
    form1.WriteU8(1);
    for (int i = 0; i < 6; ++i) form1.WriteI32(i);
    TMemoryStream form2;
    OldHeader(form2, 5, 0, 2);
    form2.WriteBytes(LineRecord(0, 0, 1, 1));
    // (The figure record of form 2 is the figure reader's; only its start is checked here.)
    struct TCut {
        std::vector<std::uint8_t> Bytes;
        std::size_t Cuts;
    } const cuts[] = {{form1.Data(), form1.Data().size()}, {form2.Data(), 25 + 6}};
    for (const TCut& cut : cuts) {
        for (std::size_t n = 0; n < cut.Cuts; ++n) {
            SCOPED_TRACE(n);
            EXPECT_THROW(Read(std::vector<std::uint8_t>(cut.Bytes.begin(), cut.Bytes.begin() + static_cast<long>(n))),
                         EReadError);
        }
    }
}

} // namespace

// The stored polyline record: the items after the line's, the segment blob,
// the pattern, old records, and damaged segment blobs.
#include "support/FakeDocument.h"

#include "model/Polyline.h"
#include "model/TaggedStream.h"

#include <gtest/gtest.h>
#include <cstring>

namespace {

std::vector<std::uint8_t> Save(const TFigure& figure) {
    TMemoryStream out;
    figure.SaveToStream(out);
    return out.TakeData();
}

std::unique_ptr<TPolyline> Load(const std::vector<std::uint8_t>& bytes, TFakeDocument* doc = nullptr) {
    RegisterFigureClass(TPolyline::StaticClass());
    TMemoryStream in(bytes);
    std::unique_ptr<TFigure> figure = TFigure::CreateFromStream(in, doc ? doc->LayerAt(0) : nullptr, doc, true);
    auto* polyline = dynamic_cast<TPolyline*>(figure.get());
    if (!polyline) return nullptr;
    figure.release();
    return std::unique_ptr<TPolyline>(polyline);
}

// The items after the base record.
std::vector<TTaggedItem> ExtraItems(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream in(bytes);
    ReadStr(in);
    ReadStr(in);
    TTaggedItem item;
    while (ReadTaggedItem(in, item))
        if (item.Kind == TTagPayload::String && item.Tag == 180 && item.AsString() == "BaseEnd") break;
    std::vector<TTaggedItem> items;
    while (ReadTaggedItem(in, item)) items.push_back(item);
    return items;
}

std::vector<int> Tags(const std::vector<TTaggedItem>& items) {
    std::vector<int> tags;
    for (const TTaggedItem& item : items) tags.push_back(item.Tag);
    return tags;
}

std::unique_ptr<TPolyline> MakePolyline(const TDoublePointArr& points, bool closed) {
    return TPolyline::Create(points, nullptr, true, nullptr, closed, TRowStyle::rsLeftLight, 0x123456,
                             static_cast<int>(TBrushStyle::bsSolid), 0x654321, static_cast<int>(TPenStyle::psDot), 3);
}

// A record of a three-node polyline written item by item, so that old and
// damaged items can be put in.
class TRecord {
public:
    TRecord() {
        WriteStr(FStream, QStringLiteral("TPolyline"));
        WriteStr(FStream, QStringLiteral("Polyline1"));
    }
    TRecord& Int(std::uint8_t tag, std::int32_t v) {
        WriteTaggedInt(tag, FStream, v);
        return *this;
    }
    TRecord& Byte(std::uint8_t tag, std::uint8_t v) {
        WriteTaggedByte(tag, FStream, v);
        return *this;
    }
    TRecord& Blob(std::uint8_t tag, const TMemoryStream& data) {
        WriteTaggedBlob(tag, FStream, data.Data().data(), static_cast<std::int32_t>(data.Size()));
        return *this;
    }
    TRecord& Points(const TDoublePointArr& points) {
        TMemoryStream blob;
        for (const TDoublePoint& p : points) {
            blob.WriteDouble(p.X);
            blob.WriteDouble(p.Y);
        }
        return Blob(152, blob);
    }
    TRecord& LegacyPoints(const std::vector<std::pair<int, int>>& tenths) {
        TMemoryStream blob;
        for (const auto& [x, y] : tenths) {
            blob.WriteI32(x);
            blob.WriteI32(y);
        }
        return Blob(150, blob);
    }
    TRecord& EndBase() {
        WriteTaggedStr(180, FStream, QStringLiteral("BaseEnd"));
        return *this;
    }
    std::vector<std::uint8_t> Bytes() const { return FStream.Data(); }

private:
    TMemoryStream FStream;
};

// A standard three-node record with the given segment blob.
std::vector<std::uint8_t> RecordWithSegments(const TMemoryStream& segments) {
    return TRecord()
        .Int(24, 3)
        .Points({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)})
        .EndBase()
        .Blob(151, segments)
        .Bytes();
}

void WriteBezierEntry(TMemoryStream& s, std::int32_t index, double x1, double y1, double x2, double y2, bool smooth) {
    s.WriteI32(index);
    s.WriteU8(1);
    s.WriteDouble(x1);
    s.WriteDouble(y1);
    s.WriteDouble(x2);
    s.WriteDouble(y2);
    s.WriteU8(smooth ? 1 : 0);
}

} // namespace

TEST(PolylinePersistence, CurvedPolylineWithPatternRoundTripsByteForByte) {
    auto p = MakePolyline({DoublePoint(0, 0), DoublePoint(40, 0), DoublePoint(60, 20), DoublePoint(30, 40)}, true);
    p->SetSegmentKind(1, SegmentKind::Bezier);
    p->SetSegmentControls(1, DoublePoint(10, 20), DoublePoint(30, 20));
    p->SetCorner(1);
    // Without a document the origin is at the bottom: the new arc is inverted.
    p->SetSegmentKind(3, SegmentKind::Arc);
    ASSERT_TRUE(p->Segment(3)->Inverted);
    std::vector<std::unique_ptr<TPattern>> patterns = BuiltInPatterns();
    p->SetPattern(patterns.at(2).get());
    p->FArrowLength = 7.25;

    const std::vector<std::uint8_t> first = Save(*p);
    const std::vector<TTaggedItem> items = ExtraItems(first);
    EXPECT_EQ(Tags(items), (std::vector<int>{220, 221, 90, 91, 92, 20, 151, 152}));
    EXPECT_EQ(items[2].AsByte(), static_cast<int>(TRowStyle::rsLeftLight));
    EXPECT_EQ(items[3].AsByte(), static_cast<int>(TBrushStyle::bsSolid));
    EXPECT_EQ(items[4].AsByte(), 1);
    EXPECT_EQ(items[5].AsInt(), 0x123456);
    // One Bézier entry (4 + 1 + 32 + 1 bytes) and one arc entry (4 + 1 + 16 + 1 bytes).
    const std::vector<std::uint8_t>& blob = items[6].Data;
    ASSERT_EQ(blob.size(), 38u + 22u);
    EXPECT_EQ(blob[0], 1);
    EXPECT_EQ(blob[4], 1);
    EXPECT_EQ(blob[37], 0); // a corner
    EXPECT_EQ(blob[38], 3);
    EXPECT_EQ(blob[42], 2);
    EXPECT_EQ(blob[59], 1); // inverted

    auto loaded = Load(first);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Save(*loaded), first);
    EXPECT_TRUE(loaded->Closed());
    EXPECT_EQ(loaded->FArrowLength, 7.25);
    ASSERT_EQ(loaded->FSegments.size(), 4u);
    EXPECT_EQ(loaded->GetSegmentKind(1), SegmentKind::Bezier);
    EXPECT_FALSE(loaded->IsSmooth(1));
    EXPECT_EQ(loaded->Segment(1)->Ctrl2, DoublePoint(30, 20));
    EXPECT_EQ(loaded->GetSegmentKind(2), SegmentKind::Straight);
    EXPECT_EQ(loaded->GetSegmentKind(3), SegmentKind::Arc);
    EXPECT_EQ(loaded->Segment(3)->Ctrl2, p->Segment(3)->Ctrl1);
    EXPECT_TRUE(loaded->Segment(3)->Inverted);
    ASSERT_NE(loaded->Pattern(), nullptr);
    EXPECT_EQ(*loaded->Pattern(), *patterns.at(2));
}

TEST(PolylinePersistence, StraightPolylineWritesNoSegmentItem) {
    auto p = MakePolyline({DoublePoint(0, 0), DoublePoint(40, 0), DoublePoint(60, 20)}, false);
    // A curved closing segment of an open polyline still counts.
    const std::vector<std::uint8_t> bytes = Save(*p);
    EXPECT_EQ(Tags(ExtraItems(bytes)), (std::vector<int>{220, 221, 90, 91, 92, 20}));
    auto loaded = Load(bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Save(*loaded), bytes);
    EXPECT_EQ(loaded->FBrushStyle, static_cast<int>(TBrushStyle::bsSolid));
    EXPECT_EQ(loaded->FPenStyle, static_cast<int>(TPenStyle::psDot));
    EXPECT_FALSE(loaded->Closed());
}

TEST(PolylinePersistence, ReadingCreatesOneSegmentPerPoint) {
    auto loaded = Load(TRecord().Int(24, 3).Points({DoublePoint(0, 0), DoublePoint(1, 0), DoublePoint(1, 1)}).EndBase().Bytes());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->PointCount(), 3);
    EXPECT_EQ(loaded->FSegments.size(), 3u);
    // A brush style stored as 255 (none) reads back as −1 and is written as 255 again.
    auto none = Load(TRecord().Int(24, 2).Points({DoublePoint(0, 0), DoublePoint(1, 0)}).EndBase().Byte(91, 255).Bytes());
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->FBrushStyle, -1);
    EXPECT_EQ(ExtraItems(Save(*none)).at(3).AsByte(), 255);
}

TEST(PolylinePersistence, SegmentBlobEntriesOfOtherKindsOrSegmentsAreIgnored) {
    TMemoryStream segments;
    segments.WriteI32(1);
    segments.WriteU8(7); // an unknown kind: nothing follows it
    WriteBezierEntry(segments, 0, 1, 1, 2, 2, true);   // no segment 0
    WriteBezierEntry(segments, 4, 1, 1, 2, 2, true);   // no segment 4
    WriteBezierEntry(segments, 2, 11, 1, 12, 9, false); // read
    auto loaded = Load(RecordWithSegments(segments));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetSegmentKind(1), SegmentKind::Straight);
    EXPECT_EQ(loaded->GetSegmentKind(3), SegmentKind::Straight);
    ASSERT_EQ(loaded->GetSegmentKind(2), SegmentKind::Bezier);
    EXPECT_EQ(loaded->Segment(2)->Ctrl1, DoublePoint(11, 1));
    EXPECT_EQ(loaded->Segment(2)->Ctrl2, DoublePoint(12, 9));
    EXPECT_FALSE(loaded->IsSmooth(2));
}

TEST(PolylinePersistence, DamagedSegmentBlobsRaiseAReadError) {
    struct TCase {
        const char* Name;
        std::size_t Keep; // bytes of the full blob that are left
    };
    TMemoryStream full;
    WriteBezierEntry(full, 1, 1, 2, 3, 4, true);
    full.WriteI32(2);
    full.WriteU8(2);
    full.WriteDouble(5);
    full.WriteDouble(6);
    full.WriteU8(1);
    const TCase cases[] = {
        {"index cut", 2},
        {"kind missing", 4},
        {"Bézier controls cut", 4 + 1 + 20},
        {"smooth flag missing", 37},
        {"arc centre cut", 38 + 5 + 12},
        {"inverted flag missing", 38 + 21},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<std::uint8_t> cut(full.Data().begin(), full.Data().begin() + static_cast<long>(c.Keep));
        TMemoryStream segments(cut);
        EXPECT_THROW(Load(RecordWithSegments(segments)), EReadError);
    }
    // The complete blob reads.
    auto loaded = Load(RecordWithSegments(full));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetSegmentKind(2), SegmentKind::Arc);
    EXPECT_EQ(loaded->Segment(2)->Ctrl2, DoublePoint(5, 6));
    EXPECT_TRUE(loaded->Segment(2)->Inverted);
}

TEST(PolylinePersistence, OldIntegerPointsMakeTheSegmentBlobTenths) {
    TMemoryStream segments;
    segments.WriteI32(1);
    segments.WriteU8(1);
    for (std::int32_t v : {15, 25, 35, 45}) segments.WriteI32(v);
    segments.WriteU8(1);
    segments.WriteI32(2);
    segments.WriteU8(2);
    segments.WriteI32(100);
    segments.WriteI32(-50);
    segments.WriteU8(0);
    const auto bytes = TRecord()
                           .Int(24, 3)
                           .LegacyPoints({{0, 0}, {100, 0}, {100, 100}})
                           .EndBase()
                           .Blob(151, segments)
                           .Bytes();
    auto loaded = Load(bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->FLegacyPoints);
    EXPECT_EQ(loaded->GetPoint(3), DoublePoint(10, 10));
    EXPECT_EQ(loaded->Segment(1)->Ctrl1, DoublePoint(1.5, 2.5));
    EXPECT_EQ(loaded->Segment(1)->Ctrl2, DoublePoint(3.5, 4.5));
    EXPECT_EQ(loaded->Segment(2)->Ctrl1, DoublePoint(10, -5));
    // Written again in the current form, which reads back the same.
    const std::vector<std::uint8_t> again = Save(*loaded);
    auto reread = Load(again);
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(reread->Segment(1)->Ctrl1, DoublePoint(1.5, 2.5));
    EXPECT_EQ(Save(*reread), again);
}

TEST(PolylinePersistence, OldNodeFlagsWithDevicePointsMakeBezierSegments) {
    TMemoryStream devicePoints;
    for (std::int32_t v : {15, 25, 35, 45, 55, 65}) devicePoints.WriteI32(v);
    TMemoryStream flags;
    for (std::uint8_t f : {1, 2, 0}) flags.WriteU8(f);
    const auto bytes = TRecord()
                           .Int(24, 3)
                           .Points({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)})
                           .Int(25, 3)
                           .Blob(151, devicePoints)
                           .EndBase()
                           .Blob(150, flags)
                           .Byte(92, 0)
                           .Bytes();
    auto loaded = Load(bytes);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->FDevPoints.size(), 3u);
    // Segment 1: both ends flagged, both controls stored.
    ASSERT_EQ(loaded->GetSegmentKind(1), SegmentKind::Bezier);
    EXPECT_EQ(loaded->Segment(1)->Ctrl1, DoublePoint(1.5, 2.5));
    EXPECT_EQ(loaded->Segment(1)->Ctrl2, DoublePoint(3.5, 4.5));
    // Segment 2: only its start flagged; the missing control is the end node itself.
    ASSERT_EQ(loaded->GetSegmentKind(2), SegmentKind::Bezier);
    EXPECT_EQ(loaded->Segment(2)->Ctrl1, DoublePoint(5.5, 6.5));
    EXPECT_EQ(loaded->Segment(2)->Ctrl2, DoublePoint(10, 10));
    // The open polyline's closing segment is not drawn and stays straight.
    EXPECT_EQ(loaded->GetSegmentKind(3), SegmentKind::Straight);
    EXPECT_TRUE(loaded->IsSmooth(1));
    EXPECT_FALSE(loaded->IsSmooth(2));
}

TEST(PolylinePersistence, OldNodeFlagsWithoutEnoughDevicePointsUseTheNodes) {
    TMemoryStream flags;
    for (std::uint8_t f : {1, 1}) flags.WriteU8(f);
    const auto bytes = TRecord()
                           .Int(24, 2)
                           .Points({DoublePoint(0, 0), DoublePoint(10, 0)})
                           .EndBase()
                           .Blob(150, flags)
                           .Bytes();
    auto loaded = Load(bytes);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->GetSegmentKind(1), SegmentKind::Bezier);
    EXPECT_EQ(loaded->Segment(1)->Ctrl1, DoublePoint(0, 0));
    EXPECT_EQ(loaded->Segment(1)->Ctrl2, DoublePoint(10, 0));
}

TEST(PolylinePersistence, DamagedPatternRaisesAReadError) {
    auto p = MakePolyline({DoublePoint(0, 0), DoublePoint(40, 0)}, false);
    std::vector<std::unique_ptr<TPattern>> patterns = BuiltInPatterns();
    p->SetPattern(patterns.at(0).get());
    std::vector<std::uint8_t> bytes = Save(*p);
    // Cut the record inside the pattern blob and shorten its announced size to match.
    const std::vector<TTaggedItem> items = ExtraItems(bytes);
    const std::size_t patternSize = items.back().Size();
    bytes.resize(bytes.size() - patternSize / 2);
    const std::size_t sizeAt = bytes.size() - (patternSize - patternSize / 2) - 4;
    const std::int32_t newSize = static_cast<std::int32_t>(patternSize - patternSize / 2);
    std::memcpy(bytes.data() + sizeAt, &newSize, 4);
    EXPECT_THROW(Load(bytes), EReadError);
}

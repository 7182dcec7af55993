// TPolyline: the stored record after the line's items, reading old records,
// and direct copies.
#include "model/Polyline.h"

#include "model/TaggedStream.h"

#include <algorithm>

namespace {
constexpr std::uint8_t kTagRowStyle = 90;
constexpr std::uint8_t kTagBrushStyle = 91;
constexpr std::uint8_t kTagClosed = 92;
constexpr std::uint8_t kTagBrushColor = 20;
constexpr std::uint8_t kTagLegacyFlags = 150;
constexpr std::uint8_t kTagSegments = 151;
constexpr std::uint8_t kTagPattern = 152;

// Flags of the old per-node item: 0 straight, 1 smooth Bézier node, 2 corner Bézier node.
constexpr std::uint8_t kLegacyCorner = 2;

std::unique_ptr<TPolyline> AsPolyline(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<TPolyline>(static_cast<TPolyline*>(figure.release()));
}
} // namespace

void TPolyline::SaveToStream(TStream& stream) const {
    TLine::SaveToStream(stream);
    WriteTaggedByte(kTagRowStyle, stream, FRowStyle);
    WriteTaggedByte(kTagBrushStyle, stream, static_cast<std::uint8_t>(FBrushStyle));
    WriteTaggedByte(kTagClosed, stream, FClosed ? 1 : 0);
    WriteTaggedInt(kTagBrushColor, stream, FBrushColor);
    TMemoryStream segments;
    const int n = std::min(FPointCount, static_cast<int>(FSegments.size()));
    for (int i = 1; i <= n; ++i) {
        const TPlSegment& segment = FSegments[static_cast<std::size_t>(i - 1)];
        if (segment.IsBezier()) {
            segments.WriteI32(i);
            segments.WriteU8(SegmentKind::Bezier);
            segments.WriteDouble(segment.Ctrl1.X);
            segments.WriteDouble(segment.Ctrl1.Y);
            segments.WriteDouble(segment.Ctrl2.X);
            segments.WriteDouble(segment.Ctrl2.Y);
            segments.WriteU8(segment.Smooth ? 1 : 0);
        } else if (segment.IsArc()) {
            segments.WriteI32(i);
            segments.WriteU8(SegmentKind::Arc);
            segments.WriteDouble(segment.Ctrl1.X);
            segments.WriteDouble(segment.Ctrl1.Y);
            segments.WriteU8(segment.Inverted ? 1 : 0);
        }
    }
    if (segments.Size() > 0) WriteTaggedStream(kTagSegments, stream, segments);
    if (FPattern) {
        TMemoryStream pattern;
        FPattern->Write(pattern);
        WriteTaggedStream(kTagPattern, stream, pattern);
    }
}

void TPolyline::ReadExtra(TStream& stream) {
    // The base record is complete: one segment per node from here on.
    SyncSegments();
    std::vector<std::uint8_t> legacyFlags;
    bool hasLegacyFlags = false;
    TTaggedItem item;
    while (ReadTaggedItem(stream, item)) {
        if (item.Kind == TTagPayload::Blob && item.Tag == kTagLegacyFlags) {
            // Applied at the end, when the closed flag is known whatever the item order.
            legacyFlags = item.Data;
            hasLegacyFlags = true;
        } else {
            SetProperty(item);
        }
    }
    if (hasLegacyFlags) ReadLegacyFlags(legacyFlags);
}

void TPolyline::SetProperty(const TTaggedItem& item) {
    switch (item.Kind) {
    case TTagPayload::Byte:
        switch (item.Tag) {
        case kTagRowStyle: FRowStyle = item.AsByte(); return;
        case kTagBrushStyle: FBrushStyle = item.AsByte() == 0xFF ? -1 : item.AsByte(); return;
        case kTagClosed: FClosed = item.AsByte() != 0; return;
        default: break;
        }
        break;
    case TTagPayload::Int32:
        if (item.Tag == kTagBrushColor) {
            FBrushColor = item.AsInt();
            return;
        }
        break;
    case TTagPayload::Blob:
        switch (item.Tag) {
        case kTagLegacyFlags: ReadLegacyFlags(item.Data); return;
        case kTagSegments: ReadSegmentBlob(item.Data); return;
        case kTagPattern: {
            TMemoryStream pattern(item.Data);
            FPattern = TPattern::Read(pattern);
            return;
        }
        default: break;
        }
        break;
    default:
        break;
    }
    TLine::SetProperty(item);
}

void TPolyline::ReadSegmentBlob(const std::vector<std::uint8_t>& data) {
    SyncSegments();
    TMemoryStream blob(data);
    // Every read is bounded: a cut entry raises EReadError.
    const auto coordinate = [this, &blob] { return FLegacyPoints ? blob.ReadI32() / 10.0 : blob.ReadDouble(); };
    while (!blob.AtEnd()) {
        const std::int32_t index = blob.ReadI32();
        const std::uint8_t kind = blob.ReadU8();
        TPlSegment entry;
        entry.Kind = kind;
        if (kind == SegmentKind::Bezier) {
            const double x1 = coordinate();
            const double y1 = coordinate();
            const double x2 = coordinate();
            const double y2 = coordinate();
            entry.Ctrl1 = DoublePoint(x1, y1);
            entry.Ctrl2 = DoublePoint(x2, y2);
            entry.Smooth = blob.ReadU8() != 0;
        } else if (kind == SegmentKind::Arc) {
            const double x = coordinate();
            const double y = coordinate();
            entry.Ctrl1 = entry.Ctrl2 = DoublePoint(x, y);
            entry.Inverted = blob.ReadU8() != 0;
        } else {
            continue; // an entry of another kind carries nothing we know
        }
        if (index < 1 || index > static_cast<std::int32_t>(FSegments.size())) continue;
        TPlSegment& segment = FSegments[static_cast<std::size_t>(index - 1)];
        segment.Kind = entry.Kind;
        segment.Ctrl1 = entry.Ctrl1;
        segment.Ctrl2 = entry.Ctrl2;
        if (kind == SegmentKind::Bezier) segment.Smooth = entry.Smooth;
        else segment.Inverted = entry.Inverted;
    }
}

void TPolyline::SetLegacyDevicePoints(std::vector<QPoint> points) { FDevPoints = std::move(points); }

void TPolyline::ReadLegacyFlags(const std::vector<std::uint8_t>& data) {
    SyncSegments();
    const auto flag = [&](int node) {
        const auto k = static_cast<std::size_t>(Wrap(node) - 1);
        return k < data.size() ? data[k] : std::uint8_t{0};
    };
    std::size_t next = 0;
    // The next stored control point, in tenths of a millimetre.
    const auto take = [&](TDoublePoint& p) {
        if (next >= FDevPoints.size()) return;
        p = DoublePoint(FDevPoints[next].x() / 10.0, FDevPoints[next].y() / 10.0);
        ++next;
    };
    for (int i = 1; i <= DrawnSegmentCount(); ++i) {
        const std::uint8_t startFlag = flag(i);
        const std::uint8_t endFlag = flag(i + 1);
        if (startFlag == 0 && endFlag == 0) continue;
        TPlSegment& segment = Seg(i);
        segment.Kind = SegmentKind::Bezier;
        // A control point that is not stored is the adjacent node itself.
        segment.Ctrl1 = Node(i);
        segment.Ctrl2 = Node(i + 1);
        if (startFlag != 0) take(segment.Ctrl1);
        if (endFlag != 0) take(segment.Ctrl2);
    }
    for (int i = 1; i <= FPointCount; ++i)
        if (flag(i) != 0) Seg(i).Smooth = flag(i) != kLegacyCorner;
}

// --- copies ---

void TPolyline::CopyGeometryTo(TPolyline& target) const {
    target.FPoints = FPoints;
    target.FOrgPoints = FOrgPoints;
    target.FPointCount = FPointCount;
    target.FSegments = FSegments;
    target.FClosed = FClosed;
    target.FVertZero = FVertZero;
    target.FHorzZero = FHorzZero;
    target.FreeRegion();
}

void TPolyline::CopyPolylineTo(TPolyline& target) const {
    CopyLineTo(target);
    target.FClosed = FClosed;
    target.FSegments = FSegments;
    target.FPattern = FPattern ? FPattern->Copy() : nullptr;
    target.FDevPoints = FDevPoints;
    target.FLegacyPoints = FLegacyPoints;
    target.FKnifeA = FKnifeA;
    target.FKnifeB = FKnifeB;
    target.FSegmentIndex = FSegmentIndex;
    target.SyncSegments();
}

std::unique_ptr<TFigure> TPolyline::Clone() const {
    std::unique_ptr<TPolyline> copy = AsPolyline(NewFigure(Class(), FLayer, FDrawing, true));
    CopyPolylineTo(*copy);
    if (copy->FHasDimensions) copy->CreateDimensions();
    return copy;
}

std::unique_ptr<TPolyline> TPolyline::NewPieceLike() const {
    std::unique_ptr<TPolyline> piece = AsPolyline(NewFigure(Class(), FLayer, FDrawing, true));
    piece->FPenWidth = FPenWidth;
    piece->FPenColor = FPenColor;
    piece->FPenStyle = FPenStyle;
    piece->FRowStyle = FRowStyle;
    piece->FBrushColor = FBrushColor;
    piece->FBrushStyle = FBrushStyle;
    piece->FArrowWidth = FArrowWidth;
    piece->FArrowLength = FArrowLength;
    piece->FCName = FCName;
    piece->FVertZero = FVertZero;
    piece->FHorzZero = FHorzZero;
    piece->FPattern = FPattern ? FPattern->Copy() : nullptr;
    return piece;
}

void TPolyline::SetGeometry(const TDoublePointArr& nodes, const std::vector<TPlSegment>& segments, bool closed) {
    FPoints = nodes;
    FOrgPoints = nodes;
    FPointCount = static_cast<int>(nodes.size());
    FSegments = segments;
    FSegments.resize(nodes.size());
    for (std::size_t k = 0; k < FSegments.size(); ++k) FSegments[k].Index = static_cast<int>(k) + 1;
    FClosed = closed;
    FSegmentIndex = 1;
    FreeRegion();
    FChanged = true;
}

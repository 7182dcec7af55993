#include "model/Pattern.h"

#include "model/DrawObjects.h"
#include "model/TaggedStream.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr std::int32_t kFormatMarker = 100;
// Smallest stored sizes, to check announced counts against the bytes left.
constexpr std::int64_t kMinSegmentBytes = 1 + 2 * 8;
constexpr std::int64_t kMinObjectBytes = 1 + 4;
constexpr std::int64_t kPointBytes = 2 * 8;
constexpr std::int64_t kMinOldSegmentBytes = 1 + 2 * 4;
constexpr std::uint8_t kOldVectorForm = 1;
constexpr std::uint8_t kFigureForm = 2;
constexpr double kDefaultFigureLength = 10.0;

EReadError PatternError(const QString& what) {
    return EReadError(QStringLiteral("Beschädigtes Stiftmuster: %1").arg(what));
}

// Raises unless `count` records of at least `size` bytes each can follow.
void RequireCount(const TStream& stream, std::int32_t count, std::int64_t size, const QString& what) {
    if (count < 0)
        throw PatternError(QStringLiteral("negative Anzahl %1 (%2)").arg(what).arg(count));
    if (static_cast<std::int64_t>(count) * size > stream.Remaining())
        throw PatternError(QStringLiteral("%1 %2 angekündigt, aber nur %3 Bytes vorhanden")
                               .arg(count)
                               .arg(what)
                               .arg(stream.Remaining()));
}

TDoublePoint ReadPoint(TStream& stream) {
    const double x = stream.ReadDouble();
    const double y = stream.ReadDouble();
    return DoublePoint(x, y);
}

void WritePoint(TStream& stream, const TDoublePoint& p) {
    stream.WriteDouble(p.X);
    stream.WriteDouble(p.Y);
}

TDoublePoint ReadOldPoint(TStream& stream) {
    const double x = stream.ReadI32() / 10.0;
    const double y = stream.ReadI32() / 10.0;
    return DoublePoint(x, y);
}

// The old vector: offset and coordinates as integer tenths, no objects.
void ReadOldVector(TStream& stream, TVector& vector) {
    vector.Offset = stream.ReadI32() / 10.0;
    const std::int32_t count = stream.ReadI32();
    RequireCount(stream, count, kMinOldSegmentBytes, QStringLiteral("alte Segmente"));
    vector.Segments.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        TVectorSegment segment;
        segment.Kind = stream.ReadU8();
        segment.EndPoint = ReadOldPoint(stream);
        if (segment.Kind == TVectorSegment::Bezier) {
            segment.Control1 = ReadOldPoint(stream);
            segment.Control2 = ReadOldPoint(stream);
        }
        vector.Segments.push_back(segment);
    }
}

// A figure record whose outline becomes the motif's objects.
void ReadFigureVector(TStream& stream, TPattern& pattern) {
    std::unique_ptr<TFigure> figure = TFigure::CreateFromStream(stream, nullptr, nullptr, false);
    if (!figure) throw PatternError(QStringLiteral("unbekannte Figur als Muster"));
    double maxX, maxY, minX, minY;
    figure->GetBounds(maxX, maxY, minX, minY);
    const TDoublePoint origin = DoublePoint(figure->FHorzZero != 0 ? maxX : minX,
                                            figure->FVertZero == 1 ? maxY : minY);
    std::vector<TVectorObject> outlines;
    figure->CollectVectors(outlines, origin);
    for (TVectorObject& outline : outlines)
        if (!outline.Points.empty()) pattern.Vector->AddObject(std::move(outline));
    if (pattern.Length == 0) {
        const double width = maxX - minX;
        pattern.Length = width != 0 && std::isfinite(width) ? width : kDefaultFigureLength;
    }
}

std::unique_ptr<TPattern> ReadOldPattern(TStream& stream) {
    auto pattern = std::make_unique<TPattern>();
    pattern->Gap = stream.ReadDouble() / 10.0;
    stream.Skip(8);
    pattern->Length = stream.ReadDouble() / 10.0;
    const std::uint8_t form = stream.ReadU8();
    switch (form) {
    case kOldVectorForm:
        ReadOldVector(stream, *pattern->Vector);
        break;
    case kFigureForm:
        ReadFigureVector(stream, *pattern);
        break;
    default:
        throw PatternError(QStringLiteral("unbekannte Form %1").arg(form));
    }
    return pattern;
}
} // namespace

// --- TVector ---

void TVector::AddLine(const TDoublePoint& p) {
    TVectorSegment segment;
    segment.Kind = TVectorSegment::Line;
    segment.EndPoint = p;
    Segments.push_back(segment);
}

void TVector::AddBezier(const TDoublePoint& c1, const TDoublePoint& c2, const TDoublePoint& p) {
    TVectorSegment segment;
    segment.Kind = TVectorSegment::Bezier;
    segment.EndPoint = p;
    segment.Control1 = c1;
    segment.Control2 = c2;
    Segments.push_back(segment);
}

void TVector::AddObject(TVectorObject object) { Objects.push_back(std::move(object)); }

std::unique_ptr<TVector> TVector::Copy() const { return std::make_unique<TVector>(*this); }

void TVector::Write(TStream& stream) const {
    stream.WriteDouble(Offset);
    stream.WriteI32(static_cast<std::int32_t>(Segments.size()));
    for (const TVectorSegment& segment : Segments) {
        stream.WriteU8(segment.Kind);
        WritePoint(stream, segment.EndPoint);
        if (segment.Kind == TVectorSegment::Bezier) {
            WritePoint(stream, segment.Control1);
            WritePoint(stream, segment.Control2);
        }
    }
    stream.WriteI32(static_cast<std::int32_t>(Objects.size()));
    for (const TVectorObject& object : Objects) {
        stream.WriteU8(object.Kind);
        stream.WriteI32(static_cast<std::int32_t>(object.Points.size()));
        for (const TDoublePoint& p : object.Points) WritePoint(stream, p);
    }
}

void TVector::Read(TStream& stream) {
    Segments.clear();
    Objects.clear();
    Offset = stream.ReadDouble();
    const std::int32_t segmentCount = stream.ReadI32();
    RequireCount(stream, segmentCount, kMinSegmentBytes, QStringLiteral("Segmente"));
    Segments.reserve(static_cast<std::size_t>(segmentCount));
    for (std::int32_t i = 0; i < segmentCount; ++i) {
        TVectorSegment segment;
        segment.Kind = stream.ReadU8();
        segment.EndPoint = ReadPoint(stream);
        if (segment.Kind == TVectorSegment::Bezier) {
            segment.Control1 = ReadPoint(stream);
            segment.Control2 = ReadPoint(stream);
        }
        Segments.push_back(segment);
    }
    const std::int32_t objectCount = stream.ReadI32();
    RequireCount(stream, objectCount, kMinObjectBytes, QStringLiteral("Objekte"));
    Objects.reserve(static_cast<std::size_t>(objectCount));
    for (std::int32_t i = 0; i < objectCount; ++i) {
        TVectorObject object;
        object.Kind = stream.ReadU8();
        const std::int32_t pointCount = stream.ReadI32();
        RequireCount(stream, pointCount, kPointBytes, QStringLiteral("Punkte"));
        object.Points.reserve(static_cast<std::size_t>(pointCount));
        for (std::int32_t k = 0; k < pointCount; ++k) object.Points.push_back(ReadPoint(stream));
        Objects.push_back(std::move(object));
    }
}

// --- TPattern ---

TPattern::TPattern() : Vector(std::make_unique<TVector>()) {}

TPattern::TPattern(const QString& name, double length, double gap)
    : Name(name), Gap(gap), Length(length), Vector(std::make_unique<TVector>()) {}

std::unique_ptr<TPattern> TPattern::Copy() const {
    auto copy = std::make_unique<TPattern>(Name, Length, Gap);
    copy->Vector = Vector ? Vector->Copy() : std::make_unique<TVector>();
    return copy;
}

void TPattern::Write(TStream& stream) const {
    stream.WriteI32(kFormatMarker);
    stream.WriteDouble(Gap);
    stream.WriteDouble(Length);
    WriteStr(stream, Name);
    (Vector ? *Vector : TVector{}).Write(stream);
}

std::unique_ptr<TPattern> TPattern::Read(TStream& stream) {
    const std::int64_t start = stream.Position();
    if (stream.ReadI32() != kFormatMarker) {
        stream.Seek(start);
        return ReadOldPattern(stream);
    }
    auto pattern = std::make_unique<TPattern>();
    pattern->Gap = stream.ReadDouble();
    pattern->Length = stream.ReadDouble();
    pattern->Name = ReadStr(stream);
    pattern->Vector->Read(stream);
    return pattern;
}

bool TPattern::operator==(const TPattern& other) const {
    const TVector empty;
    return Name == other.Name && Gap == other.Gap && Length == other.Length &&
           (Vector ? *Vector : empty) == (other.Vector ? *other.Vector : empty);
}

// --- built-in patterns ---

std::vector<std::unique_ptr<TPattern>> BuiltInPatterns() {
    std::vector<std::unique_ptr<TPattern>> patterns;
    const auto p = [](double x, double y) { return DoublePoint(x, y); };

    auto zigZag = std::make_unique<TPattern>(QStringLiteral("Zig Zag"), 4, 0);
    zigZag->Vector->AddLine(p(2, 2));
    zigZag->Vector->AddLine(p(4, 0));
    patterns.push_back(std::move(zigZag));

    auto flower = std::make_unique<TPattern>(QStringLiteral("Blume"), 3, 0);
    flower->Vector->AddBezier(p(0, 2), p(3, 2), p(3, 0));
    patterns.push_back(std::move(flower));

    auto sine = std::make_unique<TPattern>(QStringLiteral("Sinus"), 6, 0);
    sine->Vector->AddBezier(p(0, 2), p(3, 2), p(3, 0));
    sine->Vector->AddBezier(p(3, -2), p(6, -2), p(6, 0));
    patterns.push_back(std::move(sine));

    auto buttons = std::make_unique<TPattern>(QStringLiteral("Buttons"), 3, 0.5);
    buttons->Vector->AddObject({TVectorObject::Circle, {p(1.5, 0), p(1.5, 0)}});
    patterns.push_back(std::move(buttons));

    auto rectangle = std::make_unique<TPattern>(QStringLiteral("Rechteck"), 3, 0.5);
    rectangle->Vector->AddObject({TVectorObject::Polygon, {p(0, 0), p(3, 0), p(3, 3), p(0, 3)}});
    patterns.push_back(std::move(rectangle));

    auto miniSine = std::make_unique<TPattern>(QStringLiteral("MiniSinus"), 3, 0);
    miniSine->Vector->AddBezier(p(0, 1), p(1.5, 1), p(1.5, 0));
    miniSine->Vector->AddBezier(p(1.5, -1), p(3, -1), p(3, 0));
    patterns.push_back(std::move(miniSine));

    return patterns;
}


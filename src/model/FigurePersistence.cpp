// The stored base record of a figure, and rebuilding figures from records.
#include "model/DrawObjects.h"

#include "model/FigureDocument.h"
#include "model/Layer.h"
#include "platform/Bmp.h"

#include <cmath>
#include <numbers>

namespace {
constexpr std::uint8_t kTagBaseEnd = 180;
const QString kBaseEnd = QStringLiteral("BaseEnd");

double TenthsOfDegree(std::int32_t value) { return value / 10.0 / 180.0 * std::numbers::pi; }

EReadError RecordError(const QString& what) {
    return EReadError(QStringLiteral("Beschädigter Figurendatensatz: %1").arg(what));
}
} // namespace

void TFigure::SaveToStream(TStream& stream) const {
    WriteStr(stream, Class().Name);
    WriteStr(stream, FName);
    WriteTaggedByte(90, stream, FDiagonal ? 1 : 0);
    WriteTaggedByte(91, stream, FRowStyle);
    WriteTaggedByte(92, stream, static_cast<std::uint8_t>(FDimensions.size() & 0xFF));
    const int layerIndex = FDrawing ? FDrawing->IndexOfLayer(FLayer) : 0;
    WriteTaggedInt(21, stream, std::max(layerIndex, 0));
    WriteTaggedDouble(220, stream, FRotAngle);
    WriteTaggedDouble(221, stream, FAngle);
    WriteTaggedDouble(222, stream, FRadius);
    WriteTaggedInt(24, stream, FPointCount);
    WriteTaggedInt(26, stream, FPenWidth);
    WriteTaggedInt(27, stream, FPenColor);
    WriteTaggedInt(28, stream, FPenStyle);
    WriteTaggedInt(29, stream, FTagNumber);
    WriteTaggedInt(30, stream, FTag30);
    WriteTaggedInt(31, stream, FTag31);
    TMemoryStream points;
    for (int i = 0; i < FPointCount; ++i) {
        const TDoublePoint p = i < static_cast<int>(FPoints.size()) ? FPoints[static_cast<std::size_t>(i)]
                                                                      : TDoublePoint{};
        points.WriteDouble(p.X);
        points.WriteDouble(p.Y);
    }
    WriteTaggedStream(152, stream, points);
    if (FCustomStream) {
        const std::int64_t position = FCustomStream->Position();
        WriteTaggedStream(153, stream, *FCustomStream);
        FCustomStream->Seek(position);
    }
    if (!FFillBitmapBytes.empty())
        WriteTaggedBlob(154, stream, FFillBitmapBytes.data(), static_cast<std::int32_t>(FFillBitmapBytes.size()));
    WriteTaggedStr(181, stream, FInfo);
    WriteTaggedStr(182, stream, FCName);
    WriteTaggedStr(kTagBaseEnd, stream, kBaseEnd);
}

void TFigure::SetFillBitmapBytes(std::vector<std::uint8_t> bytes) {
    // Bytes that do not decode are kept and written back; the picture is just not drawn.
    FFillBitmap = Bmp::Decode(bytes);
    FFillBitmapBytes = std::move(bytes);
}

void TFigure::LoadBase(TStream& stream) {
    SetName(ReadStr(stream));
    FRegion.reset();
    NoteChange();
    int layerIndex = -1;
    int legacyCount = 0;
    TTaggedItem item;
    bool ended = false;
    while (!ended && ReadTaggedItem(stream, item)) {
        switch (item.Kind) {
        case TTagPayload::Int32:
            switch (item.Tag) {
            case 21: layerIndex = item.AsInt(); break;
            case 22: FRotAngle = TenthsOfDegree(item.AsInt()); break;
            case 23: FAngle = TenthsOfDegree(item.AsInt()); break;
            case 24: SetPointCount(item.AsInt()); break;
            case 25: legacyCount = item.AsInt(); break;
            case 26: FPenWidth = item.AsInt(); break;
            case 27: FPenColor = item.AsInt(); break;
            case 28: FPenStyle = item.AsInt(); break;
            case 29: FTagNumber = item.AsInt(); break;
            case 30: FTag30 = item.AsInt(); break;
            case 31: FTag31 = item.AsInt(); break;
            default: break;
            }
            break;
        case TTagPayload::Byte:
            switch (item.Tag) {
            case 90: FDiagonal = item.AsByte() == 1; break;
            case 91: FRowStyle = item.AsByte(); break;
            case 92: FHasDimensions = item.AsByte() != 0; break;
            default: break;
            }
            break;
        case TTagPayload::Blob:
            switch (item.Tag) {
            case 150: {
                if (static_cast<std::int64_t>(FPointCount) * 8 > static_cast<std::int64_t>(item.Size()))
                    throw RecordError(QStringLiteral("%1 alte Punkte angekündigt, aber nur %2 Bytes vorhanden")
                                          .arg(FPointCount)
                                          .arg(item.Size()));
                FLegacyPoints = true;
                TMemoryStream blob(item.Data);
                for (int i = 1; i <= FPointCount; ++i) {
                    const double x = blob.ReadI32() / 10.0;
                    const double y = blob.ReadI32() / 10.0;
                    SetPoint(i, DoublePoint(x, y));
                }
                break;
            }
            case 151: {
                if (!IsPolyline()) break;
                if (legacyCount < 0 ||
                    static_cast<std::int64_t>(legacyCount) * 8 > static_cast<std::int64_t>(item.Size()))
                    throw RecordError(QStringLiteral("%1 alte Gerätepunkte angekündigt, aber nur %2 Bytes vorhanden")
                                          .arg(legacyCount)
                                          .arg(item.Size()));
                TMemoryStream blob(item.Data);
                std::vector<QPoint> devicePoints;
                devicePoints.reserve(static_cast<std::size_t>(legacyCount));
                for (int i = 0; i < legacyCount; ++i) {
                    const int x = blob.ReadI32();
                    const int y = blob.ReadI32();
                    devicePoints.emplace_back(x, y);
                }
                SetLegacyDevicePoints(std::move(devicePoints));
                break;
            }
            case 152: {
                const int count = static_cast<int>(item.Size() / 16);
                SetPointCount(count);
                TMemoryStream blob(item.Data);
                for (int i = 1; i <= FPointCount; ++i) {
                    const double x = blob.ReadDouble();
                    const double y = blob.ReadDouble();
                    SetPoint(i, DoublePoint(x, y));
                }
                break;
            }
            case 153:
                FCustomStream = std::make_unique<TMemoryStream>(item.Data);
                break;
            case 154:
                SetFillBitmapBytes(item.Data);
                break;
            default:
                break;
            }
            break;
        case TTagPayload::String:
            // Only the end marker's own tag ends the record, whatever other texts say.
            if (item.Tag == kTagBaseEnd && item.AsString() == kBaseEnd) ended = true;
            else if (item.Tag == 181) FInfo = item.AsString();
            else if (item.Tag == 182) FCName = item.AsString();
            break;
        case TTagPayload::Double:
            switch (item.Tag) {
            case 220: FRotAngle = item.AsDouble(); break;
            case 221: FAngle = item.AsDouble(); break;
            case 222: FRadius = item.AsDouble(); break;
            default: break;
            }
            break;
        case TTagPayload::Word:
        case TTagPayload::None:
            break;
        }
    }
    // A record may announce more points than it holds; only the held ones count.
    FPointCount = std::min(FPointCount, static_cast<int>(FPoints.size()));
    if (FDrawing && layerIndex >= 0 && layerIndex < FDrawing->LayerCount())
        FLayer = FDrawing->LayerAt(layerIndex);
    ReadExtra(stream);
}

void TFigure::ReadExtra(TStream& stream) {
    TTaggedItem item;
    while (ReadTaggedItem(stream, item)) SetProperty(item);
}

void TFigure::SetProperty(const TTaggedItem&) {}

std::unique_ptr<TFigure> TFigure::CreateFromStream(TStream& stream, TLayer* layer, TFigureDocument* document,
                                                   bool persistent) {
    const QString className = ReadStr(stream);
    const TFigureClass* cls = FindFigureClass(className);
    if (!cls) return nullptr;
    std::unique_ptr<TFigure> figure = NewFigure(*cls, layer, document, persistent, true);
    figure->LoadBase(stream);
    if (figure->FHasDimensions) figure->CreateDimensions();
    figure->FLoading = false;
    return figure;
}

std::unique_ptr<TFigure> TFigure::Clone() const {
    TMemoryStream stream;
    SaveToStream(stream);
    stream.Seek(0);
    ReadStr(stream); // the class name: the copy is of this very class
    std::unique_ptr<TFigure> copy = NewFigure(Class(), FLayer, FDrawing, true, true);
    copy->LoadBase(stream);
    if (copy->FHasDimensions) copy->CreateDimensions();
    copy->FLoading = false;
    return copy;
}

void TFigure::CopyBaseTo(TFigure& target) const {
    target.FLayer = FLayer;
    target.FRotAngle = FRotAngle;
    target.FAngle = FAngle;
    target.FPointCount = FPointCount;
    target.FPenWidth = FPenWidth;
    target.FPenColor = FPenColor;
    target.FPenStyle = FPenStyle;
    target.FPoints = FPoints;
    target.FOrgPoints = FOrgPoints;
}

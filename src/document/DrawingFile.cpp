#include "document/DrawingFile.h"

#include "document/DocumentSection.h"
#include "document/VXDrawing.h"
#include "model/TaggedStream.h"
#include "platform/Bmp.h"
#include "platform/QtCanvas.h"
#include "render/ScreenMapping.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

namespace {

constexpr std::uint8_t kJoinLine1 = 180;
constexpr std::uint8_t kJoinLine2 = 181;
constexpr std::uint8_t kJoinPolyline1 = 182;
constexpr std::uint8_t kJoinPolyline2 = 183;
constexpr int kMaxSections = 255;

void WriteSection(TMemoryStream& out, const char* name, const std::vector<std::uint8_t>& data) {
    out.WriteI32(static_cast<std::int32_t>(data.size()));
    out.Write(name, std::strlen(name) + 1);
    out.Write(data.data(), data.size());
}

void WriteRecord(TMemoryStream& out, const std::vector<std::uint8_t>& record) {
    out.WriteI32(static_cast<std::int32_t>(record.size()));
    out.Write(record.data(), record.size());
}

void WriteJoin(TMemoryStream& out, std::uint8_t tag, const TFigure& line, const TFigure& target) {
    WriteTaggedStr(tag, out, line.FName + u',' + target.FName);
}

// A section as found in the file.
struct TSection {
    QString Name;
    std::vector<std::uint8_t> Data;
};

// Reads the header and the sections; false when the magic does not match.
// Stops at the first section that runs past the end (damaged is set).
bool SplitSections(const std::vector<std::uint8_t>& bytes, std::vector<TSection>& sections, bool& damaged,
                   int maxSections) {
    if (bytes.size() < DrawingFile::kMagic.size() ||
        !std::equal(DrawingFile::kMagic.begin(), DrawingFile::kMagic.end(), bytes.begin()))
        return false;
    std::size_t pos = DrawingFile::kMagic.size();
    auto left = [&] { return bytes.size() - pos; };
    if (left() < 3) {
        damaged = true;
        return true;
    }
    pos += 2; // the version is not checked
    const int count = bytes[pos++];
    for (int i = 0; i < count && i < maxSections; ++i) {
        if (left() < 4) {
            damaged = true;
            return true;
        }
        std::int32_t length = 0;
        std::memcpy(&length, &bytes[pos], 4);
        pos += 4;
        const auto zero = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(pos), bytes.end(), 0);
        if (zero == bytes.end()) {
            damaged = true;
            return true;
        }
        const auto nameEnd = static_cast<std::size_t>(zero - bytes.begin());
        TSection section;
        section.Name = QString::fromLatin1(reinterpret_cast<const char*>(&bytes[pos]),
                                           static_cast<qsizetype>(nameEnd - pos));
        pos = nameEnd + 1;
        if (length < 0) {
            damaged = true;
            return true;
        }
        // A section cut short by the end of the file is read as far as it goes.
        const bool cut = static_cast<std::size_t>(length) > left();
        const std::size_t take = cut ? left() : static_cast<std::size_t>(length);
        section.Data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                            bytes.begin() + static_cast<std::ptrdiff_t>(pos + take));
        pos += take;
        sections.push_back(std::move(section));
        if (cut) {
            damaged = true;
            return true;
        }
    }
    return true;
}

// Reads the 4-byte count of a list section; -1 (and damaged) when it cannot be right.
int ReadCount(TMemoryStream& in, bool& damaged) {
    if (in.Remaining() < 4) {
        if (in.Size() > 0) damaged = true;
        return in.Size() > 0 ? -1 : 0;
    }
    const std::int32_t count = in.ReadI32();
    // Every entry takes at least its 4-byte length.
    if (count < 0 || count > in.Remaining() / 4) {
        damaged = true;
        return -1;
    }
    return count;
}

// The next length-prefixed record of a list section; none (and damaged) when cut short.
std::optional<TMemoryStream> NextRecord(TMemoryStream& in, bool& damaged) {
    if (in.Remaining() < 4) {
        damaged = true;
        return std::nullopt;
    }
    const std::int32_t length = in.ReadI32();
    if (length < 0 || length > in.Remaining()) {
        damaged = true;
        return std::nullopt;
    }
    std::vector<std::uint8_t> record = in.ReadBytes(static_cast<std::size_t>(length));
    return std::optional<TMemoryStream>(std::in_place, std::move(record));
}

} // namespace

// Reads into and writes from the drawing's private lists.
class TDrawingFileAccess {
public:
    static DrawingFile::TEncodedDrawing Encode(TVXDrawing& d);
    static DrawingFile::TLoadResult Decode(TVXDrawing& d, const std::vector<std::uint8_t>& bytes,
                                           const TIniFile& pin);
    static QImage RenderPreview(TVXDrawing& d);

private:
    // Swaps a list of layers into the drawing for as long as it lives, so that
    // figure records resolve their layer numbers against the layers being read.
    class TLayerSwap {
    public:
        TLayerSwap(TVXDrawing& d, std::vector<std::unique_ptr<TLayer>>& layers) : FD(d), FLayers(layers) {
            std::swap(FD.FLayers, FLayers);
        }
        ~TLayerSwap() { std::swap(FD.FLayers, FLayers); }
        TLayerSwap(const TLayerSwap&) = delete;
        TLayerSwap& operator=(const TLayerSwap&) = delete;

    private:
        TVXDrawing& FD;
        std::vector<std::unique_ptr<TLayer>>& FLayers;
    };
};

DrawingFile::TEncodedDrawing TDrawingFileAccess::Encode(TVXDrawing& d) {
    DrawingFile::TEncodedDrawing result;
    const std::optional<QByteArray> custom = d.GetCustomStream();
    std::vector<std::uint8_t> preview;
    if (d.SaveWithPreview()) preview = Bmp::Encode(DrawingFile::RenderPreview(d));

    TMemoryStream out;
    out.Write(DrawingFile::kMagic.data(), DrawingFile::kMagic.size());
    out.WriteU16(DrawingFile::kVersion);
    out.WriteU8(static_cast<std::uint8_t>(4 + (d.SaveWithPreview() ? 1 : 0) + (custom ? 1 : 0)));
    if (d.SaveWithPreview()) WriteSection(out, "Preview", preview);
    WriteSection(out, "Document", DocumentSection::Write(d));

    TMemoryStream layers;
    layers.WriteI32(d.LayerCount());
    for (const auto& layer : d.FLayers) {
        TMemoryStream record;
        layer->SaveToStream(record);
        WriteRecord(layers, record.Data());
    }
    WriteSection(out, "Layers", layers.Data());

    TMemoryStream figures;
    figures.WriteI32(d.FigureCount());
    const std::vector<TFigure*> list = [&] {
        std::vector<TFigure*> l;
        for (const auto& f : d.FFigures)
            l.push_back(f.get());
        return l;
    }();
    for (TFigure* figure : list) {
        TMemoryStream record;
        figure->SaveToStream(record);
        WriteRecord(figures, record.Data());
        result.Pin.AppendEntry(figure->FName, QString::fromLatin1(DrawingFile::kClassKey), figure->FClassName);
        for (const QString& line : figure->FAttributes) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq < 0)
                result.Pin.AppendEntry(figure->FName, line, QString());
            else
                result.Pin.AppendEntry(figure->FName, line.left(eq), line.mid(eq + 1));
        }
        d.Fire(d.OnObjectSaved, &d, figure);
    }
    WriteSection(out, "Figures", figures.Data());

    TMemoryStream joins;
    for (TFigure* figure : list) {
        if (!figure->CanJoin()) continue;
        if (figure->FJoin1) WriteJoin(joins, kJoinLine1, *figure, *figure->FJoin1);
        if (figure->FJoin2) WriteJoin(joins, kJoinLine2, *figure, *figure->FJoin2);
        if (!figure->IsPolyline()) continue;
        if (figure->FJoin1) WriteJoin(joins, kJoinPolyline1, *figure, *figure->FJoin1);
        if (figure->FJoin2) WriteJoin(joins, kJoinPolyline2, *figure, *figure->FJoin2);
    }
    WriteSection(out, "Joins", joins.Data());
    if (custom)
        WriteSection(out, "Custom Stream",
                     std::vector<std::uint8_t>(custom->begin(), custom->end()));
    result.Bytes = out.TakeData();
    return result;
}

DrawingFile::TLoadResult TDrawingFileAccess::Decode(TVXDrawing& d, const std::vector<std::uint8_t>& bytes,
                                                    const TIniFile& pin) {
    bool damaged = false;
    std::vector<TSection> sections;
    if (!SplitSections(bytes, sections, damaged, kMaxSections)) return DrawingFile::TLoadResult::NotADrawing;

    std::vector<TDocumentItem> settings;
    std::vector<std::unique_ptr<TLayer>> layers;
    std::vector<std::unique_ptr<TFigure>> figures;
    std::vector<std::pair<std::uint8_t, QString>> joins;
    std::optional<QByteArray> custom;
    auto ensureBaseLayer = [&] {
        if (layers.empty()) layers.push_back(std::make_unique<TLayer>(QStringLiteral("Base Layer"), &d.DrawEngine()));
    };

    for (const TSection& section : sections) {
        TMemoryStream in(section.Data.data(), section.Data.size());
        if (section.Name == u"Document") {
            std::vector<TDocumentItem> items = DocumentSection::Read(in, damaged);
            settings.insert(settings.end(), items.begin(), items.end());
        } else if (section.Name == u"Layers") {
            const int count = ReadCount(in, damaged);
            for (int i = 0; i < count; ++i) {
                std::optional<TMemoryStream> record = NextRecord(in, damaged);
                if (!record) break;
                auto layer = std::make_unique<TLayer>(QString(), &d.DrawEngine());
                try {
                    layer->LoadFromStream(*record);
                } catch (const EReadError&) {
                    damaged = true;
                }
                layers.push_back(std::move(layer));
            }
        } else if (section.Name == u"Figures") {
            ensureBaseLayer();
            const int count = ReadCount(in, damaged);
            TLayerSwap swap(d, layers);
            for (int i = 0; i < count; ++i) {
                std::optional<TMemoryStream> record = NextRecord(in, damaged);
                if (!record) break;
                try {
                    std::unique_ptr<TFigure> figure =
                        TFigure::CreateFromStream(*record, d.FLayers.front().get(), &d, true);
                    if (figure) figures.push_back(std::move(figure));
                } catch (const EStreamError&) {
                    damaged = true; // this record is lost; the next one starts at its known offset
                }
            }
        } else if (section.Name == u"Joins") {
            TTaggedItem item;
            try {
                while (ReadTaggedItem(in, item, TTagDialect::DocumentSection))
                    if (item.Tag >= kJoinLine1 && item.Tag <= kJoinPolyline2)
                        joins.emplace_back(item.Tag, item.AsString());
            } catch (const EReadError&) {
                damaged = true;
            }
        } else if (section.Name == u"Custom Stream") {
            custom = QByteArray(reinterpret_cast<const char*>(section.Data.data()),
                                static_cast<qsizetype>(section.Data.size()));
        }
    }
    ensureBaseLayer();

    // The file is a drawing: replace the document's content.
    d.Clear(0, false);
    d.ClearGuides();
    d.FLayers = std::move(layers);
    if (d.ActiveLayer() >= d.LayerCount()) d.SetActiveLayer(0);
    DocumentSection::Apply(d, settings);
    d.KeepLayerCopiesCurrent();
    if (custom)
        d.SetCustomStream(static_cast<int>(custom->size()), custom->constData());
    else
        d.SetCustomStream(0, nullptr);
    const QString classKey = QString::fromLatin1(DrawingFile::kClassKey);
    for (auto& figure : figures) {
        bool classKeySeen = false;
        for (const TIniFile::TEntry& entry : pin.SectionEntries(figure->FName)) {
            if (!classKeySeen && entry.Key.compare(classKey, Qt::CaseInsensitive) == 0) {
                classKeySeen = true; // written by the saver, not one of the attributes
                continue;
            }
            figure->FAttributes << entry.Key + u'=' + entry.Value;
        }
        d.AddFigure(std::move(figure), false, TInsertReason::irLoad);
    }
    for (const auto& [tag, text] : joins) {
        const QStringList names = text.split(u',');
        if (names.size() != 2) continue;
        TFigure* line = d.FindFigureByName(names[0]);
        TFigure* target = d.FindFigureByName(names[1]);
        if (!line || !target || line == target || !line->CanJoin()) continue;
        if ((tag == kJoinPolyline1 || tag == kJoinPolyline2) && !line->IsPolyline()) continue;
        if (tag == kJoinLine1 || tag == kJoinPolyline1)
            line->SetJoin1(target);
        else
            line->SetJoin2(target);
    }
    d.SetUpdated(false);
    return damaged ? DrawingFile::TLoadResult::Damaged : DrawingFile::TLoadResult::Loaded;
}

QImage TDrawingFileAccess::RenderPreview(TVXDrawing& d) {
    const double scale =
        std::min(DrawingFile::kPreviewWidth / d.WorkWidth(), DrawingFile::kPreviewHeight / d.WorkHeight());
    const int width = std::max(1, static_cast<int>(std::nearbyint(d.WorkWidth() * scale)));
    const int height = std::max(1, static_cast<int>(std::nearbyint(d.WorkHeight() * scale)));
    QImage image(width, height, QImage::Format_RGB32);
    const TColor page = d.PageColor();
    image.fill(QColor(page & 0xFF, (page >> 8) & 0xFF, (page >> 16) & 0xFF));

    TOutputMapping mapping;
    mapping.Scale = scale;
    mapping.WorkWidth = d.WorkWidth();
    mapping.WorkHeight = d.WorkHeight();
    mapping.VerticalZero = d.VerticalZero();
    mapping.HorizontalZero = d.HorizontalZero();
    TVXDrawEngine& engine = d.DrawEngine();
    TCanvas* previous = engine.Canvas();
    {
        TQtCanvas canvas(&image);
        d.FreeAllRegions();
        mapping.InstallInto(engine);
        engine.SetCanvas(&canvas);
        TVXDrawing::TBusyGuard guard(d);
        for (const auto& figure : d.FFigures) {
            const TLayer* layer = figure->FLayer;
            if (layer && !layer->IsVisible()) continue;
            d.DrawFigure(*figure, engine, layer && layer->IsGrayed());
        }
        engine.SetCanvas(previous);
    }
    // Regions hold preview pixels now; the screen mapping comes back.
    d.FreeAllRegions();
    d.InstallPageMapping();
    return image;
}

namespace DrawingFile {

QImage RenderPreview(TVXDrawing& drawing) {
    return TDrawingFileAccess::RenderPreview(drawing);
}

QString PinFileName(const QString& drawingFileName) {
    const QFileInfo info(drawingFileName);
    const QString suffix = info.suffix();
    QString base = drawingFileName;
    // A leading dot starts a name, not an extension (".plan" → ".plan.pin").
    if (!suffix.isEmpty() && !info.completeBaseName().isEmpty()) base.chop(suffix.size() + 1);
    return base + QStringLiteral(".pin");
}

TEncodedDrawing Encode(TVXDrawing& drawing) {
    return TDrawingFileAccess::Encode(drawing);
}

TLoadResult Decode(TVXDrawing& drawing, const std::vector<std::uint8_t>& bytes, const TIniFile& pin) {
    return TDrawingFileAccess::Decode(drawing, bytes, pin);
}

QImage ReadPreview(const std::vector<std::uint8_t>& bytes) {
    std::vector<TSection> sections;
    bool damaged = false;
    if (!SplitSections(bytes, sections, damaged, 1) || sections.empty() || sections.front().Name != u"Preview")
        return {};
    return Bmp::Decode(sections.front().Data);
}

QImage ReadPreview(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = file.readAll();
    return ReadPreview(std::vector<std::uint8_t>(data.begin(), data.end()));
}

} // namespace DrawingFile

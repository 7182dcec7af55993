#include "document/DrawingFile.h"

#include "document/DocumentSection.h"
#include "document/VXDrawing.h"
#include "model/FigureClass.h"
#include "model/TaggedStream.h"
#include "platform/Bmp.h"
#include "platform/QtCanvas.h"
#include "render/ScreenMapping.h"

#include <QHash>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>
#include <optional>
#include <utility>

namespace {

// What the sidecar keeps of a figure.
struct TPinSource {
    QString Name;
    QString ClassName;
    QStringList Attributes;
};

TIniFile BuildPin(std::vector<TPinSource> sources) {
    TIniFile pin;
    pin.Reserve(sources.size());
    const QString classKey = QString::fromLatin1(DrawingFile::kClassKey);
    for (const TPinSource& source : sources) {
        pin.AppendEntry(source.Name, classKey, source.ClassName);
        for (const QString& line : source.Attributes) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq < 0)
                pin.AppendEntry(source.Name, line, QString());
            else
                pin.AppendEntry(source.Name, line.left(eq), line.mid(eq + 1));
        }
    }
    return pin;
}

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

// A section written straight into the file: its length is filled in when it
// ends, so a large section is not built apart and copied.
std::int64_t BeginSection(TMemoryStream& out, const char* name) {
    const std::int64_t at = out.Position();
    out.WriteI32(0);
    out.Write(name, std::strlen(name) + 1);
    return at;
}

void EndSection(TMemoryStream& out, std::int64_t at, const char* name) {
    const std::int64_t end = out.Position();
    const std::int64_t length = end - at - 4 - static_cast<std::int64_t>(std::strlen(name) + 1);
    out.Seek(at);
    out.WriteI32(static_cast<std::int32_t>(length));
    out.Seek(end);
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
                                           const DrawingFile::TPinProvider& pinProvider);
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
    // The sidecar needs only names, classes and attributes: it is built on a
    // second thread from a copy of them while the preview is drawn and the
    // records are written.
    std::vector<TPinSource> pinSources;
    pinSources.reserve(d.FFigures.size());
    for (const auto& f : d.FFigures) pinSources.push_back({f->FName, f->FClassName, f->FAttributes});
    std::future<TIniFile> pin = std::async(std::launch::async, BuildPin, std::move(pinSources));
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

    // Untouched reserve costs nothing; most records are far below this.
    out.Reserve(out.Size() + 256 * static_cast<std::int64_t>(d.FFigures.size()) + 4096);
    const std::int64_t figuresSection = BeginSection(out, "Figures");
    out.WriteI32(d.FigureCount());
    const std::vector<TFigure*> list = [&] {
        std::vector<TFigure*> l;
        for (const auto& f : d.FFigures)
            l.push_back(f.get());
        return l;
    }();
    TMemoryStream record; // one buffer for every record
    for (TFigure* figure : list) {
        record.Clear();
        figure->SaveToStream(record);
        WriteRecord(out, record.Data());
        d.Fire(d.OnObjectSaved, &d, figure);
    }
    EndSection(out, figuresSection, "Figures");

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
    result.Pin = pin.get();
    return result;
}

DrawingFile::TLoadResult TDrawingFileAccess::Decode(TVXDrawing& d, const std::vector<std::uint8_t>& bytes,
                                                    const DrawingFile::TPinProvider& pinProvider) {
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
    // The saver starts each figure's entries with its class key, so figures
    // that share a name (a section) take one run of entries each, in order.
    const TIniFile& pin = pinProvider();
    const QString classKey = QString::fromLatin1(DrawingFile::kClassKey);
    QHash<TNoCaseKey, int> runsTaken;
    std::size_t nextSection = 0;
    d.FNames.Invalidate();
    for (auto& figure : figures) {
        // The saver writes the sections in figure order: try the next one first.
        const TIniFile::TSection* section = nullptr;
        const std::vector<TIniFile::TSection>& pinSections = pin.Sections();
        if (nextSection < pinSections.size() &&
            pinSections[nextSection].Name.compare(figure->FName, Qt::CaseInsensitive) == 0)
            section = &pinSections[nextSection];
        else
            section = pin.FindSection(figure->FName);
        if (section) nextSection = static_cast<std::size_t>(section - pinSections.data()) + 1;
        if (section) {
            // A class key starts a run; a later "Name_C" whose value names no
            // figure class is one of the figure's own attributes.
            const auto& entries = section->Entries;
            const auto startsRun = [&](std::size_t k) {
                if (entries[k].Key.compare(classKey, Qt::CaseInsensitive) != 0) return false;
                if (k == 0) return true;
                return entries[k].Value.compare(entries[0].Value, Qt::CaseInsensitive) == 0 ||
                       FindFigureClass(entries[k].Value) != nullptr;
            };
            int runs = 0;
            for (std::size_t k = 0; k < entries.size(); ++k)
                if (startsRun(k)) ++runs;
            const int wanted = runs > 1 ? runsTaken[TNoCaseKey{figure->FName}]++ : 0;
            int run = -1;
            for (std::size_t k = 0; k < entries.size(); ++k) {
                if (startsRun(k)) {
                    if (++run > wanted) break;
                    continue; // written by the saver, not one of the attributes
                }
                if (std::max(run, 0) == wanted)
                    figure->FAttributes << entries[k].Key + u'=' + entries[k].Value;
            }
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
    return d.RenderPageImage(
        std::min(DrawingFile::kPreviewWidth / d.WorkWidth(), DrawingFile::kPreviewHeight / d.WorkHeight()));
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
    return TDrawingFileAccess::Decode(drawing, bytes, [&pin]() -> const TIniFile& { return pin; });
}

TLoadResult DecodeWithPinProvider(TVXDrawing& drawing, const std::vector<std::uint8_t>& bytes,
                                  const TPinProvider& pin) {
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

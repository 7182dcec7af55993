// Damaged drawing files: every prefix of a valid file and a table of broken
// variants load without a crash, without an allocation larger than the file,
// and always leave the base layer.

#include "DrawingFileTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <cstring>
#include <set>

namespace {

// The largest single allocation made while tracking is on.
std::atomic<bool> gTracking{false};
std::atomic<std::size_t> gLargest{0};

void* Allocate(std::size_t size) {
    if (gTracking.load(std::memory_order_relaxed) && size > gLargest.load(std::memory_order_relaxed))
        gLargest.store(size, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

class TAllocationWatch {
public:
    TAllocationWatch() {
        gLargest = 0;
        gTracking = true;
    }
    ~TAllocationWatch() { gTracking = false; }
    std::size_t Largest() const { return gLargest; }
};

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// A drawing with every section: preview, guides, three layers, figures with
// joins and a group, and a custom stream.
TBytes SampleFile() {
    TVXDrawing doc;
    doc.SetPageLayout(TPageLayout::plA5);
    doc.AddGuide(1, 20);
    doc.NewLayer("Zwei");
    doc.NewLayer("Drei");
    auto* a = reinterpret_cast<TFigure*>(doc.Line(1, 1, 2, 30, 40, 1, 0, 0, 0, false));
    auto* b = reinterpret_cast<TFigure*>(doc.DrawCircle(2, 50, 50, 10, 1, 0, 0, 1, 0, false));
    const std::vector<TDoublePoint> pts{DoublePoint(0, 0), DoublePoint(20, 5), DoublePoint(30, 40)};
    auto* p = reinterpret_cast<TFigure*>(doc.PolyLine(0, pts, 1, 0, 0, 0, 1, 0, true, false));
    doc.TextOut(0, 10, 10, 0, 5, 0, "Text", "Arial", 0, 0, false);
    a->SetJoin1(b);
    p->SetJoin2(b);
    doc.SetCustomStream(3, "abc");
    doc.SetSaveWithPreview(true);
    return DrawingFile::Encode(doc).Bytes;
}

void ExpectSane(const TVXDrawing& doc) {
    ASSERT_GE(doc.LayerCount(), 1);
    EXPECT_NE(doc.LayerAt(0), nullptr);
    for (int i = 0; i < doc.FigureCount(); ++i) {
        const TFigure* figure = doc.GetFigure(i);
        EXPECT_GE(doc.IndexOfLayer(figure->FLayer), 0);
    }
    EXPECT_GT(doc.WorkWidth(), 0);
    EXPECT_GT(doc.WorkHeight(), 0);
}

} // namespace

TEST(DrawingFileDamage, EveryPrefixLoadsWhatItCan) {
    const TBytes file = SampleFile();
    {
        TVXDrawing full;
        ASSERT_EQ(DrawingFile::Decode(full, file, {}), DrawingFile::TLoadResult::Loaded);
        ASSERT_EQ(full.FigureCount(), 4);
        ASSERT_EQ(full.LayerCount(), 3);
    }
    TVXDrawing doc;
    int maxFigures = 0;
    std::set<int> seenCounts;
    // Inside the preview picture (an opaque blob to the reader) every 97th
    // prefix is enough; everywhere else every prefix is tried.
    std::uint32_t previewLength = 0;
    std::memcpy(&previewLength, &file[11], 4);
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(&file[15])), "Preview");
    const std::size_t previewStart = 23, previewEnd = previewStart + previewLength;
    for (std::size_t n = 0; n < file.size(); n += (n > previewStart && n + 97 < previewEnd) ? 97 : 1) {
        SCOPED_TRACE(n);
        const TBytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
        DrawingFile::TLoadResult result{};
        std::size_t largest = 0;
        {
            TAllocationWatch watch;
            result = DrawingFile::Decode(doc, prefix, {});
            largest = watch.Largest();
        }
        EXPECT_EQ(result, n < 8 ? DrawingFile::TLoadResult::NotADrawing : DrawingFile::TLoadResult::Damaged);
        EXPECT_LE(largest, std::max<std::size_t>(file.size(), 4096));
        ExpectSane(doc);
        // Once the file reaches the joins, all four complete figure records are in.
        if (n > 8 && n >= file.size() - 40) {
            EXPECT_EQ(doc.FigureCount(), 4);
        }
        if (result == DrawingFile::TLoadResult::Damaged) maxFigures = std::max(maxFigures, doc.FigureCount());
        seenCounts.insert(doc.FigureCount());
        if (HasFailure()) break;
    }
    // Figure lists cut part-way keep their complete records: 1, 2 and 3 figures occur.
    EXPECT_TRUE(seenCounts.count(1) && seenCounts.count(2) && seenCounts.count(3));
    EXPECT_EQ(maxFigures, 4);
}

TEST(DrawingFileDamage, BrokenVariantsNeverCrashAndKeepTheBaseLayer) {
    const TBytes layers = BaseLayerSectionData();
    struct TCase {
        const char* Name;
        TBytes File;
        DrawingFile::TLoadResult Result;
        int Layers;
    };
    using R = DrawingFile::TLoadResult;
    auto file = [](std::uint8_t count, const std::function<void(TByteBuilder&)>& body) {
        TByteBuilder b;
        b.Header(count);
        body(b);
        return b.Bytes;
    };
    const TCase cases[] = {
        {"wrong magic", TBytes{0x7B, 0x7D, 0xD4, 0xEA, 0x4C, 0x41, 0xA9, 0xD7, 0x22, 0x01, 0}, R::NotADrawing, 1},
        {"no sections", file(0, [](TByteBuilder&) {}), R::Loaded, 1},
        {"more sections announced than present", file(9, [&](TByteBuilder& b) { b.Section("Layers", layers); }),
         R::Damaged, 1},
        {"section longer than the file",
         file(1, [](TByteBuilder& b) { b.I32(0x7FFFFFFF).Str("Figures").I32(0); }), R::Damaged, 1},
        {"negative section length", file(1, [](TByteBuilder& b) { b.I32(-4).Str("Figures").I32(0); }),
         R::Damaged, 1},
        {"section name without end", file(1, [](TByteBuilder& b) { b.I32(0).U8('D').U8('o'); }), R::Damaged, 1},
        {"layer count beyond the data",
         file(1, [](TByteBuilder& b) { b.Section("Layers", TByteBuilder().I32(0x7FFFFFFF).I32(0).Bytes); }),
         R::Damaged, 1},
        {"negative layer count",
         file(1, [](TByteBuilder& b) { b.Section("Layers", TByteBuilder().I32(-1).Bytes); }), R::Damaged, 1},
        {"layer record length beyond the data",
         file(1, [](TByteBuilder& b) { b.Section("Layers", TByteBuilder().I32(1).I32(1000).U8(180).Bytes); }),
         R::Damaged, 1},
        {"empty layer list gets the base layer",
         file(1, [](TByteBuilder& b) { b.Section("Layers", TByteBuilder().I32(0).Bytes); }), R::Loaded, 1},
        {"layer record cut inside its name",
         file(1, [](TByteBuilder& b) {
             b.Section("Layers", TByteBuilder().I32(2).I32(3).U8(180).U8('A').U8('B').I32(2).U8(90).U8(1).Bytes);
         }),
         R::Damaged, 2},
        {"figure count beyond the data",
         file(2, [&](TByteBuilder& b) {
             b.Section("Layers", layers).Section("Figures", TByteBuilder().I32(0x40000000).Bytes);
         }),
         R::Damaged, 1},
        {"figure record of an unknown class is skipped",
         file(2, [&](TByteBuilder& b) {
             b.Section("Layers", layers).Section("Figures", TByteBuilder().I32(1).I32(5).Str("TFoo").Bytes);
         }),
         R::Loaded, 1},
        {"figure record cut short",
         file(2, [&](TByteBuilder& b) {
             b.Section("Layers", layers).Section("Figures", TByteBuilder().I32(1).I32(8).Str("TLine").U8(20).U8(1).Bytes);
         }),
         R::Damaged, 1},
        {"figures before any layer",
         file(1, [](TByteBuilder& b) { b.Section("Figures", TByteBuilder().I32(0).Bytes); }), R::Loaded, 1},
        {"document item cut short",
         file(1, [](TByteBuilder& b) { b.Section("Document", TByteBuilder().U8(221).U8(0).U8(0).Bytes); }),
         R::Damaged, 1},
        {"bad enumerations and page sizes",
         file(1, [](TByteBuilder& b) {
             b.Section("Document", TByteBuilder().U8(90).U8(255).U8(91).U8(7).U8(221).F64(-1).U8(222).F64(1e300)
                                       .U8(25).I32(-20).U8(150).I32(7).U8(1).I32(10).U8(0).U8(0).Bytes);
         }),
         R::Loaded, 1},
        {"join string without end",
         file(1, [](TByteBuilder& b) { b.Section("Joins", TByteBuilder().U8(180).U8('a').Bytes); }), R::Damaged,
         1},
        {"unknown and preview sections skipped",
         file(3, [&](TByteBuilder& b) {
             b.Section("Preview", {1, 2, 3}).Section("Zukunft", {9}).Section("Document", TByteBuilder().U8(27).I32(150).Bytes);
         }),
         R::Loaded, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TVXDrawing d;
        std::size_t largest = 0;
        DrawingFile::TLoadResult result{};
        {
            TAllocationWatch watch;
            result = DrawingFile::Decode(d, c.File, {});
            largest = watch.Largest();
        }
        EXPECT_EQ(result, c.Result);
        EXPECT_EQ(d.LayerCount(), c.Layers);
        EXPECT_EQ(d.GetLayerName(0), c.Layers == 2 ? QString() : QString("Base Layer"));
        EXPECT_LE(largest, std::max<std::size_t>(c.File.size(), 4096));
        EXPECT_EQ(d.WorkWidth(), 100.0);
        ExpectSane(d);
    }
}

// XOR and NOT-XOR drawing: drawing a call twice restores every pixel bit for
// bit, and each pixel is combined once per call.
#include "CanvasTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <functional>

using namespace canvastest;

namespace {

struct TXorCase {
    const char* Name;
    std::function<void(TCanvas&)> Draw;
};

const std::array<QPoint, 5> kStar{{{10, 60}, {40, 5}, {70, 60}, {5, 25}, {75, 25}}};
const std::array<QPoint, 4> kBezier{{{5, 70}, {20, 0}, {60, 90}, {78, 10}}};
const std::array<QPoint, 4> kZigZag{{{3, 3}, {70, 20}, {10, 40}, {76, 76}}};

std::vector<TXorCase> XorCases() {
    return {
        {"filled polygon",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0x3060F0));
             c.SetBrush(SolidBrush(0x0F8040));
             c.Polygon(kStar, TPolyFillMode::Alternate);
         }},
        {"winding star, same pen and brush colour",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0x7F3FBF));
             c.SetBrush(SolidBrush(0x7F3FBF));
             c.Polygon(kStar, TPolyFillMode::Winding);
         }},
        {"ellipse",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0x7F3FBF));
             c.SetBrush(SolidBrush(0x00FFFF));
             c.Ellipse(4, 6, 71, 58);
         }},
        {"ellipse with wide pen",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0x123456, 5));
             c.SetBrush(ClearBrush());
             c.Ellipse(4, 6, 71, 58);
         }},
        {"line chain",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0x7F3FBF));
             c.MoveTo(2, 2);
             c.LineTo(70, 9);
             c.LineTo(30, 75);
             c.LineTo(2, 2);
         }},
        {"dashed polyline on an opaque background",
         [](TCanvas& c) {
             c.SetPen({0xFF00FF, 1, TPenStyle::psDashDotDot});
             c.SetBackgroundTransparent(false);
             c.SetBackgroundColor(0x00FF00);
             c.Polyline(kZigZag);
         }},
        {"wide polyline",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0xA0A0A0, 4));
             c.Polyline(kZigZag);
         }},
        {"hatched rectangle",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0x7F3FBF));
             c.SetBrush({0x7F3FBF, TBrushStyle::bsDiagCross});
             c.Rectangle(3, 3, 60, 50);
         }},
        {"pie",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0x00FF80));
             c.SetBrush(SolidBrush(0xFF0000));
             c.Pie(0, 0, 70, 70, 70, 35, 0, 70);
         }},
        {"bezier",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0x7F3FBF));
             c.PolyBezier(kBezier);
         }},
        {"text",
         [](TCanvas& c) {
             c.SetFont({.Name = "Arial", .Height = 18, .Color = 0x7F3FBF});
             c.TextOut(3, 5, "XOR Text gy");
         }},
        {"turned bold text on an opaque background",
         [](TCanvas& c) {
             c.SetFont({.Name = "Times New Roman", .Height = 22, .Escapement = 300, .Bold = true, .Color = 0x00FFFF});
             c.SetBackgroundTransparent(false);
             c.SetBackgroundColor(0x804020);
             c.TextOut(5, 60, "Winkel 30");
         }},
        {"stroked and filled path",
         [](TCanvas& c) {
             c.SetPen(SolidPen(0x7F3FBF, 2));
             c.SetBrush(SolidBrush(0x00FF00));
             c.BeginPath();
             c.PolyBezier(kBezier);
             c.LineTo(5, 70);
             c.EndPath();
             c.StrokeAndFillPath();
         }},
        {"rotated rectangle",
         [](TCanvas& c) {
             c.SetWorldTransform({0.8660254, 0.5, -0.5, 0.8660254, 30, 5});
             c.SetPen(SolidPen(0x00FF80));
             c.SetBrush(SolidBrush(0x0000FF));
             c.Rectangle(0, 0, 40, 25);
         }},
    };
}

class CanvasXorTest : public ::testing::TestWithParam<TPenMode> {};

TEST_P(CanvasXorTest, DrawingTwiceRestoresEveryPixel) {
    const QImage original = NoiseImage(80, 80);
    for (const TXorCase& c : XorCases()) {
        SCOPED_TRACE(c.Name);
        QImage image = original;
        {
            TQtCanvas canvas(&image);
            canvas.SetPenMode(GetParam());
            c.Draw(canvas);
        }
        EXPECT_FALSE(Changed(image, original).empty());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) ASSERT_EQ(qAlpha(Raw(image, x, y)), 0xFF) << x << "," << y;
        {
            TQtCanvas canvas(&image);
            canvas.SetPenMode(GetParam());
            c.Draw(canvas);
        }
        EXPECT_TRUE(Changed(image, original).empty()) << Changed(image, original).size() << " pixels differ";
        EXPECT_EQ(0, std::memcmp(image.constBits(), original.constBits(), static_cast<std::size_t>(image.sizeInBytes())));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, CanvasXorTest, ::testing::Values(TPenMode::pmXor, TPenMode::pmNotXor),
                         [](const testing::TestParamInfo<TPenMode>& param) {
                             return param.param == TPenMode::pmXor ? "Xor" : "NotXor";
                         });

// On white, XOR turns exactly the pixels that copy mode would ink: no pixel is
// combined twice (which would cancel it), none is lost.
TEST(CanvasPenModeTest, EachPixelIsCombinedOncePerCall) {
    for (const TXorCase& c : XorCases()) {
        SCOPED_TRACE(c.Name);
        if (std::string(c.Name).find("opaque") != std::string::npos) continue; // the background is white too
        QImage copied = MakeImage(80, 80);
        QImage combined = MakeImage(80, 80);
        {
            TQtCanvas canvas(&copied);
            c.Draw(canvas);
        }
        {
            TQtCanvas canvas(&combined);
            canvas.SetPenMode(TPenMode::pmXor);
            c.Draw(canvas);
        }
        EXPECT_FALSE(Differing(copied).empty());
        EXPECT_EQ(Differing(copied), Differing(combined));
    }
}

TEST(CanvasPenModeTest, XorAndNotXorCombineThePenColourWithTheDevice) {
    QImage image = MakeImage(10, 3, 0xFF123456);
    {
        TQtCanvas canvas(&image);
        canvas.SetPen(SolidPen(0x0F0F0F));
        canvas.SetPenMode(TPenMode::pmXor);
        canvas.MoveTo(0, 0);
        canvas.LineTo(10, 0);
        canvas.SetPenMode(TPenMode::pmNotXor);
        canvas.MoveTo(0, 1);
        canvas.LineTo(10, 1);
        EXPECT_EQ(canvas.PenMode(), TPenMode::pmNotXor);
    }
    EXPECT_EQ(Raw(image, 4, 0), 0xFF123456u ^ 0x000F0F0Fu);
    EXPECT_EQ(Raw(image, 4, 1), 0xFF000000u | (~(0x123456u ^ 0x0F0F0Fu) & 0xFFFFFFu));
    EXPECT_EQ(Raw(image, 4, 2), 0xFF123456u);
}

TEST(CanvasPenModeTest, BlackXorInkLeavesTheDeviceAsItIs) {
    const QImage original = NoiseImage(30, 30);
    QImage image = original;
    {
        TQtCanvas canvas(&image);
        canvas.SetPenMode(TPenMode::pmXor);
        canvas.SetPen(SolidPen(kBlack));
        canvas.SetBrush(SolidBrush(kBlack));
        canvas.Ellipse(2, 2, 28, 28);
    }
    EXPECT_TRUE(Changed(image, original).empty());
}

TEST(CanvasPenModeTest, XorRespectsTheClipRegion) {
    QImage image = MakeImage(40, 40);
    {
        TQtCanvas canvas(&image);
        const TDeviceRegion clip = TDeviceRegion::FromRect({10, 10, 20, 20});
        canvas.SelectClipRegion(&clip);
        canvas.SetPenMode(TPenMode::pmXor);
        canvas.SetBrush(SolidBrush(kWhiteColor));
        canvas.SetPen(SolidPen(kWhiteColor));
        canvas.Rectangle(0, 0, 40, 40);
    }
    const TBox box = BoundsOf(Differing(image));
    EXPECT_EQ(box.MinX, 10);
    EXPECT_EQ(box.MinY, 10);
    EXPECT_EQ(box.MaxX, 19);
    EXPECT_EQ(box.MaxY, 19);
    EXPECT_EQ(Differing(image).size(), 100u);
}

} // namespace

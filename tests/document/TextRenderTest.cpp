// Text figures painted by the document: a turned, stretched and spaced text
// lies along its turned base line inside its laid-out box; a striped text
// puts ink only in stripe rows inside its box.
#include "DocumentFixture.h"

#include "model/Text.h"
#include "platform/DeviceRegion.h"

#include <QPolygonF>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>

namespace {

constexpr TColor kPurple = 0x800080;

struct TView {
    int Zoom;
    TVertZero Vert;
    THorzZero Horz;
};

std::string Describe(const TView& v) {
    return std::to_string(v.Zoom) + (v.Vert == TVertZero::vzTop ? " top" : " bottom") +
           (v.Horz == THorzZero::vzLeft ? " left" : " right");
}

struct TPainted {
    std::vector<QPoint> Ink;
    // The laid-out box in device pixels.
    QPolygonF Box;
    double LayoutWidth = 0;
    // The device row of the box's smallest world Y, where the stripes start.
    int FirstStripeRow = 0;
};

class TextRender : public ::testing::TestWithParam<TView> {
protected:
    void Prepare(TVXDrawing& doc) const {
        const TView view = GetParam();
        doc.resize(1300, 1000);
        doc.SetWorkWidth(120);
        doc.SetWorkHeight(90);
        doc.SetVerticalZero(view.Vert);
        doc.SetHorizontalZero(view.Horz);
        doc.SetZoomScale(view.Zoom);
    }

    // Paints one text figure made by `make` into a fresh drawing.
    template <typename Make> TPainted Paint(const Make& make) const {
        TVXDrawing doc;
        Prepare(doc);
        std::unique_ptr<TText> made = make(doc);
        TText* text = made.get();
        doc.AddFigure(std::move(made), false, TInsertReason::irCreate);
        QImage image;
        doc.PaintTo(image);
        TPainted result;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) == 0x800080u) result.Ink.push_back({x, y});
        EXPECT_FALSE(text->FChanged);
        result.LayoutWidth = text->FLayoutWidth;
        double minY = std::numeric_limits<double>::max();
        for (const TDoublePoint& p : text->Box()) {
            const TDoublePoint d = doc.Engine()->ToDevice(p);
            result.Box << QPointF(d.X, d.Y);
            minY = std::min(minY, p.Y);
        }
        result.FirstStripeRow = doc.Engine()->ToPixel(DoublePoint(0, minY)).y();
        return result;
    }
    double Factor() const { return 4.0 * GetParam().Zoom / 100.0; }
};

// Direction of the longest extent of the pixels, in degrees on the screen (y down).
double PrincipalAngle(const std::vector<QPoint>& pixels) {
    double mx = 0, my = 0;
    for (const QPoint& p : pixels) {
        mx += p.x();
        my += p.y();
    }
    mx /= pixels.size();
    my /= pixels.size();
    double sxx = 0, syy = 0, sxy = 0;
    for (const QPoint& p : pixels) {
        sxx += (p.x() - mx) * (p.x() - mx);
        syy += (p.y() - my) * (p.y() - my);
        sxy += (p.x() - mx) * (p.y() - my);
    }
    return 0.5 * std::atan2(2 * sxy, sxx - syy) * 180 / std::numbers::pi;
}

// Length of the pixels' extent along the direction (degrees on the screen).
double ExtentAlong(const std::vector<QPoint>& pixels, double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    double lo = 1e9, hi = -1e9;
    for (const QPoint& p : pixels) {
        const double t = p.x() * std::cos(a) + p.y() * std::sin(a);
        lo = std::min(lo, t);
        hi = std::max(hi, t);
    }
    return hi - lo;
}

// Distance of a pixel centre from the polygon (0 inside).
double Outside(const QPolygonF& box, const QPoint& p) {
    const QPointF c(p.x() + 0.5, p.y() + 0.5);
    if (box.containsPoint(c, Qt::OddEvenFill)) return 0;
    double best = 1e9;
    for (int i = 0; i < box.size(); ++i) {
        const QPointF a = box[i], b = box[(i + 1) % box.size()];
        const QPointF ab = b - a;
        const double len2 = QPointF::dotProduct(ab, ab);
        const double t = len2 > 0 ? std::clamp(QPointF::dotProduct(c - a, ab) / len2, 0.0, 1.0) : 0.0;
        const QPointF f = a + t * ab;
        best = std::min(best, std::hypot(c.x() - f.x(), c.y() - f.y()));
    }
    return best;
}

TEST_P(TextRender, TurnedStretchedSpacedTextRunsAlongItsBaseLineInsideItsBox) {
    SCOPED_TRACE(Describe(GetParam()));
    const QString s = QStringLiteral("Weltmeister");
    const auto make = [&](double spacing) {
        return [=](TVXDrawing& doc) {
            std::unique_ptr<TText> text = TText::Create(s, &doc, true, doc.LayerAt(0), kPurple, 0,
                                                        QStringLiteral("Arial"), 3, 8, 40, 40);
            text->FAngle = std::numbers::pi / 6;
            text->FSpacing = spacing;
            return text;
        };
    };
    const TPainted plain = Paint(make(0));
    const TPainted spaced = Paint(make(1));
    ASSERT_GT(plain.Ink.size(), 100u);
    ASSERT_GT(spaced.Ink.size(), 100u);

    // World angles turn counter-clockwise in the world: down the screen when
    // world Y grows downwards, up it otherwise.
    const double expected = GetParam().Vert == TVertZero::vzTop ? 30 : -30;
    EXPECT_NEAR(PrincipalAngle(plain.Ink), expected, 3);
    EXPECT_NEAR(PrincipalAngle(spaced.Ink), expected, 3);

    // Spacing: 10 gaps of 1 mm more along the base line, in the ink and in the box.
    const double gained = ExtentAlong(spaced.Ink, expected) - ExtentAlong(plain.Ink, expected);
    EXPECT_NEAR(gained, 10 * Factor(), 3);
    EXPECT_NEAR(spaced.LayoutWidth - plain.LayoutWidth, 10, 1e-9);

    // The ink stays in the laid-out box (the turned anchor hangs a third of
    // the internal leading above it).
    for (const TPainted* painted : {&plain, &spaced})
        for (const QPoint& p : painted->Ink) ASSERT_LE(Outside(painted->Box, p), 1 + Factor()) << p.x() << "," << p.y();
}

TEST_P(TextRender, StripedTextHasInkOnlyInStripeRowsInsideItsBox) {
    SCOPED_TRACE(Describe(GetParam()));
    const TPainted striped = Paint([](TVXDrawing& doc) {
        std::unique_ptr<TText> text = TStripedText::Create(QStringLiteral("HEW"), &doc, true, doc.LayerAt(0), kPurple,
                                                           0, QStringLiteral("Arial"), 0, 15, 20, 40);
        return std::unique_ptr<TText>(std::move(text));
    });
    ASSERT_GT(striped.Ink.size(), 50u);
    const int step = static_cast<int>(Factor());
    const int firstRow = striped.FirstStripeRow;
    std::set<int> rows;
    for (const QPoint& p : striped.Ink) {
        ASSERT_LE(Outside(striped.Box, p), 1.0) << p.x() << "," << p.y();
        ASSERT_EQ(((p.y() - firstRow) % step + step) % step, 0) << p.y();
        rows.insert(p.y());
    }
    // Stripes across the capitals' whole height (15 mm, 1 mm apart).
    EXPECT_GE(rows.size(), 10u);
}

std::vector<TView> Views() {
    std::vector<TView> views;
    for (int zoom : {100, 200})
        for (TVertZero v : {TVertZero::vzTop, TVertZero::vzBottom}) views.push_back({zoom, v, THorzZero::vzLeft});
    views.push_back({100, TVertZero::vzTop, THorzZero::vzRight});
    return views;
}

INSTANTIATE_TEST_SUITE_P(ZoomsAndCorners, TextRender, ::testing::ValuesIn(Views()));

} // namespace

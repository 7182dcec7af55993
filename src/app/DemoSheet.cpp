#include "app/DemoSheet.h"

#include "model/Bezier.h"
#include "model/Geometry.h"
#include "platform/QtCanvas.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPixelsPerMm = 4.0;
constexpr double kPageWidth = 297;
constexpr double kPageHeight = 210;

QPoint Px(double x, double y) {
    return {static_cast<int>(std::nearbyint(x * kPixelsPerMm)),
            static_cast<int>(std::nearbyint(y * kPixelsPerMm))};
}

void Arrow(TCanvas& canvas, TDoublePoint from, TDoublePoint tip) {
    const double angle = std::atan2(tip.Y - from.Y, tip.X - from.X);
    const TDoublePoint base = DoublePoint(tip.X - 5 * std::cos(angle), tip.Y - 5 * std::sin(angle));
    const TDoublePoint c1 =
        RotatePoint(base, DoublePoint(base.X + 1.5, base.Y), angle + std::numbers::pi / 2);
    const TDoublePoint c2 =
        RotatePoint(base, DoublePoint(base.X + 1.5, base.Y), angle - std::numbers::pi / 2);
    const QPoint head[] = {Px(c1.X, c1.Y), Px(tip.X, tip.Y), Px(c2.X, c2.Y)};
    canvas.MoveTo(Px(from.X, from.Y).x(), Px(from.X, from.Y).y());
    canvas.LineTo(Px(base.X, base.Y).x(), Px(base.X, base.Y).y());
    canvas.Polygon(head);
}

} // namespace

QImage DrawDemoSheet() {
    QImage image(static_cast<int>(kPageWidth * kPixelsPerMm), static_cast<int>(kPageHeight * kPixelsPerMm),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    TQtCanvas canvas(&image);

    // Frame and title block.
    canvas.SetPen({0x000000, 2, TPenStyle::psSolid});
    canvas.SetBrush({0, TBrushStyle::bsClear});
    const QPoint topLeft = Px(10, 10), bottomRight = Px(kPageWidth - 10, kPageHeight - 10);
    canvas.Rectangle(topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y());
    canvas.SetBackgroundTransparent(true);
    canvas.SetFont({QStringLiteral("Arial"), -40, 0, 0, true, false, false, false, 1, 0x000000});
    canvas.TextOut(Px(20, 16).x(), Px(20, 16).y(), QStringLiteral("KELDRA – Beispielblatt"));

    // A dimensioned plate: hatched rectangle with a bore.
    canvas.SetPen({0x000000, 1, TPenStyle::psSolid});
    canvas.SetBrush({0x808080, TBrushStyle::bsFDiagonal});
    canvas.Rectangle(Px(30, 50).x(), Px(30, 50).y(), Px(130, 110).x(), Px(130, 110).y());
    canvas.SetBrush({0xFFFFFF, TBrushStyle::bsSolid});
    canvas.Ellipse(Px(65, 65).x(), Px(65, 65).y(), Px(95, 95).x(), Px(95, 95).y());
    canvas.SetPen({0x0000FF, 1, TPenStyle::psDashDot});
    canvas.MoveTo(Px(80, 58).x(), Px(80, 58).y());
    canvas.LineTo(Px(80, 102).x(), Px(80, 102).y());
    canvas.MoveTo(Px(58, 80).x(), Px(58, 80).y());
    canvas.LineTo(Px(102, 80).x(), Px(102, 80).y());

    // Dimension line with arrowheads.
    canvas.SetPen({0xFF0000, 1, TPenStyle::psSolid});
    canvas.SetBrush({0xFF0000, TBrushStyle::bsSolid});
    Arrow(canvas, DoublePoint(80, 122), DoublePoint(30, 122));
    Arrow(canvas, DoublePoint(80, 122), DoublePoint(130, 122));
    canvas.SetFont({QStringLiteral("Arial"), -16, 0, 0, false, false, false, false, 1, 0xFF0000});
    canvas.TextOut(Px(74, 116).x(), Px(74, 116).y(), QStringLiteral("100"));

    // An elliptical arc and a Bézier curve.
    canvas.SetPen({0x008000, 2, TPenStyle::psSolid});
    const T2DPointArray arc = EllipseArcToBezier(0.2, 4.5, 40, 25, 0.3, 210, 80);
    std::vector<QPoint> arcPixels;
    for (const T2DPoint& p : arc)
        arcPixels.push_back(Px(p.X, p.Y));
    canvas.PolyBezier(arcPixels);
    canvas.SetPen({0x800080, 2, TPenStyle::psSolid});
    const QPoint curve[] = {Px(160, 170), Px(190, 120), Px(230, 200), Px(270, 140)};
    canvas.PolyBezier(curve);

    // Turned text.
    canvas.SetFont({QStringLiteral("Times New Roman"), -24, 0, 300, false, true, false, false, 1, 0x000000});
    canvas.TextOut(Px(30, 185).x(), Px(30, 185).y(), QStringLiteral("Text unter 30°"));
    return image;
}

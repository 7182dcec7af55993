#pragma once
// The sample drawings of samples/, built through the document's creation
// operations. SampleDrawingsTest writes them when KELDRA_WRITE_SAMPLES names
// the samples folder, and otherwise checks that the stored ones match.

#include "document/VXDrawing.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace Samples {

constexpr double kPi = std::numbers::pi;

// Gives the figure a handle points to a fixed name, so the samples are the
// same on every run.
inline void Name(std::intptr_t handle, const QString& name) {
    reinterpret_cast<TFigure*>(handle)->FName = name;
}

// A flat with three rooms: walls as polylines, doors as arcs with their leaf,
// dimension lines with arrows, room names as text; one layer each.
inline void BuildFloorPlan(TVXDrawing& d) {
    d.SetWorkWidth(297);
    d.SetWorkHeight(210);
    const int walls = d.NewLayer(QStringLiteral("Wände"));
    const int doors = d.NewLayer(QStringLiteral("Türen"));
    const int dims = d.NewLayer(QStringLiteral("Maße"));
    const int names = d.NewLayer(QStringLiteral("Raumnamen"));
    constexpr TColor kBlack = 0x000000;
    constexpr TColor kBrown = 0x2A2AA5;
    constexpr TColor kBlue = 0xC00000;
    constexpr TColor kGreen = 0x008000;
    // Outer wall, closed, and the inner walls.
    const std::vector<TDoublePoint> outer{DoublePoint(40, 30), DoublePoint(250, 30), DoublePoint(250, 170),
                                          DoublePoint(40, 170)};
    Name(d.PolyLine(walls, outer, 3, 0, kBlack, 0, 1, 0, true, false), QStringLiteral("Wand 1"));
    Name(d.PolyLine(walls, std::vector<TDoublePoint>{DoublePoint(140, 30), DoublePoint(140, 90)}, 2, 0,
                    kBlack, 0, 1, 0, false, false),
         QStringLiteral("Wand 2"));
    Name(d.PolyLine(walls, std::vector<TDoublePoint>{DoublePoint(140, 110), DoublePoint(140, 170)}, 2, 0,
                    kBlack, 0, 1, 0, false, false),
         QStringLiteral("Wand 3"));
    Name(d.PolyLine(walls, std::vector<TDoublePoint>{DoublePoint(140, 100), DoublePoint(200, 100)}, 2, 0,
                    kBlack, 0, 1, 0, false, false),
         QStringLiteral("Wand 4"));
    Name(d.PolyLine(walls, std::vector<TDoublePoint>{DoublePoint(200, 120), DoublePoint(200, 170)}, 2, 0,
                    kBlack, 0, 1, 0, false, false),
         QStringLiteral("Wand 5"));
    // Doors: leaf and swing.
    Name(d.Line(doors, 140, 90, 160, 90, 1, 0, kBrown, 0, false), QStringLiteral("Linie 1"));
    Name(d.Arc(doors, 140, 90, 20, 0, kPi / 2, 1, 0, kBrown, 1, 0, 0, false), QStringLiteral("Bogen 1"));
    Name(d.Line(doors, 200, 120, 220, 120, 1, 0, kBrown, 0, false), QStringLiteral("Linie 2"));
    Name(d.Arc(doors, 200, 120, 20, -kPi / 2, 0, 1, 0, kBrown, 1, 0, 0, false), QStringLiteral("Bogen 2"));
    Name(d.Line(doors, 70, 170, 70, 150, 1, 0, kBrown, 0, false), QStringLiteral("Linie 3"));
    Name(d.Arc(doors, 70, 170, 20, kPi, 3 * kPi / 2, 1, 0, kBrown, 1, 0, 0, false),
         QStringLiteral("Bogen 3"));
    // Dimensions.
    constexpr int kBothArrows = static_cast<int>(TRowStyle::rsBothSolid);
    Name(d.Line(dims, 40, 20, 250, 20, 1, 0, kBlue, kBothArrows, false), QStringLiteral("Linie 4"));
    Name(d.TextOut(dims, 135, 13, 0, 4, 0, QStringLiteral("10,50 m"), QStringLiteral("Arial"), 0, kBlue,
                   false),
         QStringLiteral("Text 1"));
    Name(d.Line(dims, 260, 30, 260, 170, 1, 0, kBlue, kBothArrows, false), QStringLiteral("Linie 5"));
    Name(
        d.TextOut(dims, 263, 95, 0, 4, 0, QStringLiteral("7,00 m"), QStringLiteral("Arial"), 0, kBlue, false),
        QStringLiteral("Text 2"));
    Name(d.Line(dims, 140, 180, 200, 180, 1, 0, kBlue, kBothArrows, false), QStringLiteral("Linie 6"));
    Name(d.TextOut(dims, 162, 182, 0, 4, 0, QStringLiteral("3,00 m"), QStringLiteral("Arial"), 0, kBlue,
                   false),
         QStringLiteral("Text 3"));
    // Room names.
    Name(d.TextOut(names, 75, 95, 0, 6, 0, QStringLiteral("Wohnzimmer"), QStringLiteral("Arial"), 0, kGreen,
                   false),
         QStringLiteral("Text 4"));
    Name(d.TextOut(names, 180, 60, 0, 6, 0, QStringLiteral("Küche"), QStringLiteral("Arial"), 0, kGreen,
                   false),
         QStringLiteral("Text 5"));
    Name(
        d.TextOut(names, 158, 130, 0, 5, 0, QStringLiteral("Bad"), QStringLiteral("Arial"), 0, kGreen, false),
        QStringLiteral("Text 6"));
    Name(d.TextOut(names, 215, 150, 0, 5, 0, QStringLiteral("Flur"), QStringLiteral("Arial"), 0, kGreen,
                   false),
         QStringLiteral("Text 7"));
}

// A flange in front view and section: circles for the rim, the bore and the
// bolt holes, arcs for the hub fillets, rectangles for the section, text.
inline void BuildFlange(TVXDrawing& d) {
    d.SetWorkWidth(210);
    d.SetWorkHeight(148);
    const int contour = d.NewLayer(QStringLiteral("Kontur"));
    const int axes = d.NewLayer(QStringLiteral("Mittellinien"));
    const int labels = d.NewLayer(QStringLiteral("Beschriftung"));
    constexpr TColor kBlack = 0x000000;
    constexpr TColor kRed = 0x0000C0;
    constexpr TColor kGray = 0x808080;
    constexpr double cx = 65;
    constexpr double cy = 74;
    // Front view.
    Name(d.DrawCircle(contour, cx, cy, 45, 2, 0, kBlack, 1, 0, false), QStringLiteral("Kreis 1"));
    Name(d.DrawCircle(contour, cx, cy, 15, 2, 0, kBlack, 1, 0, false), QStringLiteral("Kreis 2"));
    Name(d.DrawCircle(axes, cx, cy, 32, 1, 3, kRed, 1, 0, false), QStringLiteral("Kreis 3"));
    for (int i = 0; i < 6; ++i) {
        const double a = i * kPi / 3;
        Name(d.DrawCircle(contour, cx + 32 * std::cos(a), cy + 32 * std::sin(a), 4.5, 1, 0, kBlack, 1, 0,
                          false),
             QStringLiteral("Bohrung %1").arg(i + 1));
    }
    Name(d.Arc(contour, cx, cy, 22, kPi / 6, 5 * kPi / 6, 1, 0, kGray, 1, 0, 0, false),
         QStringLiteral("Bogen 1"));
    Name(d.Arc(contour, cx, cy, 22, 7 * kPi / 6, 11 * kPi / 6, 1, 0, kGray, 1, 0, 0, false),
         QStringLiteral("Bogen 2"));
    Name(d.Line(axes, cx - 52, cy, cx + 52, cy, 1, 3, kRed, 0, false), QStringLiteral("Linie 1"));
    Name(d.Line(axes, cx, cy - 52, cx, cy + 52, 1, 3, kRed, 0, false), QStringLiteral("Linie 2"));
    // Section: the plate and the hub.
    Name(d.Rectangle(contour, 140, 29, 152, 119, 2, 0, kBlack, 5, kGray, false),
         QStringLiteral("Rechteck 1"));
    Name(d.Rectangle(contour, 152, 52, 172, 96, 2, 0, kBlack, 5, kGray, false), QStringLiteral("Rechteck 2"));
    Name(d.Arc(contour, 156, 48, 4, kPi / 2, kPi, 1, 0, kBlack, 1, 0, 0, false), QStringLiteral("Bogen 3"));
    Name(d.Arc(contour, 156, 100, 4, kPi, 3 * kPi / 2, 1, 0, kBlack, 1, 0, 0, false),
         QStringLiteral("Bogen 4"));
    Name(d.Line(axes, 132, cy, 180, cy, 1, 3, kRed, 0, false), QStringLiteral("Linie 3"));
    // Labels.
    Name(d.TextOut(labels, 20, 128, 0, 6, 0, QStringLiteral("Flansch DN 30 – 6 × Ø 9"),
                   QStringLiteral("Arial"), 0, kBlack, false),
         QStringLiteral("Text 1"));
    Name(d.TextOut(labels, 140, 128, 0, 5, 0, QStringLiteral("Schnitt A–A"), QStringLiteral("Arial"), 0,
                   kBlack, false),
         QStringLiteral("Text 2"));
    Name(d.TextOut(labels, 150, 10, 0, 4, 0, QStringLiteral("Werkstoff: S235"), QStringLiteral("Arial"), 0,
                   kGray, false),
         QStringLiteral("Text 3"));
}

} // namespace Samples

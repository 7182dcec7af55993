#include "model/Hellical.h"

#include "model/Bezier.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/RoundGeometry.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double Pi = std::numbers::pi;
constexpr TColor kRubberGreen = 0x00FF00;
constexpr double kArrowHalfWidth = 1.2;
constexpr double kArrowLength = 3.5;

std::unique_ptr<THellical> AsHellical(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<THellical>(static_cast<THellical*>(figure.release()));
}

// Appends the half circle about centre from the angle `from` half a turn on;
// its first point continues the list.
void AppendHalfCircle(TDoublePointArr& path, const TDoublePoint& centre, double radius, double from) {
    const T2DPointArray piece = EllipseArcToBezier(from, from + Pi, radius, radius, 0, centre.X, centre.Y);
    for (std::size_t k = path.empty() ? 0 : 1; k < piece.size(); ++k)
        path.push_back(DoublePoint(piece[k].X, piece[k].Y));
}
} // namespace

const TFigureClass& THellical::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<THellical>(QStringLiteral("THellical"), static_cast<int>(TShapeKind::Line));
        c.CreateRubber = &THellical::CreateSpiralRubber;
        c.Commit = &THellical::CommitSpiral;
        return c;
    }();
    return cls;
}

const TFigureClass& THellical::Class() const { return StaticClass(); }

std::unique_ptr<THellical> THellical::Create(TLayer* layer, TFigureDocument* document, bool persistent, double x1,
                                             double y1, double x2, double y2, int penWidth, TColor penColor,
                                             int penStyle) {
    std::unique_ptr<THellical> spiral = AsHellical(NewFigure(StaticClass(), layer, document, persistent));
    spiral->FPenWidth = penWidth;
    spiral->FPenColor = penColor;
    spiral->FPenStyle = penStyle;
    spiral->SetPoint(1, DoublePoint(x1, y1));
    spiral->SetPoint(2, DoublePoint(x2, y2));
    spiral->FOrgPoints = spiral->FPoints;
    return spiral;
}

void THellical::Initialize() {
    TFigure::Initialize();
    FPointCount = 2;
}

QString THellical::GetTypeName() const { return QStringLiteral("Hellical"); }

TDoublePointArr THellical::BuildSpiralPath() const {
    const TDoublePoint p1 = GetPoint(1);
    const TDoublePoint p2 = GetPoint(2);
    const double d = std::hypot(p2.X - p1.X, p2.Y - p1.Y);
    if (!(d > 0)) return {};
    // The half circles are laid out along the direction 1 → 2.
    const double direction = AngleOf(p1, p2);
    const TDoublePoint middle = MidPoint(p1, p2);
    TDoublePointArr path;
    for (int i = 0; i < kHalfTurns; ++i) {
        if (i > 0) AppendHalfCircle(path, p1, i * d, direction);
        AppendHalfCircle(path, middle, (d + 2 * i * d) / 2, direction + Pi);
    }
    return path;
}

void THellical::Draw(TFigureEngine& engine, bool grayed) {
    const TDoublePointArr path = BuildSpiralPath();
    if (path.empty()) return;
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    engine.DrawBezierPath(path, kArrowHalfWidth, kArrowLength, RowStyle(), &FRegion, nullptr, FInCombined, false,
                          TBrushStyle::bsClear, 0, PenStyle(), FPenWidth, RoundPenColor(*this, grayed));
}

void THellical::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    const TDoublePointArr path = BuildSpiralPath();
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (!PolyBezierBounds(path, x0, y0, x1, y1)) {
        PointBounds(1, 2, maxX, maxY, minX, minY);
        return;
    }
    maxX = x1;
    maxY = y1;
    minX = x0;
    minY = y0;
}

std::unique_ptr<TFigure> THellical::CreateSpiralRubber(const TFigureClass&, double x, double y) {
    std::unique_ptr<THellical> rubber = AsHellical(NewFigure(THellical::StaticClass(), nullptr, nullptr, false));
    rubber->SetPoint(1, DoublePoint(x, y));
    rubber->SetPoint(2, DoublePoint(x, y));
    rubber->FPenWidth = 1;
    rubber->FPenColor = kRubberGreen;
    rubber->FPenStyle = static_cast<int>(TPenStyle::psDash);
    rubber->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    return rubber;
}

std::unique_ptr<TFigure> THellical::CommitSpiral(TFigureDocument* document, TLayer* layer, TFigure* rubber) {
    if (!rubber) return nullptr;
    const TFigureDefaults defaults = document ? document->Defaults() : TFigureDefaults{};
    std::unique_ptr<THellical> spiral = AsHellical(NewFigure(THellical::StaticClass(), layer, document, true));
    spiral->SetPoint(1, rubber->GetPoint(1));
    spiral->SetPoint(2, rubber->GetPoint(2));
    spiral->FOrgPoints = spiral->FPoints;
    spiral->FPenWidth = defaults.PenWidth;
    spiral->FRowStyle = static_cast<std::uint8_t>(defaults.RowStyle);
    spiral->FPenColor = defaults.PenColor;
    spiral->FPenStyle = static_cast<int>(defaults.PenStyle);
    return spiral;
}

void THellical::RubberMove(int clickNo, double x, double y) {
    if (clickNo != 1) return;
    SetPoint(2, DoublePoint(x, y));
    FreeRegion();
}

bool THellical::RubberClick(int clickNo, double x, double y) {
    if (clickNo < 2) return false;
    SetPoint(2, DoublePoint(x, y));
    FreeRegion();
    return true;
}

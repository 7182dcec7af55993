// The magnifying detail window and the oblique 3-D view. Both measure world
// points from the page's top-left corner first ("page space"), so they look
// the same way up whatever the zero settings.
#include "platform/QtCanvas.h"
#include "render/VXDrawBox.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double kObliqueAngle = std::numbers::pi / 4;
constexpr int kDetailMargin = 20;
} // namespace

QRect TVXDrawBox::DetailRect() const {
    return QRect(SurfaceWidth() - FDetailWidth - kDetailMargin, kDetailMargin, FDetailWidth, FDetailHeight);
}

bool TVXDrawBox::PointInDetail(int x, int y) const {
    return FDetailWindow && DetailRect().contains(x, y);
}

TDoublePoint TVXDrawBox::ProjectOblique(double x, double y, double z) const {
    if (HorizontalZero() == THorzZero::vzRight) x = FWorkWidth - x;
    if (VerticalZero() == TVertZero::vzBottom) y = FWorkHeight - y;
    const double h = FWorkHeight;
    return {x + std::cos(kObliqueAngle) * (h - y), h - (z + std::sin(kObliqueAngle) * (h - y))};
}

TDoublePoint TVXDrawBox::UnprojectOblique(double px, double py, double z) const {
    const double h = FWorkHeight;
    double y = h - (h - py - z) / std::sin(kObliqueAngle);
    double x = px - std::cos(kObliqueAngle) * (h - y);
    if (HorizontalZero() == THorzZero::vzRight) x = FWorkWidth - x;
    if (VerticalZero() == TVertZero::vzBottom) y = FWorkHeight - y;
    return {x, y};
}

namespace {
double DetailFactor(int detailScale) {
    return TScreenMapping::BaseFactor * detailScale / 100.0;
}
} // namespace

TDoublePoint TVXDrawBox::DetailToDevice(double x, double y, double z) const {
    TDoublePoint p;
    if (FDetailStyle == TDetailStyle::dsIsometry) {
        p = ProjectOblique(x, y, z);
    } else {
        p = {HorizontalZero() == THorzZero::vzRight ? FWorkWidth - x : x,
             VerticalZero() == TVertZero::vzBottom ? FWorkHeight - y : y};
    }
    const double f = DetailFactor(FDetailScale);
    const QRect r = DetailRect();
    return {r.left() + (p.X - FDetailOffset.X) * f, r.top() + (p.Y - FDetailOffset.Y) * f};
}

TDoublePoint TVXDrawBox::DetailToWorld(double px, double py, double z) const {
    const double f = DetailFactor(FDetailScale);
    const QRect r = DetailRect();
    const double x = (px - r.left()) / f + FDetailOffset.X;
    const double y = (py - r.top()) / f + FDetailOffset.Y;
    if (FDetailStyle == TDetailStyle::dsIsometry) return UnprojectOblique(x, y, z);
    return {HorizontalZero() == THorzZero::vzRight ? FWorkWidth - x : x,
            VerticalZero() == TVertZero::vzBottom ? FWorkHeight - y : y};
}

void TVXDrawBox::PaintDetail() {
    if (!FDetailWindow || FWorkBitmap.isNull()) return;
    const QRect r = DetailRect();
    QImage inset(r.size(), QImage::Format_RGB32);
    inset.fill(ColorToQColor(FPageColor));
    {
        TQtCanvas canvas(&inset);
        const double f = DetailFactor(FDetailScale);
        FEngine->SetConversions(
            [this, r](double& x, double& y, double& z) {
                const TDoublePoint p = DetailToDevice(x, y, z);
                x = p.X - r.left();
                y = p.Y - r.top();
            },
            [f](double& d) { d *= f; },
            [this, r](double& x, double& y, double& z) {
                const TDoublePoint p = DetailToWorld(x + r.left(), y + r.top(), z);
                x = p.X;
                y = p.Y;
            },
            [f](double& d) { d /= f; });
        TCanvas* previous = FEngine->Canvas();
        FEngine->SetCanvas(&canvas);
        try {
            DrawViewFigures();
        } catch (const std::exception&) {
            // The inset is an aid; a failed figure leaves it partly drawn.
        }
        FEngine->SetCanvas(previous);
        InstallPageMapping();
    }
    TQtCanvas canvas(&FWorkBitmap);
    canvas.DrawBitmap(r.left(), r.top(), inset);
    canvas.SetPen({0, 1, TPenStyle::psSolid});
    canvas.SetBrush({0, TBrushStyle::bsClear});
    canvas.Rectangle(r.left() - 1, r.top() - 1, r.right() + 2, r.bottom() + 2);
}

void TVXDrawBox::PaintIsometric() {
    // The projected page is centred on the page: the projection widens the
    // page by cos a × H and lifts its far edge by sin a × H.
    const double h = FWorkHeight;
    const double dx = -std::cos(kObliqueAngle) * h / 2;
    const double dy = -(1 - std::sin(kObliqueAngle)) * h / 2;
    const TScreenMapping page = PageMapping();
    const auto toDevice = [this, page, dx, dy](double& x, double& y, double& z) {
        TDoublePoint p = ProjectOblique(x, y, z);
        p.X += dx;
        p.Y += dy;
        // Back to the document's orientation, then the page mapping.
        if (HorizontalZero() == THorzZero::vzRight) p.X = FWorkWidth - p.X;
        if (VerticalZero() == TVertZero::vzBottom) p.Y = FWorkHeight - p.Y;
        double pz = 0;
        page.ConvertXY(p.X, p.Y, pz);
        x = std::nearbyint(p.X);
        y = std::nearbyint(p.Y);
    };
    const auto fromDevice = [this, page, dx, dy](double& x, double& y, double& z) {
        double pz = 0;
        page.DeConvertXY(x, y, pz);
        if (HorizontalZero() == THorzZero::vzRight) x = FWorkWidth - x;
        if (VerticalZero() == TVertZero::vzBottom) y = FWorkHeight - y;
        const TDoublePoint w = UnprojectOblique(x - dx, y - dy, z);
        x = w.X;
        y = w.Y;
    };
    const double f = Factor();
    FEngine->SetConversions(toDevice, [f](double& d) { d = std::nearbyint(d * f); }, fromDevice,
                            [f](double& d) { d /= f; });
    {
        TQtCanvas canvas(&FWorkBitmap);
        ApplyFigureClip(canvas);
        FEngine->SetCanvas(&canvas);
        try {
            DrawViewFigures();
        } catch (const std::exception&) {
            // Painting goes on with what was drawn.
        }
        FEngine->SetCanvas(nullptr);
    }
    InstallPageMapping();
}

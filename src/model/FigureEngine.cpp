#include "model/FigureEngine.h"

#include <cmath>

void TFigureEngine::SetConversions(TConvertXY convertXY, TConvertDim convertDim, TConvertXY deConvertXY,
                                   TConvertDim deConvertDim) {
    FConvertXY = std::move(convertXY);
    FConvertDim = std::move(convertDim);
    FDeConvertXY = std::move(deConvertXY);
    FDeConvertDim = std::move(deConvertDim);
}

void TFigureEngine::ConvertXY(double& x, double& y, double& z) const {
    if (FConvertXY) FConvertXY(x, y, z);
}
void TFigureEngine::ConvertDim(double& d) const {
    if (FConvertDim) FConvertDim(d);
}
void TFigureEngine::DeConvertXY(double& x, double& y, double& z) const {
    if (FDeConvertXY) FDeConvertXY(x, y, z);
}
void TFigureEngine::DeConvertDim(double& d) const {
    if (FDeConvertDim) FDeConvertDim(d);
}

TDoublePoint TFigureEngine::ToDevice(const TDoublePoint& p) const {
    TDoublePoint d = p;
    ConvertXY(d.X, d.Y, d.Z);
    return d;
}

QPoint TFigureEngine::ToPixel(const TDoublePoint& p) const {
    const TDoublePoint d = ToDevice(p);
    return {static_cast<int>(std::nearbyint(d.X)), static_cast<int>(std::nearbyint(d.Y))};
}

TDoublePoint TFigureEngine::ToWorld(double deviceX, double deviceY) const {
    TDoublePoint w{deviceX, deviceY, 0};
    DeConvertXY(w.X, w.Y, w.Z);
    return w;
}

double TFigureEngine::LengthToDevice(double d) const {
    ConvertDim(d);
    return d;
}

double TFigureEngine::LengthToWorld(double d) const {
    DeConvertDim(d);
    return d;
}

void TFigureEngine::SetPenMode(TPenMode mode) {
    if (FCanvas) FCanvas->SetPenMode(mode);
}

void TFigureEngine::SetPen(TColor color, int width, TPenStyle style) {
    if (FCanvas) FCanvas->SetPen({color, width, style});
}

void TFigureEngine::SetBrush(TColor color, TBrushStyle style) {
    if (FCanvas) FCanvas->SetBrush({color, style});
}

#include "render/ScreenMapping.h"

#include "model/FigureEngine.h"

#include <cmath>

// ---------------------------------------------------------------------------
// Screen

double TScreenMapping::PageWidthPixels() const { return std::nearbyint(Factor() * WorkWidth); }

double TScreenMapping::PageHeightPixels() const { return std::nearbyint(Factor() * WorkHeight); }

void TScreenMapping::ConvertXY(double& x, double& y, double&) const {
    const double f = Factor();
    x = HorizontalZero == THorzZero::vzRight ? OriginX + PageWidthPixels() - x * f : OriginX + x * f;
    y = VerticalZero == TVertZero::vzBottom ? OriginY + PageHeightPixels() - y * f : OriginY + y * f;
}

void TScreenMapping::DeConvertXY(double& x, double& y, double&) const {
    const double f = Factor();
    x = HorizontalZero == THorzZero::vzRight ? (OriginX + PageWidthPixels() - x) / f : (x - OriginX) / f;
    y = VerticalZero == TVertZero::vzBottom ? (OriginY + PageHeightPixels() - y) / f : (y - OriginY) / f;
}

void TScreenMapping::ConvertDim(double& d) const { d *= Factor(); }

void TScreenMapping::DeConvertDim(double& d) const { d /= Factor(); }

void TScreenMapping::InstallInto(TFigureEngine& engine) const {
    const TScreenMapping m = *this;
    engine.SetConversions([m](double& x, double& y, double& z) { m.ConvertXY(x, y, z); },
                          [m](double& d) { m.ConvertDim(d); },
                          [m](double& x, double& y, double& z) { m.DeConvertXY(x, y, z); },
                          [m](double& d) { m.DeConvertDim(d); });
}

// ---------------------------------------------------------------------------
// Output passes

void TOutputMapping::ConvertXY(double& x, double& y, double&) const {
    const double wx = HorizontalZero == THorzZero::vzRight ? WorkWidth - x : x;
    const double wy = VerticalZero == TVertZero::vzBottom ? WorkHeight - y : y;
    x = Scale * (wx - WorldX) + DeviceX;
    y = Scale * (wy - WorldY) + DeviceY;
}

void TOutputMapping::DeConvertXY(double& x, double& y, double&) const {
    const double wx = (x - DeviceX) / Scale + WorldX;
    const double wy = (y - DeviceY) / Scale + WorldY;
    x = HorizontalZero == THorzZero::vzRight ? WorkWidth - wx : wx;
    y = VerticalZero == TVertZero::vzBottom ? WorkHeight - wy : wy;
}

void TOutputMapping::ConvertDim(double& d) const { d *= Scale; }

void TOutputMapping::DeConvertDim(double& d) const { d /= Scale; }

void TOutputMapping::InstallInto(TFigureEngine& engine) const {
    const TOutputMapping m = *this;
    engine.SetConversions([m](double& x, double& y, double& z) { m.ConvertXY(x, y, z); },
                          [m](double& d) { m.ConvertDim(d); },
                          [m](double& x, double& y, double& z) { m.DeConvertXY(x, y, z); },
                          [m](double& d) { m.DeConvertDim(d); });
}

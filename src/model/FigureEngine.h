#pragma once
// The draw engine as the figures see it: the canvas of the current pass, the
// four conversion slots between world millimetres and device pixels, and the
// primitives figures draw with. The screen, printer and export engines
// implement the primitives; the conversions are installed per pass.

#include "model/GeometryTypes.h"
#include "platform/Canvas.h"

#include <QImage>
#include <QPoint>
#include <functional>

class TFigureEngine {
public:
    using TConvertXY = std::function<void(double& x, double& y, double& z)>;
    using TConvertDim = std::function<void(double& d)>;

    TFigureEngine() = default;
    TFigureEngine(const TFigureEngine&) = delete;
    TFigureEngine& operator=(const TFigureEngine&) = delete;
    virtual ~TFigureEngine() = default;

    TCanvas* Canvas() const { return FCanvas; }
    void SetCanvas(TCanvas* canvas) { FCanvas = canvas; }

    // A slot left empty leaves its argument unchanged.
    void SetConversions(TConvertXY convertXY, TConvertDim convertDim, TConvertXY deConvertXY,
                        TConvertDim deConvertDim);

    void ConvertXY(double& x, double& y, double& z) const;
    void ConvertDim(double& d) const;
    void DeConvertXY(double& x, double& y, double& z) const;
    void DeConvertDim(double& d) const;

    // World point to device, unrounded / rounded to the nearest pixel (halves to even).
    TDoublePoint ToDevice(const TDoublePoint& p) const;
    QPoint ToPixel(const TDoublePoint& p) const;
    TDoublePoint ToWorld(double deviceX, double deviceY) const;
    double LengthToDevice(double d) const;
    double LengthToWorld(double d) const;

    // Copy or XOR for the following primitives.
    virtual void SetPenMode(TPenMode mode);
    // A selection handle marker of the given shape at a world point.
    virtual void DrawMarker(int shape, TColor color, bool xorMode, double halfSize, const TDoublePoint& p) = 0;
    // A figure's info text centred on p; nothing below 4 pixels of height.
    virtual void DrawInfoText(const TDoublePoint& p, TColor color, double height, const QString& fontName,
                              const QString& text) = 0;
    // A figure's fill picture placed inside the world rectangle.
    virtual void DrawFillBitmap(const TDoubleRect& rect, int vAlign, const QImage& bitmap, int hAlign,
                                double offsetX, double offsetY) = 0;

private:
    TCanvas* FCanvas = nullptr;
    TConvertXY FConvertXY;
    TConvertDim FConvertDim;
    TConvertXY FDeConvertXY;
    TConvertDim FDeConvertDim;
};

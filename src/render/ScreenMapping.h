#pragma once
// The world-to-device mappings installed into a draw engine before a pass.
//
// TScreenMapping is the page as the drawing surface shows it: B = 4.0 pixels
// per millimetre at zoom 100 %, the page's top-left pixel at (OriginX,
// OriginY), and the world zero at the corner the zero settings name.
// TOutputMapping serves the passes that do not go to the screen (pages,
// bitmaps, metafiles, printers): a scale, a device offset and a world offset.
// Both are small values; InstallInto copies the mapping into the engine's
// four conversion slots, so a later change to the value needs a new install.

#include "model/Enums.h"

class TFigureEngine;

struct TScreenMapping {
    static constexpr double BaseFactor = 4.0; // pixels per millimetre at zoom 100 %

    int ZoomScale = 100;      // percent
    double WorkWidth = 100.0; // page size in millimetres
    double WorkHeight = 100.0;
    double OriginX = 0; // pixel of the page's top-left corner
    double OriginY = 0;
    TVertZero VerticalZero = TVertZero::vzTop;
    THorzZero HorizontalZero = THorzZero::vzLeft;

    // Pixels per millimetre.
    double Factor() const { return BaseFactor * ZoomScale / 100.0; }
    // Page size in whole pixels (nearest, halves to even).
    double PageWidthPixels() const;
    double PageHeightPixels() const;

    void ConvertXY(double& x, double& y, double& z) const;
    void DeConvertXY(double& x, double& y, double& z) const;
    void ConvertDim(double& d) const;
    void DeConvertDim(double& d) const;

    void InstallInto(TFigureEngine& engine) const;
};

struct TOutputMapping {
    double Scale = TScreenMapping::BaseFactor; // device pixels per millimetre
    double DeviceX = 0;                        // device offset in pixels
    double DeviceY = 0;
    double WorldX = 0; // world offset in millimetres
    double WorldY = 0;
    double WorkWidth = 100.0; // page size, for the flipped zero corners
    double WorkHeight = 100.0;
    TVertZero VerticalZero = TVertZero::vzTop;
    THorzZero HorizontalZero = THorzZero::vzLeft;

    void ConvertXY(double& x, double& y, double& z) const;
    void DeConvertXY(double& x, double& y, double& z) const;
    void ConvertDim(double& d) const;
    void DeConvertDim(double& d) const;

    void InstallInto(TFigureEngine& engine) const;
};

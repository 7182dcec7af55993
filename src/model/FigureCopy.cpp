#include "model/FigureCopy.h"

#include "model/DrawObjects.h"

void CopyFigureState(const TFigure& from, TFigure& to) {
    from.CopyBaseTo(to);
    to.SetName(from.FName);
    to.FClassName = from.FClassName;
    to.FTagNumber = from.FTagNumber;
    to.FTag30 = from.FTag30;
    to.FTag31 = from.FTag31;
    to.FRowStyle = from.FRowStyle;
    to.FBrushColor = from.FBrushColor;
    to.FBrushStyle = from.FBrushStyle;
    to.FRadius = from.FRadius;
    to.FRotCentre = from.FRotCentre;
    to.FChanged = from.FChanged;
    to.FDiagonal = from.FDiagonal;
    to.FLockMove = from.FLockMove;
    to.FLockModify = from.FLockModify;
    to.FVertZero = from.FVertZero;
    to.FHorzZero = from.FHorzZero;
    to.FInfo = from.FInfo;
    to.FShowInfo = from.FShowInfo;
    to.FCName = from.FCName;
    to.FAttributes = from.FAttributes;
    to.FRegionHit = from.FRegionHit;
    to.FFillBitmap = from.FFillBitmap;
    to.FFillBitmapBytes = from.FFillBitmapBytes;
    to.FFillParams = from.FFillParams;
    to.FHasDimensions = from.FHasDimensions;
    to.FCustomStream = from.FCustomStream ? std::make_unique<TMemoryStream>(from.FCustomStream->Data()) : nullptr;
}

#pragma once
// What the document's picture operations need of a picture figure: clipping
// to another figure (while clipped the picture owns the clip figure; the
// document hands it over and takes it back), mirroring its pixels and
// transparent drawing.

#include <memory>

class TFigure;

class TPictureFeatures {
public:
    TPictureFeatures() = default;
    TPictureFeatures(const TPictureFeatures&) = delete;
    TPictureFeatures& operator=(const TPictureFeatures&) = delete;
    virtual ~TPictureFeatures() = default;

    virtual TFigure* ClipFigure() const = 0;
    // Takes the figure over; it must be out of every figure list.
    virtual void SetClipFigure(std::unique_ptr<TFigure> figure) = 0;
    // Gives the clip figure back (none when not clipped).
    virtual std::unique_ptr<TFigure> TakeClipFigure() = 0;

    virtual void FlipHorizontal() = 0;
    virtual void FlipVertical() = 0;
    virtual bool Transparent() const = 0;
    virtual void SetTransparent(bool transparent) = 0;
};

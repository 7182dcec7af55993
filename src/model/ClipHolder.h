#pragma once
// A figure that can be clipped to another figure (a picture). While clipped it
// owns the clip figure; the document hands it over and takes it back.

#include <memory>

class TFigure;

class TClipHolder {
public:
    TClipHolder() = default;
    TClipHolder(const TClipHolder&) = delete;
    TClipHolder& operator=(const TClipHolder&) = delete;
    virtual ~TClipHolder() = default;

    virtual TFigure* ClipFigure() const = 0;
    // Takes the figure over; it must be out of every figure list.
    virtual void SetClipFigure(std::unique_ptr<TFigure> figure) = 0;
    // Gives the clip figure back (none when not clipped).
    virtual std::unique_ptr<TFigure> TakeClipFigure() = 0;
};

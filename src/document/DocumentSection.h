#pragma once
// The "Document" section of a drawing file: the page and surface settings as
// tagged items. Reading yields the items in file order; they are applied to a
// drawing only once the whole file has been read, so a file that turns out
// not to be a drawing changes nothing.

#include "platform/Canvas.h"
#include "platform/Stream.h"

#include <cstdint>
#include <vector>

class TVXDrawing;

enum class TDocumentProperty : std::uint8_t {
    BackGround, GridColor, GridStep, GuideColor, WorkWidth, WorkHeight, ZoomScale, MapScale, PageColor,
    PageLayout, PageOrient, VerticalZero, HorizontalZero, RulerSystem, Guide
};

struct TDocumentItem {
    TDocumentProperty Property = TDocumentProperty::BackGround;
    double Value = 0;          // the number, colour or enumeration ordinal; a guide's position
    std::uint8_t GuideKind = 0; // guides only
    bool operator==(const TDocumentItem&) const = default;
};

namespace DocumentSection {

// Largest page side and grid step accepted from a file, in millimetres.
constexpr double kMaxPageSide = 100'000.0;

// The section data for the drawing's current settings.
std::vector<std::uint8_t> Write(const TVXDrawing& drawing);
// Reads items to the end of the section. Values out of range are dropped (the
// drawing keeps its default); `damaged` is set when an item runs past the end.
std::vector<TDocumentItem> Read(TStream& section, bool& damaged);
// Applies the items in order through the drawing's setters.
void Apply(TVXDrawing& drawing, const std::vector<TDocumentItem>& items);

} // namespace DocumentSection

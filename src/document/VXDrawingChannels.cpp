// The state channels of the document and what RefreshSelection publishes
// into them: the common attributes of the selection, or the defaults.
#include "document/VXDrawing.h"

#include "model/Arc.h"
#include "model/Circle.h"
#include "model/Ellipse.h"
#include "model/Line.h"
#include "model/Polyline.h"
#include "model/Rectangle.h"
#include "model/Text.h"
#include "model/Vertex.h"

#include <optional>

const std::uint8_t kCharsetTable[18] = {0,   1,   2,   128, 134, 129, 136, 255, 130,
                                        177, 178, 161, 162, 222, 238, 204, 77,  186};

int CharsetIndex(int charset) {
    for (int i = 0; i < 18; ++i)
        if (kCharsetTable[i] == charset) return i;
    return 0;
}

namespace {
// The value all figures that report one share; none when they differ or no
// figure reports one (−1 means "does not apply").
template <typename TGet> std::optional<int> CommonValue(const std::vector<TFigure*>& figures, TGet get) {
    std::optional<int> common;
    for (TFigure* figure : figures) {
        const int value = get(figure);
        if (value == -1) continue;
        if (!common)
            common = value;
        else if (*common != value)
            return std::nullopt;
    }
    return common;
}

int Flag(bool value) {
    return value ? 1 : 0;
}
} // namespace

void TVXDrawing::CreateChannels() {
    const QString noText;
    AddEventEngine(DocChannel::FontColor, FFont.Color, 0, noText);
    AddEventEngine(DocChannel::PenColor, FDefaults.PenColor, 0, noText);
    AddEventEngine(DocChannel::BrushColor, FDefaults.BrushColor, 0, noText);
    AddEventEngine(DocChannel::PenStyle, static_cast<int>(FDefaults.PenStyle), 0, noText);
    AddEventEngine(DocChannel::BrushStyle, static_cast<int>(FDefaults.BrushStyle), 0, noText);
    AddEventEngine(DocChannel::RowStyle, static_cast<int>(FDefaults.RowStyle), 0, noText);
    AddEventEngine(DocChannel::PenWidth, FDefaults.PenWidth - 1, 0, noText);
    AddEventEngine(DocChannel::FontName, 0, 0, FFont.Name);
    AddEventEngine(DocChannel::ArcStyle, static_cast<int>(FDefaults.ArcStyle), 0, noText);
    AddEventEngine(DocChannel::FontCharset, CharsetIndex(FFont.Charset), 0, noText);
    AddEventEngine(DocChannel::TextSize, 8, FDefaults.TextHeight, noText);
    AddEventEngine(DocChannel::Bold, Flag(FFont.Bold), 0, noText);
    AddEventEngine(DocChannel::Italic, Flag(FFont.Italic), 0, noText);
    AddEventEngine(DocChannel::Underline, Flag(FFont.Underline), 0, noText);
    AddEventEngine(DocChannel::StrikeOut, Flag(FFont.StrikeOut), 0, noText);
    AddEventEngine(DocChannel::PolylineClosed, Flag(FDefaults.PLineClosed), 0, noText);
    AddEventEngine(DocChannel::PictureTransparent, 0, 0, noText);
    AddEventEngine(DocChannel::PictureClipped, 0, 0, noText);
    AddEventEngine(DocChannel::LineBounded, 0, 0, noText);
    AddEventEngine(DocChannel::InvertArc, 0, 0, noText);
    AddEventEngine(DocChannel::MirrorPictures, 0, 0, noText);
    AddEventEngine(DocChannel::WeldPolyline, 0, 0, noText);
    AddEventEngine(DocChannel::SegmentsKind, 0, 0, noText);
    AddEventEngine(DocChannel::Ungroup, 0, 0, noText);
    AddEventEngine(DocChannel::Group, 0, 0, noText);
    AddEventEngine(DocChannel::RulerMode, static_cast<int>(FRulerMode), 0, noText);
    AddEventEngine(DocChannel::Control, ControlId(), 0, noText);
}

TColor TVXDrawing::GetSlcPenColor() const {
    return CommonValue(FSelection, [](TFigure* f) { return f->FPenColor; }).value_or(FDefaults.PenColor);
}

TColor TVXDrawing::GetSlcBrushColor() const {
    return CommonValue(FSelection, [](TFigure* f) { return f->FBrushColor; }).value_or(FDefaults.BrushColor);
}

int TVXDrawing::GetSlcPenWidth() const {
    return CommonValue(FSelection, [](TFigure* f) { return f->FPenWidth; }).value_or(FDefaults.PenWidth);
}

TPenStyle TVXDrawing::GetSlcPenStyle() const {
    const auto common = CommonValue(FSelection, [](TFigure* f) { return f->FPenStyle; });
    return common && *common >= 0 && *common <= static_cast<int>(TPenStyle::psInsideFrame)
               ? static_cast<TPenStyle>(*common)
               : FDefaults.PenStyle;
}

TBrushStyle TVXDrawing::GetSlcBrushStyle() const {
    const auto common = CommonValue(FSelection, [](TFigure* f) { return f->FBrushStyle; });
    return common && *common >= 0 && *common <= static_cast<int>(TBrushStyle::bsDiagCross)
               ? static_cast<TBrushStyle>(*common)
               : FDefaults.BrushStyle;
}

TRowStyle TVXDrawing::GetSlcRowStyle() const {
    const auto common = CommonValue(
        FSelection, [](TFigure* f) { return f->FRowStyle == 255 ? -1 : static_cast<int>(f->FRowStyle); });
    return common ? ClampEnum<TRowStyle>(*common) : FDefaults.RowStyle;
}

bool TVXDrawing::GetSlcPolylineClosed() const {
    const auto common = CommonValue(FSelection, [](TFigure* f) {
        const auto* polyline = dynamic_cast<const TPolyline*>(f);
        return polyline ? Flag(polyline->Closed()) : -1;
    });
    return common ? *common != 0 : FDefaults.PLineClosed;
}

bool TVXDrawing::GetSlcLineBounded() const {
    const auto common = CommonValue(FSelection, [](TFigure* f) {
        return dynamic_cast<const TLine*>(f) ? Flag(f->FJoin1 || f->FJoin2) : -1;
    });
    return common.value_or(0) != 0;
}

TArcStyle TVXDrawing::GetSlcArcStyle() const {
    const auto common = CommonValue(FSelection, [](TFigure* f) {
        const auto* arc = dynamic_cast<const TRoundArc*>(f);
        return arc ? static_cast<int>(arc->ArcStyle()) : -1;
    });
    return common ? ClampEnum<TArcStyle>(*common) : FDefaults.ArcStyle;
}

namespace {
std::vector<const TText*> SelectedTexts(const std::vector<TFigure*>& selection) {
    std::vector<const TText*> texts;
    for (const TFigure* figure : selection)
        if (const auto* text = dynamic_cast<const TText*>(figure)) texts.push_back(text);
    return texts;
}

// The value every text shares, or none.
template <typename T, typename TGet> std::optional<T> Shared(const std::vector<const TText*>& texts, TGet get) {
    if (texts.empty()) return std::nullopt;
    const T first = get(texts.front());
    for (const TText* text : texts)
        if (!(get(text) == first)) return std::nullopt;
    return first;
}
} // namespace

double TVXDrawing::GetSlcFontSize() const {
    return Shared<double>(SelectedTexts(FSelection), [](const TText* t) { return t->FHeight; })
        .value_or(FDefaults.TextHeight);
}

TFontSpec TVXDrawing::GetSlcFont() const {
    const std::vector<const TText*> texts = SelectedTexts(FSelection);
    TFontSpec font = FFont;
    font.Name = Shared<QString>(texts, [](const TText* t) { return t->FFont.Name; }).value_or(font.Name);
    font.Color = Shared<TColor>(texts, [](const TText* t) { return t->FFont.Color; }).value_or(font.Color);
    font.Charset = Shared<std::uint8_t>(texts, [](const TText* t) { return t->FFont.Charset; }).value_or(font.Charset);
    font.Bold = Shared<bool>(texts, [](const TText* t) { return t->FFont.Bold; }).value_or(font.Bold);
    font.Italic = Shared<bool>(texts, [](const TText* t) { return t->FFont.Italic; }).value_or(font.Italic);
    font.Underline = Shared<bool>(texts, [](const TText* t) { return t->FFont.Underline; }).value_or(font.Underline);
    font.StrikeOut = Shared<bool>(texts, [](const TText* t) { return t->FFont.StrikeOut; }).value_or(font.StrikeOut);
    return font;
}

void TVXDrawing::CountSelection() {
    FSelectionCounts = {};
    for (TFigure* figure : FSelection) {
        if (dynamic_cast<const TLine*>(figure)) ++FSelectionCounts.Lines;
        if (dynamic_cast<const TPolyline*>(figure)) ++FSelectionCounts.Polylines;
        if (dynamic_cast<const TVertex*>(figure)) ++FSelectionCounts.Points;
        if (dynamic_cast<const TArc*>(figure)) ++FSelectionCounts.Arcs;
        if (dynamic_cast<const TCircle*>(figure)) ++FSelectionCounts.Circles;
        if (dynamic_cast<const TEllipse*>(figure)) ++FSelectionCounts.Ellipses;
        if (dynamic_cast<const TRectangle*>(figure)) ++FSelectionCounts.Rectangles;
    }
}

void TVXDrawing::RefreshSelection() {
    FSelection.clear();
    {
        TCanvasScope canvas(*this);
        for (TFigure* figure : SelectedFigures())
            figure->RefreshHandles();
        DrawSelectionPoints();
    }
    FSelection = SelectedFigures();
    CountSelection();
    PublishSelectionState();
}

void TVXDrawing::PublishSelectionState() {
    auto numeric = [this](int id, int value) {
        if (TEventEngine* channel = Channel(id)) channel->SetState(value, channel->StrVal, channel->DblVal);
    };
    auto value = [this](int id, int v) {
        if (TEventEngine* channel = Channel(id)) channel->SetValue(v);
    };
    auto enabled = [this](int id, bool on) {
        if (TEventEngine* channel = Channel(id)) channel->SetEnabled(on);
    };
    auto enabledValue = [this](int id, int v) {
        if (TEventEngine* channel = Channel(id)) channel->SetEnabledValue(v);
    };

    numeric(DocChannel::BrushStyle, static_cast<int>(GetSlcBrushStyle()));
    numeric(DocChannel::PenStyle, static_cast<int>(GetSlcPenStyle()));
    numeric(DocChannel::PenWidth, GetSlcPenWidth() - 1);
    numeric(DocChannel::RowStyle, static_cast<int>(GetSlcRowStyle()));
    numeric(DocChannel::PenColor, GetSlcPenColor());
    numeric(DocChannel::BrushColor, GetSlcBrushColor());
    const TFontSpec font = GetSlcFont();
    numeric(DocChannel::FontColor, font.Color);
    if (TEventEngine* channel = Channel(DocChannel::FontName))
        channel->SetState(channel->Numval, font.Name, channel->DblVal);
    if (TEventEngine* channel = Channel(DocChannel::TextSize)) {
        const double size = GetSlcFontSize();
        channel->SetDouble(size > 0 ? size : 80.0);
    }
    value(DocChannel::FontCharset, CharsetIndex(font.Charset));
    numeric(DocChannel::Bold, Flag(font.Bold));
    numeric(DocChannel::Italic, Flag(font.Italic));
    numeric(DocChannel::Underline, Flag(font.Underline));
    numeric(DocChannel::StrikeOut, Flag(font.StrikeOut));
    value(DocChannel::PolylineClosed, Flag(GetSlcPolylineClosed()));
    if (FSelectionCounts.Pictures > 0) {
        enabledValue(DocChannel::PictureTransparent, 0);
        enabledValue(DocChannel::PictureClipped, 0);
        enabled(DocChannel::MirrorPictures, true);
    } else {
        enabled(DocChannel::PictureTransparent, false);
        enabled(DocChannel::PictureClipped, false);
        enabled(DocChannel::MirrorPictures, false);
    }
    if (FSelectionCounts.Lines > 0 || FSelectionCounts.Polylines > 0)
        enabledValue(DocChannel::LineBounded, Flag(GetSlcLineBounded()));
    else
        enabled(DocChannel::LineBounded, false);
    value(DocChannel::ArcStyle, static_cast<int>(GetSlcArcStyle()));
    enabled(DocChannel::InvertArc, FSelectionCounts.Arcs > 0);
    enabled(DocChannel::WeldPolyline, FSelectionCounts.Lines > 0);
    enabled(DocChannel::SegmentsKind, FSelectionCounts.Polylines > 0);
    enabled(DocChannel::Ungroup, FSelectionCounts.Groups > 0);
    enabled(DocChannel::Group, !FSelection.empty());
}

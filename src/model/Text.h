#pragma once
// TText: a single line of text in a box; TStripedText: the same text whose
// glyphs are filled with horizontal stripes.
//
// Point 1 is the anchor, the corner the text starts at; P2 = P1 + the laid-out
// width along the text direction, P4 = P1 + the laid-out height across it, P3
// opposite P1. The box is laid out again by the first draw after every change
// (FChanged), from the extents the draw engine reports; its width includes the
// extra spacing between the characters.

#include "model/DrawObjects.h"
#include "model/FigureEngine.h"

#include <array>
#include <memory>

class TText : public TFigure {
public:
    using TFigure::TFigure;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised text anchored at (x, y). With a document the box
    // is laid out at once from the engine's measurement.
    static std::unique_ptr<TText> Create(const QString& text, TFigureDocument* document, bool persistent,
                                         TLayer* layer, TColor textColor, int charset, const QString& fontName,
                                         double charWidth, double height, double x, double y);

    // The selection handle that changes the spacing (midpoint of side P2–P3).
    static constexpr int kSpacingHandle = 4;
    static constexpr std::uint8_t kSpacingHandleShape = 4;
    // Pop-up items, relative to FPopupTag.
    static constexpr int kItemAspectRatio = 0;
    static constexpr int kItemDefaultSpacing = 1;
    static constexpr int kItemOutline = 2;

    void Initialize() override;
    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    void AddHandles() override;
    bool HitTest(double x, double y) override;
    void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const override;
    void Rotate(const TDoublePoint& centre, double angle) override;
    void Mirror(const TDoublePoint& a, const TDoublePoint& b) override;
    void Scale(const TDoublePoint& origin, double sx, double sy) override;
    void SetFontAttribute(int kind, const QString& text, bool flag, int value, double size) override;
    void Edit() override;
    std::unique_ptr<TFigure> Clone() const override;
    // The glyph outlines: a combined group of closed Bézier polylines, one per
    // glyph contour (model/TextConvert.cpp); none for an empty text.
    std::unique_ptr<TFigure> ConvertToBezier() override;
    std::unique_ptr<TFigure> CreateGhost() const override;
    void GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) override;
    void ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure* ghost) override;
    void AddPopupItems(TPopupMenuBuilder& menu, int& nextTag) override;
    void PopupItemClicked(int tag) override;
    void SaveToStream(TStream& stream) const override;
    void ReadExtra(TStream& stream) override;
    void SetProperty(const TTaggedItem& item) override;

    // The box P1 … P4.
    std::array<TDoublePoint, 4> Box() const;

    QString FText;
    // Face name, colour (kept equal to FPenColor), character set and style.
    TEngineFont FFont;
    double FHeight = 0;
    double FCharWidth = 0;
    double FSpacing = 0;
    bool FResetRatio = false;
    double FLayoutWidth = 0;
    double FLayoutHeight = 0;
    bool FOutline = false;

protected:
    // How the text runs in world coordinates under a mapping: the unit vector
    // along the text and the one across it (towards the glyph bottoms).
    struct TTextFrame {
        TDoublePoint Along;
        TDoublePoint Across;
    };
    // Signs of the mapping's axes: +1 when a larger world value gives a larger
    // device value. Without an engine both are +1.
    static void AxisSigns(const TFigureEngine* engine, const TDoublePoint& at, int& xSign, int& ySign);
    TTextFrame FrameFor(const TFigureEngine* engine) const;
    // The angle handed to the engine: as it is when world Y grows with device
    // Y, negated otherwise.
    double EngineAngle(const TFigureEngine& engine) const;
    // The box from the anchor for laid-out extents in world units.
    std::array<TDoublePoint, 4> BoxFromExtents(const TFigureEngine* engine, double width, double height) const;
    void SetBox(const std::array<TDoublePoint, 4>& box);
    // Lays the box out at once with the engine's measurement (new texts).
    void LayOutAtAnchor();

    TColor TextColor(bool grayed) const;
    TColor FillColor(bool grayed) const;
    TEngineFont DrawFont(bool grayed) const;
    // Draws the glyphs and returns their device extent (as DrawText does).
    virtual QSize DrawGlyphs(TFigureEngine& engine, const TEngineFont& font, double charWidth, double angle,
                             bool grayed);

    // The box after dragging a handle to (x, y); P1 stays the corner the text starts at.
    std::array<TDoublePoint, 4> DraggedBox(const TModPoint& handle, double x, double y) const;
    // New FHeight and FCharWidth that make the text fill a box of that size.
    void FitTextToBox(double width, double height, double oldWidth);
    void CopyTextTo(TText& target) const;

    // Class-level creation shared with TStripedText.
    template <typename T>
    static std::unique_ptr<T> CreateOf(const QString& text, TFigureDocument* document, bool persistent,
                                       TLayer* layer, TColor textColor, int charset, const QString& fontName,
                                       double charWidth, double height, double x, double y);
    static std::unique_ptr<TFigure> CommitText(bool striped, TFigureDocument* document, TLayer* layer,
                                               TFigure* rubber);

private:
    // The older width ratio (tag 220), applied once all tags are read.
    bool FHasLegacyRatio = false;
    double FLegacyRatio = 0;
    bool FHasCharWidthTag = false;
};

class TStripedText : public TText {
public:
    using TText::TText;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    static std::unique_ptr<TStripedText> Create(const QString& text, TFigureDocument* document, bool persistent,
                                                TLayer* layer, TColor textColor, int charset,
                                                const QString& fontName, double charWidth, double height, double x,
                                                double y);

    // Distance of the stripes in world units.
    static constexpr double kStripeStep = 1.0;

    void Initialize() override;
    QString GetTypeName() const override;

protected:
    QSize DrawGlyphs(TFigureEngine& engine, const TEngineFont& font, double charWidth, double angle,
                     bool grayed) override;
};

#pragma once
// What a figure needs of the document it belongs to. The drawing document
// implements it; figures without a document (rubber bands, figures of a block
// file being read) skip every step that needs one.

#include "model/Enums.h"
#include "platform/Canvas.h"

#include <QString>
#include <memory>
#include <optional>

class TFigure;
class TFigureEngine;
class TFigureGrp;
class TLayer;
class TModPoint;
class TPattern;

// The attributes the document gives new figures.
struct TFigureDefaults {
    TColor PenColor = 0;
    TColor BrushColor = 0xFFFF;
    int PenWidth = 1;
    TPenStyle PenStyle = TPenStyle::psSolid;
    TBrushStyle BrushStyle = TBrushStyle::bsClear;
    TRowStyle RowStyle = TRowStyle::rsNone;
    bool PLineClosed = false;
    double TextHeight = 8.0;
    TArcStyle ArcStyle = TArcStyle::asOpen;
};

class TFigureDocument {
public:
    virtual ~TFigureDocument() = default;

    virtual int LayerCount() const = 0;
    virtual TLayer* LayerAt(int index) const = 0;
    // −1 when the layer is not the document's.
    virtual int IndexOfLayer(const TLayer* layer) const = 0;

    // The document scale 1 : n (blocks remember the scale they were made at).
    // A document that knows no scale draws 1 : 1.
    virtual int MapScale() const { return 1; }

    virtual TVertZero VerticalZero() const = 0;
    virtual THorzZero HorizontalZero() const = 0;
    // The page size in millimetres.
    virtual double WorkWidth() const = 0;
    virtual double WorkHeight() const = 0;
    // The engine figures convert coordinates with.
    virtual TFigureEngine* Engine() const = 0;

    // Handles live in the document's handle list; the figure keeps references.
    virtual TModPoint* AddHandle(std::unique_ptr<TModPoint> handle) = 0;
    virtual void RemoveHandle(TModPoint* handle) = 0;
    // A counter that grows with every selection made in the document.
    virtual int NextSelectOrder() = 0;
    virtual void SetHasSelection(bool value) = 0;

    // True when another figure of the document has this name, ignoring case.
    virtual bool IsNameUsed(const QString& name, const TFigure* except) const = 0;
    // A figure of the document has taken another name.
    virtual void FigureRenamed(TFigure* figure) { (void)figure; }

    // Attributes for new figures.
    virtual TFigureDefaults Defaults() const = 0;
    // The document's pen patterns, in menu order.
    virtual int PatternCount() const = 0;
    virtual const TPattern* PatternAt(int index) const = 0;
    // The custom name given to user-drawn figures when they are committed.
    virtual QString UserFigureName() const = 0;
    // The font new texts get (name, colour, character set, style).
    virtual TFontSpec TextFont() const = 0;
    // Puts the replacement at the old figure's place in the figure list. The old
    // figure leaves the drawing but stays alive for undo; false when it is not
    // in the list (then nothing changes and the replacement is dropped).
    virtual bool ReplaceFigure(TFigure* old, std::unique_ptr<TFigure> replacement) = 0;
    // Dissolves a group of the figure list into its members (the group's
    // "Gruppe aufheben"): the group leaves the list but stays alive for undo,
    // and the members, taken over from it, are appended to the list, selected.
    // False when the group is not in the list; then nothing changes. A
    // document without a figure list has nothing to dissolve into.
    virtual bool DissolveGroup(TFigureGrp* group) {
        (void)group;
        return false;
    }
    // The frontmost figure of a visible layer hit at a world point, other than
    // `except`; used to bind line ends to figures.
    virtual TFigure* FigureAt(double x, double y, const TFigure* except) = 0;

    // Events the document passes on to its handlers.
    virtual void FigureModified(TFigure* figure) = 0;
    virtual void FigureEdit(TFigure* figure) = 0;
    // The user-drawn figure classes offer drawing and hit testing to the
    // document first: true when the handler drew the figure, a value when it
    // decided the hit test.
    virtual bool UserDraw(TFigure* figure, const QString& customName, TFigureEngine& engine, bool grayed) = 0;
    virtual std::optional<bool> UserHitTest(TFigure* figure, const QString& customName, double x, double y) = 0;
};

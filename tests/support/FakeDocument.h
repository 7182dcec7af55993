#pragma once
// Small stand-ins for the drawing document and the draw engine, for tests of
// figures without the real document.

#include "model/DrawObjects.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Layer.h"
#include "model/ModPoint.h"
#include "model/Pattern.h"

#include <QPainterPath>
#include <QPolygon>
#include <QPolygonF>

#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// An engine with the screen mapping at a fixed scale that records what is drawn.
class TRecordingEngine : public TFigureEngine {
public:
    struct TMarker {
        int Shape;
        TColor Color;
        double HalfSize;
        TDoublePoint P;
    };
    struct TInfoText {
        TDoublePoint P;
        TColor Color;
        double Height;
        QString FontName;
        QString Text;
    };

    explicit TRecordingEngine(double pixelsPerMm = 4.0, double originX = 0, double originY = 0) {
        SetConversions([=](double& x, double& y, double&) { x = originX + x * pixelsPerMm; y = originY + y * pixelsPerMm; },
                       [=](double& d) { d *= pixelsPerMm; },
                       [=](double& x, double& y, double&) { x = (x - originX) / pixelsPerMm; y = (y - originY) / pixelsPerMm; },
                       [=](double& d) { d /= pixelsPerMm; });
    }

    // Every primitive call, by name, in order.
    std::vector<QString> Calls;

    void MoveTo(const TDoublePoint&) override { Calls.push_back(QStringLiteral("MoveTo")); }
    void LineTo(const TDoublePoint&) override { Calls.push_back(QStringLiteral("LineTo")); }
    void DrawLine(const TDoublePoint&, const TDoublePoint&) override { Calls.push_back(QStringLiteral("DrawLine")); }
    void DrawTriangle(const TDoublePoint&, const TDoublePoint&, const TDoublePoint&, TRegionSlot*) override {
        Calls.push_back(QStringLiteral("DrawTriangle"));
    }
    TDeviceRegion PolygonRegion(const TDoublePointArr& points) const override {
        std::vector<QPoint> pixels;
        for (const TDoublePoint& p : points) pixels.push_back(ToPixel(p));
        return TDeviceRegion::FromPolygon(pixels);
    }
    void DrawPolygon(const TDoublePointArr& points, TColor, TRegionSlot& region, TBrushStyle, TColor, TPenStyle,
                     int) override {
        Calls.push_back(QStringLiteral("DrawPolygon"));
        if (!region) region = std::make_unique<TDeviceRegion>(PolygonRegion(points));
        if (CombinedPathOpen) {
            QPolygon polygon;
            for (const TDoublePoint& p : points) polygon << ToPixel(p);
            CombinedPath.addPolygon(QPolygonF(polygon));
            CombinedPath.closeSubpath();
        }
    }
    // Combined paths: polygons drawn while a path is open are gathered in it
    // (alternate fill), the end calls record the pen and brush they were given.
    struct TCombinedFill {
        TColor PenColor;
        int PenWidth;
        TPenStyle PenStyle;
        TBrushStyle BrushStyle;
        TColor BrushColor;
    };
    void BeginCombinedPath() override {
        Calls.push_back(QStringLiteral("BeginCombinedPath"));
        CombinedPath = QPainterPath();
        CombinedPathOpen = true;
    }
    void EndCombinedPath(TColor penColor, int penWidth, TPenStyle penStyle, TBrushStyle brushStyle,
                         TColor brushColor) override {
        Calls.push_back(QStringLiteral("EndCombinedPath"));
        CombinedPathOpen = false;
        CombinedFills.push_back({penColor, penWidth, penStyle, brushStyle, brushColor});
    }
    TDeviceRegion EndCombinedPathRegion() override {
        Calls.push_back(QStringLiteral("EndCombinedPathRegion"));
        CombinedPathOpen = false;
        return TDeviceRegion::FromPath(CombinedPath);
    }
    QPainterPath CombinedPath;
    bool CombinedPathOpen = false;
    std::vector<TCombinedFill> CombinedFills;
    void DrawPolyline(const TDoublePointArr&) override { Calls.push_back(QStringLiteral("DrawPolyline")); }
    void DrawEllipseBox(double, double, double, double) override { Calls.push_back(QStringLiteral("DrawEllipseBox")); }
    void DrawRectangleBox(double, double, double, double) override {
        Calls.push_back(QStringLiteral("DrawRectangleBox"));
    }
    void PaintCircle(const TDoublePoint&, double, TColor, TPenStyle, int, TBrushStyle, TColor, TRegionSlot&) override {
        Calls.push_back(QStringLiteral("PaintCircle"));
    }
    void DrawDot(double, double, double, TColor) override { Calls.push_back(QStringLiteral("DrawDot")); }
    void DrawRowEnds(TColor, int, double, double, TRowStyle, TPenStyle, const TDoublePoint&, const TDoublePoint&,
                     TRegionSlot*) override {
        Calls.push_back(QStringLiteral("DrawRowEnds"));
    }
    void DrawPolylineRowEnds(const TDoublePointArr&, TColor, TRowStyle, TPenStyle, int) override {
        Calls.push_back(QStringLiteral("DrawPolylineRowEnds"));
    }
    void DrawBezierPath(const TDoublePointArr& points, double, double, TRowStyle, TRegionSlot*,
                        const TPattern* pattern, bool open, bool closed, TBrushStyle, TColor, TPenStyle, int,
                        TColor) override {
        Calls.push_back(QStringLiteral("DrawBezierPath"));
        LastBezierPath = {points, pattern, open, closed};
    }
    void DrawPatternAlong(const TDoublePointArr&, const TPattern&) override {
        Calls.push_back(QStringLiteral("DrawPatternAlong"));
    }
    TTextExtent MeasureText(double width, double height, double spacing, const TEngineFont&,
                            const QString& text) const override {
        // A fixed-pitch stand-in: characters 0.6 of the height wide.
        const double ave = width > 0 ? width : height * 0.6;
        return {text.size() * (ave + spacing) - (text.isEmpty() ? 0 : spacing), height, height * 0.6};
    }
    QSize DrawTextOutline(const TDoublePoint& p, double width, double height, double spacing, const TEngineFont& font,
                          const QString& text, double angle, TBrushStyle, TColor) override {
        Calls.push_back(QStringLiteral("DrawTextOutline"));
        return RecordText(p, width, height, spacing, font, text, angle, {});
    }
    QSize DrawStripedText(const TDoublePoint& p, double width, double height, double spacing, const TEngineFont& font,
                          const QString& text, double angle, const TDoublePointArr& box, double) override {
        Calls.push_back(QStringLiteral("DrawStripedText"));
        return RecordText(p, width, height, spacing, font, text, angle, box);
    }
    QSize DrawText(const TDoublePoint& p, double width, double height, double spacing, const TEngineFont& font,
                   const QString& text, double angle) override {
        Calls.push_back(QStringLiteral("DrawText"));
        return RecordText(p, width, height, spacing, font, text, angle, {});
    }

    // The arguments of every text primitive call, in order.
    struct TTextCall {
        TDoublePoint P;
        double Width = 0;
        double Height = 0;
        double Spacing = 0;
        TEngineFont Font;
        QString Text;
        double Angle = 0;
        TDoublePointArr Box;
    };
    std::vector<TTextCall> TextCalls;
    // When set, the text primitives return the device extent of the fixed-pitch
    // stand-in without the spacing (as the real engine does); else nothing.
    bool TextExtents = false;

    QSize RecordText(const TDoublePoint& p, double width, double height, double spacing, const TEngineFont& font,
                     const QString& text, double angle, const TDoublePointArr& box) {
        TextCalls.push_back({p, width, height, spacing, font, text, angle, box});
        if (!TextExtents) return {};
        const TTextExtent extent = MeasureText(width, height, 0, font, text);
        return {static_cast<int>(std::nearbyint(LengthToDevice(extent.Width))),
                static_cast<int>(std::nearbyint(LengthToDevice(extent.Height)))};
    }
    void DrawMarker(int shape, TColor color, bool, double halfSize, const TDoublePoint& p) override {
        Markers.push_back({shape, color, halfSize, p});
    }
    void DrawInfoText(const TDoublePoint& p, TColor color, double height, const QString& fontName,
                      const QString& text) override {
        InfoTexts.push_back({p, color, height, fontName, text});
    }
    void DrawFillBitmap(const TDoubleRect& rect, int, const QImage& bitmap, int, double, double) override {
        FillBitmaps.push_back({rect, bitmap.size()});
    }

    // The arguments of the last DrawBezierPath call.
    struct TBezierPathCall {
        TDoublePointArr Points;
        const TPattern* Pattern = nullptr;
        bool Open = false;
        bool Closed = false;
    };
    TBezierPathCall LastBezierPath;
    std::vector<TMarker> Markers;
    std::vector<TInfoText> InfoTexts;
    std::vector<std::pair<TDoubleRect, QSize>> FillBitmaps;
};

class TFakeDocument : public TFigureDocument {
public:
    explicit TFakeDocument(int layers = 1) {
        for (int i = 0; i < layers; ++i)
            Layers.push_back(std::make_unique<TLayer>(i == 0 ? QStringLiteral("Base Layer")
                                                             : QStringLiteral("Layer %1").arg(i),
                                                      &EngineInstance));
    }

    int LayerCount() const override { return static_cast<int>(Layers.size()); }
    TLayer* LayerAt(int index) const override { return Layers.at(static_cast<std::size_t>(index)).get(); }
    int IndexOfLayer(const TLayer* layer) const override {
        for (std::size_t i = 0; i < Layers.size(); ++i)
            if (Layers[i].get() == layer) return static_cast<int>(i);
        return -1;
    }
    int MapScale() const override { return Scale; }
    TVertZero VerticalZero() const override { return VertZero; }
    THorzZero HorizontalZero() const override { return HorzZero; }
    double WorkWidth() const override { return 297; }
    double WorkHeight() const override { return 210; }
    TFigureEngine* Engine() const override { return const_cast<TRecordingEngine*>(&EngineInstance); }
    TModPoint* AddHandle(std::unique_ptr<TModPoint> handle) override { return Handles.Add(std::move(handle)); }
    void RemoveHandle(TModPoint* handle) override { Handles.Remove(handle); }
    int NextSelectOrder() override { return ++SelectCounter; }
    void SetHasSelection(bool value) override { HasSelection = value; }
    bool IsNameUsed(const QString& name, const TFigure* except) const override {
        for (const TFigure* f : Figures)
            if (f != except && f->FName.compare(name, Qt::CaseInsensitive) == 0) return true;
        for (const QString& n : TakenNames)
            if (n.compare(name, Qt::CaseInsensitive) == 0) return true;
        return false;
    }
    TFigureDefaults Defaults() const override { return DefaultAttributes; }
    int PatternCount() const override { return static_cast<int>(Patterns.size()); }
    const TPattern* PatternAt(int index) const override {
        return index >= 0 && index < PatternCount() ? Patterns[static_cast<std::size_t>(index)].get() : nullptr;
    }
    QString UserFigureName() const override { return UserName; }
    TFontSpec TextFont() const override { return Font; }
    bool ReplaceFigure(TFigure* old, std::unique_ptr<TFigure> replacement) override {
        for (auto& owned : Owned)
            if (owned.get() == old) {
                Disposed.push_back(std::move(owned));
                owned = std::move(replacement);
                for (const TFigure*& f : Figures)
                    if (f == old) f = owned.get();
                return true;
            }
        return false;
    }
    TFigure* FigureAt(double x, double y, const TFigure* except) override {
        for (auto it = Figures.rbegin(); it != Figures.rend(); ++it)
            if (*it != except && const_cast<TFigure*>(*it)->HitTest(x, y)) return const_cast<TFigure*>(*it);
        return nullptr;
    }
    void FigureModified(TFigure* figure) override { ModifiedEvents.push_back(figure); }
    void FigureEdit(TFigure* figure) override { EditEvents.push_back(figure); }
    bool UserDraw(TFigure* figure, const QString& customName, TFigureEngine&, bool) override {
        UserDrawCalls.push_back({figure, customName});
        return UserDrawResult;
    }
    std::optional<bool> UserHitTest(TFigure* figure, const QString& customName, double, double) override {
        UserHitTestCalls.push_back({figure, customName});
        return UserHitTestResult;
    }

    TRecordingEngine EngineInstance;
    std::vector<std::unique_ptr<TLayer>> Layers;
    THandleList Handles;
    std::vector<const TFigure*> Figures;
    std::vector<QString> TakenNames;
    std::vector<TFigure*> ModifiedEvents;
    std::vector<TFigure*> EditEvents;
    TVertZero VertZero = TVertZero::vzTop;
    THorzZero HorzZero = THorzZero::vzLeft;
    TFigureDefaults DefaultAttributes;
    TFontSpec Font;
    // Figures the fake owns, for replacement tests; replaced ones move to Disposed.
    std::vector<std::unique_ptr<TFigure>> Owned;
    std::vector<std::unique_ptr<TFigure>> Disposed;
    // The document's pen patterns (none unless a test adds some).
    std::vector<std::unique_ptr<TPattern>> Patterns;
    QString UserName;
    // What the user-drawn figure handlers answer (by default: not drawn, not decided),
    // and with which figure and custom name they were asked.
    bool UserDrawResult = false;
    std::optional<bool> UserHitTestResult;
    std::vector<std::pair<TFigure*, QString>> UserDrawCalls;
    std::vector<std::pair<TFigure*, QString>> UserHitTestCalls;
    int SelectCounter = 0;
    bool HasSelection = false;
    // The document scale (1 : Scale).
    int Scale = 1;
};

// Test figures for each shape kind of the base operations.
template <int Kind> class TTestShape : public TFigure {
public:
    using TFigure::TFigure;
    static const TFigureClass& StaticClass() {
        static const TFigureClass cls = MakeFigureClass<TTestShape<Kind>>(QStringLiteral("TTestShape%1").arg(Kind), Kind);
        return cls;
    }
    const TFigureClass& Class() const override { return StaticClass(); }
    bool CanJoin() const override { return Kind == 1 || Kind == 4; }
    void SetProperty(const TTaggedItem& item) override { ExtraTags.push_back(item.Tag); }
    std::vector<int> ExtraTags;
};

using TTestLine = TTestShape<1>;
using TTestQuad = TTestShape<2>;
using TTestCircle = TTestShape<3>;
using TTestPoints = TTestShape<4>;

template <typename T> std::unique_ptr<T> MakeTestFigure(TFigureDocument* document = nullptr, TLayer* layer = nullptr) {
    RegisterFigureClass(T::StaticClass());
    std::unique_ptr<TFigure> f = NewFigure(T::StaticClass(), layer, document);
    return std::unique_ptr<T>(static_cast<T*>(f.release()));
}

#pragma once
// Small stand-ins for the drawing document and the draw engine, for tests of
// figures without the real document.

#include "model/DrawObjects.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Layer.h"
#include "model/ModPoint.h"

#include <cmath>
#include <memory>
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
    void FigureModified(TFigure* figure) override { ModifiedEvents.push_back(figure); }
    void FigureEdit(TFigure* figure) override { EditEvents.push_back(figure); }
    void UserDraw(TFigure*, const QString&) override {}
    bool UserHitTest(TFigure*, const QString&, double, double) override { return false; }

    TRecordingEngine EngineInstance;
    std::vector<std::unique_ptr<TLayer>> Layers;
    THandleList Handles;
    std::vector<const TFigure*> Figures;
    std::vector<QString> TakenNames;
    std::vector<TFigure*> ModifiedEvents;
    std::vector<TFigure*> EditEvents;
    TVertZero VertZero = TVertZero::vzTop;
    THorzZero HorzZero = THorzZero::vzLeft;
    int SelectCounter = 0;
    bool HasSelection = false;
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

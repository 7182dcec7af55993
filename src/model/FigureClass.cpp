#include "model/FigureClass.h"

#include "model/DrawObjects.h"

#include <algorithm>

namespace {
std::vector<const TFigureClass*>& Registry() {
    static std::vector<const TFigureClass*> classes;
    return classes;
}

// The simple figure the base rubber band and ghost use for each shape kind.
const char* SimpleClassName(int shapeKind) {
    switch (static_cast<TShapeKind>(shapeKind)) {
    case TShapeKind::Line:
        return "TLine";
    case TShapeKind::Quad:
        return "TRectangle";
    case TShapeKind::Circle:
        return "TCircle";
    case TShapeKind::PointList:
        return "TPolyline";
    case TShapeKind::Custom:
        break;
    }
    return nullptr;
}
} // namespace

void RegisterFigureClass(const TFigureClass& cls) {
    auto& classes = Registry();
    if (std::find(classes.begin(), classes.end(), &cls) == classes.end()) classes.push_back(&cls);
}

const TFigureClass* FindFigureClass(const QString& name) {
    const auto& classes = Registry();
    for (auto it = classes.rbegin(); it != classes.rend(); ++it)
        if ((*it)->Name == name) return *it;
    return nullptr;
}

std::vector<const TFigureClass*> RegisteredFigureClasses() { return Registry(); }

std::unique_ptr<TFigure> NewFigure(const TFigureClass& cls, TLayer* layer, TFigureDocument* document,
                                   bool persistent, bool loading) {
    if (!cls.Construct) return nullptr;
    std::unique_ptr<TFigure> figure = cls.Construct(layer, document, persistent);
    figure->FLoading = loading; // a figure being read takes its stored name: no uniqueness search
    figure->MakeName();
    figure->Initialize();
    return figure;
}

std::unique_ptr<TFigure> NewFigureByName(const QString& className, TLayer* layer, TFigureDocument* document,
                                         bool persistent) {
    const TFigureClass* cls = FindFigureClass(className);
    return cls ? NewFigure(*cls, layer, document, persistent) : nullptr;
}

std::unique_ptr<TFigure> CreateRubber(const TFigureClass& cls, double x, double y) {
    if (cls.CreateRubber) return cls.CreateRubber(cls, x, y);
    const char* simple = SimpleClassName(cls.ShapeKind);
    if (!simple || cls.ShapeKind == static_cast<int>(TShapeKind::PointList)) return nullptr;
    std::unique_ptr<TFigure> rubber = NewFigureByName(QString::fromLatin1(simple), nullptr, nullptr, false);
    if (!rubber) return nullptr;
    const TDoublePoint p = DoublePoint(x, y);
    switch (static_cast<TShapeKind>(cls.ShapeKind)) {
    case TShapeKind::Line:
        rubber->SetPointCount(2);
        rubber->SetPoint(1, p);
        rubber->SetPoint(2, p);
        break;
    case TShapeKind::Quad:
        rubber->SetPointCount(4);
        for (int i = 1; i <= 4; ++i) rubber->SetPoint(i, p);
        break;
    default:
        rubber->SetPointCount(1);
        rubber->SetPoint(1, p);
        rubber->FRadius = 0;
        break;
    }
    rubber->FPenWidth = 1;
    rubber->FPenColor = 0x00FF00;
    rubber->FPenStyle = static_cast<int>(TPenStyle::psDash);
    rubber->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    return rubber;
}

std::unique_ptr<TFigure> CommitRubber(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                      TFigure* rubber) {
    return cls.Commit ? cls.Commit(document, layer, rubber) : nullptr;
}

std::unique_ptr<TFigure> NewSimpleFigure(int shapeKind) {
    const char* simple = SimpleClassName(shapeKind);
    return simple ? NewFigureByName(QString::fromLatin1(simple), nullptr, nullptr, false) : nullptr;
}

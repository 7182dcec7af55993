#pragma once
// Figure classes and the process-wide class registry through which documents,
// file readers and the tools create figures by class name.

#include <QString>
#include <memory>
#include <vector>

class TFigure;
class TFigureDocument;
class TLayer;

// How the base operations treat a class's points.
enum class TShapeKind : int { Custom = 0, Line = 1, Quad = 2, Circle = 3, PointList = 4 };

struct TFigureClass {
    using TCreate = std::unique_ptr<TFigure> (*)(TLayer* layer, TFigureDocument* document, bool persistent);
    using TCreateRubber = std::unique_ptr<TFigure> (*)(const TFigureClass& cls, double x, double y);
    using TCommit = std::unique_ptr<TFigure> (*)(TFigureDocument* document, TLayer* layer, TFigure* rubber);

    QString Name;
    int ShapeKind = 0;
    // Constructs an instance (without naming or initialising it).
    TCreate Construct = nullptr;
    // Class-level operations; none means the base behaviour.
    TCreateRubber CreateRubber = nullptr;
    TCommit Commit = nullptr;
};

// Adds a class unless this very class is registered already.
void RegisterFigureClass(const TFigureClass& cls);
// Exact, case-sensitive look-up; the last class registered under the name wins.
const TFigureClass* FindFigureClass(const QString& name);
std::vector<const TFigureClass*> RegisteredFigureClasses();

// A new, named and initialised figure of the class.
std::unique_ptr<TFigure> NewFigure(const TFigureClass& cls, TLayer* layer, TFigureDocument* document,
                                   bool persistent = true, bool loading = false);
// The same by class name; none for a class that is not registered.
std::unique_ptr<TFigure> NewFigureByName(const QString& className, TLayer* layer, TFigureDocument* document,
                                         bool persistent = true);

// The class's rubber-band figure for a first click at (x, y); none for classes without one.
std::unique_ptr<TFigure> CreateRubber(const TFigureClass& cls, double x, double y);
// Creates the final figure from a finished rubber band (or performs the class's operation).
std::unique_ptr<TFigure> CommitRubber(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                      TFigure* rubber);

template <typename T> std::unique_ptr<TFigure> ConstructFigure(TLayer* layer, TFigureDocument* document,
                                                               bool persistent) {
    return std::make_unique<T>(layer, document, persistent);
}

// A class entry for T with the base class-level operations.
template <typename T> TFigureClass MakeFigureClass(const QString& name, int shapeKind) {
    TFigureClass cls;
    cls.Name = name;
    cls.ShapeKind = shapeKind;
    cls.Construct = &ConstructFigure<T>;
    return cls;
}

// A temporary figure of the simple class that stands for a shape kind
// (line, rectangle, circle, polyline); none when that class is not registered.
std::unique_ptr<TFigure> NewSimpleFigure(int shapeKind);

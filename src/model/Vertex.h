#pragma once
// Point markers: TVertex (a small star), TCircleVertex (a circle with cross
// hairs, hit anywhere inside) and TUserVertex (drawn and hit-tested by the
// application first).

#include "model/DrawObjects.h"

#include <memory>

class TVertex : public TFigure {
public:
    using TFigure::TFigure;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised point marker at (x, y).
    static std::unique_ptr<TVertex> Create(TLayer* layer, TFigureDocument* document, bool persistent, double x,
                                           double y);

    void Initialize() override;
    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    void AddHandles() override;
    bool HitTest(double x, double y) override;
    void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const override;
    std::unique_ptr<TFigure> Clone() const override;
    void CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) override;
    bool RubberClick(int clickNo, double x, double y) override;

    // Half-size of the star, and the margin of the hit box and bounds.
    static constexpr double kMarkSize = 1.0;

protected:
    // Marker shape of the selection handle.
    virtual std::uint8_t HandleShapeOfPoint() const;
    TColor DrawColor(bool grayed) const;

    // Class-level operations shared by the point classes.
    static std::unique_ptr<TFigure> CreatePointRubber(const TFigureClass& cls, double x, double y);
    static std::unique_ptr<TFigure> CommitPoint(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                                TFigure* rubber);
    template <typename T> static TFigureClass MakePointClass(const QString& name);
};

class TCircleVertex : public TVertex {
public:
    using TVertex::TVertex;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    static std::unique_ptr<TCircleVertex> Create(TLayer* layer, TFigureDocument* document, bool persistent, double x,
                                                 double y);

    void Initialize() override;
    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const override;

    static constexpr double kDefaultRadius = 4.0;

protected:
    std::uint8_t HandleShapeOfPoint() const override;
};

class TUserVertex : public TVertex {
public:
    using TVertex::TVertex;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    bool HitTest(double x, double y) override;
};

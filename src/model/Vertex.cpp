#include "model/Vertex.h"
#include "model/Pattern.h"

#include "model/FigureCopy.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Layer.h"
#include "model/ModPoint.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace {
constexpr TColor kVertexRed = 0x0000FF;
constexpr TColor kHandleBlue = 0xFF0000;
constexpr std::uint8_t kPointHandleKind = 0;
constexpr std::uint8_t kPlusShape = 2;

template <typename T> std::unique_ptr<T> As(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<T>(static_cast<T*>(figure.release()));
}

template <typename T> std::unique_ptr<T> CreatePoint(TLayer* layer, TFigureDocument* document, bool persistent,
                                                     double x, double y) {
    std::unique_ptr<T> point = As<T>(NewFigure(T::StaticClass(), layer, document, persistent));
    point->SetPoint(1, DoublePoint(x, y));
    point->FOrgPoints = point->FPoints;
    return point;
}
} // namespace

// --- class-level operations ---

std::unique_ptr<TFigure> TVertex::CreatePointRubber(const TFigureClass& cls, double x, double y) {
    std::unique_ptr<TFigure> rubber = NewFigure(cls, nullptr, nullptr, false);
    rubber->SetPoint(1, DoublePoint(x, y));
    rubber->FOrgPoints = rubber->FPoints;
    return rubber;
}

std::unique_ptr<TFigure> TVertex::CommitPoint(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                              TFigure* rubber) {
    if (!rubber) return nullptr;
    std::unique_ptr<TFigure> point = NewFigure(cls, layer, document, true);
    point->SetPoint(1, rubber->GetPoint(1));
    point->FOrgPoints = point->FPoints;
    point->FRadius = rubber->FRadius;
    return point;
}

template <typename T> TFigureClass TVertex::MakePointClass(const QString& name) {
    TFigureClass c = MakeFigureClass<T>(name, static_cast<int>(TShapeKind::Custom));
    c.CreateRubber = &TVertex::CreatePointRubber;
    c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
        std::unique_ptr<TFigure> point = CommitPoint(T::StaticClass(), document, layer, rubber);
        if (point && document && std::is_same_v<T, TUserVertex>) point->FCName = document->UserFigureName();
        return point;
    };
    return c;
}

// --- TVertex ---

const TFigureClass& TVertex::StaticClass() {
    static const TFigureClass cls = MakePointClass<TVertex>(QStringLiteral("TVertex"));
    return cls;
}

const TFigureClass& TVertex::Class() const { return StaticClass(); }

std::unique_ptr<TVertex> TVertex::Create(TLayer* layer, TFigureDocument* document, bool persistent, double x,
                                         double y) {
    return CreatePoint<TVertex>(layer, document, persistent, x, y);
}

void TVertex::Initialize() {
    TFigure::Initialize();
    FPointCount = 1;
}

QString TVertex::GetTypeName() const { return QStringLiteral("Vertex"); }

TColor TVertex::DrawColor(bool grayed) const {
    if (grayed) return TLayer::kGrayColor;
    if (FPenColor == kLayerColor) return FLayer ? FLayer->PenColor : 0;
    return FPenColor;
}

void TVertex::Draw(TFigureEngine& engine, bool grayed) {
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    engine.SetPen(grayed ? TLayer::kGrayColor : kVertexRed, 1, TPenStyle::psSolid);
    const TDoublePoint p = GetPoint(1);
    const double s = kMarkSize;
    engine.DrawLine(OffsetX(p, -s), OffsetX(p, s));
    engine.DrawLine(OffsetY(p, -s), OffsetY(p, s));
    engine.DrawLine(OffsetXY(p, -s, -s), OffsetXY(p, s, s));
    engine.DrawLine(OffsetXY(p, -s, s), OffsetXY(p, s, -s));
}

std::uint8_t TVertex::HandleShapeOfPoint() const { return kPlusShape; }

void TVertex::AddHandles() {
    const TDoublePoint p = GetPoint(1);
    NewHandle(kPointHandleKind, 1, p.X, p.Y, kHandleBlue, HandleShapeOfPoint());
}

bool TVertex::HitTest(double x, double y) {
    if (TFigure::HitTest(x, y)) return true;
    const TDoublePoint p = GetPoint(1);
    return std::abs(x - p.X) < kMarkSize && std::abs(y - p.Y) < kMarkSize;
}

void TVertex::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    const TDoublePoint p = GetPoint(1);
    maxX = p.X + kMarkSize;
    maxY = p.Y + kMarkSize;
    minX = p.X - kMarkSize;
    minY = p.Y - kMarkSize;
}

std::unique_ptr<TFigure> TVertex::Clone() const {
    std::unique_ptr<TFigure> copy = NewFigure(Class(), FLayer, FDrawing, true);
    CopyFigureState(*this, *copy);
    return copy;
}

void TVertex::CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) {
    const TDoublePoint p = GetPoint(1);
    list.push_back({TVectorObject::Point, {DoublePoint(p.X - origin.X, p.Y - origin.Y)}});
}

bool TVertex::RubberClick(int clickNo, double x, double y) {
    if (clickNo < 1) return false;
    SetPoint(1, DoublePoint(x, y));
    return true;
}

// --- TCircleVertex ---

const TFigureClass& TCircleVertex::StaticClass() {
    static const TFigureClass cls = MakePointClass<TCircleVertex>(QStringLiteral("TCircleVertex"));
    return cls;
}

const TFigureClass& TCircleVertex::Class() const { return StaticClass(); }

std::unique_ptr<TCircleVertex> TCircleVertex::Create(TLayer* layer, TFigureDocument* document, bool persistent,
                                                     double x, double y) {
    return CreatePoint<TCircleVertex>(layer, document, persistent, x, y);
}

void TCircleVertex::Initialize() {
    TVertex::Initialize();
    FRadius = kDefaultRadius;
    FPenColor = kVertexRed;
    FRegionHit = true;
}

QString TCircleVertex::GetTypeName() const { return QStringLiteral("CircleVertex"); }

std::uint8_t TCircleVertex::HandleShapeOfPoint() const { return HandleShape::Square; }

void TCircleVertex::Draw(TFigureEngine& engine, bool grayed) {
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    const TColor color = DrawColor(grayed);
    const int width = std::max(1, FPenWidth);
    const TDoublePoint c = GetPoint(1);
    const double r = FRadius;
    engine.PaintCircle(c, r, color, TPenStyle::psSolid, width, TBrushStyle::bsClear, color, FRegion);
    engine.SetPen(color, width, TPenStyle::psSolid);
    const double near = kMarkSize;
    const double far = r + kMarkSize;
    engine.DrawLine(OffsetX(c, near), OffsetX(c, far));
    engine.DrawLine(OffsetX(c, -near), OffsetX(c, -far));
    engine.DrawLine(OffsetY(c, near), OffsetY(c, far));
    engine.DrawLine(OffsetY(c, -near), OffsetY(c, -far));
}

void TCircleVertex::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    const TDoublePoint p = GetPoint(1);
    const double margin = FRadius + kMarkSize;
    maxX = p.X + margin;
    maxY = p.Y + margin;
    minX = p.X - margin;
    minY = p.Y - margin;
}

// --- TUserVertex ---

const TFigureClass& TUserVertex::StaticClass() {
    static const TFigureClass cls = MakePointClass<TUserVertex>(QStringLiteral("TUserVertex"));
    return cls;
}

const TFigureClass& TUserVertex::Class() const { return StaticClass(); }

QString TUserVertex::GetTypeName() const { return QStringLiteral("UserVertext"); }

void TUserVertex::Draw(TFigureEngine& engine, bool grayed) {
    if (!OfferUserDraw(engine, grayed)) TVertex::Draw(engine, grayed);
}

bool TUserVertex::HitTest(double x, double y) {
    if (const std::optional<bool> decided = OfferUserHitTest(x, y)) return *decided;
    return TVertex::HitTest(x, y);
}

#include "platform/DeviceRegion.h"

#include <QPolygonF>
#include <cmath>

TDeviceRegion TDeviceRegion::FromPolygon(std::span<const QPoint> points, TPolyFillMode mode) {
    TDeviceRegion region;
    if (points.size() < 3) return region;
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()) + 1);
    for (const QPoint& p : points) polygon << QPointF(p);
    polygon << QPointF(points.front());
    region.FPath.addPolygon(polygon);
    region.FPath.setFillRule(mode == TPolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    return region;
}

TDeviceRegion TDeviceRegion::FromRect(const TDeviceRect& rect) {
    TDeviceRegion region;
    if (rect.IsEmpty()) return region;
    region.FPath.addRect(QRectF(rect.Left, rect.Top, rect.Width(), rect.Height()));
    return region;
}

TDeviceRegion TDeviceRegion::FromEllipse(const TDeviceRect& box) {
    TDeviceRegion region;
    if (box.IsEmpty()) return region;
    region.FPath.addEllipse(QRectF(box.Left, box.Top, box.Width(), box.Height()));
    return region;
}

TDeviceRegion TDeviceRegion::FromPath(const QPainterPath& path) {
    TDeviceRegion region;
    region.FPath = path;
    return region;
}

void TDeviceRegion::Unite(const TDeviceRegion& other) {
    if (other.IsEmpty()) return;
    if (IsEmpty()) {
        FPath = other.FPath;
        return;
    }
    FPath = FPath.united(other.FPath);
}

void TDeviceRegion::Offset(int dx, int dy) { FPath.translate(dx, dy); }

// A pixel belongs to the region when its centre lies inside.
bool TDeviceRegion::Contains(int x, int y) const {
    return !FPath.isEmpty() && FPath.contains(QPointF(x + 0.5, y + 0.5));
}

bool TDeviceRegion::IsEmpty() const { return FPath.isEmpty() || FPath.boundingRect().isEmpty(); }

TDeviceRect TDeviceRegion::BoundingBox() const {
    if (IsEmpty()) return {};
    const QRectF box = FPath.boundingRect();
    // Pixels whose centres lie within the outline's extent.
    TDeviceRect rect;
    rect.Left = static_cast<int>(std::ceil(box.left() - 0.5));
    rect.Top = static_cast<int>(std::ceil(box.top() - 0.5));
    rect.Right = static_cast<int>(std::floor(box.right() - 0.5)) + 1;
    rect.Bottom = static_cast<int>(std::floor(box.bottom() - 0.5)) + 1;
    if (rect.IsEmpty()) return {};
    return rect;
}

#pragma once
// A region of device pixels, as the hit areas of figures and the clip areas of
// the canvas use it. Point tests follow the pixel rules of the Windows GDI:
// a pixel belongs to the region when its centre lies inside the outline, so
// a rectangle or polygon leaves out its right and bottom edge.

#include <QPainterPath>
#include <QPoint>
#include <span>

// A device rectangle whose Right and Bottom lie just outside it.
struct TDeviceRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TDeviceRect&) const = default;
};

enum class TPolyFillMode { Alternate, Winding };

class TDeviceRegion {
public:
    TDeviceRegion() = default;

    static TDeviceRegion FromPolygon(std::span<const QPoint> points, TPolyFillMode mode = TPolyFillMode::Winding);
    static TDeviceRegion FromRect(const TDeviceRect& rect);
    // The ellipse inscribed in the box, right and bottom edge left out as GDI does.
    static TDeviceRegion FromEllipse(const TDeviceRect& box);
    // A closed path in device pixels; its fill rule decides the inside.
    static TDeviceRegion FromPath(const QPainterPath& path);

    void Unite(const TDeviceRegion& other);
    void Offset(int dx, int dy);
    bool Contains(int x, int y) const;
    bool IsEmpty() const;
    // Smallest rectangle holding every pixel of the region.
    TDeviceRect BoundingBox() const;
    const QPainterPath& Path() const { return FPath; }

private:
    QPainterPath FPath;
};

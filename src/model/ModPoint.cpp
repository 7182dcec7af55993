#include "model/ModPoint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

bool TModPoint::HitWorld(double x, double y, double tolerance) const {
    return !Hidden && std::abs(X - x) <= tolerance && std::abs(Y - y) <= tolerance;
}

bool TModPoint::HitDevice(int x, int y, int tolerance, bool alternate) const {
    if (Hidden) return false;
    const int dx = (alternate ? AltDevX : DevX) - x;
    const int dy = (alternate ? AltDevY : DevY) - y;
    return std::abs(dx) <= tolerance && std::abs(dy) <= tolerance;
}

TModPoint* THandleList::Add(std::unique_ptr<TModPoint> handle) {
    FHandles.push_back(std::move(handle));
    return FHandles.back().get();
}

void THandleList::Remove(TModPoint* handle) {
    const auto it = std::find_if(FHandles.begin(), FHandles.end(),
                                 [handle](const auto& h) { return h.get() == handle; });
    if (it != FHandles.end()) FHandles.erase(it);
}

TModPoint* THandleList::HitTest(double x, double y, double tolerance) const {
    for (auto it = FHandles.rbegin(); it != FHandles.rend(); ++it)
        if ((*it)->HitWorld(x, y, tolerance)) return it->get();
    return nullptr;
}

TModPoint* THandleList::HitTestDevice(int x, int y, int tolerance, bool alternate) const {
    for (auto it = FHandles.rbegin(); it != FHandles.rend(); ++it)
        if ((*it)->HitDevice(x, y, tolerance, alternate)) return it->get();
    return nullptr;
}

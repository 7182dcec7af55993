#include "document/FigureNameIndex.h"

#include "model/DrawObjects.h"

namespace {
bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

void TFigureNameIndex::Count(const QString& name, int delta) {
    const TNoCaseKey key{name};
    auto it = FCounts.find(key);
    if (it == FCounts.end()) {
        if (delta > 0) FCounts.insert(key, delta);
        return;
    }
    *it += delta;
    if (*it <= 0) FCounts.erase(it);
}

void TFigureNameIndex::Add(const TFigure* figure) {
    if (!FValid || !figure || FKeys.contains(figure)) return;
    FKeys.insert(figure, figure->FName);
    Count(figure->FName, 1);
}

void TFigureNameIndex::Remove(const TFigure* figure) {
    const auto it = FKeys.find(figure);
    if (it == FKeys.end()) return;
    Count(*it, -1);
    FKeys.erase(it);
}

void TFigureNameIndex::Renamed(const TFigure* figure) {
    const auto it = FKeys.find(figure);
    if (it == FKeys.end() || *it == figure->FName) return;
    Count(*it, -1);
    *it = figure->FName;
    Count(figure->FName, 1);
}

bool TFigureNameIndex::IsUsed(const QString& name, const TFigure* except) const {
    int count = FCounts.value(TNoCaseKey{name}, 0);
    if (except) {
        const auto it = FKeys.constFind(except);
        if (it != FKeys.cend() && SameName(*it, name)) --count;
    }
    return count > 0;
}

void TFigureNameIndex::Clear() {
    FCounts.clear();
    FKeys.clear();
    FValid = true;
}

void TFigureNameIndex::Invalidate() {
    FCounts.clear();
    FKeys.clear();
    FValid = false;
}

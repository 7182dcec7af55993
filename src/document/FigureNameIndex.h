#pragma once
// The names of a drawing's figures, ignoring case, so that a new figure finds
// a free name without walking every figure. The index keeps the key each
// figure was entered under; a figure that changes its name while it is in the
// drawing reports it (TFigureDocument::FigureRenamed). While the index is
// invalid, changes are not recorded.

#include "platform/NoCaseKey.h"

#include <QHash>
#include <QString>

class TFigure;

class TFigureNameIndex {
public:
    void Add(const TFigure* figure);
    void Remove(const TFigure* figure);
    // Re-enters a figure under its current name; ignored for figures not held.
    void Renamed(const TFigure* figure);
    bool IsUsed(const QString& name, const TFigure* except) const;
    void Clear();
    // Loading many figures: the index is dropped and built again from all
    // figures when a name is next looked up.
    void Invalidate();
    bool Valid() const { return FValid; }
    template <typename Figures> void Rebuild(const Figures& figures) {
        Clear();
        FCounts.reserve(static_cast<qsizetype>(figures.size()));
        FKeys.reserve(static_cast<qsizetype>(figures.size()));
        for (const auto& figure : figures) Add(&*figure);
    }
    int Size() const { return static_cast<int>(FKeys.size()); }

private:
    void Count(const QString& name, int delta);

    bool FValid = true;
    QHash<TNoCaseKey, int> FCounts;
    // The name each figure was entered under.
    QHash<const TFigure*, QString> FKeys;
};

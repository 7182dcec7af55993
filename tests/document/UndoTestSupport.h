#pragma once
// What undo must bring back exactly: the figure objects in list order and
// every figure's record.

#include "document/VXDrawing.h"
#include "platform/Stream.h"

#include <cstdint>
#include <vector>

struct TDrawingSnapshot {
    std::vector<TFigure*> Figures;
    std::vector<std::vector<std::uint8_t>> Records;
    bool operator==(const TDrawingSnapshot&) const = default;
};

inline TDrawingSnapshot Snapshot(const TVXDrawing& doc) {
    TDrawingSnapshot shot;
    for (int i = 0; i < doc.FigureCount(); ++i) {
        TFigure* figure = doc.GetFigure(i);
        // A text lays itself out when asked for its box; its record is
        // taken as it stands after that.
        (void)figure->GetBoundsRect();
        TMemoryStream stream;
        figure->SaveToStream(stream);
        shot.Figures.push_back(figure);
        shot.Records.push_back(stream.TakeData());
    }
    return shot;
}

#include <ostream>

// Names where two snapshots part.
inline void PrintTo(const TDrawingSnapshot& shot, std::ostream* out) {
    *out << shot.Figures.size() << " figures:";
    for (std::size_t i = 0; i < shot.Figures.size(); ++i) {
        *out << " [" << i << "] " << static_cast<const void*>(shot.Figures[i]) << " " << shot.Records[i].size()
             << "B#";
        std::uint32_t hash = 2166136261u;
        for (std::uint8_t b : shot.Records[i]) hash = (hash ^ b) * 16777619u;
        *out << std::hex << hash << std::dec;
    }
}

#include <sstream>
#include <string>

// Where two snapshots part, for failure messages.
inline std::string SnapshotDiff(const TDrawingSnapshot& a, const TDrawingSnapshot& b) {
    std::ostringstream out;
    if (a.Figures.size() != b.Figures.size()) out << "count " << a.Figures.size() << " vs " << b.Figures.size() << "; ";
    for (std::size_t i = 0; i < std::min(a.Figures.size(), b.Figures.size()); ++i) {
        if (a.Figures[i] != b.Figures[i]) out << "object at " << i << "; ";
        if (a.Records[i] != b.Records[i]) {
            out << "record at " << i << " (" << a.Records[i].size() << " vs " << b.Records[i].size() << ", ";
            for (std::size_t k = 0; k < std::min<std::size_t>(24, a.Records[i].size()); ++k)
                if (a.Records[i][k] >= 'A' && a.Records[i][k] <= 'z') out << static_cast<char>(a.Records[i][k]);
            out << ")";
            const auto& x = a.Records[i];
            const auto& y = b.Records[i];
            for (std::size_t k = 0; k < std::min(x.size(), y.size()); ++k)
                if (x[k] != y[k]) {
                    out << " first byte " << k << ":";
                    for (std::size_t j = k; j < std::min(x.size(), k + 12); ++j) out << " " << int(x[j]);
                    out << " /";
                    for (std::size_t j = k; j < std::min(y.size(), k + 12); ++j) out << " " << int(y[j]);
                    out << " from:";
                    for (std::size_t j = (k > 12 ? k - 12 : 0); j < k; ++j) out << " " << int(x[j]);
                    break;
                }
            out << "; ";
        }
    }
    return out.str();
}

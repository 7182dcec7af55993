// TPolyline: crossings with a cutting line, splitting at a point, the offset
// outline and the collected outline vectors.
#include "model/Polyline.h"
#include "model/Pattern.h"

#include "model/Geometry.h"
#include "model/PolylineGeometry.h"

#include <algorithm>

namespace {
// How far a point may lie from a segment and still be on it when splitting.
constexpr double kSplitTolerance = 0.05;

TPlSegment Straight() { return TPlSegment{}; }
} // namespace

bool TPolyline::IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) {
    SyncSegments();
    const std::size_t first = points.size();
    const auto add = [&](const TDoublePoint& p) {
        // A crossing through a node is reported by both of its segments.
        for (std::size_t k = first; k < points.size(); ++k)
            if (SamePoint(points[k], p)) return;
        points.push_back(p);
    };
    for (int i = 1; i <= DrawnSegmentCount(); ++i) {
        const TDoublePoint start = Node(i);
        const TDoublePoint end = Node(i + 1);
        const TPlSegment& segment = Seg(i);
        if (segment.IsBezier()) {
            const TCubic curve{start, segment.Ctrl1, segment.Ctrl2, end};
            for (double t : CubicSegmentCrossings(curve, a, b)) add(CubicPoint(curve, t));
        } else if (segment.IsArc()) {
            if (SamePoint(start, end)) continue;
            for (const TDoublePoint& p : ArcSegmentCrossings(segment.Centre(), start, end, segment.Inverted, a, b))
                add(p);
        } else {
            TDoublePoint p;
            if (SegmentsIntersect(start, end, a, b, p)) add(p);
        }
    }
    return points.size() > first;
}

bool TPolyline::CutByLine(const TDoublePoint& a, const TDoublePoint& b, std::vector<TFigure*>& list) {
    FKnifeA = a;
    FKnifeB = b;
    FKnifeFlag = true;
    const bool cut = TLine::CutByLine(a, b, list);
    FKnifeFlag = false;
    return cut;
}

bool TPolyline::SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) {
    SyncSegments();
    const int n = FPointCount;
    if (n < 2) return false;
    for (int i = 1; i <= DrawnSegmentCount(); ++i) {
        const TDoublePoint start = Node(i);
        const TDoublePoint end = Node(i + 1);
        if (SamePoint(start, end)) continue;
        const TPlSegment& segment = Seg(i);
        TDoublePoint q = p;
        TPlSegment first = segment;  // from the segment's start to q
        TPlSegment second = segment; // from q to the segment's end
        if (segment.IsBezier()) {
            const TCubic curve{start, segment.Ctrl1, segment.Ctrl2, end};
            double distance = 0;
            const double t = NearestCubicParameter(curve, p, distance);
            if (distance > kSplitTolerance) continue;
            TCubic left, right;
            SubdivideCubic(curve, t, left, right);
            q = left.P3;
            first.Ctrl1 = left.P1;
            first.Ctrl2 = left.P2;
            second.Ctrl1 = right.P1;
            second.Ctrl2 = right.P2;
            second.Smooth = true;
        } else if (segment.IsArc()) {
            if (!PointOnArcSegment(segment.Centre(), start, end, segment.Inverted, p, kSplitTolerance)) continue;
        } else {
            double t = 0;
            if (DistanceToSegment(start, end, p, t) > kSplitTolerance) continue;
        }
        second.HasDimension = first.HasDimension = false;

        // Nodes and segments in the original order, 0-based.
        TDoublePointArr nodes(FPoints.begin(), FPoints.begin() + n);
        const std::vector<TPlSegment>& segs = FSegments;
        const int k = i - 1;
        TDoublePointArr nodesA, nodesB;
        std::vector<TPlSegment> segsA, segsB;
        const bool atStart = SamePoint(q, start);
        const bool atEnd = SamePoint(q, end);
        if (atStart || atEnd) {
            // The cut goes through node m.
            const int m = atStart ? k : (k + 1) % n;
            if (FClosed) {
                for (int j = 0; j < n; ++j) {
                    nodesA.push_back(nodes[static_cast<std::size_t>((m + j) % n)]);
                    segsA.push_back(segs[static_cast<std::size_t>((m + j) % n)]);
                }
                nodesA.push_back(nodes[static_cast<std::size_t>(m)]);
                segsA.push_back(Straight());
            } else {
                if (m == 0 || m == n - 1) return false; // an open end: nothing to cut off
                for (int j = 0; j <= m; ++j) nodesA.push_back(nodes[static_cast<std::size_t>(j)]);
                segsA.assign(segs.begin(), segs.begin() + m);
                segsA.push_back(Straight());
                for (int j = m; j < n; ++j) {
                    nodesB.push_back(nodes[static_cast<std::size_t>(j)]);
                    segsB.push_back(segs[static_cast<std::size_t>(j)]);
                }
            }
        } else if (FClosed) {
            nodesA.push_back(q);
            segsA.push_back(second);
            for (int j = k + 1; j < n; ++j) {
                nodesA.push_back(nodes[static_cast<std::size_t>(j)]);
                segsA.push_back(segs[static_cast<std::size_t>(j)]);
            }
            for (int j = 0; j <= k; ++j) {
                nodesA.push_back(nodes[static_cast<std::size_t>(j)]);
                segsA.push_back(j < k ? segs[static_cast<std::size_t>(j)] : first);
            }
            nodesA.push_back(q);
            segsA.push_back(Straight());
        } else {
            for (int j = 0; j <= k; ++j) nodesA.push_back(nodes[static_cast<std::size_t>(j)]);
            nodesA.push_back(q);
            segsA.assign(segs.begin(), segs.begin() + k);
            segsA.push_back(first);
            segsA.push_back(Straight());
            nodesB.push_back(q);
            segsB.push_back(second);
            for (int j = k + 1; j < n; ++j) {
                nodesB.push_back(nodes[static_cast<std::size_t>(j)]);
                segsB.push_back(segs[static_cast<std::size_t>(j)]);
            }
        }
        std::unique_ptr<TPolyline> pieceA = NewPieceLike();
        pieceA->SetGeometry(nodesA, segsA, false);
        list.push_back(pieceA.release());
        if (!nodesB.empty()) {
            std::unique_ptr<TPolyline> pieceB = NewPieceLike();
            pieceB->SetGeometry(nodesB, segsB, false);
            list.push_back(pieceB.release());
        }
        return true;
    }
    return false;
}

std::unique_ptr<TFigure> TPolyline::CreateOffsetFigure(double distance) {
    SyncSegments();
    if (FPointCount < 2) return nullptr;
    std::vector<TOffsetPiece> pieces;
    for (int i = 1; i <= DrawnSegmentCount(); ++i) {
        const std::vector<TOffsetPiece> offset = OffsetSegment(Seg(i), Node(i), Node(i + 1), distance);
        pieces.insert(pieces.end(), offset.begin(), offset.end());
    }
    if (pieces.empty()) return nullptr;
    pieces = JoinOffsetPieces(std::move(pieces), FClosed);
    TDoublePointArr nodes;
    std::vector<TPlSegment> segments;
    for (const TOffsetPiece& piece : pieces) {
        nodes.push_back(piece.Start);
        TPlSegment segment;
        segment.Kind = piece.Kind;
        if (piece.Kind == SegmentKind::Arc) {
            segment.Ctrl1 = segment.Ctrl2 = piece.Centre;
            segment.Inverted = piece.Inverted;
        }
        segments.push_back(segment);
    }
    if (!FClosed) {
        nodes.push_back(pieces.back().End);
        segments.push_back(Straight());
    }
    std::unique_ptr<TPolyline> result = NewPieceLike();
    result->SetGeometry(nodes, segments, FClosed);
    return result;
}

void TPolyline::CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) {
    TVectorObject outline{FClosed ? TVectorObject::Polygon : TVectorObject::Polyline, {}};
    for (int i = 1; i <= FPointCount; ++i) {
        const TDoublePoint p = GetPoint(i);
        outline.Points.push_back(DoublePoint(p.X - origin.X, p.Y - origin.Y));
    }
    list.push_back(std::move(outline));
}

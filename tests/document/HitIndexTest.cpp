// Point hit tests in large drawings go through a bounds index; the answer
// must be the one the figure-by-figure search gives, before and after
// figures change, arrive or leave, at several zoom levels.
#include "DocumentFixture.h"

#include "model/Group.h"

#include <QImage>
#include <random>

namespace {

class HitIndexTest : public DocumentTest {
protected:
    // Every kind of figure, scattered and overlapping, thick pens and
    // arrowheads included; well over the count from which the index is used.
    void Populate(int rounds) {
        Doc.SetWorkWidth(300);
        Doc.SetWorkHeight(200);
        std::mt19937 random(7);
        std::uniform_real_distribution<double> x(5, 295), y(5, 195), size(0.5, 12), angle(0, 6.28);
        std::uniform_int_distribution<int> pen(0, 12), brush(0, 1);
        for (int i = 0; i < rounds; ++i) {
            const double px = x(random), py = y(random), s = size(random);
            const int w = pen(random);
            const int fill = brush(random) ? 0 : 1; // solid or clear
            switch (i % 11) {
            case 0:
                Doc.Line(0, px, py, px + s, py - s / 3, w, 0, 0, 3 /* arrows at both ends */, false);
                break;
            case 1:
                Doc.DrawCircle(0, px, py, s, w, 0, 0, fill, 0xFFFFFF, false);
                break;
            case 2:
                Doc.Ellipse(0, px, py, s, s / 2, angle(random), w, 0, 0, fill, 0xFFFFFF, false);
                break;
            case 3:
                Doc.Arc(0, px, py, s, angle(random), angle(random), w, 0, 0, fill, 0xFFFFFF, i % 3, false);
                break;
            case 4:
                Doc.ElpArc(0, px, py, s, s / 3, angle(random), angle(random), angle(random), w, 0, 0, fill,
                           0xFFFFFF, i % 3, false);
                break;
            case 5:
                Doc.Rectangle(0, px, py, px + s, py + s / 2, w, 0, 0, fill, 0xFFFFFF, false);
                break;
            case 6:
                Doc.TextOut(0, px, py, angle(random), 2 + s / 3, 0, QStringLiteral("Maß %1").arg(i),
                            QStringLiteral("Arial"), 0, 0, false);
                break;
            case 7:
                Doc.Vertex(0, px, py, false);
                break;
            case 8: {
                const std::vector<TDoublePoint> pts{DoublePoint(px, py), DoublePoint(px + s, py + s),
                                                    DoublePoint(px + 2 * s, py), DoublePoint(px + s, py - s)};
                Doc.PolyLine(0, pts, w, 0, 0, 0, fill, 0xFFFFFF, i % 2 == 0, false);
                break;
            }
            case 9: {
                const TDoublePointArr pts{DoublePoint(px, py), DoublePoint(px + s, py - s),
                                          DoublePoint(px + 2 * s, py + s), DoublePoint(px + 3 * s, py)};
                Doc.AddFigure(TPolyline::CreateBezierPolyline(pts, w, &Doc, true, Doc.LayerAt(0), false,
                                                              TRowStyle::rsNone, 0, 1, 0, 0),
                              false, TInsertReason::irCreate);
                break;
            }
            default: {
                // A group holding a nested combined group.
                auto outer = TFigureGrp::Create(Doc.LayerAt(0), &Doc);
                auto inner = TFigureGrp::Create(Doc.LayerAt(0), &Doc);
                inner->Add(TLine::Create(w, &Doc, true, Doc.LayerAt(0), TRowStyle::rsNone, 0, 0, px, py, px + s,
                                         py + s));
                inner->SetCombined(true);
                inner->RecalcBounds();
                outer->Add(std::move(inner));
                outer->Add(TLine::Create(1, &Doc, true, Doc.LayerAt(0), TRowStyle::rsNone, 0, 0, px + s, py,
                                         px + 2 * s, py - s));
                outer->RecalcBounds();
                Doc.AddFigure(std::move(outer), false, TInsertReason::irCreate);
                break;
            }
            }
        }
    }

    // The answer of the figure-by-figure search.
    TFigure* LinearFigureAt(double x, double y) {
        for (int i = Doc.FigureCount() - 1; i >= 0; --i) {
            TFigure* figure = Doc.GetFigure(i);
            if (figure->FLayer && !figure->FLayer->IsVisible()) continue;
            if (figure->HitTest(x, y)) return figure;
        }
        return nullptr;
    }

    void Paint() {
        QImage image;
        Doc.PaintTo(image);
    }

    // The points worth asking about: every figure point and points just
    // beside it (where pens, arrowheads and slack matter), plus scattered
    // points over the whole page.
    std::vector<TDoublePoint> ProbePoints() {
        std::vector<TDoublePoint> points;
        for (int i = 0; i < Doc.FigureCount(); ++i) {
            TFigure* figure = Doc.GetFigure(i);
            for (int p = 0; p < figure->PointCount(); ++p) {
                const TDoublePoint at = figure->GetPoint(p);
                for (double d : {0.0, 0.4, -1.6})
                    points.push_back(DoublePoint(at.X + d, at.Y - d / 2));
            }
        }
        std::mt19937 random(11);
        std::uniform_real_distribution<double> x(0, 300), y(0, 200);
        for (int i = 0; i < 1500; ++i) points.push_back(DoublePoint(x(random), y(random)));
        return points;
    }

    // Compares both searches; returns how many points hit.
    int ExpectSameAnswers(const char* stage) {
        int hits = 0;
        for (const TDoublePoint& at : ProbePoints()) {
            TFigure* expected = LinearFigureAt(at.X, at.Y);
            TFigure* found = Doc.FigureAt(at.X, at.Y, nullptr);
            if (expected) ++hits;
            if (found != expected) {
                ADD_FAILURE() << stage << ": different figure at (" << at.X << ", " << at.Y << ")";
                return hits;
            }
        }
        return hits;
    }
};

TEST_F(HitIndexTest, IndexGivesTheSameFigureAsTheFullSearch) {
    Populate(660);
    ASSERT_GE(Doc.FigureCount(), TVXDrawing::kHitIndexMinFigures);
    for (int zoom : {100, 37, 400}) {
        Doc.SetZoomScale(zoom);
        Paint();
        const int hits = ExpectSameAnswers("painted");
        EXPECT_GT(hits, 1000) << "zoom " << zoom; // the points really meet figures
    }
}

TEST_F(HitIndexTest, ChangedArrivingAndLeavingFiguresAreFound) {
    Populate(440);
    Doc.SetZoomScale(100);
    Paint();
    ASSERT_EQ(Doc.FigureAt(1, 1, nullptr), LinearFigureAt(1, 1)); // builds the index

    // Figures moved, scaled, restyled and reshaped directly, without a repaint.
    for (int i = 0; i < Doc.FigureCount(); i += 17) Doc.GetFigure(i)->Move(40, -25);
    for (int i = 3; i < Doc.FigureCount(); i += 29) Doc.GetFigure(i)->Scale(DoublePoint(150, 100), 3, 0.5);
    for (int i = 5; i < Doc.FigureCount(); i += 31) Doc.GetFigure(i)->SetAttribute(1, 25);
    for (int i = 7; i < Doc.FigureCount(); i += 37)
        Doc.GetFigure(i)->SetPoint(1, DoublePoint(250.0 - i % 100, 20.0 + i % 150));
    // A member inside a group changes on its own.
    for (int i = 0; i < Doc.FigureCount(); ++i)
        if (auto* group = dynamic_cast<TFigureGrp*>(Doc.GetFigure(i))) {
            group->Member(1)->Move(-60, 40);
            break;
        }
    ExpectSameAnswers("changed");

    // New figures on top, then figures leaving.
    for (int i = 0; i < 40; ++i) Doc.DrawCircle(0, 10.0 + 7 * i, 100, 6, 4, 0, 0, 0, 0xFFFFFF, false);
    ExpectSameAnswers("appended");
    for (int i = 0; i < 30; ++i) Doc.DeleteFigure(Doc.GetFigure(i * 5));
    ExpectSameAnswers("removed");
    Paint();
    ExpectSameAnswers("repainted");
}

TEST_F(HitIndexTest, HiddenLayersAndTheExceptedFigureAreSkipped) {
    Populate(300);
    Paint();
    TFigure* top = nullptr;
    double hx = 0, hy = 0;
    for (double y = 0; y <= 200 && !top; y += 0.5)
        for (double x = 0; x <= 300 && !top; x += 0.5)
            if ((top = Doc.FigureAt(x, y, nullptr))) {
                hx = x;
                hy = y;
            }
    ASSERT_NE(top, nullptr);
    TFigure* below = Doc.FigureAt(hx, hy, top);
    EXPECT_NE(below, top);
    Doc.GetFigure(0)->FLayer->State = TLayerState::Hidden;
    EXPECT_EQ(Doc.FigureAt(hx, hy, nullptr), nullptr);
}

} // namespace

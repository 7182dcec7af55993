#pragma once
// A drawing of a fixed size with helpers to add figures.

#include "document/VXDrawing.h"
#include "model/Line.h"
#include "model/Polyline.h"
#include "model/Vertex.h"

#include <gtest/gtest.h>

class DocumentTest : public ::testing::Test {
protected:
    DocumentTest() {
        Doc.resize(640, 480);
        Doc.ReLocate();
    }

    TFigure* AddLine(int layer, double x1, double y1, double x2, double y2, TColor color = 0,
                     bool select = false) {
        const std::intptr_t handle = Doc.Line(layer, x1, y1, x2, y2, 1, 0, color, 0, select);
        return reinterpret_cast<TFigure*>(handle);
    }
    TFigure* AddVertex(int layer, double x, double y, bool select = false) {
        return reinterpret_cast<TFigure*>(Doc.Vertex(layer, x, y, select));
    }
    TFigure* AddPolyline(int layer, std::vector<TDoublePoint> points, bool select = false) {
        return reinterpret_cast<TFigure*>(Doc.PolyLine(layer, points, 1, 0, 0, 0, 1, 0, false, select));
    }
    int CountOnLayer(int layer) const {
        int n = 0;
        for (int i = 0; i < Doc.FigureCount(); ++i)
            if (Doc.GetFigure(i)->FLayer == Doc.LayerAt(layer)) ++n;
        return n;
    }

    TVXDrawing Doc;
};

// Fuzz target: one figure record as the drawing and block readers hand it to
// the figure factory. A record that reads must write back stably.
#include "model/Arc.h"
#include "model/Circle.h"
#include "model/DrawObjects.h"
#include "model/ElpArc.h"
#include "model/Ellipse.h"
#include "model/FigureClass.h"
#include "model/Group.h"
#include "model/Hellical.h"
#include "model/Line.h"
#include "model/Polyline.h"
#include "model/Rectangle.h"
#include "model/Text.h"
#include "model/Vertex.h"

#include <cstdlib>

namespace {

// A figure with a free point list, so that every base tag is exercised.
class TProbeFigure : public TFigure {
public:
    using TFigure::TFigure;
    static const TFigureClass& StaticClass() {
        static const TFigureClass cls = MakeFigureClass<TProbeFigure>(QStringLiteral("TProbe"), 4);
        return cls;
    }
    const TFigureClass& Class() const override { return StaticClass(); }
    bool IsPolyline() const override { return true; }
};

std::vector<std::uint8_t> Save(const TFigure& figure) {
    TMemoryStream out;
    figure.SaveToStream(out);
    return out.TakeData();
}

void RegisterClasses() {
    for (const TFigureClass* cls :
         {&TProbeFigure::StaticClass(), &TLine::StaticClass(), &TPolyline::StaticClass(), &TFreeHand::StaticClass(),
          &TVertex::StaticClass(), &TCircleVertex::StaticClass(), &TUserLine::StaticClass(),
          &TUserVertex::StaticClass(), &TUserPolyline::StaticClass(), &TRectangle::StaticClass(),
          &TUserRectangle::StaticClass(), &TText::StaticClass(), &TStripedText::StaticClass(),
          &TCircle::StaticClass(), &TUserCircle::StaticClass(), &TEllipse::StaticClass(),
          &TUserEllipse::StaticClass(), &TArc::StaticClass(), &TUserArc::StaticClass(), &TElpArc::StaticClass(),
          &THellical::StaticClass(), &TFigureGrp::StaticClass(), &TBlock::StaticClass()})
        RegisterFigureClass(*cls);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = (RegisterClasses(), true);
    (void)registered;
    TMemoryStream stream(data, size);
    try {
        std::unique_ptr<TFigure> figure = TFigure::CreateFromStream(stream, nullptr, nullptr, true);
        if (!figure) return 0;
        const std::vector<std::uint8_t> first = Save(*figure);
        TMemoryStream again(first);
        std::unique_ptr<TFigure> reread = TFigure::CreateFromStream(again, nullptr, nullptr, true);
        if (!reread) std::abort();
        if (Save(*reread) != first) std::abort();
    } catch (const EReadError&) {
        // A damaged record is refused with a message; that is the expected outcome.
    }
    return 0;
}

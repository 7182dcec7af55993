// The figure classes a drawing registers so that files, the clipboard and the
// tools can create figures by class name.
#include "document/VXDrawing.h"

#include "model/Arc.h"
#include "model/Circle.h"
#include "model/Ellipse.h"
#include "model/ElpArc.h"
#include "model/FigureClass.h"
#include "model/Group.h"
#include "model/Hellical.h"
#include "model/Line.h"
#include "model/Polyline.h"
#include "model/Rectangle.h"
#include "model/Text.h"
#include "model/Vertex.h"

const QStringList& TVXDrawing::DocumentClassNames() {
    static const QStringList names = {
        QStringLiteral("TLine"),
        QStringLiteral("THellical"),
        QStringLiteral("TPolyline"),
        QStringLiteral("TFreeHand"),
        QStringLiteral("TEllipse"),
        QStringLiteral("TArc"),
        QStringLiteral("TElpArc"),
        QStringLiteral("TCircle"),
        QStringLiteral("TRectangle"),
        QStringLiteral("TVertex"),
        QStringLiteral("TCircleVertex"),
        QStringLiteral("TBMPObject"),
        QStringLiteral("TText"),
        QStringLiteral("TFigureGrp"),
        QStringLiteral("TBlock"),
        QStringLiteral("TRotate"),
        QStringLiteral("TMove"),
        QStringLiteral("TDuplicate"),
        QStringLiteral("TDuplicateAsBezier"),
        QStringLiteral("TMirror"),
        QStringLiteral("TArrayPol"),
        QStringLiteral("TArrayRect"),
        QStringLiteral("TRichText"),
        QStringLiteral("TOLEObject"),
        QStringLiteral("TMathGraph"),
        QStringLiteral("TWMFObject"),
        QStringLiteral("THDimLine"),
        QStringLiteral("TVDimLine"),
        QStringLiteral("TADimLine"),
        QStringLiteral("TCDimLine"),
        QStringLiteral("TArcDimLine"),
        QStringLiteral("TUserRectangle"),
        QStringLiteral("TUserLine"),
        QStringLiteral("TUserVertex"),
        QStringLiteral("TUserCircle"),
        QStringLiteral("TUserArc"),
        QStringLiteral("TUserEllipse"),
        QStringLiteral("TUserPolyline"),
        QStringLiteral("TKnife"),
    };
    return names;
}

void TVXDrawing::RegisterDocumentClasses() {
    // In the order of DocumentClassNames.
    const TFigureClass* classes[] = {
        &TLine::StaticClass(),          &THellical::StaticClass(),     &TPolyline::StaticClass(),
        &TFreeHand::StaticClass(),      &TEllipse::StaticClass(),      &TArc::StaticClass(),
        &TElpArc::StaticClass(),        &TCircle::StaticClass(),       &TRectangle::StaticClass(),
        &TVertex::StaticClass(),        &TCircleVertex::StaticClass(), &TText::StaticClass(),
        &TFigureGrp::StaticClass(),     &TBlock::StaticClass(),
        &TUserRectangle::StaticClass(), &TUserLine::StaticClass(),     &TUserVertex::StaticClass(),
        &TUserCircle::StaticClass(),    &TUserArc::StaticClass(),      &TUserEllipse::StaticClass(),
        &TUserPolyline::StaticClass(),
    };
    for (const TFigureClass* cls : classes)
        ::RegisterFigureClass(*cls);
}

void TVXDrawing::RegisterFigureClass(const TFigureClass& cls) {
    ::RegisterFigureClass(cls);
}

#pragma once
// Helpers of the round figure tests: records written and read back, a record
// builder for older layouts, point comparisons and the classes registered.

#include "support/FakeDocument.h"

#include "model/Arc.h"
#include "model/Circle.h"
#include "model/ElpArc.h"
#include "model/Ellipse.h"
#include "model/Hellical.h"
#include "model/Line.h"
#include "model/Polyline.h"

#include <gtest/gtest.h>
#include <cstring>
#include <initializer_list>

namespace round_test {

inline void RegisterRoundClasses() {
    for (const TFigureClass* cls :
         {&TCircle::StaticClass(), &TUserCircle::StaticClass(), &TEllipse::StaticClass(),
          &TUserEllipse::StaticClass(), &TArc::StaticClass(), &TUserArc::StaticClass(), &TElpArc::StaticClass(),
          &THellical::StaticClass(), &TLine::StaticClass(), &TPolyline::StaticClass()})
        RegisterFigureClass(*cls);
}

inline std::vector<std::uint8_t> Save(const TFigure& figure) {
    TMemoryStream out;
    figure.SaveToStream(out);
    return out.TakeData();
}

inline std::unique_ptr<TFigure> Load(const std::vector<std::uint8_t>& bytes, TFigureDocument* doc = nullptr) {
    TMemoryStream in(bytes);
    return TFigure::CreateFromStream(in, doc ? doc->LayerAt(0) : nullptr, doc, true);
}

template <typename T> T* As(const std::unique_ptr<TFigure>& figure) { return dynamic_cast<T*>(figure.get()); }
template <typename T> std::unique_ptr<T> Own(TFigure* figure) { return std::unique_ptr<T>(dynamic_cast<T*>(figure)); }

#define EXPECT_POINT_NEAR(actual, ex, ey, tol)                                                                         \
    do {                                                                                                               \
        const TDoublePoint p_ = (actual);                                                                              \
        EXPECT_NEAR(p_.X, (ex), (tol));                                                                                \
        EXPECT_NEAR(p_.Y, (ey), (tol));                                                                                \
    } while (0)

// A record written item by item.
class TRecordBuilder {
public:
    void Str(const char* text) {
        FStream.Write(text, std::strlen(text));
        FStream.WriteU8(0);
    }
    void Byte(std::uint8_t tag, std::uint8_t v) {
        FStream.WriteU8(tag);
        FStream.WriteU8(v);
    }
    void Int(std::uint8_t tag, std::int32_t v) {
        FStream.WriteU8(tag);
        FStream.WriteI32(v);
    }
    void Double(std::uint8_t tag, double v) {
        FStream.WriteU8(tag);
        FStream.WriteDouble(v);
    }
    void TaggedStr(std::uint8_t tag, const char* text) {
        FStream.WriteU8(tag);
        Str(text);
    }
    void Points(std::initializer_list<double> coordinates) {
        FStream.WriteU8(152);
        FStream.WriteI32(static_cast<std::int32_t>(coordinates.size() * 8));
        for (double c : coordinates) FStream.WriteDouble(c);
    }
    // Class name, name, the pen and the points, up to the end marker.
    void Base(const char* className, std::initializer_list<double> coordinates, double angle = 0) {
        Str(className);
        Str("Old1");
        Int(21, 0);
        Double(221, angle);
        Int(24, static_cast<std::int32_t>(coordinates.size() / 2));
        Int(26, 1);
        Int(27, 0);
        Int(28, 0);
        Points(coordinates);
        TaggedStr(180, "BaseEnd");
    }
    std::vector<std::uint8_t> Bytes() { return FStream.TakeData(); }

private:
    TMemoryStream FStream;
};

} // namespace round_test

#include "document/DocumentSection.h"

#include <algorithm>
#include <cmath>

#include "document/VXDrawing.h"
#include "model/Enums.h"
#include "model/TaggedStream.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::uint8_t kTagBackGround = 21;
constexpr std::uint8_t kTagGridColor = 22;
constexpr std::uint8_t kTagGridStepTenths = 23;
constexpr std::uint8_t kTagGuideColor = 24;
constexpr std::uint8_t kTagWorkWidthTenths = 25;
constexpr std::uint8_t kTagWorkHeightTenths = 26;
constexpr std::uint8_t kTagZoomScale = 27;
constexpr std::uint8_t kTagMapScale = 28;
constexpr std::uint8_t kTagPageColor = 29;
constexpr std::uint8_t kTagPageLayout = 90;
constexpr std::uint8_t kTagPageOrient = 91;
constexpr std::uint8_t kTagVerticalZero = 92;
constexpr std::uint8_t kTagHorizontalZero = 93;
constexpr std::uint8_t kTagRulerSystem = 94;
constexpr std::uint8_t kTagGuidesTenths = 150;
constexpr std::uint8_t kTagGuides = 151;
constexpr std::uint8_t kTagGridStep = 220;
constexpr std::uint8_t kTagWorkWidth = 221;
constexpr std::uint8_t kTagWorkHeight = 222;

bool ValidLength(double mm) {
    return std::isfinite(mm) && mm > 0 && mm <= DocumentSection::kMaxPageSide;
}

void AddGuides(const TTaggedItem& item, std::size_t recordSize, std::vector<TDocumentItem>& items) {
    const std::vector<std::uint8_t>& data = item.Data;
    for (std::size_t at = 0; at + recordSize <= data.size(); at += recordSize) {
        const std::uint8_t kind = data[at];
        double position = 0;
        if (recordSize == 9) {
            std::memcpy(&position, &data[at + 1], 8);
        } else {
            std::int32_t tenths = 0;
            std::memcpy(&tenths, &data[at + 1], 4);
            position = tenths / 10.0;
        }
        if (kind > 1 || !std::isfinite(position) || std::fabs(position) > DocumentSection::kMaxPageSide) continue;
        items.push_back({TDocumentProperty::Guide, position, kind});
    }
}

} // namespace

namespace DocumentSection {

std::vector<std::uint8_t> Write(const TVXDrawing& d) {
    TMemoryStream s;
    WriteTaggedInt(kTagBackGround, s, d.BackGround());
    WriteTaggedInt(kTagGridColor, s, d.GridColor());
    WriteTaggedDouble(kTagGridStep, s, d.GridStep());
    WriteTaggedInt(kTagGuideColor, s, d.GuideColor());
    WriteTaggedDouble(kTagWorkWidth, s, d.WorkWidth());
    WriteTaggedDouble(kTagWorkHeight, s, d.WorkHeight());
    WriteTaggedInt(kTagZoomScale, s, d.ZoomScale());
    WriteTaggedInt(kTagMapScale, s, d.MapScale());
    WriteTaggedInt(kTagPageColor, s, d.PageColor());
    WriteTaggedByte(kTagPageLayout, s, static_cast<std::uint8_t>(d.PageLayout()));
    WriteTaggedByte(kTagPageOrient, s, static_cast<std::uint8_t>(d.PageOrient()));
    WriteTaggedByte(kTagVerticalZero, s, static_cast<std::uint8_t>(d.VerticalZero()));
    WriteTaggedByte(kTagHorizontalZero, s, static_cast<std::uint8_t>(d.HorizontalZero()));
    WriteTaggedByte(kTagRulerSystem, s, static_cast<std::uint8_t>(d.RulerSystem()));
    if (d.GuideCount() > 0) {
        TMemoryStream guides;
        for (int i = 0; i < d.GuideCount(); ++i) {
            guides.WriteU8(d.GuideAt(i).Kind);
            guides.WriteDouble(d.GuideAt(i).Position);
        }
        WriteTaggedBlob(kTagGuides, s, guides.Data().data(), static_cast<std::int32_t>(guides.Size()));
    }
    return s.TakeData();
}

std::vector<TDocumentItem> Read(TStream& section, bool& damaged) {
    std::vector<TDocumentItem> items;
    TTaggedItem item;
    auto add = [&](TDocumentProperty property, double value) { items.push_back({property, value, 0}); };
    auto addEnum = [&](TDocumentProperty property, int count) {
        if (item.AsByte() < count) add(property, item.AsByte());
    };
    auto addLength = [&](TDocumentProperty property, double mm) {
        if (ValidLength(mm)) add(property, mm);
    };
    try {
        while (ReadTaggedItem(section, item, TTagDialect::DocumentSection)) {
            switch (item.Tag) {
            case kTagBackGround: add(TDocumentProperty::BackGround, item.AsInt()); break;
            case kTagGridColor: add(TDocumentProperty::GridColor, item.AsInt()); break;
            case kTagGuideColor: add(TDocumentProperty::GuideColor, item.AsInt()); break;
            case kTagPageColor: add(TDocumentProperty::PageColor, item.AsInt()); break;
            case kTagZoomScale:
                if (item.AsInt() >= TVXDrawBox::kMinZoom && item.AsInt() <= TVXDrawBox::kMaxZoom)
                    add(TDocumentProperty::ZoomScale, item.AsInt());
                break;
            case kTagMapScale:
                if (item.AsInt() > 0) add(TDocumentProperty::MapScale, item.AsInt());
                break;
            case kTagGridStepTenths: addLength(TDocumentProperty::GridStep, item.AsInt() / 10.0); break;
            case kTagWorkWidthTenths: addLength(TDocumentProperty::WorkWidth, item.AsInt() / 10.0); break;
            case kTagWorkHeightTenths: addLength(TDocumentProperty::WorkHeight, item.AsInt() / 10.0); break;
            case kTagGridStep: addLength(TDocumentProperty::GridStep, item.AsDouble()); break;
            case kTagWorkWidth: addLength(TDocumentProperty::WorkWidth, item.AsDouble()); break;
            case kTagWorkHeight: addLength(TDocumentProperty::WorkHeight, item.AsDouble()); break;
            case kTagPageLayout: addEnum(TDocumentProperty::PageLayout, EnumCount<TPageLayout>()); break;
            case kTagPageOrient: addEnum(TDocumentProperty::PageOrient, EnumCount<TPageOrient>()); break;
            case kTagVerticalZero: addEnum(TDocumentProperty::VerticalZero, EnumCount<TVertZero>()); break;
            case kTagHorizontalZero: addEnum(TDocumentProperty::HorizontalZero, EnumCount<THorzZero>()); break;
            case kTagRulerSystem: addEnum(TDocumentProperty::RulerSystem, EnumCount<TRulerSystem>()); break;
            case kTagGuidesTenths: AddGuides(item, 5, items); break;
            case kTagGuides: AddGuides(item, 9, items); break;
            default: break; // read and ignored
            }
        }
    } catch (const EReadError&) {
        damaged = true;
    }
    return items;
}

void Apply(TVXDrawing& d, const std::vector<TDocumentItem>& items) {
    for (const TDocumentItem& item : items) {
        // Values come from the file: convert only what fits (doubles outside the
        // range of the target type are undefined to cast).
        const double clamped = std::isfinite(item.Value) ? std::clamp(item.Value, -2147483648.0, 2147483647.0) : 0.0;
        const auto asInt = static_cast<std::int32_t>(clamped);
        const auto asByte = static_cast<std::uint8_t>(std::clamp(asInt, 0, 255));
        switch (item.Property) {
        case TDocumentProperty::BackGround: d.SetBackGround(asInt); break;
        case TDocumentProperty::GridColor: d.SetGridColor(asInt); break;
        case TDocumentProperty::GridStep: d.SetGridStep(item.Value); break;
        case TDocumentProperty::GuideColor: d.SetGuideColor(asInt); break;
        case TDocumentProperty::WorkWidth: d.SetWorkWidth(item.Value); break;
        case TDocumentProperty::WorkHeight: d.SetWorkHeight(item.Value); break;
        case TDocumentProperty::ZoomScale: d.SetZoomScale(asInt); break;
        case TDocumentProperty::MapScale: d.SetMapScale(asInt); break;
        case TDocumentProperty::PageColor: d.SetPageColor(asInt); break;
        case TDocumentProperty::PageLayout: d.SetPageLayout(static_cast<TPageLayout>(asByte)); break;
        case TDocumentProperty::PageOrient: d.SetPageOrient(static_cast<TPageOrient>(asByte)); break;
        case TDocumentProperty::VerticalZero: d.SetVerticalZero(static_cast<TVertZero>(asByte)); break;
        case TDocumentProperty::HorizontalZero: d.SetHorizontalZero(static_cast<THorzZero>(asByte)); break;
        // The stored grid step is already in the stored system's unit: switching
        // the system must not convert it again.
        case TDocumentProperty::RulerSystem: d.SetRulerSystemKeepStep(static_cast<TRulerSystem>(asByte)); break;
        case TDocumentProperty::Guide: d.AddGuide(item.GuideKind, item.Value); break;
        }
    }
}

} // namespace DocumentSection

#pragma once
// A layer of a drawing: its name, visibility state and the colours that
// figures with the colour "by layer" (−255) take from it.

#include "platform/Canvas.h"
#include "platform/Stream.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class TFigureEngine;

enum class TLayerState : std::uint8_t { Visible = 0, Hidden = 1, Grayed = 2 };

// Anything a layer owns and frees with itself.
class TLayerItem {
public:
    virtual ~TLayerItem() = default;
};

class TLayer {
public:
    static constexpr int kMaxNameLength = 20;
    static constexpr TColor kGrayColor = 0xC0C0C0;

    explicit TLayer(const QString& name = QString(), TFigureEngine* engine = nullptr);

    QString Name() const { return FName; }
    // Names longer than 20 characters are cut.
    void SetName(const QString& name);

    TLayerState State = TLayerState::Visible;
    TFigureEngine* Engine = nullptr;
    std::uint8_t VertZero = 0;
    std::uint8_t HorzZero = 0;
    TColor PenColor = 0;
    TColor BrushColor = 255;
    TColor TextColor = 0;
    std::vector<std::unique_ptr<TLayerItem>> Items;

    bool IsVisible() const { return State != TLayerState::Hidden; }
    bool IsGrayed() const { return State == TLayerState::Grayed; }

    // The layer record: tag 180 name, tag 90 state.
    void SaveToStream(TStream& stream) const;
    // Reads a layer record to the end of the stream; other tags are skipped.
    void LoadFromStream(TStream& stream);

private:
    QString FName;
};

#include "model/Layer.h"
#include "model/TaggedStream.h"

#include <gtest/gtest.h>

namespace {

TEST(Layer, RecordHoldsNameAndStateAndIgnoresOtherTags) {
    TLayer layer(QStringLiteral("Maße"));
    layer.State = TLayerState::Grayed;
    TMemoryStream s;
    layer.SaveToStream(s);
    EXPECT_EQ(s.Data(), (std::vector<std::uint8_t>{180, 'M', 'a', 0xDF, 'e', 0, 90, 2}));

    WriteTaggedInt(21, s, 5);
    WriteTaggedDouble(230, s, 1.0);
    s.Seek(0);
    TLayer read;
    read.LoadFromStream(s);
    EXPECT_EQ(read.Name(), QStringLiteral("Maße"));
    EXPECT_EQ(read.State, TLayerState::Grayed);
}

TEST(Layer, DefaultsAndNameLimit) {
    TLayer layer(QStringLiteral("A very long layer name indeed"));
    EXPECT_EQ(layer.Name(), QStringLiteral("A very long layer na"));
    EXPECT_EQ(layer.PenColor, 0);
    EXPECT_EQ(layer.BrushColor, 255);
    EXPECT_EQ(layer.TextColor, 0);
    EXPECT_TRUE(layer.IsVisible());
}

TEST(Layer, StoredStateOutOfRangeIsClamped) {
    TMemoryStream s(std::vector<std::uint8_t>{90, 200});
    TLayer layer;
    layer.LoadFromStream(s);
    EXPECT_EQ(layer.State, TLayerState::Grayed);
}

} // namespace

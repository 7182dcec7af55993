#include "model/TaggedStream.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

TEST(TaggedStream, WritersProduceTheStoredBytes) {
    struct TCase {
        const char* name;
        std::function<void(TStream&)> write;
        std::vector<std::uint8_t> expected;
    };
    const TCase cases[] = {
        {"int tag 21 = 1", [](TStream& s) { WriteTaggedInt(21, s, 1); }, Bytes({0x15, 1, 0, 0, 0})},
        {"int tag 27 = -255", [](TStream& s) { WriteTaggedInt(27, s, -255); }, Bytes({27, 0x01, 0xFF, 0xFF, 0xFF})},
        {"byte tag 90 = 1", [](TStream& s) { WriteTaggedByte(90, s, 1); }, Bytes({90, 1})},
        {"double tag 220 = 1.0", [](TStream& s) { WriteTaggedDouble(220, s, 1.0); },
         Bytes({220, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
        {"empty blob", [](TStream& s) { WriteTaggedBlob(153, s, nullptr, 0); }, Bytes({153, 0, 0, 0, 0})},
        {"blob", [](TStream& s) { const char d[] = {7, 8}; WriteTaggedBlob(150, s, d, 2); },
         Bytes({150, 2, 0, 0, 0, 7, 8})},
        {"empty string", [](TStream& s) { WriteStr(s, QString()); }, Bytes({0})},
        {"tagged string", [](TStream& s) { WriteTaggedStr(180, s, QStringLiteral("BaseEnd")); },
         Bytes({180, 'B', 'a', 's', 'e', 'E', 'n', 'd', 0})},
        {"Windows-1252 text", [](TStream& s) { WriteStr(s, QStringLiteral("Maße €")); },
         Bytes({'M', 'a', 0xDF, 'e', ' ', 0x80, 0})},
        {"stream", [](TStream& s) { TMemoryStream src(Bytes({1, 2, 3})); src.Seek(2); WriteTaggedStream(153, s, src); },
         Bytes({153, 3, 0, 0, 0, 1, 2, 3})},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream s;
        c.write(s);
        EXPECT_EQ(s.Data(), c.expected);
    }
}

TEST(TaggedStream, PayloadShapeFollowsTheTagRange) {
    struct TCase {
        int first, last;
        TTagPayload record, section;
    };
    const TCase cases[] = {
        {0, 19, TTagPayload::None, TTagPayload::None},       {20, 89, TTagPayload::Int32, TTagPayload::Int32},
        {90, 119, TTagPayload::Byte, TTagPayload::Byte},     {120, 149, TTagPayload::Word, TTagPayload::None},
        {150, 179, TTagPayload::Blob, TTagPayload::Blob},    {180, 219, TTagPayload::String, TTagPayload::String},
        {220, 239, TTagPayload::Double, TTagPayload::Double}, {240, 255, TTagPayload::None, TTagPayload::None},
    };
    for (const TCase& c : cases)
        for (int tag = c.first; tag <= c.last; ++tag) {
            SCOPED_TRACE(tag);
            EXPECT_EQ(PayloadOfTag(static_cast<std::uint8_t>(tag), TTagDialect::Record), c.record);
            EXPECT_EQ(PayloadOfTag(static_cast<std::uint8_t>(tag), TTagDialect::DocumentSection), c.section);
        }
}

TEST(TaggedStream, ReaderWalksEveryRangeIncludingUnknownTags) {
    TMemoryStream s;
    s.WriteU8(5);    // no payload
    s.WriteU8(19);   // no payload
    WriteTaggedInt(88, s, 0x12345678);
    WriteTaggedByte(119, s, 0xAB);
    s.WriteU8(130);  // two bytes in records
    s.WriteI16(-2);
    const char blob[] = {1, 2, 3};
    WriteTaggedBlob(170, s, blob, 3);
    WriteTaggedStr(210, s, QStringLiteral("x"));
    WriteTaggedDouble(239, s, 2.5);
    s.WriteU8(240);
    s.WriteU8(255);
    s.Seek(0);

    std::vector<int> tags;
    TTaggedItem item;
    while (ReadTaggedItem(s, item)) {
        tags.push_back(item.Tag);
        switch (item.Tag) {
        case 88: EXPECT_EQ(item.AsInt(), 0x12345678); break;
        case 119: EXPECT_EQ(item.AsByte(), 0xAB); break;
        case 130: EXPECT_EQ(item.AsWord(), -2); break;
        case 170: EXPECT_EQ(item.Data, Bytes({1, 2, 3})); break;
        case 210: EXPECT_EQ(item.AsString(), QStringLiteral("x")); break;
        case 239: EXPECT_EQ(item.AsDouble(), 2.5); break;
        default: EXPECT_EQ(item.Size(), 0u); break;
        }
    }
    EXPECT_EQ(tags, (std::vector<int>{5, 19, 88, 119, 130, 170, 210, 239, 240, 255}));
    EXPECT_TRUE(s.AtEnd());
}

TEST(TaggedStream, DocumentSectionsReadNoPayloadForTwoByteTags) {
    TMemoryStream s(Bytes({130, 21, 1, 0, 0, 0}));
    TTaggedItem item;
    ASSERT_TRUE(ReadTaggedItem(s, item, TTagDialect::DocumentSection));
    EXPECT_EQ(item.Tag, 130);
    ASSERT_TRUE(ReadTaggedItem(s, item, TTagDialect::DocumentSection));
    EXPECT_EQ(item.Tag, 21);
    EXPECT_EQ(item.AsInt(), 1);
}

TEST(TaggedStream, DamagedItemsRaiseReadErrors) {
    struct TCase {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const TCase cases[] = {
        {"int cut short", Bytes({21, 1, 0})},
        {"double cut short", Bytes({220, 0, 0, 0})},
        {"byte missing", Bytes({90})},
        {"blob length missing", Bytes({150, 1, 0})},
        {"blob longer than the stream", Bytes({150, 10, 0, 0, 0, 1, 2})},
        {"negative blob length", Bytes({150, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"huge blob length", Bytes({150, 0xFF, 0xFF, 0xFF, 0x7F})},
        {"string without its 0", Bytes({181, 'a', 'b'})},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream s(c.bytes);
        TTaggedItem item;
        EXPECT_THROW(ReadTaggedItem(s, item), EReadError);
    }
}

TEST(TaggedStream, NonFiniteNumbersAreRefused) {
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(bad);
        TMemoryStream s;
        WriteTaggedDouble(222, s, bad);
        s.WriteDouble(bad);
        s.Seek(0);
        TTaggedItem item;
        ASSERT_TRUE(ReadTaggedItem(s, item));
        EXPECT_THROW(item.AsDouble(), EReadError);
        EXPECT_THROW(s.ReadDouble(), EReadError);
    }
}

TEST(TaggedStream, StringsRoundTripEveryByteButZero) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    TMemoryStream s;
    s.Write(all.data(), all.size());
    s.WriteU8(0);
    s.Seek(0);
    const QString text = ReadStr(s);
    EXPECT_EQ(text.size(), 255);
    TMemoryStream again;
    WriteStr(again, text);
    EXPECT_EQ(again.Data(), s.Data());
}

TEST(TaggedStream, ReadErrorMessageIsGerman) {
    TMemoryStream s(Bytes({150, 10, 0, 0, 0}));
    TTaggedItem item;
    try {
        ReadTaggedItem(s, item);
        FAIL() << "no error raised";
    } catch (const EReadError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Datenblock"))) << e.what();
    }
}

} // namespace

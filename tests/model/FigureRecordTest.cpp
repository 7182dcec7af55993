// The stored base record of figures: writing, reading, legacy tags and damage.
#include "support/FakeDocument.h"

#include "platform/Bmp.h"

#include <gtest/gtest.h>
#include <numbers>

namespace {

std::vector<std::uint8_t> Save(const TFigure& figure) {
    TMemoryStream s;
    figure.SaveToStream(s);
    return s.Data();
}

std::unique_ptr<TFigure> Load(const std::vector<std::uint8_t>& bytes, TFigureDocument* document = nullptr,
                              TLayer* layer = nullptr) {
    TMemoryStream s(bytes);
    return TFigure::CreateFromStream(s, layer, document, true);
}

// A base record assembled item by item, as older program versions wrote them.
class TRecordBuilder {
public:
    explicit TRecordBuilder(const QString& className, const QString& name = QStringLiteral("Fig1")) {
        WriteStr(S, className);
        WriteStr(S, name);
    }
    TRecordBuilder& Int(int tag, int value) { WriteTaggedInt(static_cast<std::uint8_t>(tag), S, value); return *this; }
    TRecordBuilder& Byte(int tag, int value) { WriteTaggedByte(static_cast<std::uint8_t>(tag), S, static_cast<std::uint8_t>(value)); return *this; }
    TRecordBuilder& Dbl(int tag, double value) { WriteTaggedDouble(static_cast<std::uint8_t>(tag), S, value); return *this; }
    TRecordBuilder& Str(int tag, const QString& value) { WriteTaggedStr(static_cast<std::uint8_t>(tag), S, value); return *this; }
    TRecordBuilder& Blob(int tag, const TMemoryStream& data) {
        WriteTaggedBlob(static_cast<std::uint8_t>(tag), S, data.Data().data(), static_cast<std::int32_t>(data.Size()));
        return *this;
    }
    TRecordBuilder& End() { return Str(180, QStringLiteral("BaseEnd")); }
    std::vector<std::uint8_t> Bytes() const { return S.Data(); }
    TMemoryStream S;
};

class FigureRecord : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFigureClass(TTestPoints::StaticClass());
        RegisterFigureClass(TTestCircle::StaticClass());
    }
    TFakeDocument Doc{3};
};

TEST_F(FigureRecord, EveryBaseAttributeSurvivesSaveAndLoadByteForByte) {
    auto f = MakeTestFigure<TTestPoints>(&Doc, Doc.LayerAt(0));
    f->FName = QStringLiteral("Träger Ø 20");
    f->FLayer = Doc.LayerAt(2);
    f->FDiagonal = true;
    f->FRowStyle = 3;
    f->FRotAngle = 0.25;
    f->FAngle = -1.5;
    f->FRadius = 7.125;
    f->FPenWidth = 3;
    f->FPenColor = kLayerColor;
    f->FPenStyle = 2;
    f->FTagNumber = 1234;
    f->FTag30 = -7;
    f->FTag31 = 99;
    f->SetPoint(1, DoublePoint(1.5, -2.25));
    f->SetPoint(2, DoublePoint(100, 200));
    f->SetPoint(3, DoublePoint(-0.001, 1e6));
    f->SetPointCount(3);
    f->FCustomStream = std::make_unique<TMemoryStream>(std::vector<std::uint8_t>{0, 1, 2, 0xFF});
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    f->FFillBitmapBytes = Bmp::Encode(picture);
    f->FInfo = QStringLiteral("Maße in mm");
    f->FCName = QStringLiteral("MyShape");

    const std::vector<std::uint8_t> first = Save(*f);
    auto g = Load(first, &Doc, Doc.LayerAt(0));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(Save(*g), first);
    EXPECT_EQ(g->FName, f->FName);
    EXPECT_EQ(g->FLayer, Doc.LayerAt(2));
    EXPECT_TRUE(g->FDiagonal);
    EXPECT_EQ(g->FRowStyle, 3);
    EXPECT_EQ(g->FRotAngle, 0.25);
    EXPECT_EQ(g->FAngle, -1.5);
    EXPECT_EQ(g->FRadius, 7.125);
    EXPECT_EQ(g->FPenColor, kLayerColor);
    EXPECT_EQ(g->FTagNumber, 1234);
    EXPECT_EQ(g->FTag30, -7);
    EXPECT_EQ(g->FTag31, 99);
    EXPECT_EQ(g->PointCount(), 3);
    EXPECT_EQ(g->GetPoint(3), DoublePoint(-0.001, 1e6));
    ASSERT_NE(g->FCustomStream, nullptr);
    EXPECT_EQ(g->FCustomStream->Data(), f->FCustomStream->Data());
    EXPECT_EQ(g->FCustomStream->Position(), 0);
    EXPECT_EQ(g->FFillBitmap.size(), QSize(3, 2));
    EXPECT_EQ(g->FInfo, f->FInfo);
    EXPECT_EQ(g->FCName, f->FCName);
    EXPECT_NE(g->FHandle, f->FHandle);
}

TEST_F(FigureRecord, ItemsFollowTheFixedOrder) {
    auto f = MakeTestFigure<TTestPoints>();
    f->FName = QStringLiteral("P");
    f->SetPoint(1, DoublePoint(1, 2));
    f->SetPointCount(1);
    const std::vector<std::uint8_t> bytes = Save(*f);
    TMemoryStream s(bytes);
    EXPECT_EQ(ReadStr(s), QStringLiteral("TTestShape4"));
    EXPECT_EQ(ReadStr(s), QStringLiteral("P"));
    std::vector<int> tags;
    TTaggedItem item;
    while (ReadTaggedItem(s, item)) tags.push_back(item.Tag);
    EXPECT_EQ(tags, (std::vector<int>{90, 91, 92, 21, 220, 221, 222, 24, 26, 27, 28, 29, 30, 31, 152, 181, 182, 180}));
}

TEST_F(FigureRecord, LegacyTagsAreConverted) {
    TMemoryStream legacyPoints;
    for (int v : {100, 250, -30, 0}) legacyPoints.WriteI32(v);
    const auto bytes = TRecordBuilder(QStringLiteral("TTestShape4"))
                           .Int(22, 900)
                           .Int(23, 450)
                           .Int(24, 2)
                           .Blob(150, legacyPoints)
                           .End()
                           .Bytes();
    auto f = Load(bytes);
    ASSERT_NE(f, nullptr);
    EXPECT_DOUBLE_EQ(f->FRotAngle, std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(f->FAngle, std::numbers::pi / 4);
    EXPECT_TRUE(f->FLegacyPoints);
    ASSERT_EQ(f->PointCount(), 2);
    EXPECT_EQ(f->GetPoint(1), DoublePoint(10, 25));
    EXPECT_EQ(f->GetPoint(2), DoublePoint(-3, 0));
}

TEST_F(FigureRecord, OnlyTheEndMarkerTagEndsTheBaseRecord) {
    const auto bytes = TRecordBuilder(QStringLiteral("TTestShape4"))
                           .Str(181, QStringLiteral("BaseEnd"))
                           .Str(182, QStringLiteral("BaseEnd"))
                           .Int(30, 5)
                           .End()
                           .Int(40, 1)
                           .Dbl(220, 2.0)
                           .Bytes();
    auto f = Load(bytes);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->FInfo, QStringLiteral("BaseEnd"));
    EXPECT_EQ(f->FCName, QStringLiteral("BaseEnd"));
    EXPECT_EQ(f->FTag30, 5);
    // The items after the marker belong to the class and do not touch the base.
    EXPECT_EQ(static_cast<TTestPoints&>(*f).ExtraTags, (std::vector<int>{40, 220}));
    EXPECT_EQ(f->FRotAngle, 0.0);
}

TEST_F(FigureRecord, LayerIndexOutsideTheDocumentKeepsTheGivenLayer) {
    for (int index : {-1, 3, 1000}) {
        SCOPED_TRACE(index);
        auto f = Load(TRecordBuilder(QStringLiteral("TTestShape4")).Int(21, index).End().Bytes(), &Doc,
                      Doc.LayerAt(1));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->FLayer, Doc.LayerAt(1));
    }
}

TEST_F(FigureRecord, UnknownClassIsSkippedAndTheNextRecordStillLoads) {
    // A figure list as the drawing file holds it: a count, then one blob per record.
    auto known = MakeTestFigure<TTestCircle>();
    known->FName = QStringLiteral("C1");
    known->FRadius = 5;
    const auto knownBytes = Save(*known);
    const auto unknownBytes = TRecordBuilder(QStringLiteral("TNoSuchFigure")).Int(24, 0).End().Int(50, 1).Bytes();
    TMemoryStream list;
    list.WriteI32(3);
    for (const auto* record : {&knownBytes, &unknownBytes, &knownBytes}) {
        list.WriteI32(static_cast<std::int32_t>(record->size()));
        list.WriteBytes(*record);
    }
    list.Seek(0);
    std::vector<std::unique_ptr<TFigure>> figures;
    const int count = list.ReadI32();
    for (int i = 0; i < count; ++i) {
        TMemoryStream record(list.ReadBytes(static_cast<std::size_t>(list.ReadI32())));
        if (auto f = TFigure::CreateFromStream(record, nullptr, nullptr, true)) figures.push_back(std::move(f));
    }
    ASSERT_EQ(figures.size(), 2u);
    for (const auto& f : figures) EXPECT_EQ(f->FRadius, 5);
}

TEST_F(FigureRecord, LastRegisteredClassOfANameWins) {
    static const TFigureClass first = MakeFigureClass<TTestPoints>(QStringLiteral("TTwice"), 4);
    static const TFigureClass second = MakeFigureClass<TTestCircle>(QStringLiteral("TTwice"), 3);
    RegisterFigureClass(first);
    RegisterFigureClass(second);
    RegisterFigureClass(first); // already there: not added again
    EXPECT_EQ(FindFigureClass(QStringLiteral("TTwice")), &second);
    EXPECT_EQ(FindFigureClass(QStringLiteral("ttwice")), nullptr);
}

TEST_F(FigureRecord, DamagedRecordsRaiseReadErrorsThatNameTheProblem) {
    TMemoryStream shortPoints;
    shortPoints.WriteI32(1);
    struct TCase {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* message;
    };
    const TCase cases[] = {
        {"legacy points announced but missing",
         TRecordBuilder(QStringLiteral("TTestShape4")).Int(24, 1000000).Blob(150, shortPoints).End().Bytes(),
         "Punkte"},
        {"class name without end", std::vector<std::uint8_t>{'T', 'L'}, "Zeichenkette"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            Load(c.bytes);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.message))) << e.what();
        }
    }
}

TEST_F(FigureRecord, EveryTruncationFailsCleanly) {
    auto f = MakeTestFigure<TTestPoints>();
    f->SetPoint(1, DoublePoint(1, 2));
    f->SetPointCount(1);
    f->FInfo = QStringLiteral("info");
    const auto bytes = Save(*f);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        try {
            auto g = Load(cut);
            if (g) {
                EXPECT_LE(g->PointCount(), 1);
            }
        } catch (const EReadError&) {
        }
    }
}

TEST_F(FigureRecord, PointCountNeverExceedsThePointsHeld) {
    const auto bytes = TRecordBuilder(QStringLiteral("TTestShape4")).Int(24, 2000000000).End().Bytes();
    auto f = Load(bytes);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->PointCount(), 0);
    TDoublePointArr points;
    f->GetPoints(points);
    EXPECT_TRUE(points.empty());
}

TEST_F(FigureRecord, UndecodableFillPictureIsKeptUnchanged) {
    TMemoryStream junk(std::vector<std::uint8_t>{'B', 'M', 1, 2, 3});
    const auto bytes = TRecordBuilder(QStringLiteral("TTestShape4")).Blob(154, junk).End().Bytes();
    auto f = Load(bytes);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->FFillBitmap.isNull());
    EXPECT_EQ(f->FFillBitmapBytes, junk.Data());
    auto g = Load(Save(*f));
    EXPECT_EQ(g->FFillBitmapBytes, junk.Data());
}

TEST_F(FigureRecord, CloneIsAnEqualCopyOfTheSameClass) {
    auto f = MakeTestFigure<TTestCircle>(&Doc, Doc.LayerAt(1));
    f->SetPoint(1, DoublePoint(3, 4));
    f->SetPointCount(1);
    f->FRadius = 2;
    f->FInfo = QStringLiteral("x");
    auto c = f->Clone();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(&c->Class(), &f->Class());
    EXPECT_EQ(Save(*c), Save(*f));
    EXPECT_EQ(c->FLayer, Doc.LayerAt(1));
}

} // namespace

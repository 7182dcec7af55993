// Groups and blocks: the stored record, reading (unknown members, nesting
// limit, reload mode), the member tree (blocks counted, leaves), copies and
// dissolving.
#include "support/FakeDocument.h"

#include "model/Circle.h"
#include "model/Group.h"
#include "model/Line.h"
#include "model/PopupMenu.h"
#include "model/Rectangle.h"
#include "model/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {

std::vector<std::uint8_t> Save(const TFigure& figure) {
    TMemoryStream out;
    figure.SaveToStream(out);
    return out.TakeData();
}

std::unique_ptr<TFigure> Load(const std::vector<std::uint8_t>& bytes, TFigureDocument* doc) {
    TMemoryStream in(bytes);
    return TFigure::CreateFromStream(in, doc ? doc->LayerAt(0) : nullptr, doc, true);
}

std::vector<TTaggedItem> ItemsAfterBase(const std::vector<std::uint8_t>& record) {
    static const std::uint8_t marker[] = {180, 'B', 'a', 's', 'e', 'E', 'n', 'd', 0};
    const auto it = std::search(record.begin(), record.end(), marker, marker + sizeof marker);
    std::vector<TTaggedItem> items;
    if (it == record.end()) return items;
    TMemoryStream in(std::vector<std::uint8_t>(it + static_cast<std::ptrdiff_t>(sizeof marker), record.end()));
    TTaggedItem item;
    while (ReadTaggedItem(in, item)) items.push_back(item);
    return items;
}

TFigureGrp* AsGroup(TFigure* f) { return dynamic_cast<TFigureGrp*>(f); }

class GroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const TFigureClass* cls : {&TFigureGrp::StaticClass(), &TBlock::StaticClass(), &TLine::StaticClass(),
                                        &TRectangle::StaticClass(), &TCircle::StaticClass(), &TText::StaticClass()})
            RegisterFigureClass(*cls);
    }

    TLayer* Layer() { return Doc.LayerAt(0); }
    std::unique_ptr<TRectangle> Rect(double x1, double y1, double x2, double y2) {
        return TRectangle::Create(1, 0x000080, 0, 0x00FF00, static_cast<int>(TBrushStyle::bsSolid), &Doc, true,
                                  Layer(), x1, y1, x2, y2);
    }
    std::unique_ptr<TLine> Line(double x1, double y1, double x2, double y2) {
        return TLine::Create(1, &Doc, true, Layer(), TRowStyle::rsNone, 0, 0, x1, y1, x2, y2);
    }
    std::unique_ptr<TFigureGrp> Group() { return TFigureGrp::Create(Layer(), &Doc); }
    std::unique_ptr<TBlock> Block(const QString& name) { return TBlock::Create(name, Layer(), &Doc); }

    // A line, a rectangle, a circle, a nested combined group of two
    // rectangles and a block holding a line.
    std::unique_ptr<TFigureGrp> MixedTree() {
        auto group = Group();
        group->Add(Line(0, 0, 10, 5));
        group->Add(Rect(2, 2, 8, 9));
        group->Add(TCircle::Create(Layer(), &Doc, true, DoublePoint(20, 20), 5));
        auto nested = Group();
        nested->Add(Rect(30, 30, 40, 40));
        nested->Add(Rect(35, 35, 45, 45));
        nested->SetCombined(true);
        nested->RecalcBounds();
        group->Add(std::move(nested));
        auto block = Block(QStringLiteral("Schraube"));
        block->Add(Line(-5, -5, 0, 0));
        block->RecalcBounds();
        group->Add(std::move(block));
        group->RecalcBounds();
        return group;
    }

    TFakeDocument Doc;
};

// --- the record ---

TEST_F(GroupTest, RecordHoldsCornersCountCombinedFlagAndMemberRecords) {
    auto group = Group();
    auto line = Line(0, 0, 10, 5);
    auto rect = Rect(2, -3, 8, 9);
    const std::vector<std::uint8_t> lineRecord = Save(*line);
    const std::vector<std::uint8_t> rectRecord = Save(*rect);
    group->Add(std::move(line));
    group->Add(std::move(rect));
    group->RecalcBounds();
    EXPECT_EQ(group->GetPoint(1), DoublePoint(0, -3));
    EXPECT_EQ(group->GetPoint(2), DoublePoint(10, -3));
    EXPECT_EQ(group->GetPoint(3), DoublePoint(10, 9));
    EXPECT_EQ(group->GetPoint(4), DoublePoint(0, 9));

    for (bool combined : {false, true}) {
        SCOPED_TRACE(combined);
        group->SetCombined(combined);
        const std::vector<TTaggedItem> items = ItemsAfterBase(Save(*group));
        ASSERT_EQ(items.size(), combined ? 4u : 3u);
        EXPECT_EQ(items[0].Tag, 20);
        EXPECT_EQ(items[0].AsInt(), 2);
        std::size_t next = 1;
        if (combined) {
            EXPECT_EQ(items[1].Tag, 90);
            EXPECT_EQ(items[1].AsByte(), 1);
            next = 2;
        }
        EXPECT_EQ(items[next].Tag, 150);
        EXPECT_EQ(items[next].Data, lineRecord);
        EXPECT_EQ(items[next + 1].Tag, 150);
        EXPECT_EQ(items[next + 1].Data, rectRecord);
    }
}

TEST_F(GroupTest, BlockItemsFollowTheGroupRecord) {
    Doc.Scale = 20;
    auto block = Block(QStringLiteral("Mutter"));
    block->Add(Line(0, 0, 1, 1));
    block->SetMapScale(50);
    const std::vector<TTaggedItem> items = ItemsAfterBase(Save(*block));
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].Tag, 20);
    EXPECT_EQ(items[1].Tag, 150);
    EXPECT_EQ(items[2].Tag, 180);
    EXPECT_EQ(items[2].AsString(), QStringLiteral("Mutter"));
    EXPECT_EQ(items[3].Tag, 95);
    EXPECT_EQ(items[4].Tag, 96);
    EXPECT_EQ(items[5].Tag, 25);
    EXPECT_EQ(items[5].AsInt(), 50);
}

TEST_F(GroupTest, SaveLoadSaveKeepsTheTreeByteForByte) {
    auto group = MixedTree();
    const std::vector<std::uint8_t> first = Save(*group);
    std::unique_ptr<TFigure> loaded = Load(first, &Doc);
    ASSERT_NE(AsGroup(loaded.get()), nullptr);
    EXPECT_EQ(Save(*loaded), first);

    TFigureGrp& copy = *AsGroup(loaded.get());
    ASSERT_EQ(copy.Count(), 5);
    EXPECT_EQ(copy.Member(0)->Class().Name, QStringLiteral("TLine"));
    EXPECT_EQ(copy.Member(2)->Class().Name, QStringLiteral("TCircle"));
    auto* nested = AsGroup(copy.Member(3));
    ASSERT_NE(nested, nullptr);
    EXPECT_TRUE(nested->Combined());
    // The nested group's members are still drawn into its path.
    EXPECT_TRUE(nested->Member(0)->FInCombined);
    EXPECT_TRUE(nested->Member(1)->FInCombined);
    auto* block = dynamic_cast<TBlock*>(copy.Member(4));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->BlockName(), QStringLiteral("Schraube"));
    EXPECT_EQ(block->FClassName, QStringLiteral("Schraube"));
    EXPECT_EQ(block->Count(), 1);
    EXPECT_EQ(copy.GetPoint(1), DoublePoint(-5, -5));
    EXPECT_EQ(copy.GetPoint(3), DoublePoint(45, 45));
}

TEST_F(GroupTest, MembersOfAnUnknownClassAreLeftOut) {
    auto group = Group();
    group->Add(Line(0, 0, 10, 0));
    group->Add(Rect(0, 0, 4, 4));
    std::vector<std::uint8_t> record = Save(*group);
    // Rename the rectangle's class inside its blob to a class nobody knows
    // (same length, so the blob length stays right).
    const QByteArray from("TRectangle");
    const QByteArray to("TUnknownXY");
    auto it = std::search(record.begin(), record.end(), from.begin(), from.end());
    ASSERT_NE(it, record.end());
    std::copy(to.begin(), to.end(), it);
    std::unique_ptr<TFigure> loaded = Load(record, &Doc);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(AsGroup(loaded.get())->Count(), 1);
    EXPECT_EQ(AsGroup(loaded.get())->Member(0)->Class().Name, QStringLiteral("TLine"));
}

TEST_F(GroupTest, NestingDeeperThanTheLimitIsRefused) {
    const auto nestedRecord = [this](int depth) {
        auto inner = Group();
        inner->Add(Line(0, 0, 1, 1));
        for (int i = 1; i < depth; ++i) {
            auto outer = Group();
            outer->Add(std::move(inner));
            inner = std::move(outer);
        }
        return Save(*inner);
    };
    EXPECT_NE(Load(nestedRecord(TFigureGrp::kMaxReadNesting), &Doc), nullptr);
    try {
        Load(nestedRecord(TFigureGrp::kMaxReadNesting + 1), &Doc);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("zu tief verschachtelte Gruppen")));
    }
    // The limit counts the nesting of the current read only.
    EXPECT_NE(Load(nestedRecord(3), &Doc), nullptr);
}

TEST_F(GroupTest, DamagedMemberBlobIsRefused) {
    auto group = Group();
    group->Add(Line(0, 0, 10, 0));
    std::vector<std::uint8_t> record = Save(*group);
    record.resize(record.size() - 5); // the member blob is cut short
    EXPECT_THROW(Load(record, &Doc), EReadError);
}

// --- damaged records ---

// A figure record put together item by item, as a damaged file may hold it.
class TRecordBuilder {
public:
    explicit TRecordBuilder(const char* className, const char* name = "X") {
        WriteStr(*FStream, QString::fromLatin1(className));
        WriteStr(*FStream, QString::fromLatin1(name));
    }
    TRecordBuilder& Int(std::uint8_t tag, std::int32_t value) {
        WriteTaggedInt(tag, *FStream, value);
        return *this;
    }
    TRecordBuilder& Byte(std::uint8_t tag, std::uint8_t value) {
        WriteTaggedByte(tag, *FStream, value);
        return *this;
    }
    TRecordBuilder& Double(std::uint8_t tag, double value) {
        WriteTaggedDouble(tag, *FStream, value);
        return *this;
    }
    TRecordBuilder& Str(std::uint8_t tag, const char* text) {
        WriteTaggedStr(tag, *FStream, QString::fromLatin1(text));
        return *this;
    }
    TRecordBuilder& Points(std::initializer_list<TDoublePoint> points) {
        TMemoryStream blob;
        for (const TDoublePoint& p : points) {
            blob.WriteDouble(p.X);
            blob.WriteDouble(p.Y);
        }
        WriteTaggedStream(152, *FStream, blob);
        return *this;
    }
    TRecordBuilder& BaseEnd() { return Str(180, "BaseEnd"); }
    TRecordBuilder& Member(const std::vector<std::uint8_t>& record) {
        WriteTaggedBlob(150, *FStream, record.data(), static_cast<std::int32_t>(record.size()));
        return *this;
    }
    std::vector<std::uint8_t> Bytes() const { return FStream->Data(); }

private:
    std::unique_ptr<TMemoryStream> FStream = std::make_unique<TMemoryStream>();
};

TRecordBuilder GroupHead(const char* className = "TFigureGrp") {
    TRecordBuilder record(className, "Gruppe1");
    record.Int(24, 4)
        .Points({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 5), DoublePoint(0, 5)})
        .BaseEnd();
    return record;
}

double BoundsMaxX(const TFigure& figure) {
    double maxX, maxY, minX, minY;
    figure.GetBounds(maxX, maxY, minX, minY);
    return maxX;
}

// Records that state fewer points than they hold: the points beyond the count
// are not written back, so such a member's box changes once it is saved and
// read again. They carry their tag number (29), so that each reading gives
// the same record.
std::vector<std::uint8_t> LineStatingOnePoint() {
    return TRecordBuilder("TLine")
        .Int(29, 501)
        .Points({DoublePoint(0, 0), DoublePoint(10, 5)})
        .Int(24, 1)
        .BaseEnd()
        .Bytes();
}
std::vector<std::uint8_t> RectangleStatingOnePoint() {
    return TRecordBuilder("TRectangle")
        .Int(29, 502)
        .Points({DoublePoint(0, 0), DoublePoint(25, 0), DoublePoint(25, 20), DoublePoint(0, 20)})
        .Int(24, 1)
        .BaseEnd()
        .Bytes();
}
std::vector<std::uint8_t> CircleStatingNoPoint() {
    return TRecordBuilder("TCircle")
        .Int(29, 503)
        .Points({DoublePoint(40, 40)})
        .Int(24, 0)
        .Double(222, 5)
        .BaseEnd()
        .Bytes();
}

class GroupRecordTest : public GroupTest {
protected:
    // Reads the record, writes it, reads that and writes it again: the two
    // writes must agree. Returns the figure read first.
    std::unique_ptr<TFigure> LoadStably(const std::vector<std::uint8_t>& record) {
        std::unique_ptr<TFigure> figure = Load(record, &Doc);
        if (!figure) {
            ADD_FAILURE() << "the record was not read";
            return nullptr;
        }
        const std::vector<std::uint8_t> first = Save(*figure);
        std::unique_ptr<TFigure> again = Load(first, &Doc);
        if (!again) {
            ADD_FAILURE() << "the written record was not read";
            return figure;
        }
        EXPECT_EQ(Save(*again), first);
        return figure;
    }
};

TEST_F(GroupRecordTest, DamagedGroupRecordsWriteBackStably) {
    const std::vector<std::uint8_t> line = Save(*Line(0, 0, 10, 5));
    auto combinedNested = Group();
    combinedNested->Add(Rect(30, 30, 40, 40));
    combinedNested->Add(Rect(35, 35, 45, 45));
    combinedNested->SetCombined(true);
    const std::vector<std::uint8_t> nested = Save(*combinedNested);
    const std::vector<std::uint8_t> unknown = TRecordBuilder("TNirgends").Int(24, 1).BaseEnd().Bytes();
    const std::vector<std::uint8_t> nestedWithShortLine =
        GroupHead().Int(20, 1).Member(LineStatingOnePoint()).Bytes();

    struct TCase {
        const char* What;
        std::vector<std::uint8_t> Record;
        std::function<void(TFigureGrp&)> Check;
    };
    const std::vector<TCase> cases = {
        {"count above the member blobs", GroupHead().Int(20, 7).Member(line).Bytes(),
         [](TFigureGrp& g) {
             EXPECT_EQ(g.Count(), 1);
             EXPECT_EQ(ItemsAfterBase(Save(g))[0].AsInt(), 1);
         }},
        {"negative count", GroupHead().Int(20, -3).Member(line).Member(line).Bytes(),
         [](TFigureGrp& g) { EXPECT_EQ(g.Count(), 2); }},
        {"corners far from the members",
         TRecordBuilder("TFigureGrp")
             .Int(24, 4)
             .Points(
                 {DoublePoint(100, 100), DoublePoint(900, 100), DoublePoint(900, 700), DoublePoint(-4, 1)})
             .BaseEnd()
             .Int(20, 1)
             .Member(line)
             .Bytes(),
         [](TFigureGrp& g) {
             EXPECT_EQ(g.GetPoint(1), DoublePoint(0, 0));
             EXPECT_EQ(g.GetPoint(3), DoublePoint(10, 5));
         }},
        {"combined byte 2", GroupHead().Int(20, 1).Byte(90, 2).Member(line).Bytes(),
         [](TFigureGrp& g) {
             EXPECT_FALSE(g.Combined());
             EXPECT_FALSE(g.Member(0)->FInCombined);
         }},
        {"combined byte 255", GroupHead().Int(20, 1).Byte(90, 255).Member(line).Bytes(),
         [](TFigureGrp& g) { EXPECT_FALSE(g.Combined()); }},
        {"combined flag after the members", GroupHead().Member(line).Member(nested).Byte(90, 1).Bytes(),
         [](TFigureGrp& g) {
             EXPECT_TRUE(g.Combined());
             EXPECT_TRUE(g.Member(0)->FInCombined);
             // The nested combined group gives way to the outer one.
             EXPECT_FALSE(AsGroup(g.Member(1))->Combined());
             EXPECT_TRUE(AsGroup(g.Member(1))->Member(0)->FInCombined);
         }},
        {"combined group inside a combined group", GroupHead().Int(20, 1).Byte(90, 1).Member(nested).Bytes(),
         [](TFigureGrp& g) {
             EXPECT_TRUE(g.Combined());
             EXPECT_FALSE(AsGroup(g.Member(0))->Combined());
         }},
        {"combined set and cleared again", GroupHead().Byte(90, 1).Member(nested).Byte(90, 0).Bytes(),
         [](TFigureGrp& g) {
             EXPECT_FALSE(g.Combined());
             EXPECT_FALSE(AsGroup(g.Member(0))->Member(0)->FInCombined);
         }},
        {"member of an unknown class", GroupHead().Int(20, 2).Member(unknown).Member(line).Bytes(),
         [](TFigureGrp& g) { EXPECT_EQ(g.Count(), 1); }},
        {"group record without members", GroupHead().Int(20, 3).Byte(90, 1).Bytes(),
         [](TFigureGrp& g) {
             EXPECT_EQ(g.Count(), 0);
             EXPECT_EQ(g.GetPoint(3), DoublePoint(0, 0));
         }},
        {"no end marker: the member blob is taken for old points",
         TRecordBuilder("TFigureGrp").Int(24, 4).Int(20, 1).Member(line).Bytes(),
         [](TFigureGrp& g) { EXPECT_EQ(g.Count(), 0); }},
        {"line member stating fewer points than it holds",
         GroupHead().Int(20, 1).Member(LineStatingOnePoint()).Bytes(), nullptr},
        {"rectangle member stating fewer points than it holds",
         GroupHead().Int(20, 2).Member(line).Member(RectangleStatingOnePoint()).Byte(90, 1).Bytes(), nullptr},
        {"circle member stating no point", GroupHead().Int(20, 1).Member(CircleStatingNoPoint()).Bytes(),
         nullptr},
        {"nested group holding such a member",
         GroupHead().Int(20, 2).Member(line).Member(nestedWithShortLine).Bytes(), nullptr},
        {"block holding such a member, odd zero origins",
         GroupHead("TBlock")
             .Int(20, 1)
             .Member(RectangleStatingOnePoint())
             .Str(180, "Winkel")
             .Byte(95, 7)
             .Byte(96, 200)
             .Int(25, -4)
             .Bytes(),
         [](TFigureGrp& g) {
             auto& block = dynamic_cast<TBlock&>(g);
             EXPECT_EQ(block.BlockName(), QStringLiteral("Winkel"));
             EXPECT_EQ(block.MapScale(), -4);
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        std::unique_ptr<TFigure> figure = LoadStably(c.Record);
        TFigureGrp* group = AsGroup(figure.get());
        ASSERT_NE(group, nullptr);
        // The corners are the members' box as reading the written record gives it.
        const std::unique_ptr<TFigure> again = Load(Save(*group), &Doc);
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(group->GetPoint(i), again->GetPoint(i)) << i;
        if (c.Check) c.Check(*group);
    }
}

TEST_F(GroupRecordTest, MemberStatingFewerPointsIsHeldAsItsWrittenRecordReadsBack) {
    for (const auto& member : {LineStatingOnePoint(), RectangleStatingOnePoint(), CircleStatingNoPoint()}) {
        std::unique_ptr<TFigure> alone = Load(member, &Doc);
        ASSERT_NE(alone, nullptr);
        SCOPED_TRACE(alone->Class().Name.toStdString());
        const std::unique_ptr<TFigure> reread = Load(Save(*alone), &Doc);
        // Read alone, the member's box changes once it has been written and read.
        ASSERT_NE(BoundsMaxX(*alone), BoundsMaxX(*reread));

        std::unique_ptr<TFigure> loaded = Load(GroupHead().Int(20, 1).Member(member).Bytes(), &Doc);
        TFigureGrp& group = *AsGroup(loaded.get());
        ASSERT_EQ(group.Count(), 1);
        EXPECT_EQ(BoundsMaxX(*group.Member(0)), BoundsMaxX(*reread));
        EXPECT_EQ(BoundsMaxX(group), BoundsMaxX(*reread));
        EXPECT_EQ(Save(*group.Member(0)), Save(*reread));
    }
}

TEST_F(GroupRecordTest, MemberBlobThatFailsToReadRefusesTheGroup) {
    const std::vector<std::uint8_t> emptyBlob;
    std::vector<std::uint8_t> cutLine = Save(*Line(0, 0, 10, 5));
    cutLine.resize(cutLine.size() - 3);
    // Old points announced for four points, but only one is held.
    std::vector<std::uint8_t> shortOldPoints = TRecordBuilder("TLine").Int(24, 4).Bytes();
    const std::uint8_t oldPoints[] = {150, 8, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    shortOldPoints.insert(shortOldPoints.end(), std::begin(oldPoints), std::end(oldPoints));
    for (const auto& member : {emptyBlob, cutLine, shortOldPoints}) {
        EXPECT_THROW(Load(GroupHead().Int(20, 1).Member(member).Bytes(), &Doc), EReadError);
        // Nested one level deeper the whole record is refused all the same.
        const std::vector<std::uint8_t> inner = GroupHead().Int(20, 1).Member(member).Bytes();
        EXPECT_THROW(Load(GroupHead().Int(20, 1).Member(inner).Bytes(), &Doc), EReadError);
    }
}

TEST_F(GroupRecordTest, RecordsThisProgramWroteReadBackUnchanged) {
    for (bool combined : {false, true}) {
        SCOPED_TRACE(combined);
        auto block = Block(QStringLiteral("Baugruppe"));
        auto tree = MixedTree();
        tree->SetCombined(combined);
        block->Add(std::move(tree));
        block->Add(Rect(-20, -10, 0, 0));
        block->SetMapScale(10);
        block->RecalcBounds();
        const std::vector<std::uint8_t> record = Save(*block);
        std::unique_ptr<TFigure> loaded = Load(record, &Doc);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(Save(*loaded), record);
        EXPECT_EQ(AsGroup(AsGroup(loaded.get())->Member(0))->Combined(), combined);
    }
}

// --- reload mode ---

TEST_F(GroupTest, ReloadRefillsTheSameMemberObjects) {
    auto group = MixedTree();
    const std::vector<std::uint8_t> record = Save(*group);
    std::vector<TFigure*> before;
    for (int i = 0; i < group->Count(); ++i) before.push_back(group->Member(i));
    TFigure* nestedMember = AsGroup(group->Member(3))->Member(1);

    group->Move(100, 50);
    group->Member(1)->SetAttribute(0, 0x123456);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        group->SetReloadMode(true);
        EXPECT_TRUE(AsGroup(group->Member(3))->ReloadMode());
        TMemoryStream in(record);
        ReadStr(in);
        group->LoadBase(in);
        group->SetReloadMode(false);
        ASSERT_EQ(group->Count(), 5);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(group->Member(i), before[static_cast<std::size_t>(i)]);
        EXPECT_EQ(AsGroup(group->Member(3))->Member(1), nestedMember);
        EXPECT_EQ(Save(*group), record);
        EXPECT_EQ(group->Member(1)->FPenColor, 0x000080);
        EXPECT_EQ(nestedMember->GetPoint(1), DoublePoint(35, 35));
        EXPECT_TRUE(nestedMember->FInCombined);
        double maxX, maxY, minX, minY;
        group->GetBounds(maxX, maxY, minX, minY);
        EXPECT_EQ(minX, -5);
        EXPECT_EQ(maxX, 45);
    }
}

TEST_F(GroupTest, ReloadWithMoreMembersThanTheGroupHasIsRefused) {
    auto big = Group();
    big->Add(Line(0, 0, 1, 1));
    big->Add(Line(0, 0, 2, 2));
    auto small = Group();
    small->Add(Line(0, 0, 3, 3));
    small->SetReloadMode(true);
    TMemoryStream in(Save(*big));
    ReadStr(in);
    EXPECT_THROW(small->LoadBase(in), EReadError);
}

// --- the member tree ---

TEST_F(GroupTest, CountBlocksLooksIntoGroupsButNotIntoBlocks) {
    auto group = Group();
    group->Add(Block(QStringLiteral("A")));
    auto plain = Group();
    plain->Add(Block(QStringLiteral("A")));
    group->Add(std::move(plain));
    auto other = Block(QStringLiteral("B"));
    other->Add(Block(QStringLiteral("A")));
    group->Add(std::move(other));
    EXPECT_EQ(group->CountBlocks(QStringLiteral("A")), 2);
    EXPECT_EQ(group->CountBlocks(QStringLiteral("B")), 1);
    EXPECT_EQ(group->CountBlocks(QStringLiteral("a")), 0);
}

TEST_F(GroupTest, CollectLeavesStopsAtCombinedGroups) {
    auto group = MixedTree();
    std::vector<TFigure*> leaves;
    group->CollectLeaves(leaves);
    TFigure* nested = group->Member(3);
    TFigureGrp* block = AsGroup(group->Member(4));
    const std::vector<TFigure*> expected = {group->Member(0), group->Member(1), group->Member(2), nested,
                                            block->Member(0)};
    EXPECT_EQ(leaves, expected);

    leaves.clear();
    group->SetCombined(true); // the nested group is no longer combined itself
    group->CollectLeaves(leaves);
    EXPECT_EQ(leaves, std::vector<TFigure*>{group.get()});
}

TEST_F(GroupTest, CombinedMarksMembersAndANestedCombinedGroupGivesWay) {
    auto group = MixedTree();
    auto* nested = AsGroup(group->Member(3));
    ASSERT_TRUE(nested->Combined());
    EXPECT_FALSE(group->Member(0)->FInCombined);
    group->SetCombined(true);
    EXPECT_FALSE(nested->Combined());
    for (int i = 0; i < group->Count(); ++i) EXPECT_TRUE(group->Member(i)->FInCombined) << i;
    EXPECT_TRUE(nested->Member(0)->FInCombined);
    group->SetCombined(false);
    for (int i = 0; i < group->Count(); ++i) EXPECT_FALSE(group->Member(i)->FInCombined) << i;
    EXPECT_FALSE(nested->Member(0)->FInCombined);
}

// --- copies ---

TEST_F(GroupTest, CloneIsADeepCopyWithTheSameRecord) {
    auto group = MixedTree();
    group->SetCombined(true);
    std::unique_ptr<TFigure> copy = group->Clone();
    auto* g = AsGroup(copy.get());
    ASSERT_NE(g, nullptr);
    EXPECT_TRUE(g->Combined());
    ASSERT_EQ(g->Count(), group->Count());
    std::set<const TFigure*> originals;
    for (int i = 0; i < group->Count(); ++i) originals.insert(group->Member(i));
    for (int i = 0; i < g->Count(); ++i) {
        EXPECT_EQ(originals.count(g->Member(i)), 0u);
        EXPECT_TRUE(g->Member(i)->FInCombined);
        EXPECT_EQ(g->Member(i)->Class().Name, group->Member(i)->Class().Name);
    }
    EXPECT_EQ(g->GetBoundsRect().Left, -5);
    // Changing the copy leaves the source alone.
    g->Move(10, 0);
    EXPECT_EQ(group->GetBoundsRect().Left, -5);
}

TEST_F(GroupTest, CopiedBlockKeepsNameScaleInfoAndCombinedFlag) {
    auto block = Block(QStringLiteral("Flansch"));
    block->Add(Rect(0, 0, 10, 10));
    block->Add(Rect(5, 5, 15, 15));
    block->SetMapScale(25);
    block->FInfo = QStringLiteral("Norm");
    block->SetCombined(true);
    std::unique_ptr<TFigure> copy = block->Clone();
    auto* b = dynamic_cast<TBlock*>(copy.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->BlockName(), QStringLiteral("Flansch"));
    EXPECT_EQ(b->FClassName, QStringLiteral("Flansch"));
    EXPECT_EQ(b->MapScale(), 25);
    EXPECT_EQ(b->FInfo, QStringLiteral("Norm"));
    EXPECT_TRUE(b->Combined());
    EXPECT_EQ(b->Count(), 2);
    EXPECT_NE(b->Member(0), block->Member(0));
    EXPECT_EQ(b->GetBoundsRect().Right, 15);
}

TEST_F(GroupTest, BlockNamesTypeNamesAndScale) {
    Doc.Scale = 50;
    auto group = Group();
    EXPECT_EQ(group->GetTypeName(), QStringLiteral("FigureGrp"));
    EXPECT_EQ(group->ShapeKind(), 0);
    EXPECT_EQ(group->PointCount(), 4);
    EXPECT_EQ(group->FBrushColor, 0xFFFFFF);
    EXPECT_EQ(group->FPenWidth, 1);

    auto block = Block(QStringLiteral("Ventil"));
    EXPECT_EQ(block->GetTypeName(), QStringLiteral("Block"));
    EXPECT_EQ(block->FClassName, QStringLiteral("Ventil"));
    ASSERT_TRUE(block->FName.startsWith(QStringLiteral("Ventil")));
    bool digits = false;
    block->FName.mid(6).toLongLong(&digits);
    EXPECT_TRUE(digits);
    EXPECT_EQ(block->MapScale(), 50);

    SetBlockAdjustScale(false);
    EXPECT_EQ(Block(QStringLiteral("X"))->MapScale(), 1);
    SetBlockAdjustScale(true);
    // A block read back takes the stored scale, whatever the document's.
    block->SetMapScale(7);
    std::unique_ptr<TFigure> loaded = Load(Save(*block), &Doc);
    EXPECT_EQ(dynamic_cast<TBlock*>(loaded.get())->MapScale(), 7);
}

// --- dissolving ---

TEST_F(GroupTest, UngroupThenTakeMembersLeavesEveryMemberOwnedOnce) {
    auto group = MixedTree();
    group->SetCombined(true);
    group->Select();
    std::vector<TFigure*> members;
    for (int i = 0; i < group->Count(); ++i) members.push_back(group->Member(i));
    group->Ungroup();
    EXPECT_TRUE(group->Ungrouped());
    EXPECT_FALSE(group->Combined());
    EXPECT_FALSE(group->FSelected);
    EXPECT_EQ(Doc.Handles.Count(), 0);

    std::vector<std::unique_ptr<TFigure>> taken = group->TakeMembers();
    EXPECT_EQ(group->Count(), 0);
    ASSERT_EQ(taken.size(), members.size());
    for (std::size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(taken[i].get(), members[i]);
        EXPECT_FALSE(taken[i]->FInCombined);
    }
    // The emptied group neither reaches nor frees the taken figures.
    double maxX, maxY, minX, minY;
    group->GetBounds(maxX, maxY, minX, minY);
    EXPECT_EQ(maxX, 0);
    group.reset();
    EXPECT_EQ(taken[0]->Class().Name, QStringLiteral("TLine"));
}

class TRecordingMenu : public TPopupMenuBuilder {
public:
    void AddItem(const QString& caption, int tag, bool checked, bool) override {
        Items.push_back({caption, tag, checked});
    }
    struct TItem {
        QString Caption;
        int Tag;
        bool Checked;
    };
    std::vector<TItem> Items;
};

TEST_F(GroupTest, PopupItemsToggleCombineAndRatioAndDissolve) {
    auto group = MixedTree();
    TRecordingMenu menu;
    int nextTag = 40;
    group->AddPopupItems(menu, nextTag);
    EXPECT_EQ(nextTag, 43);
    ASSERT_EQ(menu.Items.size(), 3u);
    EXPECT_EQ(menu.Items[0].Caption, QStringLiteral("Kombinieren"));
    EXPECT_FALSE(menu.Items[0].Checked);
    EXPECT_EQ(menu.Items[1].Caption, QStringLiteral("Gruppe aufheben"));
    EXPECT_EQ(menu.Items[2].Caption, QStringLiteral("Keep Ratio"));
    EXPECT_EQ(menu.Items[2].Tag, 42);
    group->PopupItemClicked(40);
    EXPECT_TRUE(group->Combined());
    group->PopupItemClicked(42);
    EXPECT_TRUE(group->FDiagonal);
    group->PopupItemClicked(41);
    EXPECT_TRUE(group->Ungrouped());
    EXPECT_FALSE(group->Combined());
}

} // namespace

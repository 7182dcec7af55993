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

// Groups in the drawing: the group's own "Gruppe aufheben" dissolves it into
// the figure list, the drawing taking the members over.
#include "DocumentFixture.h"

#include "model/Group.h"
#include "model/PopupMenu.h"

#include <vector>

namespace {

class TItemsMenu : public TPopupMenuBuilder {
public:
    void AddItem(const QString& caption, int tag, bool, bool) override { Tags.push_back({caption, tag}); }
    int TagOf(const QString& caption) const {
        for (const auto& [text, tag] : Tags)
            if (text == caption) return tag;
        return -1;
    }
    std::vector<std::pair<QString, int>> Tags;
};

class DocumentGroupsTest : public DocumentTest {
protected:
    // f0, a group of three lines, f2: the group at index 1.
    DocumentGroupsTest() {
        F0 = AddLine(0, 0, 0, 10, 0);
        auto group = TFigureGrp::Create(Doc.LayerAt(0), &Doc);
        for (int i = 1; i <= 3; ++i) {
            auto member = TLine::Create(1, &Doc, true, Doc.LayerAt(0), TRowStyle::rsNone, 0, 0, 10.0 * i, 20,
                                        10.0 * i + 5, 30);
            Members.push_back(member.get());
            group->Add(std::move(member));
        }
        group->RecalcBounds();
        Group = group.get();
        Doc.AddFigure(std::move(group), false, TInsertReason::irCreate);
        F2 = AddLine(0, 50, 50, 60, 60);
        Doc.SetUpdated(false);
    }

    // Runs the group's pop-up command "Gruppe aufheben".
    void ClickUngroup(TFigureGrp* group) {
        TItemsMenu menu;
        int nextTag = 100;
        group->AddPopupItems(menu, nextTag);
        const int tag = menu.TagOf(QStringLiteral("Gruppe aufheben"));
        ASSERT_GE(tag, 100);
        group->PopupItemClicked(tag);
    }

    std::vector<TFigure*> List() const {
        std::vector<TFigure*> list;
        for (int i = 0; i < Doc.FigureCount(); ++i) list.push_back(Doc.GetFigure(i));
        return list;
    }

    TFigure* F0 = nullptr;
    TFigure* F2 = nullptr;
    TFigureGrp* Group = nullptr;
    std::vector<TFigure*> Members;
};

TEST_F(DocumentGroupsTest, PopupUngroupAppendsTheMembersSelectedAndKeepsTheGroup) {
    int deleted = 0;
    std::vector<TInsertReason> inserted;
    Doc.OnAfterDelete = [&](TVXDrawing*) { ++deleted; };
    Doc.OnObjectInserted = [&](TVXDrawing*, TInsertReason reason) { inserted.push_back(reason); };
    Group->SetCombined(true);
    Doc.SelectFigure(Group);
    ASSERT_EQ(Doc.IndexOfFigure(Group), 1);

    ClickUngroup(Group);

    const std::vector<TFigure*> expected{F0, F2, Members[0], Members[1], Members[2]};
    EXPECT_EQ(List(), expected);
    EXPECT_EQ(Doc.IndexOfFigure(Group), -1);
    for (TFigure* member : Members) {
        EXPECT_TRUE(member->FSelected);
        EXPECT_FALSE(member->FInCombined);
        EXPECT_EQ(Doc.FindFigureByName(member->FName), member);
    }
    EXPECT_FALSE(F0->FSelected);
    EXPECT_FALSE(F2->FSelected);
    EXPECT_TRUE(Doc.HasSelection());
    EXPECT_EQ(Doc.SelectedCount(), 3);
    EXPECT_TRUE(Doc.Updated());
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(inserted, std::vector<TInsertReason>(3, TInsertReason::irCreate));

    // The group lives on for undo, dissolved and empty: the members have one owner.
    EXPECT_TRUE(Group->Ungrouped());
    EXPECT_FALSE(Group->Combined());
    EXPECT_FALSE(Group->FSelected);
    EXPECT_EQ(Group->Count(), 0);
    EXPECT_EQ(Doc.FindFigureByName(Group->FName), nullptr);
}

TEST_F(DocumentGroupsTest, DissolvedMembersAreOrdinaryFiguresOfTheDrawing) {
    ClickUngroup(Group);
    // Deleting a former member frees it once; the rest go with the drawing.
    Doc.DeleteFigure(Members[1]);
    EXPECT_EQ(Doc.FigureCount(), 4);
    Doc.DeselectAll(0);
    EXPECT_TRUE(Doc.SelectByPoint(0, false, 12.5, 25));
    EXPECT_EQ(Doc.Selection(), std::vector<TFigure*>{Members[0]});
}

TEST_F(DocumentGroupsTest, AGroupOutsideTheListIsNotPutIntoIt) {
    auto loose = TFigureGrp::Create(Doc.LayerAt(0), &Doc);
    loose->Add(TLine::Create(1, &Doc, true, Doc.LayerAt(0), TRowStyle::rsNone, 0, 0, 1, 1, 2, 2));
    ClickUngroup(loose.get());
    EXPECT_EQ(Doc.FigureCount(), 3);
    EXPECT_EQ(Doc.IndexOfFigure(Group), 1);
    EXPECT_FALSE(Doc.Updated());
    // It keeps (and later frees) its own member.
    EXPECT_EQ(loose->Count(), 1);
    EXPECT_TRUE(loose->Ungrouped());
}

} // namespace

#include "DocumentFixture.h"

#include <map>

namespace {
struct TState {
    int Num;
    QString Str;
    double Dbl;
    bool Enabled;
};
} // namespace

TEST_F(DocumentTest, ChannelTableInitialValues) {
    struct TRow {
        int Id;
        int Num;
        double Dbl;
        QString Str;
    };
    const TRow rows[] = {
        {91, 0, 0, ""},  {92, 0, 0, ""},      {93, 0xFFFF, 0, ""},
        {94, 0, 0, ""},  {95, 1, 0, ""},      {96, 0, 0, ""},
        {97, 0, 0, ""},  {98, 0, 0, "Arial"}, {104, 0, 0, ""},
        {125, 1, 0, ""}, {126, 8, 8.0, ""},   {28, 0, 0, ""},
        {29, 0, 0, ""},  {30, 0, 0, ""},      {31, 0, 0, ""},
        {56, 0, 0, ""},  {50, 0, 0, ""},      {51, 0, 0, ""},
        {52, 0, 0, ""},  {174, 0, 0, ""},     {175, 0, 0, ""},
        {176, 0, 0, ""}, {177, 0, 0, ""},     {178, 0, 0, ""},
        {179, 0, 0, ""}, {185, 0, 0, ""},     {128, Doc.ControlId(), 0, ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Id);
        const TEventEngine* channel = Doc.FindEventEngine(row.Id);
        ASSERT_NE(channel, nullptr);
        EXPECT_EQ(channel->Numval, row.Num);
        EXPECT_EQ(channel->DblVal, row.Dbl);
        EXPECT_EQ(channel->StrVal, row.Str);
        EXPECT_TRUE(channel->CEnable);
    }
}

TEST_F(DocumentTest, RefreshSelectionPublishesInOrder) {
    std::vector<int> order;
    std::map<int, TState> last;
    for (int i = 0; i < Doc.EventEngines().Count(); ++i)
        Doc.Subscribe(Doc.EventEngines().At(i)->EventId, nullptr,
                      [&](QObject*, int id, int num, const QString& str, double dbl, bool on) {
                          order.push_back(id);
                          last[id] = {num, str, dbl, on};
                      });
    order.clear();
    Doc.RefreshSelection();
    const std::vector<int> expected = {95, 94, 97, 96, 92,  93, 91,  98,  126, 125, 28,  29, 30,
                                       31, 56, 50, 51, 175, 52, 104, 174, 176, 177, 178, 179};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(last[50].Enabled);
    EXPECT_FALSE(last[52].Enabled);
    EXPECT_FALSE(last[179].Enabled);
    EXPECT_EQ(last[126].Dbl, 8.0);
    EXPECT_EQ(last[98].Str, QStringLiteral("Arial"));

    // With lines selected the bounded state is published and enabled.
    auto* line = static_cast<TLine*>(AddLine(0, 0, 0, 10, 10, 0x0000FF, true));
    TFigure* target = AddVertex(0, 10, 10, false);
    line->SetJoin2(target);
    order.clear();
    Doc.RefreshSelection();
    EXPECT_EQ(order, expected);
    EXPECT_TRUE(last[52].Enabled);
    EXPECT_EQ(last[52].Num, 1);
    EXPECT_TRUE(last[176].Enabled);
    EXPECT_FALSE(last[177].Enabled);
    EXPECT_TRUE(last[179].Enabled);
    EXPECT_EQ(last[92].Num, 0x0000FF);
}

TEST_F(DocumentTest, CommonValueRule) {
    TFigure* a = AddLine(0, 0, 0, 10, 10, 0x0000FF, true);
    TFigure* b = AddLine(0, 0, 0, 10, 20, 0x0000FF, true);
    TFigure* point = AddVertex(0, 1, 1, true);
    a->FPenWidth = 3;
    b->FPenWidth = 3;
    point->FPenColor = -1;
    point->FPenWidth = -1;
    Doc.RefreshSelection();
    EXPECT_EQ(Doc.GetSlcPenColor(), 0x0000FF);
    EXPECT_EQ(Doc.GetSlcPenWidth(), 3);
    EXPECT_EQ(Doc.FindEventEngine(97)->Numval, 2);
    b->FPenColor = 0x00FF00;
    Doc.RefreshSelection();
    EXPECT_EQ(Doc.GetSlcPenColor(), Doc.DefaultPenColor());
    EXPECT_EQ(Doc.FindEventEngine(92)->Numval, Doc.DefaultPenColor());
    // Lines and points have no closed state: the default.
    EXPECT_EQ(Doc.GetSlcPolylineClosed(), Doc.DefaultPLineClosed());
}

TEST(Charsets, TableAndIndex) {
    const int expected[18] = {0,   1,   2,   128, 134, 129, 136, 255, 130,
                              177, 178, 161, 162, 222, 238, 204, 77,  186};
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(kCharsetTable[i], expected[i]);
        EXPECT_EQ(CharsetIndex(expected[i]), i);
    }
    EXPECT_EQ(CharsetIndex(3), 0);
}

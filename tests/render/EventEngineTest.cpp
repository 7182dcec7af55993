#include "render/EventEngine.h"
#include "platform/UiServices.h"
#include "render/VXDrawBox.h"
#include "render/VXPanel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct TCall {
    int Id;
    int Num;
    QString Str;
    double Dbl;
    bool Enabled;
    bool operator==(const TCall&) const = default;
};
} // namespace

TEST(EventEngine, SubscribeCallsBackAtOnceAndSettersNotifyInOrder) {
    TEventEngine channel(92, 5, 1.5, QStringLiteral("x"));
    EXPECT_TRUE(channel.CEnable);
    std::vector<QString> order;
    std::vector<TCall> first;
    channel.Subscribe(nullptr, [&](QObject*, int id, int num, const QString& str, double dbl, bool on) {
        order.push_back(QStringLiteral("a"));
        first.push_back({id, num, str, dbl, on});
    });
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0], (TCall{92, 5, QStringLiteral("x"), 1.5, true}));
    channel.Subscribe(nullptr,
                      [&](QObject*, int, int, const QString&, double, bool) { order.push_back("b"); });
    order.clear();
    first.clear();

    channel.SetState(7, QStringLiteral("y"), 2.5);
    channel.SetValue(3);
    channel.SetChecked(true);
    channel.SetText(QStringLiteral("z"));
    channel.SetDouble(4.0);
    channel.SetEnabled(false);
    EXPECT_EQ(order, (std::vector<QString>{"a", "b", "a", "b", "a", "b", "a", "b", "a", "b", "a", "b"}));
    EXPECT_EQ(first, (std::vector<TCall>{{92, 7, "y", 2.5, true},
                                         {92, 3, "y", 2.5, true},
                                         {92, 1, "y", 2.5, true},
                                         {92, 1, "z", 2.5, true},
                                         {92, 1, "z", 4.0, true},
                                         {92, 1, "z", 4.0, false}}));
}

TEST(EventEngine, MissingCallbackSubscribesNothing) {
    TEventEngine channel(1, 0, 0, QString());
    EXPECT_EQ(channel.Subscribe(nullptr, nullptr), nullptr);
    EXPECT_EQ(channel.SubscriberCount(), 0);
}

TEST(EventEngine, SubscriberMayUnsubscribeOthersWhileNotified) {
    TEventEngine channel(1, 0, 0, QString());
    int calledB = 0;
    TEventItem* b = nullptr;
    bool armed = false;
    channel.Subscribe(nullptr, [&](QObject*, int, int, const QString&, double, bool) {
        if (armed) channel.Unsubscribe(b);
    });
    b = channel.Subscribe(nullptr, [&](QObject*, int, int, const QString&, double, bool) { ++calledB; });
    calledB = 0;
    armed = true;
    channel.SetValue(1);
    EXPECT_EQ(calledB, 0);
    EXPECT_EQ(channel.SubscriberCount(), 1);
    channel.SetValue(2);
    EXPECT_EQ(calledB, 0);
}

TEST(VXPanel, ChannelListAndDefaults) {
    TVXPanel panel;
    EXPECT_EQ(panel.VerticalZero(), TVertZero::vzTop);
    EXPECT_EQ(panel.HorizontalZero(), THorzZero::vzLeft);
    EXPECT_FALSE(panel.Locked());
    EXPECT_FALSE(panel.Updated());
    ASSERT_NE(panel.FindEventEngine(135), nullptr);
    EXPECT_EQ(panel.FindEventEngine(135)->Numval, 1);
    EXPECT_EQ(panel.FindEventEngine(4711), nullptr);

    TEventEngine* first = panel.AddEventEngine(500, 1, 2.0, QStringLiteral("a"));
    panel.AddEventEngine(500, 9, 0, QString());
    EXPECT_EQ(panel.FindEventEngine(500), first);
    EXPECT_EQ(panel.Subscribe(4711, nullptr, [](QObject*, int, int, const QString&, double, bool) {}),
              nullptr);

    std::vector<int> values;
    TEventItem* item = panel.Subscribe(
        500, nullptr, [&](QObject*, int, int num, const QString&, double, bool) { values.push_back(num); });
    ASSERT_NE(item, nullptr);
    first->SetValue(4);
    panel.Unsubscribe(500, item);
    first->SetValue(5);
    EXPECT_EQ(values, (std::vector<int>{1, 4}));

    panel.SetRulerVisible(false);
    EXPECT_EQ(panel.FindEventEngine(135)->Numval, 0);
    TVXPanel other;
    EXPECT_NE(panel.ControlId(), other.ControlId());
}

TEST(VXDrawBox, ZoomPageAndActiveLayer) {
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    TVXDrawBox box;
    box.resize(640, 480);
    box.ReLocate();
    EXPECT_EQ(box.ZoomScale(), 100);
    EXPECT_EQ(box.WorkWidth(), 100.0);
    EXPECT_EQ(box.WorkHeight(), 100.0);
    EXPECT_EQ(box.PageWidthPixels(), 400);
    // Centred in the area right of and below the rulers.
    EXPECT_EQ(box.OriginX(), (610 - 400) / 2 + 30);
    EXPECT_EQ(box.OriginY(), (450 - 400) / 2 + 30);

    for (int bad : {0, -5, 3001}) {
        box.SetZoomScale(bad);
        EXPECT_EQ(box.ZoomScale(), 100) << bad;
    }
    box.SetZoomScale(3000);
    EXPECT_EQ(box.ZoomScale(), 3000);
    box.SetZoomScale(1);
    EXPECT_EQ(box.ZoomScale(), 1);

    box.SetActiveLayer(1);
    EXPECT_EQ(box.ActiveLayer(), 0);
    ASSERT_EQ(ui.Calls().size(), 1u);
    EXPECT_EQ(ui.Calls()[0].Text, QStringLiteral("Invalid Layer Number"));
    EXPECT_EQ(ui.Calls()[0].MessageKind, TMessageKind::Error);
}

TEST(VXDrawBox, PaintsThePageWithoutAShownWindow) {
    TVXDrawBox box;
    box.resize(640, 480);
    box.SetPageColor(0x00FF00);
    QImage image;
    box.PaintTo(image);
    ASSERT_EQ(image.size(), QSize(640, 480));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_FALSE(box.isVisible());
    // Between grid lines (5 mm = 20 px apart) and outside the rulers.
    const int cx = box.OriginX() + box.PageWidthPixels() / 2 + 10;
    const int cy = box.OriginY() + box.PageHeightPixels() / 2 + 10;
    EXPECT_EQ(image.pixelColor(cx, cy), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(33, 240), QColor(255, 255, 255));

    box.SetLocked(true);
    box.SetPageColor(0x0000FF);
    QImage locked;
    box.PaintTo(locked);
    EXPECT_EQ(locked.pixelColor(cx, cy), QColor(0, 255, 0));
}

#include "render/VXPanel.h"

#include <atomic>

namespace {
int NextControlId() {
    static std::atomic<int> counter{0};
    return ++counter;
}
} // namespace

TVXPanel::TVXPanel(QWidget* parent) : QWidget(parent), FControlId(NextControlId()) {
    AddEventEngine(kRulerChannel, FRulerVisible ? 1 : 0, 0, QString());
}

TVXPanel::~TVXPanel() = default;

void TVXPanel::SetVerticalZero(TVertZero value) {
    if (value == FVerticalZero) return;
    FVerticalZero = value;
    ZeroChanged();
}

void TVXPanel::SetHorizontalZero(THorzZero value) {
    if (value == FHorizontalZero) return;
    FHorizontalZero = value;
    ZeroChanged();
}

void TVXPanel::SetRulerVisible(bool value) {
    if (value == FRulerVisible) return;
    FRulerVisible = value;
    if (TEventEngine* channel = FindEventEngine(kRulerChannel)) channel->SetChecked(value);
    Refresh();
}

void TVXPanel::SetCustomSurface(QWidget* window) {
    FCustomSurface = window;
    CustomSurfaceChanged();
}

TEventEngine* TVXPanel::AddEventEngine(int eventId, int numVal, double dblVal, const QString& strVal) {
    return FEventEngines.Add(eventId, numVal, dblVal, strVal);
}

TEventEngine* TVXPanel::FindEventEngine(int eventId) const {
    return FEventEngines.Find(eventId);
}

TEventItem* TVXPanel::Subscribe(int eventId, QObject* target, TEventCallback callback) {
    TEventEngine* channel = FindEventEngine(eventId);
    return channel ? channel->Subscribe(target, std::move(callback)) : nullptr;
}

void TVXPanel::Unsubscribe(int eventId, TEventItem* subscriber) {
    if (TEventEngine* channel = FindEventEngine(eventId)) channel->Unsubscribe(subscriber);
}

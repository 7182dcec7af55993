#include "render/EventEngine.h"

#include <algorithm>

TEventEngine::TEventEngine(int eventId, int numVal, double dblVal, const QString& strVal)
    : EventId(eventId), Numval(numVal), StrVal(strVal), DblVal(dblVal) {}

TEventItem* TEventEngine::Subscribe(QObject* target, TEventCallback callback) {
    if (!callback) return nullptr;
    auto item = std::make_shared<TEventItem>(target, std::move(callback));
    FItems.push_back(item);
    Call(*item);
    return item.get();
}

void TEventEngine::Unsubscribe(TEventItem* item) {
    const auto it =
        std::find_if(FItems.begin(), FItems.end(), [item](const auto& p) { return p.get() == item; });
    if (it == FItems.end()) return;
    (*it)->FSubscribed = false;
    FItems.erase(it);
}

void TEventEngine::Call(const TEventItem& item) const {
    item.Callback(item.Target, EventId, Numval, StrVal, DblVal, CEnable);
}

void TEventEngine::Notify() {
    // A subscriber may subscribe or unsubscribe others while it is called: the
    // snapshot keeps every item alive, and items that left are skipped.
    const std::vector<std::shared_ptr<TEventItem>> snapshot = FItems;
    for (const auto& item : snapshot)
        if (item->FSubscribed) Call(*item);
}

void TEventEngine::SetState(int numVal, const QString& strVal, double dblVal) {
    Numval = numVal;
    StrVal = strVal;
    DblVal = dblVal;
    Notify();
}

void TEventEngine::SetValue(int numVal) {
    Numval = numVal;
    Notify();
}

void TEventEngine::SetChecked(bool checked) {
    SetValue(checked ? 1 : 0);
}

void TEventEngine::SetText(const QString& strVal) {
    StrVal = strVal;
    Notify();
}

void TEventEngine::SetDouble(double dblVal) {
    DblVal = dblVal;
    Notify();
}

void TEventEngine::SetEnabled(bool enabled) {
    CEnable = enabled;
    Notify();
}

void TEventEngine::SetEnabledValue(int numVal) {
    CEnable = true;
    Numval = numVal;
    Notify();
}

TEventEngine* TEventEngineList::Add(int eventId, int numVal, double dblVal, const QString& strVal) {
    FEngines.push_back(std::make_unique<TEventEngine>(eventId, numVal, dblVal, strVal));
    return FEngines.back().get();
}

TEventEngine* TEventEngineList::Find(int eventId) const {
    for (const auto& engine : FEngines)
        if (engine->EventId == eventId) return engine.get();
    return nullptr;
}

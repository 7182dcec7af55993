#pragma once
// State channels: one channel per numbered GUI state (a command number). The
// document and the surface post changes into a channel; every subscriber is
// called with the new state, in the order it subscribed.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QObject;

// Called with (target, EventId, Numval, StrVal, DblVal, CEnable).
using TEventCallback = std::function<void(QObject* target, int eventId, int numVal, const QString& strVal,
                                          double dblVal, bool enabled)>;

class TEventItem {
public:
    TEventItem(QObject* target, TEventCallback callback) : Target(target), Callback(std::move(callback)) {}

    QObject* Target = nullptr;
    TEventCallback Callback;

private:
    friend class TEventEngine;
    // Cleared when the subscriber leaves its channel, also in the middle of a
    // notification.
    bool FSubscribed = true;
};

class TEventEngine {
public:
    TEventEngine(int eventId, int numVal, double dblVal, const QString& strVal);
    TEventEngine(const TEventEngine&) = delete;
    TEventEngine& operator=(const TEventEngine&) = delete;

    int EventId = 0;
    int Numval = 0;
    QString StrVal;
    double DblVal = 0;
    bool CEnable = true;

    // Adds a subscriber and calls it once at once with the current state; none
    // without a callback.
    TEventItem* Subscribe(QObject* target, TEventCallback callback);
    // Removes the subscriber; unknown subscribers are ignored.
    void Unsubscribe(TEventItem* item);
    int SubscriberCount() const { return static_cast<int>(FItems.size()); }

    // Each setter stores and then calls every subscriber in list order.
    void SetState(int numVal, const QString& strVal, double dblVal);
    void SetValue(int numVal);
    void SetChecked(bool checked);
    void SetText(const QString& strVal);
    void SetDouble(double dblVal);
    void SetEnabled(bool enabled);
    // Enables the channel and sets its value with a single notification.
    void SetEnabledValue(int numVal);
    // Calls every subscriber with the current state.
    void Notify();

private:
    void Call(const TEventItem& item) const;

    std::vector<std::shared_ptr<TEventItem>> FItems;
};

// The channels of one control, in creation order.
class TEventEngineList {
public:
    // Creates an enabled channel and appends it.
    TEventEngine* Add(int eventId, int numVal, double dblVal, const QString& strVal);
    // The first channel with the id, or none.
    TEventEngine* Find(int eventId) const;
    int Count() const { return static_cast<int>(FEngines.size()); }
    TEventEngine* At(int index) const { return FEngines[static_cast<std::size_t>(index)].get(); }
    void Clear() { FEngines.clear(); }

private:
    std::vector<std::unique_ptr<TEventEngine>> FEngines;
};

#pragma once
// TVXPanel: the base of the drawing control. It holds the zero-corner
// settings, the lock and modified flags, the ruler switch, the zoom events and
// the list of state channels that the control publishes its state through.

#include "model/Enums.h"
#include "render/EventEngine.h"

#include <QWidget>
#include <functional>

class TVXPanel : public QWidget {
public:
    // Command number of the ruler switch channel and of the control itself.
    static constexpr int kRulerChannel = 135;

    explicit TVXPanel(QWidget* parent = nullptr);
    ~TVXPanel() override;

    // Where world y = 0 lies (top or bottom edge) and world x = 0 (left or right).
    virtual TVertZero VerticalZero() const { return FVerticalZero; }
    virtual THorzZero HorizontalZero() const { return FHorizontalZero; }
    void SetVerticalZero(TVertZero value);
    void SetHorizontalZero(THorzZero value);

    // While locked, layout and painting are skipped.
    bool Locked() const { return FLocked; }
    void SetLocked(bool value) { FLocked = value; }
    // The document was modified since it was last loaded or saved.
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool value) { FUpdated = value; }

    bool RulerVisible() const { return FRulerVisible; }
    void SetRulerVisible(bool value);

    // A number unique to this control in the process, published on channel 128.
    int ControlId() const { return FControlId; }

    // --- state channels ---
    TEventEngine* AddEventEngine(int eventId, int numVal, double dblVal, const QString& strVal);
    TEventEngine* FindEventEngine(int eventId) const;
    // Subscribes to a channel and calls the callback at once; none when the
    // channel or the callback is missing.
    TEventItem* Subscribe(int eventId, QObject* target, TEventCallback callback);
    void Unsubscribe(int eventId, TEventItem* subscriber);
    const TEventEngineList& EventEngines() const { return FEventEngines; }

    // Repaints the whole surface.
    virtual void Refresh() { update(); }

    std::function<void(TVXPanel* sender)> OnZoomIn;
    std::function<void(TVXPanel* sender)> OnZoomOut;
    std::function<void(TVXPanel* sender)> OnZoomActualSize;
    std::function<void(TVXPanel* sender)> OnZoomFitToWindow;
    std::function<void(TVXPanel* sender)> OnZoomArea;

protected:
    // Called after a zero setting changed.
    virtual void ZeroChanged() { Refresh(); }

private:
    TVertZero FVerticalZero = TVertZero::vzTop;
    THorzZero FHorizontalZero = THorzZero::vzLeft;
    bool FLocked = false;
    bool FUpdated = false;
    bool FRulerVisible = true;
    int FControlId = 0;
    TEventEngineList FEventEngines;
};

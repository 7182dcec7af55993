#pragma once
// TVXPanel: the base of the drawing control. It holds the zero-corner
// settings, the lock and modified flags, the ruler switch, the zoom events and
// the list of state channels that the control publishes its state through.

#include "model/Enums.h"
#include "render/EventEngine.h"

#include <QPoint>
#include <QPointer>
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

    // Where the rulers' zero lies in pixels; set from the page corner at every paint.
    QPoint RulerOrigin() const { return FRulerOrigin; }
    // Ruler tick level 0 (finest) .. 5 (coarsest), chosen by the layout.
    int RulerTickLevel() const { return FRulerTickLevel; }

    // Draws into another window instead of the own paint box; none restores it.
    void SetCustomSurface(QWidget* window);
    QWidget* CustomSurface() const { return FCustomSurface.data(); }

    // Repaints the whole surface.
    virtual void Refresh() { update(); }

    std::function<void(TVXPanel* sender)> OnZoomIn;
    std::function<void(TVXPanel* sender)> OnZoomOut;
    std::function<void(TVXPanel* sender)> OnZoomActualSize;
    std::function<void(TVXPanel* sender)> OnZoomFitToWindow;
    std::function<void(TVXPanel* sender)> OnZoomArea;
    // Keys as (Windows virtual-key code, shift state bits); the handler may
    // change the key (0 swallows it).
    std::function<void(TVXPanel* sender, int& key, unsigned shift)> OnKeyDown;
    std::function<void(TVXPanel* sender, int& key, unsigned shift)> OnKeyUp;

protected:
    // Called after a zero setting changed.
    virtual void ZeroChanged() { Refresh(); }
    // Called after the custom surface changed.
    virtual void CustomSurfaceChanged() {}
    void SetRulerOrigin(QPoint origin) { FRulerOrigin = origin; }
    void SetRulerTickLevel(int level) { FRulerTickLevel = level; }

private:
    TVertZero FVerticalZero = TVertZero::vzTop;
    THorzZero FHorizontalZero = THorzZero::vzLeft;
    bool FLocked = false;
    bool FUpdated = false;
    bool FRulerVisible = true;
    int FControlId = 0;
    QPoint FRulerOrigin{-5000, -5000};
    int FRulerTickLevel = 2;
    QPointer<QWidget> FCustomSurface;
    TEventEngineList FEventEngines;
};

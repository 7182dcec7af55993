#pragma once
// Events of script-driven forms: the event types a form's controls can bind
// to script procedures, and THalEvent, which runs the procedure bound to one
// event of one control. The widgets connect their signals to Fire.

#include "script/HalComp.h"

#include <string>
#include <string_view>
#include <vector>

// One argument an event passes after its sender.
struct TEventArgSpec {
    std::string Name;
    bool ByRef = false;
};

// An event type (TNotifyEvent, TKeyPressEvent, …) with its arguments.
struct TEventType {
    std::string Name; // upper-cased
    bool HasSender = true;
    std::vector<TEventArgSpec> Args;
};

// The event types the engine knows, by upper-cased name.
const TEventType* FindEventType(std::string_view name);
const std::vector<TEventType>& EventTypes();

class THalEvent {
public:
    // `runner` holds the form's compiled script with its identifiers kept;
    // `formName` is the form's name (Form1, Form1_2), `handler` the handler
    // name written in the form file (Button1Click).
    THalEvent(THalRuner& runner, std::string formName, std::string handler);

    // Runs the handler: the sender goes into the procedure's parameter
    // SENDER, `args` into its second, third, … declared parameters; the
    // arguments marked in `byRef` are copied back afterwards. A missing
    // parameter shows "Parameter %S not found" and is skipped; a missing
    // procedure raises "Procedure %s not found".
    void Fire(std::int32_t sender, std::vector<TScriptValue>& args, const std::vector<bool>& byRef = {});

    // The procedure's full name (TFORM1.BUTTON1CLICK) once found.
    const std::string& ProcedureName() const { return FProcedureName; }

private:
    const TIdentListItem& Procedure();
    // The register of the procedure's parameter `name`, or −1 after showing
    // the message.
    std::int32_t ParameterRegister(const std::string& name) const;

    THalRuner& FRunner;
    std::string FFormName;
    std::string FHandler;
    std::string FProcedureName;
    const TIdentListItem* FProcedure = nullptr;
};

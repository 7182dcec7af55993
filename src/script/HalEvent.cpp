#include "script/HalEvent.h"

#include "platform/Cp1252.h"
#include "platform/UiServices.h"
#include "script/ScriptErrors.h"

#include <algorithm>
#include <cctype>

namespace {

std::vector<TEventType> MakeEventTypes() {
    auto type = [](const char* name, std::vector<TEventArgSpec> args, bool sender = true) {
        return TEventType{TScriptRuntime::UpperName(name), sender, std::move(args)};
    };
    std::vector<TEventType> types = {
        type("TNotifyEvent", {}),
        type("TRepAfterPrintEvent", {}),
        type("TRepAfterPreviewEvent", {}),
        type("TRepNotifyEvent", {}),
        type("TCloseEvent", {{"Action", true}}),
        type("TCloseQueryEvent", {{"CanClose", true}}),
        type("TKeyPressEvent", {{"Key", true}}),
        type("TKeyEvent", {{"Key", true}, {"Shift", false}}),
        type("TMouseEvent", {{"Button", false}, {"Shift", false}, {"X", false}, {"Y", false}}),
        type("TMouseMoveEvent", {{"Shift", false}, {"X", false}, {"Y", false}}),
        type("TDragDropEvent", {{"Source", false}, {"X", false}, {"Y", false}}),
        type("TDragOverEvent",
             {{"Source", false}, {"X", false}, {"Y", false}, {"State", false}, {"Accept", true}}),
        type("TEndDragEvent", {{"Target", false}, {"X", false}, {"Y", false}}),
        type("TStartDragEvent", {{"DragObject", true}}),
        type("THelpEvent", {{"Command", false}, {"Data", false}, {"CallHelp", true}}, false),
    };
    // The report events pass their own arguments, one value each.
    for (const char* name : {"TRepOnNeedDataEvent", "TRepNotifyOperationEvent", "TRepBandBeforePrintEvent",
                             "TRepBandAfterPrintEvent", "TRepReportBeforePrintEvent", "TRepFilterEvent",
                             "TRepLabelOnPrintEvent", "TRepProgressUpdateEvent", "TRepPageAvailableEvent"})
        types.push_back(type(name, {}));
    return types;
}

// Form1_2 counts as Form1: a trailing underscore and digits go.
std::string ShortFormName(const std::string& name) {
    const std::size_t underscore = name.rfind('_');
    if (underscore == std::string::npos || underscore + 1 >= name.size()) return name;
    const bool digits = std::all_of(name.begin() + static_cast<std::ptrdiff_t>(underscore) + 1, name.end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
    return digits ? name.substr(0, underscore) : name;
}

} // namespace

const std::vector<TEventType>& EventTypes() {
    static const std::vector<TEventType> types = MakeEventTypes();
    return types;
}

const TEventType* FindEventType(std::string_view name) {
    const std::string upper = TScriptRuntime::UpperName(name);
    for (const TEventType& type : EventTypes())
        if (type.Name == upper) return &type;
    return nullptr;
}

THalEvent::THalEvent(THalRuner& runner, std::string formName, std::string handler)
    : FRunner(runner), FFormName(std::move(formName)), FHandler(std::move(handler)) {}

const TIdentListItem& THalEvent::Procedure() {
    if (FProcedure) return *FProcedure;
    const TIdentList& identifiers = FRunner.Identifiers();
    const std::string handler = TScriptRuntime::UpperName(FHandler);
    // T + form name + . + handler, built by appending (GCC 12 warns wrongly
    // about overlapping copies in the chained operator+ form).
    auto procedureName = [&handler](const std::string& form) {
        std::string name(1, 'T');
        name.append(TScriptRuntime::UpperName(form)).append(1, '.').append(handler);
        return name;
    };
    const std::string shortName = procedureName(ShortFormName(FFormName));
    const std::string fullName = procedureName(FFormName);
    for (const std::string& name : {shortName, fullName}) {
        const auto it = identifiers.find(name);
        if (it != identifiers.end() && it->second.Routine == 1) {
            FProcedureName = name;
            FProcedure = &it->second;
            return *FProcedure;
        }
    }
    throw EScriptError("Procedure " + fullName + " not found");
}

std::int32_t THalEvent::ParameterRegister(const std::string& name) const {
    const std::string qualified = FProcedureName + "." + TScriptRuntime::UpperName(name);
    const auto it = FRunner.Identifiers().find(qualified);
    if (it != FRunner.Identifiers().end() && it->second.Routine == 0) return it->second.Number;
    UiServices().MessageBox(QStringLiteral("Parameter %1 not found").arg(Cp1252::Decode(qualified)),
                            QStringLiteral("Makro"), TMessageKind::Error);
    return -1;
}

void THalEvent::Fire(std::int32_t sender, std::vector<TScriptValue>& args, const std::vector<bool>& byRef) {
    TBinProg* program = FRunner.Program();
    if (!program) throw EScriptError("Compile before run");
    const TIdentListItem& procedure = Procedure();
    const std::vector<std::string>& params = procedure.ParamNames;
    if (sender != 0) {
        if (const std::int32_t reg = ParameterRegister("SENDER"); reg >= 0)
            program->Register(reg) = TScriptValue::FromObject(sender);
    }
    // The first declared parameter is the sender's, also for events without one.
    std::vector<std::int32_t> registers(args.size(), -1);
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string name = k + 1 < params.size() ? params[k + 1] : "PARAM" + std::to_string(k + 2);
        registers[k] = ParameterRegister(name);
        if (registers[k] >= 0) program->Register(registers[k]) = args[k];
    }
    const auto label = static_cast<std::size_t>(procedure.Number);
    const std::vector<std::int32_t>& labels = program->Image().Labels;
    if (label >= labels.size()) throw EScriptError("Procedure " + FProcedureName + " not found");
    program->RunFrom(labels[label]);
    for (std::size_t k = 0; k < args.size(); ++k)
        if (k < byRef.size() && byRef[k] && registers[k] >= 0) args[k] = program->Register(registers[k]);
}

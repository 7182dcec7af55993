// The engine's own natives: Print and PrintError, RunMacro and RunForm.
#include "script/HalComp.h"
#include "script/Runtime.h"
#include "script/ScriptErrors.h"

#include "platform/Cp1252.h"
#include "platform/UiServices.h"

#include <QFile>

namespace {

// The array's elements 1 … count joined with the value rules' "+", starting
// from an empty text.
std::string JoinPrinted(const TScriptValue& array) {
    TScriptValue text = TScriptValue::FromString("");
    if (array.IsArray()) {
        const std::int32_t count = array.Item(array.LowBound()).AsInt();
        for (std::int32_t k = 1; k <= count && array.LowBound() + k <= array.HighBound(); ++k)
            text.Add(array.Item(array.LowBound() + k));
    } else {
        text.Add(array);
    }
    return text.AsString();
}

} // namespace

TScriptValue RunMacroFile(const std::string& fileName) {
    const QString path = Cp1252::Decode(fileName);
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        UiServices().MessageBox(QStringLiteral("File %1 not found").arg(path), QStringLiteral("Makro"),
                                TMessageKind::Error);
        return {};
    }
    const QByteArray bytes = file.readAll();
    THalComp component;
    component.SetScriptText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return component.Evaluate();
}

void RegisterEngineTable(TScriptRuntime& runtime) {
    runtime.RegisterFunc("RunMacro",
                         [](TNativeCall& call) { call.Result = RunMacroFile(call.Args[0].AsString()); },
                         {pkValue});
    runtime.RegisterProc(
        "RunForm",
        [](TNativeCall&) { throw EScriptError("RunForm: script-driven forms are not available here"); },
        {pkValue});
    runtime.RegisterProc("Print",
                         [&runtime](TNativeCall& call) {
                             const std::string text = JoinPrinted(call.Args[0]);
                             if (runtime.PrintSink) runtime.PrintSink(text);
                         },
                         {pkArray});
    runtime.RegisterProc("PrintError",
                         [&runtime](TNativeCall& call) {
                             const std::string text = JoinPrinted(call.Args[0]);
                             runtime.ErrorFlag = true;
                             if (runtime.ErrorSink) runtime.ErrorSink(text);
                         },
                         {pkArray});
}

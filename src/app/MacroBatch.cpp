#include "app/MacroBatch.h"

#include "platform/Cp1252.h"
#include "script/HalComp.h"
#include "script/Runtime.h"
#include "script/ScriptErrors.h"

#include <QFile>
#include <QStringDecoder>
#include <QTextStream>

namespace {

constexpr char kMacroOption[] = "--macro";
constexpr char kEvalOption[] = "--eval";
constexpr char kMaxStepsOption[] = "--max-steps";

int Fail(QTextStream& err, const QString& message) {
    err << message << '\n';
    err.flush();
    return 1;
}

QString Usage() {
    return QStringLiteral("Aufruf: quellin --macro DATEI [--max-steps N] | quellin --eval AUSDRUCK");
}

// A value as the run-time library writes it; arrays as their elements.
std::string ValueText(const TScriptValue& value) {
    if (!value.IsArray()) return value.AsString();
    std::string text = "[";
    for (std::int32_t k = value.LowBound(); k <= value.HighBound(); ++k) {
        if (k > value.LowBound()) text += ", ";
        text += ValueText(value.Item(k));
    }
    return text + "]";
}

// Print and PrintError go to the streams while the command runs.
class TPrintSinks {
public:
    TPrintSinks(QTextStream& out, QTextStream& err) {
        TScriptRuntime& runtime = TScriptRuntime::Instance();
        runtime.PrintSink = [&out](const std::string& text) {
            out << Cp1252::Decode(text) << '\n';
            out.flush();
        };
        runtime.ErrorSink = [&err](const std::string& text) {
            err << Cp1252::Decode(text) << '\n';
            err.flush();
        };
    }
    ~TPrintSinks() {
        TScriptRuntime::Instance().PrintSink = nullptr;
        TScriptRuntime::Instance().ErrorSink = nullptr;
    }
    TPrintSinks(const TPrintSinks&) = delete;
    TPrintSinks& operator=(const TPrintSinks&) = delete;
};

} // namespace

std::string MacroSourceFromBytes(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) return bytes.toStdString();
    return Cp1252::Encode(text);
}

bool IsMacroCommand(const QString& option) {
    return option == QLatin1String(kMacroOption) || option == QLatin1String(kEvalOption);
}

int RunMacroBatch(const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString command = args.value(1);
    THalComp component;
    if (command == QLatin1String(kMacroOption)) {
        if (args.size() != 3 && args.size() != 5) return Fail(err, Usage());
        if (args.size() == 5) {
            bool ok = false;
            const qlonglong steps = args.at(4).toLongLong(&ok);
            if (args.at(3) != QLatin1String(kMaxStepsOption) || !ok || steps <= 0) return Fail(err, Usage());
            component.MaxSteps = steps;
        }
        QFile file(args.at(2));
        if (!file.open(QIODevice::ReadOnly))
            return Fail(err, QStringLiteral("Die Makrodatei %1 kann nicht gelesen werden.").arg(args.at(2)));
        component.SetScriptText(MacroSourceFromBytes(file.readAll()));
    } else if (command == QLatin1String(kEvalOption)) {
        if (args.size() != 3) return Fail(err, Usage());
        component.SetExpression(Cp1252::Encode(args.at(2)));
    } else {
        return Fail(err, Usage());
    }
    TPrintSinks sinks(out, err);
    try {
        const TScriptValue result = component.Evaluate();
        if (command == QLatin1String(kEvalOption)) {
            out << Cp1252::Decode(ValueText(result)) << '\n';
            out.flush();
        }
    } catch (const EScriptError& error) {
        return Fail(err, Cp1252::Decode(error.what()));
    }
    return 0;
}

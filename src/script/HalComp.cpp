#include "script/HalComp.h"

#include "script/ScriptErrors.h"
#include "script/ScriptObjects.h"

THalRuner::THalRuner(std::string source) : FSource(std::move(source)) {}

void THalRuner::AddObject(std::string_view name, std::string_view className, std::int32_t object) {
    // The first registration of a name stays.
    FObjects.emplace(TScriptRuntime::UpperName(name),
                     THostObject{TScriptRuntime::UpperName(className), object});
}

void THalRuner::Execute() {
    if (!FProgram) {
        THalCompiler compiler(FSource, Owner, &FObjects);
        TProgramImage image = compiler.Compile();
        FImageBytes = WriteImage(image);
        FParentClassName = compiler.ParentClassName();
        if (KeepIdentifiers) FIdentifiers = compiler.Identifiers();
        FProgram = TBinProg::FromBytes(FImageBytes);
    }
    if (CompileOnly) return;
    FProgram->CancelFlag = CancelFlag;
    FProgram->MaxSteps = MaxSteps;
    FProgram->Run();
}

THalComp::THalComp() : FScript{"begin", "end."} {}

THalComp::~THalComp() = default;

void THalComp::SetScript(std::vector<std::string> lines) {
    FScript = std::move(lines);
    FScriptChanged = true;
}

void THalComp::SetScriptText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    // A final line break ends the last line instead of starting an empty one.
    if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    SetScript(std::move(lines));
}

void THalComp::SetExpression(std::string_view text) {
    FExpression = std::string(text);
    if (text.empty()) return;
    std::string assignment = "Result:=" + FExpression;
    if (assignment.back() != ';') assignment += ';';
    SetScript({"begin", std::move(assignment), "end."});
}

void THalComp::Prepare(std::string_view objectName, std::int32_t object) {
    if (FScriptChanged) {
        FRunner.reset();
        FScriptChanged = false;
    }
    if (!FRunner) {
        std::string source;
        for (const std::string& line : FScript) {
            source += line;
            source += "\r\n";
        }
        FRunner = std::make_unique<THalRuner>(std::move(source));
        FRunner->Owner = this;
    }
    FObjectName = std::string(objectName);
    FObject = object;
}

void THalComp::Run() {
    if (!FRunner) throw EScriptError("Compile before run");
    // Host objects: the extra object (forms add their components later).
    FRunner->Objects().clear();
    if (!FObjectName.empty()) {
        const TScriptObject* object = TScriptObjectTable::Instance().Find(FObject);
        FRunner->AddObject(FObjectName, object ? object->ScriptClassName() : "TOBJECT", FObject);
    }
    FRunner->CancelFlag = CancelFlag;
    FRunner->MaxSteps = MaxSteps;
    FRunner->Execute();
    FParentClassName = FRunner->ParentClassName();
}

TScriptValue THalComp::Evaluate() {
    Prepare();
    Run();
    return TScriptRuntime::Instance().InternalResult();
}

#pragma once
// Running scripts: THalRuner compiles a source once, keeps the loaded
// program (whose registers keep their values between runs) and runs it;
// THalComp is the component through which the program runs macros and
// expressions.

#include "script/BinProg.h"
#include "script/Compiler.h"

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class THalRuner {
public:
    explicit THalRuner(std::string source);

    // Host objects visible by name to the script.
    void AddObject(std::string_view name, std::string_view className, std::int32_t object);
    THostObjects& Objects() { return FObjects; }

    // Compiles on first use (ECompilerError), then runs from instruction 0
    // unless CompileOnly is set.
    void Execute();

    bool Compiled() const { return static_cast<bool>(FProgram); }
    TBinProg* Program() const { return FProgram.get(); }
    const TIdentList& Identifiers() const { return FIdentifiers; }
    const std::string& ParentClassName() const { return FParentClassName; }
    const std::vector<std::uint8_t>& ImageBytes() const { return FImageBytes; }

    const void* Owner = nullptr; // the THalComp whose scoped variables are visible
    bool KeepIdentifiers = false;
    bool CompileOnly = false;
    std::atomic<bool>* CancelFlag = nullptr;
    std::int64_t MaxSteps = 0;

private:
    std::string FSource;
    THostObjects FObjects;
    std::vector<std::uint8_t> FImageBytes;
    std::unique_ptr<TBinProg> FProgram;
    TIdentList FIdentifiers;
    std::string FParentClassName;
};

class THalComp {
public:
    THalComp();
    ~THalComp();
    THalComp(const THalComp&) = delete;
    THalComp& operator=(const THalComp&) = delete;

    // The script, one Windows-1252 line per entry. A new component holds
    // "begin" / "end.". Every change marks the script changed.
    const std::vector<std::string>& Script() const { return FScript; }
    void SetScript(std::vector<std::string> lines);
    void SetScriptText(std::string_view text);
    // A non-empty expression becomes the script begin / Result:=TEXT; / end.
    void SetExpression(std::string_view text);
    const std::string& Expression() const { return FExpression; }

    // Makes a runner for a changed script; `object` becomes visible under
    // objectName (id 0: none).
    void Prepare(std::string_view objectName = {}, std::int32_t object = 0);
    // Runs the prepared script ("Compile before run" without Prepare).
    void Run();
    // Prepare, Run, and the process-wide Result.
    TScriptValue Evaluate();

    THalRuner* Runner() const { return FRunner.get(); }
    const std::string& ParentClassName() const { return FParentClassName; }

    std::atomic<bool>* CancelFlag = nullptr;
    std::int64_t MaxSteps = 0;

private:
    std::vector<std::string> FScript;
    std::string FExpression;
    bool FScriptChanged = true;
    std::unique_ptr<THalRuner> FRunner;
    std::string FObjectName;
    std::int32_t FObject = 0;
    std::string FParentClassName;
};

// Fuzz target: a program image as the loader gets it. Damaged images must be
// refused with an error; images that load are run for a bounded number of
// steps, with short strings, unless they call natives (a fuzzed call could
// write files).
#include "script/BinProg.h"
#include "script/ScriptErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<TBinProg> program;
    try {
        program = TBinProg::FromBytes(std::span<const std::uint8_t>(data, size));
    } catch (const ECompilerError&) {
        return 0;
    }
    for (const TInstruction& in : program->Image().Code)
        if (in.Op == opCALLN) return 0;
    // Bound the work as well as the steps: every step may copy a string.
    TScriptValue::SetMaxStringLength(64 * 1024);
    program->MaxSteps = 20000;
    try {
        program->Run();
    } catch (const EScriptError&) {
    }
    return 0;
}

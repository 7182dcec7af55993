#pragma once
// A loaded program and its machine: 1001 registers that keep their values
// from one run to the next, a return stack of 1001 addresses and the current
// object of native calls (whose arguments are read in the registers).

#include "script/Opcodes.h"
#include "script/ProgramImage.h"
#include "script/Runtime.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

class TBinProg {
public:
    // Loads and validates an image (ECompilerError when it cannot run);
    // every register starts as the integer 0.
    // `fuse` false keeps one instruction per dispatch (tests compare both).
    explicit TBinProg(TProgramImage image, TScriptRuntime& runtime = TScriptRuntime::Instance(),
                      bool fuse = true);
    static std::unique_ptr<TBinProg> FromBytes(std::span<const std::uint8_t> bytes,
                                               TScriptRuntime& runtime = TScriptRuntime::Instance());

    // Runs from instruction 0, or from `start`, until STOP or a RET with an
    // empty return stack. Errors of the program propagate unchanged; the
    // return stack is empty again for the next run.
    void Run() { RunFrom(0); }
    void RunFrom(std::int32_t start);

    TScriptValue& Register(int index) { return FRegisters.at(static_cast<std::size_t>(index)); }
    std::int32_t CurrentObject() const { return FSelf; }
    const TProgramImage& Image() const { return FImage; }

    // Cancelling: the flag is polled at least every 65,536 instructions; a
    // set flag ends the run with EScriptError "Macro cancelled". A step limit
    // above 0 ends a run that executed more instructions with EScriptError
    // "Macro stopped after too many steps".
    std::atomic<bool>* CancelFlag = nullptr;
    std::int64_t MaxSteps = 0;
    std::int64_t StepsRun() const { return FSteps; }

private:
    // The image's instructions as the interpreter runs them: jump targets
    // resolved, unknown codes marked, and common pairs and triples fused into
    // one instruction that has exactly the effects of the originals (which
    // stay in place for jumps that land between them).
    struct TDecoded {
        std::int32_t Op;
        std::int32_t A;
        std::int32_t B;
        std::int32_t C = 0;
        std::int32_t D = 0;
        std::int32_t E = 0;
        std::int32_t F = 0;
        std::int32_t Target = -1; // resolved jump address for JMP, JF, CALL and fused jumps
    };
    void Fuse(bool fuse, const std::vector<bool>& carriers);
    // Runs a native call; returns the address after its carriers.
    std::int32_t CallNative(const TDecoded& call, std::int32_t pc);
    // The same, for the interpreter's method calls (inlined there).
    [[gnu::always_inline]] inline std::int32_t CallNativeInline(const TDecoded& call, std::int32_t pc);
    void Poll();

    TScriptRuntime& FRuntime;
    TProgramImage FImage;
    std::vector<TDecoded> FCode;
    std::vector<std::int32_t> FArgRegisters;
    std::array<std::int32_t, kReturnStackSize> FReturnStack{};
    int FDepth = 0;
    std::int32_t FSelf = 0;
    std::array<TScriptValue, kRegisterCount> FRegisters;
    std::int64_t FSteps = 0;
};

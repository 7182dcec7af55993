#pragma once
// A compiled program: constant pool, label table and three-operand
// instructions, and its byte image (little-endian):
//   constants: u32 count, per constant a kind byte and its data
//     1 integer (i32), 2 real (f64), 3 string (length byte + bytes), 4 boolean (byte)
//   labels:    u32 count, per label its i32 instruction index
//   code:      u32 count, per instruction i32 a, i32 b, i32 operation code

#include "script/ScriptValue.h"

#include <cstdint>
#include <span>
#include <vector>

struct TInstruction {
    std::int32_t A = 0;
    std::int32_t B = 0;
    std::int32_t Op = 0;
    bool operator==(const TInstruction&) const = default;
};

struct TProgramImage {
    std::vector<TScriptValue> Constants;
    std::vector<std::int32_t> Labels;
    std::vector<TInstruction> Code;
};

// The image bytes. A constant of another kind (empty, array) raises
// ECompilerError "Unknown variable type during writing program"; a string
// longer than 255 bytes raises ECompilerError too.
std::vector<std::uint8_t> WriteImage(const TProgramImage& image);

// Reads an image. A constant kind other than 1-4 raises ECompilerError
// "Unknown reader type"; an image that ends early or whose counts exceed
// the bytes left raises ECompilerError as well. Nothing here checks the
// instructions: ValidateImage does.
TProgramImage ReadImage(std::span<const std::uint8_t> bytes);

class TScriptRuntime;

// Checks that every instruction can run: register operands within 0…1000,
// label and constant indexes within their tables, label addresses within
// the code, native and provider indexes known to the runtime, and the
// carriers CALLN, DYNGET, DYNSET and ARRPUT need, with their registers.
// Unknown operation codes are left to run time ("Invalid opcode"). Raises
// ECompilerError naming the first fault. Returns which instructions are
// operand carriers.
std::vector<bool> ValidateImage(const TProgramImage& image, const TScriptRuntime& runtime);

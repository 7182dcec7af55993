#pragma once
// Operation codes of the register machine and its fixed sizes.

#include <cstdint>

enum TOpCode : std::int32_t {
    opADD = 0,
    opSUB = 1,
    opMUL = 2,
    opIDIV = 3,
    opMOD = 4,
    opDIVR = 5,
    opSHL = 6,
    opSHR = 7,
    opNOT = 8,
    opOR = 9,
    opXOR = 10,
    opAND = 11,
    opGE = 12,
    opEQ = 13,
    opLE = 14,
    opNE = 15,
    opGT = 16,
    opLT = 17,
    opNEG = 18,
    opJMP = 19,
    opJF = 20,
    opLDC = 23,
    opSTOP = 26,
    opINC = 29,
    opDEC = 30,
    opCARRIER = 34, // operand carrier after DYNGET/DYNSET
    opCALLN = 42,
    opSELFC = 44,
    opDYNGET = 45,
    opDYNSET = 46,
    opSELFR = 47,
    opMOV = 48,
    opCALL = 49,
    opRET = 50,
    opARRNEW = 51,
    opARRPUT = 52,
};

constexpr int kOpCodeCount = 53;
constexpr int kRegisterCount = 1001;   // registers 0 … 1000
constexpr int kArgumentCount = 101;    // argument array of a native call
constexpr int kReturnStackSize = 1001; // deepest call nesting
constexpr int kMaxParameters = 100;
constexpr int kMaxStringConstant = 255;

// Whether the code is one the interpreter executes (carriers are skipped,
// never executed).
constexpr bool IsExecutableOpCode(std::int32_t op) {
    return (op >= 0 && op <= 20) || op == opLDC || op == opSTOP || op == opINC || op == opDEC ||
           op == opCALLN || (op >= opSELFC && op <= opARRPUT);
}

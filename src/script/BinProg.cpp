#include "script/BinProg.h"

#include "script/ScriptErrors.h"

#include <new>

namespace {

constexpr std::int64_t kPollInterval = 65536;

bool IntPair(const TScriptValue& a, const TScriptValue& b) {
    return a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer;
}

std::int32_t LabelAddress(const TProgramImage& image, std::int32_t label) {
    if (label < 0 || static_cast<std::size_t>(label) >= image.Labels.size()) return -1;
    return image.Labels[static_cast<std::size_t>(label)];
}

} // namespace

namespace {

// Internal codes of the fused instructions and of codes that do not run.
enum TInternalOp : std::int32_t {
    xLdcMov = 100,      // LDC A, B ; MOV C, A
    xMovMov = 101,      // MOV A, B ; MOV C, D
    xLdcOp = 102,       // LDC B, C ; (D) A, B
    xMovCmpJf = 103,    // MOV A, B ; (D) A, C ; JF A, Target
    xLdcMovCmpJf = 104, // LDC E, F ; MOV A, B ; (D) A, C ; JF A, Target
    xIncJmp = 105,      // INC A ; JMP Target
    xOpMov = 106,       // (D) A, B ; MOV C, A
    xFellOff = 107,     // after the last instruction: running off the end
    xIncLoop = 108,     // INC A ; JMP Target, where Target holds an xLdcMovCmpJf: a loop's step and test
    xAssign3 = 109,     // MOV_MOV, LDC_OP at +2, OP_MOV at +4: x := x op (y op K)
    xAssign2 = 110,     // MOV_MOV, OP_MOV at +2: x := y op z
    xMovMovCmpJf = 111, // MOV A, B ; MOV C, D ; (E) A, C ; JF A, Target
    xLdcCmpJf = 112,    // LDC B, C ; (D) A, B ; JF A, Target
    xMovLdcCmpJf = 113, // MOV A, B ; LDC C, F ; (D) A, C ; JF A, Target
    xAssignK = 114,     // MOV A, B ; LDC_OP at +1 ; MOV at +3: x := y op K
    xSelfCallN = 115,   // SELFR A ; CALLN at +1: a method call
    xMovLdc = 116,      // MOV A, B ; LDC C, D
    xMovLdcOp = 117,    // MOV A, B ; LDC_OP at +1: A := B op K
    xJmpTest = 118,     // JMP Target, where Target holds an xMovMovCmpJf: a while loop's jump back
    xMovCall = 119,     // MOV A, B ; SELF_CALLN at +1: a method call with one argument to copy
    xLdcCall = 120,     // LDC A, B ; SELF_CALLN at +1: a method call with one constant argument
    xMovLdcCall = 121,  // MOV A, B ; LDC C, D ; SELF_CALLN at +2
    xAssign3Add = 122,  // xAssign3, xAssign2 and xAssignK whose last operation is ADD
    xAssign2Add = 123,
    xAssignKAdd = 124,
    xInvalid = 125, // codes that do not run, and carriers
    xCodeCount = 126,
};

bool Numeric(const TScriptValue& v) {
    return v.Kind() == TValueKind::Integer || v.Kind() == TValueKind::Real;
}

bool IsBinary(std::int32_t op) {
    return op >= opADD && op <= opLT && op != opNOT;
}

bool IsCompare(std::int32_t op) {
    return op >= opGE && op <= opLT;
}

// The comparison codes GE … LT as sets of outcomes (bit 0: less, bit 1:
// equal, bit 2: greater): a comparison is decided by one lookup instead of
// a jump per code.
constexpr std::uint8_t kAccepts[6] = {6, 2, 3, 5, 4, 1};

template <typename T> [[gnu::always_inline]] inline bool Holds(std::int32_t op, T x, T y) {
    const unsigned outcome = (x < y ? 1u : 0u) | (x == y ? 2u : 0u) | (x > y ? 4u : 0u);
    return (kAccepts[op - opGE] & outcome) != 0;
}

// a := a op b by the value rules (the general path of BinaryInto).
void General(std::int32_t op, TScriptValue& a, const TScriptValue& b) {
    switch (op) {
    case opADD:
        a.Add(b);
        break;
    case opSUB:
        a.Sub(b);
        break;
    case opMUL:
        a.Mul(b);
        break;
    case opIDIV:
        a.IntDiv(b);
        break;
    case opMOD:
        a.Mod(b);
        break;
    case opDIVR:
        a.RealDiv(b);
        break;
    case opSHL:
        a.Shl(b);
        break;
    case opSHR:
        a.Shr(b);
        break;
    case opOR:
        a.Or(b);
        break;
    case opXOR:
        a.Xor(b);
        break;
    case opAND:
        a.And(b);
        break;
    case opGE:
        a.SetBool(TScriptValue::Compare(a, b) >= 0);
        break;
    case opEQ:
        a.SetBool(TScriptValue::SameTypeEqual(a, b));
        break;
    case opLE:
        a.SetBool(TScriptValue::Compare(a, b) <= 0);
        break;
    case opNE:
        a.SetBool(!TScriptValue::SameTypeEqual(a, b));
        break;
    case opGT:
        a.SetBool(TScriptValue::Compare(a, b) > 0);
        break;
    case opLT:
        a.SetBool(TScriptValue::Compare(a, b) < 0);
        break;
    default:
        break;
    }
}

// dst := left op right for the binary codes, integers and reals on the fast
// path, and the result copied to *also when given. This is MOV dst, left ;
// (op) dst, right [; MOV also, dst] in one step: the operands are read
// where they are, not through the copy, so a value computed in a loop does
// not travel through memory twice. `right` must not be `dst` unless `left`
// is `dst` too.
[[gnu::always_inline]] inline void BinaryInto(std::int32_t op, TScriptValue& dst, const TScriptValue& left,
                                              const TScriptValue& right, TScriptValue* also = nullptr) {
#define KELDRA_RESULT(setter, value)                                                                         \
    do {                                                                                                     \
        const auto result = (value);                                                                         \
        dst.setter(result);                                                                                  \
        if (also) also->setter(result);                                                                      \
        return;                                                                                              \
    } while (false)
    if (IntPair(left, right)) {
        const std::int32_t x = left.IntField();
        const std::int32_t y = right.IntField();
        if (op <= opMUL) {
            // ADD, SUB and MUL without a jump per code.
            std::int32_t sum = 0;
            std::int32_t difference = 0;
            std::int32_t product = 0;
            const bool sumOverflows = __builtin_add_overflow(x, y, &sum);
            const bool differenceOverflows = __builtin_sub_overflow(x, y, &difference);
            const bool productOverflows = __builtin_mul_overflow(x, y, &product);
            const std::int32_t z = op == opADD ? sum : op == opSUB ? difference : product;
            const bool overflows = op == opADD   ? sumOverflows
                                   : op == opSUB ? differenceOverflows
                                                 : productOverflows;
            if (!overflows) KELDRA_RESULT(SetInt, z);
        } else if (IsCompare(op)) {
            KELDRA_RESULT(SetBool, Holds(op, x, y));
        } else if ((op == opIDIV || op == opMOD) && y != 0 && y != -1) {
            KELDRA_RESULT(SetInt, op == opIDIV ? x / y : x % y);
        }
    } else if (Numeric(left) && Numeric(right)) {
        // At least one real: real arithmetic and comparison.
        const double x = left.Kind() == TValueKind::Real ? left.RealField() : left.IntField();
        const double y = right.Kind() == TValueKind::Real ? right.RealField() : right.IntField();
        if (op <= opMUL) {
            // ADD, SUB and MUL without a jump per code.
            const double sum = x + (op == opSUB ? -y : y);
            const double product = x * y;
            KELDRA_RESULT(SetReal, op == opMUL ? product : sum);
        }
        // EQ and NE of reals take the general path (how a NaN compares).
        if (op != opEQ && op != opNE && IsCompare(op)) KELDRA_RESULT(SetBool, Holds(op, x, y));
    }
#undef KELDRA_RESULT
    if (&dst != &left) {
        const TScriptValue operand(right); // right may live inside what dst holds
        dst = left;
        General(op, dst, operand);
    } else {
        General(op, dst, right);
    }
    if (also) *also = dst;
}

[[gnu::always_inline]] inline void Binary(std::int32_t op, TScriptValue& a, const TScriptValue& b) {
    BinaryInto(op, a, a, b);
}

// INC and DEC: integers on the fast path, everything else by the value rules.
inline void Increment(TScriptValue& a) {
    if (a.Kind() == TValueKind::Integer && a.IntField() != 0x7FFFFFFF)
        a.SetInt(a.IntField() + 1);
    else
        a.Inc();
}

inline void Decrement(TScriptValue& a) {
    if (a.Kind() == TValueKind::Integer && a.IntField() != std::int32_t(-0x7FFFFFFF - 1))
        a.SetInt(a.IntField() - 1);
    else
        a.Dec();
}

inline bool JumpsOnFalse(const TScriptValue& a) {
    if (a.Kind() == TValueKind::Boolean) return !a.BoolField();
    if (a.Kind() == TValueKind::Integer) return a.IntField() == 0;
    return a.IsFalse();
}

// MOV dst, left ; (compare) dst, right ; JF dst in one step: stores the
// comparison's value and returns whether JF jumps. `right` must not be
// `dst` unless `left` is `dst` too.
[[gnu::always_inline]] inline bool TestInto(std::int32_t op, TScriptValue& dst, const TScriptValue& left,
                                            const TScriptValue& right) {
    bool holds;
    if (IntPair(left, right)) {
        if (!IsCompare(op)) {
            BinaryInto(op, dst, left, right);
            return JumpsOnFalse(dst);
        }
        holds = Holds(op, left.IntField(), right.IntField());
    } else if (left.IsString() && right.IsString() && (op == opEQ || op == opNE)) {
        holds = TScriptValue::SameText(left, right) == (op == opEQ);
    } else {
        BinaryInto(op, dst, left, right);
        return JumpsOnFalse(dst);
    }
    dst.SetBool(holds);
    return !holds;
}

} // namespace

void TBinProg::Fuse(bool fuse, const std::vector<bool>& carriers) {
    const std::size_t size = FCode.size();
    // Carriers are data: no fusion may start at or take in one.
    const std::vector<bool>& data = carriers;
    // Codes that do not run (our fused codes included) fail when reached;
    // carriers keep their raw fields, which hold argument registers.
    for (std::size_t k = 0; k < size; ++k)
        if (!data[k] && !IsExecutableOpCode(FCode[k].Op) && FCode[k].Op != opCARRIER) FCode[k].Op = xInvalid;
    if (!fuse) return;
    auto plain = [&](std::size_t k, std::int32_t op) { return k < size && !data[k] && FCode[k].Op == op; };
    for (std::size_t k = 0; k + 1 < size; ++k) {
        if (data[k]) continue;
        TDecoded& first = FCode[k];
        const TDecoded& second = FCode[k + 1];
        if (first.Op == opMOV && k + 3 < size && !data[k + 1] && !data[k + 2] && !data[k + 3] &&
            second.Op == opMOV && IsCompare(FCode[k + 2].Op) && FCode[k + 2].A == first.A &&
            FCode[k + 2].B == second.A && second.A != first.A && FCode[k + 3].Op == opJF &&
            FCode[k + 3].A == first.A) {
            first = TDecoded{xMovMovCmpJf, first.A,         first.B, second.A,
                             second.B,     FCode[k + 2].Op, 0,       FCode[k + 3].Target};
        } else if (first.Op == opMOV && k + 3 < size && !data[k + 1] && !data[k + 2] && !data[k + 3] &&
                   second.Op == opLDC && second.A != first.A && IsCompare(FCode[k + 2].Op) &&
                   FCode[k + 2].A == first.A && FCode[k + 2].B == second.A && FCode[k + 3].Op == opJF &&
                   FCode[k + 3].A == first.A) {
            first = TDecoded{xMovLdcCmpJf,    first.A, first.B,  second.A,
                             FCode[k + 2].Op, 0,       second.B, FCode[k + 3].Target};
        } else if (first.Op == opLDC && k + 2 < size && !data[k + 1] && !data[k + 2] &&
                   IsCompare(second.Op) && second.B == first.A && second.A != first.A &&
                   FCode[k + 2].Op == opJF && FCode[k + 2].A == second.A) {
            first = TDecoded{xLdcCmpJf, second.A, first.A, first.B, second.Op, 0, 0, FCode[k + 2].Target};
        } else if (first.Op == opLDC && k + 3 < size && !data[k + 1] && !data[k + 2] && !data[k + 3] &&
                   second.Op == opMOV && IsCompare(FCode[k + 2].Op) && FCode[k + 2].A == second.A &&
                   FCode[k + 3].Op == opJF && FCode[k + 3].A == second.A) {
            first = TDecoded{xLdcMovCmpJf,    second.A, second.B, FCode[k + 2].B,
                             FCode[k + 2].Op, first.A,  first.B,  FCode[k + 3].Target};
        } else if (first.Op == opINC && plain(k + 1, opJMP)) {
            first = TDecoded{xIncJmp, first.A, 0, 0, 0, 0, 0, second.Target};
        } else if (IsBinary(first.Op) && plain(k + 1, opMOV) && second.B == first.A && second.A != first.A) {
            first = TDecoded{xOpMov, first.A, first.B, second.A, first.Op};
        } else if (first.Op == opMOV && k + 2 < size && !data[k + 1] && !data[k + 2] && IsBinary(second.Op) &&
                   (second.Op >= opGE && second.Op <= opLT && second.Op != opNEG) && second.A == first.A &&
                   FCode[k + 2].Op == opJF && FCode[k + 2].A == first.A) {
            first = TDecoded{xMovCmpJf, first.A, first.B, second.B, second.Op, 0, 0, FCode[k + 2].Target};
        } else if (first.Op == opLDC && plain(k + 1, opMOV) && second.B == first.A && second.A != first.A) {
            first = TDecoded{xLdcMov, first.A, first.B, second.A};
        } else if (first.Op == opSELFR && plain(k + 1, opCALLN)) {
            first.Op = xSelfCallN;
        } else if (first.Op == opMOV && plain(k + 1, opLDC)) {
            first = TDecoded{xMovLdc, first.A, first.B, second.A, second.B};
        } else if (first.Op == opMOV && plain(k + 1, opMOV)) {
            first = TDecoded{xMovMov, first.A, first.B, second.A, second.B};
        } else if (first.Op == opLDC && !data[k + 1] && IsBinary(second.Op) && second.B == first.A &&
                   second.A != first.A) {
            first = TDecoded{xLdcOp, second.A, first.A, first.B, second.Op};
        }
    }
    // Whole assignments fuse into two or three; run them as one where the
    // registers are the compiler's (temporaries apart from each other and
    // from the operands), so that operands can be read where they are.
    auto distinct = [](std::int32_t a, std::int32_t b, std::int32_t c) { return a != b && a != c && b != c; };
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k]) continue;
        const TDecoded& first = FCode[k];
        if (k + 4 < size && first.Op == xMovMov && FCode[k + 2].Op == xLdcOp && FCode[k + 4].Op == xOpMov &&
            !data[k + 2] && !data[k + 4]) {
            // MOV A, B ; MOV C, D ; LDC E, K ; (op2) C, E ; (op1) A, C ; MOV G, A
            const TDecoded& op = FCode[k + 2];
            const TDecoded& store = FCode[k + 4];
            if (op.A == first.C && store.A == first.A && store.B == first.C &&
                distinct(first.A, first.C, op.B) && first.D != first.A && first.B != first.C &&
                first.B != op.B)
                FCode[k].Op = store.D == opADD ? xAssign3Add : xAssign3;
        } else if (k + 2 < size && first.Op == xMovMov && FCode[k + 2].Op == xOpMov && !data[k + 2]) {
            // MOV A, B ; MOV C, D ; (op) A, C ; MOV G, A
            const TDecoded& store = FCode[k + 2];
            if (store.A == first.A && store.B == first.C && first.A != first.C && first.D != first.A &&
                first.B != first.C)
                FCode[k].Op = store.D == opADD ? xAssign2Add : xAssign2;
        } else if (k + 3 < size && (first.Op == opMOV || first.Op == xMovLdc) && FCode[k + 1].Op == xLdcOp &&
                   FCode[k + 3].Op == opMOV && !data[k + 1] && !data[k + 3]) {
            // MOV A, B ; LDC E, K ; (op) A, E ; MOV G, A
            const TDecoded& op = FCode[k + 1];
            const TDecoded& store = FCode[k + 3];
            if (op.A == first.A && store.B == first.A && op.B != first.A && op.B != first.B)
                FCode[k].Op = op.D == opADD ? xAssignKAdd : xAssignK;
        }
        if (FCode[k].Op == xMovLdc && k + 2 < size && FCode[k + 1].Op == xLdcOp && !data[k + 1] &&
            !data[k + 2]) {
            // MOV A, B ; LDC E, K ; (op) A, E with E apart from A
            const TDecoded& op = FCode[k + 1];
            if (op.A == first.A && op.B == first.C && op.B != first.A) FCode[k].Op = xMovLdcOp;
        }
    }
    // A method call and the loads of its arguments just before it.
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k]) continue;
        if (FCode[k].Op == opMOV && plain(k + 1, xSelfCallN))
            FCode[k].Op = xMovCall;
        else if (FCode[k].Op == opLDC && plain(k + 1, xSelfCallN))
            FCode[k].Op = xLdcCall;
        else if (FCode[k].Op == xMovLdc && !data[k + 1] && plain(k + 2, xSelfCallN))
            FCode[k].Op = xMovLdcCall;
    }
    // A counting loop's step jumps back to its test: both in one dispatch.
    for (std::size_t k = 0; k < size; ++k)
        if (!data[k] && FCode[k].Op == xIncJmp &&
            FCode[static_cast<std::size_t>(FCode[k].Target)].Op == xLdcMovCmpJf)
            FCode[k].Op = xIncLoop;
    // A while loop's jump back to its test: both in one dispatch.
    for (std::size_t k = 0; k < size; ++k)
        if (!data[k] && FCode[k].Op == opJMP &&
            FCode[static_cast<std::size_t>(FCode[k].Target)].Op == xMovMovCmpJf)
            FCode[k].Op = xJmpTest;
}

TBinProg::TBinProg(TProgramImage image, TScriptRuntime& runtime, bool fuse)
    : FRuntime(runtime), FImage(std::move(image)) {
    const std::vector<bool> carriers = ValidateImage(FImage, FRuntime);
    FCode.reserve(FImage.Code.size());
    for (const TInstruction& in : FImage.Code) {
        TDecoded decoded{in.Op, in.A, in.B};
        if (in.Op == opJMP || in.Op == opCALL)
            decoded.Target = LabelAddress(FImage, in.A);
        else if (in.Op == opJF)
            decoded.Target = LabelAddress(FImage, in.B);
        FCode.push_back(decoded);
    }
    // A native call's argument registers, in order, from its carriers.
    for (std::size_t k = 0; k < FCode.size(); ++k) {
        TDecoded& call = FCode[k];
        if (call.Op != opCALLN || carriers[k]) continue;
        const int n = FRuntime.Native(static_cast<std::size_t>(call.B)).ParamCount();
        call.C = static_cast<std::int32_t>(FArgRegisters.size());
        call.D = n;
        call.E = (n + 2) / 3; // carriers
        for (int arg = 0; arg < n; ++arg) {
            const TInstruction& carrier = FImage.Code[k + 1 + static_cast<std::size_t>(arg / 3)];
            FArgRegisters.push_back(arg % 3 == 0 ? carrier.Op : arg % 3 == 1 ? carrier.A : carrier.B);
        }
    }
    Fuse(fuse, carriers);
    // From here on a code is an index into the interpreter's dispatch table.
    for (std::size_t k = 0; k < FCode.size(); ++k)
        if (carriers[k] || FCode[k].Op < 0 || FCode[k].Op >= xCodeCount) FCode[k].Op = xInvalid;
    // Jumps land inside the code (checked when loading), so only running off
    // the end needs catching: one sentinel instead of a test per instruction.
    FCode.push_back(TDecoded{xFellOff, 0, 0});
    for (TScriptValue& reg : FRegisters)
        reg = TScriptValue::FromInt(0);
}

std::unique_ptr<TBinProg> TBinProg::FromBytes(std::span<const std::uint8_t> bytes, TScriptRuntime& runtime) {
    return std::make_unique<TBinProg>(ReadImage(bytes), runtime);
}

void TBinProg::Poll() {
    if (CancelFlag && CancelFlag->load(std::memory_order_relaxed)) throw EScriptError("Macro cancelled");
    if (MaxSteps > 0 && FSteps >= MaxSteps) throw EScriptError("Macro stopped after too many steps");
}

inline std::int32_t TBinProg::CallNativeInline(const TDecoded& call, std::int32_t pc) {
    const TFunListItem& entry = FRuntime.Native(static_cast<std::size_t>(call.B));
    if (!entry.Routine) throw EScriptError("Native routine " + entry.Name + " has no implementation");
    // C and D: where the argument registers start in FArgRegisters, and how
    // many there are (resolved from the carriers when loading); E: how many
    // carriers follow the call.
    pc += call.E;
    TScriptValue result;
    TNativeCall nativeCall{
        FSelf, entry.ShortName,
        TNativeArgs(FRegisters.data(), FArgRegisters.data() + call.C, static_cast<std::size_t>(call.D)),
        result};
    entry.Routine(nativeCall);
    FRegisters[static_cast<std::size_t>(call.A)] = std::move(result);
    return pc;
}

std::int32_t TBinProg::CallNative(const TDecoded& call, std::int32_t pc) {
    return CallNativeInline(call, pc);
}

void TBinProg::RunFrom(std::int32_t start) {
    FDepth = 0;
    const auto size = static_cast<std::int32_t>(FCode.size());
    TScriptValue* r = FRegisters.data();
    const TDecoded* code = FCode.data();
    const TScriptValue* constants = FImage.Constants.data();
    std::int32_t pc = start;
    if (pc < 0 || pc >= size) throw EScriptError("Program counter out of range");
    std::int64_t budget = kPollInterval;
    // Threaded dispatch (labels as values, a GCC and Clang extension): every
    // handler ends in its own indirect jump, which the processor predicts
    // far better than the one shared jump of a switch. Every code in FCode
    // is an index into this table (see the constructor).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
    static const void* const dispatch[xCodeCount] = {
        // 0 ADD … 20 JF
        &&ADD, &&SUB, &&MUL, &&IDIV, &&MOD, &&DIVR, &&SHL, &&SHR, &&NOT, &&OR, &&XOR, &&AND, &&GE, &&EQ, &&LE,
        &&NE, &&GT, &&LT, &&NEG, &&JMP, &&JF,
        // 21 … 29
        &&INVALID, &&INVALID, &&LDC, &&INVALID, &&INVALID, &&STOP, &&INVALID, &&INVALID, &&INC,
        // 30 … 39
        &&DEC, &&INVALID, &&INVALID, &&INVALID, &&CARRIER, &&INVALID, &&INVALID, &&INVALID, &&INVALID,
        &&INVALID,
        // 40 … 52
        &&INVALID, &&INVALID, &&CALLN, &&INVALID, &&SELFC, &&DYNGET, &&DYNSET, &&SELFR, &&MOV, &&CALL, &&RET,
        &&ARRNEW, &&ARRPUT,
        // 53 … 99
        &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID,
        &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID,
        &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID,
        &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID,
        &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID, &&INVALID,
        &&INVALID, &&INVALID,
        // 100 … 125
        &&LDC_MOV, &&MOV_MOV, &&LDC_OP, &&MOV_CMP_JF, &&LDC_MOV_CMP_JF, &&INC_JMP, &&OP_MOV, &&FELL_OFF,
        &&INC_LOOP, &&ASSIGN3, &&ASSIGN2, &&MOV_MOV_CMP_JF, &&LDC_CMP_JF, &&MOV_LDC_CMP_JF, &&ASSIGN_K,
        &&SELF_CALLN, &&MOV_LDC, &&MOV_LDC_OP, &&JMP_TEST, &&MOV_CALL, &&LDC_CALL, &&MOV_LDC_CALL,
        &&ASSIGN3_ADD, &&ASSIGN2_ADD, &&ASSIGN_K_ADD, &&INVALID};
    const TDecoded* in = nullptr;
#define KELDRA_NEXT()                                                                                        \
    do {                                                                                                     \
        if (--budget <= 0) {                                                                                 \
            FSteps += kPollInterval - budget;                                                                \
            budget = kPollInterval;                                                                          \
            Poll();                                                                                          \
        }                                                                                                    \
        in = &code[pc++];                                                                                    \
        goto* dispatch[in->Op];                                                                              \
    } while (false)
#define KELDRA_BINARY(name, op)                                                                              \
    name:                                                                                                    \
    Binary(op, r[in->A], r[in->B]);                                                                          \
    KELDRA_NEXT()

    try {
        KELDRA_NEXT();
        KELDRA_BINARY(ADD, opADD);
        KELDRA_BINARY(SUB, opSUB);
        KELDRA_BINARY(MUL, opMUL);
        KELDRA_BINARY(IDIV, opIDIV);
        KELDRA_BINARY(MOD, opMOD);
        KELDRA_BINARY(DIVR, opDIVR);
        KELDRA_BINARY(SHL, opSHL);
        KELDRA_BINARY(SHR, opSHR);
        KELDRA_BINARY(OR, opOR);
        KELDRA_BINARY(XOR, opXOR);
        KELDRA_BINARY(AND, opAND);
        KELDRA_BINARY(GE, opGE);
        KELDRA_BINARY(EQ, opEQ);
        KELDRA_BINARY(LE, opLE);
        KELDRA_BINARY(NE, opNE);
        KELDRA_BINARY(GT, opGT);
        KELDRA_BINARY(LT, opLT);
    NOT:
        r[in->A].Not();
        KELDRA_NEXT();
    NEG:
        r[in->A].Neg();
        KELDRA_NEXT();
    JMP:
        pc = in->Target;
        KELDRA_NEXT();
    JF:
        if (JumpsOnFalse(r[in->A])) pc = in->Target;
        KELDRA_NEXT();
    LDC:
        r[in->A] = constants[in->B];
        KELDRA_NEXT();
    STOP:
        FSteps += kPollInterval - budget;
        return;
    INC:
        Increment(r[in->A]);
        KELDRA_NEXT();
    DEC:
        Decrement(r[in->A]);
        KELDRA_NEXT();
    CARRIER:
        KELDRA_NEXT();
    CALLN:
        pc = CallNative(*in, pc);
        KELDRA_NEXT();
    SELFC:
        FSelf = in->A;
        KELDRA_NEXT();
    DYNGET : {
        const TDecoded& carrier = code[pc++];
        TDynaVarItem* provider = FRuntime.Provider(static_cast<std::size_t>(in->B));
        if (!provider || !provider->Get) throw EScriptError("Dynamic variable provider no longer exists");
        r[carrier.A] = provider->Get(in->A);
        KELDRA_NEXT();
    }
    DYNSET : {
        const TDecoded& carrier = code[pc++];
        TDynaVarItem* provider = FRuntime.Provider(static_cast<std::size_t>(in->B));
        if (!provider || !provider->Set) throw EScriptError("Dynamic variable provider no longer exists");
        provider->Set(in->A, r[carrier.A]);
        KELDRA_NEXT();
    }
    SELFR : {
        const TScriptValue& object = r[in->A];
        FSelf = object.IsEmpty() || object.Kind() == TValueKind::Integer ? object.IntField() : object.AsInt();
        KELDRA_NEXT();
    }
    MOV:
        if (in->A != in->B) r[in->A] = r[in->B];
        KELDRA_NEXT();
    CALL:
        if (FDepth >= kReturnStackSize) throw EScriptError("Stack overflow: calls nested too deeply");
        FReturnStack[static_cast<std::size_t>(FDepth++)] = pc;
        pc = in->Target;
        KELDRA_NEXT();
    RET:
        if (FDepth == 0) {
            FSteps += kPollInterval - budget;
            return;
        }
        pc = FReturnStack[static_cast<std::size_t>(--FDepth)];
        KELDRA_NEXT();
    ARRNEW:
        r[in->A] = TScriptValue::NewArray(0, in->B);
        KELDRA_NEXT();
    ARRPUT : {
        const TDecoded& carrier = code[pc++];
        r[carrier.A].SetItem(in->A, r[in->B]);
        KELDRA_NEXT();
    }
    INVALID:
        throw ECompilerError("Invalid opcode");
    FELL_OFF:
        throw EScriptError("Program counter out of range");
    LDC_MOV:
        r[in->A] = constants[in->B];
        r[in->C] = r[in->A];
        ++pc;
        --budget;
        KELDRA_NEXT();
    MOV_MOV:
        if (in->A != in->B) r[in->A] = r[in->B];
        if (in->C != in->D) r[in->C] = r[in->D];
        ++pc;
        --budget;
        KELDRA_NEXT();
    LDC_OP:
        r[in->B] = constants[in->C];
        Binary(in->D, r[in->A], constants[in->C]);
        ++pc;
        --budget;
        KELDRA_NEXT();
    MOV_CMP_JF:
        pc = TestInto(in->D, r[in->A], r[in->B], in->C == in->A ? r[in->B] : r[in->C]) ? in->Target : pc + 2;
        budget -= 2;
        KELDRA_NEXT();
    LDC_MOV_CMP_JF:
        r[in->E] = constants[in->F];
        pc = TestInto(in->D, r[in->A], r[in->B], in->C == in->A ? r[in->B] : r[in->C]) ? in->Target : pc + 3;
        budget -= 3;
        KELDRA_NEXT();
    INC_JMP:
        Increment(r[in->A]);
        pc = in->Target;
        --budget;
        KELDRA_NEXT();
    INC_LOOP : {
        Increment(r[in->A]);
        // The test at the jump's target, as LDC_MOV_CMP_JF runs it.
        const TDecoded& test = code[in->Target];
        r[test.E] = constants[test.F];
        pc = TestInto(test.D, r[test.A], r[test.B], test.C == test.A ? r[test.B] : r[test.C])
                 ? test.Target
                 : in->Target + 4;
        budget -= 5;
        KELDRA_NEXT();
    }
    // The assignments whose last operation is an addition, the most common
    // one (sums, counters, steps), have a copy of their handler with the
    // operation fixed, so the addition needs no test of the code.
#define KELDRA_ASSIGN3(name, lastOp)                                                                         \
    name : {                                                                                                 \
        /* MOV A, B ; MOV C, D ; LDC E, K ; (op2) C, E ; (op1) A, C ; MOV G, A */                            \
        /* with A, C and E apart and B, D read before they could change       */                             \
        /* (checked when fusing): C := D op2 K, E := K, A := B op1 C, G := A.  */                            \
        const TDecoded& op = code[pc + 1];                                                                   \
        const TDecoded& store = code[pc + 3];                                                                \
        const TScriptValue& k = constants[op.C];                                                             \
        BinaryInto(op.D, r[in->C], r[in->D], k);                                                             \
        r[op.B] = k;                                                                                         \
        BinaryInto(lastOp, r[in->A], r[in->B], r[in->C], &r[store.C]);                                       \
        pc += 5;                                                                                             \
        budget -= 5;                                                                                         \
        KELDRA_NEXT();                                                                                       \
    }
        KELDRA_ASSIGN3(ASSIGN3, code[pc + 3].D)
        KELDRA_ASSIGN3(ASSIGN3_ADD, opADD)
#undef KELDRA_ASSIGN3
#define KELDRA_ASSIGN2(name, lastOp)                                                                         \
    name : {                                                                                                 \
        /* MOV A, B ; MOV C, D ; (op) A, C ; MOV G, A with A and C apart and B */                            \
        /* read before C changes (checked when fusing).                        */                            \
        const TDecoded& store = code[pc + 1];                                                                \
        if (in->C != in->D) r[in->C] = r[in->D];                                                             \
        BinaryInto(lastOp, r[in->A], r[in->B], r[in->C], &r[store.C]);                                       \
        pc += 3;                                                                                             \
        budget -= 3;                                                                                         \
        KELDRA_NEXT();                                                                                       \
    }
        KELDRA_ASSIGN2(ASSIGN2, code[pc + 1].D)
        KELDRA_ASSIGN2(ASSIGN2_ADD, opADD)
#undef KELDRA_ASSIGN2
    MOV_MOV_CMP_JF:
        // The second MOV may read what the first wrote.
        if (in->A != in->B) r[in->A] = r[in->B];
        r[in->C] = r[in->D];
        pc = TestInto(in->E, r[in->A], r[in->A], r[in->C]) ? in->Target : pc + 3;
        budget -= 3;
        KELDRA_NEXT();
    MOV_LDC_CMP_JF:
        // The constant's register C is not A (checked when fusing); B is read
        // before C takes the constant.
        pc = TestInto(in->D, r[in->A], r[in->B], constants[in->F]) ? in->Target : pc + 3;
        r[in->C] = constants[in->F];
        budget -= 3;
        KELDRA_NEXT();
#define KELDRA_ASSIGN_K(name, lastOp)                                                                        \
    name : {                                                                                                 \
        /* MOV A, B ; LDC E, K ; (op) A, E ; MOV G, A with E apart from A and */                             \
        /* B (checked when fusing): E := K, A := B op K, G := A.              */                             \
        const TDecoded& op = code[pc];                                                                       \
        const TDecoded& store = code[pc + 2];                                                                \
        const TScriptValue& k = constants[op.C];                                                             \
        r[op.B] = k;                                                                                         \
        BinaryInto(lastOp, r[in->A], r[in->B], k, &r[store.A]);                                              \
        pc += 3;                                                                                             \
        budget -= 3;                                                                                         \
        KELDRA_NEXT();                                                                                       \
    }
        KELDRA_ASSIGN_K(ASSIGN_K, code[pc].D)
        KELDRA_ASSIGN_K(ASSIGN_K_ADD, opADD)
#undef KELDRA_ASSIGN_K
    SELF_CALLN : {
        const TScriptValue& object = r[in->A];
        FSelf = object.IsEmpty() || object.Kind() == TValueKind::Integer ? object.IntField() : object.AsInt();
        --budget;
        in = &code[pc++];
        pc = CallNativeInline(*in, pc);
        KELDRA_NEXT();
    }
    MOV_CALL:
        // MOV A, B then the SELFR and CALLN at +1.
        if (in->A != in->B) r[in->A] = r[in->B];
        in = &code[pc++];
        --budget;
        goto SELF_CALLN;
    LDC_CALL:
        r[in->A] = constants[in->B];
        in = &code[pc++];
        --budget;
        goto SELF_CALLN;
    MOV_LDC_CALL:
        // MOV A, B ; LDC C, D then the SELFR and CALLN at +2.
        if (in->A != in->B) r[in->A] = r[in->B];
        r[in->C] = constants[in->D];
        ++pc;
        in = &code[pc++];
        budget -= 2;
        goto SELF_CALLN;
    MOV_LDC_OP : {
        // MOV A, B ; LDC E, K ; (op) A, E with E apart from A (checked when
        // fusing): A := B op K, E := K.
        const TDecoded& op = code[pc];
        const TScriptValue& k = constants[op.C];
        BinaryInto(op.D, r[in->A], r[in->B], k);
        r[op.B] = k;
        pc += 2;
        budget -= 2;
        KELDRA_NEXT();
    }
    JMP_TEST:
        // The jump, then the MOV_MOV_CMP_JF at its target.
        pc = in->Target + 1;
        in = &code[pc - 1];
        --budget;
        goto MOV_MOV_CMP_JF;
    MOV_LDC:
        if (in->A != in->B) r[in->A] = r[in->B];
        r[in->C] = constants[in->D];
        ++pc;
        --budget;
        KELDRA_NEXT();
    LDC_CMP_JF:
        r[in->B] = constants[in->C];
        pc = TestInto(in->D, r[in->A], r[in->A], constants[in->C]) ? in->Target : pc + 2;
        budget -= 2;
        KELDRA_NEXT();
    OP_MOV:
        BinaryInto(in->D, r[in->A], r[in->A], r[in->B], &r[in->C]);
        ++pc;
        --budget;
        KELDRA_NEXT();
    } catch (const std::bad_alloc&) {
        FSteps += kPollInterval - budget;
        throw EScriptError("Out of memory");
    } catch (...) {
        FSteps += kPollInterval - budget;
        throw;
    }
#undef KELDRA_BINARY
#undef KELDRA_NEXT
#pragma GCC diagnostic pop
}

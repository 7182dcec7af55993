#include "script/BinProg.h"

#include "script/ScriptErrors.h"

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
    xInvalid = -1,
    xLdcMov = 100,      // LDC A, B ; MOV C, A
    xMovMov = 101,      // MOV A, B ; MOV C, D
    xLdcOp = 102,       // LDC B, C ; (D) A, B
    xMovCmpJf = 103,    // MOV A, B ; (D) A, C ; JF A, Target
    xLdcMovCmpJf = 104, // LDC E, F ; MOV A, B ; (D) A, C ; JF A, Target
    xIncJmp = 105,      // INC A ; JMP Target
    xOpMov = 106,
    xFellOff = 107, // after the last instruction: running off the end       // (D) A, B ; MOV C, A
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

// a := a op b for the binary codes, integers and reals on the fast path.
[[gnu::always_inline]] inline void Binary(std::int32_t op, TScriptValue& a, const TScriptValue& b) {
    if (IntPair(a, b)) {
        const std::int32_t x = a.IntField();
        const std::int32_t y = b.IntField();
        std::int32_t z;
        switch (op) {
        case opADD:
            if (!__builtin_add_overflow(x, y, &z)) return a.SetInt(z);
            break;
        case opSUB:
            if (!__builtin_sub_overflow(x, y, &z)) return a.SetInt(z);
            break;
        case opMUL:
            if (!__builtin_mul_overflow(x, y, &z)) return a.SetInt(z);
            break;
        case opIDIV:
            if (y != 0 && y != -1) return a.SetInt(x / y);
            break;
        case opMOD:
            if (y != 0 && y != -1) return a.SetInt(x % y);
            break;
        case opGE:
            return a.SetBool(x >= y);
        case opEQ:
            return a.SetBool(x == y);
        case opLE:
            return a.SetBool(x <= y);
        case opNE:
            return a.SetBool(x != y);
        case opGT:
            return a.SetBool(x > y);
        case opLT:
            return a.SetBool(x < y);
        default:
            break;
        }
    } else if (Numeric(a) && Numeric(b)) {
        // At least one real: real arithmetic and comparison.
        const double x = a.Kind() == TValueKind::Real ? a.RealField() : a.IntField();
        const double y = b.Kind() == TValueKind::Real ? b.RealField() : b.IntField();
        switch (op) {
        case opADD:
            return a.SetReal(x + y);
        case opSUB:
            return a.SetReal(x - y);
        case opMUL:
            return a.SetReal(x * y);
        case opGE:
            return a.SetBool(x >= y);
        case opLE:
            return a.SetBool(x <= y);
        case opGT:
            return a.SetBool(x > y);
        case opLT:
            return a.SetBool(x < y);
        default:
            break;
        }
    }
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
        if (first.Op == opLDC && k + 3 < size && !data[k + 1] && !data[k + 2] && !data[k + 3] &&
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
        } else if (first.Op == opMOV && plain(k + 1, opMOV)) {
            first = TDecoded{xMovMov, first.A, first.B, second.A, second.B};
        } else if (first.Op == opLDC && !data[k + 1] && IsBinary(second.Op) && second.B == first.A &&
                   second.A != first.A) {
            first = TDecoded{xLdcOp, second.A, first.A, first.B, second.Op};
        }
    }
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
    Fuse(fuse, carriers);
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

void TBinProg::CallNative(const TDecoded& call, std::int32_t& pc) {
    const TFunListItem& entry = FRuntime.Native(static_cast<std::size_t>(call.B));
    if (!entry.Routine) throw EScriptError("Native routine " + entry.Name + " has no implementation");
    const int n = entry.ParamCount();
    std::array<std::int32_t, kMaxParameters + 1> argRegisters{};
    for (int k = 0; k < n; ++k) {
        const TDecoded& carrier = FCode[static_cast<std::size_t>(pc + k / 3)];
        argRegisters[static_cast<std::size_t>(k)] = k % 3 == 0   ? carrier.Op
                                                    : k % 3 == 1 ? carrier.A
                                                                 : carrier.B;
        FArgs[static_cast<std::size_t>(k)] =
            FRegisters[static_cast<std::size_t>(argRegisters[static_cast<std::size_t>(k)])];
    }
    pc += (n + 2) / 3;
    TScriptValue result;
    TNativeCall nativeCall{FSelf, entry.ShortName, FArgs, result};
    entry.Routine(nativeCall);
    FRegisters[static_cast<std::size_t>(call.A)] = std::move(result);
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (entry.ParamKinds[i] == pkByRef) FRegisters[static_cast<std::size_t>(argRegisters[i])] = FArgs[i];
        FArgs[i] = TScriptValue();
    }
}

void TBinProg::RunFrom(std::int32_t start) {
    FDepth = 0;
    const auto size = static_cast<std::int32_t>(FCode.size());
    TScriptValue* r = FRegisters.data();
    const TDecoded* code = FCode.data();
    std::int32_t pc = start;
    if (pc < 0 || pc >= size) throw EScriptError("Program counter out of range");
    std::int64_t budget = kPollInterval;
    auto settle = [&] { FSteps += kPollInterval - budget; };
    try {
        for (;;) {
            if (--budget <= 0) {
                FSteps += kPollInterval - budget;
                budget = kPollInterval;
                Poll();
            }
            const TDecoded& in = code[pc++];
            switch (in.Op) {
            case opADD:
            case opSUB:
            case opMUL:
            case opIDIV:
            case opMOD:
            case opDIVR:
            case opSHL:
            case opSHR:
            case opOR:
            case opXOR:
            case opAND:
            case opGE:
            case opEQ:
            case opLE:
            case opNE:
            case opGT:
            case opLT:
                Binary(in.Op, r[in.A], r[in.B]);
                break;
            case opNOT:
                r[in.A].Not();
                break;
            case xLdcMov:
                r[in.A] = FImage.Constants[static_cast<std::size_t>(in.B)];
                r[in.C] = r[in.A];
                ++pc;
                --budget;
                break;
            case xMovMov:
                if (in.A != in.B) r[in.A] = r[in.B];
                if (in.C != in.D) r[in.C] = r[in.D];
                ++pc;
                --budget;
                break;
            case xLdcOp:
                r[in.B] = FImage.Constants[static_cast<std::size_t>(in.C)];
                Binary(in.D, r[in.A], r[in.B]);
                ++pc;
                --budget;
                break;
            case xFellOff:
                throw EScriptError("Program counter out of range");
            case xLdcMovCmpJf:
                r[in.E] = FImage.Constants[static_cast<std::size_t>(in.F)];
                if (in.A != in.B) r[in.A] = r[in.B];
                Binary(in.D, r[in.A], r[in.C]);
                pc = JumpsOnFalse(r[in.A]) ? in.Target : pc + 3;
                budget -= 3;
                break;
            case xIncJmp:
                Increment(r[in.A]);
                pc = in.Target;
                --budget;
                break;
            case xOpMov:
                Binary(in.D, r[in.A], r[in.B]);
                r[in.C] = r[in.A];
                ++pc;
                --budget;
                break;
            case xMovCmpJf:
                if (in.A != in.B) r[in.A] = r[in.B];
                Binary(in.D, r[in.A], r[in.C]);
                pc = JumpsOnFalse(r[in.A]) ? in.Target : pc + 2;
                budget -= 2;
                break;
            case opNEG:
                r[in.A].Neg();
                break;
            case opJMP:
                pc = in.Target;
                break;
            case opJF:
                if (JumpsOnFalse(r[in.A])) pc = in.Target;
                break;
            case opLDC:
                r[in.A] = FImage.Constants[static_cast<std::size_t>(in.B)];
                break;
            case opSTOP:
                settle();
                return;
            case opINC:
                Increment(r[in.A]);
                break;
            case opDEC:
                Decrement(r[in.A]);
                break;
            case opCARRIER:
                break;
            case opCALLN:
                CallNative(in, pc);
                break;
            case opSELFC:
                FSelf = in.A;
                break;
            case opDYNGET: {
                const TDecoded& carrier = code[pc++];
                TDynaVarItem* provider = FRuntime.Provider(static_cast<std::size_t>(in.B));
                if (!provider || !provider->Get)
                    throw EScriptError("Dynamic variable provider no longer exists");
                r[carrier.A] = provider->Get(in.A);
                break;
            }
            case opDYNSET: {
                const TDecoded& carrier = code[pc++];
                TDynaVarItem* provider = FRuntime.Provider(static_cast<std::size_t>(in.B));
                if (!provider || !provider->Set)
                    throw EScriptError("Dynamic variable provider no longer exists");
                provider->Set(in.A, r[carrier.A]);
                break;
            }
            case opSELFR: {
                const TScriptValue& object = r[in.A];
                FSelf = object.IsEmpty() || object.Kind() == TValueKind::Integer ? object.IntField()
                                                                                 : object.AsInt();
                break;
            }
            case opMOV:
                if (in.A != in.B) r[in.A] = r[in.B];
                break;
            case opCALL:
                if (FDepth >= kReturnStackSize) throw EScriptError("Stack overflow: calls nested too deeply");
                FReturnStack[static_cast<std::size_t>(FDepth++)] = pc;
                pc = in.Target;
                break;
            case opRET:
                if (FDepth == 0) {
                    settle();
                    return;
                }
                pc = FReturnStack[static_cast<std::size_t>(--FDepth)];
                break;
            case opARRNEW:
                r[in.A] = TScriptValue::NewArray(0, in.B);
                break;
            case opARRPUT: {
                const TDecoded& carrier = code[pc++];
                r[carrier.A].SetItem(in.A, r[in.B]);
                break;
            }
            default:
                throw ECompilerError("Invalid opcode");
            }
        }
    } catch (const std::bad_alloc&) {
        settle();
        throw EScriptError("Out of memory");
    } catch (...) {
        settle();
        throw;
    }
}

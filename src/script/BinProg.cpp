#include "script/BinProg.h"

#include "script/ScriptErrors.h"

namespace {

constexpr std::int64_t kPollInterval = 65536;

std::int32_t LabelAddress(const TProgramImage& image, std::int32_t label) {
    if (label < 0 || static_cast<std::size_t>(label) >= image.Labels.size()) return -1;
    return image.Labels[static_cast<std::size_t>(label)];
}

} // namespace

TBinProg::TBinProg(TProgramImage image, TScriptRuntime& runtime) : FRuntime(runtime), FImage(std::move(image)) {
    ValidateImage(FImage, FRuntime);
    FCode.reserve(FImage.Code.size());
    for (const TInstruction& in : FImage.Code) {
        TDecoded decoded{in.Op, in.A, in.B, -1};
        if (in.Op == opJMP || in.Op == opCALL)
            decoded.Target = LabelAddress(FImage, in.A);
        else if (in.Op == opJF)
            decoded.Target = LabelAddress(FImage, in.B);
        FCode.push_back(decoded);
    }
    for (TScriptValue& reg : FRegisters) reg = TScriptValue::FromInt(0);
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
        argRegisters[static_cast<std::size_t>(k)] = k % 3 == 0 ? carrier.Op : k % 3 == 1 ? carrier.A : carrier.B;
        FArgs[static_cast<std::size_t>(k)] = FRegisters[static_cast<std::size_t>(argRegisters[static_cast<std::size_t>(k)])];
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
    std::int64_t budget = kPollInterval;
    auto settle = [&] { FSteps += kPollInterval - budget; };
    try {
    for (;;) {
        if (pc < 0 || pc >= size) throw EScriptError("Program counter out of range");
        if (--budget == 0) {
            FSteps += kPollInterval;
            budget = kPollInterval;
            Poll();
        }
        const TDecoded& in = code[pc++];
            switch (in.Op) {
            case opADD: {
                TScriptValue& a = r[in.A];
                const TScriptValue& b = r[in.B];
                std::int32_t sum;
                if (a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer &&
                    !__builtin_add_overflow(a.IntField(), b.IntField(), &sum))
                    a = TScriptValue::FromInt(sum);
                else
                    a.Add(b);
                break;
            }
            case opSUB: {
                TScriptValue& a = r[in.A];
                const TScriptValue& b = r[in.B];
                std::int32_t difference;
                if (a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer &&
                    !__builtin_sub_overflow(a.IntField(), b.IntField(), &difference))
                    a = TScriptValue::FromInt(difference);
                else
                    a.Sub(b);
                break;
            }
            case opMUL: r[in.A].Mul(r[in.B]); break;
            case opIDIV: r[in.A].IntDiv(r[in.B]); break;
            case opMOD: r[in.A].Mod(r[in.B]); break;
            case opDIVR: r[in.A].RealDiv(r[in.B]); break;
            case opSHL: r[in.A].Shl(r[in.B]); break;
            case opSHR: r[in.A].Shr(r[in.B]); break;
            case opNOT: r[in.A].Not(); break;
            case opOR: r[in.A].Or(r[in.B]); break;
            case opXOR: r[in.A].Xor(r[in.B]); break;
            case opAND: r[in.A].And(r[in.B]); break;
            case opGE: r[in.A] = TScriptValue::FromBool(TScriptValue::Compare(r[in.A], r[in.B]) >= 0); break;
            case opEQ: r[in.A] = TScriptValue::FromBool(TScriptValue::SameTypeEqual(r[in.A], r[in.B])); break;
            case opLE: {
                TScriptValue& a = r[in.A];
                const TScriptValue& b = r[in.B];
                if (a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer)
                    a = TScriptValue::FromBool(a.IntField() <= b.IntField());
                else
                    a = TScriptValue::FromBool(TScriptValue::Compare(a, b) <= 0);
                break;
            }
            case opNE: r[in.A] = TScriptValue::FromBool(!TScriptValue::SameTypeEqual(r[in.A], r[in.B])); break;
            case opGT: r[in.A] = TScriptValue::FromBool(TScriptValue::Compare(r[in.A], r[in.B]) > 0); break;
            case opLT: r[in.A] = TScriptValue::FromBool(TScriptValue::Compare(r[in.A], r[in.B]) < 0); break;
            case opNEG: r[in.A].Neg(); break;
            case opJMP: pc = in.Target; break;
            case opJF:
                if (r[in.A].IsFalse()) pc = in.Target;
                break;
            case opLDC: r[in.A] = FImage.Constants[static_cast<std::size_t>(in.B)]; break;
            case opSTOP: settle(); return;
            case opINC: {
                TScriptValue& a = r[in.A];
                if (a.Kind() == TValueKind::Integer && a.IntField() != 0x7FFFFFFF)
                    a = TScriptValue::FromInt(a.IntField() + 1);
                else
                    a.Inc();
                break;
            }
            case opDEC: {
                TScriptValue& a = r[in.A];
                if (a.Kind() == TValueKind::Integer && a.IntField() != std::int32_t(-0x7FFFFFFF - 1))
                    a = TScriptValue::FromInt(a.IntField() - 1);
                else
                    a.Dec();
                break;
            }
            case opCARRIER: break;
            case opCALLN: CallNative(in, pc); break;
            case opSELFC: FSelf = in.A; break;
            case opDYNGET: {
                const TDecoded& carrier = code[pc++];
                TDynaVarItem* provider = FRuntime.Provider(static_cast<std::size_t>(in.B));
                if (!provider || !provider->Get) throw EScriptError("Dynamic variable provider no longer exists");
                r[carrier.A] = provider->Get(in.A);
                break;
            }
            case opDYNSET: {
                const TDecoded& carrier = code[pc++];
                TDynaVarItem* provider = FRuntime.Provider(static_cast<std::size_t>(in.B));
                if (!provider || !provider->Set) throw EScriptError("Dynamic variable provider no longer exists");
                provider->Set(in.A, r[carrier.A]);
                break;
            }
            case opSELFR: {
                const TScriptValue& object = r[in.A];
                FSelf = object.IsEmpty() || object.Kind() == TValueKind::Integer ? object.IntField() : object.AsInt();
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
            case opARRNEW: r[in.A] = TScriptValue::NewArray(0, in.B); break;
            case opARRPUT: {
                const TDecoded& carrier = code[pc++];
                r[carrier.A].SetItem(in.A, r[in.B]);
                break;
            }
            default: throw ECompilerError("Invalid opcode");
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

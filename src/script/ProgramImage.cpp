#include "script/ProgramImage.h"

#include "script/Opcodes.h"
#include "script/Runtime.h"
#include "script/ScriptErrors.h"

#include <bit>
#include <cstring>
#include <string>

namespace {

// The image is written byte by byte: its layout is fixed little-endian
// whatever the host.
void PutI32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<std::uint8_t>(u >> (8 * k)));
}

void PutF64(std::vector<std::uint8_t>& out, double value) {
    const auto u = std::bit_cast<std::uint64_t>(value);
    for (int k = 0; k < 8; ++k)
        out.push_back(static_cast<std::uint8_t>(u >> (8 * k)));
}

class TImageReader {
public:
    explicit TImageReader(std::span<const std::uint8_t> bytes) : FBytes(bytes) {}

    void Need(std::size_t n) const {
        if (FBytes.size() - FPos < n) throw ECompilerError("Program image ends too early");
    }
    std::uint8_t Byte() {
        Need(1);
        return FBytes[FPos++];
    }
    std::int32_t I32() {
        Need(4);
        std::uint32_t u = 0;
        for (int k = 0; k < 4; ++k)
            u |= std::uint32_t{FBytes[FPos + static_cast<std::size_t>(k)]} << (8 * k);
        FPos += 4;
        return static_cast<std::int32_t>(u);
    }
    double F64() {
        Need(8);
        std::uint64_t u = 0;
        for (int k = 0; k < 8; ++k)
            u |= std::uint64_t{FBytes[FPos + static_cast<std::size_t>(k)]} << (8 * k);
        FPos += 8;
        return std::bit_cast<double>(u);
    }
    std::string Text(std::size_t n) {
        Need(n);
        std::string text(reinterpret_cast<const char*>(FBytes.data() + FPos), n);
        FPos += n;
        return text;
    }
    // A count whose items need at least `itemSize` bytes each.
    std::size_t Count(std::size_t itemSize) {
        const std::int32_t count = I32();
        if (count < 0 || static_cast<std::size_t>(count) > (FBytes.size() - FPos) / itemSize)
            throw ECompilerError("Program image holds a wrong count");
        return static_cast<std::size_t>(count);
    }

private:
    std::span<const std::uint8_t> FBytes;
    std::size_t FPos = 0;
};

[[noreturn]] void Invalid(const std::string& what, std::size_t at) {
    throw ECompilerError("Invalid program image: " + what + " at instruction " + std::to_string(at));
}

} // namespace

std::vector<std::uint8_t> WriteImage(const TProgramImage& image) {
    std::vector<std::uint8_t> out;
    out.reserve(12 + image.Constants.size() * 9 + image.Labels.size() * 4 + image.Code.size() * 12);
    PutI32(out, static_cast<std::int32_t>(image.Constants.size()));
    for (const TScriptValue& constant : image.Constants) {
        switch (constant.Kind()) {
        case TValueKind::Integer:
            out.push_back(1);
            PutI32(out, constant.IntField());
            break;
        case TValueKind::Real:
            out.push_back(2);
            PutF64(out, constant.AsReal());
            break;
        case TValueKind::String: {
            const std::string& text = constant.StringRef();
            if (text.size() > static_cast<std::size_t>(kMaxStringConstant))
                throw ECompilerError("String constant too long");
            out.push_back(3);
            out.push_back(static_cast<std::uint8_t>(text.size()));
            out.insert(out.end(), text.begin(), text.end());
            break;
        }
        case TValueKind::Boolean:
            out.push_back(4);
            out.push_back(constant.AsBool() ? 1 : 0);
            break;
        default:
            throw ECompilerError("Unknown variable type during writing program");
        }
    }
    PutI32(out, static_cast<std::int32_t>(image.Labels.size()));
    for (std::int32_t address : image.Labels)
        PutI32(out, address);
    PutI32(out, static_cast<std::int32_t>(image.Code.size()));
    for (const TInstruction& instruction : image.Code) {
        PutI32(out, instruction.A);
        PutI32(out, instruction.B);
        PutI32(out, instruction.Op);
    }
    return out;
}

TProgramImage ReadImage(std::span<const std::uint8_t> bytes) {
    TImageReader in(bytes);
    TProgramImage image;
    const std::size_t constants = in.Count(2);
    image.Constants.reserve(constants);
    for (std::size_t k = 0; k < constants; ++k) {
        switch (in.Byte()) {
        case 1:
            image.Constants.push_back(TScriptValue::FromInt(in.I32()));
            break;
        case 2:
            image.Constants.push_back(TScriptValue::FromReal(in.F64()));
            break;
        case 3: {
            const std::size_t length = in.Byte();
            image.Constants.push_back(TScriptValue::FromString(in.Text(length)));
            break;
        }
        case 4:
            image.Constants.push_back(TScriptValue::FromBool(in.Byte() != 0));
            break;
        default:
            throw ECompilerError("Unknown reader type");
        }
    }
    const std::size_t labels = in.Count(4);
    image.Labels.reserve(labels);
    for (std::size_t k = 0; k < labels; ++k)
        image.Labels.push_back(in.I32());
    const std::size_t code = in.Count(12);
    image.Code.reserve(code);
    for (std::size_t k = 0; k < code; ++k) {
        TInstruction instruction;
        instruction.A = in.I32();
        instruction.B = in.I32();
        instruction.Op = in.I32();
        image.Code.push_back(instruction);
    }
    return image;
}

std::vector<bool> ValidateImage(const TProgramImage& image, const TScriptRuntime& runtime) {
    const std::size_t nativeCount = runtime.NativeCount();
    const std::size_t providerCount = runtime.ProviderCount();
    const std::size_t size = image.Code.size();
    for (std::size_t k = 0; k < image.Labels.size(); ++k) {
        const std::int32_t address = image.Labels[k];
        // A label may point just past the last instruction only when nothing
        // jumps there; running off the end is caught at run time as well.
        if (address < 0 || static_cast<std::size_t>(address) > size)
            throw ECompilerError("Invalid program image: label " + std::to_string(k) +
                                 " points outside the code");
    }
    auto isRegister = [](std::int32_t r) { return r >= 0 && r < kRegisterCount; };
    auto isLabel = [&](std::int32_t l) {
        return l >= 0 && static_cast<std::size_t>(l) < image.Labels.size() &&
               static_cast<std::size_t>(image.Labels[static_cast<std::size_t>(l)]) < size;
    };
    // Carriers are skipped by the instruction they belong to; no jump may land on one.
    std::vector<bool> isCarrier(size, false);
    for (std::size_t k = 0; k < size; ++k) {
        const TInstruction& in = image.Code[k];
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
        case opMOV:
            if (!isRegister(in.A) || !isRegister(in.B)) Invalid("register out of range", k);
            break;
        case opNOT:
        case opNEG:
        case opINC:
        case opDEC:
        case opSELFR:
            if (!isRegister(in.A)) Invalid("register out of range", k);
            break;
        case opJMP:
        case opCALL:
            if (!isLabel(in.A)) Invalid("label out of range", k);
            break;
        case opJF:
            if (!isRegister(in.A) || !isLabel(in.B)) Invalid("jump operands out of range", k);
            break;
        case opLDC:
            if (!isRegister(in.A) || in.B < 0 || static_cast<std::size_t>(in.B) >= image.Constants.size())
                Invalid("constant out of range", k);
            break;
        case opSTOP:
        case opRET:
        case opSELFC:
            break;
        case opCARRIER:
            break; // only ever skipped
        case opDYNGET:
        case opDYNSET:
            if (in.B < 0 || static_cast<std::size_t>(in.B) >= providerCount)
                Invalid("provider out of range", k);
            if (k + 1 >= size || !isRegister(image.Code[k + 1].A)) Invalid("missing variable carrier", k);
            isCarrier[++k] = true;
            break;
        case opCALLN: {
            if (!isRegister(in.A) || in.B < 0 || static_cast<std::size_t>(in.B) >= nativeCount)
                Invalid("native call out of range", k);
            const int n = runtime.Native(static_cast<std::size_t>(in.B)).ParamCount();
            const std::size_t carriers = static_cast<std::size_t>((n + 2) / 3);
            if (size - k - 1 < carriers) Invalid("missing argument carriers", k);
            for (int arg = 0; arg < n; ++arg) {
                const TInstruction& carrier = image.Code[k + 1 + static_cast<std::size_t>(arg / 3)];
                const std::int32_t r = arg % 3 == 0 ? carrier.Op : arg % 3 == 1 ? carrier.A : carrier.B;
                if (!isRegister(r)) Invalid("argument register out of range", k);
            }
            for (std::size_t c = 1; c <= carriers; ++c)
                isCarrier[k + c] = true;
            k += carriers;
            break;
        }
        case opARRNEW:
            // An array literal fills each element with an instruction of its
            // own, so no literal has more elements than the code has lines.
            if (!isRegister(in.A) || in.B < 0 || static_cast<std::size_t>(in.B) > size)
                Invalid("array operands out of range", k);
            break;
        case opARRPUT:
            if (!isRegister(in.B)) Invalid("register out of range", k);
            if (k + 1 >= size || !isRegister(image.Code[k + 1].A)) Invalid("missing array carrier", k);
            isCarrier[++k] = true;
            break;
        default:
            // Operation codes the interpreter does not know raise "Invalid
            // opcode" only when reached, as a hand-built image may hold data.
            break;
        }
    }
    for (std::size_t l = 0; l < image.Labels.size(); ++l) {
        const auto address = static_cast<std::size_t>(image.Labels[l]);
        if (address < size && isCarrier[address])
            throw ECompilerError("Invalid program image: label " + std::to_string(l) +
                                 " points at an operand carrier");
    }
    return isCarrier;
}

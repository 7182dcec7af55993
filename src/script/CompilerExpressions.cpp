// Expressions, compiled by recursive descent straight into instructions.
// Every operand ends up in a temporary; an operation writes into its left
// operand's register.

#include "script/CompilerImpl.h"

#include <charconv>
#include <limits>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Hexadecimal digits as a signed 32-bit value; invalid digits, no digits or
// more than 32 bits give 0.
std::int32_t HexToInt(const std::string& digits) {
    std::uint32_t value = 0;
    if (digits.empty()) return 0;
    for (const char c : digits) {
        const int digit = HexValue(c);
        if (digit < 0 || (value >> 28) != 0) return 0;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

std::int32_t THalCompiler::TImpl::Expression() {
    TDepthGuard depth(*this, ExpressionDepth, "Expression too complex");
    const std::int32_t left = SimpleExpression();
    const int kind = Peek().Kind;
    std::int32_t op = -1;
    if (kind == '=') {
        Next();
        op = opEQ;
    } else if (kind == '<') {
        Next();
        op = opLT;
        if (PeekIs('>')) {
            Next();
            op = opNE;
        } else if (PeekIs('=')) {
            Next();
            op = opLE;
        }
    } else if (kind == '>') {
        Next();
        op = opGT;
        if (PeekIs('=')) {
            Next();
            op = opGE;
        }
    }
    if (op >= 0) {
        TTempMark temps(*this);
        const std::int32_t right = SimpleExpression();
        Emit(op, left, right);
    }
    return left;
}

std::int32_t THalCompiler::TImpl::SimpleExpression() {
    const std::int32_t left = Term();
    for (;;) {
        std::int32_t op = -1;
        switch (Peek().Kind) {
        case '+':
            op = opADD;
            break;
        case '-':
            op = opSUB;
            break;
        case kwOr:
            op = opOR;
            break;
        case kwXor:
            op = opXOR;
            break;
        default:
            return left;
        }
        Next();
        TTempMark temps(*this);
        const std::int32_t right = Term();
        Emit(op, left, right);
    }
}

std::int32_t THalCompiler::TImpl::Term() {
    const std::int32_t left = Factor();
    for (;;) {
        std::int32_t op = -1;
        switch (Peek().Kind) {
        case '*':
            op = opMUL;
            break;
        case '/':
            op = opDIVR;
            break;
        case kwDiv:
            op = opIDIV;
            break;
        case kwMod:
            op = opMOD;
            break;
        case kwAnd:
            op = opAND;
            break;
        case kwShl:
            op = opSHL;
            break;
        case kwShr:
            op = opSHR;
            break;
        default:
            return left;
        }
        Next();
        TTempMark temps(*this);
        const std::int32_t right = Factor();
        Emit(op, left, right);
    }
}

std::int32_t THalCompiler::TImpl::Factor() {
    const TToken token = Next();
    switch (token.Kind) {
    case '(': {
        const std::int32_t r = Expression();
        const int close = Next().Kind;
        if (close != ')' && close != ']') Fail(") expected");
        return r;
    }
    case '+': {
        TDepthGuard depth(*this, ExpressionDepth, "Expression too complex");
        return Factor();
    }
    case '-':
    case kwNot: {
        TDepthGuard depth(*this, ExpressionDepth, "Expression too complex");
        const std::int32_t r = Factor();
        Emit(token.Kind == '-' ? opNEG : opNOT, r);
        return r;
    }
    case '[':
        return ArrayConstructor(true);
    case tkString:
    case '#':
        return StringFactor(token);
    case '$': {
        const TToken digits = Next();
        if (digits.Kind != tkNumber) Fail("Hex constant declaration error");
        return LoadConstant(TScriptValue::FromInt(HexToInt(digits.Text)));
    }
    case tkHexConst:
        return LoadConstant(TScriptValue::FromInt(HexToInt(token.Text)));
    case tkNumber:
        return NumberFactor(token);
    case kwTrue:
    case kwFalse:
        return LoadConstant(TScriptValue::FromBool(token.Kind == kwTrue));
    case kwNil:
        return LoadConstant(TScriptValue::FromInt(0));
    case tkNamedConst:
        return LoadConstant(Runtime.Const(static_cast<std::size_t>(token.ConstIndex)));
    case tkIdentifier:
        return IdentifierFactor(token);
    default:
        Fail("Unknown identifier: " + token.ValueText());
    }
}

std::int32_t THalCompiler::TImpl::StringFactor(const TToken& first) {
    std::string text;
    TToken token = first;
    for (;;) {
        if (token.Kind == tkString) {
            text += token.Text;
        } else {
            const TToken code = Next();
            if (code.Kind != tkNumber) Fail("String constant declaration error");
            unsigned value = 0;
            for (const char c : code.Text)
                value = (value * 10 + static_cast<unsigned>(c - '0')) & 0xFFFFu;
            text.push_back(static_cast<char>(value & 0xFFu));
        }
        const int next = Peek().Kind;
        if (next != tkString && next != '#') break;
        token = Next();
    }
    if (text.size() > static_cast<std::size_t>(kMaxStringConstant)) Fail("String constant too long");
    return LoadConstant(TScriptValue::FromString(text));
}

std::int32_t THalCompiler::TImpl::NumberFactor(const TToken& first) {
    if (PeekIs('.')) {
        Next();
        const TToken fraction = Next();
        if (fraction.Kind != tkNumber) Fail("Real constant declaration error");
        const std::string text = first.Text + "." + fraction.Text;
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return LoadConstant(TScriptValue::FromReal(value));
    }
    std::int64_t value = 0;
    for (const char c : first.Text) {
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            // Too large for an integer: a real constant.
            double real = 0;
            std::from_chars(first.Text.data(), first.Text.data() + first.Text.size(), real);
            return LoadConstant(TScriptValue::FromReal(real));
        }
    }
    return LoadConstant(TScriptValue::FromInt(static_cast<std::int32_t>(value)));
}

std::int32_t THalCompiler::TImpl::IdentifierFactor(const TToken& first) {
    const TMemberName name = ReadName(first);
    if (PeekIs('(') || PeekIs('[')) {
        if (const TIdentEntry* routine = ResolveRoutine(name.Name)) return ScriptCall(*routine, true);
        const auto index = FindNativeInClasses(name.Name);
        if (!index) Fail("Unknown identifier: " + name.Name);
        return NativeCall(*index, name, false);
    }
    if (const THostObject* object = HostObject(name.Name))
        return LoadConstant(TScriptValue::FromInt(object->Object));
    if (const auto dyna = Runtime.FindDynaVar(name.Name, Host)) {
        const std::int32_t t = NewTemp();
        Emit(opDYNGET, dyna->second, static_cast<std::int32_t>(dyna->first));
        Emit(opCARRIER, t);
        return t;
    }
    if (const TIdentEntry* entry = Resolve(name.Name)) {
        if (entry->second.Routine != 0) Fail("Invalid procedure usage");
        const std::int32_t t = NewTemp();
        Emit(opMOV, t, entry->second.Number);
        return t;
    }
    const auto index = FindNativeInClasses(name.Name);
    if (!index) Fail("Unknown identifier: " + name.Name);
    return NativeCall(*index, name, false);
}

std::int32_t THalCompiler::TImpl::ArrayConstructor(bool bracketed) {
    // `[` is consumed by the caller when bracketed.
    const std::int32_t array = NewTemp();
    std::vector<std::int32_t> elements;
    const int first = Peek().Kind;
    if (first != ']' && first != ')') {
        for (;;) {
            elements.push_back(Expression());
            if (!PeekIs(',')) break;
            Next();
        }
    }
    if (bracketed) {
        const TToken close = Next();
        if (close.Kind != ']' && close.Kind != ')') Fail("] expected but " + close.ValueText() + " found");
    }
    const auto count = static_cast<std::int32_t>(elements.size());
    Emit(opARRNEW, array, count);
    {
        TTempMark temps(*this);
        const std::int32_t t = LoadConstant(TScriptValue::FromInt(count));
        Emit(opARRPUT, 0, t);
        Emit(opADD, array);
    }
    for (std::int32_t i = 0; i < count; ++i) {
        Emit(opARRPUT, i + 1, elements[static_cast<std::size_t>(i)]);
        Emit(opADD, array);
    }
    TempNext = array - 1;
    return array;
}

void THalCompiler::TImpl::EmitBinding(const TMemberName& name) {
    if (name.Binding == TMemberName::bnConst)
        Emit(opSELFC, name.Bound);
    else if (name.Binding == TMemberName::bnRegister)
        Emit(opSELFR, name.Bound);
}

void THalCompiler::TImpl::EmitNativeCall(std::int32_t result, std::size_t index,
                                         const std::vector<std::int32_t>& args) {
    Emit(opCALLN, result, static_cast<std::int32_t>(index));
    for (std::size_t i = 0; i < args.size(); i += 3) {
        const std::int32_t op = args[i];
        const std::int32_t a = i + 1 < args.size() ? args[i + 1] : 0;
        const std::int32_t b = i + 2 < args.size() ? args[i + 2] : 0;
        Emit(op, a, b);
    }
}

std::int32_t THalCompiler::TImpl::VariableArgument() {
    const TToken name = Next();
    if (name.Kind != tkIdentifier) Fail("Variable name expected");
    const TIdentEntry* variable = ResolveData(name.Text);
    if (!variable) Fail("Variable <" + name.Text + "> not defined");
    return variable->second.Number;
}

std::int32_t THalCompiler::TImpl::NativeCall(std::size_t index, const TMemberName& name, bool statement) {
    const TFunListItem& entry = Runtime.Native(index);
    if (statement ? entry.Kind > ekProcedure : entry.Kind != ekFunction)
        Fail(statement ? "Invalid function usage" : "Invalid procedure usage");
    const std::vector<std::uint8_t> kinds = entry.ParamKinds;
    const std::size_t n = kinds.size();
    const std::int32_t saved = TempNext;
    std::vector<std::int32_t> args;
    if (n > 0) {
        const int open = Next().Kind;
        if (open != '(' && open != '[') Fail("( expected");
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t kind = kinds[i];
        if (i > 0 && kind != pkAssigned && Next().Kind != ',') Fail("Comma expected");
        switch (kind) {
        case pkValue:
            args.push_back(Expression());
            break;
        case pkByRef:
            args.push_back(VariableArgument());
            break;
        case pkArray:
            if (n == 1 && !PeekIs('[')) {
                args.push_back(ArrayConstructor(false));
            } else {
                const TToken open = Next();
                if (open.Kind != '[') Fail("[ expected but " + open.ValueText() + " found");
                args.push_back(ArrayConstructor(true));
            }
            break;
        case pkAssigned: {
            const int close = Next().Kind;
            if (close != ')' && close != ']') Fail(") expected");
            if (Next().Kind != ':') Fail("Colon expected");
            if (Next().Kind != '=') Fail("= expected");
            args.push_back(Expression());
            break;
        }
        default:
            Fail("Unsupported parameter type");
        }
    }
    if (n > 0 && kinds.back() != pkAssigned) {
        const int close = Next().Kind;
        if (close != ')' && close != ']') Fail(") expected");
    }
    TempNext = saved;
    const std::int32_t result = NewTemp();
    EmitBinding(name);
    EmitNativeCall(result, index, args);
    return result;
}

std::int32_t THalCompiler::TImpl::ScriptCall(const TIdentEntry& routine, bool wantValue) {
    const std::string& key = routine.first;
    const TIdentListItem& item = routine.second;
    const auto n = static_cast<std::size_t>(item.ParamCount);
    std::vector<std::pair<std::int32_t, std::int32_t>> copyBack; // variable, parameter
    if (n > 0) {
        const int open = Next().Kind;
        if (open != '(' && open != '[') Fail("( expected");
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && Next().Kind != ',') Fail("Comma expected");
        const auto param =
            i < item.ParamNames.size() ? Identifiers.find(key + "." + item.ParamNames[i]) : Identifiers.end();
        if (param == Identifiers.end()) Fail("Procedure " + key + " not found");
        const std::int32_t target = param->second.Number;
        if (item.ByRef[i]) {
            const std::int32_t variable = VariableArgument();
            Emit(opMOV, target, variable);
            copyBack.emplace_back(variable, target);
        } else {
            TTempMark temps(*this);
            Emit(opMOV, target, Expression());
        }
    }
    if (n > 0) {
        const int close = Next().Kind;
        if (close != ')' && close != ']') Fail(") expected");
    }
    Labels[static_cast<std::size_t>(item.Number)].Used = true;
    Emit(opCALL, item.Number);
    std::int32_t value = -1;
    if (wantValue) {
        const auto result = Identifiers.find(key + ".RESULT");
        if (result == Identifiers.end()) Fail("Variable Result not found for " + key);
        value = NewTemp();
        Emit(opMOV, value, result->second.Number);
    }
    for (const auto& [variable, parameter] : copyBack)
        Emit(opMOV, variable, parameter);
    return value;
}

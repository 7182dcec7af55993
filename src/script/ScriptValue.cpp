// Script values: storage, conversions, arrays and the operators.
//
// Coercion table (OLE Automation variant rules):
//   - integer op integer stays integer; a 32-bit overflow makes the result
//     a real. Booleans count as −1 (True) / 0 and combine like integers;
//     empty counts as 0.
//   - any real operand makes the result real; `/` always gives a real.
//   - `+` of two strings (or a string and empty) concatenates; otherwise a
//     string combined with a number converts to a real, "." being the
//     decimal point whatever the locale.
//   - `div`, `mod`, `shl`, `shr` and the bitwise forms of `and`, `or`,
//     `xor`, `not` work on 32-bit integers (reals rounded half to even);
//     two booleans combine logically.
//   - arrays take part in no operator.
// An empty value may carry an object id in its integer field; numeric
// conversions see that id (0 for a plain empty value), text sees "".

#include "script/ScriptValue.h"

#include "script/ScriptErrors.h"

#include <atomic>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>

struct TScriptValue::TStringRep : TSharedRep {
    std::string Text;
};

struct TScriptValue::TArrayRep : TSharedRep {
    std::int32_t Low = 0;
    std::vector<TScriptValue> Items;
};

static_assert(sizeof(TScriptValue) == 16, "TScriptValue must stay 16 bytes");

namespace {

constexpr std::int32_t MinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t MaxArraySize = 16 * 1024 * 1024;

const char* KindName(TValueKind kind) {
    switch (kind) {
    case TValueKind::Empty:
        return "Empty";
    case TValueKind::Integer:
        return "Integer";
    case TValueKind::Real:
        return "Double";
    case TValueKind::Boolean:
        return "Boolean";
    case TValueKind::String:
        return "String";
    case TValueKind::Array:
        return "Array Variant";
    }
    return "Unknown";
}

[[noreturn]] void ConvertError(TValueKind from, const char* to) {
    throw EVariantError(std::string("Could not convert variant of type (") + KindName(from) +
                        ") into type (" + to + ")");
}

[[noreturn]] void InvalidOperation() {
    throw EVariantError("Invalid variant operation");
}

[[noreturn]] void DivisionByZero() {
    throw EScriptError("Division by zero");
}

[[noreturn]] void IntegerOverflow() {
    throw EScriptError("Integer overflow");
}

[[noreturn]] void NotAnArray() {
    throw EScriptError("Variant is not an array");
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A number read from a string: decimal with optional sign, fraction and
// exponent, or a "$" hexadecimal integer (its 32-bit pattern).
struct TParsedNumber {
    bool Ok = false;
    bool IsInt = false;
    std::int32_t Int = 0;
    double Real = 0.0;
};

TParsedNumber ParseNumber(std::string_view text) {
    TParsedNumber result;
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return result;

    if (text.front() == '$') {
        text.remove_prefix(1);
        if (text.empty() || text.size() > 8) return result;
        std::uint32_t bits = 0;
        for (char c : text) {
            const int d = HexDigit(c);
            if (d < 0) return result;
            bits = bits * 16 + static_cast<std::uint32_t>(d);
        }
        if (negative) bits = 0u - bits;
        result.Ok = true;
        result.IsInt = true;
        result.Int = static_cast<std::int32_t>(bits);
        result.Real = result.Int;
        return result;
    }

    // Check the shape ourselves: from_chars would also take "inf" and "nan".
    std::size_t pos = 0;
    std::size_t digits = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
        ++digits;
    }
    bool plainInteger = true;
    if (pos < text.size() && text[pos] == '.') {
        plainInteger = false;
        ++pos;
        while (pos < text.size() && IsDigit(text[pos])) {
            ++pos;
            ++digits;
        }
    }
    if (digits == 0) return result;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        plainInteger = false;
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
        std::size_t expDigits = 0;
        while (pos < text.size() && IsDigit(text[pos])) {
            ++pos;
            ++expDigits;
        }
        if (expDigits == 0) return result;
    }
    if (pos != text.size()) return result;

    std::string number;
    if (negative) number.push_back('-');
    number.append(text);
    const char* first = number.data();
    const char* last = number.data() + number.size();
    if (plainInteger) {
        std::int32_t value = 0;
        const auto res = std::from_chars(first, last, value);
        if (res.ec == std::errc() && res.ptr == last) {
            result.Ok = true;
            result.IsInt = true;
            result.Int = value;
            result.Real = value;
            return result;
        }
    }
    double value = 0.0;
    const auto res = std::from_chars(first, last, value);
    if (res.ec != std::errc() || res.ptr != last) return result;
    result.Ok = true;
    result.Real = value;
    return result;
}

// Round half to even and check the 32-bit range.
std::int32_t RoundToInt(double value) {
    double r = std::round(value); // halves away from zero ...
    if (std::fabs(value - std::trunc(value)) == 0.5)
        r = 2.0 * std::round(value / 2.0); // ... but they go to the even neighbour
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) IntegerOverflow();
    return static_cast<std::int32_t>(r);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// An arithmetic operand: a 32-bit integer or a real.
struct TNumber {
    bool IsReal = false;
    std::int32_t Int = 0;
    double Real = 0.0;

    double AsDouble() const { return IsReal ? Real : static_cast<double>(Int); }
};

TNumber ToNumber(const TScriptValue& value) {
    TNumber n;
    switch (value.Kind()) {
    case TValueKind::Empty:
    case TValueKind::Integer:
        n.Int = value.IntField();
        break;
    case TValueKind::Boolean:
        n.Int = value.AsBool() ? -1 : 0;
        break;
    case TValueKind::Real:
    case TValueKind::String:
        n.IsReal = true;
        n.Real = value.AsReal();
        break;
    case TValueKind::Array:
        InvalidOperation();
    }
    return n;
}

void RequireScalars(const TScriptValue& a, const TScriptValue& b) {
    if (a.IsArray() || b.IsArray()) InvalidOperation();
}

enum class TArith { Add, Sub, Mul };

TScriptValue Arithmetic(const TScriptValue& left, const TScriptValue& right, TArith op) {
    RequireScalars(left, right);
    const TNumber a = ToNumber(left);
    const TNumber b = ToNumber(right);
    if (!a.IsReal && !b.IsReal) {
        std::int32_t r = 0;
        bool overflow = false;
        switch (op) {
        case TArith::Add:
            overflow = __builtin_add_overflow(a.Int, b.Int, &r);
            break;
        case TArith::Sub:
            overflow = __builtin_sub_overflow(a.Int, b.Int, &r);
            break;
        case TArith::Mul:
            overflow = __builtin_mul_overflow(a.Int, b.Int, &r);
            break;
        }
        if (!overflow) return TScriptValue::FromInt(r);
    }
    const double x = a.AsDouble();
    const double y = b.AsDouble();
    switch (op) {
    case TArith::Add:
        return TScriptValue::FromReal(x + y);
    case TArith::Sub:
        return TScriptValue::FromReal(x - y);
    case TArith::Mul:
        return TScriptValue::FromReal(x * y);
    }
    return {};
}

template <typename F> int Order(F a, F b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

// ---------------------------------------------------------------------------
// Storage

void TScriptValue::DestroyShared() noexcept {
    if (FKind == TValueKind::String)
        delete FString;
    else
        delete FArray;
}

namespace {
std::atomic<std::size_t> StringLimit{std::size_t{1} << 28};
}

std::size_t TScriptValue::MaxStringLength() noexcept {
    return StringLimit.load(std::memory_order_relaxed);
}

void TScriptValue::SetMaxStringLength(std::size_t bytes) noexcept {
    StringLimit.store(bytes, std::memory_order_relaxed);
}

void TScriptValue::CheckStringLength(std::size_t bytes) {
    if (bytes > MaxStringLength()) throw EScriptError("Out of memory");
}

TScriptValue TScriptValue::FromString(std::string_view bytes) {
    CheckStringLength(bytes.size());
    auto* rep = new TStringRep;
    rep->Text.assign(bytes);
    TScriptValue v;
    v.FKind = TValueKind::String;
    v.FString = rep;
    return v;
}

TScriptValue TScriptValue::NewArray(std::int32_t low, std::int32_t high) {
    const std::int64_t size = static_cast<std::int64_t>(high) - low + 1;
    if (size < 0 || size > MaxArraySize) throw EScriptError("Error creating variant or safe array");
    auto* rep = new TArrayRep;
    rep->Low = low;
    rep->Items.resize(static_cast<std::size_t>(size));
    TScriptValue v;
    v.FKind = TValueKind::Array;
    v.FArray = rep;
    return v;
}

// ---------------------------------------------------------------------------
// Conversions

std::int32_t TScriptValue::ConvertToInt() const {
    switch (FKind) {
    case TValueKind::Empty:
    case TValueKind::Integer:
        return FInt;
    case TValueKind::Real:
        return RoundToInt(FReal);
    case TValueKind::Boolean:
        return FBool ? -1 : 0;
    case TValueKind::String: {
        const TParsedNumber n = ParseNumber(FString->Text);
        if (!n.Ok) ConvertError(FKind, "Integer");
        return n.IsInt ? n.Int : RoundToInt(n.Real);
    }
    case TValueKind::Array:
        break;
    }
    ConvertError(FKind, "Integer");
}

double TScriptValue::AsReal() const {
    switch (FKind) {
    case TValueKind::Empty:
    case TValueKind::Integer:
        return FInt;
    case TValueKind::Real:
        return FReal;
    case TValueKind::Boolean:
        return FBool ? -1.0 : 0.0;
    case TValueKind::String: {
        const TParsedNumber n = ParseNumber(FString->Text);
        if (!n.Ok) ConvertError(FKind, "Double");
        return n.Real;
    }
    case TValueKind::Array:
        break;
    }
    ConvertError(FKind, "Double");
}

bool TScriptValue::AsBool() const {
    switch (FKind) {
    case TValueKind::Empty:
    case TValueKind::Integer:
        return FInt != 0;
    case TValueKind::Real:
        return FReal != 0.0;
    case TValueKind::Boolean:
        return FBool;
    case TValueKind::String: {
        const std::string_view text = Trim(FString->Text);
        if (EqualsNoCase(text, "true")) return true;
        if (EqualsNoCase(text, "false")) return false;
        const TParsedNumber n = ParseNumber(text);
        if (!n.Ok) ConvertError(FKind, "Boolean");
        return n.Real != 0.0;
    }
    case TValueKind::Array:
        break;
    }
    ConvertError(FKind, "Boolean");
}

std::string TScriptValue::AsString() const {
    switch (FKind) {
    case TValueKind::Empty:
        return {};
    case TValueKind::Integer:
        return std::to_string(FInt);
    case TValueKind::Real:
        return FloatToStr(FReal);
    case TValueKind::Boolean:
        return FBool ? "True" : "False";
    case TValueKind::String:
        return FString->Text;
    case TValueKind::Array:
        break;
    }
    ConvertError(FKind, "String");
}

const std::string& TScriptValue::StringRef() const noexcept {
    static const std::string empty;
    return FKind == TValueKind::String ? FString->Text : empty;
}

// ---------------------------------------------------------------------------
// Arrays

std::int32_t TScriptValue::LowBound() const {
    if (FKind != TValueKind::Array) NotAnArray();
    return FArray->Low;
}

std::int32_t TScriptValue::HighBound() const {
    if (FKind != TValueKind::Array) NotAnArray();
    return static_cast<std::int32_t>(FArray->Low + static_cast<std::int64_t>(FArray->Items.size()) - 1);
}

namespace {

std::size_t CheckedPosition(std::int32_t low, std::size_t size, std::int32_t index) {
    const std::int64_t pos = static_cast<std::int64_t>(index) - low;
    if (pos < 0 || pos >= static_cast<std::int64_t>(size))
        throw EScriptError("Variant array index out of bounds");
    return static_cast<std::size_t>(pos);
}

} // namespace

const TScriptValue& TScriptValue::Item(std::int32_t index) const {
    if (FKind != TValueKind::Array) NotAnArray();
    return FArray->Items[CheckedPosition(FArray->Low, FArray->Items.size(), index)];
}

void TScriptValue::SetItem(std::int32_t index, TScriptValue value) {
    if (FKind != TValueKind::Array) NotAnArray();
    const std::size_t pos = CheckedPosition(FArray->Low, FArray->Items.size(), index);
    if (FArray->Refs > 1) {
        // Shared with another value: this one gets its own copy.
        auto* copy = new TArrayRep;
        copy->Low = FArray->Low;
        copy->Items = FArray->Items;
        --FArray->Refs;
        FArray = copy;
    }
    FArray->Items[pos] = std::move(value);
}

// ---------------------------------------------------------------------------
// Operators

void TScriptValue::Add(const TScriptValue& other) {
    RequireScalars(*this, other);
    const bool leftText = FKind == TValueKind::String || FKind == TValueKind::Empty;
    const bool rightText = other.FKind == TValueKind::String || other.FKind == TValueKind::Empty;
    if (leftText && rightText && (FKind == TValueKind::String || other.FKind == TValueKind::String)) {
        const std::string& right = other.StringRef();
        CheckStringLength(StringRef().size() + right.size());
        if (FKind == TValueKind::String && FString->Refs == 1) {
            FString->Text += right; // only this value holds the text: append in place
            return;
        }
        const std::string& left = StringRef();
        auto* rep = new TStringRep;
        rep->Text.reserve(left.size() + right.size());
        rep->Text.append(left).append(right);
        TScriptValue joined;
        joined.FKind = TValueKind::String;
        joined.FString = rep;
        *this = std::move(joined);
        return;
    }
    *this = Arithmetic(*this, other, TArith::Add);
}

void TScriptValue::Sub(const TScriptValue& other) {
    *this = Arithmetic(*this, other, TArith::Sub);
}

void TScriptValue::Mul(const TScriptValue& other) {
    *this = Arithmetic(*this, other, TArith::Mul);
}

void TScriptValue::RealDiv(const TScriptValue& other) {
    RequireScalars(*this, other);
    const double x = AsReal();
    const double y = other.AsReal();
    if (y == 0.0) DivisionByZero();
    *this = FromReal(x / y);
}

void TScriptValue::IntDiv(const TScriptValue& other) {
    RequireScalars(*this, other);
    const std::int32_t x = AsInt();
    const std::int32_t y = other.AsInt();
    if (y == 0) DivisionByZero();
    if (x == MinInt && y == -1) IntegerOverflow();
    *this = FromInt(x / y);
}

void TScriptValue::Mod(const TScriptValue& other) {
    RequireScalars(*this, other);
    const std::int32_t x = AsInt();
    const std::int32_t y = other.AsInt();
    if (y == 0) DivisionByZero();
    *this = FromInt(y == -1 ? 0 : x % y);
}

void TScriptValue::Shl(const TScriptValue& other) {
    RequireScalars(*this, other);
    const auto bits = static_cast<std::uint32_t>(AsInt());
    const auto count = static_cast<std::uint32_t>(other.AsInt()) & 31u;
    *this = FromInt(static_cast<std::int32_t>(bits << count));
}

void TScriptValue::Shr(const TScriptValue& other) {
    RequireScalars(*this, other);
    const auto bits = static_cast<std::uint32_t>(AsInt());
    const auto count = static_cast<std::uint32_t>(other.AsInt()) & 31u;
    *this = FromInt(static_cast<std::int32_t>(bits >> count));
}

void TScriptValue::Or(const TScriptValue& other) {
    RequireScalars(*this, other);
    if (FKind == TValueKind::Boolean && other.FKind == TValueKind::Boolean)
        *this = FromBool(FBool || other.FBool);
    else
        *this = FromInt(AsInt() | other.AsInt());
}

void TScriptValue::Xor(const TScriptValue& other) {
    RequireScalars(*this, other);
    if (FKind == TValueKind::Boolean && other.FKind == TValueKind::Boolean)
        *this = FromBool(FBool != other.FBool);
    else
        *this = FromInt(AsInt() ^ other.AsInt());
}

void TScriptValue::And(const TScriptValue& other) {
    RequireScalars(*this, other);
    if (FKind == TValueKind::Boolean && other.FKind == TValueKind::Boolean)
        *this = FromBool(FBool && other.FBool);
    else
        *this = FromInt(AsInt() & other.AsInt());
}

void TScriptValue::Not() {
    if (FKind == TValueKind::Array) InvalidOperation();
    if (FKind == TValueKind::Boolean)
        *this = FromBool(!FBool);
    else
        *this = FromInt(~AsInt());
}

void TScriptValue::Neg() {
    switch (FKind) {
    case TValueKind::Empty:
        *this = FromInt(0);
        return;
    case TValueKind::Integer:
        *this = FInt == MinInt ? FromReal(2147483648.0) : FromInt(-FInt);
        return;
    case TValueKind::Real:
        *this = FromReal(-FReal);
        return;
    case TValueKind::Boolean:
        *this = FromInt(FBool ? 1 : 0);
        return;
    case TValueKind::String:
        *this = FromReal(-AsReal());
        return;
    case TValueKind::Array:
        break;
    }
    InvalidOperation();
}

void TScriptValue::Inc() {
    Add(FromInt(1));
}

void TScriptValue::Dec() {
    Sub(FromInt(1));
}

// ---------------------------------------------------------------------------
// Comparisons

bool TScriptValue::SameText(const TScriptValue& a, const TScriptValue& b) noexcept {
    if (a.FString == b.FString) return true;
    const std::string& x = a.FString->Text;
    const std::string& y = b.FString->Text;
    if (x.size() != y.size()) return false;
    if (x.size() <= 16) { // short texts (list entries, flags): no library call
        for (std::size_t k = 0; k < x.size(); ++k)
            if (x[k] != y[k]) return false;
        return true;
    }
    return std::memcmp(x.data(), y.data(), x.size()) == 0;
}

bool TScriptValue::SameTypeEqual(const TScriptValue& a, const TScriptValue& b) {
    if (a.FKind != b.FKind) return false;
    switch (a.FKind) {
    case TValueKind::Empty:
    case TValueKind::Integer:
        return a.FInt == b.FInt;
    case TValueKind::Real:
        return a.FReal == b.FReal;
    case TValueKind::Boolean:
        return a.FBool == b.FBool;
    case TValueKind::String:
        return a.FString->Text == b.FString->Text;
    case TValueKind::Array:
        break;
    }
    InvalidOperation();
}

int TScriptValue::Compare(const TScriptValue& a, const TScriptValue& b) {
    RequireScalars(a, b);
    const bool aText = a.FKind == TValueKind::String;
    const bool bText = b.FKind == TValueKind::String;
    if ((aText && (bText || b.FKind == TValueKind::Empty)) || (bText && a.FKind == TValueKind::Empty)) {
        const int c = a.StringRef().compare(b.StringRef()); // byte-wise, unsigned
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (aText && b.FKind == TValueKind::Boolean) return Order(a.AsBool() ? -1 : 0, b.FBool ? -1 : 0);
    if (bText && a.FKind == TValueKind::Boolean) return Order(a.FBool ? -1 : 0, b.AsBool() ? -1 : 0);
    const TNumber x = ToNumber(a);
    const TNumber y = ToNumber(b);
    if (!x.IsReal && !y.IsReal) return Order(x.Int, y.Int);
    return Order(x.AsDouble(), y.AsDouble());
}

bool TScriptValue::IsFalse() const {
    return !AsBool();
}

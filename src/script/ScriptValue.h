#pragma once
// The value every script register, constant and argument holds: empty,
// 32-bit integer, double, boolean, single-byte string (Windows-1252 bytes)
// or a one-dimensional array of values with explicit bounds. An object
// reference is an empty value whose integer field holds the object's id in
// the table of live script objects (ScriptObjects.h), or an integer.
//
// Arithmetic, comparison and conversion follow the OLE Automation variant
// rules (see ScriptValue.cpp for the table). Our own compact tagged value,
// 16 bytes: strings and arrays are shared, reference-counted and copied on
// write, so copying a register never copies text.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TValueKind : std::uint8_t { Empty, Integer, Real, Boolean, String, Array };

class TScriptValue {
public:
    // Copies, moves and the scalar constructors are inline: the interpreter
    // copies registers all the time.
    TScriptValue() noexcept : FKind(TValueKind::Empty), FBits(0) {}
    TScriptValue(const TScriptValue& other) noexcept : FKind(other.FKind), FBits(other.FBits) {
        if (Shared()) RetainShared();
    }
    TScriptValue(TScriptValue&& other) noexcept : FKind(other.FKind), FBits(other.FBits) {
        other.FKind = TValueKind::Empty;
        other.FBits = 0;
    }
    TScriptValue& operator=(const TScriptValue& other) noexcept {
        if (((static_cast<std::uint8_t>(FKind) | static_cast<std::uint8_t>(other.FKind)) &
             static_cast<std::uint8_t>(TValueKind::String)) == 0) { // neither shared
            FKind = other.FKind;
            FBits = other.FBits;
            return *this;
        }
        // Copy first: `other` may live inside an array only this value holds.
        TScriptValue copy(other);
        Swap(copy);
        return *this;
    }
    TScriptValue& operator=(TScriptValue&& other) noexcept {
        const TValueKind kind = other.FKind;
        const std::uint64_t bits = other.FBits;
        other.FKind = TValueKind::Empty; // before taking it over: `other` may be this value
        other.FBits = 0;
        if (Shared()) ReleaseShared();
        FKind = kind;
        FBits = bits;
        return *this;
    }
    ~TScriptValue() {
        if (Shared()) ReleaseShared();
    }

    static TScriptValue FromInt(std::int32_t value) noexcept {
        TScriptValue v;
        v.FKind = TValueKind::Integer;
        v.FBits = IntBits(value);
        return v;
    }
    static TScriptValue FromReal(double value) noexcept {
        TScriptValue v;
        v.FKind = TValueKind::Real;
        v.FReal = value;
        return v;
    }
    static TScriptValue FromBool(bool value) noexcept {
        TScriptValue v;
        v.FKind = TValueKind::Boolean;
        v.FBits = value ? 1 : 0;
        return v;
    }
    // A string value; text longer than MaxStringLength() raises
    // EScriptError "Out of memory".
    static TScriptValue FromString(std::string_view bytes);
    // The longest text a value may hold (256 MiB unless the host lowers
    // it): a macro doubling a string in a loop ends with a script error
    // instead of taking all the machine's memory.
    static std::size_t MaxStringLength() noexcept;
    static void SetMaxStringLength(std::size_t bytes) noexcept;
    // Raises EScriptError "Out of memory" when a text of `bytes` would be
    // longer than MaxStringLength().
    static void CheckStringLength(std::size_t bytes);
    // An object reference as native routines return it: empty kind, the id
    // in the integer field.
    static TScriptValue FromObject(std::int32_t id) noexcept {
        TScriptValue v;
        v.FBits = IntBits(id);
        return v;
    }
    // An array with bounds low … high, every element empty. A negative size
    // raises EScriptError.
    static TScriptValue NewArray(std::int32_t low, std::int32_t high);

    TValueKind Kind() const noexcept { return FKind; }
    bool IsEmpty() const noexcept { return FKind == TValueKind::Empty; }
    bool IsArray() const noexcept { return FKind == TValueKind::Array; }
    bool IsString() const noexcept { return FKind == TValueKind::String; }
    // The raw integer field: the integer of an integer value, the object id
    // of an empty value (0 for a plain empty value), 0 for other kinds.
    std::int32_t IntField() const noexcept {
        return FKind == TValueKind::Empty || FKind == TValueKind::Integer ? FInt : 0;
    }
    // Scalar stores without a temporary value.
    void SetInt(std::int32_t value) noexcept {
        if (Shared()) ReleaseShared();
        FKind = TValueKind::Integer;
        FBits = IntBits(value);
    }
    void SetReal(double value) noexcept {
        if (Shared()) ReleaseShared();
        FKind = TValueKind::Real;
        FReal = value;
    }
    void SetBool(bool value) noexcept {
        if (Shared()) ReleaseShared();
        FKind = TValueKind::Boolean;
        FBits = value ? 1 : 0;
    }
    // Raw fields for the interpreter's fast paths; only meaningful for the
    // matching kind.
    double RealField() const noexcept { return FReal; }
    bool BoolField() const noexcept { return FBool; }

    // Conversions by the value rules; a value that cannot be converted
    // raises EVariantError, a number out of the 32-bit range EScriptError.
    std::int32_t AsInt() const {
        return FKind == TValueKind::Integer || FKind == TValueKind::Empty ? FInt : ConvertToInt();
    }
    double AsReal() const;
    bool AsBool() const;
    // Integers in decimal, reals as FloatToStr writes them (with "."),
    // booleans "True"/"False", empty "", arrays raise EVariantError.
    std::string AsString() const;
    // The text of a string value (empty text for other kinds).
    const std::string& StringRef() const noexcept;

    // Arrays. Item and SetItem raise EScriptError outside the bounds or on
    // a value that is no array.
    std::int32_t LowBound() const;
    std::int32_t HighBound() const;
    const TScriptValue& Item(std::int32_t index) const;
    void SetItem(std::int32_t index, TScriptValue value);

    // The register machine's forms: this := this op other.
    void Add(const TScriptValue& other);
    void Sub(const TScriptValue& other);
    void Mul(const TScriptValue& other);
    void IntDiv(const TScriptValue& other);
    void Mod(const TScriptValue& other);
    void RealDiv(const TScriptValue& other);
    void Shl(const TScriptValue& other);
    void Shr(const TScriptValue& other);
    void Or(const TScriptValue& other);
    void Xor(const TScriptValue& other);
    void And(const TScriptValue& other);
    void Not();
    void Neg();
    void Inc();
    void Dec();

    // EQ: same kind and equal by value; NE is its negation.
    static bool SameTypeEqual(const TScriptValue& a, const TScriptValue& b);
    // Whether two string values hold the same text (both must be strings).
    static bool SameText(const TScriptValue& a, const TScriptValue& b) noexcept;
    // Ordering by the value rules: negative, 0 or positive. Values that
    // cannot be compared raise EVariantError.
    static int Compare(const TScriptValue& a, const TScriptValue& b);
    // JF's test: whether the value compares equal to False.
    bool IsFalse() const;

private:
    // Both payloads start with their reference count, so that copies count
    // inline and only the last release leaves this header.
    struct TSharedRep {
        int Refs = 1;
    };
    struct TStringRep;
    struct TArrayRep;
    // String (4) and Array (5) are the only kinds with bit 2 set: one test
    // tells a shared value from a scalar.
    static_assert(static_cast<int>(TValueKind::String) == 4 && static_cast<int>(TValueKind::Array) == 5);
    bool Shared() const noexcept { return FKind >= TValueKind::String; }
    // Integers and booleans are written as all eight payload bytes in one
    // store: a later eight-byte copy of the payload then reads what that
    // store wrote, where a store of zero followed by a four-byte store would
    // keep the processor from forwarding it (a stall on every copy).
    static_assert(std::endian::native == std::endian::little);
    static constexpr std::uint64_t IntBits(std::int32_t value) noexcept {
        return static_cast<std::uint32_t>(value);
    }
    std::int32_t ConvertToInt() const;
    void RetainShared() const noexcept { ++FRep->Refs; }
    void ReleaseShared() noexcept {
        if (--FRep->Refs == 0) DestroyShared();
    }
    void DestroyShared() noexcept;
    void Retain() const noexcept {
        if (Shared()) RetainShared();
    }
    // Lets go of the payload; the value is empty afterwards.
    void Release() noexcept {
        if (Shared()) ReleaseShared();
        FKind = TValueKind::Empty;
        FBits = 0;
    }
    void Swap(TScriptValue& other) noexcept {
        const TValueKind kind = FKind;
        const std::uint64_t bits = FBits;
        FKind = other.FKind;
        FBits = other.FBits;
        other.FKind = kind;
        other.FBits = bits;
    }

    TValueKind FKind;
    // FBits covers every payload, so that a copy moves all eight bytes
    // whatever the kind; every constructor sets it first.
    union {
        std::uint64_t FBits;
        std::int32_t FInt;
        double FReal;
        bool FBool;
        TStringRep* FString;
        TArrayRep* FArray;
        TSharedRep* FRep;
    };
};

// Delphi's FloatToStr with "." whatever the locale: up to 15 significant
// digits, general format, exponent form ("1E20", "1.5E-7") only for
// exponents below −5 or from 15 on; "NAN", "INF", "-INF".
std::string FloatToStr(double value);

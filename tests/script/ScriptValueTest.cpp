#include "script/ScriptValue.h"
#include "script/ScriptErrors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using V = TScriptValue;

constexpr std::int32_t MinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t MaxInt = std::numeric_limits<std::int32_t>::max();

V I(std::int32_t v) {
    return V::FromInt(v);
}
V R(double v) {
    return V::FromReal(v);
}
V B(bool v) {
    return V::FromBool(v);
}
V S(const char* v) {
    return V::FromString(v);
}
V E() {
    return V();
}

const char* KindText(TValueKind kind) {
    switch (kind) {
    case TValueKind::Empty:
        return "Empty";
    case TValueKind::Integer:
        return "Integer";
    case TValueKind::Real:
        return "Real";
    case TValueKind::Boolean:
        return "Boolean";
    case TValueKind::String:
        return "String";
    case TValueKind::Array:
        return "Array";
    }
    return "?";
}

std::string Describe(const V& v) {
    return std::string(KindText(v.Kind())) + "(" + (v.IsArray() ? std::string("...") : v.AsString()) + ")";
}

enum class TOp { Add, Sub, Mul, IntDiv, Mod, RealDiv, Shl, Shr, Or, Xor, And };

const char* OpText(TOp op) {
    switch (op) {
    case TOp::Add:
        return "+";
    case TOp::Sub:
        return "-";
    case TOp::Mul:
        return "*";
    case TOp::IntDiv:
        return "div";
    case TOp::Mod:
        return "mod";
    case TOp::RealDiv:
        return "/";
    case TOp::Shl:
        return "shl";
    case TOp::Shr:
        return "shr";
    case TOp::Or:
        return "or";
    case TOp::Xor:
        return "xor";
    case TOp::And:
        return "and";
    }
    return "?";
}

void Apply(V& left, TOp op, const V& right) {
    switch (op) {
    case TOp::Add:
        left.Add(right);
        break;
    case TOp::Sub:
        left.Sub(right);
        break;
    case TOp::Mul:
        left.Mul(right);
        break;
    case TOp::IntDiv:
        left.IntDiv(right);
        break;
    case TOp::Mod:
        left.Mod(right);
        break;
    case TOp::RealDiv:
        left.RealDiv(right);
        break;
    case TOp::Shl:
        left.Shl(right);
        break;
    case TOp::Shr:
        left.Shr(right);
        break;
    case TOp::Or:
        left.Or(right);
        break;
    case TOp::Xor:
        left.Xor(right);
        break;
    case TOp::And:
        left.And(right);
        break;
    }
}

struct TBinaryCase {
    V Left;
    TOp Op;
    V Right;
    V Expected; // kind and value
};

TEST(ScriptValue, BinaryOperators) {
    const std::vector<TBinaryCase> cases = {
        // + - *
        {I(2), TOp::Add, I(3), I(5)},
        {I(2), TOp::Add, R(0.5), R(2.5)},
        {R(1.5), TOp::Add, R(1.5), R(3.0)},
        {S("a"), TOp::Add, S("b"), S("ab")},
        {S("5"), TOp::Add, S("3"), S("53")},
        {S("5"), TOp::Add, I(3), R(8.0)},
        {I(3), TOp::Add, S(" 2.5 "), R(5.5)},
        {B(true), TOp::Add, I(1), I(0)},
        {B(true), TOp::Add, B(true), I(-2)},
        {B(false), TOp::Add, B(false), I(0)},
        {E(), TOp::Add, I(4), I(4)},
        {E(), TOp::Add, E(), I(0)},
        {E(), TOp::Add, S("x"), S("x")},
        {S("x"), TOp::Add, E(), S("x")},
        {I(MaxInt), TOp::Add, I(1), R(2147483648.0)},
        {I(MinInt), TOp::Add, I(-1), R(-2147483649.0)},
        {I(10), TOp::Sub, I(4), I(6)},
        {I(MinInt), TOp::Sub, I(1), R(-2147483649.0)},
        {S("10"), TOp::Sub, S("4"), R(6.0)},
        {I(10), TOp::Sub, R(0.5), R(9.5)},
        {I(6), TOp::Mul, I(7), I(42)},
        {I(65536), TOp::Mul, I(65536), R(4294967296.0)},
        {I(-65536), TOp::Mul, I(32768), I(MinInt)},
        {R(2.5), TOp::Mul, I(2), R(5.0)},
        {B(true), TOp::Mul, I(3), I(-3)},
        // /
        {I(7), TOp::RealDiv, I(2), R(3.5)},
        {I(4), TOp::RealDiv, I(2), R(2.0)},
        {S("6"), TOp::RealDiv, S("3"), R(2.0)},
        {R(1.0), TOp::RealDiv, I(4), R(0.25)},
        // div mod
        {I(7), TOp::IntDiv, I(2), I(3)},
        {I(-7), TOp::IntDiv, I(2), I(-3)},
        {I(7), TOp::IntDiv, I(-2), I(-3)},
        {R(7.5), TOp::IntDiv, I(2), I(4)}, // 7.5 rounds to 8
        {R(6.5), TOp::IntDiv, I(2), I(3)}, // 6.5 rounds to 6
        {I(MinInt), TOp::IntDiv, I(1), I(MinInt)},
        {I(7), TOp::Mod, I(3), I(1)},
        {I(-7), TOp::Mod, I(3), I(-1)},
        {I(7), TOp::Mod, I(-3), I(1)},
        {I(MinInt), TOp::Mod, I(-1), I(0)},
        {S("17"), TOp::Mod, I(5), I(2)},
        // shl shr: count uses the low 5 bits, shr is logical
        {I(1), TOp::Shl, I(4), I(16)},
        {I(1), TOp::Shl, I(31), I(MinInt)},
        {I(1), TOp::Shl, I(32), I(1)},
        {I(1), TOp::Shl, I(33), I(2)},
        {I(3), TOp::Shl, I(31), I(MinInt)},
        {I(256), TOp::Shr, I(4), I(16)},
        {I(-1), TOp::Shr, I(28), I(15)},
        {I(MinInt), TOp::Shr, I(31), I(1)},
        {I(256), TOp::Shr, I(32), I(256)},
        {I(256), TOp::Shr, I(33), I(128)},
        // and or xor
        {B(true), TOp::And, B(false), B(false)},
        {B(true), TOp::And, B(true), B(true)},
        {B(false), TOp::Or, B(true), B(true)},
        {B(false), TOp::Or, B(false), B(false)},
        {B(true), TOp::Xor, B(true), B(false)},
        {B(true), TOp::Xor, B(false), B(true)},
        {I(12), TOp::And, I(10), I(8)},
        {I(12), TOp::Or, I(10), I(14)},
        {I(12), TOp::Xor, I(10), I(6)},
        {B(true), TOp::And, I(6), I(6)},
        {B(false), TOp::Or, I(6), I(6)},
    };
    for (const auto& c : cases) {
        V result = c.Left;
        Apply(result, c.Op, c.Right);
        const std::string what = Describe(c.Left) + " " + OpText(c.Op) + " " + Describe(c.Right);
        EXPECT_EQ(result.Kind(), c.Expected.Kind()) << what << " gave " << Describe(result);
        EXPECT_TRUE(V::SameTypeEqual(result, c.Expected)) << what << " gave " << Describe(result);
    }
}

struct TErrorCase {
    V Left;
    TOp Op;
    V Right;
    std::string Message;
};

TEST(ScriptValue, OperatorErrors) {
    const std::string notNumber = "Could not convert variant of type (String) into type (Double)";
    const std::vector<TErrorCase> cases = {
        {I(1), TOp::RealDiv, I(0), "Division by zero"},
        {I(0), TOp::RealDiv, I(0), "Division by zero"},
        {R(1.5), TOp::RealDiv, R(0.0), "Division by zero"},
        {R(1.5), TOp::RealDiv, E(), "Division by zero"},
        {I(1), TOp::IntDiv, I(0), "Division by zero"},
        {I(1), TOp::IntDiv, R(0.4), "Division by zero"}, // 0.4 rounds to 0
        {I(1), TOp::Mod, I(0), "Division by zero"},
        {I(1), TOp::Mod, B(false), "Division by zero"},
        {I(MinInt), TOp::IntDiv, I(-1), "Integer overflow"},
        {R(3e9), TOp::IntDiv, I(2), "Integer overflow"},
        {S("abc"), TOp::Add, I(1), notNumber},
        {I(1), TOp::Sub, S("abc"), notNumber},
        {S("1,5"), TOp::Mul, I(2), notNumber},
        {S(""), TOp::Add, I(1), notNumber},
        {S("x"), TOp::RealDiv, I(2), notNumber},
        {S("x"), TOp::IntDiv, I(2), "Could not convert variant of type (String) into type (Integer)"},
    };
    for (const auto& c : cases) {
        V result = c.Left;
        const std::string what = Describe(c.Left) + " " + OpText(c.Op) + " " + Describe(c.Right);
        try {
            Apply(result, c.Op, c.Right);
            ADD_FAILURE() << what << " did not raise, gave " << Describe(result);
        } catch (const EScriptError& e) {
            EXPECT_EQ(e.what(), c.Message) << what;
        }
    }
    // Conversion failures are the variant error kind.
    V text = S("abc");
    EXPECT_THROW(text.Add(I(1)), EVariantError);
    V arr = V::NewArray(0, 1);
    EXPECT_THROW(arr.Add(I(1)), EVariantError);
    V one = I(1);
    EXPECT_THROW(one.Mul(V::NewArray(0, 1)), EVariantError);
}

TEST(ScriptValue, UnaryOperators) {
    struct TCase {
        V Value;
        std::function<void(V&)> Op;
        const char* Name;
        V Expected;
    };
    const auto neg = [](V& v) { v.Neg(); };
    const auto notOp = [](V& v) { v.Not(); };
    const auto inc = [](V& v) { v.Inc(); };
    const auto dec = [](V& v) { v.Dec(); };
    const std::vector<TCase> cases = {
        {I(5), neg, "neg", I(-5)},
        {I(MinInt), neg, "neg", R(2147483648.0)},
        {R(1.5), neg, "neg", R(-1.5)},
        {B(true), neg, "neg", I(1)},
        {B(false), neg, "neg", I(0)},
        {S("2.5"), neg, "neg", R(-2.5)},
        {E(), neg, "neg", I(0)},
        {B(true), notOp, "not", B(false)},
        {B(false), notOp, "not", B(true)},
        {I(0), notOp, "not", I(-1)},
        {I(5), notOp, "not", I(-6)},
        {I(1), inc, "inc", I(2)},
        {I(MaxInt), inc, "inc", R(2147483648.0)},
        {R(0.5), inc, "inc", R(1.5)},
        {E(), inc, "inc", I(1)},
        {I(1), dec, "dec", I(0)},
        {I(MinInt), dec, "dec", R(-2147483649.0)},
        {B(true), dec, "dec", I(-2)},
    };
    for (const auto& c : cases) {
        V v = c.Value;
        c.Op(v);
        EXPECT_EQ(v.Kind(), c.Expected.Kind())
            << c.Name << " " << Describe(c.Value) << " gave " << Describe(v);
        EXPECT_TRUE(V::SameTypeEqual(v, c.Expected))
            << c.Name << " " << Describe(c.Value) << " gave " << Describe(v);
    }
    V arr = V::NewArray(0, 0);
    EXPECT_THROW(arr.Neg(), EVariantError);
    V text = S("no");
    EXPECT_THROW(text.Neg(), EVariantError);
}

TEST(ScriptValue, Comparisons) {
    struct TCase {
        V A;
        V B;
        int Order;  // sign of Compare
        bool Equal; // SameTypeEqual
    };
    const std::vector<TCase> cases = {
        {I(1), R(1.0), 0, false},  // `1 = 1.0` is False
        {I(1), R(1.5), -1, false}, // `1 < 1.5` is True
        {I(2), I(2), 0, true},
        {I(-3), I(2), -1, false},
        {I(MaxInt), I(MinInt), 1, false},
        {R(2.5), R(2.5), 0, true},
        {R(2.5), I(2), 1, false},
        {S("a"), S("b"), -1, false},
        {S("abc"), S("abc"), 0, true},
        {S("B"), S("a"), -1, false}, // binary, case-sensitive
        {S("ab"), S("a"), 1, false},
        {S("\xE9"), S("z"), 1, false}, // bytes compare unsigned
        {S("10"), I(9), 1, false},
        {I(5), S(" 5 "), 0, false},
        {S("1.5"), R(1.5), 0, false},
        {B(true), B(false), -1, false}, // True counts as -1
        {B(true), B(true), 0, true},
        {B(true), I(-1), 0, false},
        {E(), I(0), 0, false},
        {E(), E(), 0, true},
        {E(), S(""), 0, false},
        {E(), S("a"), -1, false},
        {S("true"), B(true), 0, false},
        {V::FromObject(7), V::FromObject(7), 0, true},
        {V::FromObject(7), V::FromObject(8), -1, false},
    };
    for (const auto& c : cases) {
        const std::string what = Describe(c.A) + " vs " + Describe(c.B);
        const int order = V::Compare(c.A, c.B);
        EXPECT_EQ(order < 0 ? -1 : (order > 0 ? 1 : 0), c.Order) << what;
        const int reverse = V::Compare(c.B, c.A);
        EXPECT_EQ(reverse < 0 ? -1 : (reverse > 0 ? 1 : 0), -c.Order) << what;
        EXPECT_EQ(V::SameTypeEqual(c.A, c.B), c.Equal) << what;
        EXPECT_EQ(V::SameTypeEqual(c.B, c.A), c.Equal) << what;
    }
    EXPECT_THROW(V::Compare(S("abc"), I(1)), EVariantError);
    EXPECT_THROW(V::Compare(V::NewArray(0, 1), I(1)), EVariantError);
    EXPECT_THROW(V::Compare(V::NewArray(0, 1), V::NewArray(0, 1)), EVariantError);
}

TEST(ScriptValue, IsFalse) {
    struct TCase {
        V Value;
        bool Jumps;
    };
    const std::vector<TCase> cases = {
        {I(0), true},       {I(1), false},    {I(-1), false},   {R(0.0), true},       {R(0.25), false},
        {E(), true},        {B(false), true}, {B(true), false}, {S("False"), true},   {S("FALSE"), true},
        {S("true"), false}, {S("0"), true},   {S("2"), false},  {S(" TrUe "), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Value.IsFalse(), c.Jumps) << Describe(c.Value);
    EXPECT_THROW(S("maybe").IsFalse(), EVariantError);
    EXPECT_THROW(V::NewArray(0, 0).IsFalse(), EVariantError);
}

TEST(ScriptValue, Conversions) {
    struct TIntCase {
        V Value;
        std::int32_t Expected;
    };
    const std::vector<TIntCase> ints = {
        {R(2.5), 2},
        {R(3.5), 4},
        {R(-2.5), -2},
        {R(-3.5), -4},
        {R(0.5), 0},
        {R(1.5), 2},
        {R(2.4), 2},
        {R(2.6), 3},
        {R(-2.6), -3},
        {B(true), -1},
        {B(false), 0},
        {E(), 0},
        {S("42"), 42},
        {S(" -17 "), -17},
        {S("2.5"), 2},
        {S("$1F"), 31},
        {S("+8"), 8},
        {R(2147483647.0), MaxInt},
        {R(-2147483648.0), MinInt},
        {S("-2147483648"), MinInt},
        {V::FromObject(12), 12},
    };
    for (const auto& c : ints)
        EXPECT_EQ(c.Value.AsInt(), c.Expected) << Describe(c.Value);

    for (const V& v : {R(2147483648.0), R(-2147483649.0), R(1e300), S("3000000000"), R(std::nan(""))}) {
        try {
            (void)v.AsInt();
            ADD_FAILURE() << Describe(v) << " converted";
        } catch (const EScriptError& e) {
            EXPECT_EQ(std::string(e.what()), "Integer overflow") << Describe(v);
        }
    }

    struct TRealCase {
        V Value;
        double Expected;
    };
    const std::vector<TRealCase> reals = {
        {I(3), 3.0},     {B(true), -1.0}, {E(), 0.0},        {S("1.5"), 1.5}, {S("-1.5e3"), -1500.0},
        {S(" .5"), 0.5}, {S("2."), 2.0},  {S("1E-2"), 0.01},
    };
    for (const auto& c : reals)
        EXPECT_DOUBLE_EQ(c.Value.AsReal(), c.Expected) << Describe(c.Value);
    for (const char* bad : {"", " ", "abc", "1,5", "1.5x", "inf", "nan", "1e", "--1", "."}) {
        try {
            (void)S(bad).AsReal();
            ADD_FAILURE() << "'" << bad << "' converted";
        } catch (const EVariantError& e) {
            EXPECT_EQ(std::string(e.what()), "Could not convert variant of type (String) into type (Double)");
        }
    }

    struct TBoolCase {
        V Value;
        bool Expected;
    };
    const std::vector<TBoolCase> bools = {
        {I(0), false},       {I(2), true},      {R(-0.5), true}, {S("tRuE"), true},
        {S("false"), false}, {S("0.0"), false}, {S("3"), true},  {E(), false},
    };
    for (const auto& c : bools)
        EXPECT_EQ(c.Value.AsBool(), c.Expected) << Describe(c.Value);
    EXPECT_THROW((void)S("yes").AsBool(), EVariantError);

    struct TStringCase {
        V Value;
        const char* Expected;
    };
    const std::vector<TStringCase> strings = {
        {I(-42), "-42"}, {I(MinInt), "-2147483648"}, {R(3.5), "3.5"},
        {R(8.0), "8"},   {B(true), "True"},          {B(false), "False"},
        {E(), ""},       {V::FromObject(5), ""},     {S("x y"), "x y"},
    };
    for (const auto& c : strings)
        EXPECT_EQ(c.Value.AsString(), c.Expected) << Describe(c.Value);
    EXPECT_THROW((void)V::NewArray(0, 1).AsString(), EVariantError);
    EXPECT_THROW((void)V::NewArray(0, 1).AsInt(), EVariantError);
    EXPECT_THROW((void)V::NewArray(0, 1).AsReal(), EVariantError);
}

TEST(ScriptValue, FloatToStr) {
    struct TCase {
        double Value;
        const char* Expected;
    };
    const std::vector<TCase> cases = {
        {0.0, "0"},
        {-0.0, "0"},
        {1.0, "1"},
        {-1.0, "-1"},
        {3.5, "3.5"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {1e15, "1E15"},
        {1e14, "100000000000000"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {999999999999999.9, "1E15"},
        {1e-5, "0.00001"},
        {1.5e-5, "0.000015"},
        {1e-6, "1E-6"},
        {1.5e-7, "1.5E-7"},
        {2.5e15, "2.5E15"},
        {-2.5e15, "-2.5E15"},
        {1e20, "1E20"},
        {1e300, "1E300"},
        {1e-300, "1E-300"},
        {0.1 + 0.2, "0.3"},
        {2147483648.0, "2147483648"},
        {-123.456, "-123.456"},
        {std::nan(""), "NAN"},
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.Value), c.Expected) << c.Value;
}

TEST(ScriptValue, KindsAndCopies) {
    EXPECT_EQ(sizeof(V), 16u);
    V empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.IntField(), 0);
    const V obj = V::FromObject(77);
    EXPECT_TRUE(obj.IsEmpty());
    EXPECT_EQ(obj.IntField(), 77);
    EXPECT_EQ(I(9).IntField(), 9);
    EXPECT_EQ(R(9.0).IntField(), 0);
    EXPECT_EQ(I(1).Kind(), TValueKind::Integer);
    EXPECT_EQ(R(1).Kind(), TValueKind::Real);
    EXPECT_EQ(B(true).Kind(), TValueKind::Boolean);
    EXPECT_TRUE(S("").IsString());
    EXPECT_EQ(I(1).StringRef(), "");

    // Strings are shared by copies, and changing a copy leaves the original.
    V a = S("hello");
    V b = a;
    EXPECT_EQ(&a.StringRef(), &b.StringRef());
    b.Add(S(" world"));
    EXPECT_EQ(a.StringRef(), "hello");
    EXPECT_EQ(b.StringRef(), "hello world");
    V moved = std::move(b);
    EXPECT_EQ(moved.StringRef(), "hello world");
    EXPECT_TRUE(b.IsEmpty()); // NOLINT(bugprone-use-after-move)
    const V& alias = a;
    a = alias; // self-assignment keeps the value
    EXPECT_EQ(a.StringRef(), "hello");
    V& same = a;
    a = std::move(same); // and so does moving a value onto itself
    EXPECT_EQ(a.StringRef(), "hello");
    V other = S("other");
    V shared = other;
    other = std::move(a); // the old text is let go, the moved one taken over
    EXPECT_EQ(other.StringRef(), "hello");
    EXPECT_EQ(shared.StringRef(), "other");
    a = std::move(other);
    a = I(3);
    EXPECT_EQ(a.Kind(), TValueKind::Integer);
    // Bytes above 127 and zero bytes survive.
    const std::string bytes("\x00\xE4\xFF", 3);
    EXPECT_EQ(V::FromString(bytes).StringRef(), bytes);
    // Adding a value to itself.
    V twice = S("ab");
    twice.Add(twice);
    EXPECT_EQ(twice.StringRef(), "abab");
}

TEST(ScriptValue, Arrays) {
    V arr = V::NewArray(0, 3);
    EXPECT_TRUE(arr.IsArray());
    EXPECT_EQ(arr.LowBound(), 0);
    EXPECT_EQ(arr.HighBound(), 3);
    for (int i = 0; i <= 3; ++i)
        EXPECT_TRUE(arr.Item(i).IsEmpty());
    arr.SetItem(0, I(3));
    arr.SetItem(3, S("x"));
    EXPECT_TRUE(V::SameTypeEqual(arr.Item(0), I(3)));
    EXPECT_EQ(arr.Item(3).StringRef(), "x");

    // Copy on write: changing the copy keeps the original, and back.
    V copy = arr;
    copy.SetItem(0, I(99));
    EXPECT_EQ(arr.Item(0).AsInt(), 3);
    EXPECT_EQ(copy.Item(0).AsInt(), 99);
    arr.SetItem(1, B(true));
    EXPECT_TRUE(copy.Item(1).IsEmpty());

    // An array stored into itself holds the old contents, not a cycle.
    V self = V::NewArray(1, 2);
    self.SetItem(1, I(5));
    self.SetItem(2, self);
    EXPECT_TRUE(self.Item(2).IsArray());
    EXPECT_TRUE(self.Item(2).Item(2).IsEmpty());
    EXPECT_EQ(self.Item(2).Item(1).AsInt(), 5);
    // Replacing an array by one of its own elements.
    self = self.Item(2);
    EXPECT_EQ(self.Item(1).AsInt(), 5);

    // Bounds other than 0 and the empty array.
    V shifted = V::NewArray(-2, 2);
    EXPECT_EQ(shifted.LowBound(), -2);
    EXPECT_EQ(shifted.HighBound(), 2);
    shifted.SetItem(-2, R(0.5));
    EXPECT_EQ(shifted.Item(-2).AsString(), "0.5");
    V none = V::NewArray(5, 4);
    EXPECT_EQ(none.HighBound(), 4);
    EXPECT_THROW((void)none.Item(5), EScriptError);

    const std::string outOfBounds = "Variant array index out of bounds";
    for (std::int32_t index : {-1, 4, MinInt, MaxInt}) {
        try {
            (void)arr.Item(index);
            ADD_FAILURE() << index;
        } catch (const EScriptError& e) {
            EXPECT_EQ(e.what(), outOfBounds);
        }
        try {
            arr.SetItem(index, I(1));
            ADD_FAILURE() << index;
        } catch (const EScriptError& e) {
            EXPECT_EQ(e.what(), outOfBounds);
        }
    }
    EXPECT_THROW((void)V::NewArray(0, -2), EScriptError);
    EXPECT_THROW((void)V::NewArray(MaxInt, MinInt), EScriptError);
    EXPECT_THROW((void)V::NewArray(0, 16 * 1024 * 1024), EScriptError);
    V number = I(1);
    EXPECT_THROW((void)number.Item(0), EScriptError);
    EXPECT_THROW(number.SetItem(0, I(1)), EScriptError);
    EXPECT_THROW((void)number.LowBound(), EScriptError);
}

} // namespace

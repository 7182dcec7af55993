#include "RtlTestCall.h"

#include "script/RtlDates.h"
#include "script/ScriptErrors.h"

#include <cmath>

namespace {

// Format's argument array from a vector.
TScriptValue ArgsOf(const std::vector<TScriptValue>& values) {
    TScriptValue args = TScriptValue::NewArray(0, static_cast<std::int32_t>(values.size()));
    args.SetItem(0, Int(static_cast<std::int32_t>(values.size())));
    for (std::size_t i = 0; i < values.size(); ++i)
        args.SetItem(static_cast<std::int32_t>(i + 1), values[i]);
    return args;
}

} // namespace

TEST(RtlSysUtils, FormatTable) {
    const struct {
        const char* Format;
        std::vector<TScriptValue> Args;
        const char* Expected;
    } cases[] = {
        {"x=%d", {Int(12)}, "x=12"},
        {"x=%3d", {Int(12)}, "x= 12"},
        {"x=%f", {Real(12.0)}, "x=12.00"},
        {"x=%.3f", {Real(12.0)}, "x=12.000"},
        {"x=%.*f", {Int(5), Real(12.0)}, "x=12.00000"},
        {"x=%.5d", {Int(12)}, "x=00012"},
        {"x=%.5x", {Int(12)}, "x=0000C"},
        {"x=%1:d%0:d", {Int(12), Int(13)}, "x=1312"},
        {"x=%p", {TScriptValue()}, "x=00000000"},
        {"x=%1.1e", {Real(12.0)}, "x=1.2E+001"},
        {"x=%%", {}, "x=%"},
        {"%2:s %1:s %0:s", {Str("1st"), Str("2nd"), Str("3rd")}, "3rd 2nd 1st"},
        {"%1:s %s", {Str("a"), Str("b"), Str("c")}, "b c"},
        {"(%4s)", {Str("aa")}, "(  aa)"},
        {"(%-4s)", {Str("aa")}, "(aa  )"},
        {"(%*d)", {Int(4), Int(7)}, "(   7)"},
        {"(%.3d)", {Int(99)}, "(099)"},
        {"%.3d", {Int(-5)}, "-005"},
        {"%u", {Int(-1)}, "4294967295"},
        {"%x", {Int(-1)}, "FFFFFFFF"},
        {"%.2s", {Str("abcdef")}, "ab"},
        {"%e", {Real(1234.5)}, "1.23450000000000E+003"},
        {"%.3e", {Real(-0.000123456)}, "-1.23E-004"},
        {"%.2g", {Real(123456789.123456789)}, "1.2E008"},
        {"%.6g", {Real(123456789.123456789)}, "1.23457E008"},
        {"%g", {Real(2.0)}, "2"},
        {"%g", {Real(0.000001)}, "1E-006"},
        {"%g", {Real(0.5)}, "0.5"},
        {"%n", {Real(1234567.891)}, "1,234,567.89"},
        {"%.0n", {Real(-999.5)}, "-1,000"},
        {"%.1f", {Real(0.25)}, "0.3"},
        {"%f", {Int(3)}, "3.00"},
        {"%m", {Real(1234.5)}, "1,234.50 \x80"},
        {"%s|%s|%s", {Int(1), Real(2.5), TScriptValue::FromBool(true)}, "1|2.5|True"},
        {"%D %S", {Int(1), Str("a")}, "1 a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Format);
        const TScriptValue args = ArgsOf(c.Args);
        EXPECT_EQ(CallNative("Format", {Str(c.Format), args}).Result.AsString(), c.Expected);
    }
}

TEST(RtlSysUtils, FormatErrors) {
    const struct {
        const char* Format;
        std::vector<TScriptValue> Args;
    } cases[] = {
        {"%d", {Real(1.5)}},
        {"%d", {Str("1")}},
        {"%d", {}},
        {"%s %s", {Str("a")}},
        {"%q", {Int(1)}},
        {"x=%", {Int(1)}},
        {"%f", {Str("1")}},
        {"%3:d", {Int(1)}},
        {"%*d", {Str("a"), Int(1)}},
        {"%*d", {Int(2000000000), Int(1)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Format);
        const TScriptValue args = ArgsOf(c.Args);
        EXPECT_EQ(ErrorOf([&] {
                      CallNative("Format", {Str(c.Format), args});
                  }),
                  std::string("Format '") + c.Format + "' invalid or incompatible with argument");
    }
}

TEST(RtlSysUtils, FormatFloatTable) {
    // The documented table: format, then 1234, -1234, 0.5 and 0.
    const struct {
        const char* Format;
        const char* Results[4];
    } cases[] = {
        {"", {"1234", "-1234", "0.5", "0"}},
        {"0", {"1234", "-1234", "1", "0"}},
        {"0.00", {"1234.00", "-1234.00", "0.50", "0.00"}},
        {"#.##", {"1234", "-1234", ".5", ""}},
        {"#,##0.00", {"1,234.00", "-1,234.00", "0.50", "0.00"}},
        {"#,##0.00;(#,##0.00)", {"1,234.00", "(1,234.00)", "0.50", "0.00"}},
        {"#,##0.00;;Zero", {"1,234.00", "-1,234.00", "0.50", "Zero"}},
        {"0.000E+00", {"1.234E+03", "-1.234E+03", "5.000E-01", "0.000E+00"}},
        {"#.###E-0", {"1.234E3", "-1.234E3", "5E-1", "0E0"}},
    };
    const double values[4] = {1234, -1234, 0.5, 0};
    for (const auto& c : cases)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(CallNative("FormatFloat", {Str(c.Format), Real(values[i])}).Result.AsString(),
                      c.Results[i])
                << "'" << c.Format << "' " << values[i];

    const struct {
        const char* Format;
        double Value;
        const char* Expected;
    } more[] = {
        {"0.0", -0.01, "0.0"},
        {"00000", 42, "00042"},
        {"#,##0", 1234567.8, "1,234,568"},
        {"'Total: '0.00' EUR'", 3.14159, "Total: 3.14 EUR"},
        {"\"#\"0", 5, "#5"},
        {"0.###", 2.5, "2.5"},
        {"0.0##", 2, "2.0"},
        {"00.00E+00", 1234, "12.34E+02"},
        {"0", 2.5, "3"},
        {"0.00", 1e20, "100000000000000000000.00"},
    };
    for (const auto& m : more)
        EXPECT_EQ(CallNative("FormatFloat", {Str(m.Format), Real(m.Value)}).Result.AsString(), m.Expected)
            << m.Format << " " << m.Value;
}

TEST(RtlSysUtils, EncodeDecodeDates) {
    const struct {
        std::int32_t Y, M, D;
        double Days;
    } dates[] = {{2000, 1, 1, 36526}, {1899, 12, 30, 0},       {1900, 1, 1, 2},   {2000, 2, 29, 36585},
                 {1, 1, 1, -693593},  {9999, 12, 31, 2958465}, {1899, 12, 29, -1}};
    for (const auto& d : dates) {
        SCOPED_TRACE(d.Days);
        EXPECT_EQ(CallNative("EncodeDate", {Int(d.Y), Int(d.M), Int(d.D)}).Result.AsReal(), d.Days);
        const TRtlCall decoded = CallNative("DecodeDate", {Real(d.Days + 0.75), Int(0), Int(0), Int(0)});
        if (d.Days >= 0) {
            EXPECT_EQ(decoded.Args[1].AsInt(), d.Y);
            EXPECT_EQ(decoded.Args[2].AsInt(), d.M);
            EXPECT_EQ(decoded.Args[3].AsInt(), d.D);
        }
    }
    // Before day zero the date part is truncated towards zero.
    const TRtlCall before = CallNative("DecodeDate", {Real(-1.5), Int(0), Int(0), Int(0)});
    EXPECT_EQ(before.Args[3].AsInt(), 29);

    for (const auto& bad : {std::array{1999, 2, 29}, {2000, 13, 1}, {0, 1, 1}, {2000, 4, 31}, {10000, 1, 1}})
        EXPECT_EQ(ErrorOf([&] {
                      CallNative("EncodeDate", {Int(bad[0]), Int(bad[1]), Int(bad[2])});
                  }),
                  "Invalid argument to date encode");

    const double today = CallNative("Date", {}).Result.AsReal();
    EXPECT_EQ(today, std::trunc(today));
    EXPECT_GT(today, 44000.0);
    const double time = CallNative("Time", {}).Result.AsReal();
    EXPECT_GE(time, 0.0);
    EXPECT_LT(time, 1.0);
    EXPECT_NEAR(CallNative("Now", {}).Result.AsReal(), today + time, 0.01);
}

TEST(RtlSysUtils, DateTexts) {
    EXPECT_EQ(CallNative("DateToStr", {Real(36526.5)}).Result.AsString(), "01.01.2000");
    const struct {
        const char* Text;
        double Days;
    } good[] = {{"01.01.2000", 36526},
                {"1.1.2000", 36526},
                {" 2000-01-01 ", 36526},
                {"29.2.2000", 36585},
                {"1.1.2000.", 36526}};
    for (const auto& g : good)
        EXPECT_EQ(CallNative("StrToDate", {Str(g.Text)}).Result.AsReal(), g.Days) << g.Text;
    for (const char* bad : {"31.02.2000", "abc", "", "1.2.3.4", "2000-13-01", "1/1/2000"})
        EXPECT_EQ(ErrorOf([&] { CallNative("StrToDate", {Str(bad)}); }),
                  std::string("'") + bad + "' is not a valid date");
    // Two-digit years count in the current century or the next one.
    const double twoDigits = CallNative("StrToDate", {Str("5.6.07")}).Result.AsReal();
    EXPECT_EQ(ScriptRtl::DecodeDate(twoDigits).Year % 100, 7);
}

TEST(RtlSysUtils, FormatDateTimeTable) {
    // Thursday, 5 March 2009, 14:07:09.042.
    const double stamp = 39877.0 + (((14 * 60 + 7) * 60 + 9) * 1000 + 42) / 86400000.0;
    ASSERT_EQ(ScriptRtl::EncodeDate(2009, 3, 5), 39877.0);
    const struct {
        const char* Format;
        double Value;
        const char* Expected;
    } cases[] = {
        {"dd.mm.yyyy", stamp, "05.03.2009"},
        {"d/m/yy", stamp, "5.3.09"},
        {"ddd dddd", stamp, "Do Donnerstag"},
        {"mmm mmmm", stamp, "Mrz M\xE4rz"},
        {"hh:nn:ss.zzz", stamp, "14:07:09.042"},
        {"h:n:s.z", stamp, "14:7:9.42"},
        {"hh:mm", stamp, "14:07"},
        {"h:mm am/pm", stamp, "2:07 pm"},
        {"H AM/PM", stamp, "2 PM"},
        {"h a/p", stamp, "2 p"},
        {"hh am/pm", 39877.0, "12 am"},
        {"\"Heute ist\" dddd", stamp, "Heute ist Donnerstag"},
        {"'dd' dd", stamp, "dd 05"},
        {"c", stamp, "05.03.2009 14:07:09"},
        {"", stamp, "05.03.2009 14:07:09"},
        {"c", 39877.0, "05.03.2009"},
        {"ddddd", stamp, "05.03.2009"},
        {"dddddd", stamp, "Donnerstag, 5. M\xE4rz 2009"},
        {"t", stamp, "14:07"},
        {"tt", stamp, "14:07:09"},
        {"YYYY-MM-DD", stamp, "2009-03-05"},
        {"ddd", 36526.0, "Sa"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CallNative("FormatDateTime", {Str(c.Format), Real(c.Value)}).Result.AsString(), c.Expected)
            << c.Format;
}

TEST(RtlSysUtils, ValStrToIntStrToFloat) {
    const struct {
        const char* Text;
        TValueKind Kind;
        double Value;
        std::int32_t Code;
    } vals[] = {
        {"123", TValueKind::Integer, 123, 0},     {"12a", TValueKind::Integer, 0, 3},
        {"", TValueKind::Integer, 0, 1},          {" 12", TValueKind::Integer, 12, 0},
        {"12 ", TValueKind::Integer, 0, 3},       {"1.5", TValueKind::Real, 1.5, 0},
        {"1e3", TValueKind::Real, 1000, 0},       {"$FF", TValueKind::Integer, 255, 0},
        {"-7", TValueKind::Integer, -7, 0},       {"1.5.2", TValueKind::Integer, 0, 4},
        {"3000000000", TValueKind::Real, 3e9, 0}, {"-", TValueKind::Integer, 0, 2},
    };
    for (const auto& v : vals) {
        SCOPED_TRACE(v.Text);
        const TRtlCall call = CallNative("Val", {Str(v.Text), Int(99), Int(99)});
        EXPECT_EQ(call.Args[1].Kind(), v.Kind);
        EXPECT_EQ(call.Args[1].AsReal(), v.Value);
        EXPECT_EQ(call.Args[2].AsInt(), v.Code);
    }

    EXPECT_EQ(CallNative("StrToInt", {Str("42")}).Result.AsInt(), 42);
    EXPECT_EQ(CallNative("StrToInt", {Str(" -42")}).Result.AsInt(), -42);
    EXPECT_EQ(CallNative("StrToInt", {Str("$1F")}).Result.AsInt(), 31);
    for (const char* bad : {"4.2", "", "x", "99999999999", "12 "})
        EXPECT_EQ(ErrorOf([&] { CallNative("StrToInt", {Str(bad)}); }),
                  std::string("'") + bad + "' is not a valid integer value");

    EXPECT_EQ(CallNative("StrToFloat", {Str("1.5")}).Result.AsReal(), 1.5);
    EXPECT_EQ(CallNative("StrToFloat", {Str(" -2.5e2 ")}).Result.AsReal(), -250.0);
    EXPECT_EQ(CallNative("StrToFloat", {Str("7")}).Result.AsReal(), 7.0);
    for (const char* bad : {"1,5", "", "abc", "1.2.3", "-$10", "1e"})
        EXPECT_EQ(ErrorOf([&] { CallNative("StrToFloat", {Str(bad)}); }),
                  std::string("'") + bad + "' is not a valid floating point value");
}

TEST(RtlSysUtils, TextRoutines) {
    EXPECT_EQ(CallNative("IntToHex", {Int(255), Int(4)}).Result.AsString(), "00FF");
    EXPECT_EQ(CallNative("IntToHex", {Int(-1), Int(2)}).Result.AsString(), "FFFFFFFF");
    EXPECT_EQ(CallNative("IntToHex", {Int(0), Int(0)}).Result.AsString(), "0");
    EXPECT_EQ(CallNative("IntToStr", {Int(-5)}).Result.AsString(), "-5");
    EXPECT_EQ(CallNative("FloatToStr", {Real(0.1)}).Result.AsString(), "0.1");

    EXPECT_EQ(CallNative("Trim", {Str(" \t a b \r\n")}).Result.AsString(), "a b");
    EXPECT_EQ(CallNative("TrimLeft", {Str(" \t a b \r\n")}).Result.AsString(), "a b \r\n");
    EXPECT_EQ(CallNative("TrimRight", {Str(" \t a b \r\n")}).Result.AsString(), " \t a b");

    const char* lower = "stra\xDF"
                        "e \xE4\xF6\xFC \x9A\x9C\x9E \xFF \xB5";
    const char* upper = "STRA\xDF"
                        "E \xC4\xD6\xDC \x8A\x8C\x8E \x9F \xB5";
    EXPECT_EQ(CallNative("AnsiUpperCase", {Str(lower)}).Result.AsString(), upper);
    EXPECT_EQ(CallNative("AnsiLowerCase", {Str(upper)}).Result.AsString(),
              "stra\xDF"
              "e \xE4\xF6\xFC \x9A\x9C\x9E \xFF \xB5");

    const struct {
        const char* Name;
        const char* A;
        const char* B;
        int Sign;
    } compares[] = {
        {"AnsiCompareText", "abc", "ABC", 0},
        {"AnsiCompareText", "b", "a", 1},
        {"AnsiCompareText", "\xE4pfel", "Birne", -1},
        {"AnsiCompareText", "ab", "abc", -1},
        {"AnsiCompareStr", "a", "A", -1},
        {"AnsiCompareStr", "A", "b", -1},
        {"AnsiCompareStr", "abc", "abc", 0},
        {"AnsiCompareStr", "B", "a", 1},
    };
    for (const auto& c : compares) {
        const int result = CallNative(c.Name, {Str(c.A), Str(c.B)}).Result.AsInt();
        EXPECT_EQ((result > 0) - (result < 0), c.Sign) << c.Name << " " << c.A << " " << c.B;
    }
}

TEST(RtlSysUtils, ArbitraryFormatsFailCleanly) {
    // Random format texts may fail, but only with the library's own errors.
    const std::string alphabet = "%0#.,;:-*1239dDeEfgGnmpsuxXyhnszt/\"' am/pE+E-";
    std::uint32_t seed = 12345;
    const auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    const TScriptValue args = ArgsOf({Int(3), Real(-1234.5678), Str("abc"), Int(-7)});
    for (int round = 0; round < 3000; ++round) {
        std::string format;
        const std::uint32_t length = next() % 12;
        for (std::uint32_t i = 0; i < length; ++i)
            format += alphabet[(next() >> 8) % alphabet.size()];
        SCOPED_TRACE(format);
        for (const char* name :
             {"Format", "FormatFloat", "FormatDateTime", "StrToDate", "StrToFloat", "Val"}) {
            try {
                if (std::string(name) == "Format")
                    CallNative(name, {Str(format), args});
                else if (std::string(name) == "Val" || std::string(name) == "StrToDate" ||
                         std::string(name) == "StrToFloat")
                    CallNative(name, {Str(format), Int(0), Int(0)});
                else
                    CallNative(name, {Str(format), Real(-1234.5678)});
            } catch (const EScriptError&) {
            }
        }
    }
}

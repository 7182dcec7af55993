#pragma once
// Dates and times as scripts hold them: a real number of days since
// 1899-12-30, whose fraction is the time of day. Dates are written the way
// the program's (German) locale writes them: "dd.mm.yyyy", German day and
// month names, "." between date parts and ":" between time parts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ScriptRtl {

struct TDateParts {
    std::int32_t Year = 0;
    std::int32_t Month = 0;
    std::int32_t Day = 0;
};

struct TTimeParts {
    std::int32_t Hour = 0;
    std::int32_t Minute = 0;
    std::int32_t Second = 0;
    std::int32_t MilliSecond = 0;
};

// nullopt for a date outside 1/1/1 … 31/12/9999 or no valid day.
std::optional<double> TryEncodeDate(std::int32_t year, std::int32_t month, std::int32_t day);
// Raises "Invalid argument to date encode".
double EncodeDate(std::int32_t year, std::int32_t month, std::int32_t day);
double EncodeTime(std::int32_t hour, std::int32_t minute, std::int32_t second, std::int32_t milliSecond);
// The date part is the whole days (towards zero), the time the fraction's
// size; values outside the supported range raise EScriptError.
TDateParts DecodeDate(double dateTime);
TTimeParts DecodeTime(double dateTime);
// 0 = Sunday.
std::int32_t DayOfWeek(double dateTime);

double Now();
double Today();
double CurrentTime();

// "dd.mm.yyyy".
std::string DateToStr(double dateTime);
// d.m.yyyy (also two-digit years and no year: the current year) or
// yyyy-mm-dd; raises "'%s' is not a valid date".
double StrToDate(std::string_view s);
// Delphi's date/time format codes (c d dd ddd dddd ddddd dddddd m mm
// mmm mmmm yy yyyy h hh n nn s ss z zzz t tt am/pm a/p ampm / : and quoted
// literals); an empty format means "c".
std::string FormatDateTime(std::string_view format, double dateTime);

} // namespace ScriptRtl

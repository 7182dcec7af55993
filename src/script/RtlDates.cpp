#include "script/RtlDates.h"

#include "script/RtlObjects.h"
#include "script/ScriptErrors.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace ScriptRtl {
namespace {

// The program writes dates as its German locale does.
const char* const ShortDateFormat = "dd.mm.yyyy";
const char* const LongDateFormat = "dddd, d. mmmm yyyy";
const char* const ShortTimeFormat = "hh:nn";
const char* const LongTimeFormat = "hh:nn:ss";
const char DateSeparator = '.';
const char TimeSeparator = ':';
const char* const TimeAMString = "AM";
const char* const TimePMString = "PM";
const char* const ShortDayNames[7] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
const char* const LongDayNames[7] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                     "Donnerstag", "Freitag", "Samstag"};
const char* const ShortMonthNames[12] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                         "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
const char* const LongMonthNames[12] = {"Januar", "Februar", "M\xE4rz",   "April",   "Mai",      "Juni",
                                        "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

constexpr double MSecsPerDay = 86400000.0;

// Days from 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

TDateParts CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<std::int32_t>(y), static_cast<std::int32_t>(m), static_cast<std::int32_t>(d)};
}

const std::int64_t DayZero = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(std::int32_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

std::int32_t DaysInMonth(std::int32_t y, std::int32_t m) {
    static const std::int32_t days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

// The whole days of a date-time (towards zero) after a range check.
std::int64_t WholeDays(double dateTime) {
    // 0001-01-01 … 9999-12-31 (one day of slack on both ends for the time).
    if (!std::isfinite(dateTime) || dateTime < -693594.0 || dateTime > 2958466.0)
        throw EScriptError("Invalid date/time value");
    return static_cast<std::int64_t>(std::trunc(dateTime));
}

std::string Pad(std::int32_t value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix) {
    if (text.size() - at < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[at + i]) != prefix[i]) return false;
    return true;
}

// Whether an am/pm marker follows before the next hour code.
bool TwelveHourClockAhead(std::string_view format, std::size_t from) {
    for (std::size_t i = from; i < format.size(); ++i) {
        const char c = Lower(format[i]);
        if (c == '"' || c == '\'') {
            const std::size_t close = format.find(format[i], i + 1);
            if (close == std::string_view::npos) return false;
            i = close;
        } else if (c == 'h') {
            return false;
        } else if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p") ||
                   StartsWithNoCase(format, i, "ampm")) {
            return true;
        }
    }
    return false;
}

class TDateFormatter {
public:
    TDateFormatter(double dateTime)
        : FDate(DecodeDate(dateTime)), FTime(DecodeTime(dateTime)), FDayOfWeek(DayOfWeek(dateTime)),
          FHasTime(std::trunc(dateTime) != dateTime) {}

    void Append(std::string_view format, std::string& out, int depth = 0) {
        bool lastWasHour = false;
        bool twelveHour = false;
        std::size_t i = 0;
        while (i < format.size()) {
            const char raw = format[i];
            const char c = Lower(raw);
            std::size_t run = 1;
            while (i + run < format.size() && Lower(format[i + run]) == c)
                ++run;
            switch (c) {
            case '"':
            case '\'': {
                const std::size_t close = format.find(raw, i + 1);
                const std::size_t end = close == std::string_view::npos ? format.size() : close;
                out.append(format.substr(i + 1, end - i - 1));
                i = end == format.size() ? end : end + 1;
                continue;
            }
            case '/':
                out += DateSeparator;
                i += 1;
                continue;
            case ':':
                out += TimeSeparator;
                i += 1;
                continue;
            case 'c':
                if (depth < 2) {
                    Append(ShortDateFormat, out, depth + 1);
                    if (FHasTime) {
                        out += ' ';
                        Append(LongTimeFormat, out, depth + 1);
                    }
                }
                lastWasHour = false;
                i += 1;
                continue;
            case 'd':
                if (run == 1)
                    out += std::to_string(FDate.Day);
                else if (run == 2)
                    out += Pad(FDate.Day, 2);
                else if (run == 3)
                    out += ShortDayNames[FDayOfWeek];
                else if (run == 4)
                    out += LongDayNames[FDayOfWeek];
                else if (depth < 2)
                    Append(run == 5 ? ShortDateFormat : LongDateFormat, out, depth + 1);
                lastWasHour = false;
                i += run;
                continue;
            case 'm':
                if (lastWasHour) {
                    out += run == 1 ? std::to_string(FTime.Minute) : Pad(FTime.Minute, 2);
                    i += std::min<std::size_t>(run, 2);
                } else {
                    if (run == 1)
                        out += std::to_string(FDate.Month);
                    else if (run == 2)
                        out += Pad(FDate.Month, 2);
                    else if (run == 3)
                        out += ShortMonthNames[FDate.Month - 1];
                    else
                        out += LongMonthNames[FDate.Month - 1];
                    i += run;
                }
                lastWasHour = false;
                continue;
            case 'y':
                out += run <= 2 ? Pad(FDate.Year % 100, 2) : Pad(FDate.Year, 4);
                lastWasHour = false;
                i += run;
                continue;
            case 'h': {
                twelveHour = TwelveHourClockAhead(format, i + run);
                std::int32_t hour = FTime.Hour;
                if (twelveHour) {
                    hour %= 12;
                    if (hour == 0) hour = 12;
                }
                out += run == 1 ? std::to_string(hour) : Pad(hour, 2);
                lastWasHour = true;
                i += std::min<std::size_t>(run, 2);
                continue;
            }
            case 'n':
                out += run == 1 ? std::to_string(FTime.Minute) : Pad(FTime.Minute, 2);
                lastWasHour = false;
                i += std::min<std::size_t>(run, 2);
                continue;
            case 's':
                out += run == 1 ? std::to_string(FTime.Second) : Pad(FTime.Second, 2);
                lastWasHour = false;
                i += std::min<std::size_t>(run, 2);
                continue;
            case 'z':
                out += run < 3 ? std::to_string(FTime.MilliSecond) : Pad(FTime.MilliSecond, 3);
                lastWasHour = false;
                i += std::min<std::size_t>(run, 3);
                continue;
            case 't':
                if (depth < 2) Append(run == 1 ? ShortTimeFormat : LongTimeFormat, out, depth + 1);
                lastWasHour = false;
                i += std::min<std::size_t>(run, 2);
                continue;
            case 'a': {
                const bool pm = FTime.Hour >= 12;
                if (StartsWithNoCase(format, i, "am/pm")) {
                    const std::string_view marker = format.substr(pm ? i + 3 : i, 2);
                    out.append(marker);
                    i += 5;
                } else if (StartsWithNoCase(format, i, "a/p")) {
                    out += format[pm ? i + 2 : i];
                    i += 3;
                } else if (StartsWithNoCase(format, i, "ampm")) {
                    out += pm ? TimePMString : TimeAMString;
                    i += 4;
                } else {
                    out += raw;
                    i += 1;
                }
                continue;
            }
            default:
                out += raw;
                i += 1;
                continue;
            }
        }
    }

private:
    TDateParts FDate;
    TTimeParts FTime;
    std::int32_t FDayOfWeek;
    bool FHasTime;
};

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

std::int32_t Number(std::string_view s) {
    std::int32_t value = 0;
    for (char c : s)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace

std::optional<double> TryEncodeDate(std::int32_t year, std::int32_t month, std::int32_t day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return static_cast<double>(DaysFromCivil(year, month, day) - DayZero);
}

double EncodeDate(std::int32_t year, std::int32_t month, std::int32_t day) {
    const std::optional<double> date = TryEncodeDate(year, month, day);
    if (!date) throw EScriptError("Invalid argument to date encode");
    return *date;
}

double EncodeTime(std::int32_t hour, std::int32_t minute, std::int32_t second, std::int32_t milliSecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || milliSecond < 0 ||
        milliSecond > 999)
        throw EScriptError("Invalid argument to time encode");
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + milliSecond) / MSecsPerDay;
}

TDateParts DecodeDate(double dateTime) {
    return CivilFromDays(WholeDays(dateTime) + DayZero);
}

TTimeParts DecodeTime(double dateTime) {
    WholeDays(dateTime);
    const double fraction = std::fabs(dateTime - std::trunc(dateTime));
    std::int64_t ms = std::llround(fraction * MSecsPerDay);
    if (ms >= 86400000) ms = 86399999;
    TTimeParts parts;
    parts.MilliSecond = static_cast<std::int32_t>(ms % 1000);
    ms /= 1000;
    parts.Second = static_cast<std::int32_t>(ms % 60);
    ms /= 60;
    parts.Minute = static_cast<std::int32_t>(ms % 60);
    parts.Hour = static_cast<std::int32_t>(ms / 60);
    return parts;
}

std::int32_t DayOfWeek(double dateTime) {
    // 1899-12-30 was a Saturday.
    const std::int64_t days = WholeDays(dateTime);
    return static_cast<std::int32_t>(((days + 6) % 7 + 7) % 7);
}

double Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return EncodeDate(date.year(), date.month(), date.day()) +
           EncodeTime(time.hour(), time.minute(), time.second(), time.msec());
}

double Today() {
    return std::trunc(Now());
}

double CurrentTime() {
    const double now = Now();
    return now - std::trunc(now);
}

std::string DateToStr(double dateTime) {
    return FormatDateTime(ShortDateFormat, dateTime);
}

double StrToDate(std::string_view s) {
    const auto invalid = [&]() { return EScriptError(Message("'%s' is not a valid date", s)); };
    std::string_view text = s;
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);

    std::vector<std::string_view> parts;
    const bool iso = text.size() >= 8 && text.find('-') == 4;
    const char separator = iso ? '-' : DateSeparator;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (!iso && parts.size() == 4 && parts.back().empty()) // "1.2.2000."
        parts.pop_back();
    for (std::string_view part : parts)
        if (!AllDigits(part) || part.size() > 4) throw invalid();

    std::int32_t year = 0, month = 0, day = 0;
    if (iso) {
        if (parts.size() != 3 || parts[0].size() != 4) throw invalid();
        year = Number(parts[0]);
        month = Number(parts[1]);
        day = Number(parts[2]);
    } else {
        if (parts.size() != 2 && parts.size() != 3) throw invalid();
        day = Number(parts[0]);
        month = Number(parts[1]);
        const std::int32_t currentYear = QDate::currentDate().year();
        if (parts.size() == 2) {
            year = currentYear;
        } else {
            year = Number(parts[2]);
            if (parts[2].size() <= 2) {
                // Two-digit years count in the current century, or the next
                // one when that would be more than 50 years ago.
                year += currentYear / 100 * 100;
                if (year < currentYear - 50) year += 100;
            }
        }
    }
    const std::optional<double> date = TryEncodeDate(year, month, day);
    if (!date) throw invalid();
    return *date;
}

std::string FormatDateTime(std::string_view format, double dateTime) {
    std::string out;
    TDateFormatter formatter(dateTime);
    formatter.Append(format.empty() ? std::string_view("c") : format, out);
    return out;
}

} // namespace ScriptRtl

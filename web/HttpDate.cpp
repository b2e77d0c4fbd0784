#include "web/HttpDate.h"

#include <cstdint>
#include <cstdio>

#include "common/DecimalNumber.h"
#include "common/StringICompare.h"

namespace {

struct DateFields {
  int64_t year = 0;
  int month = 0;  // 1 to 12
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Reads the text from left to right; every step fails once anything does not fit.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  bool Peek(char c) const { return pos_ < text_.size() && text_[pos_] == c; }

  bool Char(char c) {
    if (!Peek(c)) return false;
    ++pos_;
    return true;
  }
  // One or more spaces (asctime pads a one-digit day with a second space).
  bool Spaces() {
    size_t start = pos_;
    while (Peek(' ')) ++pos_;
    return pos_ > start;
  }
  std::string_view Letters() {
    size_t start = pos_;
    while (pos_ < text_.size() && IsLetter(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }
  // minDigits to maxDigits decimal digits.
  bool Number(size_t minDigits, size_t maxDigits, int64_t& value, size_t* count = nullptr) {
    uint64_t read = 0;
    const size_t digits = ReadDecimalPrefix(text_.substr(pos_), UINT64_MAX, read, maxDigits);
    pos_ += digits;
    value = static_cast<int64_t>(read);
    if (count) *count = digits;
    return digits >= minDigits;
  }
  bool Int(size_t minDigits, size_t maxDigits, int& value) {
    int64_t v = 0;
    if (!Number(minDigits, maxDigits, v)) return false;
    value = static_cast<int>(v);
    return true;
  }

 private:
  static bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

  std::string_view text_;
  size_t pos_ = 0;
};



// 1 to 12, or 0 for a text that names no month.
int MonthOf(std::string_view name) {
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  for (int i = 0; i < 12; ++i) {
    if (EqualsIgnoreCase(name, kMonths[i])) return i + 1;
  }
  return 0;
}

bool IsWeekday(std::string_view name, bool longForm) {
  static const char* const kShort[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
  static const char* const kLong[] = {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};
  for (int i = 0; i < 7; ++i) {
    if (EqualsIgnoreCase(name, longForm ? kLong[i] : kShort[i])) return true;
  }
  return false;
}

bool Time(Scanner& in, DateFields& date) {
  return in.Int(2, 2, date.hour) && in.Char(':') && in.Int(2, 2, date.minute) && in.Char(':') &&
         in.Int(2, 2, date.second);
}

bool Zone(Scanner& in) {
  std::string_view zone = in.Letters();
  return EqualsIgnoreCase(zone, "GMT") || EqualsIgnoreCase(zone, "UTC");
}

bool Month(Scanner& in, DateFields& date) {
  date.month = MonthOf(in.Letters());
  return date.month != 0;
}

// After "Sun, ": "06 Nov 1994 08:49:37 GMT".
bool ImfFixdate(Scanner& in, DateFields& date) {
  return in.Int(1, 2, date.day) && in.Spaces() && Month(in, date) && in.Spaces() && in.Number(4, 4, date.year) &&
         in.Spaces() && Time(in, date) && in.Spaces() && Zone(in);
}

// After "Sunday, ": "06-Nov-94 08:49:37 GMT"; a four-digit year is taken as it is.
bool Rfc850Date(Scanner& in, DateFields& date, bool& twoDigitYear) {
  size_t digits = 0;
  bool ok = in.Int(1, 2, date.day) && in.Char('-') && Month(in, date) && in.Char('-') &&
            in.Number(2, 4, date.year, &digits) && (digits == 2 || digits == 4) && in.Spaces() && Time(in, date) &&
            in.Spaces() && Zone(in);
  twoDigitYear = digits == 2;
  return ok;
}

// After "Sun ": "Nov  6 08:49:37 1994".
bool AsctimeDate(Scanner& in, DateFields& date) {
  return Month(in, date) && in.Spaces() && in.Int(1, 2, date.day) && in.Spaces() && Time(in, date) &&
         in.Spaces() && in.Number(4, 4, date.year);
}

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int64_t year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// The calendar year of a time (UTC).
int64_t YearOf(std::time_t time) {
  std::tm parts{};
  if (!gmtime_r(&time, &parts)) return 1970;
  return static_cast<int64_t>(parts.tm_year) + 1900;
}

bool Read(std::string_view value, std::time_t now, DateFields& date) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.remove_suffix(1);
  Scanner in(value);
  std::string_view weekday = in.Letters();
  bool twoDigitYear = false;
  bool ok = false;
  if (in.Char(',')) {
    in.Spaces();
    if (IsWeekday(weekday, false)) ok = ImfFixdate(in, date);
    else if (IsWeekday(weekday, true)) ok = Rfc850Date(in, date, twoDigitYear);
  } else if (IsWeekday(weekday, false) && in.Spaces()) {
    ok = AsctimeDate(in, date);
  }
  if (!ok || !in.AtEnd()) return false;
  if (twoDigitYear) {
    const int64_t nowYear = YearOf(now);
    // A modification date lies in the past: the latest year with these digits that is not
    // after this one (which also takes every year more than 50 years ahead a century back).
    date.year += nowYear - nowYear % 100;
    if (date.year > nowYear) date.year -= 100;
  }
  return true;
}

bool Valid(const DateFields& date) {
  return date.year >= 1970 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
         date.day <= DaysInMonth(date.year, date.month) && date.hour <= 23 && date.minute <= 59 && date.second <= 60;
}

}  // namespace

std::optional<std::time_t> ParseHttpDate(std::string_view value, std::time_t now) {
  DateFields date;
  if (!Read(value, now, date) || !Valid(date)) return std::nullopt;
  const int second = date.second == 60 ? 59 : date.second;
  const int64_t seconds = DaysFromCivil(date.year, date.month, date.day) * 86400 + date.hour * 3600 +
                          date.minute * 60 + second;
  if (seconds > static_cast<int64_t>(now) + 86400) return std::nullopt;
  return static_cast<std::time_t>(seconds);
}

std::optional<std::string> W3cDateOfHttpDate(std::string_view value, std::time_t now) {
  std::optional<std::time_t> time = ParseHttpDate(value, now);
  if (!time) return std::nullopt;
  std::tm parts{};
  if (!gmtime_r(&*time, &parts)) return std::nullopt;
  char text[64];
  std::snprintf(text, sizeof(text), "%04d-%02d-%02dT%02d:%02d:%02d+00:00", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return std::string(text);
}

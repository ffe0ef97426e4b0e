#include "photo/captions.h"

#include <cstdio>
#include <ctime>
#include <optional>

#include "core/text.h"

namespace vitrine::photo {
namespace {

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar (Howard Hinnant's
// civil-days formula): the weekday without the C library's time zone functions, which differ
// between platforms.
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// "YYYY:MM:DD HH:MM:SS" (the time may be missing) as a calendar time; nothing when the date
// does not read.
std::optional<std::tm> TakenAt(const std::string& stamp) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  int fields = std::sscanf(stamp.c_str(), "%4d:%2d:%2d %2d:%2d:%2d", &y, &mo, &d, &h, &mi, &s);
  if (fields < 3 || y < 1 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60) return std::nullopt;
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  // The weekday and day of the year, for %A and %j (1970-01-01 was a Thursday).
  const long days = DaysFromCivil(y, mo, d);
  tm.tm_wday = static_cast<int>(((days % 7) + 11) % 7);
  tm.tm_yday = static_cast<int>(days - DaysFromCivil(y, 1, 1));
  return tm;
}

std::string Format(const std::tm& tm, const std::string& format) {
  if (format.empty()) return {};
  char buffer[256];
  size_t n = std::strftime(buffer, sizeof buffer, format.c_str(), &tm);
  return std::string(buffer, n);
}

std::string DateText(const std::tm& tm) {
  static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
  return std::to_string(tm.tm_mday) + " " + kMonths[tm.tm_mon] + " " + std::to_string(tm.tm_year + 1900);
}

std::string Camera(const ExifFacts& exif) {
  if (exif.model.empty()) return exif.make;
  if (exif.make.empty()) return exif.model;
  // Many cameras repeat the make in the model ("Canon" / "Canon EOS 80D").
  std::string make = AsciiLower(exif.make), model = AsciiLower(exif.model);
  std::string firstWord = make.substr(0, make.find(' '));
  if (model.starts_with(firstWord)) return exif.model;
  return exif.make + " " + exif.model;
}

// The value of one placeholder name, or nothing when name is no placeholder.
std::optional<std::string> Value(const std::string& name, const CaptionFacts& facts) {
  std::optional<std::tm> taken = TakenAt(facts.exif.dateTaken);
  bool hasTime = facts.exif.dateTaken.size() >= 16;
  if (name == "date") return taken ? DateText(*taken) : std::string();
  if (name.starts_with("date:")) return taken ? Format(*taken, name.substr(5)) : std::string();
  if (name == "time") return taken && hasTime ? Format(*taken, "%H:%M") : std::string();
  if (name == "camera") return Camera(facts.exif);
  if (name == "title") return facts.exif.description.empty() ? facts.xmpTitle : facts.exif.description;
  if (name == "file") return facts.fileStem;
  return std::nullopt;
}

template <class OnPlaceholder>
std::string Walk(const std::string& text, OnPlaceholder on) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    size_t open = text.find('{', at);
    size_t close = open == std::string::npos ? std::string::npos : text.find('}', open + 1);
    if (close == std::string::npos) break;
    out.append(text, at, open - at);
    std::optional<std::string> value = on(text.substr(open + 1, close - open - 1));
    if (value) {
      out += *value;
      at = close + 1;
    } else {
      out += '{';
      at = open + 1;
    }
  }
  out.append(text, at, std::string::npos);
  return out;
}

}  // namespace

std::string FillPlaceholders(const std::string& text, const CaptionFacts& facts) {
  return Walk(text, [&](const std::string& name) { return Value(name, facts); });
}

bool HasPlaceholders(const std::string& text) {
  bool found = false;
  CaptionFacts none;
  Walk(text, [&](const std::string& name) {
    std::optional<std::string> v = Value(name, none);
    found |= v.has_value();
    return v;
  });
  return found;
}

}  // namespace vitrine::photo

// Date: a time in milliseconds since 1970 (UTC), read in UTC or in local time.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

namespace {

constexpr double kDayMs = 86400000.0;

struct Fields {
  double year, month, day, hours, minutes, seconds, ms, weekday;
};

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
double DaysFromCivil(double y, double m, double d) {
  y += std::floor(m / 12);
  m = std::fmod(m, 12);
  if (m < 0) m += 12;
  int64_t yy = int64_t(y) - (m < 2 ? 1 : 0);
  int64_t era = (yy >= 0 ? yy : yy - 399) / 400;
  int64_t yoe = yy - era * 400;
  int64_t mp = (int64_t(m) + 10) % 12;  // March is 0
  int64_t doy = (153 * mp + 2) / 5;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return double(era * 146097 + doe - 719468) + d - 1;
}

Fields Split(double t) {
  Fields f{};
  double days = std::floor(t / kDayMs);
  double rest = t - days * kDayMs;
  int64_t z = int64_t(days) + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  f.day = double(doy - (153 * mp + 2) / 5 + 1);
  f.month = double(mp < 10 ? mp + 3 : mp - 9) - 1;
  f.year = double(yoe + era * 400 + (f.month < 2 ? 1 : 0));
  f.hours = std::floor(rest / 3600000);
  f.minutes = std::floor(std::fmod(rest, 3600000) / 60000);
  f.seconds = std::floor(std::fmod(rest, 60000) / 1000);
  f.ms = std::fmod(rest, 1000);
  f.weekday = std::fmod(days + 4, 7);
  if (f.weekday < 0) f.weekday += 7;
  return f;
}

double Join(const Fields& f) {
  return DaysFromCivil(f.year, f.month, f.day) * kDayMs + f.hours * 3600000 + f.minutes * 60000 + f.seconds * 1000 +
         f.ms;
}

// The local zone's offset from UTC at time t, in milliseconds.
double LocalOffset(double t) {
  if (!std::isfinite(t)) return 0;
  std::time_t secs = std::time_t(std::floor(t / 1000));
  std::tm local{}, utc{};
#ifdef _WIN32
  if (localtime_s(&local, &secs) || gmtime_s(&utc, &secs)) return 0;
#else
  if (!localtime_r(&secs, &local) || !gmtime_r(&secs, &utc)) return 0;
#endif
  Fields l{double(local.tm_year + 1900), double(local.tm_mon), double(local.tm_mday), double(local.tm_hour),
           double(local.tm_min), double(local.tm_sec), 0, 0};
  Fields u{double(utc.tm_year + 1900), double(utc.tm_mon), double(utc.tm_mday), double(utc.tm_hour),
           double(utc.tm_min), double(utc.tm_sec), 0, 0};
  return Join(l) - Join(u);
}

double TimeOf(Object* self) { return self && self->cls == "Date" ? self->primitive.number : NAN; }

double Now() {
  using namespace std::chrono;
  return double(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

double FromArgs(Vm& vm, const std::vector<Value>& args) {
  Fields f{};
  double* slots[] = {&f.year, &f.month, &f.day, &f.hours, &f.minutes, &f.seconds, &f.ms};
  f.day = 1;
  for (size_t i = 0; i < 7 && i < args.size(); ++i) *slots[i] = vm.ToNumber(args[i]);
  for (double* s : slots)
    if (!std::isfinite(*s)) return NAN;
  f.year = std::trunc(f.year);
  if (f.year >= 0 && f.year <= 99) f.year += 1900;
  return Join(f);
}

Value Construct(Vm& vm, Object*, std::vector<Value>& args) {
  Object* d = vm.New(vm.dateProto);
  d->cls = "Date";
  double t;
  if (args.empty()) t = Now();
  else if (args.size() == 1) t = vm.ToNumber(args[0]);
  else {
    t = FromArgs(vm, args);
    t -= LocalOffset(t);
  }
  d->primitive = Value(t);
  return d;
}

Value CallAsFunction(Vm& vm, Object* self, std::vector<Value>&) {
  std::vector<Value> none;
  Value d = Construct(vm, self, none);
  return vm.ToString(d);
}

Value Utc(Vm& vm, Object*, std::vector<Value>& args) { return FromArgs(vm, args); }

Value GetTime(Vm&, Object* self, std::vector<Value>&) { return TimeOf(self); }

Value SetTime(Vm& vm, Object* self, std::vector<Value>& args) {
  if (!self || self->cls != "Date") return {};
  self->primitive = Value(vm.ToNumber(Arg(args, 0)));
  return self->primitive;
}

Value TimezoneOffset(Vm&, Object* self, std::vector<Value>&) {
  double t = TimeOf(self);
  return std::isnan(t) ? NAN : -LocalOffset(t) / 60000;
}

// Getters and setters for each field, in local time or in UTC.
template <double Fields::*Field, bool Utc>
Value GetField(Vm&, Object* self, std::vector<Value>&) {
  double t = TimeOf(self);
  if (!std::isfinite(t)) return NAN;
  return Split(Utc ? t : t + LocalOffset(t)).*Field;
}

template <double Fields::*Field, bool Utc>
Value SetField(Vm& vm, Object* self, std::vector<Value>& args) {
  double t = TimeOf(self);
  if (!self || self->cls != "Date") return {};
  if (!std::isfinite(t)) t = 0;
  double offset = Utc ? 0 : LocalOffset(t);
  Fields f = Split(t + offset);
  f.*Field = vm.ToNumber(Arg(args, 0));
  double joined = std::isfinite(f.*Field) ? Join(f) - offset : NAN;
  self->primitive = Value(joined);
  return joined;
}

Value ToStringMethod(Vm&, Object* self, std::vector<Value>&) {
  double t = TimeOf(self);
  if (!std::isfinite(t)) return "Invalid Date";
  double offset = LocalOffset(t);
  Fields f = Split(t + offset);
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int minutes = int(offset / 60000);
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %d", days[int(f.weekday)], months[int(f.month)],
                int(f.day), int(f.hours), int(f.minutes), int(f.seconds), minutes < 0 ? '-' : '+', std::abs(minutes) / 60,
                std::abs(minutes) % 60, int(f.year));
  return std::string(buf);
}

}  // namespace

void InstallDate(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  vm.dateProto = proto;
  Object* ctor = vm.NewFunction(CallAsFunction, Construct);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Method(ctor, "UTC", Utc);
  vm.Method(proto, "getTime", GetTime);
  vm.Method(proto, "valueOf", GetTime);
  vm.Method(proto, "setTime", SetTime);
  vm.Method(proto, "toString", ToStringMethod);
  vm.Method(proto, "getTimezoneOffset", TimezoneOffset);
  struct Row {
    const char* get;
    const char* getUtc;
    NativeFn local, utc;
    const char* set;
    const char* setUtc;
    NativeFn setLocal, setUtcFn;
  };
  const Row rows[] = {
      {"getFullYear", "getUTCFullYear", GetField<&Fields::year, false>, GetField<&Fields::year, true>, "setFullYear",
       "setUTCFullYear", SetField<&Fields::year, false>, SetField<&Fields::year, true>},
      {"getMonth", "getUTCMonth", GetField<&Fields::month, false>, GetField<&Fields::month, true>, "setMonth",
       "setUTCMonth", SetField<&Fields::month, false>, SetField<&Fields::month, true>},
      {"getDate", "getUTCDate", GetField<&Fields::day, false>, GetField<&Fields::day, true>, "setDate", "setUTCDate",
       SetField<&Fields::day, false>, SetField<&Fields::day, true>},
      {"getHours", "getUTCHours", GetField<&Fields::hours, false>, GetField<&Fields::hours, true>, "setHours",
       "setUTCHours", SetField<&Fields::hours, false>, SetField<&Fields::hours, true>},
      {"getMinutes", "getUTCMinutes", GetField<&Fields::minutes, false>, GetField<&Fields::minutes, true>,
       "setMinutes", "setUTCMinutes", SetField<&Fields::minutes, false>, SetField<&Fields::minutes, true>},
      {"getSeconds", "getUTCSeconds", GetField<&Fields::seconds, false>, GetField<&Fields::seconds, true>,
       "setSeconds", "setUTCSeconds", SetField<&Fields::seconds, false>, SetField<&Fields::seconds, true>},
      {"getMilliseconds", "getUTCMilliseconds", GetField<&Fields::ms, false>, GetField<&Fields::ms, true>,
       "setMilliseconds", "setUTCMilliseconds", SetField<&Fields::ms, false>, SetField<&Fields::ms, true>},
  };
  for (const Row& r : rows) {
    vm.Method(proto, r.get, r.local);
    vm.Method(proto, r.getUtc, r.utc);
    vm.Method(proto, r.set, r.setLocal);
    vm.Method(proto, r.setUtc, r.setUtcFn);
  }
  vm.Method(proto, "getDay", GetField<&Fields::weekday, false>);
  vm.Method(proto, "getUTCDay", GetField<&Fields::weekday, true>);
  vm.Method(proto, "getYear", [](Vm& v, Object* self, std::vector<Value>& a) -> Value {
    Value y = GetField<&Fields::year, false>(v, self, a);
    return y.number - 1900;
  });
  vm.Define(vm.global, "Date", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1

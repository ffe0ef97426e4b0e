// Math: its functions are a table of one-argument and two-argument routines.
#include <cmath>
#include <numbers>

#include "core/random.h"
#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

namespace {

template <double (*F)(double)>
Value One(Vm& vm, Object*, std::vector<Value>& args) {
  return F(vm.ToNumber(Arg(args, 0)));
}
template <double (*F)(double, double)>
Value Two(Vm& vm, Object*, std::vector<Value>& args) {
  return F(vm.ToNumber(Arg(args, 0)), vm.ToNumber(Arg(args, 1)));
}

double Abs(double x) { return std::fabs(x); }
double Acos(double x) { return std::acos(x); }
double Asin(double x) { return std::asin(x); }
double Atan(double x) { return std::atan(x); }
double Ceil(double x) { return std::ceil(x); }
double Cos(double x) { return std::cos(x); }
double Exp(double x) { return std::exp(x); }
double Floor(double x) { return std::floor(x); }
double Log(double x) { return std::log(x); }
// Halves go up, as in the Flash player: round(-2.5) is -2.
double Round(double x) { return std::floor(x + 0.5); }
double Sin(double x) { return std::sin(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Tan(double x) { return std::tan(x); }
double Atan2(double y, double x) { return std::atan2(y, x); }
double Pow(double x, double y) { return std::pow(x, y); }
// NaN wins, as in the Flash player.
double Max(double x, double y) { return std::isnan(x) || std::isnan(y) ? NAN : x > y ? x : y; }
double Min(double x, double y) { return std::isnan(x) || std::isnan(y) ? NAN : x < y ? x : y; }

Value MaxOf(Vm& vm, Object*, std::vector<Value>& args) {
  double r = -INFINITY;
  for (const Value& v : args) r = Max(r, vm.ToNumber(v));
  return r;
}
Value MinOf(Vm& vm, Object*, std::vector<Value>& args) {
  double r = INFINITY;
  for (const Value& v : args) r = Min(r, vm.ToNumber(v));
  return r;
}
Value RandomUnitFn(Vm&, Object*, std::vector<Value>&) { return RandomUnit(); }

}  // namespace

void InstallMath(Vm& vm) {
  Object* math = vm.NewObject();
  const std::pair<const char*, NativeFn> functions[] = {
      {"abs", One<Abs>},     {"acos", One<Acos>},   {"asin", One<Asin>},   {"atan", One<Atan>},
      {"ceil", One<Ceil>},   {"cos", One<Cos>},     {"exp", One<Exp>},     {"floor", One<Floor>},
      {"log", One<Log>},     {"round", One<Round>}, {"sin", One<Sin>},     {"sqrt", One<Sqrt>},
      {"tan", One<Tan>},     {"atan2", Two<Atan2>}, {"pow", Two<Pow>},     {"max", MaxOf},
      {"min", MinOf},        {"random", RandomUnitFn}};
  for (auto& [name, fn] : functions) vm.Method(math, name, fn);
  const std::pair<const char*, double> constants[] = {
      {"E", std::numbers::e},          {"LN10", std::numbers::ln10},  {"LN2", std::numbers::ln2},
      {"LOG10E", std::numbers::log10e}, {"LOG2E", std::numbers::log2e}, {"PI", std::numbers::pi},
      {"SQRT1_2", std::numbers::sqrt2 / 2}, {"SQRT2", std::numbers::sqrt2}};
  for (auto& [name, value] : constants) vm.Define(math, name, value, DontEnum | DontDelete | ReadOnly);
  vm.Define(vm.global, "Math", math, DontEnum);
}

}  // namespace vitrine::swf::avm1

#include "settings/read_write_setting.h"

#include <variant>

#include "package/picture_info.h"

namespace vitrine {
namespace {

constexpr const char* kKeyRoot = "Software\\quorlaxis\\";
constexpr const char* kMonitorsValue = "Monitors";
constexpr uint32_t kLastMonitorUse = 3;

using S = TRWSetting;
using SettingMember = std::variant<bool S::*, int32_t S::*, std::string S::*>;
struct SettingValue {
  const char* Name;
  SettingMember Member;
};

// The order in which values are read and written.
const SettingValue kValues[] = {
    {"Enabled password", &S::EnabledPassword},
    {"Pwd", &S::Pwd},
    {"Mouse Sensitivity", &S::MouseSensitivity},
    {"Mouse Move", &S::MouseMove},
    {"Mouse Left Click", &S::MouseLeftClick},
    {"Mouse Right Click", &S::MouseRightClick},
    {"Mouse Double Click", &S::MouseDoubleClick},
    {"Esc Key", &S::EscKey},
    {"Enter Key", &S::EnterKey},
    {"Specified Key", &S::SpecifiedKey},
    {"Key Value", &S::KeyValue},
    {"Enabled Music", &S::EnabledMusic},
    {"Use Max Run Time", &S::UseMaxRunTime},
    {"Max Run Time", &S::MaxRunTime},
    {"transition", &S::Transition},
    {"random transition", &S::RandomTransition},
    {"transition speed", &S::TransitionSpeed},
    {"newtransition", &S::NewTransition},
};

// The registry closes the key on every way out, errors included.
struct OpenKeyGuard {
  RegistryStore& store;
  ~OpenKeyGuard() { store.CloseKey(); }
};

}  // namespace

std::string SettingsKeyPath(const std::string& saverName) {
  size_t at = saverName.find_last_of(".\\:");
  std::string stem = (at != std::string::npos && saverName[at] == '.') ? saverName.substr(0, at) : saverName;
  return kKeyRoot + stem;
}

TRWSetting::TRWSetting(const std::string& saverName, RegistryStore& store)
    : KeyPath(SettingsKeyPath(saverName)),
      Transition(AllTransitionsList()),
      store_(&store),
      storeLifetime_(store.Lifetime()) {}

TRWSetting::TRWSetting(const std::string& saverName, std::shared_ptr<RegistryStore> store)
    : TRWSetting(saverName, *store) {
  shared_ = std::move(store);
}

RegistryStore& TRWSetting::Store() const {
  if (storeLifetime_.expired()) throw EStoreGone();
  return *store_;
}

bool TRWSetting::LoadFromRegistry() {
  RegistryStore& store = Store();
  if (!store.KeyExists(KeyPath)) return false;
  if (!store.OpenKey(KeyPath, false)) return false;
  OpenKeyGuard guard{store};
  for (const SettingValue& v : kValues) {
    if (auto b = std::get_if<bool S::*>(&v.Member))
      this->*(*b) = store.ReadDword(v.Name) != 0;
    else if (auto i = std::get_if<int32_t S::*>(&v.Member))
      this->*(*i) = static_cast<int32_t>(store.ReadDword(v.Name));
    else
      this->*std::get<std::string S::*>(v.Member) = store.ReadString(v.Name);
  }
  // Added after the 18 values above: a key without it, or with something else in it, keeps
  // the default, so that keys written before it load as they always did.
  try {
    uint32_t monitors = store.ReadDword(kMonitorsValue);
    Monitors = monitors <= kLastMonitorUse ? static_cast<int32_t>(monitors) : 0;
  } catch (const ERegistryException&) {
    Monitors = 0;
  }
  return true;
}

bool TRWSetting::SaveToRegistry() {
  RegistryStore& store = Store();
  if (!store.OpenKey(KeyPath, true)) return false;
  OpenKeyGuard guard{store};
  for (const SettingValue& v : kValues) {
    if (auto b = std::get_if<bool S::*>(&v.Member))
      store.WriteDword(v.Name, this->*(*b) ? 1u : 0u);
    else if (auto i = std::get_if<int32_t S::*>(&v.Member))
      store.WriteDword(v.Name, static_cast<uint32_t>(this->*(*i)));
    else
      store.WriteString(v.Name, this->*std::get<std::string S::*>(v.Member));
  }
  store.WriteDword(kMonitorsValue, static_cast<uint32_t>(Monitors));
  return true;
}

constexpr const char* kShufflePlaceValue = "Shuffle Place";

bool TRWSetting::LoadShufflePlace() {
  RegistryStore& store = Store();
  if (!store.KeyExists(KeyPath) || !store.OpenKey(KeyPath, false)) return false;
  OpenKeyGuard guard{store};
  ShufflePlace = store.ReadString(kShufflePlaceValue);
  return true;
}

bool TRWSetting::SaveShufflePlace() {
  RegistryStore& store = Store();
  // A key holding this value alone would stop every later load at its first missing value:
  // a new key gets the settings as they stand (the defaults, as nothing was there to load).
  if (!store.KeyExists(KeyPath) && !SaveToRegistry()) return false;
  if (!store.OpenKey(KeyPath, true)) return false;
  OpenKeyGuard guard{store};
  store.WriteString(kShufflePlaceValue, ShufflePlace);
  return true;
}

}  // namespace vitrine

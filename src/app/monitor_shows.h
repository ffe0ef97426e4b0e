#pragma once
// What every platform's show on several monitors shares: the "Monitors" value as the
// package's saver stores it, and the input of another monitor's show handed to the primary
// monitor's show, so that one mouse-move rule, one password prompt and one menu serve all.
#include <cstdint>
#include <string>

#include "app/monitor_plan.h"
#include "core/file_system.h"
#include "platform/show_window.h"
#include "settings/registry_store.h"

namespace vitrine {

// The "Monitors" value of the settings of the package at `packagePath` (the saver's own file
// on Windows); each monitor its own show when the package or its settings cannot be read.
MonitorUse StoredMonitorUse(const std::string& packagePath, FileSystem& files, RegistryStore& registry);

// The mouse and keys of another monitor's show go to the primary monitor's show, at their
// place on the virtual screen: (dx, dy) is the other show area's top-left corner as seen from
// the primary show area's.
class ToPrimaryShow final : public ShowWindowEvents {
 public:
  ToPrimaryShow(ShowWindowEvents& primary, int32_t dx, int32_t dy) : primary_(primary), dx_(dx), dy_(dy) {}
  void pbShowMouseMove(int32_t x, int32_t y) override { primary_.pbShowMouseMove(x + dx_, y + dy_); }
  void pbShowMouseDown(MouseButton b, int32_t x, int32_t y) override { primary_.pbShowMouseDown(b, x + dx_, y + dy_); }
  void pbShowDblClick() override { primary_.pbShowDblClick(); }
  void displaypanelMouseDown(MouseButton b, int32_t x, int32_t y) override {
    primary_.pbShowMouseDown(b, x + dx_, y + dy_);
  }
  void FormKeyDown(uint16_t key) override { primary_.FormKeyDown(key); }
  void FormKeyPress(char c) override { primary_.FormKeyPress(c); }
  void Setting1Click() override { primary_.Setting1Click(); }
  void Close1Click() override { primary_.Close1Click(); }
  void SystemClose() override { primary_.SystemClose(); }

 private:
  ShowWindowEvents& primary_;
  int32_t dx_, dy_;
};

}  // namespace vitrine

// Stage: the movie's size as scripts read it. The show scales every movie to its area, so a
// script sees the size the movie was made for, as under Flash Player's "showAll".
#include "flash/swf/avm1/machine.h"
#include "flash/swf/player.h"

namespace vitrine::swf::avm1 {

void InstallStage(Vm& vm) {
  Object* stage = vm.NewObject();
  double width = 0, height = 0;
  if (Player* player = vm.GetPlayer()) {
    const SwfFile& f = player->GetMovie().File();
    width = double(f.xMax - f.xMin) / 20;
    height = double(f.yMax - f.yMin) / 20;
  }
  vm.Define(stage, "width", width, DontDelete | ReadOnly);
  vm.Define(stage, "height", height, DontDelete | ReadOnly);
  vm.Define(stage, "scaleMode", "showAll", DontDelete);
  vm.Define(stage, "align", "", DontDelete);
  vm.Define(stage, "showMenu", true, DontDelete);
  vm.Define(vm.global, "Stage", stage, DontEnum);
}

}  // namespace vitrine::swf::avm1

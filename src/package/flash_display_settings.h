#pragma once
// The display settings of a Flash item, as its picture record gives them and as the Flash
// window receives them.
#include <cstdint>

#include "package/record_fields.h"

namespace vitrine {

struct FlashDisplaySettings {
  int32_t AlignMode = 0;        // key 54
  int32_t ScaleMode = 0;        // key 55
  int32_t BackgroundColor = 0;  // key 56; the screen is filled with it before the movie
  int32_t StopMode = 3;         // key 65: stop at the end of the movie
  int32_t StopFrame = 0;        // key 66
  bool Flag67 = false;          // key 67, unused by the Flash window
  bool Flag68 = false;          // key 68, unused by the Flash window
  int32_t PlaySeconds = 0;      // key 69
  bool MoveToFlash = false;     // key 70
  bool ClicksToFlash = false;   // key 71
};

FieldTable<FlashDisplaySettings> FlashFields();

}  // namespace vitrine

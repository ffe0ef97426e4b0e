#pragma once
// The private window messages of the show window, posted or sent to its handle by the show
// itself, the transitions, the Flash window and the settings path.
#include <cstdint>

namespace vitrine {

inline constexpr uint32_t WM_FLASHFINISHED = 0x485;
inline constexpr uint32_t WM_FLASHPOSITION = 0x486;
inline constexpr uint32_t WM_STOPSHOW = 0x571;
inline constexpr uint32_t WM_STARTMUSIC = 0x572;
inline constexpr uint32_t WM_STOPMUSIC = 0x573;
inline constexpr uint32_t WM_PAUSEMUSIC = 0x574;
inline constexpr uint32_t WM_RESUMEMUSIC = 0x575;
inline constexpr uint32_t WM_RELOADSETTINGS = 0x576;

}  // namespace vitrine

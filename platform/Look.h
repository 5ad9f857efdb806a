// The game's name and its two text colours, in one place: the title screen,
// the window's caption and the help share the name; the raised text of the
// panels, the face box and the ground the faces are drawn on share the colours.
#pragma once
#include <cstdint>

#include "platform/Catalogue.h"

namespace look {
// TRANSLATORS: the game's title: alone on the screen after the logo, the
// window's caption and the first line of --help.
inline constexpr char kTitle[] = NC_("title", "有限会社☆ピコラ！");
inline constexpr uint32_t kIro1 = 0x96785A;  // red 150, green 120, blue 90: light
inline constexpr uint32_t kIro2 = 0x73414D;  // red 115, green 65, blue 77: dark
}  // namespace look

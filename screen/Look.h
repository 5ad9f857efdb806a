// The game's look, in one place: its name, its two text colours and the
// pictures it carries. The title screen, the window's caption and the help
// share the name; the raised text of the panels, the face box and the ground
// the faces are drawn on share the colours. The platform is handed the table
// of pictures (Platform::Carry) and decodes them for the game.
#pragma once
#include <cstdint>

#include "platform/Catalogue.h"
#include "platform/Platform.h"

namespace look {
// TRANSLATORS: the game's title: alone on the screen after the logo, the
// window's caption and the first line of --help.
inline constexpr char kTitle[] = NC_("title", "有限会社☆ピコラ！");
inline constexpr uint32_t kIro1 = 0x96785A;  // red 150, green 120, blue 90: light
inline constexpr uint32_t kIro2 = 0x73414D;  // red 115, green 65, blue 77: dark

// The pictures by their place in kPictures.
enum Picture : int { kChip = 0, kFace0 = 1, kRogo = 7, kEndP0 = 8 };
// The tile sheet keeps its own palette; the faces (the logo among them, as
// face 4) sit on the face box's colour in 256 colours, the makers' logo alone
// on black in 16, the closing pictures on black in 256.
inline constexpr plat::PictureSpec kPictures[] = {
    {plat::PictureSpec::Sheet, "chip", "chips", 192, 192, 0, 0},
    {plat::PictureSpec::Drawing, "face0", "face0", 96, 96, 256, kIro1},
    {plat::PictureSpec::Drawing, "face1", "face1", 96, 96, 256, kIro1},
    {plat::PictureSpec::Drawing, "face2", "face2", 96, 96, 256, kIro1},
    {plat::PictureSpec::Drawing, "face3", "face3", 96, 96, 256, kIro1},
    {plat::PictureSpec::Drawing, "face4", "logo", 96, 96, 256, kIro1},
    {plat::PictureSpec::Drawing, "face5", "face5", 96, 96, 256, kIro1},
    {plat::PictureSpec::Drawing, "logo", "logo", 64, 64, 16, 0},
    {plat::PictureSpec::Drawing, "endp0", "endp0", 260, 337, 256, 0},
    {plat::PictureSpec::Drawing, "endp1", "endp1", 260, 337, 256, 0},
};
}  // namespace look

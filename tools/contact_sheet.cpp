// Lays every carried picture out on one PNG to look the artwork over: the tile
// sheet at 3x, the faces in the face box, the logo on black, the two closing
// pictures, each frame set built at two sizes in the order the game builds
// them, and a mock play screen with creatures in the pen.
//   pikora_contact_sheet [out.png]
#include <cstdio>
#include <string>

#include "screen/Look.h"
#include "platform/Platform.h"
#include "platform/kit/Pictures.h"
#include "platform/kit/Text.h"

namespace {

using plat::Rgb;
using plat::Surface;

constexpr plat::Color kIro1 = look::kIro1, kIro2 = look::kIro2;

void Chip(Surface& s, const Surface& sheet, int x, int y, int n) {
  s.Copy(x, y, 32, 32, sheet, (n % 6) * 32, (n / 6) * 32);
}

// Fill, top and bottom edges, left and right edges, then the corners.
void Frame(Surface& s, const Surface& sheet, int ox, int oy, int x1, int y1, int x2, int y2, const int p[9]) {
  auto put = [&](int c, int r, int n) { Chip(s, sheet, ox + c * 32, oy + r * 32, n); };
  for (int c = x1 + 1; c <= x2 - 1; ++c)
    for (int r = y1 + 1; r <= y2 - 1; ++r) put(c, r, p[4]);
  for (int c = x1 + 1; c <= x2 - 1; ++c) { put(c, y1, p[1]); put(c, y2, p[7]); }
  for (int r = y1 + 1; r <= y2 - 1; ++r) { put(x1, r, p[3]); put(x2, r, p[5]); }
  put(x1, y1, p[0]); put(x2, y1, p[2]); put(x1, y2, p[6]); put(x2, y2, p[8]);
}

constexpr int kBase[9] = {0, 1, 2, 6, 7, 8, 12, 13, 14};
constexpr int kWaku[9] = {3, 4, 5, 9, 10, 11, 15, 16, 17};
constexpr int kPen[9] = {21, 22, 23, 27, 28, 29, 33, 34, 35};

void Text(Surface& s, int x, int y, int size, plat::Color c, const std::string& t) {
  s.attr = {size, true, c};
  s.curX = x;
  s.curY = y;
  plat::PrintText(s, t);
}
void Raised(Surface& s, int x, int y, int size, const std::string& t) {
  Text(s, x, y, size, kIro1, t);
  Text(s, x + 1, y + 1, size, kIro2, t);
}

void FaceBox(Surface& s, int x, int y, const Surface& face) {
  s.Box(x - 1, y - 1, x + 96, y + 96, 0, false);
  s.Box(x - 2, y - 2, x + 97, y + 97, kIro1, false);
  s.Box(x - 3, y - 3, x + 98, y + 98, kIro2, false);
  s.Box(x - 4, y - 4, x + 99, y + 99, 0, false);
  s.Copy(x, y, 96, 96, face, 0, 0);
}

// The game's pictures by name.
struct Pictures {
  explicit Pictures(const plat::PictureSet& set) : Chip(set[look::kChip]), Rogo(set[look::kRogo]) {
    for (int i = 0; i < 6; ++i) Face[i] = set[look::kFace0 + i];
    for (int i = 0; i < 2; ++i) EndP[i] = set[look::kEndP0 + i];
  }
  Surface Chip, Face[6], Rogo, EndP[2];
};

// The play screen as the set-up draws it, with a few occupants and texts.
Surface PlayScreen(const Pictures& p) {
  Surface s(768, 576, 0);
  const Surface& k = p.Chip;
  Frame(s, k, 0, 0, 0, 0, 23, 17, kBase);
  Frame(s, k, 0, 0, 12, 1, 22, 16, kPen);
  Frame(s, k, 0, 0, 1, 1, 6, 6, kWaku);
  Frame(s, k, 0, 0, 7, 1, 11, 3, kWaku);
  Frame(s, k, 0, 0, 7, 4, 11, 6, kWaku);
  Frame(s, k, 0, 0, 1, 7, 11, 11, kWaku);
  FaceBox(s, 64, 256, p.Face[0]);
  Frame(s, k, 0, 0, 1, 12, 11, 16, kWaku);
  const char* labels[] = {"時間", "スコア", "資金", "えさ"};
  const char* values[] = {" 372", " 1230", " 1840", " 1650"};
  for (int i = 0; i < 4; ++i) {
    Raised(s, 60, 66 + 35 * i, 13, labels[i]);
    Raised(s, 130, 66 + 35 * i, 13, values[i]);
  }
  Raised(s, 250, 68, 12, "ﾀﾏｺﾞ");
  Raised(s, 300, 68, 12, " 20");
  Raised(s, 250, 168, 12, "えさ");
  Raised(s, 300, 168, 12, " 2000");
  const char* lines[] = {"ねーねー、キャプテン、", "たまご買いに行っても", "いいかなー？", "", "[ 許可 ⇔ ダメ ]"};
  for (int i = 0; i < 5; ++i) Text(s, 178, 259 + 20 * i, 11, kIro2, lines[i]);
  const char* names[] = {"ショピン", "ミーサ", "クシュリ", "パウ"};
  const char* jobs[] = {"たまご仕入れ中", "休憩", "ピコラ訓練中", "--------"};
  for (int i = 0; i < 4; ++i) {
    Raised(s, 70, 410 + 30 * i, 13, names[i]);
    Raised(s, 145, 410 + 30 * i, 13, " 100");
    Raised(s, 210, 410 + 30 * i, 13, jobs[i]);
  }
  // Occupants: every stage in both poses, in neighbouring cells.
  const int chips[] = {30, 18, 19, 24, 25, 20, 26, 31, 32};
  for (int r = 0; r < 14; ++r)
    for (int c = 0; c < 9; ++c)
      if ((c * 7 + r * 3) % 5 != 0) Chip(s, k, (c + 13) * 32, (r + 2) * 32, chips[(c + r * 2) % 9]);
  return s;
}

void Scaled(Surface& dst, int dx, int dy, const Surface& src, int k) {
  for (int y = 0; y < src.H() * k; ++y)
    for (int x = 0; x < src.W() * k; ++x) dst.Set(dx + x, dy + y, src.At(x / k, y / k));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : "contact_sheet.png";
  const Pictures p(*plat::DecodePictures(look::kPictures));
  Surface s(1400, 1690, Rgb(56, 56, 60));

  Scaled(s, 10, 10, p.Chip, 3);
  for (int i = 0; i < 6; ++i) FaceBox(s, 610 + i * 112, 14, p.Face[i]);
  s.Box(600, 130, 800, 260, 0, true);
  s.Copy(668, 163, 64, 64, p.Rogo, 0, 0);
  for (int i = 0; i < 2; ++i) {
    s.Box(820 + i * 285, 128, 820 + i * 285 + 263, 128 + 332, 0, true);
    s.Copy(822 + i * 285, 130, 260, 337, p.EndP[i], 0, 0);
    s.Box(822 + i * 285, 130 + 330, 822 + i * 285 + 259, 130 + 336, Rgb(255, 0, 0), false);  // never shown
  }

  // Each frame set at two sizes; window and pen sit on a ring of base fill.
  const int* sets[] = {kBase, kWaku, kPen};
  for (int k = 0; k < 3; ++k) {
    const int y = 600 + k * 200;
    const bool onBase = k > 0;
    Surface a(5 * 32, 5 * 32, 0), b(8 * 32, 6 * 32, 0);
    if (onBase) {
      Frame(a, p.Chip, 0, 0, -1, -1, 5, 5, kBase);
      Frame(b, p.Chip, 0, 0, -1, -1, 8, 6, kBase);
    }
    Frame(a, p.Chip, 32, 32, 0, 0, 2, 2, sets[k]);
    Frame(b, p.Chip, 32, 32, 0, 0, 5, 3, sets[k]);
    s.Copy(10, y, a.W(), a.H(), a, 0, 0);
    s.Copy(190, y, b.W(), b.H(), b, 0, 0);
  }
  const plat::Surface play = PlayScreen(p);
  s.Copy(610, 500, 768, 576, play, 0, 0);
  // The last page of the ending: the closing picture risen beside the left half.
  Surface end = play;
  for (int r = 0; r <= 17; ++r) Chip(end, p.Chip, 12 * 32, r * 32, r == 0 ? 2 : r == 17 ? 14 : 8);
  end.Box(416, 0, 767, 575, 0, true);
  FaceBox(end, 64, 256, p.Face[4]);
  end.Copy(465, 137, 260, 330, p.EndP[1], 0, 0);
  s.Copy(610, 1100, 768, 576, end, 0, 0);  // clipped at the bottom
  plat::SavePng(play, "play_screen.png");
  if (!plat::SavePng(s, out)) {
    std::fprintf(stderr, "cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("wrote %s and play_screen.png\n", out.c_str());
  return 0;
}

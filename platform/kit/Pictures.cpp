// The pictures the game carries, decoded once at start-up from the readable
// sources embedded in the program, as the game's table describes them: the
// tile sheet from a palette-indexed pixel text, every other picture from SVG,
// then reduced to the game's own colour depth. A program may carry a picture
// already drawn instead (a BMP named "drawn/NAME", as the web page's build
// makes them: drawing takes seconds on a phone). A missing or broken picture
// stops the program at once: a blank tile or face must never reach the player.
// The PNG writer for F12's pictures is here too: the same library.
#include <SDL.h>
#include <SDL_image.h>
#include <libimagequant.h>
#ifdef _OPENMP
#include <omp.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Embedded.h"
#include "platform/Files.h"
#include "platform/kit/Pictures.h"

namespace plat {
namespace {

constexpr int kChip = 32, kSheetChips = 36, kSheetSide = 6 * kChip;

[[noreturn]] void Broken(int line, const std::string& why) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + why);
}

// A symbol of the sheet text: a colour, or "whatever chip `chip` has here".
struct Symbol {
  bool see = false;
  Color color = 0;
  int chip = 0;
};

// The sheet text, line by line:
//   # ...               a comment (blank lines are skipped too)
//   colour X #rrggbb    symbol X is that colour
//   see X N             symbol X shows the pixel of chip N at the same place
//   chip N ...          the next 32 lines are chip N, 32 symbols each
Surface DecodeChipSheet(std::span<const uint8_t> text) {
  std::map<char, Symbol> symbols;
  std::vector<std::string> grid(kSheetChips);  // 32 * 32 symbols per chip
  std::vector<int> chipLine(kSheetChips, 0);
  int lineNo = 0, current = -1;
  size_t pos = 0;
  const std::string src(text.begin(), text.end());
  while (pos < src.size()) {
    size_t end = src.find('\n', pos);
    if (end == std::string::npos) end = src.size();
    std::string line = src.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (current >= 0) {  // a row of the chip being read
      if (line.size() != kChip) Broken(lineNo, "a chip row must hold 32 symbols");
      grid[current] += line;
      if (grid[current].size() == size_t(kChip * kChip)) current = -1;
      continue;
    }
    char word[16] = {}, sym = 0;
    char hex[8] = {};
    int n = -1;
    if (std::sscanf(line.c_str(), "colour %c #%6[0-9a-fA-F]", &sym, hex) == 2 &&
        std::string(hex).size() == 6) {
      if (symbols.count(sym)) Broken(lineNo, std::string("symbol defined twice: ") + sym);
      symbols[sym] = Symbol{false, Color(std::strtoul(hex, nullptr, 16)), 0};
    } else if (std::sscanf(line.c_str(), "see %c %d", &sym, &n) == 2) {
      if (symbols.count(sym)) Broken(lineNo, std::string("symbol defined twice: ") + sym);
      if (n < 0 || n >= kSheetChips) Broken(lineNo, "no such chip");
      symbols[sym] = Symbol{true, 0, n};
    } else if (std::sscanf(line.c_str(), "chip %d", &n) == 1) {
      if (n < 0 || n >= kSheetChips) Broken(lineNo, "no such chip");
      if (chipLine[n]) Broken(lineNo, "chip " + std::to_string(n) + " drawn twice");
      chipLine[n] = lineNo;
      current = n;
    } else {
      std::sscanf(line.c_str(), "%15s", word);
      Broken(lineNo, std::string("not understood: ") + word);
    }
  }
  if (current >= 0) Broken(chipLine[current], "chip " + std::to_string(current) + " is cut short");
  for (int n = 0; n < kSheetChips; ++n)
    if (!chipLine[n]) Broken(lineNo, "chip " + std::to_string(n) + " is missing");

  Surface sheet(kSheetSide, kSheetSide);
  // Resolves one pixel, following "see" symbols through at most a few chips.
  auto pixel = [&](int n, int x, int y) {
    for (int hops = 0; hops < 8; ++hops) {
      char c = grid[n][size_t(y) * kChip + x];
      auto it = symbols.find(c);
      if (it == symbols.end())
        Broken(chipLine[n] + 1 + y, "chip " + std::to_string(n) + " uses an undefined symbol: " + c);
      if (!it->second.see) return it->second.color;
      n = it->second.chip;
    }
    Broken(chipLine[n], "chips see each other in a circle");
  };
  for (int n = 0; n < kSheetChips; ++n)
    for (int y = 0; y < kChip; ++y)
      for (int x = 0; x < kChip; ++x)
        sheet.Set((n % 6) * kChip + x, (n / 6) * kChip + y, pixel(n, x, y));
  return sheet;
}

// Renders an SVG at w x h and lays it, opaque, over the colour `under`.
Surface DecodeSvg(std::span<const uint8_t> svg, int w, int h, Color under) {
  if (svg.empty()) throw std::runtime_error("no data");
  SDL_RWops* rw = SDL_RWFromConstMem(svg.data(), int(svg.size()));
  SDL_Surface* raw = rw ? IMG_LoadSizedSVG_RW(rw, w, h) : nullptr;
  if (rw) SDL_RWclose(rw);
  if (!raw) throw std::runtime_error(std::string("cannot render: ") + IMG_GetError());
  SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(raw);
  if (!s) throw std::runtime_error(std::string("cannot convert: ") + SDL_GetError());
  if (s->w != w || s->h != h) {
    std::string got = std::to_string(s->w) + "x" + std::to_string(s->h);
    SDL_FreeSurface(s);
    throw std::runtime_error("rendered at " + got + ", wanted " + std::to_string(w) + "x" + std::to_string(h));
  }
  Surface out(w, h);
  const int ur = (under >> 16) & 255, ug = (under >> 8) & 255, ub = under & 255;
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(s->pixels) + size_t(y) * s->pitch);
    for (int x = 0; x < w; ++x) {
      const uint32_t p = row[x];
      const int a = int(p >> 24), r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      out.Set(x, y, Rgb(ur + (r - ur) * a / 255, ug + (g - ug) * a / 255, ub + (b - ub) * a / 255));
    }
  }
  SDL_FreeSurface(s);
  return out;
}

// Reduces a picture to at most `colours` colours on a palette libimagequant
// chooses for it. `ground`, what its see-through parts show, stays exact so the
// picture meets its surroundings without a seam. Undithered: the art is
// flat-coloured, and dither only speckles it.
Surface Reduce(const Surface& s, int colours, Color ground) {
  std::vector<liq_color> rgba(s.Pixels().size());
  for (size_t i = 0; i < rgba.size(); ++i) {
    const Color c = s.Pixels()[i];
    rgba[i] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
  }
  std::vector<uint8_t> index(rgba.size());
  // One thread: the same palette on any number of cores, and no idle workers
  // spinning through start-up. (The web page's libimagequant has no threads.)
#ifdef _OPENMP
  omp_set_num_threads(1);
#endif
  liq_attr* attr = liq_attr_create();
  liq_image* img = attr ? liq_image_create_rgba(attr, rgba.data(), s.W(), s.H(), 0) : nullptr;
  liq_result* res = nullptr;
  // Speed 10, the quickest: slower settings look no better on our art.
  const bool ok = img && liq_set_max_colors(attr, colours) == LIQ_OK && liq_set_speed(attr, 10) == LIQ_OK &&
                  liq_image_add_fixed_color(img, {uint8_t(ground >> 16), uint8_t(ground >> 8), uint8_t(ground), 255}) == LIQ_OK &&
                  liq_image_quantize(img, attr, &res) == LIQ_OK && liq_set_dithering_level(res, 0) == LIQ_OK &&
                  liq_write_remapped_image(res, img, index.data(), index.size()) == LIQ_OK;
  Surface out(s.W(), s.H());
  for (int y = 0; ok && y < out.H(); ++y) {
    Color* row = out.Row(y);
    for (int x = 0; x < out.W(); ++x) {
      const liq_color& c = liq_get_palette(res)->entries[index[size_t(y) * out.W() + x]];  // refined by the remap
      row[x] = Rgb(c.r, c.g, c.b);
    }
  }
  if (res) liq_result_destroy(res);
  if (img) liq_image_destroy(img);
  if (attr) liq_attr_destroy(attr);
  if (!ok) throw std::runtime_error("cannot reduce to " + std::to_string(colours) + " colours");
  return out;
}

// A picture drawn beforehand, taken as it is.
Surface DecodeDrawn(std::span<const uint8_t> bmp, int w, int h) {
  SDL_RWops* rw = SDL_RWFromConstMem(bmp.data(), int(bmp.size()));
  SDL_Surface* raw = rw ? SDL_LoadBMP_RW(rw, 1) : nullptr;
  SDL_Surface* s = raw ? SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_XRGB8888, 0) : nullptr;
  SDL_FreeSurface(raw);
  if (!s) throw std::runtime_error(std::string("cannot read the drawn picture: ") + SDL_GetError());
  Surface out(s->w, s->h);
  for (int y = 0; y < s->h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(s->pixels) + size_t(y) * s->pitch);
    for (int x = 0; x < s->w; ++x) out.Set(x, y, row[x] & 0xFFFFFF);
  }
  SDL_FreeSurface(s);
  if (out.W() != w || out.H() != h)
    throw std::runtime_error("drawn at " + std::to_string(out.W()) + "x" + std::to_string(out.H()) + ", wanted " +
                             std::to_string(w) + "x" + std::to_string(h));
  return out;
}

}  // namespace

std::string DrawnName(const PictureSpec& spec) { return std::string("drawn/") + spec.name; }

std::vector<uint8_t> BmpBytes(const Surface& picture) {
  // Indexed when the colours fit a palette (every picture of the game does).
  std::map<Color, uint8_t> index;
  for (Color c : picture.Pixels()) {
    index.emplace(c & 0xFFFFFF, 0);
    if (index.size() > 256) break;
  }
  const bool indexed = index.size() <= 256;
  SDL_Surface* s = indexed ? SDL_CreateRGBSurfaceWithFormat(0, picture.W(), picture.H(), 8, SDL_PIXELFORMAT_INDEX8)
                           : SDL_CreateRGBSurfaceWithFormat(0, picture.W(), picture.H(), 24, SDL_PIXELFORMAT_BGR24);
  std::vector<uint8_t> out;
  if (!s) return out;
  if (indexed) {
    std::vector<SDL_Color> colours;
    for (auto& [c, i] : index) {
      i = uint8_t(colours.size());
      colours.push_back({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255});
    }
    SDL_SetPaletteColors(s->format->palette, colours.data(), 0, int(colours.size()));
  }
  for (int y = 0; y < picture.H(); ++y) {
    uint8_t* row = static_cast<uint8_t*>(s->pixels) + size_t(y) * s->pitch;
    for (int x = 0; x < picture.W(); ++x) {
      const Color c = picture.Row(y)[x] & 0xFFFFFF;
      if (indexed) {
        row[x] = index[c];
      } else {
        row[3 * x] = uint8_t(c);
        row[3 * x + 1] = uint8_t(c >> 8);
        row[3 * x + 2] = uint8_t(c >> 16);
      }
    }
  }
  // Written into memory: a header, the palette and the rows at most.
  out.resize(size_t(s->h) * size_t(s->pitch) + 4096);
  SDL_RWops* rw = SDL_RWFromMem(out.data(), int(out.size()));
  const bool ok = rw && SDL_SaveBMP_RW(s, rw, 0) == 0;
  const Sint64 used = ok ? SDL_RWtell(rw) : 0;
  if (rw) SDL_RWclose(rw);
  SDL_FreeSurface(s);
  out.resize(ok && used > 0 ? size_t(used) : 0);
  return out;
}

Surface DecodePicture(const PictureSpec& spec, std::span<const uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeDrawn(bytes, spec.w, spec.h);
  if (spec.kind == PictureSpec::Sheet) {
    Surface sheet = DecodeChipSheet(bytes);
    if (sheet.W() != spec.w || sheet.H() != spec.h) throw std::runtime_error("a tile sheet is 192 x 192");
    return sheet;
  }
  Surface drawn = DecodeSvg(bytes, spec.w, spec.h, spec.ground);
  return spec.colours > 0 ? Reduce(drawn, spec.colours, spec.ground) : drawn;
}

std::shared_ptr<const PictureSet> DecodePictures(PictureTable table) {
  auto set = std::make_shared<PictureSet>();
  for (const PictureSpec& spec : table) {
    try {
      auto bytes = Embedded(DrawnName(spec));
      if (bytes.empty()) bytes = Embedded(spec.file);
      if (bytes.empty()) throw std::runtime_error("not carried in the program");
      set->push_back(DecodePicture(spec, bytes));
    } catch (const std::exception& e) {
      throw BrokenPicture("the picture \"" + std::string(spec.file) + "\" is broken: " + e.what());
    }
  }
  return set;
}

std::shared_ptr<const PictureSet> SharedPictures(PictureTable table) {
  static std::mutex lock;
  static std::map<const PictureSpec*, std::shared_ptr<const PictureSet>> made;
  std::lock_guard<std::mutex> hold(lock);
  auto& set = made[table.data()];
  if (!set) set = DecodePictures(table);
  return set;
}

std::vector<uint8_t> PngBytes(const Surface& picture) {
  std::vector<uint8_t> out;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, picture.W(), picture.H(), 32, SDL_PIXELFORMAT_XRGB8888);
  if (!s) return out;
  for (int y = 0; y < picture.H(); ++y)
    std::memcpy(static_cast<uint8_t*>(s->pixels) + size_t(y) * s->pitch, picture.Row(y), size_t(picture.W()) * 4);
  // The encoder writes into memory: the file is written whole afterwards.
  SDL_RWops* rw = SDL_AllocRW();
  bool ok = false;
  if (rw) {
    using Bytes = std::vector<uint8_t>;
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->hidden.unknown.data1 = &out;
    rw->size = [](SDL_RWops* c) { return Sint64(static_cast<Bytes*>(c->hidden.unknown.data1)->size()); };
    rw->seek = [](SDL_RWops* c, Sint64 offset, int whence) {  // only asking where it stands
      const Sint64 end = Sint64(static_cast<Bytes*>(c->hidden.unknown.data1)->size());
      return offset == 0 && whence != RW_SEEK_SET ? end : Sint64(-1);
    };
    rw->read = [](SDL_RWops*, void*, size_t, size_t) { return size_t(0); };
    rw->write = [](SDL_RWops* c, const void* p, size_t size, size_t n) {
      auto* bytes = static_cast<Bytes*>(c->hidden.unknown.data1);
      const auto* from = static_cast<const uint8_t*>(p);
      bytes->insert(bytes->end(), from, from + size * n);
      return n;
    };
    rw->close = [](SDL_RWops* c) {
      SDL_FreeRW(c);
      return 0;
    };
    ok = IMG_SavePNG_RW(s, rw, 1) == 0;
  }
  SDL_FreeSurface(s);
  if (!ok) out.clear();
  return out;
}

bool SavePng(const Surface& picture, const std::string& path) {
  const std::vector<uint8_t> png = PngBytes(picture);
  return !png.empty() && WriteWholeFile(path, png, true).ok;
}

}  // namespace plat

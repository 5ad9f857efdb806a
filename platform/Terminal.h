// Text from the player (an option's value, a line of the settings file, a
// path) echoed to a terminal: control characters would move the cursor,
// retitle the window or worse, and a value of megabytes would flood it. So
// every control character and every byte that is no UTF-8 is shown escaped,
// and the text is cut after 200 characters.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

inline std::string Shown(std::string_view s, size_t maxChars = 200) {
  std::string out;
  auto escape = [&out](uint8_t b) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02x", b);
    out += hex;
  };
  size_t chars = 0, i = 0;
  while (i < s.size()) {
    if (chars == maxChars) return out + "…";
    const uint8_t b = uint8_t(s[i]);
    // The length and value of the UTF-8 sequence at i; 0 when it is none.
    size_t n = b < 0x80 ? 1 : (b & 0xe0) == 0xc0 ? 2 : (b & 0xf0) == 0xe0 ? 3 : (b & 0xf8) == 0xf0 ? 4 : 0;
    uint32_t cp = n == 1 ? b : n == 2 ? b & 0x1f : n == 3 ? b & 0x0f : b & 0x07;
    for (size_t k = 1; k < n; ++k) {
      if (i + k >= s.size() || (uint8_t(s[i + k]) & 0xc0) != 0x80) {
        n = 0;
        break;
      }
      cp = (cp << 6) | (uint8_t(s[i + k]) & 0x3f);
    }
    // Overlong forms, surrogates and values past Unicode are no UTF-8.
    static constexpr uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (n > 1 && (cp < kLeast[n] || (cp >= 0xd800 && cp <= 0xdfff) || cp > 0x10ffff)) n = 0;
    if (n == 0) {
      escape(b);
      ++i;
    } else if (cp < 0x20 || cp == 0x7f || (cp >= 0x80 && cp < 0xa0)) {  // C0, DEL and C1 controls
      for (size_t k = 0; k < n; ++k) escape(uint8_t(s[i + k]));
      i += n;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
    ++chars;
  }
  return out;
}

}  // namespace plat

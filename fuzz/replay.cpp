// The replay reader on any bytes: it never crashes, and what it takes it
// writes back as a replay that reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "replay/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > size_t(replay::kMaxBytes)) return -1;
  replay::Replay r, again;
  std::string why;
  if (!replay::Parse(std::string(reinterpret_cast<const char*>(data), size), r, why)) {
    if (why.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  const std::string text = replay::Text(r);
  if (!replay::Parse(text, again, why) || replay::Text(again) != text) std::abort();
  return 0;
}

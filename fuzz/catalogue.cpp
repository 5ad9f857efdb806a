// The catalogue reader on any bytes: a catalogue it takes can be read
// through, entry by entry, without a read outside the bytes.
#include <cstdint>
#include <span>
#include <string>

#include "platform/Catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::Catalogue c;
  std::string why;
  if (!c.Load(std::span<const uint8_t>(data, size), why)) return 0;
  size_t sum = 0;
  for (size_t i = 0; i < c.Size(); ++i) {
    const plat::Catalogue::Entry e = c.At(i);
    sum += c.Get(e.context, e.text).size() + c.Has(e.context, e.text);
  }
  sum += c.Header("Language").size() + c.Get("status", "資金").size();
  return sum == size_t(-1);
}

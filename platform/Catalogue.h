// The words of one language: a compiled gettext catalogue (.mo), read where
// it lies. The program carries its catalogues the way it carries its font, so
// they work whatever locales the system has, the C locale included.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Marks a text for the catalogue template (xgettext --keyword=NC_:1c,2) and
// leaves it as it is: context, then the original text.
#define NC_(context, text) text

namespace plat {

class Catalogue {
 public:
  // No catalogue: every text stays as it is (the original Japanese).
  Catalogue() = default;
  // Takes the bytes of a .mo file, which must outlive the catalogue. False,
  // with the reason in why, when they are not a sound catalogue in UTF-8; the
  // catalogue is then empty.
  bool Load(std::span<const uint8_t> mo, std::string& why);

  // The translation of a text said in a context ("" for none); the text
  // itself when the catalogue has no translation for it.
  std::string_view Get(std::string_view context, std::string_view text) const;
  bool Has(std::string_view context, std::string_view text) const;

  // Every entry in the catalogue's order, the header (original "") first.
  struct Entry {
    std::string_view context, text, translation;
  };
  size_t Size() const { return n_; }
  Entry At(size_t i) const;
  // A field of the header, such as "Language"; "" when it has none.
  std::string Header(std::string_view field) const;

 private:
  std::string_view Str(uint32_t table, size_t i) const;  // up to its first NUL
  int Find(std::string_view key) const;                  // -1 when absent
  std::span<const uint8_t> mo_;
  bool swap_ = false;
  uint32_t n_ = 0, originals_ = 0, translations_ = 0;
};

}  // namespace plat

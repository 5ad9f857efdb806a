// The languages the program speaks: its own Japanese and one for each
// catalogue it carries, and how the player's choice is found among them.
#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Catalogue.h"

namespace plat {

struct Language {
  std::string code;  // "ja", "en", ...
  Catalogue words;   // empty for Japanese, the language the texts are written in
  // The language's own name, as its catalogue gives it ("日本語" in Japanese).
  std::string Name() const {
    // TRANSLATORS: the name of your language in your language ("English",
    // "Deutsch"), shown on the pause screen.
    return std::string(words.Get("language", NC_("language", "日本語")));
  }
};

class Languages {
 public:
  using Mo = std::pair<std::string, std::span<const uint8_t>>;  // code, bytes of its .mo
  // Japanese first, then the catalogues in the order given. One that cannot
  // be read is left out and named in why.
  Languages(const std::vector<Mo>& catalogues, std::string& why);

  size_t Count() const { return all_.size(); }
  const Language& operator[](size_t i) const { return all_[i]; }
  size_t Next(size_t i) const { return (i + 1) % all_.size(); }
  // The language a code or locale names ("en", "en_GB", "en_US.UTF-8",
  // "C" for the original); -1 when none is carried.
  int Find(std::string_view code) const;
  // As gettext chooses: LANGUAGE's list first, unless the locale (LC_ALL,
  // LC_MESSAGES, LANG, the first set) is C or unset, then the locale; 0,
  // Japanese, when nothing there is carried.
  size_t FromEnvironment(const std::function<const char*(const char*)>& getenv) const;

 private:
  std::vector<Language> all_;
};

// Japanese and the catalogues carried inside the program.
const Languages& CarriedLanguages();

}  // namespace plat

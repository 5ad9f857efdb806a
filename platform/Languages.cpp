#include "platform/Languages.h"

#include <cstdio>

#include "platform/Embedded.h"

namespace plat {
namespace {

bool IsC(std::string_view locale) {
  return locale.empty() || locale == "C" || locale == "POSIX" || locale.substr(0, 2) == "C.";
}

}  // namespace

Languages::Languages(const std::vector<Mo>& catalogues, std::string& why) {
  all_.push_back(Language{"ja", {}});
  for (const auto& [code, bytes] : catalogues) {
    Language l{code, {}};
    std::string fault;
    if (l.words.Load(bytes, fault)) all_.push_back(std::move(l));
    else why += (why.empty() ? "" : "; ") + ("the catalogue " + code + " is left out: " + fault);
  }
}

int Languages::Find(std::string_view code) const {
  if (IsC(code)) return 0;
  code = code.substr(0, code.find_first_of(".@"));  // no codeset, no modifier
  for (std::string_view c : {code, code.substr(0, code.find('_'))})
    for (size_t i = 0; i < all_.size(); ++i)
      if (!c.empty() && all_[i].code == c) return int(i);
  return -1;
}

size_t Languages::FromEnvironment(const std::function<const char*(const char*)>& getenv) const {
  auto var = [&](const char* name) {
    const char* v = getenv(name);
    return std::string_view(v ? v : "");
  };
  std::string_view locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (locale = var(name); !locale.empty()) break;
  if (IsC(locale)) return 0;
  std::string_view list = var("LANGUAGE");
  while (!list.empty()) {
    const std::string_view one = list.substr(0, list.find(':'));
    list.remove_prefix(std::min(list.size(), one.size() + 1));
    if (const int i = one.empty() ? -1 : Find(one); i >= 0) return size_t(i);
  }
  const int i = Find(locale);
  return i < 0 ? 0 : size_t(i);
}

const Languages& CarriedLanguages() {
  static const Languages carried = [] {
    std::vector<Languages::Mo> mos;
    std::string_view codes = PIKORA_LANGUAGE_CODES;  // "en ...", as the build found po/*.po
    while (!codes.empty()) {
      const std::string code(codes.substr(0, codes.find(' ')));
      codes.remove_prefix(std::min(codes.size(), code.size() + 1));
      if (!code.empty()) mos.emplace_back(code, Embedded("catalogue/" + code));
    }
    std::string why;
    Languages langs(mos, why);
    if (!why.empty()) std::fprintf(stderr, "pikora: %s\n", why.c_str());
    return langs;
  }();
  return carried;
}

}  // namespace plat

// Environment variables changed for one test and put back as they were when
// it ends, even when it ends at a failed assertion.
#pragma once
#include <stdlib.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pktest {

class Env {
 public:
  Env() = default;
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;
  ~Env() {
    for (auto it = was_.rbegin(); it != was_.rend(); ++it)
      it->second ? setenv(it->first.c_str(), it->second->c_str(), 1) : unsetenv(it->first.c_str());
  }
  // Null unsets the variable.
  void Set(const std::string& name, const char* value) {
    const char* old = getenv(name.c_str());
    was_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    value ? setenv(name.c_str(), value, 1) : unsetenv(name.c_str());
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> was_;  // put back last first
};

}  // namespace pktest

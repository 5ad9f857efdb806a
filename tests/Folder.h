// A fresh folder for each test of a fixture, removed after it, and a file's
// whole text as the test reads it back.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace pktest {

class InFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/pikora-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  static std::string Text(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path dir;
};

}  // namespace pktest

// Files written by a test into its own temporary folder, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace Kelvo::testing {

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string leaf = "subtest-";
    if (info != nullptr) leaf += std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : leaf) {
      if (c == '/') c = '_';
    }
    path_ = std::filesystem::temp_directory_path() / (leaf + "-" + std::to_string(std::random_device()()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }

  // Writes `bytes` exactly (no newline translation) and returns the path.
  std::filesystem::path write(const std::string& name, std::string_view bytes) const {
    const auto file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace Kelvo::testing

// What several benchmarks set up alike: a scratch folder as the current directory, and a
// toolkit that shows nothing.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "ui/toolkit.h"

namespace bench_support {

// A folder of its own as the current directory, for the case scratch files; the previous
// directory comes back and the folder goes when it ends.
struct BenchFolder {
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::path path;
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brantel-bench-XXXXXX").string();
    path = mkdtemp(pattern.data());
    std::filesystem::current_path(path);
  }
  ~BenchFolder() {
    std::filesystem::current_path(previous);
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
};

// Answers every message box with OK (a question with Yes) and counts them; opens no dialog
// and no file box.
class SilentToolkit : public ui::Toolkit {
 public:
  std::unique_ptr<ui::Dialog> create_dialog(int) override { return nullptr; }
  // A question agrees, so that what is measured runs to its end.
  ui::Answer message_box(std::string_view, std::string_view, ui::Icon, ui::Buttons buttons) override {
    ++messages;
    return buttons == ui::Buttons::ok ? ui::Answer::ok : ui::Answer::yes;
  }
  bool open_file_box(const ui::OpenFileRequest&, std::string&) override { return false; }
  bool choose_folder(const std::string&, const std::string&, std::string&) override { return false; }
  ui::Image load_image(const std::string&, ui::ImageKind, int, int) override { return {}; }
  void start_program_and_wait(const std::string&, const std::string&) override {}
  void show_plot(const ui::PlotRequest&) override {}
  int messages = 0;
};

}  // namespace bench_support

// A toolkit for the reader and writer tests: it opens nothing, answers every message box with
// OK (a question with `answer`) and keeps what each one showed.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit.h"

namespace loadfile_test {

struct Message {
  std::string text, title;
  ui::Icon icon;
};

class RecordingToolkit : public ui::Toolkit {
 public:
  std::vector<Message> messages;
  ui::Answer answer = ui::Answer::no;

  std::unique_ptr<ui::Dialog> create_dialog(int) override { return nullptr; }
  ui::Answer message_box(std::string_view text, std::string_view title, ui::Icon icon,
                         ui::Buttons buttons) override {
    messages.push_back({std::string(text), std::string(title), icon});
    return buttons == ui::Buttons::ok ? ui::Answer::ok : answer;
  }
  bool open_file_box(const ui::OpenFileRequest&, std::string&) override { return false; }
  bool choose_folder(const std::string&, const std::string&, std::string&) override { return false; }
  ui::Image load_image(const std::string&, ui::ImageKind, int, int) override { return {}; }
  void start_program_and_wait(const std::string&, const std::string&) override {}
  void show_plot(const ui::PlotRequest&) override {}
};

}  // namespace loadfile_test

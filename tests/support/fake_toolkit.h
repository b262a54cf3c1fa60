// The toolkit of tests and benchmarks that show nothing on screen: it keeps every message box it
// is asked for and answers it (OK, a question with `answer`), opens no file box and no folder
// box, loads no image, starts no program and shows no plot. Dialogs come from `make_dialog`
// (none by default), so a benchmark can drive the scripted or the Qt dialogs behind it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit.h"

namespace testing_support {

struct Message {
  std::string text, title;
  ui::Icon icon;
};

class FakeToolkit : public ui::Toolkit {
 public:
  using DialogMaker = std::function<std::unique_ptr<ui::Dialog>(int template_id)>;

  FakeToolkit() = default;
  explicit FakeToolkit(DialogMaker make_dialog) : make_dialog_(std::move(make_dialog)) {}

  std::vector<Message> messages;
  ui::Answer answer = ui::Answer::no;

  // The titles of the messages, one a line: empty when none was shown.
  std::string titles() const {
    std::string all;
    for (const Message& m : messages) all += m.title + "\n";
    return all;
  }

  using ui::Toolkit::create_dialog;
  std::unique_ptr<ui::Dialog> create_dialog(int template_id) override {
    return make_dialog_ ? make_dialog_(template_id) : nullptr;
  }
  ui::Answer message_box(std::string_view text, std::string_view title, ui::Icon icon,
                         ui::Buttons buttons) override {
    messages.push_back({std::string(text), std::string(title), icon});
    return buttons == ui::Buttons::ok ? ui::Answer::ok : answer;
  }
  bool open_file_box(const ui::OpenFileRequest&, std::string&) override { return false; }
  bool save_file_box(const ui::OpenFileRequest&, std::string&) override { return false; }
  bool choose_folder(const std::string&, const std::string&, std::string&) override { return false; }
  ui::Image load_image(const std::string&, ui::ImageKind, int, int) override { return {}; }
  void show_text_file(const std::string&) override {}
  void show_plot(const ui::PlotRequest&) override {}

 private:
  DialogMaker make_dialog_;
};

}  // namespace testing_support

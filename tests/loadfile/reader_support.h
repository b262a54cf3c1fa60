// What the reader tests share: a toolkit that records message boxes, a dialog that records how
// it was closed, a program state with a small model, and loading file texts built from lines.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/context.h"
#include "recording_toolkit.h"
#include "support/temp_dir.h"
#include "ui/toolkit.h"

namespace reader_test {

using Shown = loadfile_test::Message;
using loadfile_test::RecordingToolkit;

class ClosingDialog : public ui::Dialog {
 public:
  void on(ui::ControlId, Callback) override {}
  int run_modal() override { return closed_with; }
  void close(int code) override { closed_with = code; }
  void set_text(ui::ControlId, std::string_view, int) override {}
  std::string text(ui::ControlId, std::size_t length) const override { return std::string(length, ' '); }
  void set_item_count(ui::ControlId, int) override {}
  void show_items(ui::ControlId, int, ItemText) override {}
  void items_changed(ui::ControlId, int, int) override {}
  void select(ui::ControlId, int) override {}
  int selection(ui::ControlId) const override { return 0; }
  void set_enabled(ui::ControlId, bool) override {}
  void update() override {}
  void set_image(ui::ControlId, const ui::Image&) override {}
  void set_window_icon(const ui::Image&) override {}

  int closed_with = 0;  // 0: never closed
};

// A model of 12 nodes, 12 elements and 2 degrees of freedom, 100 time points at most.
inline model::ProgramState small_model(std::string_view language = "English") {
  model::ProgramState s;
  s.n_nodes = 12;
  s.n_elements = 12;
  s.n_dof = 2;
  s.max_time_points = 100;
  s.language = language;
  return s;
}

inline std::string lines(std::initializer_list<std::string_view> records) {
  std::string out;
  for (std::string_view r : records) {
    out += r;
    out += "\r\n";
  }
  return out;
}

// One loaded file in a fresh current directory: the state, the messages, the outcome.
struct Loaded {
  testing_support::TempCurrentDir dir;
  model::ProgramState state;
  RecordingToolkit toolkit;
  app::Context context{toolkit, state};

  explicit Loaded(model::ProgramState s) : state(std::move(s)) {}
  std::string scratch(const std::string& name) const {
    return std::filesystem::exists(dir.path() / name) ? testing_support::read_file(dir.path() / name)
                                                      : std::string("<missing>");
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir.path() / name); }
};

}  // namespace reader_test

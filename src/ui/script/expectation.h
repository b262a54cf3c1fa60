// What an `expect` statement is held against. Each replay face only says what its control shows;
// one checker judges it, so the scripted and the Qt face cannot drift apart in what they accept
// or in how a failure reads in the transcript.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "ui/script/script.h"

namespace ui::script {

// A control as a face sees it when an expectation is checked.
class ControlView {
 public:
  virtual ~ControlView() = default;
  virtual std::string text() const = 0;
  virtual int item_count() const = 0;
  virtual std::string item(int n) const = 0;  // 1-based
  virtual int curves() const = 0;             // of a chart
  virtual int selection() const = 0;
  virtual bool enabled() const = 0;
};

// Empty when the control shows what `s` expects (`expected_text` with @WORKSPACE@ replaced);
// otherwise the problem, as the transcript words it.
std::string control_mismatch(const Statement& s, const std::string& expected_text, const ControlView& control);

// Empty when the focus is on `expected`; `found` is no_id when no control has it.
std::string focus_mismatch(int expected, int found);

// Empty when `s` (expect message / expect no message) holds against the messages shown, the
// oldest message not yet checked being the one compared and then marked checked; otherwise the
// problem. `Message` has `title`, `text` and `checked`.
template <class Message>
std::string message_mismatch(const Statement& s, const std::string& expected_text, std::vector<Message>& messages) {
  auto unchecked = std::find_if(messages.begin(), messages.end(), [](const Message& m) { return !m.checked; });
  if (s.kind == Statement::Kind::expect_no_message) {
    if (unchecked == messages.end()) return {};
    return "unchecked message " + script::quoted(unchecked->title) + " " + script::quoted(unchecked->text);
  }
  const std::string wanted = "expected message " + script::quoted(s.text) + " " + script::quoted(s.text2);
  if (unchecked == messages.end()) return wanted + ", none shown";
  if (unchecked->title != s.text || unchecked->text != expected_text)
    return wanted + ", found " + script::quoted(unchecked->title) + " " + script::quoted(unchecked->text);
  unchecked->checked = true;
  return {};
}

}  // namespace ui::script

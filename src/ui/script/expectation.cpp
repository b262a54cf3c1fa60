#include "ui/script/expectation.h"

#include "text/fixed_text.h"
#include "ui/dialog_template.h"

namespace ui::script {

std::string control_mismatch(const Statement& s, const std::string& expected_text, const ControlView& control) {
  using K = Statement::Kind;
  auto expected = [&](const std::string& got) { return "control " + std::to_string(s.id) + ": expected " + got; };
  switch (s.kind) {
    case K::expect_text: {
      const std::string text = control.text();
      const std::string_view shown = text::trim_right(text);
      if (shown == expected_text) return {};
      return expected(quoted(s.text) + ", found " + quoted(shown));
    }
    case K::expect_item: {
      const int n = control.item_count();
      if (s.number < 1 || s.number > n)
        return expected("item " + std::to_string(s.number) + ", found " + std::to_string(n) + " items");
      const std::string text = control.item(s.number);
      const std::string_view item = text::trim_right(text);
      if (item == s.text) return {};
      return expected("item " + std::to_string(s.number) + " " + quoted(s.text) + ", found " + quoted(item));
    }
    case K::expect_items: {
      const int n = control.item_count();
      return n == s.number ? std::string() : expected(std::to_string(s.number) + " items, found " + std::to_string(n));
    }
    case K::expect_curves: {
      const int n = control.curves();
      return n == s.number ? std::string() : expected(std::to_string(s.number) + " curves, found " + std::to_string(n));
    }
    case K::expect_selected: {
      const int n = control.selection();
      return n == s.number ? std::string() : expected("selection " + std::to_string(s.number) + ", found " + std::to_string(n));
    }
    case K::expect_enabled: return control.enabled() ? std::string() : expected("enabled, found disabled");
    case K::expect_disabled: return control.enabled() ? expected("disabled, found enabled") : std::string();
    default: return {};
  }
}

std::string focus_mismatch(int expected, int found) {
  if (found == expected) return {};
  return "expected the focus on control " + std::to_string(expected) + ", found it on " +
         (found == no_id ? std::string("none") : std::to_string(found));
}

}  // namespace ui::script

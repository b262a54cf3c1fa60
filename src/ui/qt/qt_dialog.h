// A template dialog shown with Qt widgets: one widget per control of the template, placed
// where the template puts it, in the template's tab order.
#pragma once

#include <QPointer>
#include <cstddef>
#include <map>
#include <optional>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/qt/dialog_window.h"

class QWidget;

namespace ui::qt {

class ItemList;

class QtDialog final : public Dialog {
 public:
  // `parent` keeps a nested dialog above and centred on the one that opened it.
  QtDialog(const DialogTemplate& dialog_template, QWidget* parent);
  ~QtDialog() override;
  QtDialog(const QtDialog&) = delete;
  QtDialog& operator=(const QtDialog&) = delete;

  void on(ControlId id, Callback callback) override;
  int run_modal() override;
  void close(int code = 1) override;
  void set_text(ControlId id, std::string_view text, int item = 0) override;
  std::string text(ControlId id, std::size_t length) const override;
  void set_item_count(ControlId id, int n) override;
  void show_items(ControlId id, int count, ItemText text_of) override;
  void items_changed(ControlId id, int first, int last) override;
  void select(ControlId id, int item) override;
  int selection(ControlId id) const override;
  void set_enabled(ControlId id, bool on) override;
  void update() override;
  void set_image(ControlId id, const Image& image) override;
  void set_window_icon(const Image& image) override;
  void set_chart(ControlId id, const ChartContent& content) override;
  bool save_chart_picture(ControlId id, const std::string& path) override;
  void set_alert(ControlId id, bool on) override;
  void on_leave(LeaveCheck check) override { leave_check_ = std::move(check); }

  // For tests and screenshots: the window, and the widget of the template's control `index`.
  QDialog* window() const { return window_; }
  QWidget* widget_at(std::size_t index) const { return widgets_.at(index); }
  QWidget* widget(ControlId id) const;
  const DialogTemplate& dialog_template() const { return template_; }

 private:
  QWidget* make_widget(const ControlTemplate& control);
  void connect_user_actions(const ControlTemplate& control, QWidget* widget);
  void connect_list(ControlId id, ItemList* list);
  void set_tab_order();
  void fire(ControlId id);
  void press_button(ControlId id);
  void enter();
  void escape();
  void close_box();
  bool may_leave();
  void focus_first();
  void give_mnemonics();
  void end(int code);

  const DialogTemplate& template_;
  QPointer<DialogWindow> window_;
  std::vector<QWidget*> widgets_;  // parallel to template_.controls
  std::map<ControlId, Callback> callbacks_;
  bool created_call_done_ = false;
  bool running_ = false;
  std::optional<int> pending_close_;  // close() before run_modal()
  LeaveCheck leave_check_;
};

}  // namespace ui::qt

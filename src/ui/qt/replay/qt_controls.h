// What the replay reads from the Qt widgets of a dialog and its boxes, as the scripted face reads
// its own controls: the texts, items and selection a statement checks, and the keys it presses.
#pragma once

#include <QFileDialog>
#include <QString>
#include <QWidget>
#include <string>

#include "ui/dialog_template.h"
#include "ui/script/expectation.h"
#include "ui/script/script.h"

namespace ui::qt::replay {

std::string utf8(const QString& s);
// The template a dialog window was made from, and the id of a control.
int template_id(const QWidget& window);
ControlId control_id(const QWidget* widget);

// What a control shows, as the program's own text reading gives it.
QString shown_text(QWidget* w);
int item_count(QWidget* w);
QString item_text(QWidget* w, int item);  // 1-based
int selected_item(QWidget* w);            // 1-based; 0 for none

Qt::Key qt_key(script::Key key);

// The file box fills its list from another thread; a folder with no file matching shows nothing
// for good, and this long is waited before saying so.
inline constexpr int listing_wait_ms = 3000;
// The files a file box lists, by name, blank-separated: what its list shows, without folders.
std::string listed_files(QFileDialog& box);

// A Qt control as an expectation sees it.
class QtControlView final : public script::ControlView {
 public:
  explicit QtControlView(QWidget* w) : w_(w) {}
  std::string text() const override { return utf8(shown_text(w_)); }
  int item_count() const override { return replay::item_count(w_); }
  std::string item(int n) const override { return utf8(item_text(w_, n)); }
  int curves() const override;
  int selection() const override { return selected_item(w_); }
  bool enabled() const override { return w_->isEnabled(); }

 private:
  QWidget* w_;
};

}  // namespace ui::qt::replay

// "View": a file with line numbers and, beside its lines, the notes made for it (for a loading
// file: what the solver takes each record for, and the check's problems). A large file shows its
// first screen at once: the lines are indexed in one pass and painted only when visible, while
// the notes are made on a thread of their own.
#pragma once

#include <QAbstractScrollArea>
#include <QDialog>
#include <QFile>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/line_notes.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui::qt {

// The file's bytes and where each line begins.
class FileLines {
 public:
  bool open(const QString& path, QString& error);
  std::size_t size() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  std::string_view line(std::size_t i) const;  // without its CR LF
  std::string_view bytes() const { return {data_, size_bytes_}; }
  std::size_t longest() const { return longest_; }

 private:
  std::string content_;
  const char* data_ = nullptr;
  std::size_t size_bytes_ = 0;
  std::vector<std::size_t> starts_;  // and one past the last line's LF
  std::size_t longest_ = 0;
};

class LinesView final : public QAbstractScrollArea {
  Q_OBJECT
 public:
  LinesView(const FileLines& lines, const ui::LineNotes* notes, QWidget* parent);
  void set_plain(bool plain);
  bool plain() const { return plain_; }
  void set_highlight(const QString& text);
  int current_line() const { return current_; }
  void go_to(int line);  // makes it current and visible

 signals:
  void current_changed(int line);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  bool viewportEvent(QEvent*) override;

 private:
  void update_scroll_bars();
  int line_at(int y) const;
  int line_height() const;
  int gutter_width() const;
  int label_x() const;
  void paint_line(QPainter& p, int line, int y);

  QString label(int line) const;
  const ui::LineNotes::Problem* problem(int line) const;

  const FileLines& lines_;
  const ui::LineNotes* notes_;  // null: the lines alone
  bool plain_ = false;
  int current_ = -1;
  QByteArray highlight_;
};

class LoadingFileViewer final : public QDialog {
  Q_OBJECT
 public:
  // `make_notes` (may be empty) makes the notes shown beside the lines.
  LoadingFileViewer(const QString& path, ui::LineNotesMaker make_notes, QWidget* parent);
  ~LoadingFileViewer() override;
  bool open(QString& error);  // false: `error` says why the file cannot be shown

  // What the window shows; also for tests and the benchmark.
  const ui::LineNotes* notes() const { return notes_.get(); }
  LinesView* lines_view() const { return view_; }
  std::size_t line_count() const { return lines_.size(); }
  // Whether the window says that the file changed on disk after it was read.
  bool says_changed() const;
  // Moves to the next (or previous) line holding `text`, from the current line; false: none.
  bool find(const QString& text, bool backwards = false);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The steps of open(): the controls (returning the Next problem button), their layout (with
  // the Close button) and what they do, keys included.
  QPushButton* make_controls();
  void lay_out(QPushButton* next);
  void connect_controls(QPushButton* next);
  void show_progress();
  void show_current(int line);
  void next_problem();

  QString path_;
  ui::LineNotesMaker make_notes_;
  FileLines lines_;
  std::unique_ptr<ui::LineNotes> notes_;
  LinesView* view_ = nullptr;
  QLineEdit* search_ = nullptr;
  QCheckBox* plain_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* current_ = nullptr;  // what the current line is, and its problem
  QLabel* changed_ = nullptr;  // shown once another program changes the file
  QTimer progress_;
};

}  // namespace ui::qt

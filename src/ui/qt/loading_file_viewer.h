// "View": the loading file with line numbers, a label beside each record saying what the solver
// takes it for, and the check's problems on their lines. A large file shows its first screen at
// once: the lines are indexed in one pass and painted only when visible, while the reader labels
// them on a thread of its own.
#pragma once

#include <QAbstractScrollArea>
#include <QDialog>
#include <QFile>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "loadfile/line_labels.h"
#include "loadfile/problems.h"

class QCheckBox;
class QLabel;
class QLineEdit;

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
  QFile file_;
  QByteArray copy_;  // when the file cannot be mapped
  const char* data_ = nullptr;
  std::size_t size_bytes_ = 0;
  std::vector<std::size_t> starts_;  // and one past the last line's LF
  std::size_t longest_ = 0;
};

// What the reading thread found; the view asks it for each painted line.
class LineAnnotations {
 public:
  LineAnnotations(const FileLines& lines, const QString& path);
  ~LineAnnotations();
  bool finished() const { return finished_.load(std::memory_order_acquire); }
  std::size_t labelled_lines() const { return table_.labelled_lines(); }
  QString label(std::size_t line) const;
  const loadfile::Problem* problem(std::size_t line) const;  // the first of the line; after finished()
  int next_problem_line(int after) const;                     // -1: none after `after` (after finished())
  // After finished(): the counts and the model the file was checked against.
  int errors() const { return errors_; }
  int warnings() const { return warnings_; }
  QString model_words() const { return model_words_; }

 private:
  void read(std::string path);

  const FileLines& lines_;
  loadfile::LineTable table_;
  std::string time_unit_;
  std::vector<loadfile::Problem> problems_;
  std::unordered_map<std::size_t, std::size_t> first_problem_;  // 0-based line -> index in problems_
  int errors_ = 0, warnings_ = 0;
  QString model_words_;
  std::atomic<bool> finished_{false};
  std::thread reader_;
};

class LinesView final : public QAbstractScrollArea {
  Q_OBJECT
 public:
  LinesView(const FileLines& lines, const LineAnnotations& annotations, QWidget* parent);
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

  const FileLines& lines_;
  const LineAnnotations& annotations_;
  bool plain_ = false;
  int current_ = -1;
  QByteArray highlight_;
};

class LoadingFileViewer final : public QDialog {
  Q_OBJECT
 public:
  LoadingFileViewer(const QString& path, QWidget* parent);
  ~LoadingFileViewer() override;
  bool open(QString& error);  // false: `error` says why the file cannot be shown

  // What the window shows; also for tests and the benchmark.
  const LineAnnotations* annotations() const { return annotations_.get(); }
  LinesView* lines_view() const { return view_; }
  std::size_t line_count() const { return lines_.size(); }
  // Moves to the next (or previous) line holding `text`, from the current line; false: none.
  bool find(const QString& text, bool backwards = false);

 private:
  void show_progress();
  void show_current(int line);
  void next_problem();

  QString path_;
  FileLines lines_;
  std::unique_ptr<LineAnnotations> annotations_;
  LinesView* view_ = nullptr;
  QLineEdit* search_ = nullptr;
  QCheckBox* plain_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* current_ = nullptr;  // what the current line is, and its problem
  QTimer progress_;
};

}  // namespace ui::qt

#include "ui/qt/loading_file_viewer.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "files/regular_file.h"
#include "ui/qt/window_fit.h"

namespace ui::qt {

namespace {

QString from_bytes(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The records are read by their columns: a "monospace" that resolves to a proportional face
// (a system without a fixed-pitch font configured for it) would misalign them, so the first
// installed fixed-pitch family stands in.
QFont fixed_pitch_font() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (QFontInfo(font).fixedPitch()) return font;
  for (const QString& family : QFontDatabase::families()) {
    if (!QFontDatabase::isFixedPitch(family)) continue;
    font.setFamily(family);
    return font;
  }
  return font;
}

}  // namespace

// ---- the lines -------------------------------------------------------------------------------

// The file is read, not mapped: another program may shorten or rewrite it while it is shown,
// and a mapped page past its new end would end the program (SIGBUS). What is shown stays the
// file as it was read.
bool FileLines::open(const QString& path, QString& error) {
  const QFileInfo info(path);
  if (!info.exists()) {
    error = QStringLiteral("The file does not exist.");
    return false;
  }
  if (!info.isFile()) {
    error = QStringLiteral("The name is not a regular file.");
    return false;
  }
  const files::FileRead read = files::read_regular_file(path.toStdString(), content_, files::max_text_file_bytes);
  if (read.status == files::FileReadStatus::not_regular) {
    error = QStringLiteral("The name is not a regular file.");
    return false;
  }
  if (read.status == files::FileReadStatus::too_large) {
    error = QStringLiteral("The file is larger than %1, the most that is shown.")
                .arg(QString::fromStdString(files::size_limit_words(files::max_text_file_bytes)));
    return false;
  }
  if (read.status != files::FileReadStatus::ok) {
    error = QString::fromLocal8Bit(std::strerror(read.error));
    return false;
  }
  data_ = content_.data();
  size_bytes_ = content_.size();
  // Lines end at LF (the CR of CR LF is left out when shown), as the reader splits them.
  starts_.clear();
  std::size_t start = 0;
  while (start < size_bytes_) {
    starts_.push_back(start);
    const void* found = std::memchr(data_ + start, '\n', size_bytes_ - start);
    const std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - data_) : size_bytes_;
    longest_ = std::max(longest_, end - start);
    start = end + 1;
  }
  starts_.push_back(start);  // one past the last line's LF (or past the end when it has none)
  return true;
}

std::string_view FileLines::line(std::size_t i) const {
  const std::size_t begin = starts_[i];
  std::size_t length = starts_[i + 1] - 1 - begin;
  if (length > 0 && data_[begin + length - 1] == '\r') --length;
  return {data_ + begin, length};
}

// ---- the view --------------------------------------------------------------------------------

LinesView::LinesView(const FileLines& lines, const ui::LineNotes* notes, QWidget* parent)
    : QAbstractScrollArea(parent), lines_(lines), notes_(notes) {
  const QFont font = fixed_pitch_font();
  setFont(font);
  viewport()->setFont(font);
  setFocusPolicy(Qt::StrongFocus);
  verticalScrollBar()->setSingleStep(1);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
}

// A line not noted yet shows an ellipsis until the notes reach it.
QString LinesView::label(int line) const {
  if (!notes_) return {};
  const auto i = static_cast<std::size_t>(line);
  return i < notes_->noted_lines() ? QString::fromStdString(notes_->label(i)) : QStringLiteral("\u2026");
}

const ui::LineNotes::Problem* LinesView::problem(int line) const {
  return notes_ && !plain_ ? notes_->problem(static_cast<std::size_t>(line)) : nullptr;
}

int LinesView::line_height() const { return fontMetrics().height(); }

int LinesView::gutter_width() const {
  if (plain_) return 4;
  const int digits = static_cast<int>(std::to_string(std::max<std::size_t>(lines_.size(), 1)).size());
  return fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 2);
}

// Labels stand in one column after the text, unless the file's lines are long.
int LinesView::label_x() const {
  const std::size_t column = std::min<std::size_t>(lines_.longest(), 60) + 3;
  return gutter_width() + fontMetrics().horizontalAdvance(QLatin1Char('0')) * static_cast<int>(column);
}

void LinesView::set_plain(bool plain) {
  plain_ = plain;
  update_scroll_bars();
  viewport()->update();
}

void LinesView::set_highlight(const QString& text) {
  highlight_ = text.toUtf8();
  viewport()->update();
}

void LinesView::go_to(int line) {
  if (lines_.size() == 0) return;
  current_ = std::clamp(line, 0, static_cast<int>(lines_.size()) - 1);
  const int rows = std::max(1, viewport()->height() / line_height());
  QScrollBar* bar = verticalScrollBar();
  if (current_ < bar->value()) bar->setValue(current_);
  else if (current_ >= bar->value() + rows) bar->setValue(current_ - rows + 1);
  viewport()->update();
  emit current_changed(current_);
}

void LinesView::update_scroll_bars() {
  const int rows = std::max(1, viewport()->height() / line_height());
  verticalScrollBar()->setPageStep(rows);
  verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(lines_.size()) - rows));
  const int width = (plain_ ? gutter_width() + fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                                                   static_cast<int>(std::min<std::size_t>(lines_.longest(), 2000))
                            : label_x() + fontMetrics().horizontalAdvance(QLatin1Char('0')) * 110);
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
}

void LinesView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  update_scroll_bars();
}

int LinesView::line_at(int y) const { return verticalScrollBar()->value() + y / line_height(); }

void LinesView::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), palette().base());
  const int first = verticalScrollBar()->value();
  const int rows = viewport()->height() / line_height() + 1;
  for (int i = 0; i < rows && first + i < static_cast<int>(lines_.size()); ++i)
    paint_line(p, first + i, i * line_height());
}

void LinesView::paint_line(QPainter& p, int line, int y) {
  const QFontMetrics fm = fontMetrics();
  const int h = line_height();
  const int cw = fm.horizontalAdvance(QLatin1Char('0'));
  const int dx = -horizontalScrollBar()->value();
  const std::string_view text = lines_.line(static_cast<std::size_t>(line));
  const ui::LineNotes::Problem* problem = this->problem(line);
  const QRect row(0, y, viewport()->width(), h);
  if (problem) p.fillRect(row, problem->error ? QColor(255, 221, 221) : QColor(255, 243, 200));
  if (line == current_) p.fillRect(row, QColor(0, 90, 200, 40));
  const int text_x = gutter_width() + dx;
  const QString shown = from_bytes(text);
  if (!highlight_.isEmpty()) {
    const QByteArrayView view(text.data(), static_cast<qsizetype>(text.size()));
    const QLatin1StringView needle(highlight_);
    for (qsizetype at = 0; (at = QLatin1StringView(view).indexOf(needle, at, Qt::CaseInsensitive)) >= 0; ++at) {
      const int left = fm.horizontalAdvance(shown.left(at));
      p.fillRect(text_x + left, y, fm.horizontalAdvance(shown.mid(at, needle.size())), h, QColor(255, 230, 0, 160));
    }
  }
  const int baseline = y + fm.ascent();
  p.setPen(palette().text().color());
  p.drawText(text_x, baseline, shown);
  if (plain_) return;
  p.setPen(QColor(140, 140, 140));
  p.fillRect(0, y, gutter_width() - cw / 2, h, palette().window());
  p.drawText(QRect(0, y, gutter_width() - cw, h), Qt::AlignRight | Qt::AlignVCenter, QString::number(line + 1));
  const int label_at = std::max(label_x() + dx, text_x + fm.horizontalAdvance(shown) + 3 * cw);
  p.setPen(QColor(30, 110, 60));
  const QString label = this->label(line);
  p.drawText(label_at, baseline, label);
  if (!problem) return;
  p.setPen(problem->error ? QColor(190, 0, 0) : QColor(150, 90, 0));
  const QString mark = QStringLiteral("\u25C0 %1: %2")
                           .arg(problem->error ? QStringLiteral("error") : QStringLiteral("warning"))
                           .arg(QString::fromStdString(problem->text));
  p.drawText(label_at + fm.horizontalAdvance(label) + 2 * cw, baseline, mark);
}

void LinesView::keyPressEvent(QKeyEvent* event) {
  const int rows = std::max(1, viewport()->height() / line_height());
  const int at = std::max(current_, verticalScrollBar()->value() - 1);
  if (event->matches(QKeySequence::Copy) && current_ >= 0) {
    QApplication::clipboard()->setText(from_bytes(lines_.line(static_cast<std::size_t>(current_))));
    return;
  }
  switch (event->key()) {
    case Qt::Key_Up: go_to(at - 1); return;
    case Qt::Key_Down: go_to(at + 1); return;
    case Qt::Key_PageUp: go_to(at - rows); return;
    case Qt::Key_PageDown: go_to(at + rows); return;
    case Qt::Key_Home: go_to(0); return;
    case Qt::Key_End: go_to(static_cast<int>(lines_.size()) - 1); return;
    default: QAbstractScrollArea::keyPressEvent(event);
  }
}

void LinesView::mousePressEvent(QMouseEvent* event) {
  const int line = line_at(event->position().toPoint().y());
  if (line < static_cast<int>(lines_.size())) go_to(line);
  QAbstractScrollArea::mousePressEvent(event);
}

// The whole problem text and label of a line, for lines whose marks run off the window.
bool LinesView::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip || plain_ || !notes_) return QAbstractScrollArea::viewportEvent(event);
  auto* help = static_cast<QHelpEvent*>(event);
  const int line = line_at(help->pos().y());
  if (line >= static_cast<int>(lines_.size())) return true;
  QString tip = QStringLiteral("line %1: %2").arg(line + 1).arg(label(line));
  if (const ui::LineNotes::Problem* p = problem(line))
    tip += QStringLiteral("\n%1: %2").arg(p->error ? QStringLiteral("error") : QStringLiteral("warning"),
                                          QString::fromStdString(p->text));
  QToolTip::showText(help->globalPos(), tip, viewport());
  return true;
}

// ---- the window ------------------------------------------------------------------------------

LoadingFileViewer::LoadingFileViewer(const QString& path, ui::LineNotesMaker make_notes, QWidget* parent)
    : QDialog(parent), path_(path), make_notes_(std::move(make_notes)) {
  setWindowTitle(path);
}

LoadingFileViewer::~LoadingFileViewer() {
  delete view_;  // it paints from the lines and notes, which go before the QDialog's children
}

bool LoadingFileViewer::open(QString& error) {
  if (!lines_.open(path_, error)) return false;
  if (make_notes_) notes_ = make_notes_(lines_.bytes(), path_.toStdString(), lines_.size());
  QPushButton* next = make_controls();
  lay_out(next);
  connect_controls(next);
  view_->setFocus();
  fit_to_screen(*this, QSize(1100, 680));
  connect(&progress_, &QTimer::timeout, this, &LoadingFileViewer::show_progress);
  progress_.start(50);
  show_progress();
  return true;
}

QPushButton* LoadingFileViewer::make_controls() {
  view_ = new LinesView(lines_, notes_.get(), this);
  search_ = new QLineEdit(this);
  search_->setPlaceholderText(QStringLiteral("Find (Ctrl+F); Enter: next, Shift+Enter: previous"));
  search_->setClearButtonEnabled(true);
  plain_ = new QCheckBox(QStringLiteral("&Plain text"), this);
  plain_->setToolTip(QStringLiteral("The file as it is, without line numbers, labels and problems"));
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  changed_ = new QLabel(QStringLiteral("The file has been changed on disk by another program since it was read: "
                                       "what is shown is the file as it was read. Close and View again for "
                                       "the file as it is now."),
                        this);
  changed_->setWordWrap(true);
  changed_->setStyleSheet(QStringLiteral("color: #a00000"));
  changed_->setVisible(false);
  auto* watcher = new QFileSystemWatcher(QStringList{path_}, this);
  connect(watcher, &QFileSystemWatcher::fileChanged, changed_, &QWidget::show);
  current_ = new QLabel(this);
  current_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* next = new QPushButton(QStringLiteral("&Next problem"), this);
  next->setToolTip(QStringLiteral("Go to the next line with a problem (F8)"));
  return next;
}

void LoadingFileViewer::lay_out(QPushButton* next) {
  auto* top = new QHBoxLayout;
  auto* find_label = new QLabel(QStringLiteral("&Find:"), this);
  find_label->setBuddy(search_);
  top->addWidget(find_label);
  top->addWidget(search_, 1);
  top->addWidget(next);
  next->setVisible(notes_ != nullptr);
  top->addWidget(plain_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(view_, 1);
  layout->addWidget(current_);
  layout->addWidget(status_);
  layout->addWidget(changed_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void LoadingFileViewer::connect_controls(QPushButton* next) {
  connect(plain_, &QCheckBox::toggled, view_, &LinesView::set_plain);
  connect(view_, &LinesView::current_changed, this, &LoadingFileViewer::show_current);
  connect(next, &QPushButton::clicked, this, &LoadingFileViewer::next_problem);
  auto* next_shortcut_key = new QShortcut(QKeySequence(Qt::Key_F8), this);
  connect(next_shortcut_key, &QShortcut::activated, this, &LoadingFileViewer::next_problem);
  connect(search_, &QLineEdit::textChanged, view_, &LinesView::set_highlight);
  connect(search_, &QLineEdit::returnPressed, this, [this] {
    find(search_->text(), QApplication::keyboardModifiers() & Qt::ShiftModifier);
  });
  auto* find_shortcut = new QShortcut(QKeySequence::Find, this);
  connect(find_shortcut, &QShortcut::activated, this, [this] {
    search_->setFocus();
    search_->selectAll();
  });
  auto* next_shortcut = new QShortcut(QKeySequence::FindNext, this);
  connect(next_shortcut, &QShortcut::activated, this, [this] { find(search_->text()); });
  auto* previous_shortcut = new QShortcut(QKeySequence::FindPrevious, this);
  connect(previous_shortcut, &QShortcut::activated, this, [this] { find(search_->text(), true); });
  setTabOrder(search_, next);
  setTabOrder(next, plain_);
  setTabOrder(plain_, view_);
}

bool LoadingFileViewer::says_changed() const { return changed_ != nullptr && !changed_->isHidden(); }

void LoadingFileViewer::show_progress() {
  const QString lines = QStringLiteral("%1 lines").arg(lines_.size());
  if (!notes_) {
    progress_.stop();
    status_->setText(lines);
    return;
  }
  if (!notes_->finished()) {
    const std::size_t done = notes_->noted_lines();
    status_->setText(QStringLiteral("%1; reading: %2 %").arg(lines).arg(lines_.size() ? done * 100 / lines_.size() : 100));
    view_->viewport()->update();
    return;
  }
  progress_.stop();
  status_->setText(QStringLiteral("%1; %2").arg(lines, QString::fromStdString(notes_->summary())));
  view_->viewport()->update();
}

void LoadingFileViewer::show_current(int line) {
  if (!notes_) return;
  const auto i = static_cast<std::size_t>(line);
  QString text = QStringLiteral("Line %1: %2")
                     .arg(line + 1)
                     .arg(i < notes_->noted_lines() ? QString::fromStdString(notes_->label(i)) : QStringLiteral("\u2026"));
  if (const ui::LineNotes::Problem* p = notes_->problem(i))
    text += QStringLiteral("  \u2014  %1: %2").arg(p->error ? QStringLiteral("error") : QStringLiteral("warning"),
                                                 QString::fromStdString(p->text));
  current_->setText(text);
}

void LoadingFileViewer::next_problem() {
  if (!notes_) return;
  long line = notes_->next_problem_line(view_->current_line());
  if (line < 0) line = notes_->next_problem_line(-1);  // from the top again
  if (line >= 0) view_->go_to(static_cast<int>(line));
  view_->setFocus();
}

// Enter in the find field has found the next match already; QDialog would also take it for the
// default button and close the window.
void LoadingFileViewer::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && search_ && search_->hasFocus()) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool LoadingFileViewer::find(const QString& text, bool backwards) {
  const int n = static_cast<int>(lines_.size());
  if (text.isEmpty() || n == 0) return false;
  const QByteArray needle = text.toUtf8();
  const int from = view_->current_line();
  for (int step = 1; step <= n; ++step) {
    const int line = ((backwards ? from - step : from + step) % n + n) % n;
    const std::string_view s = lines_.line(static_cast<std::size_t>(line));
    if (QLatin1StringView(s.data(), static_cast<qsizetype>(s.size())).contains(QLatin1StringView(needle), Qt::CaseInsensitive)) {
      view_->go_to(line);
      return true;
    }
  }
  status_->setText(QStringLiteral("\"%1\" is not in the file").arg(text));
  return false;
}

}  // namespace ui::qt

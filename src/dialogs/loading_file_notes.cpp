#include "dialogs/loading_file_notes.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <unordered_map>
#include <vector>

#include "loadfile/check.h"
#include "loadfile/line_labels.h"

namespace dialogs {

namespace {

using loadfile::CheckOptions;
using loadfile::CheckReport;
using loadfile::LineEntry;
using loadfile::LineTable;
using loadfile::ProblemList;
using loadfile::Severity;
using loadfile::check_loading_records;
using loadfile::line_label;
using loadfile::model_named_in_header;
using loadfile::time_unit_of;

class LoadingFileNotes final : public ui::LineNotes {
 public:
  LoadingFileNotes(std::string_view content, std::string path, std::size_t n_lines)
      : content_(content), table_(n_lines) {
    reader_ = std::thread(&LoadingFileNotes::read, this, std::move(path));
  }
  ~LoadingFileNotes() override {
    table_.request_stop();
    reader_.join();
  }

  bool finished() const override { return finished_.load(std::memory_order_acquire); }
  std::size_t noted_lines() const override { return table_.labelled_lines(); }
  std::string label(std::size_t line) const override;
  const Problem* problem(std::size_t line) const override;
  long next_problem_line(long after) const override;
  std::string summary() const override { return summary_; }

 private:
  void read(std::string path);
  void keep_problems(const ProblemList& problems);

  std::string_view content_;
  LineTable table_;
  // Made by the reading thread before it notes any line; read by the others only for lines
  // already noted.
  std::unique_ptr<text::RecordSource> source_;
  std::string time_unit_;
  std::vector<Problem> problems_;
  std::vector<std::size_t> problem_lines_;                  // 0-based, in line order
  std::unordered_map<std::size_t, std::size_t> first_of_;  // line -> index in problems_
  std::string summary_;
  std::atomic<bool> finished_{false};
  std::thread reader_;
};

void LoadingFileNotes::read(std::string path) {
  source_ = std::make_unique<text::RecordSource>(content_);
  for (std::size_t i = 0; i < std::min<std::size_t>(source_->size(), 12) && time_unit_.empty(); ++i)
    time_unit_ = time_unit_of(source_->record(i));
  CheckOptions options;
  std::string geometry;
  options.model = model_named_in_header(*source_, path, &geometry);
  options.also = &table_;
  const CheckReport report = check_loading_records(path, *source_, options);
  table_.finish();
  if (table_.stop_requested()) return;
  keep_problems(report.problems);
  summary_ += options.model ? "model " + geometry + ": " + std::to_string(options.model->n_nodes) + " nodes, " +
                                 std::to_string(options.model->n_dof) + " degrees of freedom, " +
                                 std::to_string(options.model->n_elements) + " elements"
                           : "the geometry file named in the header was not found: node numbers not checked, " +
                                 std::to_string(report.n_dof) + " degrees of freedom per node taken from the records";
  finished_.store(true, std::memory_order_release);
}

void LoadingFileNotes::keep_problems(const ProblemList& problems) {
  int errors = 0, warnings = 0;
  for (const loadfile::Problem& p : problems) {
    const bool error = p.severity == Severity::error;
    ++(error ? errors : warnings);
    const std::size_t line = p.line > 0 ? p.line - 1 : 0;
    first_of_.emplace(line, problems_.size());
    problem_lines_.push_back(line);
    problems_.push_back({error, (p.at_end ? "the file ends here: " : "") + p.english});
  }
  const std::string found = errors + warnings == 0
                                ? "no problem found"
                                : std::to_string(errors) + " error(s), " + std::to_string(warnings) +
                                      " warning(s), marked on their lines";
  summary_ = found + "; ";  // the model follows
}

std::string LoadingFileNotes::label(std::size_t line) const {
  if (line >= noted_lines()) return {};
  const LineEntry& e = table_.entry(line);
  return line_label(e, source_->record(line), source_->record(e.anchor), time_unit_);
}

const ui::LineNotes::Problem* LoadingFileNotes::problem(std::size_t line) const {
  if (!finished()) return nullptr;
  const auto it = first_of_.find(line);
  return it == first_of_.end() ? nullptr : &problems_[it->second];
}

long LoadingFileNotes::next_problem_line(long after) const {
  if (!finished()) return -1;
  const auto it = std::upper_bound(problem_lines_.begin(), problem_lines_.end(), after,
                                   [](long a, std::size_t line) { return a < static_cast<long>(line); });
  return it == problem_lines_.end() ? -1 : static_cast<long>(*it);
}

}  // namespace

std::unique_ptr<ui::LineNotes> make_loading_file_notes(std::string_view content, const std::string& path,
                                                       std::size_t n_lines) {
  return std::make_unique<LoadingFileNotes>(content, path, n_lines);
}

}  // namespace dialogs

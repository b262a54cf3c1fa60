#include "model/case_files/scratch_layouts.h"

#include <algorithm>
#include <charconv>

#include "files/record_file.h"
#include "model/case_files/point_records.h"
#include "model/record_words.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/number_parse.h"

namespace model::case_files {

namespace {

// A node range has room for three directions; a model with more degrees of freedom per node
// is outside what the editors offer, and must not write past the components.
int directions(int n_dof) { return std::clamp(n_dof, 0, 3); }

// A component as the A14 item writes it: its G14.7 text, tidied, left-justified in 14 columns.
// The init.dat records put such fields side by side, so a text that filled all 14 columns (a
// negative value in exponent form, "-0.9950001E-06") would run into its neighbour and no
// free-form reader could tell the two apart. Such a text loses the "0" before its point
// ("-.9950001E-06"): the same value, and a blank always ends the field.
std::string a14(float value) {
  std::string number = text::g14_7_text(value);
  if (number.size() >= 14 && number.compare(0, 3, "-0.") == 0) number.erase(1, 1);
  return text::padded(number, 14);
}

// The two node numbers, each right-justified to the width of the largest node number, so the
// columns of every record line up whatever the values.
text::RecordWriter node_pair(const model::NodeRange& range, int n_nodes) {
  const int k = text::digit_count(n_nodes);
  text::RecordWriter w;
  w.i(range.first_node, k).tr(2).i(range.last_node, k).tr(2);
  return w;
}

std::vector<text::Target> node_targets(model::NodeRange& r) {
  return {text::target(r.first_node), text::target(r.last_node)};
}

void add_components(std::vector<text::Target>& targets, model::NodeRange& r, int first, int count) {
  for (int c = 0; c < count; ++c) targets.push_back(text::target(r.components[first + c]));
}

// One read statement into a scratch copy, so that a failed read leaves the entry as it was.
text::ReadStatus read_entry(text::RecordSource& source, model::NodeRange& range,
                            std::vector<text::Target> (*make)(model::NodeRange&, int), int n_dof) {
  model::NodeRange read;
  const text::ReadStatus status = text::read_free_form(source, make(read, n_dof));
  if (status == text::ReadStatus::ok) range = read;
  return status;
}

std::vector<text::Target> conditions_targets(model::NodeRange& r, int n_dof) {
  auto t = node_targets(r);
  add_components(t, r, 0, directions(n_dof));
  add_components(t, r, 3, directions(n_dof));
  return t;
}

std::vector<text::Target> loadings_targets(model::NodeRange& r, int n_dof) {
  auto t = node_targets(r);
  add_components(t, r, 0, 1);
  add_components(t, r, 3, directions(n_dof));
  return t;
}

std::vector<text::Target> leading_components_targets(model::NodeRange& r, int n_dof) {
  auto t = node_targets(r);
  add_components(t, r, 0, directions(n_dof));
  return t;
}

}  // namespace

std::string conditions_record(const model::NodeRange& range, int n_nodes, int n_dof) {
  text::RecordWriter w = node_pair(range, n_nodes);
  for (int c = 0; c < directions(n_dof); ++c) w.a(a14(range.components[c]));
  w.tr(2);
  for (int c = 0; c < directions(n_dof); ++c) w.a(a14(range.components[3 + c]));
  return w.str();
}

std::string_view conditions_end_record(bool romanian) {
  return model::case_file_conditions_end.in(romanian);
}

std::string acceleration_record(const float (&acceleration)[3]) {
  text::FreeFormWriter w;
  for (float a : acceleration) w.real(a);
  return w.str();
}

text::ReadStatus read_conditions_entry(text::RecordSource& source, int n_dof, model::NodeRange& range) {
  return read_entry(source, range, conditions_targets, n_dof);
}

std::string loadings_record(const model::NodeRange& range, int n_nodes, int n_dof) {
  text::RecordWriter w = node_pair(range, n_nodes);
  w.a(a14(range.components[0]));
  for (int c = 0; c < directions(n_dof); ++c) w.a(a14(range.components[3 + c])).tr(2);
  return w.str();
}

std::string_view loadings_end_record(bool romanian) {
  return model::initial_loading_end.in(romanian);
}

text::ReadStatus read_loadings_entry(text::RecordSource& source, int n_dof, model::NodeRange& range) {
  return read_entry(source, range, loadings_targets, n_dof);
}

std::string amplitude_record(const model::NodeRange& range, int n_nodes, int n_dof) {
  text::RecordWriter w = node_pair(range, n_nodes);
  for (int c = 0; c < directions(n_dof); ++c) w.tr(2).a(a14(range.components[c]));
  return w.str();
}

text::ReadStatus read_amplitude_entry(text::RecordSource& source, int n_dof, model::NodeRange& range) {
  return read_entry(source, range, leading_components_targets, n_dof);
}

std::string time_record(float time) {
  std::string record;
  append_time_record(record, time);
  return record;
}

std::string discrete_range_record(const model::NodeRange& range, int n_dof) {
  std::string record;
  append_discrete_range_record(record, range, n_dof);
  return record;
}

// The free-form layout: a leading blank, then the items one blank apart.
char* put_time_record(char* out, float time) {
  *out++ = ' ';
  return text::free_form_real_chars(time, out);
}

namespace {

char* node_pair_chars(char* out, int first, int last) {
  *out++ = ' ';
  out = std::to_chars(out, out + 11, first).ptr;
  *out++ = ' ';
  return std::to_chars(out, out + 11, last).ptr;
}

}  // namespace

void DiscreteRecordTexts::fill(Slot& slot, int first, int last, std::uint64_t key) {
  slot.key = key;
  slot.length = static_cast<std::uint8_t>(node_pair_chars(slot.text, first, last) - slot.text);
}

// The range is read once before anything is written: `out` could alias it as far as the
// compiler knows, and would have it read again after every character.
char* put_discrete_range_record(char* out, const model::NodeRange& range, int n_dof, DiscreteRecordTexts* texts) {
  const model::NodeRange r = range;
  const int n = directions(n_dof);
  if (!texts) {
    out = node_pair_chars(out, r.first_node, r.last_node);
    for (int c = 0; c < n; ++c) {
      *out++ = ' ';
      out = text::free_form_real_chars(r.components[c], out);
    }
    return out;
  }
  out = texts->put_nodes(r.first_node, r.last_node, out);
  for (int c = 0; c < n; ++c) {
    *out++ = ' ';
    out = texts->put_value(r.components[c], out);
  }
  return out;
}

void append_time_record(std::string& out, float time) {
  char buf[time_record_max];
  out.append(buf, static_cast<std::size_t>(put_time_record(buf, time) - buf));
}

void append_discrete_range_record(std::string& out, const model::NodeRange& range, int n_dof,
                                  DiscreteRecordTexts* texts) {
  char buf[discrete_range_record_max];
  out.append(buf, static_cast<std::size_t>(put_discrete_range_record(buf, range, n_dof, texts) - buf));
}

text::ReadStatus read_discrete_range(text::RecordSource& source, int n_dof, model::NodeRange& range) {
  return read_entry(source, range, leading_components_targets, n_dof);
}


bool time_point_separator(std::string_view record) {
  record = text::trim_right(record);
  if (record.size() <= 4 || record.substr(0, 4) != "end_") return false;
  return std::all_of(record.begin() + 4, record.end(), [](char c) { return c >= '0' && c <= '9'; });
}

DiscreteLoading read_discrete_loading(text::RecordSource& source, int n_dof) {
  DiscreteLoading points;
  Unwatched all;
  read_discrete_records(source, n_dof, points, all);
  return points;
}

std::string end_of_case_record(int case_number) {
  return std::string(model::case_end.english) + std::to_string(case_number);
}

bool write_records(const std::string& path, const std::vector<std::string>& records,
                   std::string& reason) {
  std::string content;
  for (const std::string& record : records) content.append(record).append("\r\n");
  return model::case_files::replace_file(path, content, reason);
}

}  // namespace model::case_files

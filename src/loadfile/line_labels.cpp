#include "loadfile/line_labels.h"

#include <algorithm>

#include "loadfile/record_names.h"
#include "text/fixed_text.h"
#include "text/free_form.h"

namespace loadfile {

namespace {

constexpr std::string_view dot = " \xC2\xB7 ";   // ·
constexpr std::string_view dash = "\xE2\x80\x93";  // –

std::string_view first_token(std::string_view line) {
  const std::size_t begin = line.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  const std::size_t end = line.find_first_of(" \t,/\r", begin);
  return line.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

// "nodes 10–12", "node 4", as the line holds them (a last number of 0 stands for the first).
std::string numbers(std::string_view line, std::string_view one, std::string_view many) {
  int first = 0, last = 0;
  text::RecordSource alone(line);
  text::read_free_form(alone, {text::target(first), text::target(last)});
  if (last == 0 || last == first) return std::string(one) + " " + std::to_string(first);
  return std::string(many) + " " + std::to_string(first) + std::string(dash) + std::to_string(last);
}

std::string time_words(std::string_view token, std::string_view unit) {
  std::string s = "time " + std::string(token);
  if (!unit.empty()) s += " " + std::string(unit);
  return s;
}

int integer_of(std::string_view line) {
  int value = 0;
  text::RecordSource alone(line);
  text::read_free_form(alone, {text::target(value)});
  return value;
}

bool is_date_record(std::string_view line) {
  line = text::trim_right(line);
  if (line.size() != 21) return false;
  const std::string_view shape = "00/00/0000   00:00:00";
  for (std::size_t i = 0; i < shape.size(); ++i)
    if ((shape[i] == '0') != (line[i] >= '0' && line[i] <= '9') || (shape[i] != '0' && shape[i] != line[i]))
      return false;
  return true;
}

std::string what(const LineEntry& e, std::string_view text, std::string_view anchor, std::string_view unit) {
  switch (e.kind) {
    case RecordKind::not_read:
      if (text::trimmed_length(text) == 0) return {};
      return is_date_record(text) ? "date of writing" : "not read";
    case RecordKind::comment:
      return text.find("ERROR in Case Codes") != std::string_view::npos ||
                     text.find("EROARE in Codurile") != std::string_view::npos
                 ? "header: the writer found case data in error"
                 : "header";
    case RecordKind::operator_code: {
      const char c = text.empty() ? ' ' : text[0];
      const bool six = c == 'A' || c == 'a' || c == 'C' || c == 'c';
      return six ? "operator: New Operator" : "operator: Newmark";
    }
    case RecordKind::coefficients:
      return e.detail == 6 ? "operator coefficients 1./Beta, 1./Teta, 1./Gamma, 1./Teta1, 1./Delta, 1./Teta2"
                           : "operator coefficients 1./Beta, 1./Gamma";
    case RecordKind::damping_code: return "damping: " + std::string(damping_type_words(integer_of(text)));
    case RecordKind::case_parameters:
      return "loading type (" + std::string(loading_type_words(integer_of(text))) +
             "), time step, end time, mass model, gravity acceleration, printing code, printing time";
    case RecordKind::loading_parameters: return e.detail == 1 ? "omega" : "omega, phi";
    case RecordKind::damping_values:
      return e.detail == 1 ? "damping alfa, beta (Raleigh)" : "air density, drag coefficient";
    case RecordKind::initial_condition:
    case RecordKind::initial_load:
    case RecordKind::amplitude:
      return numbers(text, "node", "nodes") + " " + std::string(record_title(e.kind));
    case RecordKind::diameter: return numbers(text, "element", "elements") + " diameter";
    case RecordKind::time: return time_words(first_token(text), unit);
    case RecordKind::point_load:
      return time_words(first_token(anchor), unit) + std::string(dot) + numbers(text, "node", "nodes") + " loads";
    case RecordKind::accel_point: return time_words(first_token(text), unit) + std::string(dot) + "accelerations";
    default: return std::string(record_title(e.kind));
  }
}

}  // namespace

void LineTable::on_record(const RecordEvent& e) {
  const std::size_t end = std::min(std::max(e.end_line, e.first_line + 1), entries_.size());
  if (e.kind == RecordKind::damping_code && !e.values.empty()) damping_type_ = static_cast<int>(target_value(e.values[0]));
  if (e.kind == RecordKind::time) time_line_ = static_cast<std::uint32_t>(e.first_line);
  LineEntry entry;
  entry.kind = e.kind;
  entry.case_number = static_cast<std::uint8_t>(std::clamp(e.case_number, 0, 255));
  const bool counted = e.kind == RecordKind::coefficients || e.kind == RecordKind::loading_parameters;
  entry.detail = static_cast<std::uint8_t>(counted ? e.values.size() : damping_type_);
  entry.anchor = static_cast<std::uint32_t>(e.kind == RecordKind::point_load ? time_line_ : e.first_line);
  for (std::size_t line = e.first_line; line < end; ++line) {
    entries_[line] = entry;
    entries_[line].continued = line != e.first_line;
  }
  done_.store(end, std::memory_order_release);
}

std::string line_label(const LineEntry& entry, std::string_view text, std::string_view anchor_text,
                       std::string_view time_unit) {
  if (text::trimmed_length(text) == 0) return {};
  std::string label = entry.case_number ? "case " + std::to_string(entry.case_number) + std::string(dot) : "";
  if (entry.continued) return label + std::string(record_title(entry.kind)) + " (continued)";
  const std::string w = what(entry, text, anchor_text, time_unit);
  return w.empty() ? w : label + w;
}

std::string time_unit_of(std::string_view line) {
  const std::size_t units = std::min(line.find("UNITS"), line.find("UNITATI"));
  if (!line.starts_with("//") || units == std::string_view::npos) return {};
  const std::size_t colon = line.find(':', units);
  if (colon == std::string_view::npos) return {};
  std::string_view rest = line.substr(colon + 1);
  const std::size_t first = rest.find(';');
  if (first == std::string_view::npos) return {};
  rest = rest.substr(first + 1);
  rest = rest.substr(0, rest.find(';'));
  const std::size_t b = rest.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  return std::string(text::trim_right(rest.substr(b)));
}

}  // namespace loadfile

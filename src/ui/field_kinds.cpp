#include "ui/field_kinds.h"

#include <array>

#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"

namespace ui {

namespace {

struct Entry {
  int template_id;
  ControlId id;
  FieldFormat format;
};

constexpr FieldFormat real(std::size_t n) { return {FieldKind::real, n}; }
constexpr FieldFormat integer(std::size_t n) { return {FieldKind::integer, n}; }
constexpr FieldFormat node{FieldKind::node, 6};
constexpr FieldFormat element{FieldKind::element, 6};

// Lengths as the dialogs read their fields: 10 for coefficients, 2 for the number of cases, 16
// for case values, 24 for initial values, times and Sin/Exp parameters, 6 for node numbers.
constexpr Entry table[] = {
    {101, 1008, real(10)}, {101, 1009, real(10)}, {101, 1010, real(10)}, {101, 1011, real(10)},
    {101, 1012, real(10)}, {101, 1013, real(10)}, {101, 1006, integer(2)},
    {102, 1121, real(16)}, {102, 1119, real(16)}, {102, 1120, real(16)}, {102, 1132, real(16)},
    {102, 1107, real(16)}, {102, 1106, integer(16)}, {102, 1013, real(16)}, {102, 1014, real(16)},
    {102, 1019, real(16)}, {102, 1017, real(16)},
    {103, 1074, node}, {103, 1075, node}, {103, 1076, node}, {103, 1077, node},
    {103, 1026, real(24)}, {103, 1027, real(24)}, {103, 1028, real(24)}, {103, 1029, real(24)},
    {103, 1030, real(24)}, {103, 1031, real(24)}, {103, 1065, real(24)}, {103, 1032, real(24)},
    {103, 1033, real(24)}, {103, 1034, real(24)}, {103, 1035, real(24)}, {103, 1036, real(24)},
    {103, 1037, real(24)},
    {104, 1052, real(24)}, {104, 1084, node}, {104, 1085, node}, {104, 1055, real(16)},
    {104, 1056, real(16)}, {104, 1057, real(16)},
    {105, 1059, real(24)}, {105, 1045, real(24)}, {105, 1089, node}, {105, 1090, node},
    {105, 1063, real(16)}, {105, 1064, real(16)}, {105, 1065, real(16)},
    {106, 1100, real(16)}, {106, 1097, real(16)}, {106, 1096, real(16)}, {106, 1095, real(16)},
    {108, 1103, integer(10)},
    {110, 1135, element}, {110, 1136, element}, {110, 1137, real(14)},
};

std::string_view what_it_is_not(FieldKind kind) {
  switch (kind) {
    case FieldKind::real: return "Not a number as typed";
    case FieldKind::integer: return "Not a whole number as typed";
    case FieldKind::node: return "Not a node number as typed";
    case FieldKind::element: return "Not an element number as typed";
    case FieldKind::free_text: break;
  }
  return "";
}

}  // namespace

FieldFormat field_format(int template_id, ControlId id) {
  for (const Entry& e : table)
    if (e.template_id == template_id && e.id == id) return e.format;
  return {};
}

std::string conversion_note(const FieldFormat& format, std::string_view typed) {
  if (format.kind == FieldKind::free_text || text::trimmed_length(typed) == 0) return {};
  std::string stored;
  if (format.kind == FieldKind::real) {
    if (text::converts_whole_to_real(typed, format.length)) return {};
    stored = text::g14_7_text(text::c_to_float(typed, format.length));
    text::tidy_number_text(stored);
    stored = std::string(text::trim(stored));
  } else {
    if (text::converts_whole_to_int(typed, format.length)) return {};
    stored = std::to_string(text::c_to_int(typed, format.length));
  }
  std::string note(what_it_is_not(format.kind));
  note += ": " + stored + " will be stored";
  if (typed.size() > format.length && text::trimmed_length(typed) > format.length)
    note += " (only the first " + std::to_string(format.length) + " characters are read)";
  return note;
}

}  // namespace ui

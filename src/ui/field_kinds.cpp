#include "ui/field_kinds.h"

#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"

namespace ui {

namespace {

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
  if (const DialogTemplate* t = find_template(template_id))
    if (const ControlTemplate* c = t->find(id)) return c->field;
  return {};
}

bool taken_whole(const FieldFormat& format, std::string_view typed) {
  if (format.kind == FieldKind::free_text || text::trimmed_length(typed) == 0) return true;
  if (format.kind == FieldKind::real) return text::converts_whole_to_real(typed, format.length);
  return text::converts_whole_to_int(typed, format.length);
}

std::string stored_text(const FieldFormat& format, std::string_view typed) {
  if (format.kind != FieldKind::real) return std::to_string(text::c_to_int(typed, format.length));
  std::string stored = text::g14_7_text(text::c_to_float(typed, format.length));
  text::tidy_number_text(stored);
  return std::string(text::trim(stored));
}

std::string conversion_note(const FieldFormat& format, std::string_view typed) {
  if (taken_whole(format, typed)) return {};
  std::string note(what_it_is_not(format.kind));
  note += ": " + stored_text(format, typed) + " will be stored";
  if (typed.size() > format.length && text::trimmed_length(typed) > format.length)
    note += " (only the first " + std::to_string(format.length) + " characters are read)";
  return note;
}

}  // namespace ui

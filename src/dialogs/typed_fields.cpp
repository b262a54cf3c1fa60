#include "dialogs/typed_fields.h"

#include <string>

#include "text/fixed_text.h"
#include "text/free_form.h"
#include "ui/dialog_template.h"
#include "ui/field_kinds.h"

namespace dialogs {

namespace {

// Enough for any text a person types into one field: what lies past the characters read is
// what the message must show too.
constexpr std::size_t typed_length = 256;

struct Wording {
  std::string_view english, romanian;
};

Wording what_it_is_not(ui::FieldKind kind) {
  switch (kind) {
    case ui::FieldKind::integer:
      return {"is not a whole number as typed", "nu este un numar intreg asa cum a fost scris"};
    case ui::FieldKind::node:
      return {"is not a node number as typed", "nu este un numar de nod asa cum a fost scris"};
    case ui::FieldKind::element:
      return {"is not an element number as typed", "nu este un numar de element asa cum a fost scris"};
    case ui::FieldKind::real:
    case ui::FieldKind::free_text: break;
  }
  return {"is not a number as typed", "nu este un numar asa cum a fost scris"};
}

void report_not_whole(Context& context, const ui::FieldFormat& format, std::string_view label,
                      std::string_view typed, std::string_view title) {
  // A number too large for a 32-bit real reads whole and is stored at the largest magnitude.
  const bool too_large = format.kind == ui::FieldKind::real && text::trimmed_length(typed) <= format.length &&
                         text::is_free_form_real(typed);
  const Wording w = too_large ? Wording{"is beyond the range of the numbers stored",
                                        "depaseste domeniul numerelor memorate"}
                              : what_it_is_not(format.kind);
  const std::string stored = ui::stored_text(format, typed);
  const std::string quoted = "\"" + std::string(label) + "\"";
  const std::string shown = "\"" + std::string(typed) + "\"";
  std::string english = quoted + " holds " + shown + ", which " + std::string(w.english) + " (" + stored +
                        " would be stored";
  std::string romanian = quoted + " contine " + shown + ", care " + std::string(w.romanian) +
                         " (s-ar memora " + stored;
  if (text::trimmed_length(typed) > format.length) {
    const std::string n = std::to_string(format.length);
    english += "; only the first " + n + " characters are read";
    romanian += "; se citesc doar primele " + n + " caractere";
  }
  english += ").\nNothing was stored: correct the field, then try again.";
  romanian += ").\nNu s-a memorat nimic: corectati campul, apoi incercati din nou.";
  context.message(english, romanian, title, ui::Icon::error);
}

}  // namespace

bool fields_taken_whole(Context& context, const ui::Dialog& dialog, ui::DialogId dialog_id,
                        std::span<const ui::ControlId> fields, std::string_view title) {
  const int template_id = static_cast<int>(dialog_id);
  const ui::DialogTemplate* t = ui::find_template(template_id);
  for (ui::ControlId id : fields) {
    const ui::FieldFormat format = ui::field_format(template_id, id);
    const std::string text = dialog.text(id, typed_length);
    const std::string_view typed = text::trim_right(text);
    if (ui::taken_whole(format, typed)) continue;
    const ui::ControlTemplate* c = t ? t->find(id) : nullptr;
    report_not_whole(context, format, c ? std::string_view(c->label) : std::string_view(), typed, title);
    return false;
  }
  return true;
}

}  // namespace dialogs

#include "ui/templates/suite_window.h"

namespace ui::templates {

// On the right, top to bottom, what a person settles in order: the records, the design
// spectrum, the range and the rule, then the folder and the writing. On the left the spectra
// as large as the window allows, and under them the factor of each record. The keyboard goes
// down the right column first, then to the factors, then to Close.
const DialogTemplate& suite_window() {
  using C = SuiteWindow;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "Suite of Records", 1180, 660,
      {
          {no_id, K::static_text, "Records (the accelerogram of the case is replaced by each)", {}, {656, 12, 512, 20}},
          {id(C::records), K::list_box, "Records", {}, {656, 34, 512, 150}},
          {id(C::add), K::push_button, "Add records...", {}, {656, 192, 164, 30}},
          {id(C::options), K::push_button, "Options...", {}, {830, 192, 164, 30}},
          {id(C::remove), K::push_button, "Remove", {}, {1004, 192, 164, 30}},
          {no_id, K::static_text, "Design spectrum", {}, {656, 240, 136, 20}},
          {id(C::target), K::drop_down, "Design spectrum", {"Eurocode 8", "ASCE 7", "Table (CSV file)"},
           {800, 236, 368, 26}},
          {no_id, K::static_text, "Parameters", {}, {656, 274, 136, 20}},
          {id(C::parameters), K::edit, "Parameters", {}, {800, 270, 368, 26}, free_text(260)},
          {no_id, K::static_text, "Periods from (s)", {}, {656, 308, 136, 20}},
          {id(C::from), K::edit, "Periods from (s)", {}, {800, 304, 110, 26}, free_text(260)},
          {no_id, K::static_text, "to", {}, {922, 308, 24, 20}},
          {id(C::to), K::edit, "to (s)", {}, {950, 304, 110, 26}, free_text(260)},
          {no_id, K::static_text, "Rule", {}, {656, 342, 136, 20}},
          {id(C::rule), K::drop_down, "Rule",
           {"fit: each record onto the target", "min90: each record at least 90% of it",
            "suite90: one factor, the mean at least 90%", "match: each record fitted, then matched"},
           {800, 338, 368, 26}},
          {id(C::show), K::push_button, "Show spectra", {}, {1004, 372, 164, 30}},
          {no_id, K::group_box, "Loading files", {}, {656, 416, 512, 190}},
          {no_id, K::static_text, "Folder", {}, {668, 444, 64, 20}},
          {id(C::folder), K::edit, "Folder", {}, {736, 440, 320, 26}, free_text(260)},
          {id(C::browse), K::push_button, "Browse...", {}, {1064, 438, 96, 30}},
          {id(C::status), K::static_text, "", {}, {668, 476, 492, 76}},
          {id(C::write), K::push_button, "Write loading files", {}, {668, 562, 156, 32}},
          {id(C::save), K::push_button, "Save settings...", {}, {832, 562, 156, 32}},
          {id(C::open), K::push_button, "Open settings...", {}, {996, 562, 156, 32}},
          {id(C::chart), K::chart, "Spectra", {}, {12, 12, 628, 412}},
          {id(C::factors_heading), K::static_text, "", {}, {12, 432, 628, 20}},
          {id(C::factors), K::list_box, "Factors", {}, {12, 454, 628, 194}},
          {id(C::close), K::push_button, "Close", {}, {1068, 618, 100, 32}},
      }};
  return t;
}

}  // namespace ui::templates

#include "dialogs/general/select_geometry_file.h"

#include <string>

#include "dialogs/file_boxes.h"
#include "model/geometry_file.h"
#include "ui/templates/general_data.h"

namespace dialogs::general {

namespace {

void commit_geometry(model::GeneralData& general, const std::string& path, const model::GeometryData& data) {
  general.geometry_file = path;
  general.n_nodes = data.n_nodes;
  general.n_elements = data.n_elements;
  general.n_dof = data.n_dof;
  general.n_loading_cases = 0;
  general.length_unit = data.length_unit;
  general.second_unit = data.second_unit;
  general.force_unit = data.force_unit;
}

}  // namespace

void show_geometry(ui::Dialog& dialog, const model::GeneralData& general) {
  using C = ui::templates::GeneralData;
  dialog.set_text(C::geometry_path, general.geometry_file.trimmed());
  dialog.set_enabled(C::load_old_file, true);
  dialog.set_text(C::n_nodes, std::to_string(general.n_nodes));
  dialog.set_text(C::n_dof, std::to_string(general.n_dof));
  dialog.set_text(C::n_loading_cases, std::to_string(general.n_loading_cases));
  dialog.set_enabled(C::coefficient_combo, true);
  dialog.set_enabled(C::operator_combo, true);
  dialog.set_enabled(C::n_loading_cases, true);
}

void select_geometry_file(Context& context, ui::Dialog& dialog) {
  // The box offers the previous choice again; a refused choice changes nothing, not even that.
  std::string buffer = context.state.geometry_box_choice;
  if (!context.toolkit.open_file_box(geometry_file_box_request(context.state), buffer)) return;
  // The path goes into the loading file's header as it is.
  if (const PathProblem problem = kept_path_problem(buffer); !problem.empty()) {
    context.message("ERROR: Geometry file not read: " + problem.english + ".\n" + shown_path(buffer),
                    "EROARE: Fisierul de geometrie nu a fost citit: " + problem.romanian + ".\n" +
                        shown_path(buffer),
                    "Message", ui::Icon::error);
    return;
  }
  // Read before storing anything, so that a file that cannot be read leaves the previous
  // model in place rather than half of a new one.
  const model::GeometryReadResult result = model::read_geometry_file(buffer);
  if (result.outcome != model::GeometryOutcome::ok) {
    const model::ProblemText problem = model::geometry_problem_text(result, buffer);
    context.message(problem.english, problem.romanian, "Message", ui::Icon::error);
    return;
  }
  context.state.geometry_box_choice = buffer;
  commit_geometry(context.cases.general(), std::string(text::trim_right(buffer)), result.data);
  show_geometry(dialog, context.cases.general());
}

}  // namespace dialogs::general

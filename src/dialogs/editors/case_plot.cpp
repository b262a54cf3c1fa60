// "Plot Loading" of the Loading Cases dialog: the saved loading of a case, as the editor would
// open it, shown without opening the editor.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/editors/editors.h"
#include "dialogs/editors/loading_plots.h"
#include "dialogs/saved_loading.h"
#include "model/case_files/opened_sections.h"

namespace dialogs::editors {

// Plot is offered for a case that holds a saved loading with points or ranges to draw.
bool has_saved_loading(const Context& context, int k) {
  if (!context.cases.has_case(k)) return false;
  const model::CaseRecord& record = context.cases.sections(k).record;
  const model::LoadingType type = record.loading_type;
  const int count = type == model::LoadingType::sinusoidal || type == model::LoadingType::exponential ? record.n_load_ranges
                                                                        : record.n_time_points;
  return count > 0 && holds_saved_loading(context, k);
}

void plot_case_loading(Context& context, int k) {
  if (!context.cases.has_case(k)) return;
  const model::GeneralData& g = context.cases.general();
  const model::AccelDirection direction = context.cases.accel_direction();
  const model::CaseRecord& record = context.cases.sections(k).record;
  const model::LoadingType type = record.loading_type;
  const bool sin_exp = type == model::LoadingType::sinusoidal || type == model::LoadingType::exponential;
  const int count = sin_exp ? record.n_load_ranges : record.n_time_points;
  const std::optional<model::Loading>* loading =
      has_saved_loading(context, k) ? &context.cases.sections_for(k).loading(model::loading_kind(type)) : nullptr;
  if (!loading || !*loading) {
    const std::string n = std::to_string(k);
    context.message("Case " + n + " has no saved loading to plot: Input LOADING, then SAVE Changes.",
                    "Cazul " + n + " nu are o incarcare salvata: Input LOADING, apoi SAVE Changes.",
                    "Plot Message", ui::Icon::information);
    return;
  }
  const std::string case_text = std::to_string(k);
  if (type == model::LoadingType::discrete) {
    const model::DiscreteLoading points = model::case_files::opened_discrete(**loading, g);
    context.toolkit.show_plot(discrete_loading_plot("Discrete loading of case " + case_text, points, count,
                                                    g.n_dof, std::string(g.force_unit.trimmed())));
  } else if (model::accelerogram(type)) {
    std::vector<model::AccelPoint> points;
    const int read = model::case_files::open_points(**loading, type, g, direction, count, points);
    points.resize(static_cast<std::size_t>(read));
    context.toolkit.show_plot(accelerogram_plot("Accelerogram of case " + case_text, points,
                                                type == model::LoadingType::accelerogram_3_directions, g.n_dof,
                                                model::code_number(direction), std::string(g.length_unit.trimmed())));
  } else {
    std::vector<model::NodeRange> ranges = model::case_files::opened_amplitudes(**loading, g);
    ranges.resize(std::min(ranges.size(), static_cast<std::size_t>(std::max(count, 0))));
    const bool sinusoidal = type == model::LoadingType::sinusoidal;
    context.toolkit.show_plot(amplitude_plot(
        (sinusoidal ? "Sinusoidal loading of case " : "Exponential loading of case ") + case_text, ranges,
        g.n_dof, sinusoidal, record.omega, record.phi, record.end_time, std::string(g.force_unit.trimmed())));
  }
}

}  // namespace dialogs::editors

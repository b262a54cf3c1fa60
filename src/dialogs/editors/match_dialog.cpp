#include "dialogs/editors/match_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dialogs/dialog_initializer.h"
#include "motion/integrate.h"
#include "motion/measures.h"
#include "motion/processing.h"
#include "motion/spectrum_report.h"
#include "motion/units.h"
#include "ui/templates/spectral_match.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::SpectralMatch;

std::string percent(double ratio) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f %%", 100.0 * ratio);
  return text;
}

// The relative change from `before` to `after`, as `brantel match` prints it; none for a zero before.
std::string change(double before, double after) { return before > 0 ? percent(after / before - 1.0) : "none"; }

std::vector<std::vector<double>> picked(const std::vector<std::vector<double>>& components,
                                        const std::vector<std::size_t>& which) {
  std::vector<std::vector<double>> out;
  for (const std::size_t c : which) out.push_back(components[c]);
  return out;
}

class MatchWindow {
 public:
  MatchWindow(Context& context, const MatchInput& input, motion::MatchResult result)
      : context_(context), input_(input), record_(*input.record), result_(std::move(result)),
        which_(matched_components(record_)) {}

  // The spectra the chart shows: the long part of the work after the iterations.
  void compute_spectra() {
    const double zeta = input_.request.damping, step = record_.time_step;
    seed_psa_ = motion::matched_psa(picked(record_.components, which_), step, input_.periods, zeta);
    matched_psa_ = motion::matched_psa(result_.components, step, input_.periods, zeta);
  }

  const std::string& problem() const { return result_.problem; }
  bool spectra_missing() const { return matched_psa_.empty(); }
  std::vector<std::vector<double>> record_after() const { return record_after_match(record_, result_); }
  void set_up(ui::Dialog& dialog);
  void plot() const;
  bool applied = false;

 private:
  std::string words(std::string_view english, std::string_view romanian) const {
    return context_.words(english, romanian);
  }
  std::string matched_on() const;
  std::string summary() const;
  ui::ChartContent chart() const;

  Context& context_;
  const MatchInput& input_;
  const motion::Record& record_;
  motion::MatchResult result_;
  std::vector<std::size_t> which_;
  std::vector<double> seed_psa_, matched_psa_;
};

std::string MatchWindow::matched_on() const {
  if (which_.size() == 1) return input_.names[which_[0]];
  return "RotD100" + words(" of ", " din ") + input_.names[which_[0]] + words(" and ", " si ") + input_.names[which_[1]];
}

// The lines `brantel match` writes, in the language of the moment.
std::string MatchWindow::summary() const {
  const motion::MatchRequest& q = input_.request;
  const double step = record_.time_step;
  std::string text = words("Matched on ", "Potrivire pe ") + matched_on() + words(" at ", " la ") +
                     motion::report_number(100 * q.damping) + words("% damping over ", "% amortizare pe ") +
                     motion::report_number(q.from) + "-" + motion::report_number(q.to) + " s\n";
  text += "target: " + input_.target.description() + '\n';
  text += words("seed factor: ", "factorul inregistrarii: ") + motion::report_number(result_.seed_factor) + '\n';
  text += words("misfit before: max ", "abatere inainte: max ") + percent(result_.before.max) +
          words(", mean ", ", medie ") + percent(result_.before.mean) + '\n';
  text += words("misfit after: max ", "abatere dupa: max ") + percent(result_.after.max) + words(", mean ", ", medie ") +
          percent(result_.after.mean) + '\n';
  text += words("wavelets: ", "undisoare: ") + std::to_string(result_.wavelets) + words(", iterations: ", ", iteratii: ") +
          std::to_string(result_.iterations) + '\n';
  text += words("padding: ", "completare: ") + motion::report_number(static_cast<double>(result_.lead_in) * step) +
          words(" s before, ", " s inainte, ") + motion::report_number(static_cast<double>(result_.lead_out) * step) +
          words(" s after\n", " s dupa\n");
  for (std::size_t k = 0; k < which_.size(); ++k) {
    const auto seed = motion::intensity_measures(result_.scaled_seed[k], step);
    const auto matched = motion::intensity_measures(result_.components[k], step);
    const motion::Drift drift = motion::drift_of(result_.components[k], step);
    text += input_.names[which_[k]] + words(": final velocity ", ": viteza finala ") +
            motion::report_number(drift.final_velocity) + words(" m/s, final displacement ", " m/s, deplasarea finala ") +
            motion::report_number(drift.final_displacement) + " m\n";
    text += words("change ", "modificare ") + input_.names[which_[k]] + ": pga " + change(seed.pga, matched.pga) +
            ", pgv " + change(seed.pgv, matched.pgv) + ", pgd " + change(seed.pgd, matched.pgd) + ", arias " +
            change(seed.arias, matched.arias) + ", d5-95 " +
            change(seed.d5_95.value_or(0.0), matched.d5_95.value_or(0.0)) + '\n';
  }
  if (result_.within_tolerance)
    text += words("Within the tolerance of ", "In toleranta de ") + percent(q.tolerance) + ".\n";
  else
    text += words("Stopped above the tolerance of ", "Oprita peste toleranta de ") + percent(q.tolerance) +
            words(": max ", ": max ") + percent(result_.after.max) + words(" at ", " la ") +
            motion::report_number(result_.after.worst_period) + " s.\n";
  if (!result_.at_rest)
    text += words("Warning: the record does not end at rest (a final velocity above 1% of its PGV or a final "
                  "displacement above 5% of its PGD): correct its baseline before use.\n",
                  "Atentie: inregistrarea nu se termina in repaus (o viteza finala peste 1% din PGV sau o "
                  "deplasare finala peste 5% din PGD): corectati-i linia de baza inainte de folosire.\n");
  for (std::size_t c = 0; c < record_.components.size(); ++c)
    if (std::find(which_.begin(), which_.end(), c) == which_.end())
      text += input_.names[c] + words(" is not matched: it keeps its values, padded at rest.\n",
                                      " nu este potrivit: isi pastreaza valorile, completate cu repaus.\n");
  text += words("Apply replaces the case's points with the matched record (",
                "Apply inlocuieste punctele cazului cu inregistrarea potrivita (") +
          std::to_string(result_.components[0].size()) + words(" points).", " puncte).");
  return text;
}

// PSA in g of the seed, of the seed scaled and of the matched record, over the target and the
// tolerance band about it, the matched range shaded.
ui::ChartContent MatchWindow::chart() const {
  ui::ChartContent chart;
  chart.x_title = "Period (s)";
  chart.y_title = "PSA (g)";
  chart.log_x = true;
  const double g = motion::unit_in_m_s2(motion::Unit::g), zeta = input_.request.damping;
  const std::vector<double>& periods = input_.periods;
  auto curve = [&](std::string name, const std::vector<double>& psa, double times) {
    ui::PlotSeries s{std::move(name), periods, {}};
    for (double v : psa) s.y.push_back(v * times / g);
    chart.series.push_back(std::move(s));
  };
  curve(words("seed", "inregistrare"), seed_psa_, 1.0);
  curve(words("scaled", "scalata"), seed_psa_, result_.seed_factor);
  curve(words("matched", "potrivita"), matched_psa_, 1.0);
  const double tolerance = input_.request.tolerance;
  // Both edges of the tolerance band as one closed curve (the lower edge out, the upper back),
  // one entry of the legend: a pair of entries would not fit beside the others at its width.
  // Named from "target", the chart draws it as the target.
  ui::PlotSeries target{"target", {}, {}};
  ui::PlotSeries band{"target ±" + motion::report_number(100 * tolerance) + "%", {}, {}};
  for (const double t : periods)
    if (const auto psa = input_.target.psa_g(t, zeta)) target.x.push_back(t), target.y.push_back(*psa);
  for (const double side : {-1.0, 1.0})
    for (std::size_t k = 0; k < target.x.size(); ++k) {
      const std::size_t at = side < 0 ? k : target.x.size() - 1 - k;
      band.x.push_back(target.x[at]), band.y.push_back(target.y[at] * (1 + side * tolerance));
    }
  chart.series.push_back(std::move(target));
  chart.series.push_back(std::move(band));
  chart.has_band = true;
  chart.band_from = input_.request.from;
  chart.band_to = input_.request.to;
  return chart;
}

void MatchWindow::set_up(ui::Dialog& dialog) {
  dialog.set_chart(ui::id(C::chart), chart());
  dialog.set_text(C::summary, summary());
  dialog.set_enabled(C::apply, result_.wavelets > 0);
}

// Acceleration, velocity and displacement of the seed as scaled and of the matched record, on
// the matched record's time (the seed starts after the padding).
void MatchWindow::plot() const {
  const double step = record_.time_step;
  const std::size_t n = result_.components[0].size();
  ui::PlotRequest request;
  request.title = words("Matched record", "Inregistrarea potrivita");
  request.panels = {{"Acceleration (m/s2)", {}}, {"Velocity (m/s)", {}}, {"Displacement (m)", {}}};
  for (std::size_t i = 0; i < n; ++i) request.table.times.push_back(static_cast<double>(i) * step);
  for (std::size_t k = 0; k < which_.size(); ++k) {
    std::vector<double> seed(n, 0.0);
    std::copy(result_.scaled_seed[k].begin(), result_.scaled_seed[k].end(), seed.begin() + static_cast<long>(result_.lead_in));
    for (const auto& [what, values] : {std::pair{words(" seed", " inregistrare"), seed},
                                       std::pair{words(" matched", " potrivita"), result_.components[k]}}) {
      std::vector<double> series = values;
      for (ui::PlotPanel& panel : request.panels) {
        panel.series.push_back({input_.names[which_[k]] + what, request.table.times, series});
        request.table.headers.push_back(input_.names[which_[k]] + what + " (" + panel.y_title + ")");
        request.table.columns.push_back(series);
        series = motion::integrate_trapezoid(series, step);
      }
    }
  }
  context_.toolkit.show_plot(request);
}

}  // namespace

std::vector<std::size_t> matched_components(const motion::Record& record) {
  std::vector<std::size_t> which = motion::horizontal_components(record.orientations, record.components.size());
  if (which.size() > 2) which.resize(2);
  return which;
}

std::vector<std::vector<double>> record_after_match(const motion::Record& record, const motion::MatchResult& result) {
  const std::vector<std::size_t> which = matched_components(record);
  std::vector<std::vector<double>> out;
  for (std::size_t c = 0; c < record.components.size(); ++c) {
    const auto k = static_cast<std::size_t>(std::find(which.begin(), which.end(), c) - which.begin());
    if (k < which.size()) {
      out.push_back(result.components[k]);
      continue;
    }
    std::vector<double> padded(result.lead_in, 0.0);
    padded.insert(padded.end(), record.components[c].begin(), record.components[c].end());
    padded.resize(padded.size() + result.lead_out, 0.0);
    out.push_back(std::move(padded));
  }
  return out;
}

std::optional<std::vector<std::vector<double>>> run_match_window(Context& context, const MatchInput& input) {
  const motion::Record& record = *input.record;
  // On the numbers `brantel match` matches the same record on, read from its file.
  const motion::MatchSeed numbers = motion::match_seed(picked(record.components, matched_components(record)), record.time_step);
  motion::RecordMatch match(numbers.components, numbers.step, input.target, input.request);
  std::optional<MatchWindow> window;
  // A match refused, or one the scaling alone settles, has no iterations to wait for.
  if (match.done()) {
    window.emplace(context, input, match.finish());
  } else {
    // One step an iteration (those after the match has ended do nothing), then the spectra.
    const int steps = input.request.max_iterations + 1;
    const int done = context.toolkit.run_steps(
        {"Match", context.words("Matching the record to the target...", "Potrivirea inregistrarii cu tinta..."), steps},
        [&](int k) {
          if (k + 1 < steps) {
            match.iterate();
            return context.words("Iteration ", "Iteratia ") + std::to_string(match.iterations()) +
                   context.words(": misfit max ", ": abatere max ") + percent(match.misfit().max);
          }
          window.emplace(context, input, match.finish());
          window->compute_spectra();
          return context.words("Done.", "Gata.");
        });
    // Cancelled: the case stays as it was.
    if (done < steps) return std::nullopt;
  }
  if (!window->problem().empty()) {
    context.message("The record cannot be matched: " + window->problem() + ".",
                    "Inregistrarea nu poate fi potrivita: " + window->problem() + ".", "Spectrum Message",
                    ui::Icon::error);
    return std::nullopt;
  }
  if (window->spectra_missing()) window->compute_spectra();
  auto dialog = context.toolkit.create_dialog(dialog_of(C{}));
  dialog->on(C::plot, [&window](ui::Dialog&, ui::ControlId) { window->plot(); });
  dialog->on(C::apply, [&window](ui::Dialog& d, ui::ControlId) { window->applied = true, d.close(1); });
  register_common_initializer(context, *dialog, dialog_of(C{}));
  window->set_up(*dialog);
  dialog->run_modal();
  if (!window->applied) return std::nullopt;
  return window->record_after();
}

}  // namespace dialogs::editors

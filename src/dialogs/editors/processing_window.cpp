#include "dialogs/editors/processing_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dialogs/dialog_initializer.h"
#include "dialogs/editors/import_parts.h"
#include "motion/integrate.h"
#include "text/fixed_text.h"
#include "ui/templates/processing_window.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::ProcessingWindow;
using motion::Baseline;

// More points than a chart has pixel columns only cost drawing time: each column keeps its
// lowest and highest value, in their order, so that every peak still shows.
constexpr std::size_t drawn_columns = 1500;

ui::PlotSeries drawn(std::string name, const std::vector<double>& values, double start, double step) {
  ui::PlotSeries s{std::move(name), {}, {}};
  const std::size_t n = values.size();
  const std::size_t per_column = std::max<std::size_t>(1, (n + drawn_columns - 1) / drawn_columns);
  for (std::size_t from = 0; from < n; from += per_column) {
    const std::size_t to = std::min(n, from + per_column);
    const auto [low, high] = std::minmax_element(values.begin() + static_cast<std::ptrdiff_t>(from),
                                                 values.begin() + static_cast<std::ptrdiff_t>(to));
    for (auto it : {std::min(low, high), std::max(low, high)}) {
      s.x.push_back(start + static_cast<double>(it - values.begin()) * step);
      s.y.push_back(*it);
      if (low == high) break;
    }
  }
  return s;
}

std::string number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

std::string plain(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

class ProcessingWindow {
 public:
  ProcessingWindow(Context& context, ui::Dialog& dialog, const ProcessingSource& source)
      : context_(context), dialog_(dialog), source_(source) {}

  void set_up();
  void on_control(C control);
  ProcessingChoice choice;

 private:
  std::string words(std::string_view english, std::string_view romanian) const {
    return context_.words(english, romanian);
  }
  // The options as the fields give them; a reason when one of them is not usable.
  std::optional<motion::ProcessingOptions> options(std::string& reason) const;
  void show_options(const motion::ProcessingOptions& o);
  void process();
  void draw();

  Context& context_;
  ui::Dialog& dialog_;
  const ProcessingSource& source_;
  std::optional<motion::ProcessingOptions> options_;  // the fields', when usable
  motion::ProcessedRecord processed_;
};

void ProcessingWindow::set_up() {
  const std::size_t columns = source_.record.components.size();
  dialog_.set_item_count(C::component, static_cast<int>(columns));
  for (std::size_t c = 0; c < columns; ++c)
    dialog_.set_text(C::component, std::to_string(c + 1), static_cast<int>(c) + 1);
  dialog_.select(C::component, 1);
  dialog_.select(C::baseline, 1);
  dialog_.select(C::trim, 1);
  motion::ProcessingOptions shown;
  if (source_.shown) shown = *source_.shown;
  else shown.highpass_auto = true;
  show_options(shown);
  process();
}

void ProcessingWindow::show_options(const motion::ProcessingOptions& o) {
  dialog_.set_text(C::highpass, o.highpass_auto ? "auto" : o.highpass ? plain(*o.highpass) : std::string());
  dialog_.set_text(C::lowpass, o.lowpass ? plain(*o.lowpass) : std::string());
  dialog_.set_text(C::order, std::to_string(o.order));
  dialog_.set_text(C::taper, plain(o.taper));
  dialog_.set_text(C::pad, o.pad ? plain(*o.pad) : std::string("auto"));
  dialog_.select(C::baseline, o.baseline ? static_cast<int>(*o.baseline) + 2 : 1);
  dialog_.select(C::trim, o.trim ? 2 : 1);
}

std::optional<motion::ProcessingOptions> ProcessingWindow::options(std::string& reason) const {
  motion::ProcessingOptions o;
  auto field = [&](C control) { return std::string(text::trim(dialog_.text(control))); };
  bool bad = false;
  auto number_of = [&](C control, std::string_view en, std::string_view ro) {
    bool this_bad = false;
    const std::optional<double> v = typed_number(field(control), this_bad);
    if (this_bad && !bad) reason = words(en, ro);
    bad = bad || this_bad;
    return v;
  };
  if (field(C::highpass) == "auto") o.highpass_auto = true;
  else o.highpass = number_of(C::highpass, "High-pass: a corner in Hz, auto, or blank for none.",
                              "Trece-sus: o frecventa in Hz, auto, sau gol pentru niciunul.");
  o.lowpass = number_of(C::lowpass, "Low-pass: a corner in Hz, or blank for none.",
                        "Trece-jos: o frecventa in Hz, sau gol pentru niciunul.");
  const std::optional<double> order = number_of(C::order, "Order: a whole number, 1 to 8.", "Ordinul: un numar intreg, 1 la 8.");
  if (order && *order != std::floor(*order) && !bad) {
    reason = words("Order: a whole number, 1 to 8.", "Ordinul: un numar intreg, 1 la 8.");
    bad = true;
  }
  if (order) o.order = static_cast<int>(std::clamp(*order, -100.0, 100.0));
  o.taper = number_of(C::taper, "Taper: a share of the length, 0 to 0.5.", "Capetele netezite: o parte din lungime, 0 la 0.5.")
                .value_or(0.05);
  if (field(C::pad) != "auto")
    o.pad = number_of(C::pad, "Padding: seconds, or auto.", "Zerourile adaugate: secunde, sau auto.");
  const int baseline = dialog_.selection(C::baseline);
  if (baseline >= 2) o.baseline = static_cast<Baseline>(baseline - 2);
  o.trim = dialog_.selection(C::trim) == 2;
  if (bad) return std::nullopt;
  return o;
}

// A fault is told where the result would stand; the fields keep what was typed.
void ProcessingWindow::process() {
  std::string reason;
  options_ = options(reason);
  const double step = source_.record.time_step;
  if (options_)
    if (const auto fault = motion::processing_fault(*options_, step)) {
      reason = motion::fault_text(*fault, *options_, step, model::romanian_messages(context_.state));
      options_.reset();
    }
  dialog_.set_enabled(C::use, options_.has_value());
  dialog_.set_alert(ui::id(C::summary), !options_);
  if (!options_) return dialog_.set_text(C::summary, reason);
  processed_ = motion::process_record(source_.record.components, step, *options_);
  std::string s;
  for (std::size_t i = 0; i < processed_.steps.size(); ++i)
    s += (i ? "\n" : "") + words("step ", "pasul ") + std::to_string(i + 1) + ": " +
         motion::step_text(processed_.steps[i], model::romanian_messages(context_.state));
  dialog_.set_text(C::summary, s + processing_outcome(context_, processed_, source_.metres_per_unit));
  draw();
}

void ProcessingWindow::draw() {
  if (!options_) return;
  const int shown = std::clamp(dialog_.selection(C::component), 1, static_cast<int>(processed_.components.size()));
  const auto charts = processing_charts(source_.record, processed_, static_cast<std::size_t>(shown - 1), source_.length_unit);
  dialog_.set_chart(ui::id(C::acceleration), charts[0]);
  dialog_.set_chart(ui::id(C::velocity), charts[1]);
  dialog_.set_chart(ui::id(C::displacement), charts[2]);
}

void ProcessingWindow::on_control(C control) {
  switch (control) {
    case C::use:
      if (!options_) return;
      choice = {ProcessingAnswer::processed, *options_};
      return dialog_.close(1);
    case C::as_read:
      choice = {ProcessingAnswer::as_read, {}};
      return dialog_.close(1);
    case C::component: return draw();
    default: return process();
  }
}

constexpr C callback_controls[] = {C::use, C::as_read, C::component, C::highpass, C::lowpass,
                                   C::order, C::taper, C::pad, C::baseline, C::trim};

}  // namespace

std::array<ui::ChartContent, 3> processing_charts(const motion::Record& as_read, const motion::ProcessedRecord& processed,
                                                  std::size_t component, const std::string& length_unit) {
  const double step = as_read.time_step;
  // The processed record's time, as it is imported: from 0 at the first zero added.
  const double start = processed.lead > 0.0 ? 0.0 : as_read.start_time;
  const double read_start = processed.lead > 0.0 ? processed.lead : as_read.start_time;
  std::vector<double> before = as_read.components[component], after = processed.components[component];
  // Short: a chart's height leaves room for a dozen letters on its axis.
  const std::string titles[] = {"a (" + length_unit + "/sec2)", "v (" + length_unit + "/sec)", "d (" + length_unit + ")"};
  std::array<ui::ChartContent, 3> charts;
  for (std::size_t k = 0; k < charts.size(); ++k) {
    if (k > 0) before = motion::integrate_trapezoid(before, step), after = motion::integrate_trapezoid(after, step);
    charts[k].x_title = "Time (s)";
    charts[k].y_title = titles[k];
    charts[k].series = {drawn("as read", before, read_start, step), drawn("processed", after, start, step)};
  }
  return charts;
}

motion::ProcessedRecord apply_processing(motion::Record& record, const motion::ProcessingOptions& options) {
  motion::ProcessedRecord processed = motion::process_record(record.components, record.time_step, options);
  record.components = processed.components;
  if (processed.lead > 0.0) record.start_time = 0.0;
  return processed;
}

std::string step_lines(const motion::ProcessedRecord& processed) {
  std::string lines;
  for (std::size_t i = 0; i < processed.steps.size(); ++i)
    lines += (i ? "\n" : "") + std::string("step ") + std::to_string(i + 1) + ": " + motion::step_text(processed.steps[i]);
  return lines;
}

std::string processing_outcome(const Context& context, const motion::ProcessedRecord& processed, double metres) {
  std::string velocity, displacement;
  for (const motion::Drift& d : processed.drift) {
    velocity += (velocity.empty() ? "" : ",") + number(d.final_velocity * metres);
    displacement += (displacement.empty() ? "" : ",") + number(d.final_displacement * metres);
  }
  std::string s = context.words("\nfinal velocity: ", "\nviteza finala: ") + velocity + " m/s" +
                  context.words("\nfinal displacement: ", "\ndeplasarea finala: ") + displacement + " m";
  if (processed.usable_period)
    s += context.words("\nusable periods: up to ", "\nperioade utilizabile: pana la ") + number(*processed.usable_period) + " s";
  if (const auto c = processed.drifting_component())
    s += context.words("\ncomponent " + std::to_string(*c + 1) + " still drifts",
                       "\ncomponenta " + std::to_string(*c + 1) + " are inca deriva");
  return s;
}

ProcessingChoice run_processing_window(Context& context, const ProcessingSource& source) {
  auto dialog = context.toolkit.create_dialog(dialog_of(C{}));
  ProcessingWindow logic(context, *dialog, source);
  for (C control : callback_controls)
    dialog->on(control, [&logic](ui::Dialog&, ui::ControlId c) { logic.on_control(static_cast<C>(c)); });
  register_common_initializer(context, *dialog, dialog_of(C{}));
  logic.set_up();
  dialog->run_modal();
  return logic.choice;
}

}  // namespace dialogs::editors

#include "suite/options.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

#include "files/regular_file.h"
#include "motion/spectrum.h"
#include "text/number_parse.h"

namespace suite {
namespace {

bool real(std::string_view text, double& value) { return text::parse_real(text, value) && std::isfinite(value); }

bool whole(std::string_view text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && end == text.data() + text.size();
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t pos = 0; pos <= text.size();) {
    const std::size_t end = std::min(text.find(separator, pos), text.size());
    parts.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return parts;
}

const std::string count_limit = std::to_string(max_periods);

}  // namespace

std::string parse_log_periods(std::string_view word, std::vector<double>& periods) {
  const auto parts = split(word, ':');
  double first = 0, last = 0;
  int count = 0;
  if (parts.size() != 3 || !real(parts[0], first) || !real(parts[1], last) || !whole(parts[2], count) ||
      !(first > 0) || !(last > first) || count < 2 || static_cast<std::size_t>(count) > max_periods)
    return "needs TMIN:TMAX:N, 0 < TMIN < TMAX seconds and N from 2 to " + count_limit + ", such as 0.01:10:100";
  periods = motion::log_periods(first, last, static_cast<std::size_t>(count));
  return {};
}

std::string parse_periods(std::string_view word, std::vector<double>& periods) {
  if (word.find(':') != std::string_view::npos) return parse_log_periods(word, periods);
  std::vector<double> list;
  for (std::string_view part : split(word, ',')) {
    double t = 0;
    if (!real(part, t) || !(t > 0)) return "needs periods in seconds such as 0.1,0.2,0.5, or TMIN:TMAX:N";
    list.push_back(t);
    if (list.size() > max_periods) return "takes at most " + count_limit + " periods";
  }
  periods = std::move(list);
  return {};
}

std::string read_periods_file(const std::string& path, std::vector<double>& periods) {
  std::string content;
  // A line a period: the limit on periods bounds the file.
  constexpr std::size_t most_bytes = 64 * max_periods;
  const files::FileRead read = files::read_regular_file(path, content, most_bytes);
  if (read.status == files::FileReadStatus::too_large) return path + ": more than " + count_limit + " periods";
  if (read.status != files::FileReadStatus::ok)
    return "cannot read the periods file \"" + path + "\" (a regular file)";
  std::vector<double> list;
  std::size_t line = 0;
  for (std::size_t pos = 0; pos < content.size();) {
    const std::size_t end = std::min(content.find('\n', pos), content.size());
    std::string_view text(content.data() + pos, end - pos);
    pos = end + 1;
    ++line;
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (text.empty() || text.front() == '#') continue;
    double t = 0;
    if (!real(text, t) || !(t > 0)) return path + ":" + std::to_string(line) + ": not a period";
    list.push_back(t);
    if (list.size() > max_periods) return path + ": more than " + count_limit + " periods";
  }
  if (list.empty()) return path + ": no period";
  periods = std::move(list);
  return {};
}

std::string parse_scale_range(std::string_view word, std::pair<double, double>& range) {
  const auto parts = split(word, ':');
  double from = 0, to = 0;
  if (parts.size() != 2 || !real(parts[0], from) || !real(parts[1], to) || !(from > 0) || !(to > from))
    return "needs TA:TB in seconds, 0 < TA < TB, such as 0.2:2";
  range = {from, to};
  return {};
}

std::string parse_dampings(std::string_view word, std::vector<double>& dampings) {
  std::vector<double> list;
  for (std::string_view part : split(word, ',')) {
    double z = 0;
    if (!real(part, z) || !(z >= 0 && z < 1)) return "needs damping ratios from 0 to below 1, such as 0.05 or 0.02,0.05";
    list.push_back(z);
  }
  dampings = std::move(list);
  return {};
}

std::string parse_target(std::string_view word, std::optional<motion::DesignSpectrum>& target) {
  std::string why;
  target = motion::parse_design_spectrum(word, why);
  if (!target) return why;
  // A spectrum whose values overflow gives no factor and no mean to compare with.
  // In any unit a spectrum is shown in (mm/s2 the smallest): finite.
  constexpr double most_per_g = 9.80665 * 1000;
  for (double period : motion::default_periods())
    if (const auto psa = target->psa_g(period, 0.05); psa && !std::isfinite(*psa * most_per_g)) {
      target.reset();
      return "its values are too large to compute with";
    }
  return {};
}

namespace {

// One key=value of a processing word into `o`; the reason when it is wrong.
std::string apply_processing_key(std::string_view key, std::string_view value, motion::ProcessingOptions& o) {
  double number = 0;
  if (key == "highpass") {
    if (value == "auto") o.highpass_auto = true;
    else if (real(value, number)) o.highpass = number;
    else return "highpass needs a corner in Hz or auto";
  } else if (key == "lowpass") {
    if (!real(value, number)) return "lowpass needs a corner in Hz";
    o.lowpass = number;
  } else if (key == "order") {
    int order = 0;
    if (!whole(value, order)) return "order needs a whole number, 1 to 8";
    o.order = order;
  } else if (key == "taper") {
    if (!real(value, o.taper)) return "taper needs a share of the length, 0 to 0.5";
  } else if (key == "pad") {
    if (value == "auto") o.pad.reset();
    else if (real(value, number)) o.pad = number;
    else return "pad needs seconds or auto";
  } else if (key == "baseline") {
    o.baseline = motion::baseline_from_name(value);
    if (!o.baseline) return "baseline is none, mean, linear or poly6";
  } else {
    return "\"" + std::string(key) + "\" is no processing option (highpass, lowpass, order, taper, pad, baseline, trim)";
  }
  return {};
}

std::string corner_text(double hz) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", hz);
  return buffer;
}

}  // namespace

std::string parse_processing(std::string_view word, motion::ProcessingOptions& options) {
  motion::ProcessingOptions o;
  for (std::string_view part : split(word, ',')) {
    const std::size_t equals = part.find('=');
    if (part == "trim") {
      o.trim = true;
      continue;
    }
    if (equals == std::string_view::npos) return "needs key=value pairs such as highpass=auto,lowpass=25";
    if (std::string why = apply_processing_key(part.substr(0, equals), part.substr(equals + 1), o); !why.empty())
      return why;
  }
  if (!o.highpass && !o.highpass_auto && !o.lowpass) return "needs a highpass or a lowpass corner";
  // The checks that need no time step; those that do are made on each record.
  if (const auto fault = motion::processing_fault(o, 1e-9)) return motion::fault_text(*fault, o, 1e-9);
  options = o;
  return {};
}

std::string processing_word(const motion::ProcessingOptions& o) {
  const motion::ProcessingOptions defaults;
  std::string word;
  const auto add = [&word](const std::string& part) { word += (word.empty() ? "" : ",") + part; };
  if (o.highpass_auto) add("highpass=auto");
  else if (o.highpass) add("highpass=" + corner_text(*o.highpass));
  if (o.lowpass) add("lowpass=" + corner_text(*o.lowpass));
  if (o.order != defaults.order) add("order=" + std::to_string(o.order));
  if (o.taper != defaults.taper) add("taper=" + corner_text(o.taper));
  if (o.pad) add("pad=" + corner_text(*o.pad));
  if (o.baseline) add("baseline=" + std::string(motion::baseline_name(*o.baseline)));
  if (o.trim) add("trim");
  return word;
}

namespace {

// Each applies an option of one kind: the reason it is refused, empty when taken, none when the
// option is not of its kind.
using Applied = std::optional<std::string>;

// What the suite reads and where it writes.
Applied apply_input_option(std::string_view option, std::string_view word, Settings& s) {
  if (option == "--case") {
    if (!whole(word, s.case_number) || s.case_number < 1) return "--case needs a case number from 1";
  } else if (option == "--geometry") {
    s.geometry = std::string(word);
  } else if (option == "--direction") {
    s.direction = std::string(word);
  } else if (option == "--end-time") {
    if (word != "record" && word != "keep") return "--end-time takes record or keep";
    s.keep_end_time = word == "keep";
  } else if (option == "--out") {
    if (word.empty()) return "--out needs a folder";
    s.out_dir = std::string(word);
  } else if (option == "--jobs") {
    int jobs = 0;
    if (!whole(word, jobs) || jobs < 1) return "--jobs needs a number from 1 (at most " + std::to_string(max_jobs) + " are used)";
    s.jobs = static_cast<unsigned>(std::min<int>(jobs, static_cast<int>(max_jobs)));
  } else if (option == "--process") {
    motion::ProcessingOptions processing;
    if (std::string why = parse_processing(word, processing); !why.empty()) return "--process " + why;
    s.processing = processing;
  } else {
    return std::nullopt;
  }
  return std::string();
}

// The target, the periods and the damping the records are scaled on.
Applied apply_scaling_option(std::string_view option, std::string_view word, Settings& s) {
  const std::string name(option);
  if (option == "--target") {
    s.target_text = std::string(word);
    if (std::string why = parse_target(word, s.target); !why.empty()) return "--target: " + why;
  } else if (option == "--scale-range") {
    std::pair<double, double> range;
    if (std::string why = parse_scale_range(word, range); !why.empty()) return "--scale-range " + why;
    s.scale_range = range;
  } else if (option == "--scale-rule") {
    const auto rule = motion::scale_rule_from_name(word);
    if (!rule) return "--scale-rule takes fit, min90, suite90 or match, not \"" + std::string(word) + "\"";
    s.rule = *rule;
  } else if (option == "--periods" || option == "--periods-log") {
    if (std::string why = option == "--periods" ? parse_periods(word, s.periods) : parse_log_periods(word, s.periods);
        !why.empty())
      return name + " " + why;
  } else if (option == "--periods-file") {
    if (std::string why = read_periods_file(std::string(word), s.periods); !why.empty()) return why;
  } else if (option == "--damping") {
    std::vector<double> dampings;
    if (std::string why = parse_dampings(word, dampings); !why.empty()) return "--damping " + why;
    if (dampings.size() != 1) return "--damping: a suite is scaled at one damping ratio";
    s.damping = dampings.front();
  } else if (option == "--tolerance") {
    double tolerance = 0;
    if (!real(word, tolerance) || !(tolerance > 0)) return "--tolerance needs a ratio above 0, such as 0.10";
    s.tolerance = tolerance;
  } else {
    return std::nullopt;
  }
  return std::string();
}

// The code the suite is checked against.
Applied apply_code_option(std::string_view option, std::string_view word, Settings& s) {
  const std::string name(option);
  if (option == "--code") {
    const auto code = code_from_name(word);
    if (!code) return "--code takes ec8, asce7-16 or asce7-22, not \"" + std::string(word) + "\"";
    s.code = *code;
  } else if (option == "--structure-periods") {
    if (std::string why = parse_structure_periods(word, s.structure_periods); !why.empty()) return name + " " + why;
  } else if (option == "--t90") {
    double t90 = 0;
    if (std::string why = parse_t90(word, t90); !why.empty()) return name + " " + why;
    s.t90 = t90;
  } else {
    return std::nullopt;
  }
  return std::string();
}

}  // namespace

std::string apply_suite_option(std::string_view option, std::string_view word, Settings& s) {
  for (const auto apply : {apply_input_option, apply_scaling_option, apply_code_option})
    if (Applied why = apply(option, word, s)) return std::move(*why);
  return std::string(option) + " is no option of a suite";
}

void complete_settings(Settings& s) {
  if (s.rule == Rule::none && s.target && s.scale_range) s.rule = Rule::fit;
}

}  // namespace suite

#include "suite/suite_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "motion/read_options.h"
#include "motion/spectrum.h"
#include "text/number_parse.h"

namespace suite {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

bool parse_real(std::string_view text, double& value) { return text::parse_real(text, value) && std::isfinite(value); }

bool parse_int(std::string_view text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && end == text.data() + text.size();
}

// A value the command line would give as a word.
std::optional<std::string> word_of(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer()) return std::to_string(value.get<long long>());
  if (value.is_number()) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value.get<double>());
    return buffer;
  }
  if (value.is_array()) {
    std::string joined;
    for (const Json& item : value) {
      const auto word = word_of(item);
      if (!word || item.is_array()) return std::nullopt;
      joined += (joined.empty() ? "" : ",") + *word;
    }
    return joined;
  }
  return std::nullopt;
}

std::string option_of_key(std::string key) {
  for (char& c : key)
    if (c == '_') c = '-';
  return "--" + key;
}

bool is_reading_option(const std::string& option) {
  for (std::string_view name : motion::record_reading_options)
    if (name == option) return true;
  return false;
}

// Reading options of an object into `options`, skipping `skip`; the reason when one is wrong.
std::string apply_reading(const Json& object, motion::ReadOptions& options, std::string_view skip) {
  for (const auto& [key, value] : object.items()) {
    if (key == skip) continue;
    const std::string option = option_of_key(key);
    // A record's own scale factor (as the Import dialog takes it) comes before the suite's.
    if (!is_reading_option(option) && option != "--scale") return "\"" + key + "\" is no reading option of a record";
    const auto word = word_of(value);
    if (!word) return "\"" + key + "\" needs a text or a number";
    if (std::string why = motion::apply_read_option(option, *word, options); !why.empty()) return why;
  }
  return {};
}

std::string resolved(const fs::path& folder, const std::string& path) {
  if (path.empty() || fs::path(path).is_absolute()) return path;
  return (folder / path).lexically_normal().string();
}

std::string text_of(const Json& value, const char* key) {
  if (!value.is_string()) throw std::invalid_argument(std::string("\"") + key + "\" needs a text");
  return value.get<std::string>();
}

std::string read_settings(const Json& j, const fs::path& folder, Settings& s) {
  if (!j.is_object()) return "the file holds no JSON object";
  static const char* const keys[] = {"template", "case", "geometry", "read", "records", "direction", "target",
                                     "scale_range", "scale_rule", "periods", "damping", "end_time", "out", "jobs"};
  for (const auto& [key, value] : j.items())
    if (std::find(std::begin(keys), std::end(keys), key) == std::end(keys)) return "\"" + key + "\" is no setting of a suite";
  if (!j.contains("template")) return "\"template\" is missing";
  s.template_path = resolved(folder, text_of(j["template"], "template"));
  if (!j.contains("case") || !j["case"].is_number_integer()) return "\"case\" needs the number of the accelerogram case";
  s.case_number = j["case"].get<int>();
  if (j.contains("geometry")) s.geometry = resolved(folder, text_of(j["geometry"], "geometry"));
  motion::ReadOptions common;
  if (j.contains("read")) {
    if (!j["read"].is_object()) return "\"read\" needs an object of reading options";
    if (std::string why = apply_reading(j["read"], common, ""); !why.empty()) return "\"read\": " + why;
  }
  if (!j.contains("records") || !j["records"].is_array()) return "\"records\" needs a list of records";
  for (const Json& r : j["records"]) {
    Record record;
    record.options = common;
    const Json* files = &r;
    if (r.is_object()) {
      if (!r.contains("files")) return "a record object needs \"files\"";
      files = &r["files"];
      if (std::string why = apply_reading(r, record.options, "files"); !why.empty()) return "a record: " + why;
    }
    if (files->is_string()) {
      record.files.push_back(resolved(folder, files->get<std::string>()));
    } else if (files->is_array()) {
      for (const Json& f : *files) record.files.push_back(resolved(folder, text_of(f, "files")));
    } else {
      return "a record is a file name, a list of the files of its components, or an object with \"files\"";
    }
    s.records.push_back(std::move(record));
  }
  if (j.contains("direction")) s.direction = text_of(j["direction"], "direction");
  if (j.contains("target")) {
    std::string target = text_of(j["target"], "target");
    if (target.starts_with("csv:")) target = "csv:" + resolved(folder, target.substr(4));
    std::string why;
    s.target = motion::parse_design_spectrum(target, why);
    if (!s.target) return "\"target\": " + why;
  }
  if (j.contains("scale_range")) {
    const Json& range = j["scale_range"];
    if (range.is_array() && range.size() == 2 && range[0].is_number() && range[1].is_number())
      s.scale_range = std::pair{range[0].get<double>(), range[1].get<double>()};
    else if (range.is_string())
      s.scale_range = parse_range(range.get<std::string>());
    if (!s.scale_range) return "\"scale_range\" needs [TA, TB] or \"TA:TB\" in seconds";
  }
  if (j.contains("scale_rule")) {
    const auto rule = rule_from_name(text_of(j["scale_rule"], "scale_rule"));
    if (!rule) return "\"scale_rule\" takes fit, min90 or suite90";
    s.rule = *rule;
  }
  if (j.contains("periods")) {
    const Json& periods = j["periods"];
    if (periods.is_string()) {
      const auto list = parse_periods(periods.get<std::string>());
      if (!list) return "\"periods\" needs \"A:B:N\" or a list of periods";
      s.periods = *list;
    } else if (periods.is_array() && !periods.empty()) {
      for (const Json& p : periods) {
        if (!p.is_number() || !(p.get<double>() > 0)) return "\"periods\" needs positive periods";
        s.periods.push_back(p.get<double>());
      }
    } else {
      return "\"periods\" needs \"A:B:N\" or a list of periods";
    }
  }
  if (j.contains("damping")) {
    if (!j["damping"].is_number()) return "\"damping\" needs a ratio";
    s.damping = j["damping"].get<double>();
  }
  if (j.contains("end_time")) {
    const std::string end = text_of(j["end_time"], "end_time");
    if (end != "record" && end != "keep") return "\"end_time\" takes record or keep";
    s.keep_end_time = end == "keep";
  }
  if (j.contains("out")) s.out_dir = resolved(folder, text_of(j["out"], "out"));
  else s.out_dir = folder.empty() ? "." : folder.string();
  if (j.contains("jobs")) {
    if (!j["jobs"].is_number_integer() || j["jobs"].get<long long>() < 1) return "\"jobs\" needs a number from 1";
    s.jobs = static_cast<unsigned>(j["jobs"].get<long long>());
  }
  return {};
}

// A path as the study file keeps it: relative to the file's folder where it lies below it, so
// that a study folder can be moved whole.
std::string kept_path(const std::string& path, const fs::path& folder) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec).lexically_normal();
  const fs::path base = fs::absolute(folder.empty() ? fs::path(".") : folder, ec).lexically_normal();
  const fs::path relative = absolute.lexically_relative(base);
  if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
  return absolute.generic_string();
}

// The reading options that differ from the defaults, as the keys apply_reading takes.
Json reading_of(const motion::ReadOptions& o) {
  Json j = Json::object();
  if (o.format != motion::Format::automatic) j["format"] = std::string(motion::format_name(o.format));
  if (o.file_unit) j["units"] = std::string(motion::unit_name(*o.file_unit));
  if (o.first_line != 0) j["first_line"] = o.first_line;
  if (o.time_column) j["time_column"] = *o.time_column;
  if (!o.value_columns.empty()) {
    std::string columns;
    for (std::size_t c : o.value_columns) columns += (columns.empty() ? "" : ",") + std::to_string(c);
    j["columns"] = columns;
  }
  if (o.time_step) j["dt"] = *o.time_step;
  if (o.resample_step) j["resample"] = *o.resample_step;
  if (o.scale != 1.0) j["scale"] = o.scale;
  return j;
}

}  // namespace

std::string suite_file_text(const Settings& s, const std::string& target_text, const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  Json j = Json::object();
  j["template"] = kept_path(s.template_path, folder);
  j["case"] = s.case_number;
  if (s.geometry) j["geometry"] = kept_path(*s.geometry, folder);
  Json records = Json::array();
  for (const Record& r : s.records) {
    Json files = Json::array();
    for (const std::string& f : r.files) files.push_back(kept_path(f, folder));
    Json entry = reading_of(r.options);
    if (entry.empty()) {
      records.push_back(files.size() == 1 ? files[0] : files);
    } else {
      entry["files"] = files;
      records.push_back(entry);
    }
  }
  j["records"] = records;
  if (!s.direction.empty()) j["direction"] = s.direction;
  if (s.target) {
    std::string target = target_text;
    if (target.starts_with("csv:")) target = "csv:" + kept_path(target.substr(4), folder);
    j["target"] = target;
  }
  if (s.scale_range) j["scale_range"] = {s.scale_range->first, s.scale_range->second};
  if (s.rule != Rule::none) j["scale_rule"] = std::string(rule_name(s.rule));
  if (!s.periods.empty()) j["periods"] = s.periods;
  j["damping"] = s.damping;
  j["end_time"] = s.keep_end_time ? "keep" : "record";
  j["out"] = kept_path(s.out_dir, folder);
  if (s.jobs > 0) j["jobs"] = s.jobs;
  return j.dump(2) + "\n";
}

std::optional<std::pair<double, double>> parse_range(std::string_view text) {
  const std::size_t colon = text.find(':');
  double from = 0, to = 0;
  if (colon == std::string_view::npos || !parse_real(text.substr(0, colon), from) ||
      !parse_real(text.substr(colon + 1), to))
    return std::nullopt;
  return std::pair{from, to};
}

std::optional<std::vector<double>> parse_periods(std::string_view text) {
  const std::size_t first = text.find(':');
  const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
  double from = 0, to = 0;
  int count = 0;
  if (second == std::string_view::npos || !parse_real(text.substr(0, first), from) ||
      !parse_real(text.substr(first + 1, second - first - 1), to) || !parse_int(text.substr(second + 1), count))
    return std::nullopt;
  if (!(from > 0 && to > from && count >= 2 && count <= 10000)) return std::nullopt;
  return motion::log_periods(from, to, static_cast<std::size_t>(count));
}

std::optional<Rule> rule_from_name(std::string_view name) {
  if (name == "fit") return Rule::fit;
  if (name == "min90") return Rule::min90;
  if (name == "suite90") return Rule::suite90;
  return std::nullopt;
}

bool read_suite_file(const std::string& path, Settings& settings, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  if (!in || fs::is_directory(path)) {
    why = "the study file \"" + path + "\" cannot be read";
    return false;
  }
  std::stringstream content;
  content << in.rdbuf();
  const Json j = Json::parse(content.str(), nullptr, false);
  if (j.is_discarded()) {
    why = path + ": not JSON";
    return false;
  }
  try {
    why = read_settings(j, fs::path(path).parent_path(), settings);
  } catch (const std::exception& e) {
    why = e.what();
  }
  if (!why.empty()) why = path + ": " + why;
  return why.empty();
}

}  // namespace suite

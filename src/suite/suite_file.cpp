#include "suite/suite_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <nlohmann/json.hpp>

#include "files/regular_file.h"
#include "motion/read_options.h"
#include "suite/options.h"
#include "motion/spectrum.h"
#include "text/number_parse.h"

namespace suite {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// A value the command line would give as a word.
// Numbers as the file writes them, digit for digit, so that the option's own check sees the
// number itself ("case": 4294967297 is no case number, not case 1).
std::optional<std::string> scalar_word(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number()) return value.dump();
  return std::nullopt;
}

// A list of scalars joined by `separator`, as the command line writes a list in one word.
std::optional<std::string> word_of(const Json& value, char separator = ',') {
  if (!value.is_array()) return scalar_word(value);
  std::string joined;
  for (const Json& item : value) {
    const auto word = scalar_word(item);
    if (!word) return std::nullopt;
    joined += (joined.empty() ? "" : std::string(1, separator)) + *word;
  }
  return joined;
}

// The deepest nesting of lists and objects in JSON text, counted before it is parsed.
int nesting_depth(std::string_view text) {
  int depth = 0, deepest = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\') ++i;
      else if (c == '"') in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
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
std::string apply_reading(const Json& object, motion::ReadOptions& options, std::initializer_list<std::string_view> skip) {
  for (const auto& [key, value] : object.items()) {
    if (std::find(skip.begin(), skip.end(), key) != skip.end()) continue;
    const std::string option = option_of_key(key);
    // A record's own scale factor (as the Import dialog takes it) comes before the suite's.
    if (!is_reading_option(option) && option != "--scale") return "\"" + key + "\" is no reading option of a record";
    const auto word = word_of(value);
    if (!word) return "\"" + key + "\" needs a text or a number";
    if (std::string why = motion::apply_read_option(option, *word, options); !why.empty()) return why;
  }
  return {};
}

// A record object's own reading options and processing.
std::string record_options(const Json& r, Record& record) {
  if (std::string why = apply_reading(r, record.options, {"files", "process"}); !why.empty()) return why;
  if (!r.contains("process")) return {};
  if (!r["process"].is_string()) return "\"process\" needs a text such as \"highpass=auto\"";
  motion::ProcessingOptions processing;
  if (std::string why = parse_processing(r["process"].get<std::string>(), processing); !why.empty())
    return "\"process\" " + why;
  record.processing = processing;
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
                                     "scale_range", "scale_rule", "periods", "damping", "end_time", "out", "jobs",
                                     "process", "code", "structure_periods", "t90", "tolerance"};
  for (const auto& [key, value] : j.items())
    if (std::find(std::begin(keys), std::end(keys), key) == std::end(keys)) return "\"" + key + "\" is no setting of a suite";
  if (!j.contains("template")) return "\"template\" is missing";
  s.template_path = resolved(folder, text_of(j["template"], "template"));
  if (!j.contains("case")) return "\"case\" needs the number of the accelerogram case";
  motion::ReadOptions common;
  if (j.contains("read")) {
    if (!j["read"].is_object()) return "\"read\" needs an object of reading options";
    if (std::string why = apply_reading(j["read"], common, {}); !why.empty()) return "\"read\": " + why;
  }
  if (!j.contains("records") || !j["records"].is_array()) return "\"records\" needs a list of records";
  for (const Json& r : j["records"]) {
    Record record;
    record.options = common;
    const Json* files = &r;
    if (r.is_object()) {
      if (!r.contains("files")) return "a record object needs \"files\"";
      files = &r["files"];
      if (std::string why = record_options(r, record); !why.empty()) return "a record: " + why;
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
  // Every other setting is the command line's option of its name, checked as the option is.
  for (const auto& [key, value] : j.items()) {
    if (key == "template" || key == "read" || key == "records") continue;
    std::optional<std::string> word = word_of(value, key == "scale_range" ? ':' : ',');
    if (!word) return "\"" + key + "\" needs a text, a number or a list of them";
    if (key == "geometry" || key == "out") word = resolved(folder, *word);
    if (key == "target" && word->starts_with("csv:")) word = "csv:" + resolved(folder, word->substr(4));
    if (std::string why = apply_suite_option(option_of_key(key), *word, s); !why.empty()) return "\"" + key + "\": " + why;
  }
  if (!j.contains("out")) s.out_dir = folder.empty() ? "." : folder.string();
  complete_settings(s);
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
    if (r.processing) entry["process"] = processing_word(*r.processing);
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
  if (s.rule != Rule::none) j["scale_rule"] = std::string(motion::scale_rule_name(s.rule));
  if (!s.periods.empty()) j["periods"] = s.periods;
  j["damping"] = s.damping;
  j["end_time"] = s.keep_end_time ? "keep" : "record";
  j["out"] = kept_path(s.out_dir, folder);
  if (s.jobs > 0) j["jobs"] = s.jobs;
  if (s.processing) j["process"] = processing_word(*s.processing);
  if (s.code) j["code"] = std::string(code_name(*s.code));
  if (!s.structure_periods.empty()) j["structure_periods"] = s.structure_periods;
  if (s.t90) j["t90"] = *s.t90;
  if (s.tolerance) j["tolerance"] = *s.tolerance;
  // A name that is not UTF-8 cannot stand in JSON as it is: it is written with replacement
  // characters, so that reading the file back names the record it cannot open instead of the
  // program stopping here.
  return j.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool read_suite_file(const std::string& path, Settings& settings, std::string& why) {
  std::string content;
  const files::FileRead read = files::read_regular_file(path, content, max_study_file_bytes);
  if (read.status == files::FileReadStatus::too_large) {
    why = path + ": larger than " + files::size_limit_words(max_study_file_bytes);
    return false;
  }
  if (read.status != files::FileReadStatus::ok) {
    why = "the study file \"" + path + "\" cannot be read";
    if (read.status == files::FileReadStatus::not_regular)
      why += ": it is " + std::string(files::kind_words(read.kind, false)) + ", not a file";
    return false;
  }
  if (!read_suite_text(content, fs::path(path).parent_path().string(), settings, why)) {
    why = path + ": " + why;
    return false;
  }
  return true;
}

bool read_suite_text(std::string_view content, const std::string& folder, Settings& settings, std::string& why) {
  if (content.size() > max_study_file_bytes) {
    why = "larger than " + files::size_limit_words(max_study_file_bytes);
    return false;
  }
  if (nesting_depth(content) > max_study_file_depth) {
    why = "lists and objects nested deeper than " + std::to_string(max_study_file_depth);
    return false;
  }
  const Json j = Json::parse(content, nullptr, false);
  if (j.is_discarded()) {
    why = "not JSON";
    return false;
  }
  try {
    why = read_settings(j, fs::path(folder), settings);
  } catch (const std::exception& e) {
    why = e.what();
  }
  return why.empty();
}

}  // namespace suite

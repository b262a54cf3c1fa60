// The analysis in memory: the general data, the damping block and every loading case with its
// sections, as the loading file holds them. The codec writes the file from it and reads a file
// into it; nothing here touches a file.
//
// A section knows whose layout its records take. One that a loaded file gave keeps the
// reader's layout (node fields as wide as the widest number, plain G14.7 texts, the reader's
// end lines) and, for an accelerogram, the file's own spelling of each number, until it is
// edited: a file loaded and written again is the same file.
#pragma once

#include <cstddef>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "model/discrete_loading.h"
#include "model/domain_codes.h"
#include "model/general_data.h"
#include "model/loaded_texts.h"
#include "model/state.h"
#include "text/fixed_text.h"

namespace model {

enum class SectionLayout {
  editor,    // as the case's editor saves it
  loaded,    // as LOAD from Old File took it apart
  verbatim,  // lines kept as they stand: a case file taken back from a stopped run, or a
             // section made for a model whose size has changed since
};

// A verbatim section's lines, shared by the copies of the analysis that Create and the suite make.
class KeptLines {
 public:
  KeptLines() noexcept {}  // user-provided: brace-initialised styles start with no lines
  explicit KeptLines(std::string lines) : lines_(std::make_shared<const std::string>(std::move(lines))) {}
  explicit operator bool() const { return lines_ != nullptr; }
  const std::string& operator*() const { return *lines_; }

  friend bool operator==(const KeptLines&, const KeptLines&) = default;

 private:
  std::shared_ptr<const std::string> lines_;
};

// Whose records a section writes and the language of its end line, both fixed when it was made.
struct SectionStyle {
  SectionLayout layout = SectionLayout::editor;
  bool romanian = false;
  // verbatim: the section's lines, as its case file holds them (the data below is not used).
  KeptLines lines{};

  friend bool operator==(const SectionStyle&, const SectionStyle&) = default;
};

// Initial conditions or initial loadings: node ranges, then the end line.
struct RangeSection {
  SectionStyle style;
  std::vector<NodeRange> ranges;

  friend bool operator==(const RangeSection&, const RangeSection&) = default;
};

// An accelerogram case's initial conditions end with the three initial accelerations.
struct InitialConditions : RangeSection {
  bool with_accelerations = false;
  float acceleration[3] = {0, 0, 0};  // X, Y, Z

  friend bool operator==(const InitialConditions&, const InitialConditions&) = default;
};

// Sinusoidal or exponential amplitudes.
struct AmplitudeLoading {
  LoadingType type = LoadingType::sinusoidal;  // its case file: TPsin.dat or TPexp.dat
  std::vector<NodeRange> ranges;

  friend bool operator==(const AmplitudeLoading&, const AmplitudeLoading&) = default;
};

struct Accelerogram {
  LoadingType type = LoadingType::accelerogram_3_directions;  // the layout it was saved in
  AccelDirection direction = AccelDirection::none;
  std::vector<AccelPoint> points;
  LoadedTexts texts;  // loaded: one entry per point; none when edited or read only to check

  friend bool operator==(const Accelerogram&, const Accelerogram&) = default;
};

struct Loading {
  SectionStyle style;
  std::variant<DiscreteLoading, AmplitudeLoading, Accelerogram> data;

  friend bool operator==(const Loading&, const Loading&) = default;
};

// The kinds of loading data a case keeps side by side: a case whose loading type changes keeps
// what was entered for the others and finds it again when its type comes back.
enum class LoadingKind { discrete, sinusoidal, exponential, accelerogram };
inline constexpr std::size_t loading_kinds = 4;
LoadingKind loading_kind(LoadingType type);  // one- and three-direction accelerograms share one

// One loading case: its record and sections, which the loading file holds, and what the run
// knows of them.
struct Case {
  CaseRecord record;
  // What LOAD from Old File read for the case, when it read one: each pass through the Loading
  // Cases dialog starts the case from it, and a loaded case's sections keep the reader's layout
  // only while its loading type is the one the file gave.
  std::optional<CaseRecord> loaded;
  bool processed = false;  // added in the Loading Cases dialog
  // The processing steps of the record imported into the case's accelerogram, one
  // "step N: TEXT" a line as `brantel process` writes them; empty when it was imported as read.
  std::string accel_processing;
  bool loading_saved = false;
  bool initial_values_saved = false;
  // A section not there (a case never edited, or given up by LOAD) is written as its end line.
  std::optional<InitialConditions> initial_conditions;
  std::optional<RangeSection> initial_loadings;
  std::array<std::optional<Loading>, loading_kinds> loadings{};

  std::optional<Loading>& loading(LoadingKind kind) { return loadings[static_cast<std::size_t>(kind)]; }
  const std::optional<Loading>& loading(LoadingKind kind) const { return loadings[static_cast<std::size_t>(kind)]; }
  // The loading the file holds: the one of the case's loading type, when there is one.
  const Loading* loading_of_type() const;

  friend bool operator==(const Case&, const Case&) = default;
};

struct Analysis {
  GeneralData general;
  Damping damping;
  // The direction of a one-direction accelerogram chosen last: a loaded file does not say it.
  AccelDirection accel_direction = AccelDirection::none;
  std::vector<Case> cases;  // case i at cases[i - 1]; general.n_loading_cases may name more

  bool has_case(int case_number) const {
    return case_number >= 1 && case_number <= static_cast<int>(cases.size());
  }
};

}  // namespace model

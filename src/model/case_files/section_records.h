// The records of a case's sections, from the analysis in memory: the same lines make the case
// file that SAVE leaves in the run's folder and the section of the loading file. Each section
// is written in the layout it was made in (model/analysis.h).
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "model/analysis.h"

namespace model::case_files {

inline constexpr std::size_t copied_line_length = 132;

// A case-file line as the loading file holds it: cut to 132 characters, trailing blanks removed.
std::string_view copied_line(std::string_view line);

// The component slots of node_range that each kind of range record carries, in file order.
struct ComponentSlots {
  int slot[6];
  int count;
};
ComponentSlots initial_condition_slots(int n_dof);  // displacements 1..n, velocities 4..3+n
ComponentSlots initial_loading_slots(int n_dof);    // mass 1, loads 4..3+n
ComponentSlots load_slots(int n_dof);               // loads or amplitudes 1..n

// Whether a case file's text holds a line the loading file would copy: one that holds only
// blanks stands for no section at all.
bool has_data(std::string_view case_file);

// Whether `record` is the loaded point record of `texts` (constants of the record) as the
// case file holds it: the texts three blanks apart, nothing before or after, short enough to
// be copied whole.
bool is_point_record(std::string_view record, std::span<const std::string_view> texts);

enum class LineForm {
  case_file,     // each line as it is made
  loading_file,  // each line as copied_line makes it
};

// Each appends the section's lines to `out`, every one ended by CR LF, its end line included.
void append_initial_conditions(std::string& out, const InitialConditions& section, const GeneralData& g,
                               LineForm form);
void append_initial_loadings(std::string& out, const RangeSection& section, const GeneralData& g, LineForm form);
// Takes the lines made so far and empties the string: a long loading goes to its file a block
// at a time instead of being held whole beside the analysis.
using Drain = std::function<void(std::string&)>;
void append_loading(std::string& out, const Loading& loading, int case_number, const GeneralData& g, LineForm form,
                    const Drain& drain = {});

}  // namespace model::case_files

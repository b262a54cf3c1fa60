// Record layouts of the node-range editors' case scratch files: the initial conditions file
// (init.dat), the initial loading file (InitLoad.dat), the discrete loading file (TP.dat) and
// the sinusoidal / exponential amplitude files (TPsin.dat, TPexp.dat), and the readers of each.
// A discrete loading LOAD took apart is written with these builders too; its other sections
// keep the layout section_records.cpp gives them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "model/analysis.h"
#include "model/case_files/atomic_file.h"
#include "model/state.h"
#include "text/free_form.h"
#include "text/number_parse.h"

namespace model::case_files {

// ---- init.dat -------------------------------------------------------------------------
// (Ik,TR2,Ik,TR2,n(A14),TR2,n(A14)), k = digit_count(n_nodes), n = n_dof: the displacements
// are components 1..n_dof, the velocities components 4..3+n_dof.
std::string conditions_record(const model::NodeRange& range, int n_nodes, int n_dof);
std::string_view conditions_end_record(bool romanian);  // End_of_Initial_Conditions
// Accelerogram cases only, after the end record: the three initial accelerations, free form.
std::string acceleration_record(const float (&acceleration)[3]);
// One free-form read of a conditions entry; `range` changes only when the read succeeds.
text::ReadStatus read_conditions_entry(text::RecordSource& source, int n_dof, model::NodeRange& range);

// ---- InitLoad.dat ---------------------------------------------------------------------
// (Ik,TR2,Ik,TR2,A14,n(A14,TR2)): the mass is component 1, the loadings components 4..3+n_dof.
std::string loadings_record(const model::NodeRange& range, int n_nodes, int n_dof);
std::string_view loadings_end_record(bool romanian);  // End_of_Initial_Loading
text::ReadStatus read_loadings_entry(text::RecordSource& source, int n_dof, model::NodeRange& range);

// ---- TPsin.dat / TPexp.dat ------------------------------------------------------------
// (Ik,TR2,Ik,TR2,n(TR2,A14)): amplitudes are components 1..n_dof.
std::string amplitude_record(const model::NodeRange& range, int n_nodes, int n_dof);
text::ReadStatus read_amplitude_entry(text::RecordSource& source, int n_dof, model::NodeRange& range);

// ---- TP.dat ---------------------------------------------------------------------------
// Per time point a free-form time record, then one free-form record per range (first node,
// last node, components 1..n_dof); no separator lines; END_OF_CASE<n> closes the file.
std::string time_record(float time);
std::string discrete_range_record(const model::NodeRange& range, int n_dof);
// The same records appended to `out`, without a record of their own: a file of 10^5 time
// points is made in one string. Neither is ever longer than its _max.
void append_time_record(std::string& out, float time);
// What the range records of one file remember from one to the next: the texts of recent
// component values and of recent node pairs. The loads of a file repeat from range to range,
// and its node ranges from time point to time point.
class DiscreteRecordTexts {
 public:
  static constexpr std::size_t nodes_max = 2 * (1 + 11);  // " first last"
  // " first last" at `out`, which has room for nodes_max characters; returns its end.
  char* put_nodes(int first, int last, char* out) {
    const std::uint64_t key = std::uint64_t{static_cast<std::uint32_t>(first)} << 32 | static_cast<std::uint32_t>(last);
    Slot& slot = slots_[(key * 0x9E3779B97F4A7C15u) >> 58];
    if (slot.length == 0 || slot.key != key) fill(slot, first, last, key);
    std::memcpy(out, slot.text, nodes_max);
    return out + slot.length;
  }
  char* put_value(float value, char* out) { return values_.put(value, out); }

 private:
  struct Slot {
    std::uint64_t key = 0;
    std::uint8_t length = 0;  // 0: empty
    char text[nodes_max]{};
  };
  static void fill(Slot& slot, int first, int last, std::uint64_t key);
  Slot slots_[64];
  text::FreeFormRealTexts values_;
};
void append_discrete_range_record(std::string& out, const model::NodeRange& range, int n_dof,
                                  DiscreteRecordTexts* texts = nullptr);
constexpr std::size_t time_record_max = 1 + text::free_form_real_max;
constexpr std::size_t discrete_range_record_max = DiscreteRecordTexts::nodes_max + 3 * (1 + text::free_form_real_max);
// The same records written at `out`, which has room for the _max; each returns the record's end.
char* put_time_record(char* out, float time);
char* put_discrete_range_record(char* out, const model::NodeRange& range, int n_dof,
                                DiscreteRecordTexts* texts = nullptr);
text::ReadStatus read_discrete_range(text::RecordSource& source, int n_dof, model::NodeRange& range);

// The time points of a TP.dat, read by the one reader of the layout (point_records.h) up to
// the end line or the end of the text.
model::DiscreteLoading read_discrete_loading(text::RecordSource& source, int n_dof);

// Final record of the loading data files (TP, TPsin, TPexp): END_OF_CASE<case_number>.
std::string end_of_case_record(int case_number);

// ---- files ----------------------------------------------------------------------------
// Replaces the file with these records, each ended by CR LF, as model::case_files::replace_file does:
// a failed write leaves the old file whole. false with `reason` set when it cannot be written.
bool write_records(const std::string& path, const std::vector<std::string>& records,
                   std::string& reason);

}  // namespace model::case_files

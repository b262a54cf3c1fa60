// What each line of a loading file is, for a person reading it: a compact entry per line,
// filled as the reader goes (on any thread), and a label made from it only when a line is shown.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "loadfile/record_trace.h"

namespace loadfile {

struct LineEntry {
  RecordKind kind = RecordKind::not_read;
  std::uint8_t case_number = 0;  // cases are 1 to 99
  std::uint8_t detail = 0;       // coefficients, loading parameters: their count; else the damping type
  bool continued = false;        // a later line of a record that began on `anchor`
  std::uint32_t anchor = 0;      // the record's first line; for loads, the line of their time
};

// Told of the records by the reader; entries of lines below labelled_lines() are final and
// may be read by another thread than the reader's.
class LineTable final : public ReadObserver {
 public:
  explicit LineTable(std::size_t n_lines) : entries_(n_lines) {}

  void on_record(const RecordEvent& event) override;
  bool stop_requested() const override { return stop_.load(std::memory_order_relaxed); }
  void request_stop() { stop_.store(true, std::memory_order_relaxed); }
  // Every line is final: the reading ended (the lines it did not reach stay not_read).
  void finish() { done_.store(entries_.size(), std::memory_order_release); }

  std::size_t size() const { return entries_.size(); }
  std::size_t labelled_lines() const { return done_.load(std::memory_order_acquire); }
  const LineEntry& entry(std::size_t line) const { return entries_[line]; }

 private:
  std::vector<LineEntry> entries_;
  std::atomic<std::size_t> done_{0};
  std::atomic<bool> stop_{false};
  std::uint32_t time_line_ = 0;   // the last time record's line
  int damping_type_ = 0;          // of the case being read
};

// The label of a line: "case 2 · tolerance, iteration limit", "case 1 · time 0.1 sec · nodes
// 10–12 loads". `text` is the line, `anchor_text` the line of the entry's anchor, `time_unit`
// the unit of times (from the header; may be empty).
std::string line_label(const LineEntry& entry, std::string_view text, std::string_view anchor_text,
                       std::string_view time_unit);

// The second of the three units of the header's units line ("// Basic UNITS: m; sec; kN"),
// or nothing when `line` is no units line.
std::string time_unit_of(std::string_view line);

}  // namespace loadfile

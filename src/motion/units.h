// Units of acceleration of ground-motion records, with exact conversion factors.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace motion {

enum class Unit {
  g,        // standard gravity, 9.80665 m/s2 exactly
  milli_g,  // 0.001 g, a unit some strong-motion files use
  m_s2,     // m/s2
  cm_s2,    // cm/s2, the gal
  mm_s2,    // mm/s2
  in_s2,    // in/s2, 1 in = 0.0254 m
  ft_s2,    // ft/s2, 1 ft = 0.3048 m
};

// The short name used in messages and on the command line ("g", "m/s2", "cm/s2", ...).
std::string_view unit_name(Unit unit);

// The unit a text names, in the spellings records and people use: "g", "G", "m/s2",
// "m/sec^2", "cm/s/s", "CM/SEC2", "gal", "in/s2", ... Empty when it names none of them.
std::optional<Unit> unit_from_text(std::string_view text);

// The value of one unit in m/s2 (rounded once from the exact decimal).
double unit_in_m_s2(Unit unit);

// The size in metres of a model's length unit named in its geometry file ("m", "mm", "cm",
// "in", "ft", spelled out or abbreviated); empty when the name is none of them, and the
// factor must come from the user.
std::optional<double> length_unit_metres(std::string_view name);

// The unit values are converted into: a named unit, or the model's length unit per s2 given
// by the size of that length unit in metres.
class TargetUnit {
 public:
  TargetUnit(Unit unit = Unit::m_s2);  // NOLINT: a named unit is a target
  // `metres` must be positive and finite; a size that is exactly a named unit's becomes it,
  // so that its factors stay exact.
  static TargetUnit length_per_s2(double metres, std::string name);

  // What a value in `from` is multiplied by to be in this unit.
  double factor_from(Unit from) const;
  // The size of this unit in m/s2.
  double in_m_s2() const { return unit_ ? unit_in_m_s2(*unit_) : metres_; }
  const std::string& name() const { return name_; }

 private:
  std::optional<Unit> unit_;
  double metres_ = 1.0;
  std::string name_;
};

}  // namespace motion

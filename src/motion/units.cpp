#include "motion/units.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace motion {
namespace {

// Every unit is a whole number of 1e-8 m/s2, so the ratio of two units is one division of
// exact integers: a single rounding, and 1 g is 980.665 cm/s2 to the last bit.
std::int64_t hundred_millionths(Unit unit) {
  switch (unit) {
    case Unit::g: return 980'665'000;
    case Unit::milli_g: return 980'665;
    case Unit::m_s2: return 100'000'000;
    case Unit::cm_s2: return 1'000'000;
    case Unit::mm_s2: return 100'000;
    case Unit::in_s2: return 2'540'000;
    case Unit::ft_s2: return 30'480'000;
  }
  return 100'000'000;
}

constexpr std::array all_units{Unit::g, Unit::milli_g, Unit::m_s2, Unit::cm_s2,
                               Unit::mm_s2, Unit::in_s2, Unit::ft_s2};

// Lower case, no blanks, "sec" as "s", "^2" / "**2" / "/s/s" as "2".
std::string normalised(std::string_view text) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != '\t') s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto replace_all = [&s](std::string_view from, std::string_view to) {
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
      s.replace(p, from.size(), to);
  };
  replace_all("sec", "s");
  replace_all("\xc2\xb2", "2");  // a superscript two
  replace_all("^2", "2");
  replace_all("**2", "2");
  replace_all("/s/s", "/s2");
  replace_all("inch/", "in/");
  replace_all("in./", "in/");
  replace_all("feet/", "ft/");
  return s;
}

}  // namespace

std::string_view unit_name(Unit unit) {
  switch (unit) {
    case Unit::g: return "g";
    case Unit::milli_g: return "mg";
    case Unit::m_s2: return "m/s2";
    case Unit::cm_s2: return "cm/s2";
    case Unit::mm_s2: return "mm/s2";
    case Unit::in_s2: return "in/s2";
    case Unit::ft_s2: return "ft/s2";
  }
  return "m/s2";
}

std::optional<Unit> unit_from_text(std::string_view text) {
  const std::string s = normalised(text);
  if (s == "g") return Unit::g;
  if (s == "gal") return Unit::cm_s2;
  for (Unit unit : all_units)
    if (s == unit_name(unit)) return unit;
  return std::nullopt;
}

std::optional<double> length_unit_metres(std::string_view name) {
  std::string s = normalised(name);
  while (!s.empty() && s.back() == '.') s.pop_back();
  struct Length {
    std::string_view names[6];
    Unit per_s2;
  };
  static constexpr Length lengths[] = {
      {{"m", "meter", "meters", "metre", "metres", "metri"}, Unit::m_s2},
      {{"cm", "centimeter", "centimeters", "centimetre", "centimetres", "centimetri"}, Unit::cm_s2},
      {{"mm", "millimeter", "millimeters", "millimetre", "millimetres", "milimetri"}, Unit::mm_s2},
      {{"in", "inch", "inches", "", "", ""}, Unit::in_s2},
      {{"ft", "foot", "feet", "", "", ""}, Unit::ft_s2},
  };
  for (const Length& length : lengths)
    for (std::string_view n : length.names)
      if (!n.empty() && s == n) return unit_in_m_s2(length.per_s2);
  return std::nullopt;
}

double unit_in_m_s2(Unit unit) { return static_cast<double>(hundred_millionths(unit)) / 1e8; }

TargetUnit::TargetUnit(Unit unit) : unit_(unit), name_(unit_name(unit)) {}

TargetUnit TargetUnit::length_per_s2(double metres, std::string name) {
  TargetUnit target;
  target.unit_.reset();
  target.metres_ = metres;
  target.name_ = std::move(name);
  for (Unit unit : all_units)
    if (unit != Unit::g && unit != Unit::milli_g && unit_in_m_s2(unit) == metres) target.unit_ = unit;
  return target;
}

double TargetUnit::factor_from(Unit from) const {
  if (unit_)
    return static_cast<double>(hundred_millionths(from)) / static_cast<double>(hundred_millionths(*unit_));
  return unit_in_m_s2(from) / metres_;
}

}  // namespace motion

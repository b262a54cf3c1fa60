// Our output layouts against gfortran's runtime, byte for byte, over random bit patterns of
// every exponent and the values around each rounding boundary.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "gfortran_support.h"
#include "text/fixed_text.h"
#include "text/format.h"

namespace {

float from_bits(std::uint32_t bits) { return std::bit_cast<float>(bits); }
std::uint32_t to_bits(float v) { return std::bit_cast<std::uint32_t>(v); }

void add_with_neighbours(std::vector<float>& values, double centre, int steps) {
  const float f = static_cast<float>(centre);
  for (const float sign : {1.0f, -1.0f}) {
    float up = f, down = f;
    values.push_back(sign * f);
    for (int i = 0; i < steps; ++i) {
      up = std::nextafter(up, std::numeric_limits<float>::infinity());
      down = std::nextafter(down, 0.0f);
      values.push_back(sign * up);
      values.push_back(sign * down);
    }
  }
}

std::vector<float> test_values() {
  std::vector<float> values;
  std::mt19937 random(20240611);
  for (int i = 0; i < 100000; ++i) values.push_back(from_bits(random()));
  // Each power of ten, and the point below it where rounding to d digits reaches it.
  for (int j = -46; j <= 39; ++j) {
    const double power = std::pow(10.0, j);
    add_with_neighbours(values, power, 8);
    for (const int d : {3, 4, 6, 7, 8}) add_with_neighbours(values, power * (1.0 - 0.5 * std::pow(10.0, -d)), 8);
  }
  // Exact ties at 7, 6 and 4 significant digits.
  for (int i = 0; i < 1000; ++i) {
    values.push_back(static_cast<float>(10000005 + 10 * i));
    values.push_back(static_cast<float>(1000005 + 10 * i));
    values.push_back(static_cast<float>(10005 + 10 * i));
  }
  for (const float v : {0.0f, std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min(),
                        std::numeric_limits<float>::max(), std::numeric_limits<float>::infinity(), 0.125f, 2.5f}) {
    values.push_back(v);
    values.push_back(-v);
  }
  values.push_back(std::numeric_limits<float>::quiet_NaN());
  return values;
}

struct Layout {
  const char* name;
  std::size_t column;
  std::size_t width;
  int w, d, scale;
};

// gfortran picks the form by comparing with a boundary rounded to the value's own precision,
// so the last float below a power of ten p that stays below p at d digits is written as if it
// were p (0.99999994 by G14.7 gives 1.000000, where the value rounded to 7 digits is 0.9999999).
bool is_known_boundary_difference(float x, const Layout& layout, const std::string& ours, const std::string& theirs) {
  const double magnitude = std::fabs(static_cast<double>(x));
  if (!std::isfinite(magnitude) || magnitude == 0) return false;
  double power = std::pow(10.0, std::floor(std::log10(magnitude)) + 1);
  if (power / 10 > magnitude) power /= 10;
  if (magnitude < power * (1 - std::pow(10.0, -layout.d))) return false;
  const float p = std::copysign(static_cast<float>(power), x);
  // Ours must show the value below the power; theirs the power itself.
  const bool ours_below = std::fabs(std::strtod(ours.c_str(), nullptr)) < power;
  return ours_below && theirs == text::format_g(p, layout.w, layout.d, layout.scale);
}

TEST(FormatAgainstGfortran, FiveLayoutsAndTheirTidiedTexts) {
  SKIP_WITHOUT_GFORTRAN();
  const std::string dir = gfortran_support::scratch_directory("format");
  ASSERT_FALSE(dir.empty());
  const std::string exe = gfortran_support::compile("format_reference.f90", dir);
  ASSERT_FALSE(exe.empty()) << gfortran_support::read_all(dir + "/compile.log");
  const std::vector<float> values = test_values();
  {
    std::ofstream in(dir + "/values.bin", std::ios::binary);
    for (const float v : values) {
      const std::uint32_t bits = to_bits(v);
      in.write(reinterpret_cast<const char*>(&bits), sizeof bits);
    }
  }
  ASSERT_TRUE(gfortran_support::run(exe, dir + "/values.bin", dir + "/texts.txt"));
  std::ifstream out(dir + "/texts.txt");

  const Layout layouts[] = {{"G14.7", 0, 14, 14, 7, 0},
                            {"1P,G14.6", 14, 14, 14, 6, 1},
                            {"G16.6", 28, 16, 16, 6, 0},
                            {"F14.7", 44, 14, 14, 7, -1},
                            {"1P,G14.3", 58, 14, 14, 3, 1}};
  const std::function<std::string(float)> tidied[] = {text::g14_7_text, text::g1p14_6_text, text::f14_7_text};
  const char* tidied_names[] = {"G14.7", "1P,G14.6", "F14.7"};
  std::string line;
  int failures = 0, known = 0;
  for (std::size_t n = 0; n < values.size(); ++n) {
    ASSERT_TRUE(std::getline(out, line)) << "gfortran wrote " << n << " lines of " << values.size();
    ASSERT_EQ(line.size(), 129u) << line;
    const float x = values[n];
    bool boundary = false;
    for (const Layout& l : layouts) {
      const std::string theirs = line.substr(l.column, l.width);
      const std::string ours = l.scale < 0 ? text::format_f(x, l.w, l.d) : text::format_g(x, l.w, l.d, l.scale);
      if (ours == theirs) continue;
      if (l.scale >= 0 && is_known_boundary_difference(x, l, ours, theirs)) {
        ++known;
        boundary = true;
        continue;
      }
      if (++failures <= 20)
        ADD_FAILURE() << l.name << " of " << std::hexfloat << x << std::defaultfloat << " (" << x << "): ours ["
                      << ours << "] gfortran [" << theirs << "]";
    }
    if (boundary) continue;  // the tidied text of a known difference differs with it
    for (int k = 0; k < 3; ++k) {
      const std::string theirs(text::trim_right(line.substr(72 + 14 * k, 14)));
      const std::string ours = tidied[k](x);
      if (ours != theirs && ++failures <= 20)
        ADD_FAILURE() << "tidied " << tidied_names[k] << " of " << x << ": ours [" << ours << "] gfortran [" << theirs
                      << "]";
    }
  }
  EXPECT_EQ(failures, 0);
  std::printf("compared %zu values by 5 layouts; %d known boundary differences\n", values.size(), known);
  gfortran_support::remove_directory(dir);
}

}  // namespace

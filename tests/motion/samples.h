// Synthetic records in each format, written for these tests (no real record is copied), and
// the reference for converted values.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "motion/reader.h"

namespace motion_samples {

// A decimal value times a unit factor, both read as long doubles: a reference that does not go
// through the reader's integer factors.
inline double exact(const char* decimal, const char* factor = "1") {
  return static_cast<double>(std::strtold(decimal, nullptr) * std::strtold(factor, nullptr));
}

inline void expect_values(const std::vector<double>& actual, const std::vector<const char*>& decimals,
                          const char* factor) {
  ASSERT_EQ(actual.size(), decimals.size());
  for (std::size_t i = 0; i < actual.size(); ++i)
    EXPECT_DOUBLE_EQ(actual[i], exact(decimals[i], factor)) << "value " << i << " (" << decimals[i] << ")";
}

inline motion::ReadResult read(const std::string& content, motion::ReadOptions options = {}) {
  return motion::read_motion_text(content, options);
}

inline std::string problems_of(const motion::ReadResult& r) {
  std::string s;
  for (const auto& p : r.problems) s += std::to_string(p.line) + ": " + p.text + "\n";
  return s;
}

// A PEER file with the given fourth line and value rows.
inline std::string peer(const std::string& npts_line, const std::string& rows,
                        const std::string& quantity = "ACCELERATION TIME HISTORY IN UNITS OF G") {
  return "PEER NGA STRONG MOTION DATABASE RECORD (SYNTHETIC)\n"
         "Nowhere Event 2001, Test Station, 090\n" + quantity + "\n" + npts_line + "\n" + rows;
}

// The values every PEER variant test reads: rows of five, 15 wide, the last row short.
inline const std::string peer_rows =
    "  -.6403182E-02  8.6900441E-08  -0.558919E-03   .1000000E+00  -.2500000E+01\n"
    "  1.5000000E-01\n";
inline const std::vector<const char*> peer_values{"-.6403182E-02", "8.6900441E-08", "-0.558919E-03",
                                                  ".1000000E+00", "-.2500000E+01", "1.5000000E-01"};

// One COSMOS V2c channel: 13 text lines, 100 integers (10I8), 100 reals (5F15.6), comments,
// the descriptor and the values in the given layout.
// `stage` is the processing stage of integer-header value 1 (0 raw counts, 1 uncorrected, 2 corrected).
inline std::string cosmos_channel(const std::string& type, int data_type, const std::vector<std::string>& value_rows,
                                  int count, double interval_ms, double real_34, const std::string& descriptor_tail,
                                  int stage = 2) {
  std::string s = type + std::string(25 - type.size(), ' ') + " (Format v01.20 with 13 text lines) Src: synthetic\n";
  for (int i = 2; i <= 13; ++i) s += i == 6 ? "Values used when parameter or data value is unknown/unspecified:   -999, -999.0\n"
                                            : "Synthetic text line " + std::to_string(i) + "\n";
  s += " 100 Integer-header values follow on  10 lines, Format= (10I8)\n";
  std::vector<int> integers(100, -999);
  integers[0] = stage;
  integers[1] = data_type;
  integers[2] = 4;
  for (int line = 0; line < 10; ++line) {
    for (int k = 0; k < 10; ++k) {
      char field[16];
      std::snprintf(field, sizeof field, "%8d", integers[line * 10 + k]);
      s += field;
    }
    s += '\n';
  }
  s += " 100 Real-header values follow on  20 lines, Format= (5F15.6)\n";
  std::vector<double> reals(100, -999.0);
  reals[33] = real_34;
  reals[61] = interval_ms;
  for (int line = 0; line < 20; ++line) {
    for (int k = 0; k < 5; ++k) {
      char field[32];
      std::snprintf(field, sizeof field, "%15.6f", reals[line * 5 + k]);
      s += field;
    }
    s += '\n';
  }
  s += "   2 Comment line(s) follow, each starting with a \"|\":\n| synthetic comment one\n| two: 3.5 | 4\n";
  s += std::to_string(count) + descriptor_tail + "\n";
  for (const auto& row : value_rows) s += row + "\n";
  s += "End-of-data for Chan  1 acceleration\n";
  return s;
}

// CSMIP: a 25-line text header, glued integer and real headers, an acceleration and a velocity block.
inline std::string csmip_file() {
  std::string s;
  for (int i = 1; i <= 25; ++i) s += "Synthetic CSMIP text header line " + std::to_string(i) + "\r\n";
  s += "    5000130000000100001\r\n";                        // integers as I5, glued
  s += "    0.4776013-999.00000    1.0000    2.0000\r\n";      // reals as F10, glued
  s += "     5 points of accel data equally spaced at 0.005 sec, in cm/sec2. (8f10.6)\r\n";
  s += " 1.2500000-0.0001129-0.0001124 0.0000000\r\n";
  s += "-3.5000000\r\n";
  s += "     5 points of veloc data equally spaced at 0.005 sec, in cm/sec.  (8f10.6)\r\n";
  s += " 9.0000000 9.0000000 9.0000000 9.0000000 9.0000000\r\n";
  s += "/&  ----------  End of data for channel  1  ----------\r\n";
  return s;
}

// K-NET: 17 header lines by position, then counts.
inline std::string knet_file(const std::string& counts) {
  return "Origin Time       2001/01/01 00:00:00\nLat.              35.000\nLong.             139.000\n"
         "Depth. (km)       10\nMag.              5.0\nStation Code      SYN001\nStation Lat.      35.1\n"
         "Station Long.     139.1\nStation Height(m) 10\nRecord Time       2001/01/01 00:00:10\n"
         "Sampling Freq(Hz) 100Hz\nDuration Time(s)  0.05\nDir.              N-S\n"
         "Scale Factor      3920(gal)/6182761\nMax. Acc. (gal)   0.001\nLast Correction   2001/01/01 00:00:00\n"
         "Memo.\n" + counts;
}

}  // namespace motion_samples

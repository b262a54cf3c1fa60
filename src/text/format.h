// Output edit descriptors, record building, number texts.
#pragma once

#include <string>
#include <string_view>

namespace text {

// Iw / Iw.m: right-justified in w columns, at least m digits; w asterisks when it does not fit.
std::string format_i(int value, int w, int m = 0);
// I<k>: the decimal text with no blanks (w = digit_count(value)).
std::string format_ik(int value);
// Aw on output: right-justified when shorter, its first w characters when longer.
std::string format_a(std::string_view value, int w);
// Gw.d (scale 0) and 1P,Gw.d (scale 1) of a real; a float argument is widened exactly.
std::string format_g(double value, int w, int d, int scale = 0);
// Fw.d.
std::string format_f(double value, int w, int d);

// Shortens a number text in place, keeping its length (blank-padded).
void tidy_number_text(std::string& s);
// Characters of the decimal text of n: 1 for 0, digits of |n| plus one for a sign.
int digit_count(int n);

// The texts every dialog shows and the loading file writes: the value by the descriptor
// (in a field wide enough), tidied and trimmed.
std::string g14_7_text(float value);      // G14.7
std::string g1p14_6_text(float value);    // 1P,G14.6
std::string f14_7_text(float value);      // F14.7

// Whether `constant`, the text a real was read from, is already the G14.7 text of `value`,
// the float it reads as, so that a reader writing the value back can copy the text. Only
// texts in the very shape g14_7_text gives qualify, and only where the spacing of the floats
// around the value is finer than the seventh digit, which makes the digits the value's own.
bool is_g14_7_text(std::string_view constant, float value);

// One output record built item by item, in the order of its layout. TRn is held back until
// the next item is written, so a record never ends in the blanks of a trailing TRn.
class RecordWriter {
 public:
  RecordWriter& a(std::string_view value);            // A: all characters, trailing blanks included
  RecordWriter& a(std::string_view value, int w);     // Aw
  RecordWriter& i(int value, int w, int m = 0);       // Iw, Iw.m
  RecordWriter& ik(int value);                        // I<k>
  RecordWriter& g(double value, int w, int d);        // Gw.d
  RecordWriter& f(double value, int w, int d);        // Fw.d
  RecordWriter& tr(int n);                            // TRn
  RecordWriter& lit(std::string_view literal);        // 'text'
  const std::string& str() const { return record_; }

 private:
  void put(std::string_view s);
  std::string record_;
  int pending_blanks_ = 0;
};

}  // namespace text

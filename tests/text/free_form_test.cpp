// Free-form reading and writing, records, the input edit descriptors and the C conversions.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "text/free_form.h"
#include "text/number_parse.h"

namespace {

using text::ReadStatus;
using text::RecordSource;
using text::target;

TEST(RecordSource, SplitsOnLfAndCrLfWithoutTerminators) {
  RecordSource source("a\r\nb\n\nc\r\nlast");
  ASSERT_EQ(source.size(), 5u);
  EXPECT_EQ(source.record(0), "a");
  EXPECT_EQ(source.record(1), "b");
  EXPECT_EQ(source.record(2), "");
  EXPECT_EQ(source.record(3), "c");
  EXPECT_EQ(source.record(4), "last");
  EXPECT_EQ(RecordSource("x\n").size(), 1u);
  EXPECT_EQ(RecordSource("").size(), 0u);
  EXPECT_EQ(RecordSource("a\rb\n").record(0), "a\rb");  // a lone CR is data
  EXPECT_EQ(RecordSource("a\r").record(0), "a");       // a CR cut off from its LF at the end
  EXPECT_EQ(RecordSource("a\r\r\n").record(0), "a\r");
}

TEST(RecordSource, NextSeekAndLineNumbers) {
  RecordSource source("1\n2\n");
  std::string_view r;
  EXPECT_EQ(source.line_number(), 1u);
  ASSERT_TRUE(source.next(r));
  EXPECT_EQ(r, "1");
  ASSERT_TRUE(source.next(r));
  EXPECT_TRUE(source.at_end());
  EXPECT_FALSE(source.next(r));
  source.seek(1);
  ASSERT_TRUE(source.next(r));
  EXPECT_EQ(r, "2");
}

// The source keeps where some records begin only and finds the others from there: every
// record must come back whatever the order it is asked for, across many of those places.
TEST(RecordSource, AnyRecordInAnyOrderAmongThousands) {
  std::string content;
  std::vector<std::string> expected;
  for (int i = 0; i < 3000; ++i) {
    expected.push_back(i % 7 == 0 ? "" : std::string(static_cast<std::size_t>(i % 11), 'a' + i % 26) + std::to_string(i));
    content += expected.back() + (i % 3 == 0 ? "\r\n" : "\n");
  }
  content += "tail";
  expected.push_back("tail");
  RecordSource source(content);
  ASSERT_EQ(source.size(), expected.size());
  std::string_view r;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_TRUE(source.next(r));
    ASSERT_EQ(r, expected[i]) << i;
    if (i >= 2) {  // a look back, then on
      ASSERT_EQ(source.record(i - 2), expected[i - 2]) << i;
    }
  }
  EXPECT_FALSE(source.next(r));
  std::mt19937 random(7);
  for (int k = 0; k < 5000; ++k) {
    const std::size_t i = random() % expected.size();
    ASSERT_EQ(source.record(i), expected[i]) << i;
  }
  for (std::size_t i = expected.size(); i-- > 0;) ASSERT_EQ(source.record(i), expected[i]) << i;
  source.seek(1000);
  ASSERT_TRUE(source.next(r));
  EXPECT_EQ(r, expected[1000]);
  EXPECT_EQ(source.line_number(), 1002u);
}

TEST(ReadFreeForm, RepeatCountsAndSlash) {
  RecordSource source("1 2*3.5 , 4\n1 /\n");
  float a = 0, b = 0, c = 0, d = 0;
  ASSERT_EQ(text::read_free_form(source, {target(a), target(b), target(c), target(d)}), ReadStatus::ok);
  EXPECT_EQ(a, 1.0f);
  EXPECT_EQ(b, 3.5f);
  EXPECT_EQ(c, 3.5f);
  EXPECT_EQ(d, 4.0f);
  float x = 9, y = 9, z = 9;
  ASSERT_EQ(text::read_free_form(source, {target(x), target(y), target(z)}), ReadStatus::ok);
  EXPECT_EQ(x, 1.0f);
  EXPECT_EQ(y, 9.0f);
  EXPECT_EQ(z, 9.0f);
}

TEST(ReadFreeForm, EmptyValuesLeaveTargetsUnchanged) {
  RecordSource source(",5,,7\n2* 8\n1, ,3\n");
  int a = -1, b = -1, c = -1, d = -1;
  ASSERT_EQ(text::read_free_form(source, {target(a), target(b), target(c), target(d)}), ReadStatus::ok);
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, 5);
  EXPECT_EQ(c, -1);
  EXPECT_EQ(d, 7);
  int e = -1, f = -1, g = -1;
  ASSERT_EQ(text::read_free_form(source, {target(e), target(f), target(g)}), ReadStatus::ok);
  EXPECT_EQ(e, -1);
  EXPECT_EQ(f, -1);
  EXPECT_EQ(g, 8);
  ASSERT_EQ(text::read_free_form(source, {target(e), target(f), target(g)}), ReadStatus::ok);
  EXPECT_EQ(e, 1);
  EXPECT_EQ(f, -1);
  EXPECT_EQ(g, 3);
}

TEST(ReadFreeForm, ValuesSpanRecordsAndTheRestOfTheLastRecordIsSkipped) {
  RecordSource source("1\n\n  2,\n3 4 5\n6\n");
  int a = 0, b = 0, c = 0;
  ASSERT_EQ(text::read_free_form(source, {target(a), target(b), target(c)}), ReadStatus::ok);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(source.position(), 4u);
  ASSERT_EQ(text::read_free_form(source, {target(a)}), ReadStatus::ok);
  EXPECT_EQ(a, 6);
}

TEST(ReadFreeForm, CommaEndingARecordThenCommaStartingTheNextIsAnEmptyValue) {
  RecordSource source("1,\n,3\n");
  int a = 0, b = -1, c = 0;
  ASSERT_EQ(text::read_free_form(source, {target(a), target(b), target(c)}), ReadStatus::ok);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(c, 3);
}

TEST(ReadFreeForm, RealForms) {
  RecordSource source("5 5. 0.5E+01 5D0 .5e1 -5d+0 +5 50E-1\n");
  float v[8] = {};
  ASSERT_EQ(text::read_free_form(source, {target(v[0]), target(v[1]), target(v[2]), target(v[3]), target(v[4]),
                                          target(v[5]), target(v[6]), target(v[7])}),
            ReadStatus::ok);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(std::fabs(v[i]), 5.0f) << i;
  EXPECT_EQ(v[5], -5.0f);
  RecordSource exact("0.1 0.1\n");
  float f = 0;
  double d = 0;
  ASSERT_EQ(text::read_free_form(exact, {target(f), target(d)}), ReadStatus::ok);
  EXPECT_EQ(f, 0.1f);  // rounded once, straight to float
  EXPECT_EQ(d, 0.1);
}

TEST(ReadFreeForm, TabsAreBlanks) {
  RecordSource source("1\t2 \t,\t3\n");
  int a = 0, b = 0, c = 0;
  ASSERT_EQ(text::read_free_form(source, {target(a), target(b), target(c)}), ReadStatus::ok);
  EXPECT_EQ(a + b + c, 6);
}

TEST(ReadFreeForm, TextTargets) {
  RecordSource source("'it''s a, b' \"q\"\nabc,x/y\n'two\nlines'\n3*zz\n");
  std::string s, t, u = "q ", v;
  ASSERT_EQ(text::read_free_form(source, {target(s, 12), target(t, 3)}), ReadStatus::ok);
  EXPECT_EQ(s, "it's a, b   ");
  EXPECT_EQ(t, "q  ");
  ASSERT_EQ(text::read_free_form(source, {target(s, 4), target(t, 1), target(u, 2)}), ReadStatus::ok);
  EXPECT_EQ(s, "abc ");
  EXPECT_EQ(t, "x");
  EXPECT_EQ(u, "q ");  // "/" ended the read
  ASSERT_EQ(text::read_free_form(source, {target(s, 8)}), ReadStatus::ok);
  EXPECT_EQ(s, "twolines");
  ASSERT_EQ(text::read_free_form(source, {target(s, 2), target(t, 3), target(v, 2)}), ReadStatus::ok);
  EXPECT_EQ(s + t + v, "zzzz zz");
}

TEST(ReadFreeForm, EndOfFileAndErrorAreDistinct) {
  RecordSource source("1 2\n");
  int a = 0, b = 0, c = 0;
  EXPECT_EQ(text::read_free_form(source, {target(a), target(b), target(c)}), ReadStatus::end_of_file);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(text::read_free_form(source, {}), ReadStatus::end_of_file);
  for (const char* bad : {"1.5", "abc", "'7'", "1e5", "--1", "+", "3000000000", "0*1", "2*1.0"}) {
    RecordSource s(bad);
    int v = 42;
    EXPECT_EQ(text::read_free_form(s, {target(v)}), ReadStatus::error) << bad;
    EXPECT_EQ(v, 42) << bad;
  }
  // gfortran's runtime takes "5+1", "1.0q0", "inf", "NaN" and "1;2"; our rules do not.
  for (const char* bad : {"1.2.3", "e5", "1e", "1e+", ".", "-", "5+1", "1.0q0", "inf", "NaN", "1;2", "'x'y"}) {
    RecordSource s(bad);
    float v = 42;
    EXPECT_EQ(text::read_free_form(s, {target(v)}), ReadStatus::error) << bad;
    EXPECT_EQ(v, 42) << bad;
  }
}

// A reader that fails as one thing steps back and reads the same record as another.
TEST(ReadFreeForm, FailedRecordCanBeReadAgain) {
  RecordSource source("END_OF_CASE1\n3\n");
  const std::size_t start = source.position();
  int n = 0;
  ASSERT_EQ(text::read_free_form(source, {target(n)}), ReadStatus::error);
  source.seek(start);
  std::string marker;
  ASSERT_EQ(text::read_free_form(source, {target(marker, 12)}), ReadStatus::ok);
  EXPECT_EQ(marker, "END_OF_CASE1");
  ASSERT_EQ(text::read_free_form(source, {target(n)}), ReadStatus::ok);
  EXPECT_EQ(n, 3);
}

TEST(ReadFreeForm, RangeLimitsOfReals) {
  for (const char* huge : {"1e39", "-3.5e38", "1e99999999999999999999", "123456789012345678901234567890123456789012"}) {
    RecordSource source(huge);
    float f = 7;
    EXPECT_EQ(text::read_free_form(source, {target(f)}), ReadStatus::error) << huge;  // never a silent inf
    EXPECT_EQ(f, 7.0f);
  }
  RecordSource source("1e-50 -1e-50 1e-40 3.4028235e38 1e400 1e-99999999999 0e999999\n");
  float under = 7, neg_under = 7, denormal = 7, largest = 7;
  double d = 7, tiny = 7, zero = 7;
  EXPECT_EQ(text::read_free_form(source, {target(under), target(neg_under), target(denormal), target(largest), target(d)}),
            ReadStatus::error);
  EXPECT_EQ(under, 0.0f);
  EXPECT_TRUE(std::signbit(neg_under));
  EXPECT_EQ(denormal, 1e-40f);
  EXPECT_EQ(largest, std::numeric_limits<float>::max());
  EXPECT_EQ(d, 7.0);
  RecordSource rest("1e-99999999999 0e999999\n");
  ASSERT_EQ(text::read_free_form(rest, {target(tiny), target(zero)}), ReadStatus::ok);
  EXPECT_EQ(tiny, 0.0);
  EXPECT_EQ(zero, 0.0);
}

// The quick conversion takes up to 19 significant digits; longer mantissas go the full way.
TEST(ReadFreeForm, MantissasAroundNineteenDigitsConvertExactly) {
  const char* texts[] = {"1234567890123456789", "12345678901234567890", "0.00000000000000000001234567890123456789",
                         "9007199254740993", "123456789.0123456789e-5", "4.9406564584124654E-324"};
  for (const char* t : texts) {
    RecordSource source(t);
    double d = 0;
    float f = 0;
    ASSERT_EQ(text::read_free_form(source, {target(d)}), ReadStatus::ok) << t;
    source.seek(0);
    ASSERT_EQ(text::read_free_form(source, {target(f)}), ReadStatus::ok) << t;
    EXPECT_EQ(d, std::strtod(t, nullptr)) << t;
    EXPECT_EQ(f, std::strtof(t, nullptr)) << t;
  }
}

// The plain road takes a record only where the free-form read takes it to the same values.
TEST(ReadPlainReals, AgreesWithTheFreeFormReadOrLeavesTheRecordToIt) {
  struct Case {
    const char* record;
    bool plain;
  };
  const Case cases[] = {{" 0.1  1.5  -2.", true},     {"0.1\t1.5 -2.", true},      {"  1 2 3  ", true},
                        {" 5D0 0.5E+01 -0.", true},    {" 1.23456789012345678901 2 3", true},
                        {" 1 2", false},               {" 1 2 3 4", false},         {" 1, 2, 3", false},
                        {" 1 2*3", false},             {" 1 2 3/", false},          {" 1 2 '3'", false},
                        {" 1 2 x", false},             {" 1 2 3x", false},          {"", false}};
  for (const Case& c : cases) {
    float plain[3] = {0, 0, 0}, read[3] = {9, 9, 9};
    std::string_view texts[3];
    EXPECT_EQ(text::read_plain_reals(c.record, plain, texts), c.plain) << c.record;
    if (!c.plain) continue;
    RecordSource source(c.record);
    ASSERT_EQ(text::read_free_form(source, {target(read[0]), target(read[1]), target(read[2])}), ReadStatus::ok);
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(plain[j], read[j]) << c.record;
      float again = 0;
      RecordSource alone(texts[j]);
      ASSERT_EQ(text::read_free_form(alone, {target(again)}), ReadStatus::ok) << texts[j];
      EXPECT_EQ(again, plain[j]) << c.record;  // each text is the whole constant
    }
  }
}

TEST(ReadFreeForm, HugeRepeatCountsCostOnlyTheTargets) {
  RecordSource source("199999999*1\n200000000* 5\n200000001*1\n");
  int a = 0, b = 0;
  ASSERT_EQ(text::read_free_form(source, {target(a), target(b)}), ReadStatus::ok);
  EXPECT_EQ(a + b, 2);
  ASSERT_EQ(text::read_free_form(source, {target(a)}), ReadStatus::ok);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(text::read_free_form(source, {target(a)}), ReadStatus::error);
}

// gfortran takes the text up to the end of the file as the value and reports success.
TEST(ReadFreeForm, UnterminatedQuoteMeetsTheEndOfTheFile) {
  RecordSource source("'never closed\nstill text\n");
  std::string s = "kept";
  EXPECT_EQ(text::read_free_form(source, {target(s, 4)}), ReadStatus::end_of_file);
  EXPECT_EQ(s, "kept");
}

TEST(FreeFormWriter, LayoutOfMixedValues) {
  EXPECT_EQ(text::FreeFormWriter().integer(1).integer(-20).str(), " 1 -20");
  EXPECT_EQ(text::FreeFormWriter().text("ab ").text("cd").integer(3).text("x").str(), " ab cd 3 x");
  EXPECT_EQ(text::FreeFormWriter().real(2.5f).real(0.0f).real(-1.0e-5f).real(100.0f).real(1.0e9f).str(),
            " 2.5 0. -0.1E-04 100. 0.1E+10");
  EXPECT_EQ(text::FreeFormWriter().real(0.1f).real(123456789.0f).str(), " 0.1 123456790.");
}

// Everything written comes back as the same float: random bit patterns of every exponent.
TEST(FreeFormWriter, RealsReadBackExactly) {
  std::mt19937 random(12345);
  std::string content;
  std::vector<float> written;
  for (int record = 0; record < 2000; ++record) {
    text::FreeFormWriter writer;
    for (int k = 0; k < 10; ++k) {
      float v;
      do {
        const std::uint32_t bits = random();
        std::memcpy(&v, &bits, sizeof v);
      } while (!std::isfinite(v));
      written.push_back(v);
      writer.real(v).integer(static_cast<int>(random()));
    }
    content += writer.str() + "\r\n";
  }
  RecordSource source(content);
  std::vector<float> values(10);
  std::vector<int> ints(10);
  std::size_t index = 0;
  for (int record = 0; record < 2000; ++record) {
    std::vector<text::Target> targets;
    for (int k = 0; k < 10; ++k) {
      targets.push_back(target(values[k]));
      targets.push_back(target(ints[k]));
    }
    ASSERT_EQ(text::read_free_form(source, targets), ReadStatus::ok);
    for (int k = 0; k < 10; ++k, ++index) ASSERT_EQ(values[k], written[index]) << source.record(record);
  }
}

TEST(RecordReader, InputDescriptors) {
  text::RecordReader line("ENGLISH");
  EXPECT_EQ(line.a(std::size_t{20}), "ENGLISH             ");
  text::RecordReader record("ab   12- 3 xyz");
  EXPECT_EQ(record.a(2), "ab");
  int v = 0;
  EXPECT_TRUE(record.i(5, v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(record.i(3, v));
  EXPECT_EQ(v, -3);
  record.tr(1);
  EXPECT_EQ(record.a(5), "xyz  ");
  EXPECT_TRUE(record.i(4, v));  // beyond the record: blanks, zero
  EXPECT_EQ(v, 0);
  text::RecordReader bad("1.5 ");
  EXPECT_FALSE(bad.i(4, v));
}

TEST(CConversions, PrefixRules) {
  EXPECT_EQ(text::c_to_int("  12abc", 16), 12);
  EXPECT_EQ(text::c_to_int("-7", 16), -7);
  EXPECT_EQ(text::c_to_int("+7", 16), 7);
  EXPECT_EQ(text::c_to_int("x1", 16), 0);
  EXPECT_EQ(text::c_to_int("123", 2), 12);
  EXPECT_EQ(text::c_to_int("\t 5", 16), 5);
  EXPECT_EQ(text::c_to_int("99999999999", 16), 2147483647);
  EXPECT_EQ(text::c_to_int("-99999999999", 16), -2147483647 - 1);
  EXPECT_EQ(text::c_to_float(" 2.5e3x", 16), 2500.0f);
  EXPECT_EQ(text::c_to_float("1.5e", 16), 1.5f);
  EXPECT_EQ(text::c_to_float("1.5e+", 16), 1.5f);
  EXPECT_EQ(text::c_to_float("-.5", 16), -0.5f);
  EXPECT_EQ(text::c_to_float("+5.", 16), 5.0f);
  EXPECT_EQ(text::c_to_float(".", 16), 0.0f);
  EXPECT_EQ(text::c_to_float("5D0", 16), 5.0f);
  EXPECT_EQ(text::c_to_float("1,5", 16), 1.0f);
  EXPECT_EQ(text::c_to_float("0.1234567890123456789", 10), 0.12345678f);
  EXPECT_EQ(text::c_to_float("inf", 16), 0.0f);
  EXPECT_EQ(text::c_to_float("-1e-999", 16), 0.0f);
}

// A typed real is rounded once, to the nearest float; out of range it stays finite.
TEST(CConversions, FloatFieldsRoundOnceAndStayFinite) {
  constexpr float largest = std::numeric_limits<float>::max();
  EXPECT_EQ(text::c_to_float(" -9.81 m", 16), -9.81f);
  EXPECT_EQ(text::c_to_float("abc", 16), 0.0f);
  EXPECT_EQ(text::c_to_float("1e39", 16), largest);
  EXPECT_EQ(text::c_to_float("-1e400", 16), -largest);
  EXPECT_EQ(text::c_to_float("3.4028235e38", 16), largest);  // rounds to the largest float
  EXPECT_EQ(text::c_to_float("1e-50", 16), 0.0f);
  EXPECT_EQ(text::c_to_float("1.5e-45", 16), std::numeric_limits<float>::denorm_min());
  // Just above the midpoint between 1 and the next float: through a double it becomes the
  // midpoint itself, which then rounds to even, one float too low.
  EXPECT_EQ(text::c_to_float("1.00000005960464477550", 22), std::nextafter(1.0f, 2.0f));
  EXPECT_EQ(static_cast<float>(std::strtod("1.00000005960464477550", nullptr)), 1.0f);
}

}  // namespace

namespace {

// Whether a typed field is taken whole by the C-library conversions (blanks around the number
// only, nothing beyond the characters read), and whether a text is one free-form real.
TEST(TypedNumbers, WholeConversionAndFreeFormReals) {
  EXPECT_TRUE(text::converts_whole_to_int("  12  ", 10));
  EXPECT_TRUE(text::converts_whole_to_int("-5", 2));
  EXPECT_FALSE(text::converts_whole_to_int("12x", 10));
  EXPECT_FALSE(text::converts_whole_to_int("123", 2));  // the 3 is never read
  EXPECT_FALSE(text::converts_whole_to_int("", 10));
  EXPECT_FALSE(text::converts_whole_to_int("1.5", 10));
  EXPECT_TRUE(text::converts_whole_to_real(" -0.5E+01 ", 24));
  EXPECT_TRUE(text::converts_whole_to_real(".5", 24));
  EXPECT_FALSE(text::converts_whole_to_real("abc", 24));
  EXPECT_FALSE(text::converts_whole_to_real("2.5x", 24));
  EXPECT_FALSE(text::converts_whole_to_real("1E50", 24));  // stored as the largest float
  EXPECT_TRUE(text::is_free_form_real(" 1.5D0 "));
  EXPECT_TRUE(text::is_free_form_real("6."));
  EXPECT_FALSE(text::is_free_form_real("6*0."));
  EXPECT_FALSE(text::is_free_form_real("3 4"));
  EXPECT_FALSE(text::is_free_form_real("abc"));
  EXPECT_FALSE(text::is_free_form_real(""));
}

}  // namespace

TEST(FreeFormRealTexts, GivesTheTextOfEveryValueWhetherRememberedOrNot) {
  text::FreeFormRealTexts texts;
  std::uint32_t bits = 12345;
  for (int i = 0; i < 20000; ++i) {
    bits = bits * 1664525u + 1013904223u;
    // Values met again, values colliding in the table, signed zeros, NaNs and infinities.
    const std::uint32_t pick = i % 3 == 0 ? (bits >> 28) * 0x01000000u : i % 3 == 1 ? bits | 0x7F800000u : bits;
    const float value = std::bit_cast<float>(pick ^ (i % 2 ? 0x80000000u : 0));
    char remembered[text::free_form_real_max], direct[text::free_form_real_max];
    const std::string_view a(remembered, static_cast<std::size_t>(texts.put(value, remembered) - remembered));
    const std::string_view b(direct, static_cast<std::size_t>(text::free_form_real_chars(value, direct) - direct));
    ASSERT_EQ(a, b) << pick;
  }
}

// Free-form reads against gfortran's list-directed reads: the same records, the same target
// lists, compared on the outcome of every read statement and every target's value (reals by
// their bits). Where our rules deliberately differ, the case states our result.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gfortran_support.h"
#include "text/free_form.h"

namespace {

struct Case {
  std::string records;
  std::string reads;      // target lists of the read statements, "+" between statements
  std::string ours = {};  // set where we deliberately differ from gfortran: our expected result
};

const std::vector<Case>& corpus() {
  static const std::vector<Case> cases = {
      // separators, repeats, empty values, slash
      {"1 2*3.5 , 4\n", "rrrr"},
      {"1 /\n", "rrrr"},
      {"6*0.\n", "rrrrrr"},
      {",5,,7\n", "iii"},
      {" , , 3\n", "iii"},
      {"1,\n,3\n", "iii"},
      {"1,,\n", "iii"},
      {"7,,\n", "ira"},
      {"2*\n5 6\n", "iii"},
      {"2* 8\n", "iii"},
      {"3*,5\n", "iii+i"},
      {"1/2\n", "ii"},
      {"/\n", "iii"},
      {"1 2 3 /\n4\n", "iii+i"},
      {"1,2,3,\n4\n", "iii+i"},
      {"1\n\n  2,\n3 4 5\n6\n", "iii+i"},
      {"1 2\r\n3\r\n", "ii+i"},
      {"  \n 1 \n", "i"},
      {"1\t2\t3\n", "iii"},
      {"\t\t\n5\t,\t6\n", "ii"},
      {"1 2 3 4 5 6 7 8 9 10 11 12\n", "rrrr+rr"},
      {"999999999*1\n", "iii"},
      {"200000000*1\n", "iii"},
      {"200000001*1\n", "iii"},
      {"2147483647*4\n", "ii"},
      {"2*3*4\n", "ii"},
      // integers
      {"  12  \n", "i"},
      {"+12 -0 -2147483648\n", "iii"},
      {"2147483647 2147483648\n", "ii"},
      {"1.5\n", "i"},
      {"1E5\n", "i"},
      {"abc\n", "i"},
      {"12abc\n", "i"},
      {"+\n", "i"},
      {"-\n", "i"},
      {"0*1\n", "i"},
      {"2*1.0\n", "i"},
      {"'7'\n", "i"},
      {std::string("1\0 2\n", 5), "ii"},
      // reals
      {"5 5. 0.5E+01 5D0\n", "rrrr"},
      {".5e1 -5d+0 +5 50E-1\n", "rrrr"},
      {"0.1 0.2 0.3 1e-40\n", "rrrr"},
      {"-0.0 +0.0\n", "rr"},
      {"1.e5 1.E-5\n", "rr"},
      {"3.4028235e38 3.4028236e38\n", "rr", " err 2139095039 @r"},
      {"1e-46 -1e-50\n", "rr"},
      {"00000000000000000000000000000000000001.5 0.000000000000000000000000000000000000000000001\n", "rr"},
      {"0.1000000000000000055511151231257827021181583404541015625 1d300\n", "dd"},
      {"-1d-300 2.2250738585072014D-308\n", "dd"},
      {"1.2.3\n", "r"},
      {"e5\n", "r"},
      {".\n", "r", " err @r"},  // gfortran zeroes the target it fails on
      {"1e\n", "r"},
      {"1e+\n", "r"},
      {"abc\n", "r"},
      {"'1.5'\n", "r"},
      {"7 2.5 name\n", "ira"},
      {"1.5 2.5\n", "ira"},
      {"1 2\n", "iii"},
      {"", "iii"},
      {"\n\n", "i"},
      // texts
      {"'it''s a, b' \"q\"\n", "aa"},
      {"abc,x/y\n", "aa"},
      {"'two\nlines'\n", "a"},
      {"3*zz\n", "aa"},
      {"2*'a b'\n", "aa"},
      {"\"a\"\"b\" 'c\"d'\n", "aa"},
      {"x'y z\n", "aa"},
      {"1 2 3\n", "aa"},
      {"a_rather_long_word short\n", "aa"},
      {"'never closed\n", "a", " eof [unset   ]"},  // gfortran takes the text up to the end
      // where our rules are narrower than gfortran's runtime
      {"1;2;3\n", "iii", " err -777 -777 -777"},
      {"1.5;2\n", "rr", " err @r @r"},
      {"Inf NaN\n", "rr", " err @r @r"},
      {"-Infinity\n", "r", " err @r"},
      {"5+1\n", "r", " err @r"},
      {"1.0-3\n", "r", " err @r"},
      {"1.0q0\n", "r", " err @r"},
      {"1e39\n", "r", " err @r"},
      {"-1e39\n", "r", " err @r"},
      {"1d400\n", "dd", " err @d @d"},
  };
  return cases;
}

std::string real_bits(float v) {
  std::int32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return std::to_string(bits);
}

std::string double_bits(double v) {
  std::int64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return std::to_string(bits);
}

// The same statements as the Fortran program, with the same starting values.
std::string run_ours(const std::string& records, const std::string& reads) {
  text::RecordSource source(records);
  std::string line;
  std::stringstream statements(reads);
  std::string piece;
  while (std::getline(statements, piece, '+')) {
    std::vector<float> r(piece.size(), -777.0f);
    std::vector<double> d(piece.size(), -777.0);
    std::vector<int> n(piece.size(), -777);
    std::vector<std::string> t(piece.size(), "unset   ");
    std::vector<text::Target> targets;
    for (std::size_t k = 0; k < piece.size(); ++k) {
      if (piece[k] == 'r') targets.push_back(text::target(r[k]));
      if (piece[k] == 'd') targets.push_back(text::target(d[k]));
      if (piece[k] == 'i') targets.push_back(text::target(n[k]));
      if (piece[k] == 'a') targets.push_back(text::target(t[k], 8));
    }
    const text::ReadStatus status = text::read_free_form(source, targets);
    line += status == text::ReadStatus::ok ? " ok" : status == text::ReadStatus::end_of_file ? " eof" : " err";
    for (std::size_t k = 0; k < piece.size(); ++k) {
      if (piece[k] == 'r') line += " " + real_bits(r[k]);
      if (piece[k] == 'd') line += " " + double_bits(d[k]);
      if (piece[k] == 'i') line += " " + std::to_string(n[k]);
      if (piece[k] == 'a') line += " [" + t[k] + "]";
    }
    if (status != text::ReadStatus::ok) break;
  }
  return line;
}

// In the expected texts "@r" and "@d" stand for the bits of a real / double target's starting value.
std::string render_expected(const Case& c) {
  std::string out = c.ours;
  for (std::size_t at; (at = out.find('@')) != std::string::npos;)
    out.replace(at, 2, out[at + 1] == 'd' ? double_bits(-777.0) : real_bits(-777.0f));
  return out;
}

TEST(FreeFormAgainstGfortran, CorpusOfRecords) {
  SKIP_WITHOUT_GFORTRAN();
  const std::string dir = gfortran_support::scratch_directory("free_form");
  ASSERT_FALSE(dir.empty());
  const std::string exe = gfortran_support::compile("freeform_reference.f90", dir);
  ASSERT_FALSE(exe.empty()) << gfortran_support::read_all(dir + "/compile.log");
  const auto& cases = corpus();
  {
    std::ofstream manifest(dir + "/manifest.txt");
    for (std::size_t i = 0; i < cases.size(); ++i) {
      const std::string path = dir + "/case" + std::to_string(i) + ".txt";
      std::ofstream(path, std::ios::binary) << cases[i].records;
      manifest << path << "\n" << cases[i].reads << "\n";
    }
  }
  ASSERT_TRUE(gfortran_support::run(exe, dir + "/manifest.txt", dir + "/results.txt"));
  std::ifstream results(dir + "/results.txt");
  std::string theirs;
  int deliberate_differences = 0;
  for (const Case& c : cases) {
    ASSERT_TRUE(std::getline(results, theirs));
    theirs = " " + theirs.substr(theirs.find_first_not_of(' '));
    const std::string ours = run_ours(c.records, c.reads);
    if (c.ours.empty()) {
      EXPECT_EQ(ours, theirs) << "records [" << c.records << "] read as " << c.reads;
    } else {
      EXPECT_EQ(ours, render_expected(c)) << "records [" << c.records << "] read as " << c.reads;
      if (ours != theirs) ++deliberate_differences;
    }
  }
  std::printf("%zu cases; %d deliberate differences from gfortran\n", cases.size(), deliberate_differences);
  gfortran_support::remove_directory(dir);
}

}  // namespace

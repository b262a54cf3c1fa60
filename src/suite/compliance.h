// The rules a design code sets for a suite of records scaled onto its spectrum: EN 1998-1:2004
// 3.2.3.1 and ASCE 7-16 / 7-22 Chapter 16. Each record is first scaled by its own fit over the
// code's period range, then the whole suite by the least common factor with which every clause
// on the spectra holds; the clauses are then judged one by one, as the engineer signs them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace suite {

enum class Code { ec8, asce7_16, asce7_22 };

std::optional<Code> code_from_name(std::string_view name);  // "ec8", "asce7-16", "asce7-22"
std::string_view code_name(Code code);
std::string_view code_title(Code code);  // "EN 1998-1:2004", "ASCE 7-16", "ASCE 7-22"

// What the engineer gives about the structure.
struct CodeCheck {
  Code code = Code::ec8;
  std::vector<double> structure_periods;  // s: the fundamental period of each horizontal direction (1 or 2)
  std::optional<double> t90;              // s: the period at 90% mass participation (ASCE)
};

// "T1[,T2]" in seconds, each > 0.
std::string parse_structure_periods(std::string_view word, std::vector<double>& periods);
// A period in seconds, > 0.
std::string parse_t90(std::string_view word, double& t90);
// Why the check cannot be made with these values; empty when it can.
std::string code_check_problem(const CodeCheck& check);

// The period range the code sets: EC8 0.2 T1 of the smaller to 2 T1 of the larger period; ASCE
// the smaller of 0.2 Tmin and T90 to 2 Tmax.
std::pair<double, double> code_range(const CodeCheck& check);

// One record (a pair, or a single component) as the rules see it. Spectra and accelerations in
// one unit, that of the target.
struct CodeRecord {
  std::string stem;
  std::vector<char> directions;           // of each component: 'X', 'Y' or 'Z'
  std::vector<std::string> sources;       // what each component is read from (file and column)
  std::vector<std::vector<double>> psa;   // each component's 5% spectrum at the periods of the grid
  std::vector<double> pga;                // each component's peak ground acceleration
  std::vector<double> rotd100;            // of the horizontal pair; empty with a single horizontal component
  bool matched = false;                   // its spectrum matched onto the target
};

struct CodeInput {
  CodeCheck check;
  std::vector<double> periods;                // s, increasing
  std::vector<std::optional<double>> target;  // at each period; none where the target is not defined
  double ag_s = 0.0;                          // EC8: ag S of the site (the elastic spectrum at T = 0)
  double g = 1.0;                             // 1 g in the unit of the spectra, for the values shown
  std::vector<CodeRecord> records;
};

enum class Verdict { holds, fails, information };
std::string_view verdict_name(Verdict verdict);  // "holds", "fails", "information"

struct Clause {
  std::string clause;     // "3.2.3.1.2(4)c"
  std::string direction;  // "X" or "Y" where the clause is judged per direction, else empty
  std::string asks;       // in English, with the numbers it compares against
  std::string asks_ro;    // the same in Romanian
  double value = 0.0;     // the suite's value: a count, a share of the target in %, g or s
  std::string unit;       // "", "%", "g" or "s"
  std::optional<double> at;  // s: where a spectrum clause has its lowest share
  Verdict verdict = Verdict::information;
};

struct Compliance {
  Code code = Code::ec8;
  std::pair<double, double> range{0.0, 0.0};
  std::vector<double> fit;      // each record's own factor
  double common = 1.0;          // the one factor of the whole suite
  std::vector<double> factors;  // each record's total factor: fit x common
  std::vector<Clause> clauses;
  std::string problem;  // why no factor could be found; the clauses that need none are still judged

  bool holds() const;  // no clause fails and there is no problem
  std::vector<const Clause*> failing() const;
};

// The factors and the verdicts of the suite.
Compliance check_compliance(const CodeInput& input);

// The clauses judged with the records scaled by `factors` (one per record) over `range`.
std::vector<Clause> judge_clauses(const CodeInput& input, std::span<const double> factors,
                                  std::pair<double, double> range);

}  // namespace suite

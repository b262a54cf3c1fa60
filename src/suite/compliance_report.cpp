#include "suite/compliance_report.h"

#include <algorithm>
#include <cstdio>

#include <nlohmann/json.hpp>

namespace suite {

namespace {

std::string short_number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.4g", value);
  return buffer;
}

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text + ' ';
}

std::string value_text(const Clause& c) {
  std::string text = c.unit == "%" || c.unit.empty() ? short_number(c.value) + c.unit : short_number(c.value) + " " + c.unit;
  if (c.at) text += " @" + short_number(*c.at) + "s";
  return text;
}

struct Reading {
  const char* english;
  const char* romanian;
};

// Where the program decides what the clause leaves open; the header says so.
std::vector<Reading> readings(Code code, bool matched) {
  std::vector<Reading> r;
  if (code == Code::ec8 && matched)
    r.push_back({"matched records are judged as scaled ones: EN 1998-1 sets no rule of its own for them, so "
                 "3.2.3.1.2(4)c asks 90% of the elastic spectrum of them too",
                 "inregistrarile ajustate se judeca precum cele scalate: EN 1998-1 nu are o regula proprie pentru ele, "
                 "deci 3.2.3.1.2(4)c cere si pentru ele 90% din spectrul elastic"});
  if (code == Code::ec8) {
    r.push_back({"3.2.3.1.2(4)b and (4)c are judged in each horizontal direction: the mean of the components placed in it",
                 "3.2.3.1.2(4)b si (4)c se judeca pe fiecare directie orizontala: media componentelor puse pe ea"});
    r.push_back({"a record's own factor is its fit on the mean of its horizontal components, one factor for both",
                 "factorul propriu al unei inregistrari este potrivirea pe media componentelor ei orizontale, unul pentru ambele"});
    r.push_back({"the spectrum at period 0 of a record is its peak ground acceleration",
                 "spectrul la perioada 0 al unei inregistrari este acceleratia ei maxima a terenului"});
  } else {
    r.push_back({"a pair's maximum-direction spectrum is its RotD100; a record with one horizontal component is compared by it",
                 "spectrul directiei maxime al unei perechi este RotD100; o inregistrare cu o singura componenta orizontala se compara prin ea"});
    r.push_back({"16.2.3.3 (110%) applies when any record of the suite is matched",
                 "16.2.3.3 (110%) se aplica daca oricare inregistrare a setului este ajustata"});
    r.push_back({"a record's own factor is its fit on that spectrum over the range",
                 "factorul propriu al unei inregistrari este potrivirea pe acel spectru pe domeniu"});
  }
  r.push_back({"vertical components are not judged; the spectra are compared at their periods within the range",
               "componentele verticale nu se judeca; spectrele se compara la perioadele lor din domeniu"});
  return r;
}

std::string periods_text(const CodeCheck& check) {
  std::string text;
  for (double t : check.structure_periods) text += (text.empty() ? "" : ", ") + short_number(t);
  return text + " s";
}

}  // namespace

std::string verdict_words(Verdict verdict, bool romanian) {
  switch (verdict) {
    case Verdict::holds: return romanian ? "respectata" : "holds";
    case Verdict::fails: return romanian ? "NERESPECTATA" : "FAILS";
    case Verdict::information: return romanian ? "informativ" : "for information";
  }
  return "";
}

std::string compliance_summary(const Compliance& result, bool romanian) {
  std::string failing;
  for (const Clause* c : result.failing())
    failing += (failing.empty() ? "" : ", ") + c->clause + (c->direction.empty() ? "" : " " + c->direction);
  std::string text;
  if (result.holds()) text = romanian ? "toate clauzele sunt respectate" : "every clause holds";
  else if (!failing.empty()) text = (romanian ? "NU RESPECTA: " : "FAILS: ") + failing;
  else text = romanian ? "NU SE POATE JUDECA" : "CANNOT BE JUDGED";
  if (!result.problem.empty()) text += "; " + result.problem;
  return text;
}

std::string compliance_lines(const Compliance& result, bool romanian) {
  std::string text = std::string(code_title(result.code)) + ": " + compliance_summary(result, romanian) + "\n";
  for (const Clause& c : result.clauses)
    text += "  " + c.clause + (c.direction.empty() ? "" : " " + c.direction) + ": " + verdict_words(c.verdict, romanian) +
            ", " + value_text(c) + "; " + (romanian ? c.asks_ro : c.asks) + "\n";
  return text;
}

std::string compliance_text(const Compliance& result, const CodeInput& input, const std::string& target,
                            bool romanian) {
  const bool ro = romanian;
  const CodeCheck& check = input.check;
  std::string t;
  t += std::string(ro ? "# Conformitatea setului cu " : "# Code compliance of the suite: ") +
       std::string(code_title(result.code)) + "\n";
  t += std::string(ro ? "# Rezultat: " : "# Result: ") + compliance_summary(result, ro) + "\n";
  t += std::string(ro ? "# Perioadele structurii: " : "# Structure periods: ") + periods_text(check);
  if (check.t90) t += "; T90 " + short_number(*check.t90) + " s";
  t += std::string(ro ? "; domeniul de perioade " : "; period range ") + short_number(result.range.first) + "-" +
       short_number(result.range.second) + " s\n";
  t += std::string(ro ? "# Tinta: " : "# Target: ") + target + "\n";
  t += std::string(ro ? "# Citirea acestui program acolo unde clauza lasa loc:\n"
                      : "# This program's reading where a clause leaves room:\n");
  const bool matched = std::any_of(input.records.begin(), input.records.end(), [](const CodeRecord& r) { return r.matched; });
  for (const Reading& r : readings(result.code, matched)) t += std::string("#   ") + (ro ? r.romanian : r.english) + "\n";
  t += "\n" + padded(ro ? "clauza" : "clause", 14) + padded(ro ? "dir" : "dir", 3) + padded(ro ? "valoare" : "value", 16) +
       padded(ro ? "verdict" : "verdict", 15) + (ro ? "cere" : "asks") + "\n";
  for (const Clause& c : result.clauses)
    t += padded(c.clause, 14) + padded(c.direction, 3) + padded(value_text(c), 16) +
         padded(verdict_words(c.verdict, ro), 15) + (ro ? c.asks_ro : c.asks) + "\n";
  t += "\n" + padded(ro ? "inregistrare" : "record", 24) + padded(ro ? "potrivire" : "fit", 12) +
       padded(ro ? "comun" : "common", 12) + (matched ? padded("factor", 12) + (ro ? "ajustata" : "matched") : "factor") +
       "\n";
  for (std::size_t i = 0; i < input.records.size() && i < result.factors.size(); ++i)
    t += padded(input.records[i].stem, 24) + padded(short_number(result.fit[i]), 12) +
         padded(short_number(result.common), 12) +
         (matched ? padded(short_number(result.factors[i]), 12) +
                        (input.records[i].matched ? (ro ? "da" : "yes") : (ro ? "nu" : "no"))
                  : short_number(result.factors[i])) +
         "\n";
  return t;
}

nlohmann::json compliance_json(const Compliance& result, const CodeInput& input) {
  nlohmann::json clauses = nlohmann::json::array();
  for (const Clause& c : result.clauses) {
    nlohmann::json j = {{"clause", c.clause}};
    if (!c.direction.empty()) j["direction"] = c.direction;
    j["asks"] = c.asks;
    j["value"] = c.value;
    j["verdict"] = verdict_name(c.verdict);
    clauses.push_back(std::move(j));
  }
  nlohmann::json records = nlohmann::json::array();
  for (std::size_t i = 0; i < input.records.size() && i < result.factors.size(); ++i) {
    nlohmann::json record = {{"record", input.records[i].stem}, {"factor", result.factors[i]}};
    if (input.records[i].matched) record["matched"] = true;
    records.push_back(std::move(record));
  }
  return {{"code", code_name(result.code)},
          {"range", {result.range.first, result.range.second}},
          {"clauses", std::move(clauses)},
          {"records", std::move(records)}};
}

}  // namespace suite

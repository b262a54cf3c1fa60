// The verdicts of a suite's code check as the files beside its loading files give them:
// compliance.txt for the engineer who signs the suite, compliance.json for programs.
#pragma once

#include <string>

#include <nlohmann/json_fwd.hpp>

#include "suite/compliance.h"

namespace suite {

inline constexpr const char* compliance_text_file = "compliance.txt";
inline constexpr const char* compliance_json_file = "compliance.json";

// The header (the result first, failing clauses named; the structure's periods, the range, the
// target; where a rule is this program's reading of a clause), a line per clause, a line per
// record with its factors. `target` describes the target spectrum in words.
std::string compliance_text(const Compliance& result, const CodeInput& input, const std::string& target,
                            bool romanian);

// {"code", "range": [TA, TB], "clauses": [{"clause", "direction" (per-direction clauses only),
// "asks", "value", "verdict"}], "records": [{"record": stem, "factor": total factor}]}.
nlohmann::json compliance_json(const Compliance& result, const CodeInput& input);

// The verdict of a clause in the language of the messages.
std::string verdict_words(Verdict verdict, bool romanian);

// The result in one line: "every clause holds" or the failing clauses (and the problem).
std::string compliance_summary(const Compliance& result, bool romanian);

// The verdicts as the command prints them: the result, then a line per clause.
std::string compliance_lines(const Compliance& result, bool romanian);

}  // namespace suite

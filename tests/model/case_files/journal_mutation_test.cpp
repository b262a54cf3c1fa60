// The journal reader under hostile bytes, in every build of the suites (the sanitizer build
// included): whole journals of a run, mutated many thousand times as a fuzzer would (bytes
// flipped, cut, repeated, spliced, numbers and texts swapped for extreme ones), must each be
// refused with a reason or read as a content a run could have written. Deterministic: a
// failure names the seed and the round. BRANTEL_JOURNAL_MUTATIONS sets the number of rounds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/session.h"
#include "model/case_files/journal.h"
#include "support/journal_check.h"

namespace {

namespace cf = model::case_files;

std::vector<std::string> seed_journals() {
  std::vector<std::string> seeds;
  testing_support::Session s;
  cf::CaseStore& cases = s.cases;
  s.max_time_points = 100;
  cf::JournalSummary summary;
  summary.saved_at = 1'765'213'484;
  summary.start_folder = "/home/eng/project";
  seeds.push_back(cf::journal_text(s, cases, summary));

  s.language = "Romanian";
  s.general().geometry_file = "/work/Dat/frame.dat";
  s.loading_file() = "Dat/run.inc";
  model::GeneralData& g = s.general();
  g.n_nodes = 12, g.n_elements = 11, g.n_dof = 3, g.n_loading_cases = 2, s.current_case = 2;
  s.general().second_unit = "s\xe9";
  s.damping().zeta = std::numeric_limits<float>::infinity();
  cases.set_count(2);
  cases.at(1).record.time_step = 0.01f;
  cases.at(2).record.loading_type = model::LoadingType::accelerogram_3_directions;
  cases.at(2).loaded = cases.at(2).record;
  for (int k = 1; k <= 2; ++k) cases.at(k).processed = cases.at(k).loading_saved = true;
  s.damping().diameters = {{1, 4, 0.3f}, {5, 11, 0.25f}};
  summary.created_at = 1'765'213'490;
  summary.own_loading_files = {{"/home/eng/project/Dat/run.inc", 1'765'213'484'123'456'789, 54'000}};
  summary.taken_from = "4242-abcdef";
  seeds.push_back(cf::journal_text(s, cases, summary));
  // A journal of the first version, whose cases are lists side by side.
  std::ifstream stored(std::string(BRANTEL_TEST_DATA) + "/journal_version_1.json", std::ios::binary);
  seeds.emplace_back(std::istreambuf_iterator<char>(stored), std::istreambuf_iterator<char>());
  return seeds;
}

// Pieces a fuzzer finds worth trying in JSON: extreme numbers, other kinds, broken escapes.
const char* const tokens[] = {
    "-1", "0", "1e999", "-0", "99", "100", "2147483648", "-9223372036854775809", "18446744073709551616",
    "1.5", "\"\"", "\"nan\"", "\"inf\"", "null", "true", "[]", "{}", "{\"bytes\": [255, 0]}",
    "{\"bytes\": [300]}", "\"\\ud800\"", "\"\\u0000\"", "\"\xc3\"", "[[[[[[[[[[", "}", "]", ",", ":", "\"bytes\"",
};

std::string mutate(std::string text, const std::vector<std::string>& seeds, std::mt19937_64& random) {
  auto pick = [&random](std::size_t n) { return n == 0 ? std::size_t{0} : static_cast<std::size_t>(random() % n); };
  const int steps = 1 + static_cast<int>(pick(4));
  for (int step = 0; step < steps; ++step) {
    const std::size_t at = pick(text.size() + 1);
    switch (pick(7)) {
      case 0:  // a bit flipped
        if (!text.empty()) text[pick(text.size())] ^= static_cast<char>(1u << pick(8));
        break;
      case 1:  // a byte of any value put in
        text.insert(at, 1, static_cast<char>(pick(256)));
        break;
      case 2:  // a piece cut out
        text.erase(at, pick(64));
        break;
      case 3: {  // a piece repeated
        const std::size_t length = std::min(pick(128), text.size() - std::min(at, text.size()));
        text.insert(at, text.substr(at, length));
        break;
      }
      case 4: {  // the value after a key swapped for a token
        const std::size_t colon = text.find(": ", at);
        if (colon == std::string::npos) break;
        const std::size_t end = text.find_first_of(",\n", colon + 2);
        text.replace(colon + 2, (end == std::string::npos ? text.size() : end) - colon - 2,
                     tokens[pick(std::size(tokens))]);
        break;
      }
      case 5: {  // spliced with another journal
        const std::string& other = seeds[pick(seeds.size())];
        const std::size_t from = pick(other.size());
        text = text.substr(0, at) + other.substr(from);
        break;
      }
      default:  // cut short, as a write killed half-way
        text.resize(at);
        break;
    }
  }
  return text;
}

TEST(JournalMutations, EveryMutatedJournalIsRefusedWithAReasonOrReadAsARunWroteIt) {
  const std::vector<std::string> seeds = seed_journals();
  for (const std::string& seed : seeds) ASSERT_EQ(testing_support::journal_reader_fault(seed), "") << seed;
  int rounds = 4000;
  if (const char* wanted = std::getenv("BRANTEL_JOURNAL_MUTATIONS")) rounds = std::atoi(wanted);
  int read_whole = 0;
  for (std::size_t k = 0; k < seeds.size(); ++k) {
    std::mt19937_64 random(20261209 + k);
    for (int round = 0; round < rounds; ++round) {
      const std::string text = mutate(seeds[k], seeds, random);
      std::string fault;
      ASSERT_NO_THROW(fault = testing_support::journal_reader_fault(text)) << "seed " << k << " round " << round;
      ASSERT_EQ(fault, "") << "seed " << k << " round " << round << ":\n" << text;
      cf::JournalContent content;
      std::string reason;
      read_whole += cf::parse_journal(text, content, reason) == cf::JournalRead::ok;
    }
  }
  // Mutations that keep a journal whole (a value swapped for another of its kind) must happen,
  // or the loop only ever tried the refusals.
  EXPECT_GT(read_whole, 0);
}

}  // namespace

// Damaged loading files: one digit of one numeric line turned into the letter O, for every
// numeric line of a few good files. Each damaged file either loads and is created again with
// every value it holds, or LOAD's message names the damaged line: none loads silently with a
// value lost or moved.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/loading_file.h"
#include "reader_support.h"
#include "roundtrip_support.h"
#include "support/session.h"

namespace {

namespace fs = std::filesystem;

struct Loaded {
  dialogs::LoadOutcome outcome;
  std::string messages;
  std::string created;  // the file written again from what was loaded (when it loaded)
};

// LOAD into a fresh state (no case files of earlier work), then "Create" as the dialog would.
Loaded load_and_create(const testing_support::Session& model, const std::string& content) {
  testing_support::Session s = roundtrip::fresh_state(model);
  const std::string path(s.loading_file().trimmed());
  roundtrip::remove_scratch_files();
  testing_support::write_file(path, content);
  reader_test::FakeToolkit toolkit;
  toolkit.answer = ui::Answer::yes;  // what LOAD took is written, whatever the check of Create finds
  dialogs::Context context{toolkit, s, s.cases};
  Loaded result{dialogs::load_loading_file(context, path), {}, {}};
  for (const auto& m : toolkit.messages) result.messages += m.text + "\n";
  if (result.outcome != dialogs::LoadOutcome::loaded || !result.messages.empty()) return result;
  testing_support::enter_loaded_cases(context.cases);
  dialogs::write_loading_file(context);
  result.created = testing_support::read_file(path);
  return result;
}

bool numeric_line(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first != std::string_view::npos && std::string_view("+-.0123456789").find(line[first]) != std::string_view::npos;
}

// The damaged copies of `lines`: the first and the last digit of each numeric line become "O"
// (every digit with BRANTEL_CORPUS_ALL_DIGITS set, for a longer run).
struct Damage {
  std::size_t line;  // 1-based
  std::string content;
};
std::vector<std::size_t> digits_to_damage(const std::string& line) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < line.size(); ++i)
    if (line[i] >= '0' && line[i] <= '9') at.push_back(i);
  if (std::getenv("BRANTEL_CORPUS_ALL_DIGITS") || at.size() <= 2) return at;
  return {at.front(), at.back()};
}
std::vector<Damage> damaged_copies(const std::vector<std::string>& lines) {
  std::vector<Damage> out;
  // The last record is the date of writing: nothing reads it.
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (!numeric_line(lines[i])) continue;
    for (std::size_t at : digits_to_damage(lines[i])) {
      std::string content;
      for (std::size_t j = 0; j < lines.size(); ++j) {
        std::string line = lines[j];
        if (j == i) line[at] = 'O';
        content += line + "\r\n";
      }
      out.push_back({i + 1, content});
    }
  }
  return out;
}

bool names_line(const std::string& messages, std::size_t line) {
  const std::string n = std::to_string(line);
  return messages.find("\nLine " + n + ":") != std::string::npos ||
         messages.find("\nLinia " + n + ":") != std::string::npos;
}

TEST(ReaderCorpus, EveryDamagedDigitIsReportedAtItsLineOrLosesNothing) {
  testing_support::TempCurrentDir dir;
  int files = 0, damaged = 0, reported = 0, clean = 0;
  for (unsigned seed = 101; seed <= 105; ++seed) {
    roundtrip::Generator generator(seed);
    roundtrip::Generated g = generator.state();
    g.state.loading_file() = (dir.path() / "corpus.inc").string();
    const std::string good = roundtrip::create_from_editor_files(g);
    ASSERT_NE(good, "<not written>");
    ++files;

    // A file as the program writes it loads without a word.
    const Loaded original = load_and_create(g.state, good);
    ASSERT_EQ(original.outcome, dialogs::LoadOutcome::loaded) << original.messages;
    ASSERT_EQ(original.messages, "") << "seed " << seed;

    for (const Damage& d : damaged_copies(roundtrip::records_of(good))) {
      ++damaged;
      const Loaded r = load_and_create(g.state, d.content);
      if (!r.messages.empty()) {
        ++reported;
        EXPECT_TRUE(names_line(r.messages, d.line)) << "seed " << seed << ", line " << d.line << "\n" << r.messages;
      } else {
        ++clean;
        EXPECT_EQ(roundtrip::file_difference(d.content, r.created), "")
            << "seed " << seed << ", line " << d.line << " loaded silently\n" << d.content;
      }
      if (HasFailure()) return;
    }
  }
  RecordProperty("damaged_files", damaged);
  RecordProperty("reported", reported);
  RecordProperty("loaded_whole", clean);
  std::printf("%d good files, %d damaged copies: %d reported at the damaged line, %d loaded with every value\n",
              files, damaged, reported, clean);
}

}  // namespace

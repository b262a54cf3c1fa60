// A Fortran program reads a written loading file the way the solver does (free-form reads,
// sections ended by the first record that does not fit) and prints what it read; every value
// must be the one in the program state and scratch files that produced the file.
#include <cstdio>
#include <cstdlib>

#include "dialogs/loading_file.h"
#include "writer_fixture.h"

namespace {

using writer_test::write_bytes;

// One printed line: a tag and numbers, or a tag and the text of a record.
struct Line {
  std::string tag;
  std::vector<float> numbers;
  std::string text;
  friend bool operator==(const Line&, const Line&) = default;
};

std::ostream& operator<<(std::ostream& out, const Line& line) {
  out << line.tag;
  for (float v : line.numbers) out << ' ' << v;
  return out << (line.text.empty() ? "" : " ") << line.text;
}

Line numbers(std::string tag, std::initializer_list<float> values) { return {std::move(tag), values, ""}; }
Line text_line(std::string tag, std::string text) { return {std::move(tag), {}, std::move(text)}; }

std::vector<Line> parse_output(const std::string& output) {
  std::vector<Line> lines;
  std::istringstream in(output);
  for (std::string row; std::getline(in, row);) {
    std::istringstream fields(row);
    Line line;
    fields >> line.tag;
    if (line.tag == "operator" || line.tag == "terminator" || line.tag == "end_record" || line.tag == "date") {
      std::getline(fields >> std::ws, line.text);
    } else {
      for (std::string number; fields >> number;) line.numbers.push_back(std::strtof(number.c_str(), nullptr));
    }
    lines.push_back(line);
  }
  return lines;
}

bool run(const std::string& command, std::string& output) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return false;
  char block[4096];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) output.append(block, n);
  return ::pclose(pipe) == 0;
}

class WriterFortranTest : public writer_test::WorkingDirectoryTest {
 protected:
  void SetUp() override {
    WorkingDirectoryTest::SetUp();
    if (std::system("command -v gfortran >/dev/null 2>&1") != 0)
      GTEST_SKIP() << "gfortran is not installed; the solver-style reading test needs it";
    const std::string source = std::string(BRANTEL_SOURCE_DIR) + "/tests/loadfile/writer_read.f90";
    std::string log;
    ASSERT_TRUE(run("gfortran -o writer_read '" + source + "' 2>&1", log)) << log;
  }

  void build_state() {
    model::GeneralData& general = state_.general();
    general.operator_code = "ACH";
    general.new_operator = true;
    general.standard_coefficients = false;
    general.beta = "4.";
    general.teta = "1.4";
    general.gamma = "2.";
    general.teta1 = "1.";
    general.delta = "6.";
    general.teta2 = "0.5";
    general.n_nodes = 120;
    general.n_elements = 40;
    general.n_dof = 3;
    writer_test::aero_structural_damping(state_.damping(), {{1, 20, 0.3f}, {21, 40, 0.45f}});
    state_.general().n_loading_cases = 4;
    state_.cases.set_count(4);
    state_.record(1) = {0.0001f, 20, model::LoadingType::discrete, 0.01f, 10, 0.1f, model::MassModel::concentrated, -9.81f, model::PrintingCode::maximum_values};
    state_.record(2) = {0.001f, 100, model::LoadingType::sinusoidal, 0.001f, 20, 0.5f, model::MassModel::concentrated_and_distributed, 9.81f, model::PrintingCode::time_history_and_maximum, 6.25f, 0.5f};
    state_.record(3) = {0.001f, 30, model::LoadingType::accelerogram_3_directions, 0.02f, 40, 1, model::MassModel::distributed, -9.81f, model::PrintingCode::time_history, 0, 0, {0.5f, 0, -1.5f}};
    state_.record(4) = {0.01f, 5, model::LoadingType::accelerogram_1_direction, 0.005f, 0.04f, 0.01f, model::MassModel::concentrated, 0, model::PrintingCode::nothing, 0, 0, {0, 2, 0}};
    state_.loading_file() = "solver.inc";
    // Case 3 has no scratch files at all; case 2 no initial loading file.
    write_bytes("1init.dat", "  1   10  0.5  0.  0.  0.  0.  0.25\nEnd_of_Initial_Conditions\n");
    write_bytes("1InitLoad.dat", "  1  120  10.  0.  0.  -5.\nEnd_of_Initial_Loading\n");
    write_bytes("1TP.dat", " 0.1\n 1 5 1000. 0. 0.\n 0.2\n 1 5 2000. 0. 0.\n 6 8 500. 0. 0.\nEND_OF_CASE1\n");
    write_bytes("2init.dat", " 11  12  1.  2.  3.  4.  5.  6.\nEnd_of_Initial_Conditions\n");
    write_bytes("2TPsin.dat", "  1  120    1.            0.            -2.5\nEND_OF_CASE2\n");
    write_bytes("4init.dat", "End_of_Initial_Conditions\n 0. 2. 0.\n");
    write_bytes("4InitLoad.dat", "End_of_Initial_Loading\n");
    write_bytes("4TPacc.dat", " 0.              0.\n 0.2E-01         0.5000000\n 0.4E-01         -0.2500000\nEND_OF_CASE4\n");
  }

  // What the solver must read: the state's values and the scratch files' values.
  std::vector<Line> expected_lines() {
    std::vector<Line> lines{text_line("operator", "ACH"), numbers("coefficients", {4, 1.4f, 2, 1, 6, 0.5f}),
                            numbers("cases", {4})};
    const std::vector<Line> damping{numbers("niu", {0.25f}), numbers("values", {1.225f, 1.2f}),
                                    numbers("diameter", {1, 20, 0.3f}), numbers("diameter", {21, 40, 0.45f}),
                                    text_line("terminator", "end_Diameters"), numbers("zeta", {0.02f})};
    for (int i = 1; i <= 4; ++i) {
      const model::CaseRecord& c = state_.record(i);
      lines.push_back(numbers("damping", {4}));
      lines.push_back(numbers("tolerance", {c.tolerance, float(c.iteration_limit)}));
      lines.push_back(numbers("parameters", {float(c.loading_type), c.time_step, c.end_time, float(c.mass_model),
                                             c.gravity_acceleration, float(c.printing_code), c.printing_time}));
      add_case_sections(i, damping, lines);
    }
    lines.push_back(text_line("end_record", "End_of_File: solver.inc"));
    return lines;
  }

  void add_case_sections(int i, const std::vector<Line>& damping, std::vector<Line>& lines) {
    const auto add = [&lines](std::initializer_list<Line> more) { lines.insert(lines.end(), more); };
    const Line init_end = text_line("terminator", "End_of_Initial_Conditions");
    const Line load_end = text_line("terminator", "End_of_Initial_Loading");
    const Line case_end = text_line("terminator", "END_OF_CASE" + std::to_string(i));
    if (i == 1) add({numbers("init", {1, 10, 0.5f, 0, 0, 0, 0, 0.25f}), init_end});
    if (i == 2) add({numbers("init", {11, 12, 1, 2, 3, 4, 5, 6}), init_end});
    if (i == 3) add({init_end, numbers("accel", {0.5f, 0, -1.5f})});
    if (i == 4) add({init_end, numbers("accel", {0, 2, 0})});
    lines.insert(lines.end(), damping.begin(), damping.end());
    if (i == 1) add({numbers("initload", {1, 120, 10, 0, 0, -5}), load_end});
    if (i != 1) add({load_end});
    if (i == 1)
      add({numbers("time", {0.1f}), numbers("range", {1, 5, 1000, 0, 0}), numbers("time", {0.2f}),
           numbers("range", {1, 5, 2000, 0, 0}), numbers("range", {6, 8, 500, 0, 0})});
    if (i == 2) add({numbers("omega_phi", {6.25f, 0.5f}), numbers("amplitude", {1, 120, 1, 0, -2.5f})});
    if (i == 4) add({numbers("point", {0, 0}), numbers("point", {0.02f, 0.5f}), numbers("point", {0.04f, -0.25f})});
    add({case_end});
  }
};

TEST_F(WriterFortranTest, SolverStyleFreeFormReadGivesBackTheProgramState) {
  build_state();
  dialogs::Context c = context();
  ASSERT_TRUE(dialogs::write_loading_file(c));
  std::string output;
  ASSERT_TRUE(run("./writer_read solver.inc 3 2>&1", output)) << output;
  std::vector<Line> read = parse_output(output);
  ASSERT_FALSE(read.empty());
  ASSERT_EQ(read.back().tag, "date");
  EXPECT_TRUE(writer_test::is_date_record(read.back().text)) << read.back().text;
  read.pop_back();
  const std::vector<Line> expected = expected_lines();
  ASSERT_EQ(read.size(), expected.size()) << output;
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(read[i], expected[i]) << "line " << i + 1;
}

}  // namespace

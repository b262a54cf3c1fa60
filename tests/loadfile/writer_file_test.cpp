// Whole loading files written from a program state and scratch files made here, compared
// record by record with files written by hand.
#include <sys/stat.h>

#include "dialogs/loading_file.h"
#include "files/record_file.h"
#include "text/fixed_text.h"
#include "text/free_form.h"
#include "writer_fixture.h"

namespace {

using writer_test::expect_same_file;
using writer_test::expected_file;
using writer_test::read_bytes;
using writer_test::write_bytes;

model::CaseRecord discrete_case() {
  model::CaseRecord c;
  c.tolerance = 0.0001f;
  c.iteration_limit = 20;
  c.loading_type = model::LoadingType::discrete;
  c.time_step = 0.01f;
  c.end_time = 10;
  c.mass_model = model::MassModel::concentrated;
  c.gravity_acceleration = -9.81f;
  c.printing_code = model::PrintingCode::maximum_values;
  c.printing_time = 0.1f;
  return c;
}

class WriterFileTest : public writer_test::WorkingDirectoryTest {
 protected:
  void SetUp() override {
    WorkingDirectoryTest::SetUp();
    state_.general().geometry_file = "/home/eng/Dat/frame.dat";
    state_.general().length_unit = "m";
    state_.general().second_unit = "sec";
    state_.general().force_unit = "kN";
    state_.general().n_nodes = 120;
    state_.general().n_elements = 300;
    state_.general().n_dof = 3;
  }

  void set_cases(std::vector<model::CaseRecord> cases) {
    state_.general().n_loading_cases = static_cast<int>(cases.size());
    state_.cases.set_count(state_.general().n_loading_cases);
    for (int i = 1; i <= state_.general().n_loading_cases; ++i) state_.record(i) = cases[i - 1];
  }

  void use_operator(std::string_view code, bool new_operator, bool standard) {
    state_.general().operator_code = code;
    state_.general().new_operator = new_operator;
    state_.general().standard_coefficients = standard;
  }

  // Three cases whose editors were never opened; the third was never filled in either.
  void cases_without_scratch_files() {
    use_operator("ACH", true, true);
    model::CaseRecord accelerogram{0.001f, 30, model::LoadingType::accelerogram_3_directions, 0.02f, 40, 1, model::MassModel::distributed, -9.81f, model::PrintingCode::time_history_and_maximum};
    accelerogram.initial_acceleration[0] = 0.5f;
    accelerogram.initial_acceleration[2] = -1.5f;
    model::CaseRecord never_filled;
    never_filled.loading_type = model::LoadingType::sinusoidal;
    set_cases({discrete_case(), accelerogram, never_filled});
    write_bytes("3init.dat", "");
    write_bytes("3InitLoad.dat", "");
    write_bytes("3TPsin.dat", "\n  \n");
  }

  // Writes the file and checks it against the hand-written one of the same name.
  void write_and_compare(const std::string& name) {
    state_.loading_file() = name;
    dialogs::Context c = context();
    EXPECT_TRUE(dialogs::write_loading_file(c));
    expect_same_file(name, expected_file(name));
  }
};

TEST_F(WriterFileTest, NewOperatorStandardCoefficientsRaleighDamping) {
  use_operator("ACH", true, true);
  state_.damping().present = true;
  state_.damping().type = model::DampingType::rayleigh;
  state_.damping().niu = 0.25f;
  state_.damping().alfa_d = 0.5f;
  state_.damping().beta_d = 0.002f;
  set_cases({discrete_case()});
  write_bytes("1init.dat", "  1   10  0.5  0.  0.  0.  0.  0.    \nEnd_of_Initial_Conditions\n");
  write_bytes("1InitLoad.dat", "  1  120  0.  10.  0.  -5.\r\nEnd_of_Initial_Loading\r\n");
  write_bytes("1TP.dat", " 0.100000001\n 1 5 1000. 0. 0.\n 0.200000003\n 1 5 2000. 0. 0.\n"
                         " 6 8 500. 0. 0.\nEND_OF_CASE1\n");
  write_and_compare("new_operator_standard.inc");
  ASSERT_EQ(toolkit_.messages.size(), 1u);
  EXPECT_EQ(toolkit_.messages[0].text, "Created File: new_operator_standard.inc");
  EXPECT_EQ(toolkit_.messages[0].title, "Create Message");
  EXPECT_EQ(toolkit_.messages[0].icon, ui::Icon::information);
}

TEST_F(WriterFileTest, NewmarkCustomCoefficientsStructuralDampingInRomanian) {
  state_.language = "Romanian";
  use_operator("NEWMARK", false, false);
  state_.general().beta = "4.";
  state_.general().gamma = "2.000";
  state_.general().delta = "9.";  // not written by a two-coefficient operator
  state_.damping().present = true;
  state_.damping().type = model::DampingType::structural;
  state_.damping().niu = 0.3f;  // not written without the New Operator
  state_.damping().zeta = 0.05f;
  model::CaseRecord sinusoidal{0.001f, 100, model::LoadingType::sinusoidal, 0.001f, 20, 0.5f, model::MassModel::concentrated_and_distributed, 9.81f, model::PrintingCode::time_history_and_maximum, 6.283185f, 0};
  set_cases({sinusoidal});
  write_bytes("1init.dat", "  1  120  0.  0.  0.  0.1  0.  0.\nSfarsit_Conditii_Initiale\n");
  write_bytes("1InitLoad.dat", "Sfarsit_Incarcare_Initiala\n");
  write_bytes("1TPsin.dat", "  1  120    1.            0.            0.            \nEND_OF_CASE1\n");
  write_bytes("1TP.dat", "not this one\n");
  write_and_compare("newmark_custom_romanian.inc");
  ASSERT_EQ(toolkit_.messages.size(), 1u);
  EXPECT_EQ(toolkit_.messages[0].text, "Fisier creat: newmark_custom_romanian.inc");
}

TEST_F(WriterFileTest, NewOperatorCustomCoefficientsAeroWithEmptyDiameterTable) {
  use_operator("ACH", true, false);
  // Distinct texts show the order beta, teta, gamma, teta1, delta, teta2.
  state_.general().beta = "4.";
  state_.general().gamma = "2.";
  state_.general().delta = "6.";
  state_.general().teta = "1.40000";
  state_.general().teta1 = "1.";
  state_.general().teta2 = "0.5";
  state_.damping().present = true;
  state_.damping().type = model::DampingType::aero;
  state_.damping().niu = 0.3f;
  state_.damping().ro_air = 1.225f;
  state_.damping().c_drag = 1.2f;
  model::CaseRecord exponential{0.0001f, 50, model::LoadingType::exponential, 0.005f, 2.5f, 0.01f, model::MassModel::distributed, 0, model::PrintingCode::nothing, 0.5f, 0};
  model::CaseRecord one_direction{0.0001f, 20, model::LoadingType::accelerogram_1_direction, 0.02f, 40, 1, model::MassModel::concentrated, -9.81f, model::PrintingCode::time_history};
  set_cases({exponential, one_direction});
  write_bytes("1init.dat", "End_of_Initial_Conditions\n");
  write_bytes("1InitLoad.dat", " 10  20  0.  0.  0.  0.\nEnd_of_Initial_Loading\n");
  write_bytes("1TPexp.dat", " 10  20    2.            0.            0.\nEND_OF_CASE1\n");
  write_bytes("2init.dat", "End_of_Initial_Conditions\n 0.00000000 0.00000000 1.50000000\n");
  write_bytes("2InitLoad.dat", "End_of_Initial_Loading\n");
  write_bytes("2TPacc.dat", " 0.              0.              \n 0.2E-01         0.5000000       \n"
                            " 0.4E-01         -0.2500000      \nEND_OF_CASE2\n");
  write_and_compare("new_operator_custom_aero.inc");
}

TEST_F(WriterFileTest, NewmarkStandardCoefficientsWithoutCases) {
  use_operator("NEWMARK", false, true);
  set_cases({});
  write_and_compare("newmark_standard_zero_cases.inc");
}

TEST_F(WriterFileTest, AeroStructuralDiametersLongGeometryPathAndLongScratchLines) {
  state_.general().geometry_file = "/home/engineer/projects/bridge_over_the_river/geometry/final/frame_model_v12.dat";
  use_operator("ACH", true, true);
  state_.general().n_elements = 1200;
  writer_test::aero_structural_damping(state_.damping(), {{1, 25, 0.3f}, {26, 1200, 0.45f}});
  model::CaseRecord three_directions = discrete_case();
  three_directions.loading_type = model::LoadingType::accelerogram_3_directions;
  set_cases({three_directions});
  write_bytes("1init.dat", "  1  120  0.  0.  0.  0.  0.  0.\nEnd_of_Initial_Conditions\n"
                           " 0.00000000 0.00000000 0.00000000\n");
  write_bytes("1InitLoad.dat", "End_of_Initial_Loading");  // no line end after the last line
  std::string digits;
  for (int i = 0; i < 20; ++i) digits += "1234567890";
  write_bytes("1TPacc.dat", " 0.              0.              0.              0.              \n" +
                                digits + "\n" + std::string(130, '7') + "  " + std::string(68, '8') +
                                "\r\nEND_OF_CASE1\n");
  write_and_compare("aero_structural_diameters.inc");
}

TEST_F(WriterFileTest, CaseWithoutScratchFilesGetsTheTerminatorsTheEditorsWrite) {
  cases_without_scratch_files();
  write_and_compare("without_scratch_files.inc");

  // Create writes from the sections in memory: it neither reads nor leaves case files.
  EXPECT_FALSE(std::filesystem::exists("1init.dat"));
  EXPECT_FALSE(std::filesystem::exists("2TPacc.dat"));
  ASSERT_EQ(toolkit_.messages.size(), 1u);
  EXPECT_EQ(toolkit_.messages[0].text,
            "Created File: without_scratch_files.inc\n"
            "ERROR in Case Codes (tolerance, iterations, time step and end time all 0) in cases: 3\n"
            "No initial values in cases: 1, 2, 3\n"
            "No loading data in cases: 1, 2, 3");
  EXPECT_EQ(toolkit_.messages[0].icon, ui::Icon::warning);
}

// Reads the records of a repeated section until one does not fit; returns how many fitted and
// the record that ended the section.
int read_section(text::RecordSource& source, int n_integers, int n_reals, std::string& terminator) {
  for (int count = 0;; ++count) {
    const std::size_t start = source.position();
    std::vector<int> integers(n_integers);
    std::vector<float> reals(n_reals);
    std::vector<text::Target> targets;
    for (int& v : integers) targets.push_back(text::target(v));
    for (float& v : reals) targets.push_back(text::target(v));
    if (text::read_free_form(source, targets) == text::ReadStatus::ok) continue;
    source.seek(start);
    std::string_view record;
    while (source.next(record) && text::trim_right(record).empty()) {
    }
    terminator = std::string(record);
    return count;
  }
}

TEST_F(WriterFileTest, CaseWithoutScratchFilesReadsBackSectionBySection) {
  cases_without_scratch_files();
  state_.loading_file() = "read_back.inc";
  dialogs::Context c = context();
  ASSERT_TRUE(dialogs::write_loading_file(c));
  text::RecordSource source;
  ASSERT_TRUE(files::read_records("read_back.inc", source));
  std::string_view record;
  while (source.next(record) && record.starts_with("//")) {
  }
  EXPECT_EQ(record, "ACH       ");
  float coefficients[6] = {1, 1, 1, 1, 1, 1};
  int n_cases = -1;
  ASSERT_EQ(text::read_free_form(source, {text::target(coefficients[0]), text::target(coefficients[1]),
                                          text::target(coefficients[2]), text::target(coefficients[3]),
                                          text::target(coefficients[4]), text::target(coefficients[5])}),
            text::ReadStatus::ok);
  EXPECT_THAT(coefficients, ::testing::Each(0.f));
  ASSERT_EQ(text::read_free_form(source, {text::target(n_cases)}), text::ReadStatus::ok);
  ASSERT_EQ(n_cases, 3);
  for (int i = 1; i <= n_cases; ++i) {
    const model::CaseRecord& wanted = state_.record(i);
    model::CaseRecord read;
    int damping = -1, loading_type = 0, mass_model = 0, printing_code = 0;
    ASSERT_EQ(text::read_free_form(source, {text::target(damping), text::target(read.tolerance),
                                            text::target(read.iteration_limit), text::target(loading_type),
                                            text::target(read.time_step), text::target(read.end_time),
                                            text::target(mass_model), text::target(read.gravity_acceleration),
                                            text::target(printing_code), text::target(read.printing_time)}),
              text::ReadStatus::ok);
    read.loading_type = model::code_from_number<model::LoadingType>(loading_type);
    read.mass_model = model::code_from_number<model::MassModel>(mass_model);
    read.printing_code = model::code_from_number<model::PrintingCode>(printing_code);
    EXPECT_EQ(damping, 0);
    std::string terminator;
    EXPECT_EQ(read_section(source, 2, 6, terminator), 0);
    EXPECT_EQ(terminator, "End_of_Initial_Conditions") << "case " << i;
    if (model::accelerogram(wanted.loading_type)) {
      ASSERT_EQ(text::read_free_form(source, {text::target(read.initial_acceleration[0]),
                                              text::target(read.initial_acceleration[1]),
                                              text::target(read.initial_acceleration[2])}),
                text::ReadStatus::ok);
    }
    EXPECT_EQ(read_section(source, 2, 4, terminator), 0);
    EXPECT_EQ(terminator, "End_of_Initial_Loading") << "case " << i;
    if (wanted.loading_type == model::LoadingType::sinusoidal) {
      ASSERT_EQ(text::read_free_form(source, {text::target(read.omega), text::target(read.phi)}),
                text::ReadStatus::ok);
    }
    EXPECT_EQ(read_section(source, 2, 3, terminator), 0);
    EXPECT_EQ(terminator, "END_OF_CASE" + std::to_string(i));
    EXPECT_EQ(read, wanted) << "case " << i;
  }
  ASSERT_TRUE(source.next(record));
  EXPECT_EQ(record, "End_of_File: read_back.inc");
}

TEST_F(WriterFileTest, RomanianTerminatorsAndNotesForMissingScratchFiles) {
  state_.language = "romanian";
  use_operator("ACH", true, true);
  set_cases({discrete_case()});
  write_bytes("1TP.dat", " 0.5\n 1 2 1. 1. 1.\nEND_OF_CASE1\n");
  state_.loading_file() = "ro.inc";
  dialogs::Context c = context();
  ASSERT_TRUE(dialogs::write_loading_file(c));
  const std::vector<std::string> records = writer_test::crlf_records(read_bytes("ro.inc"));
  ASSERT_EQ(records.size(), 19u);
  EXPECT_EQ(records[12], "Sfarsit_Conditii_Initiale");
  EXPECT_EQ(records[13], "Sfarsit_Incarcare_Initiala");
  EXPECT_EQ(records[14], " 0.5");
  ASSERT_EQ(toolkit_.messages.size(), 1u);
  EXPECT_EQ(toolkit_.messages[0].text, "Fisier creat: ro.inc\nFara valori initiale in cazurile: 1");
}

TEST_F(WriterFileTest, WritingAgainGivesTheSameFileAndReplacesALongerOne) {
  use_operator("NEWMARK", false, true);
  set_cases({discrete_case()});
  write_bytes("1TP.dat", " 0.5\n 1 2 1. 1. 1.\nEND_OF_CASE1\n");
  state_.loading_file() = "again.inc";
  write_bytes("again.inc", std::string(100000, 'x'));
  ::chmod("again.inc", 0640);
  dialogs::Context c = context();
  ASSERT_TRUE(dialogs::write_loading_file(c));
  const std::vector<std::string> first = writer_test::crlf_records(read_bytes("again.inc"));
  ASSERT_TRUE(dialogs::write_loading_file(c));
  const std::vector<std::string> second = writer_test::crlf_records(read_bytes("again.inc"));
  ASSERT_EQ(first.size(), second.size());
  EXPECT_TRUE(std::equal(first.begin(), first.end() - 1, second.begin()));
  EXPECT_LT(std::filesystem::file_size("again.inc"), 1000u);
  // The permissions the user gave the file survive its replacement, and no temporary is left.
  struct stat info {};
  ASSERT_EQ(::stat("again.inc", &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  for (const auto& entry : std::filesystem::directory_iterator("."))
    EXPECT_FALSE(entry.path().filename().string().starts_with(".again")) << entry.path();
}

TEST_F(WriterFileTest, ASymbolicLinkKeepsPointingAtTheRewrittenFile) {
  use_operator("NEWMARK", false, true);
  set_cases({});
  std::filesystem::create_directory("real");
  write_bytes("real/target.inc", "old\r\n");
  std::filesystem::create_symlink("real/target.inc", "link.inc");
  state_.loading_file() = "link.inc";
  dialogs::Context c = context();
  ASSERT_TRUE(dialogs::write_loading_file(c));
  EXPECT_TRUE(std::filesystem::is_symlink("link.inc"));
  EXPECT_EQ(writer_test::crlf_records(read_bytes("real/target.inc"))[6], "NEWMARK   ");
}

// A scratch file edited on Windows and cut after its last CR keeps that CR out of the record:
// line ends are never part of a copied line, whether or not the LF follows.
TEST_F(WriterFileTest, LastScratchLineEndingInACarriageReturnAlone) {
  use_operator("NEWMARK", false, true);
  set_cases({discrete_case()});
  write_bytes("1init.dat", "End_of_Initial_Conditions\r");
  write_bytes("1InitLoad.dat", "End_of_Initial_Loading\r\n");
  write_bytes("1TP.dat", " 0.5\r\n 1 2 1. 1.\r\nEND_OF_CASE1\r");
  state_.loading_file() = "cut.inc";
  dialogs::Context c = context();
  ASSERT_TRUE(dialogs::write_loading_file(c));
  const std::vector<std::string> records = writer_test::crlf_records(read_bytes("cut.inc"));
  ASSERT_EQ(records.size(), 19u);
  EXPECT_EQ(records[12], "End_of_Initial_Conditions");
  EXPECT_EQ(records[13], "End_of_Initial_Loading");
  EXPECT_EQ(records[15], " 1 2 1. 1.");
  EXPECT_EQ(records[16], "END_OF_CASE1");
}

}  // namespace

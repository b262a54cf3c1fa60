// A loading file that cannot be written: the user is told which file and why, never
// "Created File", and the previous file is left as it was.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dialogs/loading_file.h"
#include "model/case_files/case_store.h"
#include "support/special_files.h"
#include "loadfile/writer_fixture.h"

namespace {

using writer_test::read_bytes;
using writer_test::write_bytes;
using ::testing::HasSubstr;
using ::testing::Not;

class WriterFailureTest : public writer_test::WorkingDirectoryTest {
 protected:
  void SetUp() override {
    WorkingDirectoryTest::SetUp();
    state_.general().n_loading_cases = 1;
    state_.cases.set_count(1);
    state_.record(1) = {0.001f, 10, model::LoadingType::discrete, 0.01f, 1, 0.1f, model::MassModel::concentrated, 0, model::PrintingCode::maximum_values};
  }

  // Runs the writer on `path` and returns the one message it showed.
  writer_test::Message write_to(const std::string& path) {
    state_.loading_file() = path;
    dialogs::Context c = context();
    EXPECT_FALSE(dialogs::write_loading_file(c));
    EXPECT_EQ(toolkit_.messages.size(), 1u);
    if (toolkit_.messages.empty()) return {};
    const writer_test::Message m = toolkit_.messages.back();
    EXPECT_EQ(m.title, "Create Message");
    EXPECT_EQ(m.icon, ui::Icon::error);
    EXPECT_THAT(m.text, Not(HasSubstr("Created File")));
    return m;
  }

  // Only the files the test made are in the folder: no temporary file was left behind.
  void expect_only_files(const std::filesystem::path& folder, std::set<std::string> names) {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      found.insert(entry.path().filename().string());
    EXPECT_EQ(found, names);
  }
};

TEST_F(WriterFailureTest, MissingFolder) {
  const writer_test::Message m = write_to("no_such_folder/out.inc");
  EXPECT_EQ(m.text, "Create Error on File: no_such_folder/out.inc (No such file or directory)\n"
                    "The file no_such_folder/out.inc was not changed.");
}

TEST_F(WriterFailureTest, FolderThatIsARegularFile) {
  write_bytes("plain", "x");
  const writer_test::Message m = write_to("plain/out.inc");
  EXPECT_THAT(m.text, HasSubstr("plain/out.inc (Not a directory)"));
  EXPECT_EQ(read_bytes("plain"), "x");
}

// Renaming a temporary file over a device, a FIFO or a socket would replace it, and writing
// into one could block or feed another program: none is ever opened for writing.
TEST_F(WriterFailureTest, OnlyARegularFileIsWritten) {
  for (const testing_support::SpecialFile& f : testing_support::make_special_files()) {
    toolkit_.messages.clear();
    const std::filesystem::file_type type = std::filesystem::status(f.path).type();
    const writer_test::Message m = write_to(f.path);
    EXPECT_EQ(m.text, "Create Error on File: " + f.path + " (the name is " + f.kind + ", not a regular file)\n" +
                          "The file " + f.path + " was not changed.");
    EXPECT_EQ(std::filesystem::status(f.path).type(), type) << f.path;
  }
}

TEST_F(WriterFailureTest, ReadOnlyFolderKeepsThePreviousFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions are not enforced";
  std::filesystem::create_directory("ro");
  write_bytes("ro/out.inc", "previous\r\n");
  ::chmod("ro", 0555);
  const writer_test::Message m = write_to("ro/out.inc");
  ::chmod("ro", 0755);
  EXPECT_THAT(m.text, HasSubstr("ro/out.inc (Permission denied)"));
  EXPECT_EQ(read_bytes("ro/out.inc"), "previous\r\n");
  expect_only_files("ro", {"out.inc"});
}

TEST_F(WriterFailureTest, ReadOnlyFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: file permissions are not enforced";
  write_bytes("out.inc", "previous\r\n");
  ::chmod("out.inc", 0444);
  const writer_test::Message m = write_to("out.inc");
  EXPECT_THAT(m.text, HasSubstr("out.inc (Permission denied)"));
  EXPECT_EQ(read_bytes("out.inc"), "previous\r\n");
}

// A file size limit fails the writes the way a full disk does, even for root.
TEST_F(WriterFailureTest, DiskFullHalfWayKeepsThePreviousFile) {
  write_bytes("out.inc", "previous\r\n");
  std::string points;
  for (int i = 1; i <= 20000; ++i) points += " " + std::to_string(i) + ".\n 1 120 1. 2. 3.\n";
  write_bytes("1TP.dat", points + "END_OF_CASE1\n");
  write_bytes("1init.dat", "End_of_Initial_Conditions\n");
  write_bytes("1InitLoad.dat", "End_of_Initial_Loading\n");
  rlimit previous{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previous_handler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = previous;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const writer_test::Message m = write_to("out.inc");
  ::setrlimit(RLIMIT_FSIZE, &previous);
  ::signal(SIGXFSZ, previous_handler);
  EXPECT_EQ(m.text, "Write Error on File: out.inc (File too large)\nThe file out.inc was not changed.");
  EXPECT_EQ(read_bytes("out.inc"), "previous\r\n");
  expect_only_files(".", {"out.inc", "1TP.dat", "1init.dat", "1InitLoad.dat"});
}

// Counts taken back from a stopped run's journal (or kept from a geometry file changed since)
// are not what the solver reads: Create checks the file against the geometry file as it is.
TEST_F(WriterFailureTest, CreateChecksAgainstTheGeometryFileNotTheCountsTheRunHolds) {
  state_.general().geometry_file = std::string(BRANTEL_WORKSPACE) + "/Dat/frame.dat";  // 12 nodes, 3 dof
  state_.general().n_nodes = 1000, state_.general().n_dof = 3, state_.general().n_elements = 15;
  state_.record(1).loading_type = model::LoadingType::sinusoidal;
  model::case_files::CaseStore& store = state_.cases;
  model::case_files::FileFailure failure;
  model::Loading beyond;
  beyond.data = model::AmplitudeLoading{model::LoadingType::sinusoidal, {{490, 500, {1.f, 2.f, 3.f}}}};
  ASSERT_TRUE(store.save_loading(state_, 1, model::LoadingKind::sinusoidal, beyond, failure)) << failure.reason;
  state_.loading_file() = "out.inc";
  toolkit_.answer = ui::Answer::no;
  dialogs::Context c = context();
  EXPECT_FALSE(dialogs::write_loading_file(c));
  ASSERT_FALSE(toolkit_.messages.empty());
  EXPECT_THAT(toolkit_.messages.front().text, HasSubstr("the solver would read wrongly"));
  EXPECT_FALSE(std::filesystem::exists("out.inc"));
}

TEST_F(WriterFailureTest, NoLoadingFileChosen) {
  const writer_test::Message m = write_to("");
  EXPECT_THAT(m.text, HasSubstr("Create Error on File:  (No such file or directory)"));
}

}  // namespace

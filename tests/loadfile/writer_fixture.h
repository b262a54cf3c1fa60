// Shared by the loading file writer tests: a private working directory for each test (the
// scratch files live in the current directory), a toolkit that records message boxes, and
// file helpers that keep every byte.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/context.h"
#include "support/session.h"
#include "model/state.h"
#include "support/fake_toolkit.h"
#include "support/temp_dir.h"
#include "text/free_form.h"
#include "ui/toolkit.h"

namespace writer_test {

using testing_support::FakeToolkit;
using testing_support::Message;

inline std::string read_bytes(const std::filesystem::path& path) {
  return testing_support::read_file(path);
}

inline void write_bytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The records of a written file. Every record must end with CR LF; a bare LF or a missing
// last line end fails the test.
inline std::vector<std::string> crlf_records(const std::string& content) {
  std::vector<std::string> records;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "last record has no CR LF: " << content.substr(start);
      break;
    }
    const std::string record = content.substr(start, end - start);
    if (record.find('\n') != std::string::npos) ADD_FAILURE() << "bare LF inside: " << record;
    records.push_back(record);
    start = end + 2;
  }
  return records;
}

inline bool is_date_record(const std::string& record) {
  static const std::regex layout(R"(\d\d/\d\d/\d{4}   \d\d:\d\d:\d\d)");
  return std::regex_match(record, layout);
}

// An expected record "{free-form 0.5 0 -1.5}" stands for a free-form record whose column layout
// is not fixed: it must read back as exactly these values.
inline void expect_free_form_values(const std::string& actual, const std::string& wanted) {
  std::istringstream values(wanted.substr(11, wanted.size() - 12));
  std::vector<float> expected, read;
  for (float v; values >> v;) expected.push_back(v);
  read.assign(expected.size(), -12345.f);
  std::vector<text::Target> targets;
  for (float& v : read) targets.push_back(text::target(v));
  text::RecordSource source(actual);
  EXPECT_EQ(text::read_free_form(source, targets), text::ReadStatus::ok) << actual;
  EXPECT_TRUE(source.at_end()) << "values continue past the record: " << actual;
  EXPECT_EQ(read, expected) << actual;
}

// Every record equal to the expected file's, the last (the date of writing) by its layout.
inline void expect_same_file(const std::filesystem::path& written, const std::filesystem::path& expected) {
  const std::vector<std::string> actual = crlf_records(read_bytes(written));
  const std::vector<std::string> wanted = crlf_records(read_bytes(expected));
  ASSERT_FALSE(wanted.empty()) << expected;
  ASSERT_EQ(actual.size(), wanted.size()) << written << " vs " << expected;
  for (std::size_t i = 0; i + 1 < wanted.size(); ++i) {
    if (wanted[i].starts_with("{free-form "))
      expect_free_form_values(actual[i], wanted[i]);
    else
      EXPECT_EQ(actual[i], wanted[i]) << "record " << i + 1 << " of " << expected.filename();
  }
  EXPECT_TRUE(is_date_record(actual.back())) << actual.back();
}

// Each test runs in a fresh directory of its own, made current for the test's duration.
// Aero-structural damping with every value it writes; the diameter groups are the test's own.
inline void aero_structural_damping(model::Damping& d, std::vector<model::DiameterGroup> diameters) {
  d.present = true;
  d.type = model::DampingType::aero_structural;
  d.niu = 0.25f;
  d.ro_air = 1.225f;
  d.c_drag = 1.2f;
  d.zeta = 0.02f;
  d.diameters = std::move(diameters);
}

class WorkingDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.emplace();
    directory_ = folder_->path();
    // These tests are about the bytes written, whatever the check of Create finds in them.
    toolkit_.answer = ui::Answer::yes;
  }
  void TearDown() override {
    // A test may have taken the write permission away; the folder must go all the same.
    std::error_code ec;
    std::filesystem::permissions(directory_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    folder_.reset();
  }

  // The case files the test wrote stand for the sections, as when a stopped run is taken back.
  dialogs::Context context() {
    dialogs::Context c{toolkit_, state_, state_.cases};
    c.cases.take_files(state_.case_folder);
    return c;
  }

  std::optional<testing_support::TempCurrentDir> folder_;
  std::filesystem::path directory_;
  FakeToolkit toolkit_;
  testing_support::Session state_;
};

inline std::filesystem::path expected_file(const std::string& name) {
  return std::filesystem::path(BRANTEL_TEST_DATA) / "writer" / name;
}

}  // namespace writer_test

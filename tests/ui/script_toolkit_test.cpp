// The replay format: every statement kind, and every error with its script line.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "support/temp_dir.h"
#include "ui/script/script_toolkit.h"

namespace {

using ui::ControlKind;
using ui::script::ScriptError;
using ui::script::ScriptToolkit;

// A dialog with one of each kind of control, so the toolkit is tested apart from the program.
const ui::DialogTemplate& test_template() {
  static const ui::DialogTemplate t{
      900, "Test", 300, 200,
      {
          {10, ControlKind::edit, "Field", {}, {}},
          {11, ControlKind::list_box, "List", {"a", "b", "c"}, {}},
          {12, ControlKind::drop_down, "Drop", {"x", "y"}, {}},
          {13, ControlKind::push_button, "Act", {}, {}},
          {14, ControlKind::static_text, "?", {}, {}},
          {15, ControlKind::push_button, "Off", {}, {}, {}, false},
          {16, ControlKind::edit, "From", {}, {}, {}, true, false, true},
          {1, ControlKind::push_button, "OK", {}, {}},
          {2, ControlKind::push_button, "Cancel", {}, {}},
      }};
  return t;
}

struct Outcome {
  int error_line = 0;
  std::string error;
  std::string transcript;
  int code = -1;
};

// Runs `program` against `script`, as brantel-replay runs the real program.
Outcome replay(const std::string& script, const std::function<int(ui::Toolkit&)>& program) {
  auto parsed = ui::script::parse_script(script);
  Outcome run;
  if (parsed.error_line) {
    run.error_line = parsed.error_line;
    run.error = parsed.error;
    return run;
  }
  std::ostringstream transcript;
  ScriptToolkit toolkit(std::move(parsed), transcript);
  toolkit.add_template(test_template());
  try {
    run.code = program(toolkit);
    toolkit.finish();
  } catch (const ScriptError& e) {
    run.error_line = e.line();
    run.error = e.what();
  }
  run.transcript = transcript.str();
  return run;
}

// A program with one dialog whose callbacks record what they were called with.
struct Recorder {
  std::vector<std::string> calls;
  int operator()(ui::Toolkit& toolkit) {
    auto dialog = toolkit.create_dialog(900);
    for (int id : {900, 10, 11, 12, 13}) {
      dialog->on(id, [this](ui::Dialog& d, ui::ControlId c) {
        calls.push_back(std::to_string(c) + ":" + d.text(10, 4) + ":" + std::to_string(d.selection(11)));
        if (c == 13) d.set_text(14, "done");
      });
    }
    dialog->set_text(10, "set");  // values set by the program run no callback
    return dialog->run_modal();
  }
};

TEST(ReplayScript, UserActionsRunCallbacksAndProgramValuesDoNot) {
  Recorder program;
  Outcome run = replay(
      "in 900   # comment\n"
      "\n"
      "type 10 \"ab\"\n"
      "pick 11 2\n"
      "press 13\n"
      "expect text 14 \"done\"\n"
      "expect text 10 \"ab\"\n"
      "expect item 11 3 \"c\"\n"
      "expect items 12 2\n"
      "expect selected 11 2\n"
      "expect enabled 13\n"
      "expect disabled 15\n"
      "press 1\n",
      std::ref(program));
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(program.calls, (std::vector<std::string>{"900:set :0", "10:ab  :0", "11:ab  :2", "13:ab  :2"}));
}

TEST(ReplayScript, CloseBoxAndCancelGiveCodeTwo) {
  EXPECT_EQ(replay("close\n", Recorder()).code, 2);
  EXPECT_EQ(replay("press 2\n", Recorder()).code, 2);
}

TEST(ReplayScript, CloseBoxDoesNothingWhileCancelIsDisabled) {
  auto program = [](ui::Toolkit& toolkit) {
    auto dialog = toolkit.create_dialog(900);
    dialog->set_enabled(2, false);
    return dialog->run_modal();
  };
  Outcome run = replay("close\nin 900\npress 1\n", program);
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.code, 1);
}

TEST(ReplayScript, DigitsOnlyFieldKeepsTheDigitsTyped) {
  Outcome run = replay("type 16 \"1a-2 \"\nexpect text 16 \"12\"\nclose\n", Recorder());
  EXPECT_EQ(run.error, "");
}

// As on screen: keys the field refuses leave its selected text, and clearing an empty field
// is no change, so neither runs the callback.
TEST(ReplayScript, TypingThatChangesNothingRunsNoCallback) {
  Recorder program;
  Outcome run = replay("type 10 \"\"\ntype 10 \"ab\"\ntype 10 \"\"\ntype 10 \"\"\nclose\n", std::ref(program));
  EXPECT_EQ(run.error, "");
  // "set" cleared, "ab" typed, cleared; the second clearing finds the field empty.
  EXPECT_EQ(program.calls, (std::vector<std::string>{"900:set :0", "10:    :0", "10:ab  :0", "10:    :0"}));
  std::vector<std::string> calls;
  auto digits = [&calls](ui::Toolkit& toolkit) {
    auto dialog = toolkit.create_dialog(900);
    dialog->on(16, [&calls](ui::Dialog& d, ui::ControlId) { calls.push_back(d.text(16, 2)); });
    return dialog->run_modal();
  };
  run = replay("type 16 \"12\"\ntype 16 \"ab\"\nexpect text 16 \"12\"\nclose\n", digits);
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(calls, std::vector<std::string>{"12"});
}

TEST(ReplayScript, MessagesAreTranscribedAndChecked) {
  auto program = [](ui::Toolkit& toolkit) {
    auto dialog = toolkit.create_dialog(900);
    dialog->on(13, [&toolkit](ui::Dialog& d, ui::ControlId) {
      toolkit.message_box("First \"one\"\nsecond line", "ADD Message", ui::Icon::error, ui::Buttons::ok);
      auto a = toolkit.message_box("Sure?", "Remove Message", ui::Icon::question, ui::Buttons::yes_no);
      d.set_text(14, a == ui::Answer::yes ? "yes" : "no");
    });
    return dialog->run_modal();
  };
  Outcome run = replay(
      "answer no\n"
      "press 13\n"
      "expect message \"ADD Message\" \"First \\\"one\\\"\\nsecond line\"\n"
      "expect message \"Remove Message\" \"Sure?\"\n"
      "expect no message\n"
      "expect text 14 \"no\"\n"
      "press 13\n"
      "answer yes\n"  // an answer may also follow the action that shows its box
      "expect text 14 \"yes\"\n"
      "close\n",
      program);
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.transcript,
            "message \"ADD Message\" \"First \\\"one\\\"\\nsecond line\"\n"
            "message \"Remove Message\" \"Sure?\"\n"
            "message \"ADD Message\" \"First \\\"one\\\"\\nsecond line\"\n"
            "message \"Remove Message\" \"Sure?\"\n");
}

TEST(ReplayScript, FileBoxAnswersChangeTheCurrentDirectory) {
  testing_support::TempCurrentDir dir;
  std::filesystem::create_directory("Dat");
  std::string chosen;
  auto program = [&](ui::Toolkit& toolkit) {
    ui::OpenFileRequest request;
    request.title = "Pick";
    const bool first = toolkit.open_file_box(request, chosen);
    std::string second_buffer;
    const bool second = toolkit.open_file_box(request, second_buffer);
    toolkit.show_text_file(chosen);
    return (first ? 10 : 0) + (second ? 1 : 0);
  };
  Outcome run = replay("file \"Dat/frame.dat\"\nfile cancel\n", program);
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.code, 10);
  EXPECT_EQ(chosen, (dir.path() / "Dat" / "frame.dat").string());
  EXPECT_EQ(std::filesystem::current_path(), dir.path() / "Dat");
  EXPECT_EQ(run.transcript, "view " + ui::script::quoted(chosen) + "\n");
}

struct ErrorCase {
  const char* script;
  int line;
  const char* error;
};

TEST(ReplayScript, EveryErrorNamesItsLine) {
  const ErrorCase cases[] = {
      {"in 900\nin 101\n", 2, "dialog 900 is open, not 101"},
      {"expect text 14 \"x\"\n", 1, "control 14: expected \"x\", found \"?\""},
      {"expect item 11 4 \"d\"\n", 1, "control 11: expected item 4, found 3 items"},
      {"expect item 11 1 \"b\"\n", 1, "control 11: expected item 1 \"b\", found \"a\""},
      {"expect items 11 2\n", 1, "control 11: expected 2 items, found 3"},
      {"expect selected 11 1\n", 1, "control 11: expected selection 1, found 0"},
      {"expect enabled 15\n", 1, "control 15: expected enabled, found disabled"},
      {"\nexpect disabled 13\n", 2, "control 13: expected disabled, found enabled"},
      {"type 99 \"1\"\n", 1, "no control 99 in dialog 900"},
      {"type 13 \"1\"\n", 1, "control 13 in dialog 900 is not an edit field"},
      {"pick 10 1\n", 1, "control 10 in dialog 900 is not a list or drop-down"},
      {"pick 11 4\n", 1, "control 11 has no item 4 (it has 3)"},
      {"press 15\n", 1, "control 15 in dialog 900 is disabled"},
      {"expect message \"T\" \"x\"\n", 1, "expected message \"T\" \"x\", none shown"},
      {"in 900\n", 1, "the script ended while dialog 900 is open"},
      {"close\npress 1\n", 2, "statements left after the program ended"},
      {"type 10 \"open\n", 1, "unterminated quoted string"},
      {"push 10\n", 1, "not a statement: push 10"},
      {"pick 11 x\n", 1, "not a statement: pick 11 x"},
      {"key F1\n", 1, "not a statement: key F1"},
      {"focus 14\n", 1, "control 14 cannot take the focus"},
      {"click 12 1\n", 1, "control 12 is not a list"},
      {"expect focus 11\n", 1, "expected the focus on control 11, found it on 10"},
      {"key SPACE\n", 1, "key SPACE on control 10, an edit field: use type"},
      {"focus 12\nkey SPACE\n", 2, "key SPACE on control 12: a drop-down opens on SPACE; use UP/DOWN"},
      {"expect box folder \"x\"\n", 1, "no open-file box has been shown"},
  };
  for (const ErrorCase& c : cases) {
    Outcome run = replay(c.script, Recorder());
    EXPECT_EQ(run.error_line, c.line) << c.script;
    EXPECT_EQ(run.error, c.error) << c.script;
  }
}

TEST(ReplayScript, BoxesWithoutQueuedAnswersAndUncheckedMessagesAreErrors) {
  auto asks = [](ui::Toolkit& toolkit) {
    auto dialog = toolkit.create_dialog(900);
    dialog->on(13, [&toolkit](ui::Dialog&, ui::ControlId) {
      toolkit.message_box("Note", "Message", ui::Icon::information, ui::Buttons::ok);
      toolkit.message_box("Sure?", "Q", ui::Icon::question, ui::Buttons::yes_no);
    });
    dialog->on(10, [&toolkit](ui::Dialog&, ui::ControlId) {
      std::string buffer;
      toolkit.open_file_box({{}, 1, "inc", "Select", "."}, buffer);
    });
    return dialog->run_modal();
  };
  Outcome no_answer = replay("press 13\nclose\n", asks);
  EXPECT_EQ(no_answer.error_line, 1);
  EXPECT_EQ(no_answer.error, "a Yes/No box with no queued answer: \"Sure?\"");

  Outcome no_file = replay("type 10 \"x\"\n", asks);
  EXPECT_EQ(no_file.error, "an open-file box \"Select\" with no queued answer");

  Outcome unchecked = replay("answer yes\npress 13\nexpect message \"Message\" \"Note\"\nexpect no message\n", asks);
  EXPECT_EQ(unchecked.error_line, 4);
  EXPECT_EQ(unchecked.error, "unchecked message \"Q\" \"Sure?\"");

  Outcome missing_folder = replay("file \"no/such/folder/x.inc\"\ntype 10 \"x\"\n", asks);
  EXPECT_EQ(missing_folder.error_line, 1);
  EXPECT_EQ(missing_folder.error, "the folder of \"no/such/folder/x.inc\" does not exist");
}

TEST(ReplayScript, ExpectedTextsNameTheStartFolderAsWorkspace) {
  testing_support::TempCurrentDir dir;
  auto program = [](ui::Toolkit& toolkit) {
    auto dialog = toolkit.create_dialog(900);
    const std::string path = std::filesystem::current_path().string() + "/Dat/run.inc";
    dialog->set_text(14, path);
    toolkit.message_box("Created File: " + path, "Create Message", ui::Icon::information, ui::Buttons::ok);
    return dialog->run_modal();
  };
  EXPECT_EQ(replay("expect text 14 \"@WORKSPACE@/Dat/run.inc\"\n"
                   "expect message \"Create Message\" \"Created File: @WORKSPACE@/Dat/run.inc\"\nclose\n",
                   program).error,
            "");
  EXPECT_EQ(replay("expect text 14 \"@WORKSPACE@/run.inc\"\nclose\n", program).error,
            "control 14: expected \"@WORKSPACE@/run.inc\", found " +
                ui::script::quoted(dir.path().string() + "/Dat/run.inc"));
}

TEST(ReplayScript, QuotedStringsTakeEscapes) {
  auto parsed = ui::script::parse_script("type 1 \"a\\\"b\\\\c\\nd\" # \"not a string\"\n");
  ASSERT_EQ(parsed.error_line, 0);
  ASSERT_EQ(parsed.statements.size(), 1u);
  EXPECT_EQ(parsed.statements[0].text, "a\"b\\c\nd");
  EXPECT_EQ(ui::script::quoted("a\"b\\c\nd"), "\"a\\\"b\\\\c\\nd\"");
}

// The keyboard: Tab through the enabled controls in template order, keys on the focused one;
// arriving at a list puts it on its first item without choosing it.
TEST(ReplayScript, KeysActOnTheFocusedControlInTemplateOrder) {
  Recorder program;
  Outcome run = replay(
      "expect focus 10\n"
      "key TAB\n"
      "expect focus 11\n"
      "expect selected 11 0\n"
      "key SPACE\n"
      "expect selected 11 1\n"
      "key END\n"
      "key DOWN\n"
      "expect selected 11 3\n"
      "key TAB\n"
      "key DOWN\n"
      "expect selected 12 1\n"
      "key TAB\n"
      "key TAB\n"   // 14 is a static, 15 disabled
      "expect focus 16\n"
      "focus 13\n"
      "key ENTER\n"
      "key TAB\n"
      "key TAB\n"
      "key TAB\n"
      "expect focus 2\n"
      "key TAB\n"
      "expect focus 10\n"
      "key ESC\n",
      std::ref(program));
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.code, 2);
  EXPECT_EQ(program.calls, (std::vector<std::string>{"900:set :0", "11:set :1", "11:set :3", "12:set :3",
                                                     "13:set :3"}));
}

// Esc and the close box ask the dialog first; the labelled Cancel does not.
TEST(ReplayScript, EscapeAndCloseBoxLeaveOnlyWhenTheDialogAllows) {
  int asked = 0;
  auto program = [&asked](ui::Toolkit& toolkit) {
    auto dialog = toolkit.create_dialog(900);
    dialog->on_leave([&asked](ui::Dialog&) { return ++asked > 2; });
    return dialog->run_modal();
  };
  Outcome run = replay("key ESC\nclose\nin 900\npress 2\n", program);
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.code, 2);
  EXPECT_EQ(asked, 2);
  asked = 0;
  EXPECT_EQ(replay("key ESC\nclose\nkey ESC\n", program).code, 2);
  EXPECT_EQ(asked, 3);
}

}  // namespace


// A program that presses 13 to run five steps under a progress bar, recording the steps done.
struct Stepper {
  std::vector<int> steps;
  int done = -1;
  int operator()(ui::Toolkit& toolkit) {
    auto dialog = toolkit.create_dialog(900);
    dialog->on(13, [&](ui::Dialog&, ui::ControlId) {
      done = toolkit.run_steps({"Work", "", 5}, [this](int k) {
        steps.push_back(k);
        return std::string();
      });
    });
    return dialog->run_modal();
  }
};

TEST(ReplayScript, ProgressCancelStopsBetweenStepsOnceThatManyAreDone) {
  for (const auto& [cancel, done] : {std::pair{"progress cancel 2\n", 2}, {"progress cancel 0\n", 0}, {"", 5}}) {
    Stepper program;
    const Outcome run = replay(std::string("press 13\n") + cancel + "press 1\n", std::ref(program));
    EXPECT_EQ(run.error, "") << cancel;
    EXPECT_EQ(program.done, done) << cancel;
    EXPECT_EQ(program.steps.size(), static_cast<std::size_t>(done)) << cancel;
    EXPECT_EQ(run.transcript, "progress \"Work\" " + std::to_string(done) + " of 5\n");
  }
  Stepper stray;
  EXPECT_EQ(replay("progress cancel 1\npress 1\n", std::ref(stray)).error, "no progress bar to cancel");
}

TEST(ReplayScript, OneFileStatementAnswersABoxOfSeveralFilesInOneFolder) {
  testing_support::TempCurrentDir dir;
  std::filesystem::create_directory("rec");
  std::vector<std::string> chosen;
  auto program = [&chosen](ui::Toolkit& toolkit) {
    return toolkit.open_files_box({{}, 1, "", "Add", "."}, chosen) ? 1 : 2;
  };
  Outcome run = replay("file \"rec/a.AT2\" \"rec/b.AT2\"\n", program);
  EXPECT_EQ(run.error, "");
  ASSERT_EQ(chosen.size(), 2u);
  EXPECT_EQ(std::filesystem::path(chosen[1]), dir.path() / "rec/b.AT2");
  EXPECT_EQ(std::filesystem::current_path(), dir.path() / "rec");
  std::filesystem::current_path(dir.path());
  std::filesystem::create_directory("other");
  EXPECT_EQ(replay("file \"rec/a.AT2\" \"other/b.AT2\"\n", program).error, "the files of one box are in one folder");
  std::string one;
  auto single = [&one](ui::Toolkit& toolkit) { return toolkit.open_file_box({{}, 1, "", "Open", "."}, one) ? 1 : 2; };
  EXPECT_EQ(replay("file \"rec/a.AT2\" \"rec/b.AT2\"\n", single).error, "this box takes one file");
}

// The replay script: the user's actions, one statement a line, and what the screen must show.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui::script {

enum class Key { esc, tab, space, enter, up, down, home, end };

struct Statement {
  enum class Kind {
    in,                // in ID: the innermost open dialog is template ID
    type,              // type ID "TEXT"
    pick,              // pick ID N
    press,             // press ID
    close,             // close: the close box of the innermost dialog
    file,              // file "PATH": answer for the next open-file box
    file_cancel,       // file cancel
    answer,            // answer yes|no: answer for the next Yes/No box
    recover,           // recover yes|no: answer for the question that offers a stopped run back
    expect_text,       // expect text ID "TEXT"
    expect_item,       // expect item ID N "TEXT"
    expect_items,      // expect items ID N
    expect_curves,     // expect curves ID N: a chart control shows N curves
    expect_selected,   // expect selected ID N
    expect_enabled,    // expect enabled ID
    expect_disabled,   // expect disabled ID
    expect_message,    // expect message "TITLE" "TEXT"
    expect_no_message, // expect no message
    key,               // key ESC|TAB|SPACE|ENTER|UP|DOWN|HOME|END: on the focused control
    focus,             // focus ID: the keyboard focus moves to the control
    click,             // click ID N: one mouse click on item N of list ID
    expect_focus,      // expect focus ID
    expect_box_folder, // expect box folder "PATH": the last open-file box opened there
    expect_box_lists,  // expect box lists "NAME NAME": ... and listed these files
    expect_box_offers, // expect box offers "NAME": ... with this name in its name field
    wait,              // wait "PATH": until PATH exists (relative to the start folder)
    progress_cancel,   // progress cancel N: Cancel of the progress bar once N steps are done
  };
  Kind kind = Kind::close;
  int line = 0;
  int id = 0;
  int number = 0;     // item number, count; for answer and recover: 1 yes, 0 no
  Key key = Key::esc;
  std::string text;   // typed text, file path, expected text; message title
  std::string text2;  // message text
  std::vector<std::string> more;  // file: the further files of one box, after `text`
};

struct ParseResult {
  std::vector<Statement> statements;
  int error_line = 0;  // 0: no error
  std::string error;
  int last_line = 0;   // number of lines of the script
};

ParseResult parse_script(std::string_view script);

// The name a script gives the key: "ESC", "TAB", ...
std::string_view key_name(Key key);

// A string as the script and the transcript quote it: \" \\ and \n escaped.
std::string quoted(std::string_view s);

// `text` with each @WORKSPACE@ replaced by `workspace`.
std::string with_workspace(std::string_view text, const std::string& workspace);
// A folder as `expect box folder` compares it: without a trailing "/".
std::string folder_text(std::string_view folder);
// What an open-file box showed when it opened, and an `expect box` statement held against it
// (`expected` with @WORKSPACE@ already replaced).
struct BoxSeen {
  std::string folder, listing, name;
};
struct BoxCheck {
  bool holds = true;
  std::string problem;
};
BoxCheck box_check(const Statement& s, const std::string& expected, const BoxSeen& seen);

// Whether `name` matches a file-box pattern ("*.dat"): "*" any run, "?" one character, letters
// in either case, as file boxes match them.
bool box_pattern_matches(std::string_view pattern, std::string_view name);

}  // namespace ui::script

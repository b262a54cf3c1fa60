// The replay script: the user's actions, one statement a line, and what the screen must show.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui::script {

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
    expect_text,       // expect text ID "TEXT"
    expect_item,       // expect item ID N "TEXT"
    expect_items,      // expect items ID N
    expect_selected,   // expect selected ID N
    expect_enabled,    // expect enabled ID
    expect_disabled,   // expect disabled ID
    expect_message,    // expect message "TITLE" "TEXT"
    expect_no_message, // expect no message
    wait,              // wait "PATH": until PATH exists (relative to the start folder)
  };
  Kind kind = Kind::close;
  int line = 0;
  int id = 0;
  int number = 0;     // item number, count; for answer: 1 yes, 0 no
  std::string text;   // typed text, file path, expected text; message title
  std::string text2;  // message text
};

struct ParseResult {
  std::vector<Statement> statements;
  int error_line = 0;  // 0: no error
  std::string error;
  int last_line = 0;   // number of lines of the script
};

ParseResult parse_script(std::string_view script);

// A string as the script and the transcript quote it: \" \\ and \n escaped.
std::string quoted(std::string_view s);

}  // namespace ui::script

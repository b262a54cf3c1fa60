#include "ui/script/script.h"

#include <charconv>
#include <optional>

namespace ui::script {

namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits one line into words and quoted strings; a "#" outside quotes ends the line.
bool tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      Token t{{}, true};
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\') {
          if (i >= line.size()) break;
          const char e = line[i++];
          if (e == 'n') d = '\n';
          else if (e == '"' || e == '\\') d = e;
          else {
            error = std::string("unknown escape \\") + e;
            return false;
          }
        }
        t.text += d;
      }
      if (!closed) {
        error = "unterminated quoted string";
        return false;
      }
      tokens.push_back(std::move(t));
    } else {
      Token t;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '"' &&
             line[i] != '#')
        t.text += line[i++];
      tokens.push_back(std::move(t));
    }
  }
  return true;
}

std::optional<int> number(const Token& t) {
  if (t.quoted) return std::nullopt;
  int value = 0;
  auto [end, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), value);
  if (ec != std::errc() || end != t.text.data() + t.text.size()) return std::nullopt;
  return value;
}

bool word(const Token& t, std::string_view w) { return !t.quoted && t.text == w; }

// Statement shapes: the keyword(s), then arguments: 'n' a number, 's' a quoted string,
// 'k' a key name.
struct Shape {
  std::vector<std::string_view> words;
  std::string_view arguments;
  Statement::Kind kind;
};

const std::vector<Shape>& shapes() {
  using K = Statement::Kind;
  static const std::vector<Shape> all = {
      {{"in"}, "n", K::in},
      {{"type"}, "ns", K::type},
      {{"pick"}, "nn", K::pick},
      {{"press"}, "n", K::press},
      {{"close"}, "", K::close},
      {{"file", "cancel"}, "", K::file_cancel},
      {{"file"}, "s+", K::file},
      {{"progress", "cancel"}, "n", K::progress_cancel},
      {{"answer", "yes"}, "", K::answer},
      {{"answer", "no"}, "", K::answer},
      {{"recover", "yes"}, "", K::recover},
      {{"recover", "no"}, "", K::recover},
      {{"expect", "text"}, "ns", K::expect_text},
      {{"expect", "item"}, "nns", K::expect_item},
      {{"expect", "items"}, "nn", K::expect_items},
      {{"expect", "curves"}, "nn", K::expect_curves},
      {{"expect", "selected"}, "nn", K::expect_selected},
      {{"expect", "enabled"}, "n", K::expect_enabled},
      {{"expect", "disabled"}, "n", K::expect_disabled},
      {{"expect", "message"}, "ss", K::expect_message},
      {{"expect", "no", "message"}, "", K::expect_no_message},
      {{"key"}, "k", K::key},
      {{"focus"}, "n", K::focus},
      {{"click"}, "nn", K::click},
      {{"expect", "focus"}, "n", K::expect_focus},
      {{"expect", "box", "folder"}, "s", K::expect_box_folder},
      {{"expect", "box", "lists"}, "s", K::expect_box_lists},
      {{"expect", "box", "offers"}, "s", K::expect_box_offers},
      {{"wait"}, "s", K::wait},
  };
  return all;
}

constexpr Key all_keys[] = {Key::esc, Key::tab, Key::space, Key::enter, Key::up, Key::down, Key::home, Key::end};

std::optional<Key> key(const Token& t) {
  if (t.quoted) return std::nullopt;
  for (Key k : all_keys)
    if (t.text == key_name(k)) return k;
  return std::nullopt;
}

// Fills `s` from the tokens when they have this shape exactly.
// A shape ending in "+" takes its last argument once or more (quoted strings only).
bool match(const Shape& shape, const std::vector<Token>& tokens, Statement& s) {
  if (shape.arguments.ends_with('+')) {
    const std::size_t fixed = shape.words.size() + shape.arguments.size() - 1;
    if (tokens.size() < fixed) return false;
    if (!match({shape.words, shape.arguments.substr(0, shape.arguments.size() - 1), shape.kind},
               std::vector<Token>(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(fixed)), s))
      return false;
    for (std::size_t i = fixed; i < tokens.size(); ++i) {
      if (!tokens[i].quoted) return false;
      s.more.push_back(tokens[i].text);
    }
    return true;
  }
  if (tokens.size() != shape.words.size() + shape.arguments.size()) return false;
  for (std::size_t i = 0; i < shape.words.size(); ++i)
    if (!word(tokens[i], shape.words[i])) return false;
  std::vector<int> numbers;
  std::vector<std::string> strings;
  for (std::size_t i = 0; i < shape.arguments.size(); ++i) {
    const Token& t = tokens[shape.words.size() + i];
    if (shape.arguments[i] == 'k') {
      auto k = key(t);
      if (!k) return false;
      s.key = *k;
    } else if (shape.arguments[i] == 'n') {
      auto n = number(t);
      if (!n) return false;
      numbers.push_back(*n);
    } else {
      if (!t.quoted) return false;
      strings.push_back(t.text);
    }
  }
  s.kind = shape.kind;
  if (!numbers.empty()) s.id = numbers[0];
  if (numbers.size() > 1) s.number = numbers[1];
  if (!strings.empty()) s.text = strings[0];
  if (strings.size() > 1) s.text2 = strings[1];
  if (shape.kind == Statement::Kind::answer || shape.kind == Statement::Kind::recover) s.number = shape.words[1] == "yes" ? 1 : 0;
  if (shape.kind == Statement::Kind::expect_message) {
    s.text = strings[0];
    s.text2 = strings[1];
  }
  return true;
}

}  // namespace

ParseResult parse_script(std::string_view script) {
  ParseResult result;
  int line_number = 0;
  std::size_t start = 0;
  while (start < script.size()) {
    std::size_t end = script.find('\n', start);
    if (end == std::string_view::npos) end = script.size();
    const std::string_view line = script.substr(start, end - start);
    start = end + 1;
    ++line_number;
    std::vector<Token> tokens;
    std::string error;
    if (!tokenize(line, tokens, error)) {
      result.error_line = line_number;
      result.error = error;
      return result;
    }
    if (tokens.empty()) continue;
    Statement s;
    s.line = line_number;
    bool matched = false;
    for (const Shape& shape : shapes())
      if ((matched = match(shape, tokens, s))) break;
    if (!matched) {
      result.error_line = line_number;
      result.error = "not a statement: " + std::string(line);
      return result;
    }
    result.statements.push_back(std::move(s));
  }
  result.last_line = line_number;
  return result;
}

std::string_view key_name(Key key) {
  switch (key) {
    case Key::esc: return "ESC";
    case Key::tab: return "TAB";
    case Key::space: return "SPACE";
    case Key::enter: return "ENTER";
    case Key::up: return "UP";
    case Key::down: return "DOWN";
    case Key::home: return "HOME";
    case Key::end: return "END";
  }
  return "";
}

std::string with_workspace(std::string_view text, const std::string& workspace) {
  static constexpr std::string_view token = "@WORKSPACE@";
  std::string out(text);
  for (std::size_t at = out.find(token); at != std::string::npos; at = out.find(token, at + workspace.size()))
    out.replace(at, token.size(), workspace);
  return out;
}

std::string folder_text(std::string_view folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  return std::string(folder);
}

BoxCheck box_check(const Statement& s, const std::string& expected, const BoxSeen& seen) {
  std::string got = seen.name, want = expected, what = "offered the name ";
  if (s.kind == Statement::Kind::expect_box_folder) {
    got = seen.folder;
    want = folder_text(expected);
    what = "opened in ";
  } else if (s.kind == Statement::Kind::expect_box_lists) {
    got = seen.listing;
    what = "listed ";
  }
  if (got == want) return {};
  return {false, "the open-file box " + what + quoted(got) + ", expected " + quoted(want)};
}

bool box_pattern_matches(std::string_view pattern, std::string_view name) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (pattern.empty()) return name.empty();
  if (pattern.front() == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip)
      if (box_pattern_matches(pattern.substr(1), name.substr(skip))) return true;
    return false;
  }
  if (name.empty()) return false;
  if (pattern.front() != '?' && lower(pattern.front()) != lower(name.front())) return false;
  return box_pattern_matches(pattern.substr(1), name.substr(1));
}

std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace ui::script

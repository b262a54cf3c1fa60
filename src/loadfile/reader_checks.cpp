#include "loadfile/reader_checks.h"

#include <algorithm>
#include <cctype>

#include "model/record_words.h"

namespace loadfile {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

bool same_letters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool starts_with_letters(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && same_letters(s.substr(0, prefix.size()), prefix);
}

// "END_OF_CASE3", "SFARSIT_CAZ12": the word and a case number.
bool is_case_end(std::string_view record) {
  for (std::string_view word : {model::case_end.english, model::case_end.romanian}) {
    if (!starts_with_letters(record, word) || record.size() == word.size()) continue;
    const std::string_view number = record.substr(word.size());
    if (std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) return true;
  }
  return false;
}

}  // namespace

std::string_view section_words(Section section, bool romanian) {
  switch (section) {
    case Section::initial_conditions: return romanian ? "conditiile initiale" : "the initial conditions";
    case Section::diameters: return romanian ? "diametrele elementelor" : "the element diameters";
    case Section::initial_loading: return romanian ? "incarcarea initiala" : "the initial loading";
    case Section::loading_data: return romanian ? "datele incarcarii" : "the loading data";
  }
  return {};
}

bool is_section_end(std::string_view record, Section section) {
  record = trimmed(record);
  auto any_of = [record](std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(), [record](std::string_view w) { return same_letters(record, w); });
  };
  switch (section) {
    case Section::initial_conditions:
      return any_of({model::case_file_conditions_end.english, model::case_file_conditions_end.romanian,
                     model::conditions_end.english, model::conditions_end.romanian});
    case Section::diameters: return any_of({model::diameters_end});
    case Section::initial_loading: return any_of({model::initial_loading_end.english, model::initial_loading_end.romanian});
    case Section::loading_data: return is_case_end(record);
  }
  return false;
}

// Values are separated by blanks or a comma; a "/" ends the record's values.
bool holds_more_than_one_value(std::string_view record) {
  record = trimmed(record.substr(0, record.find('/')));
  const std::size_t end_of_first = record.find_first_of(" \t,");
  if (end_of_first == std::string_view::npos) return false;
  const std::string_view rest = record.substr(end_of_first);
  return rest.find_first_not_of(" \t,") != std::string_view::npos;
}

bool is_end_of_file_record(std::string_view record) {
  record = trimmed(record);
  // The blank after the colon is not asked for: a file whose path record was cut there still ends.
  auto word = [](std::string_view w) { return w.substr(0, w.find(':') + 1); };
  return starts_with_letters(record, word(model::file_end.english)) ||
         starts_with_letters(record, word(model::file_end.romanian));
}

}  // namespace loadfile

// A field of N bytes may end inside a UTF-8 character: what is shown of it leaves that
// character out, while the field keeps its bytes for the files it goes to.
#include "text/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FixedText, AFieldShowsNoCharacterItsEndCutInTwoAndKeepsItsBytes) {
  // "Romana, limba rom" and two 2-byte characters: 21 bytes, the second cut by the field.
  const text::Field<20> language(std::string("Romana, limba rom\xc4\x83\xc4\x83"));
  EXPECT_EQ(language.view(), std::string("Romana, limba rom\xc4\x83\xc4"));
  EXPECT_EQ(language.shown(), std::string("Romana, limba rom\xc4\x83"));

  struct Case {
    std::string text, shown;
  };
  const Case cases[] = {
      {"m", "m"},
      {"\xc2\xb5m", "\xc2\xb5m"},            // a whole character at the start
      {"k\xc2\xb5", "k\xc2\xb5"},            // ... and at the end
      {"a\xe2\x82", "a"},                    // three bytes, one missing
      {"a\xe2", "a"},                        // three bytes, two missing
      {"a\xf0\x9f\x98", "a"},                // four bytes, one missing
      {"a\xf0\x9f\x98\x80", "a\xf0\x9f\x98\x80"},
      {"s\xe9" "c", "s\xe9" "c"},            // Latin-1 inside a text is not a cut
      {"\x80\x80", "\x80\x80"},              // stray continuation bytes are not a cut either
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(text::without_cut_character(c.text), c.shown) << c.text;
}

}  // namespace

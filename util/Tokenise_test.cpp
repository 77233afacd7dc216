#include "util/Tokenise.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

/// A null-terminated copy of `text` in a buffer of exactly its size, so that the sanitizer
/// build catches any write past it.
std::vector<char> Buffer(const std::string& text) {
  std::vector<char> buf(text.begin(), text.end());
  buf.push_back('\0');
  return buf;
}

struct Split {
  std::string line;
  std::string words;
  int result;
};

/// ExtractStrings with a words buffer of exactly strlen(text) + 1 characters.
Split Extract(const std::string& text, int mode) {
  std::vector<char> line = Buffer(text);
  std::vector<char> words(text.size() + 1, 'Z');
  const int result = ExtractStrings(line.data(), words.data(), mode);
  return {line.data(), words.data(), result};
}

std::string Converted(const std::string& text, int all, int* changed = nullptr) {
  std::vector<char> buf = Buffer(text);
  const int n = ConvertDelimitersToSpace(buf.data(), all);
  if (changed != nullptr) *changed = n;
  return buf.data();
}

// --- ConvertDelimitersToSpace ---

TEST(ConvertDelimitersToSpace, OnlyTheLastOfARunChangesUnlessAll) {
  int changed = 0;
  EXPECT_EQ(Converted("1,,2", 0, &changed), "1, 2");
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(Converted("1,,2", 1, &changed), "1  2");
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(Converted("1\t\t2\t,3", 0), "1\t 2  3");
}

TEST(ConvertDelimitersToSpace, TheLastCharacterAlwaysChanges) {
  EXPECT_EQ(Converted("1,", 0), "1 ");
  EXPECT_EQ(Converted("1,,", 0), "1, ");
}

TEST(ConvertDelimitersToSpace, QuotesProtectTheirDelimiters) {
  EXPECT_EQ(Converted("a, 'x, y' ,b", 1), "a  'x, y'  b");
  EXPECT_EQ(Converted("a,\"x,y\",b", 1), "a \"x,y\" b");
  // An unmatched quote opens nothing.
  EXPECT_EQ(Converted("it's,1", 1), "it's 1");
  // Either quote character closes a quoted stretch; the last apostrophe then has no partner.
  EXPECT_EQ(Converted("'a\",b',c", 1), "'a\" b' c");
}

TEST(ConvertDelimitersToSpace, NullTextChangesNothing) {
  EXPECT_EQ(ConvertDelimitersToSpace(nullptr, 1), 0);
}

// --- RemoveExcessSpaces and the trims ---

TEST(RemoveExcessSpaces, TrimsAndCollapsesRuns) {
  std::vector<char> buf = Buffer("  a   b  ");
  EXPECT_EQ(RemoveExcessSpaces(buf.data()), 3);
  EXPECT_STREQ(buf.data(), "a b");
}

TEST(RemoveExcessSpaces, OnlySpacesCount) {
  std::vector<char> buf = Buffer("\ta  b\t");
  EXPECT_EQ(RemoveExcessSpaces(buf.data()), 5);
  EXPECT_STREQ(buf.data(), "\ta b\t");
  std::vector<char> none = Buffer("a\t\tb");
  EXPECT_EQ(RemoveExcessSpaces(none.data()), 4);
  EXPECT_STREQ(none.data(), "a\t\tb");
}

TEST(RemoveExcessSpaces, EmptyResults) {
  std::vector<char> spaces = Buffer("    ");
  EXPECT_EQ(RemoveExcessSpaces(spaces.data()), 0);
  EXPECT_STREQ(spaces.data(), "");
  std::vector<char> empty = Buffer("");
  EXPECT_EQ(RemoveExcessSpaces(empty.data()), 0);
  EXPECT_EQ(RemoveExcessSpaces(nullptr), 0);
}

TEST(Trim, LeftRightAndBoth) {
  std::vector<char> left = Buffer("  a b  ");
  EXPECT_STREQ(StrLtrim(left.data()), "a b  ");
  std::vector<char> right = Buffer("  a b  ");
  EXPECT_STREQ(StrRtrim(right.data()), "  a b");
  std::vector<char> both = Buffer("  a b  ");
  EXPECT_STREQ(TrimTails(both.data()), "a b");
}

TEST(Trim, AllSpaceTexts) {
  std::vector<char> left = Buffer("   ");
  EXPECT_STREQ(StrLtrim(left.data()), "");
  std::vector<char> right = Buffer("   ");
  EXPECT_STREQ(StrRtrim(right.data()), "   ");  // left as it is
  std::vector<char> both = Buffer("   ");
  EXPECT_STREQ(TrimTails(both.data()), "");
  EXPECT_EQ(StrLtrim(nullptr), nullptr);
  EXPECT_EQ(StrRtrim(nullptr), nullptr);
  EXPECT_EQ(TrimTails(nullptr), nullptr);
}

// --- ExtractDelimitedText ---

TEST(ExtractDelimitedText, TakesTheStretchOut) {
  std::vector<char> text = Buffer("abc (1 2) def");
  std::vector<char> out(text.size());
  EXPECT_EQ(ExtractDelimitedText(text.data(), '(', ')', out.data(), 0), 5);
  EXPECT_STREQ(out.data(), "(1 2)");
  EXPECT_STREQ(text.data(), "abc  def");
}

TEST(ExtractDelimitedText, RemoveLeavesAFormFeedPerInnerCharacter) {
  std::vector<char> text = Buffer("abc (1 2) def");
  std::vector<char> out(text.size());
  EXPECT_EQ(ExtractDelimitedText(text.data(), '(', ')', out.data(), 1), 5);
  EXPECT_STREQ(out.data(), "(1 2)");
  EXPECT_STREQ(text.data(), "abc \f\f\f def");
}

TEST(ExtractDelimitedText, OneCharacterCanOpenAndClose) {
  std::vector<char> text = Buffer("say 'hi' 'there'");
  std::vector<char> out(text.size());
  EXPECT_EQ(ExtractDelimitedText(text.data(), '\'', '\'', out.data(), 0), 4);
  EXPECT_STREQ(out.data(), "'hi'");
  EXPECT_STREQ(text.data(), "say  'there'");
}

TEST(ExtractDelimitedText, MissingDelimiterChangesNothing) {
  std::vector<char> text = Buffer("abc (1 2 def");
  std::vector<char> out(text.size(), 'Z');
  EXPECT_EQ(ExtractDelimitedText(text.data(), '(', ')', out.data(), 1), -1);
  EXPECT_EQ(ExtractDelimitedText(text.data(), '[', ')', out.data(), 1), -1);
  EXPECT_EQ(ExtractDelimitedText(text.data(), '\0', ')', out.data(), 1), -1);
  EXPECT_EQ(ExtractDelimitedText(text.data(), '(', '\0', out.data(), 1), -1);
  EXPECT_EQ(ExtractDelimitedText(nullptr, '(', ')', out.data(), 1), -1);
  EXPECT_EQ(ExtractDelimitedText(text.data(), '(', ')', nullptr, 1), -1);
  EXPECT_STREQ(text.data(), "abc (1 2 def");
  // A close before the open does not count.
  std::vector<char> reversed = Buffer(") x (");
  EXPECT_EQ(ExtractDelimitedText(reversed.data(), '(', ')', out.data(), 0), -1);
}

// --- ExtractStrings ---

TEST(ExtractStrings, SplitsNumbersFromWords) {
  const Split s = Extract("Station 12 , 3.5 abc 7x", 0);
  EXPECT_EQ(s.line, "12 3.5");
  EXPECT_EQ(s.words, "Station abc 7x");
  EXPECT_EQ(s.result, 2);  // the number of separators in the words
}

TEST(ExtractStrings, DigitsInsideAWordStayWithIt) {
  const Split s = Extract("Line12 5", 0);
  EXPECT_EQ(s.line, "5");
  EXPECT_EQ(s.words, "Line12");
  EXPECT_EQ(s.result, 1);
}

TEST(ExtractStrings, ModeOneSplitsCharacterByCharacter) {
  Split s = Extract("12 , 0.5", 1);
  EXPECT_EQ(s.line, "12 0.5");
  EXPECT_EQ(s.words, "");
  EXPECT_EQ(s.result, 1);
  s = Extract("Line12 7x", 1);
  EXPECT_EQ(s.line, "12 7");
  EXPECT_EQ(s.words, "Line x");
}

TEST(ExtractStrings, ModeFourKeepsAQuotedStringWhole) {
  Split s = Extract("'North end' 3", 4);
  EXPECT_EQ(s.line, "3");
  EXPECT_EQ(s.words, "North end");
  EXPECT_EQ(s.result, 1);
  s = Extract("'ab' 'cd'", 4);
  EXPECT_EQ(s.line, "");
  EXPECT_EQ(s.words, "ab\fcd");
  EXPECT_EQ(s.result, 1);
  s = Extract("Site \"A 1\" 12.5 -3 x", 4);
  EXPECT_EQ(s.line, "12.5 -3");
  EXPECT_EQ(s.words, "Site\fA 1\fx");
  EXPECT_EQ(s.result, 2);
}

TEST(ExtractStrings, ModeFourSeparatesWordsByFormFeeds) {
  const Split s = Extract("a 1 b 2 c", 4);
  EXPECT_EQ(s.line, "1 2");
  EXPECT_EQ(s.words, "a\fb\fc");
  EXPECT_EQ(s.result, 2);
}

TEST(ExtractStrings, QuotedTextWithoutModeFourGoesToTheWords) {
  // A quoted string goes to the words in every mode, and
  // no form feed is left in either output.
  Split s = Extract("'North end' 3", 0);
  EXPECT_EQ(s.line, "3");
  EXPECT_EQ(s.words, "North end");
  s = Extract("x 'a b' 'c' 4", 0);
  EXPECT_EQ(s.line, "4");
  EXPECT_EQ(s.words, "x a b c");
  EXPECT_EQ(s.result, 3);
  s = Extract("\"St 5\" 12", 1);
  EXPECT_EQ(s.line, "12");
  EXPECT_EQ(s.words, "St 5");
}

TEST(ExtractStrings, UnmatchedOrEmptyQuotes) {
  Split s = Extract("it's 5", 0);
  EXPECT_EQ(s.line, "5");
  EXPECT_EQ(s.words, "it's");
  s = Extract("'' 5 a", 4);
  EXPECT_EQ(s.line, "5");
  EXPECT_EQ(s.words, "a");
}

TEST(ExtractStrings, StrayFormFeedsBecomeSpaces) {
  const Split s = Extract("1\f2 ab", 0);
  EXPECT_EQ(s.line, "1 2");
  EXPECT_EQ(s.words, "ab");
}

TEST(ExtractStrings, EveryMixedTokenGoesToTheWords) {
  // The original kept a record of 11 mixed tokens; here the 12th and later move to the words
  // like the first eleven.
  std::string text;
  std::string words;
  for (int i = 1; i <= 14; ++i) {
    const std::string token = std::to_string(i) + 'x';
    text += token;
    text += ' ';
    if (i > 1) words += ' ';
    words += token;
  }
  const Split s = Extract(text + "5", 0);
  EXPECT_EQ(s.line, "5");
  EXPECT_EQ(s.words, words);
  EXPECT_EQ(s.result, 13);
}

TEST(ExtractStrings, MixedTokenIsTheWholeToken) {
  const Split s = Extract("1.5e3,-2m 12abc3 4", 0);
  EXPECT_EQ(s.line, "4");
  EXPECT_EQ(s.words, "1.5e3 -2m 12abc3");
}

TEST(ExtractStrings, EmptyOrMissingLine) {
  char words[4] = "abc";
  char empty[1] = "";
  EXPECT_EQ(ExtractStrings(empty, words, 0), -1);
  EXPECT_EQ(ExtractStrings(nullptr, words, 0), -1);
  char line[] = "1 a";
  EXPECT_EQ(ExtractStrings(line, nullptr, 0), -1);
  EXPECT_STREQ(line, "1 a");
}

TEST(ExtractStrings, OverLongLineStaysInItsBuffers) {
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "12 ab 7x 'q r' ";
  const Split s = Extract(text, 4);
  EXPECT_EQ(s.line.size(), 50000u * 3 - 1);
  EXPECT_EQ(s.result, 50000 * 3 - 1);
}

// --- IsolateNumbers, atof5, FindNumColumns ---

TEST(IsolateNumbers, CountsTheNumericFields) {
  std::vector<char> text = Buffer("Line 12 , 3.5 x7");
  EXPECT_EQ(IsolateNumbers(text.data()), 3);
  EXPECT_STREQ(text.data(), "12 3.5 7");
  std::vector<char> words = Buffer("abc");
  EXPECT_EQ(IsolateNumbers(words.data()), 0);
  std::vector<char> empty = Buffer("");
  EXPECT_EQ(IsolateNumbers(empty.data()), 0);
  EXPECT_EQ(IsolateNumbers(nullptr), 0);
}

TEST(atof5, ReadsUpToFiveFields) {
  float v[5] = {9, 9, 9, 9, 9};
  EXPECT_EQ(atof5("1.5 2 -3e2 4 5 6", &v[0], &v[1], &v[2], &v[3], &v[4]), 6);
  EXPECT_FLOAT_EQ(v[0], 1.5f);
  EXPECT_FLOAT_EQ(v[1], 2.0f);
  EXPECT_FLOAT_EQ(v[2], -300.0f);
  EXPECT_FLOAT_EQ(v[3], 4.0f);
  EXPECT_FLOAT_EQ(v[4], 5.0f);
}

TEST(atof5, RefusesLeadingOrTrailingSpace) {
  float v = 9;
  EXPECT_EQ(atof5(" 1", &v, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(atof5("1 ", &v, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(atof5("", &v, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(atof5(nullptr, &v, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(v, 9.0f);
}

TEST(atof5, TabsSeparateOnlyWhenNoSpaceFollows) {
  float a = 0, b = 0;
  EXPECT_EQ(atof5("1\t2", &a, &b, nullptr, nullptr, nullptr), 2);
  EXPECT_EQ(a, 1.0f);
  EXPECT_EQ(b, 2.0f);
  // The next field starts after the next space, so "2" is stepped over.
  EXPECT_EQ(atof5("1\t2 3", &a, &b, nullptr, nullptr, nullptr), 2);
  EXPECT_EQ(b, 3.0f);
}

TEST(atof5, NotANumberReadsZeroAndHugeValuesAreInfinite) {
  float a = 9, b = 9;
  EXPECT_EQ(atof5("abc 1e300", &a, &b, nullptr, nullptr, nullptr), 2);
  EXPECT_EQ(a, 0.0f);
  EXPECT_TRUE(std::isinf(b));
}

TEST(atof5, UsesAPointWhateverTheLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  float a = 0;
  EXPECT_EQ(atof5("1.5", &a, nullptr, nullptr, nullptr, nullptr), 1);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(a, 1.5f);
}

TEST(FindNumColumns, CountsDelimitersPlusOne) {
  EXPECT_EQ(FindNumColumns("a,b,c", ','), 3);
  EXPECT_EQ(FindNumColumns("abc", ','), 1);
  EXPECT_EQ(FindNumColumns("1\t2\t", '\t'), 3);
  EXPECT_EQ(FindNumColumns("", ','), 0);
  EXPECT_EQ(FindNumColumns(nullptr, ','), 0);
}

// --- Replace and strstrN ---

TEST(Replace, ReplacesTheFirstOccurrenceOnly) {
  char text[32] = "a-b-c";
  EXPECT_EQ(Replace(text, sizeof text, "-", " + "), 1);
  EXPECT_STREQ(text, "a + b-c");
  EXPECT_EQ(Replace(text, sizeof text, " + ", ""), 1);
  EXPECT_STREQ(text, "ab-c");
  EXPECT_EQ(Replace(text, sizeof text, "x", "y"), 0);
  EXPECT_STREQ(text, "ab-c");
}

TEST(Replace, RefusesAResultThatWouldNotFit) {
  char text[8] = "abc";
  EXPECT_EQ(Replace(text, sizeof text, "b", "12345"), 1);  // 7 characters + terminator fit
  EXPECT_STREQ(text, "a12345c");
  EXPECT_EQ(Replace(text, sizeof text, "c", "xy"), 0);
  EXPECT_STREQ(text, "a12345c");
}

TEST(Replace, OddArguments) {
  char text[16] = "abc";
  EXPECT_EQ(Replace(text, sizeof text, "", "x"), 0);
  EXPECT_EQ(Replace(text, sizeof text, nullptr, "x"), 0);
  EXPECT_EQ(Replace(nullptr, 0, "a", "x"), 0);
  EXPECT_EQ(Replace(text, sizeof text, "b", nullptr), 1);
  EXPECT_STREQ(text, "ac");
  EXPECT_EQ(Replace(text, sizeof text, "a", text + 1), 1);  // replacement inside the text
  EXPECT_STREQ(text, "cc");
}

TEST(strstrN, FindsTheNthOccurrence) {
  const char* text = "abcabc";
  EXPECT_EQ(strstrN(text, "bc", 1), text + 1);
  EXPECT_EQ(strstrN(text, "bc", 2), text + 4);
  EXPECT_EQ(strstrN(text, "bc", 3), nullptr);
  const char* run = "aaa";
  EXPECT_EQ(strstrN(run, "aa", 2), run + 1);  // occurrences may overlap
  EXPECT_EQ(strstrN(text, "bc", 0), nullptr);
  EXPECT_EQ(strstrN(text, "", 1), nullptr);
  EXPECT_EQ(strstrN(nullptr, "a", 1), nullptr);
  EXPECT_EQ(strstrN(text, nullptr, 1), nullptr);
}

}  // namespace

#include "util/TextData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/io/FileError.h"
#include "platform/ui/Prompts.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"
#include "util/LineList.h"

namespace {

using tessmor::Archive;
using tessmor::testing::Bytes;
using tessmor::testing::FakePrompts;

std::vector<std::string> Texts(const LineList& lines) {
  std::vector<std::string> out;
  for (int i = 0; i < lines.GetSize(); ++i) out.emplace_back(lines.GetAt(i));
  return out;
}

/// ReadTextDataFile over the bytes of `content`.
int ReadBytes(const std::string& content, LineList& lines) {
  Archive ar = Archive::FromBytes(Bytes(content), "test.txt");
  return ReadTextDataFile(ar, lines);
}

// --- LineList ---

TEST(LineList, KeepsOrderAndIgnoresNull) {
  LineList lines;
  lines.Add(LineList::NewLine("one"));
  lines.Add(nullptr);
  lines.Add(LineList::NewLine("two"));
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(lines.GetAt(-1), nullptr);
  EXPECT_EQ(lines.GetAt(2), nullptr);
}

TEST(LineList, RemoveAtHandsTheLineBack) {
  LineList lines;
  lines.Add(LineList::NewLine("one"));
  lines.Add(LineList::NewLine("two"));
  char* first = lines.GetAt(0);
  lines.RemoveAt(0);
  lines.RemoveAt(5);  // out of range: nothing happens
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"two"}));
  EXPECT_STREQ(first, "one");
  LineList::FreeLine(first);
}

TEST(LineList, NewLineStopsAtANullCharacter) {
  char* line = LineList::NewLine(std::string_view("ab\0cd", 5));
  EXPECT_STREQ(line, "ab");
  LineList::FreeLine(line);
}

TEST(LineList, MovingHandsTheLinesOver) {
  // The sanitizer build's leak check proves the lines left in a list are freed with it.
  LineList a;
  a.Add(LineList::NewLine("x"));
  LineList b(std::move(a));
  EXPECT_EQ(a.GetSize(), 0);  // NOLINT(bugprone-use-after-move): a moved-from list is empty
  LineList c;
  c.Add(LineList::NewLine("dropped"));
  c = std::move(b);
  EXPECT_EQ(Texts(c), (std::vector<std::string>{"x"}));
}

TEST(LineList, DeleteLineContentsEmptiesTheList) {
  LineList lines;
  lines.Add(LineList::NewLine("a"));
  lines.Add(LineList::NewLine("b"));
  DeleteLineContents(lines);
  EXPECT_EQ(lines.GetSize(), 0);
}

// --- ReadTextDataFile ---

TEST(ReadTextDataFile, EmptyFileShowsNoDataAndFails) {
  FakePrompts prompts;
  LineList lines;
  EXPECT_EQ(ReadBytes("", lines), -1);
  EXPECT_EQ(lines.GetSize(), 0);
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.shown()[0].text, "This File Contains No Data to Interpret\n");
  EXPECT_EQ(prompts.shown()[0].style, static_cast<unsigned>(tessmor::kPromptOk));
}

TEST(ReadTextDataFile, SpacesWithoutLineEndAreNoData) {
  FakePrompts prompts;
  LineList lines;
  EXPECT_EQ(ReadBytes("   ", lines), -1);
  EXPECT_EQ(prompts.texts(), (std::vector<std::string>{DocErrorText(101)}));
}

TEST(ReadTextDataFile, KeepsInteriorPlaceholderDropsTrailingOnes) {
  FakePrompts prompts;
  LineList lines;
  EXPECT_EQ(ReadBytes("a\r\n\r\nb\r\n\r\n", lines), 0);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"a", "blank", "b"}));
  EXPECT_TRUE(prompts.shown().empty());
}

TEST(ReadTextDataFile, LastLineWithoutLineEndIsKept) {
  FakePrompts prompts;
  LineList lines;
  EXPECT_EQ(ReadBytes("1 2\r\n3 4", lines), 0);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"1 2", "3 4"}));
}

TEST(ReadTextDataFile, LastLineIsCleanedWithOrWithoutALineEnd) {
  // Commas and tabs of the last line become spaces like those of every other line, whether
  // the file ends that line with CR LF, with a line feed alone, or not at all.
  for (const char* end : {"", "\n", "\r\n"}) {
    FakePrompts prompts;
    LineList lines;
    EXPECT_EQ(ReadBytes(std::string("1,2,3\r\n4,5\t6") + end, lines), 0) << "end " << end;
    ASSERT_EQ(lines.GetSize(), 2) << "end " << end;
    EXPECT_STREQ(lines.GetAt(0), "1 2 3");
    // A lone line feed stays in the text: the line is the numbers and that line feed.
    EXPECT_EQ(std::string(lines.GetAt(1)), std::string("4 5 6") + (end[0] == '\n' ? "\n" : ""));
    EXPECT_TRUE(prompts.shown().empty());
  }
}

TEST(ReadTextDataFile, OnlyEmptyLinesAreNoData) {
  for (const char* content : {"\r\n", "\r\n\r\n  \r\n", " , \r\n\t"}) {
    FakePrompts prompts;
    LineList lines;
    EXPECT_EQ(ReadBytes(content, lines), -1);
    EXPECT_EQ(lines.GetSize(), 0);
    EXPECT_EQ(prompts.texts(), (std::vector<std::string>{DocErrorText(101)}));
  }
}

TEST(ReadTextDataFile, CleansDelimitersAndSpaces) {
  FakePrompts prompts;
  LineList lines;
  EXPECT_EQ(ReadBytes("  1,2\t\t3  ,'a,b'\r\n", lines), 0);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"1 2 3 'a,b'"}));
}

TEST(ReadTextDataFile, FreesLinesAlreadyInTheList) {
  FakePrompts prompts;
  LineList lines;
  lines.Add(LineList::NewLine("old"));
  EXPECT_EQ(ReadBytes("new\r\n", lines), 0);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"new"}));
}

TEST(ReadTextDataFile, ReadsAFileOnDisk) {
  FakePrompts prompts;
  const std::string path = tessmor::testing::MakeTempDir() + "/profile.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "Station Distance Anomaly\r\n1 0 12.5\r\n2 250 13.25\r\n";
  }
  Archive ar = Archive::OpenForLoad(path);
  LineList lines;
  EXPECT_EQ(ReadTextDataFile(ar, lines), 0);
  EXPECT_EQ(Texts(lines),
            (std::vector<std::string>{"Station Distance Anomaly", "1 0 12.5", "2 250 13.25"}));
}

TEST(ReadTextDataFile, EmbeddedNullEndsTheText) {
  // Lines are C strings: the search for line ends stops at the first null character, and the
  // rest of the file is not looked at.
  FakePrompts prompts;
  LineList lines;
  const char content[] = "1 2\r\n3\0 4\r\n5 6\r\n";
  EXPECT_EQ(ReadBytes(std::string(content, sizeof(content) - 1), lines), 0);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"1 2", "3"}));
}

TEST(ReadTextDataFile, ReadsAnOverLongLine) {
  FakePrompts prompts;
  std::string line;
  for (int i = 0; i < 100000; ++i) line += "12,ab ";
  LineList lines;
  EXPECT_EQ(ReadBytes(line + "\r\nend\r\n", lines), 0);
  ASSERT_EQ(lines.GetSize(), 2);
  EXPECT_EQ(std::string(lines.GetAt(0)).size(), line.size() - 1);  // trailing space trimmed
  EXPECT_STREQ(lines.GetAt(1), "end");
}

// --- BreakIntoLines ---

TEST(BreakIntoLines, EmptyLinesBecomeSpacesWhenNotClean) {
  LineList lines;
  EXPECT_EQ(BreakIntoLines(lines, "a,b\r\n\r\nc", 8, 0, 0), 3);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"a,b", " ", "c"}));
}

TEST(BreakIntoLines, DropEmptyAddsNoPlaceholder) {
  LineList lines;
  EXPECT_EQ(BreakIntoLines(lines, "a\r\n\r\nb\r\n", 8, 1, 1), 2);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"a", "b"}));
}

TEST(BreakIntoLines, CarriageReturnAloneLosesTheNextCharacter) {
  LineList lines;
  EXPECT_EQ(BreakIntoLines(lines, "ab\rcd\r\n", 7, 0, 1), 2);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"ab", "d"}));
}

TEST(BreakIntoLines, TextWithoutCarriageReturnIsOneLine) {
  LineList lines;
  EXPECT_EQ(BreakIntoLines(lines, "1 2\n3 4", 7, 0, 0), 1);
  EXPECT_STREQ(lines.GetAt(0), "1 2\n3 4");
}

TEST(BreakIntoLines, LastLineWithoutCarriageReturnKeepsItsCommas) {
  // Only lines ended by a carriage return have their delimiters converted.
  LineList lines;
  EXPECT_EQ(BreakIntoLines(lines, "1,2\r\n 3,4 ", 10, 0, 1), 2);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"1 2", "3,4"}));
}

TEST(BreakIntoLines, ReadsNoFurtherThanTheLength) {
  const std::vector<char> unterminated = {'a', 'b', '\r', '\n', 'c', 'd'};
  LineList lines;
  EXPECT_EQ(BreakIntoLines(lines, unterminated.data(), 6, 0, 1), 2);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"ab", "cd"}));
  EXPECT_EQ(BreakIntoLines(lines, "abc\r\ndef", 3, 0, 1), 1);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"abc"}));
}

TEST(BreakIntoLines, NothingToBreak) {
  LineList lines;
  lines.Add(LineList::NewLine("old"));
  EXPECT_EQ(BreakIntoLines(lines, nullptr, 5, 0, 1), 0);
  EXPECT_EQ(lines.GetSize(), 0);
  EXPECT_EQ(BreakIntoLines(lines, "abc", 0, 0, 1), 0);
  EXPECT_EQ(BreakIntoLines(lines, "abc", -3, 0, 1), 0);
}

// --- Messages ---

TEST(DisplayDocError, ShowsEachTextWordForWord) {
  FakePrompts prompts;
  const std::vector<std::pair<int, std::string>> expected = {
      {100, "Unknown, or Incorrect File Format Supplied\n"},
      {101, "This File Contains No Data to Interpret\n"},
      {102, "This File is not a GM400 Binary File\n"},
      {103, " Incomplete GM400 record detected in file\n Continue with loading\n"},
      {104, " You cannot Save an Empty Document !\n"},
      {105,
       " Unable to reverse the Oriented Core Field correction\n from fully corrected data\n "
       "Only enter the Dec,Inc in sample coordinates"},
      {106,
       "Unable to load the format of data  \ncontained in this file\n -Convert it to a suitable "
       "format first"},
      {99, " Unknown Document Error Code : internal Failure"},
      {107, " Unknown Document Error Code : internal Failure"},
  };
  for (const auto& [code, text] : expected) {
    prompts.Clear();
    DisplayDocError(code, tessmor::kPromptOk);
    EXPECT_EQ(prompts.texts(), (std::vector<std::string>{text})) << code;
    EXPECT_STREQ(DocErrorText(code), text.c_str());
  }
}

TEST(DisplayDocError, ReturnsTheAnswerToTheGivenStyle) {
  FakePrompts prompts;
  prompts.Script({tessmor::kAnswerYes});
  const unsigned style = tessmor::kPromptYesNo | tessmor::kPromptIconQuestion;
  EXPECT_EQ(DisplayDocError(103, style), tessmor::kAnswerYes);
  EXPECT_EQ(DisplayDocError(103, style), tessmor::kAnswerNo);
  EXPECT_EQ(prompts.shown()[0].style, style);
}

class ThrowingPrompts : public tessmor::Prompts {
 public:
  ThrowingPrompts() : previous_(tessmor::SetPrompts(this)) {}
  ~ThrowingPrompts() override { tessmor::SetPrompts(previous_); }
  int MessageBox(const std::string&, unsigned) override { throw std::runtime_error("no box"); }
  void Beep() override {}

 private:
  tessmor::Prompts* previous_;
};

TEST(DisplayDocError, ReturnsZeroWhenTheBoxFails) {
  ThrowingPrompts prompts;
  EXPECT_EQ(DisplayDocError(100, tessmor::kPromptYesNo), 0);
  DisplayCFileErr(tessmor::kFileErrorDiskFull, 0);  // must not throw either
}

TEST(DisplayCFileErr, ShowsEachTextWordForWord) {
  FakePrompts prompts;
  const std::vector<std::string> expected = {
      "An Unspecified error occurred",
      "The file could not be located",
      "All or part of the path is invalid",
      "The permitted number of open files was exceeded",
      "The file could not be accessed",
      "There was an attempt to use an invalid file handle",
      "The current working directory cannot be removed",
      "There are no more directory entries for files",
      "There was an error trying to set the file pointer",
      "There was a file-related hardware error detected",
      "SHARE.EXE was not loaded, or a shared file region is locked",
      "Attempt to lock a file-region that was already locked ",
      "The disk is full ",
      " The end of file was reached",
      "An Unknown Cfile-error occurred",
  };
  for (int cause = 1; cause <= 15; ++cause) DisplayCFileErr(cause, 0);
  EXPECT_EQ(prompts.texts(), expected);
  for (const auto& shown : prompts.shown()) {
    EXPECT_EQ(shown.style, static_cast<unsigned>(tessmor::kPromptOk));
  }
  EXPECT_STREQ(CFileErrText(-1), "An Unknown Cfile-error occurred");
}

TEST(DisplayCFileErr, SilentOrCauseZeroShowsNothing) {
  FakePrompts prompts;
  DisplayCFileErr(tessmor::kFileErrorNone, 0);
  DisplayCFileErr(tessmor::kFileErrorNotFound, 1);
  EXPECT_TRUE(prompts.shown().empty());
}

}  // namespace

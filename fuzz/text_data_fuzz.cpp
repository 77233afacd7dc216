// libFuzzer harness for the text-data reader and the tokeniser of qor1: arbitrary
// bytes go through ReadTextDataFile, and every line it gives through the tokenising functions,
// each with output buffers of exactly the size their contracts ask for, so that the sanitizers
// catch any access past them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/io/Archive.h"
#include "platform/ui/Prompts.h"
#include "util/LineList.h"
#include "util/TextData.h"
#include "util/Tokenise.h"

namespace {

/// Answers every box without showing it.
class SilentPrompts : public tessmor::Prompts {
 public:
  int MessageBox(const std::string&, unsigned style) override {
    return tessmor::DefaultAnswer(style, false);
  }
  void Beep() override {}
};

void Check(bool ok) {
  if (!ok) std::abort();
}

/// A null-terminated copy of `text` in a buffer of exactly its size.
std::vector<char> Buffer(const std::string& text) {
  std::vector<char> buf(text.begin(), text.end());
  buf.push_back('\0');
  return buf;
}

void TokeniseLine(const std::string& text) {
  const std::size_t length = text.size();

  // BreakIntoLines on the line itself, with every combination of the flags.
  for (int flags = 0; flags < 4; ++flags) {
    LineList sub;
    const int n = BreakIntoLines(sub, text.c_str(), static_cast<int>(length), flags & 1, flags & 2);
    Check(n == sub.GetSize());
    for (int i = 0; i < n; ++i) Check(std::strlen(sub.GetAt(i)) <= length + 5);
    DeleteLineContents(sub);
  }

  for (int mode : {0, 1, 4}) {
    std::vector<char> line = Buffer(text);
    std::vector<char> words(length + 1);
    const int n = ExtractStrings(line.data(), words.data(), mode);
    if (n < 0) continue;
    Check(std::strlen(line.data()) <= length && std::strlen(words.data()) <= length);
    Check(std::strchr(line.data(), '\f') == nullptr);
    if (mode != 4) Check(std::strchr(words.data(), '\f') == nullptr);
  }

  const char delimiters[][2] = {{'(', ')'}, {'\'', '\''}, {'"', '"'}, {'[', ']'}};
  for (const auto& d : delimiters) {
    for (int remove = 0; remove < 2; ++remove) {
      std::vector<char> line = Buffer(text);
      std::vector<char> out(length + 1);
      const int n = ExtractDelimitedText(line.data(), d[0], d[1], out.data(), remove);
      if (n >= 0) Check(static_cast<std::size_t>(n) == std::strlen(out.data()));
    }
  }

  for (int all = 0; all < 2; ++all) {
    std::vector<char> line = Buffer(text);
    ConvertDelimitersToSpace(line.data(), all);
    Check(std::strlen(line.data()) == std::strlen(text.c_str()));
    const int n = RemoveExcessSpaces(line.data());
    Check(n >= 0 && static_cast<std::size_t>(n) == std::strlen(line.data()));
  }

  {
    std::vector<char> line = Buffer(text);
    TrimTails(line.data());
    IsolateNumbers(line.data());
    float v[5] = {};
    atof5(line.data(), &v[0], &v[1], &v[2], &v[3], &v[4]);
    atof5(text.c_str(), &v[0], &v[1], &v[2], &v[3], &v[4]);
    FindNumColumns(text.c_str(), ',');
    strstrN(text.c_str(), " ", 3);
  }

  {
    std::vector<char> line = Buffer(text);
    line.resize(line.size() + 2);
    Replace(line.data(), line.size(), "1", "abc");
    Replace(line.data(), line.size(), " ", "");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SilentPrompts prompts;
  static const bool installed = (tessmor::SetPrompts(&prompts), true);
  (void)installed;

  tessmor::Archive ar = tessmor::Archive::FromBytes(std::vector<std::uint8_t>(data, data + size));
  LineList lines;
  if (ReadTextDataFile(ar, lines) != 0) return 0;
  for (int i = 0; i < lines.GetSize(); ++i) {
    const char* line = lines.GetAt(i);
    Check(line != nullptr);
    TokeniseLine(line);
  }
  DeleteLineContents(lines);
  return 0;
}

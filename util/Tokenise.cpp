#include "util/Tokenise.h"

#include <locale.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr char kFormFeed = '\f';
constexpr char kNewline = '\n';

bool IsSeparator(char c) { return c == ' ' || c == ',' || c == '\t' || c == kFormFeed; }

bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+'; }

bool IsQuote(char c) { return c == '\'' || c == '"'; }

/// strtod in the C locale, whatever locale the program has set (the desktop framework sets the
/// user's, which may use a decimal comma).
double CLocaleStrtod(const char* text) {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  if (c_locale == static_cast<locale_t>(nullptr)) return std::strtod(text, nullptr);
  return strtod_l(text, nullptr, c_locale);
}

/// Rounds to single precision; values beyond its range become infinities (as IEEE rounding
/// would) rather than the undefined conversion.
float ToSingle(double v) {
  if (v > FLT_MAX) return HUGE_VALF;
  if (v < -FLT_MAX) return -HUGE_VALF;
  return static_cast<float>(v);
}

/// Replaces every `from` in `text` by `to`.
void ReplaceAll(char* text, char from, char to) {
  for (char* p = text; *p != '\0'; ++p) {
    if (*p == from) *p = to;
  }
}

std::size_t Count(const char* text, char c) {
  std::size_t n = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == c) ++n;
  }
  return n;
}

}  // namespace

int ConvertDelimitersToSpace(char* text, int all) {
  if (text == nullptr) return 0;
  int changed = 0;
  bool in_quotes = false;
  for (char* p = text; *p != '\0'; ++p) {
    const char c = *p;
    if (IsQuote(c)) {
      if (!in_quotes) {
        // Opens a quoted stretch only when the same quote closes it later.
        in_quotes = std::strchr(p + 1, c) != nullptr;
      } else {
        in_quotes = false;  // either quote character closes
        continue;
      }
    }
    if (in_quotes) continue;
    if (c != '\t' && c != ',') continue;
    // In a run of tabs (or commas) only the last one changes, unless `all` is set; the last
    // character of the text (followed by the terminator) always changes.
    if (all || p[1] != c) {
      *p = ' ';
      ++changed;
    }
  }
  return changed;
}

int RemoveExcessSpaces(char* text) {
  if (text == nullptr || *text == '\0') return 0;
  const std::size_t length = std::strlen(text);
  if (std::memchr(text, ' ', length) == nullptr) return static_cast<int>(length);
  std::string work;
  try {
    work.reserve(length);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  std::size_t begin = 0;
  while (begin < length && text[begin] == ' ') ++begin;
  std::size_t end = length;
  while (end > begin && text[end - 1] == ' ') --end;
  for (std::size_t i = begin; i < end; ++i) {
    if (text[i] == ' ' && text[i - 1] == ' ') continue;  // i > begin here: text[begin] != ' '
    work.push_back(text[i]);
  }
  std::memcpy(text, work.c_str(), work.size() + 1);
  return static_cast<int>(work.size());
}

char* StrLtrim(char* text) {
  if (text == nullptr) return text;
  const std::size_t lead = std::strspn(text, " ");
  if (lead > 0) std::memmove(text, text + lead, std::strlen(text + lead) + 1);
  return text;
}

char* StrRtrim(char* text) {
  if (text == nullptr) return text;
  std::size_t end = std::strlen(text);
  while (end > 0 && text[end - 1] == ' ') --end;
  if (end > 0) text[end] = '\0';  // an all-space text stays as it is
  return text;
}

char* TrimTails(char* text) { return StrLtrim(StrRtrim(text)); }

int ExtractDelimitedText(char* text, char open, char close, char* out, int remove) {
  if (text == nullptr || out == nullptr || open == '\0' || close == '\0') return -1;
  char* first = std::strchr(text, open);
  if (first == nullptr) return -1;
  char* last = std::strchr(first + 1, close);
  if (last == nullptr) return -1;

  const std::size_t stretch = static_cast<std::size_t>(last - first) + 1;
  std::memmove(out, first, stretch);
  out[stretch] = '\0';

  // Rebuild in place: the text can only shrink.
  const std::size_t inner = stretch - 2;
  char* write = first;
  if (remove) {
    std::memset(write, kFormFeed, inner);
    write += inner;
  }
  std::memmove(write, last + 1, std::strlen(last + 1) + 1);
  return static_cast<int>(stretch);
}

int ExtractStrings(char* line, char* words, int mode) {
  if (line == nullptr || words == nullptr || *line == '\0') return -1;
  const bool by_char = (mode & 1) != 0;
  const bool ff_words = (mode & 4) != 0;
  const char sep = ff_words ? kFormFeed : ' ';

  // Step 2: take the quoted strings out of the line, as repeated calls of
  // ExtractDelimitedText(line, q, q, ..., remove = 1) on the first quote character q would, but
  // in one pass: each string leaves a run of form feeds as long as its text. The texts are
  // joined in `quotes` by form feeds (the removal mark).
  std::string quotes;
  if (std::strpbrk(line, "'\"") != nullptr) {
    try {
      quotes.reserve(std::strlen(line));  // the texts together are shorter than the line
    } catch (const std::bad_alloc&) {
      return -1;
    }
    const char* read = line;
    char* write = line;
    for (;;) {
      const char* open = std::strpbrk(read, "'\"");
      if (open == nullptr) break;
      const char* close = std::strchr(open + 1, *open);
      if (close == nullptr) break;
      const std::size_t before = static_cast<std::size_t>(open - read);
      const std::size_t inner = static_cast<std::size_t>(close - open) - 1;
      std::memmove(write, read, before);
      write += before;
      if (inner > 0) {
        if (!quotes.empty()) quotes.push_back(kFormFeed);
        quotes.append(open + 1, inner);  // before the form feeds may overwrite it
      }
      std::memset(write, kFormFeed, inner);
      write += inner;
      read = close + 1;
    }
    std::memmove(write, read, std::strlen(read) + 1);
  }

  // Step 3.
  const std::size_t length = std::strlen(line);
  std::memcpy(words, line, length + 1);

  // Step 4: the scan. Mixed tokens (a number run directly followed by other characters, as in
  // "7x") are moved whole to the words at once (step 5).
  enum class State { kBetween, kNumber, kWord };
  State state = State::kBetween;
  std::size_t token_start = 0;
  std::size_t i = 0;
  while (i < length) {
    const char c = line[i];
    if (IsSeparator(c)) {
      if (c != kFormFeed) line[i] = words[i] = ' ';
      state = State::kBetween;
    } else if (IsNumberChar(c)) {
      if (by_char) {
        words[i] = ' ';
      } else if (state == State::kWord) {
        line[i] = ' ';  // a digit inside a word stays with the word
      } else {
        words[i] = ' ';
        if (state != State::kNumber) token_start = i;
        state = State::kNumber;
      }
    } else if (state == State::kNumber) {
      std::size_t end = i;
      while (end < length && !IsSeparator(line[end])) ++end;
      for (std::size_t k = token_start; k < end; ++k) {
        words[k] = line[k];
        line[k] = ' ';
      }
      i = end;  // the separator at `end` (if any) is looked at next
      state = State::kWord;
      continue;
    } else {
      state = State::kWord;
      line[i] = ' ';
    }
    ++i;
  }

  // Step 6.
  RemoveExcessSpaces(words);

  // Step 7: the quoted strings go back into the words, character by character, over the form
  // feeds their removal left; their inner spaces travel as newlines meanwhile.
  if (!quotes.empty()) {
    for (char& q : quotes) {
      if (q == ' ') q = kNewline;
    }
    std::size_t next = 0;
    for (char* p = words; *p != '\0' && next < quotes.size(); ++p) {
      if (*p != kFormFeed) continue;
      if (quotes[next] == kFormFeed) ++next;  // the mark between two strings is stepped over
      if (next < quotes.size()) *p = quotes[next++];
    }
  }
  // No form feed stays in the line; without mode bit 4 none stays in the words either.
  ReplaceAll(line, kFormFeed, ' ');
  if (!ff_words && std::strchr(words, kFormFeed) != nullptr) {
    ReplaceAll(words, kFormFeed, ' ');
    RemoveExcessSpaces(words);
  }

  // Step 8.
  RemoveExcessSpaces(line);

  // Steps 9 and 10.
  if (ff_words) ReplaceAll(words, ' ', kFormFeed);
  if (!quotes.empty()) ReplaceAll(words, kNewline, ' ');

  // Step 11.
  const std::size_t separators = Count(words, sep);
  return separators == 0 ? 1 : static_cast<int>(separators);
}

int IsolateNumbers(char* text) {
  if (text == nullptr || *text == '\0') return 0;
  std::vector<char> scratch;
  try {
    scratch.resize(std::strlen(text) + 1);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (ExtractStrings(text, scratch.data(), 1) < 0) return 0;
  if (*text == '\0') return 0;
  return static_cast<int>(Count(text, ' ')) + 1;
}

int atof5(const char* text, float* v1, float* v2, float* v3, float* v4, float* v5) {
  if (text == nullptr || *text == '\0') return 0;
  if (text[0] == ' ' || text[std::strlen(text) - 1] == ' ') return 0;
  float* const outputs[5] = {v1, v2, v3, v4, v5};
  int fields = 0;
  const char* field = text;
  for (;;) {
    if (fields < 5 && outputs[fields] != nullptr) {
      *outputs[fields] = ToSingle(CLocaleStrtod(field));
    }
    ++fields;
    const char* next = std::strchr(field, ' ');
    if (next == nullptr) next = std::strchr(field, '\t');
    if (next == nullptr) break;
    field = next + 1;
  }
  return fields;
}

int FindNumColumns(const char* text, char delimiter) {
  if (text == nullptr || *text == '\0') return 0;
  if (delimiter == '\0') return 1;
  return static_cast<int>(Count(text, delimiter)) + 1;
}

int Replace(char* text, std::size_t capacity, const char* pattern, const char* replacement) {
  if (text == nullptr || pattern == nullptr || *pattern == '\0') return 0;
  // A copy, in case the replacement lies inside `text` itself.
  std::string with;
  try {
    with = replacement != nullptr ? replacement : "";
  } catch (const std::bad_alloc&) {
    return 0;
  }
  char* hit = std::strstr(text, pattern);
  if (hit == nullptr) return 0;
  const std::size_t length = std::strlen(text);
  const std::size_t pattern_length = std::strlen(pattern);
  const std::size_t replacement_length = with.size();
  const std::size_t new_length = length - pattern_length + replacement_length;
  if (new_length + 1 > capacity) return 0;
  // Move the tail (with its terminator) into place, then write the replacement.
  char* tail = hit + pattern_length;
  std::memmove(hit + replacement_length, tail, std::strlen(tail) + 1);
  std::memcpy(hit, with.data(), replacement_length);
  return 1;
}

const char* strstrN(const char* text, const char* pattern, int n) {
  if (text == nullptr || pattern == nullptr || *pattern == '\0' || n < 1) return nullptr;
  const char* hit = std::strstr(text, pattern);
  for (int k = 2; k <= n && hit != nullptr; ++k) hit = std::strstr(hit + 1, pattern);
  return hit;
}

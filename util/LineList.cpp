#include "util/LineList.h"

#include <cstring>
#include <utility>

LineList::~LineList() { FreeAll(); }

LineList::LineList(LineList&& other) noexcept : lines_(std::move(other.lines_)) {
  other.lines_.clear();
}

LineList& LineList::operator=(LineList&& other) noexcept {
  if (this != &other) {
    FreeAll();
    lines_ = std::move(other.lines_);
    other.lines_.clear();
  }
  return *this;
}

char* LineList::GetAt(int i) const {
  if (i < 0 || i >= GetSize()) return nullptr;
  return lines_[static_cast<std::size_t>(i)];
}

void LineList::Add(char* line) {
  if (line != nullptr) lines_.push_back(line);
}

void LineList::RemoveAt(int i) {
  if (i < 0 || i >= GetSize()) return;
  lines_.erase(lines_.begin() + i);
}

char* LineList::NewLine(std::string_view text) {
  // A line is a C string: it ends at the first null character of `text`.
  const void* nul = text.empty() ? nullptr : std::memchr(text.data(), '\0', text.size());
  const std::size_t n = nul != nullptr
                            ? static_cast<std::size_t>(static_cast<const char*>(nul) - text.data())
                            : text.size();
  char* line = new char[n + 1];
  std::memcpy(line, text.data(), n);
  line[n] = '\0';
  return line;
}

void LineList::FreeLine(char* line) { delete[] line; }

void LineList::FreeAll() {
  for (char* line : lines_) FreeLine(line);
  lines_.clear();
}

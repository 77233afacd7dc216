#pragma once

#include <cstddef>

#include "util/Qor1Export.h"

// Tokenising of single-byte, null-terminated text lines. Every function works in
// place on the caller's buffer, keeps no state between calls and accepts a null text, for which
// it returns its documented "empty" result without touching anything.
//
// Separator characters: space, comma, tab and form feed (" ,\t\f").
// Number characters: "0123456789.-+".  Quote characters: the apostrophe and the double quote.

/// Turns tabs and commas outside quotes into spaces. A quote opens a quoted stretch only when
/// the same quote character occurs again later; either quote character closes it. With `all`
/// set (and always for the last character) every tab or comma becomes a space; otherwise only
/// the last of a run of tabs, or of commas, does. Returns the number of characters changed.
QOR1_EXPORT int ConvertDelimitersToSpace(char* text, int all);

/// When `text` contains a space, trims spaces (not tabs) from both ends and turns every run of
/// spaces into one. Returns the new length; 0 for an empty or null text; -1 when memory ran out
/// (the text is then unchanged).
QOR1_EXPORT int RemoveExcessSpaces(char* text);

/// Removes leading spaces (an all-space text becomes empty). Returns `text`.
QOR1_EXPORT char* StrLtrim(char* text);
/// Removes trailing spaces, but leaves an all-space text unchanged. Returns `text`.
QOR1_EXPORT char* StrRtrim(char* text);
/// StrRtrim, then StrLtrim. Returns `text`.
QOR1_EXPORT char* TrimTails(char* text);

/// Finds the first `open` character and the first `close` character after it (they may be the
/// same character), copies that stretch with both delimiters into `out` (terminated) and takes
/// it out of `text`: with `remove` set every character between the delimiters is replaced by a
/// form feed (so the text shrinks by the two delimiters); with `remove` clear the stretch goes
/// altogether. Returns the length of `out`; -1 (nothing changed) when a delimiter is missing,
/// `open` or `close` is the null character, or `text` or `out` is null.
/// `out` must hold at least strlen(text) + 1 characters.
QOR1_EXPORT int ExtractDelimitedText(char* text, char open, char close, char* out, int remove);

/// Splits `line` into its numbers, which stay in `line` separated by single spaces, and its
/// words, which go to `words`.
///
/// Mode bit 1: split character by character (every number character is a number, every other
/// character belongs to a word). Mode bit 4: separate the words in `words` by form feeds
/// instead of spaces, and keep a quoted string ('...' or "...") as one word with its inner
/// spaces. Other bits have no effect. A token that starts as a number and continues with other
/// characters ("7x") goes whole to the words; there is no limit on how many.
///
/// Quoted strings are taken out of the line and go to `words` in every mode; without mode bit 4
/// words are separated by spaces, so a quoted string's inner spaces cannot be told from the
/// separators. No form feed is left in `line`, nor in `words` without mode bit 4.
///
/// Returns -1 (nothing changed) for an empty or null line, a null `words`, or when memory ran
/// out; otherwise the
/// number of word separators (space, or form feed with mode bit 4) in `words`, or 1 when there
/// is none. `words` must hold at least strlen(line) + 1 characters.
QOR1_EXPORT int ExtractStrings(char* line, char* words, int mode);

/// Keeps only the numbers of `text` (ExtractStrings in mode 1, the words discarded) and returns
/// how many numeric fields are left; 0 for an empty or null text, or when no number is left.
QOR1_EXPORT int IsolateNumbers(char* text);

/// Reads up to five numbers, separated by spaces (or, when a field is followed by no space, a
/// tab), into `v1`..`v5` as single precision, converted as the C locale's strtod does (a field
/// that is not a number reads as 0). Fields beyond the fifth are counted but not stored; a
/// null output is skipped. Returns the number of fields; 0 (nothing stored) for a null or empty
/// text or one that begins or ends with a space.
QOR1_EXPORT int atof5(const char* text, float* v1, float* v2, float* v3, float* v4, float* v5);

/// The number of `delimiter` characters in `text` plus one; 0 for an empty or null text.
QOR1_EXPORT int FindNumColumns(const char* text, char delimiter);

/// Replaces the first occurrence of `pattern` in `text` by `replacement` (null = empty).
/// `capacity` is the size of the buffer `text` lives in, terminator included. Returns 1 when
/// replaced; 0 (nothing changed) when the pattern is absent, empty or null, or when the result
/// with its terminator would not fit in `capacity`.
QOR1_EXPORT int Replace(char* text, std::size_t capacity, const char* pattern,
                        const char* replacement);

/// The `n`-th occurrence (1 = first) of `pattern` in `text`, where each further occurrence is
/// searched from one character after the previous one (so occurrences may overlap); null when
/// there are fewer than `n`, when `n` < 1, or when `text` or `pattern` is null or `pattern` is
/// empty.
QOR1_EXPORT const char* strstrN(const char* text, const char* pattern, int n);

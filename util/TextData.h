#pragma once

#include "platform/io/Archive.h"
#include "util/LineList.h"
#include "util/Qor1Export.h"

// Text data files: a file becomes a list of lines; document and file errors are
// reported to the user with fixed messages through tessmor::GetPrompts().

/// Reads the whole of the file being loaded (`ar.FileBytes()`) into `lines` as clean lines
/// (BreakIntoLines with drop-empty clear and clean set, over the data and one carriage return
/// after it, so the last line is cleaned whether or not the file ends it), then removes the
/// trailing "blank" placeholders. Lines are separated by carriage return + line feed. Returns 0
/// on success; -1 after showing a message: document error 101 (plain OK box) when the file
/// gives no line but empty ones,
/// or the file error of any FileException or ArchiveException met (an ArchiveException as end
/// of file, running out of memory as a generic error). Lines already in `lines` are freed first.
QOR1_EXPORT int ReadTextDataFile(tessmor::Archive& ar, LineList& lines);

/// Breaks the first `length` characters of `text` into lines at every carriage return; the
/// character after a carriage return (the line feed) is skipped without being looked at. A
/// text without carriage returns is one line; the text ends at its first null character.
///
/// With `clean` set, each line ended by a carriage return has its tabs and commas outside quotes
/// turned into spaces (ConvertDelimitersToSpace with all set) and its spaces tidied
/// (RemoveExcessSpaces); a last line without a carriage return has only its spaces tidied.
/// An empty line ended by a carriage return is stored as the placeholder "blank" (clean) or " "
/// (otherwise), or not at all with `drop_empty` set; an empty last line without a carriage
/// return is never stored.
///
/// Lines still held by `lines` are freed first. Returns the number of lines in the list; 0 for
/// a null text, a `length` below 1, or when memory ran out (the list is then empty).
QOR1_EXPORT int BreakIntoLines(LineList& lines, const char* text, int length, int drop_empty,
                               int clean);

/// Frees every line of `lines` and empties the list.
QOR1_EXPORT void DeleteLineContents(LineList& lines);

/// The text of document error `code` (100 to 106), or the text of an unknown code.
QOR1_EXPORT const char* DocErrorText(int code);
/// The text of file-error cause `cause` (1 to 14, tessmor::FileErrorCause), or the text of an
/// unknown cause (0 included).
QOR1_EXPORT const char* CFileErrText(int cause);

/// Shows the text of document error `code` in a message box of `style` (tessmor::PromptStyle)
/// and returns the answer; 0 when the box could not be shown (nothing is thrown).
QOR1_EXPORT int DisplayDocError(int code, unsigned style);

/// Shows the text of file-error cause `cause` in a plain OK box, unless `silent` is set; cause 0
/// shows nothing. Nothing is thrown.
QOR1_EXPORT void DisplayCFileErr(int cause, int silent);

#include "util/TextData.h"

#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/io/FileError.h"
#include "platform/ui/Prompts.h"
#include "util/Tokenise.h"

namespace {

constexpr char kPlaceholder[] = "blank";

}  // namespace

int ReadTextDataFile(tessmor::Archive& ar, LineList& lines) {
  try {
    const std::vector<std::uint8_t>& bytes = ar.FileBytes();
    if (bytes.size() > static_cast<std::size_t>(INT_MAX) - 4) {
      // Beyond what a line list is counted in.
      DeleteLineContents(lines);
      DisplayCFileErr(tessmor::kFileErrorGeneric, 0);
      return -1;
    }
    // The data, a carriage return and zeros after it. The carriage return is part of the
    // text broken into lines, so that a last line without a line end of its own is ended,
    // and cleaned, like every other.
    const int length = static_cast<int>(bytes.size()) + 1;
    std::vector<char> buffer(bytes.size() + 4, '\0');
    if (!bytes.empty()) std::memcpy(buffer.data(), bytes.data(), bytes.size());
    buffer[bytes.size()] = '\r';

    BreakIntoLines(lines, buffer.data(), length, 0, 1);
    // The trailing placeholders go; interior ones keep the line positions.
    for (int i = lines.GetSize() - 1; i >= 0; --i) {
      char* line = lines.GetAt(i);
      if (std::strcmp(line, kPlaceholder) != 0) break;
      lines.RemoveAt(i);
      LineList::FreeLine(line);
    }
    // Nothing but empty lines is no data either.
    if (lines.GetSize() == 0) {
      DisplayDocError(101, tessmor::kPromptOk);
      return -1;
    }
    return 0;
  } catch (const tessmor::FileException& e) {
    DeleteLineContents(lines);
    DisplayCFileErr(e.cause(), 0);
  } catch (const tessmor::ArchiveException&) {
    DeleteLineContents(lines);
    DisplayCFileErr(tessmor::kFileErrorEndOfFile, 0);
  } catch (...) {
    DeleteLineContents(lines);
    DisplayCFileErr(tessmor::kFileErrorGeneric, 0);
  }
  return -1;
}

int BreakIntoLines(LineList& lines, const char* text, int length, int drop_empty, int clean) {
  DeleteLineContents(lines);
  if (text == nullptr || length <= 0) return 0;
  try {
    // The copy holds exactly `length` characters and a terminator; the search for carriage
    // returns, like every line, stops at the first null character.
    std::string work(text, static_cast<std::size_t>(length));
    char* const buf = work.data();
    const std::size_t end = work.size();
    std::size_t pos = 0;
    for (;;) {
      char* cr = std::strchr(buf + pos, '\r');
      if (cr == nullptr) {
        char* line = buf + pos;
        if (clean) RemoveExcessSpaces(line);
        if (*line != '\0') lines.Add(LineList::NewLine(line));
        break;
      }
      *cr = '\0';
      char* line = buf + pos;
      if (clean) {
        ConvertDelimitersToSpace(line, 1);
        RemoveExcessSpaces(line);
      }
      if (*line != '\0') {
        lines.Add(LineList::NewLine(line));
      } else if (!drop_empty) {
        lines.Add(LineList::NewLine(clean ? kPlaceholder : " "));
      }
      // Two characters on: the line feed is skipped without being looked at.
      pos = static_cast<std::size_t>(cr - buf) + 2;
      if (pos >= end) {
        const int last = lines.GetSize() - 1;
        if (clean && last >= 0) {
          char* tail = lines.GetAt(last);
          RemoveExcessSpaces(tail);
          if (*tail == '\0') {
            lines.RemoveAt(last);
            LineList::FreeLine(tail);
          }
        }
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    DeleteLineContents(lines);
    return 0;
  }
  return lines.GetSize();
}

void DeleteLineContents(LineList& lines) {
  for (int i = 0; i < lines.GetSize(); ++i) LineList::FreeLine(lines.GetAt(i));
  lines.RemoveAll();
}

const char* DocErrorText(int code) {
  switch (code) {
    case 100:
      return "Unknown, or Incorrect File Format Supplied\n";
    case 101:
      return "This File Contains No Data to Interpret\n";
    case 102:
      return "This File is not a GM400 Binary File\n";
    case 103:
      return " Incomplete GM400 record detected in file\n Continue with loading\n";
    case 104:
      return " You cannot Save an Empty Document !\n";
    case 105:
      return " Unable to reverse the Oriented Core Field correction\n from fully corrected "
             "data\n Only enter the Dec,Inc in sample coordinates";
    case 106:
      return "Unable to load the format of data  \ncontained in this file\n -Convert it to a "
             "suitable format first";
    default:
      return " Unknown Document Error Code : internal Failure";
  }
}

const char* CFileErrText(int cause) {
  switch (cause) {
    case tessmor::kFileErrorGeneric:
      return "An Unspecified error occurred";
    case tessmor::kFileErrorNotFound:
      return "The file could not be located";
    case tessmor::kFileErrorBadPath:
      return "All or part of the path is invalid";
    case tessmor::kFileErrorTooManyOpenFiles:
      return "The permitted number of open files was exceeded";
    case tessmor::kFileErrorAccessDenied:
      return "The file could not be accessed";
    case tessmor::kFileErrorInvalidFile:
      return "There was an attempt to use an invalid file handle";
    case tessmor::kFileErrorRemoveCurrentDir:
      return "The current working directory cannot be removed";
    case tessmor::kFileErrorDirectoryFull:
      return "There are no more directory entries for files";
    case tessmor::kFileErrorBadSeek:
      return "There was an error trying to set the file pointer";
    case tessmor::kFileErrorHardIO:
      return "There was a file-related hardware error detected";
    case tessmor::kFileErrorSharingViolation:
      return "SHARE.EXE was not loaded, or a shared file region is locked";
    case tessmor::kFileErrorLockViolation:
      return "Attempt to lock a file-region that was already locked ";
    case tessmor::kFileErrorDiskFull:
      return "The disk is full ";
    case tessmor::kFileErrorEndOfFile:
      return " The end of file was reached";
    default:
      return "An Unknown Cfile-error occurred";
  }
}

int DisplayDocError(int code, unsigned style) {
  try {
    return tessmor::GetPrompts().MessageBox(DocErrorText(code), style);
  } catch (...) {
    return 0;
  }
}

void DisplayCFileErr(int cause, int silent) {
  if (cause == tessmor::kFileErrorNone || silent) return;
  try {
    tessmor::GetPrompts().MessageBox(CFileErrText(cause), tessmor::kPromptOk);
  } catch (...) {
    // Nothing may escape an error report.
  }
}

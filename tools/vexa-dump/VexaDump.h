#pragma once

// vexa-dump: a chart file's contents as plain text, and a way to read a chart file and write
// it again. Paper positions and lengths are printed in mm, as the file holds them.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class CVexaDoc;

namespace vexa_dump {

/// Exit codes of the command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUnreadable = 1;
inline constexpr int kExitUsage = 2;

/// True when the first line of `bytes` (ended by a line feed, a carriage return or the end of
/// the data) is the chart magic line without its "\r\n".
bool HasChartMagic(const std::vector<std::uint8_t>& bytes);

/// Writes `doc` to `out` as text: the title, the mapper, the groups, each line style with its
/// lines and arcs, each fill style with its polygon fills, arc fills and symbols, each
/// character style with its texts, and the bitmaps. Only committed styles are listed (every
/// style of a chart read from a file is committed).
void DumpChart(const CVexaDoc& doc, std::ostream& out);

/// Runs the command with `args` (the words after the program name):
///   FILE              lists the chart file FILE on `out`;
///   --resave IN OUT   reads the chart file IN and writes it to OUT.
/// Returns kExitOk; kExitUnreadable after writing "Failed to open document." to `err` (with
/// "not a chart file" when the first line is not the chart magic line), or "Failed to save
/// document." when OUT could not be written; kExitUsage with a usage line on `err` for any
/// other arguments.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vexa_dump

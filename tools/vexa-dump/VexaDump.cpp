#include "tools/vexa-dump/VexaDump.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <ostream>
#include <string_view>

#include "chart/document/VexaDoc.h"
#include "platform/docview/Document.h"
#include "platform/io/Archive.h"

namespace vexa_dump {
namespace {

// Shortest text that reads back as the same value.
template <typename T>
std::string Num(T v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string Hex(std::uint32_t v, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
  return buf;
}

// Text as it is, control characters as \xNN so that one line stays one line.
std::string Printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      out += buf;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Point(PaperPoint p) { return "(" + Num(p.x) + ", " + Num(p.y) + ")"; }

std::string KindNames(std::uint16_t kinds) {
  static constexpr struct {
    std::uint16_t bit;
    const char* name;
  } kNames[] = {{kItemLine, "line"},     {kItemText, "text"},
                {kItemSymbol, "symbol"}, {kItemPolyFill, "polygon fill"},
                {kItemArc, "arc"},       {kItemArcFill, "arc fill"}};
  std::string out;
  std::uint16_t rest = kinds;
  for (const auto& k : kNames) {
    if (!(kinds & k.bit)) continue;
    if (!out.empty()) out += ", ";
    out += k.name;
    rest = static_cast<std::uint16_t>(rest & ~k.bit);
  }
  if (rest) out += (out.empty() ? "" : ", ") + std::string("other ") + Hex(rest, 4);
  return out.empty() ? "none" : out;
}

const char* JustificationName(std::uint32_t code) {
  switch (code) {
    case kJustifyLeftTop:
      return "left, top";
    case kJustifyRightTop:
      return "right, top";
    case kJustifyCentreTop:
      return "centre, top";
    case kJustifyLeftBaseline:
      return "left, baseline";
    case kJustifyRightBaseline:
      return "right, baseline";
    case kJustifyCentreBaseline:
      return "centre, baseline";
    case kJustifyLeftBesideAxis:
      return "left beside an axis";
    case kJustifyRightBesideAxis:
      return "right beside an axis";
    default:
      return "unknown";
  }
}

const char* BrushKindName(std::int16_t kind) {
  switch (kind) {
    case kBrushUseDefault:
      return "default";
    case kBrushSolid:
      return "solid";
    case kBrushHollow:
      return "hollow";
    case kBrushPattern:
      return "pattern";
    case kBrushHatched:
      return "hatched";
    case kBrushNone:
      return "none";
    default:
      return "unknown";
  }
}

std::string PenText(const VEXAPEN& pen) {
  return "pen style " + Num(pen.style) + ", width " + Num(pen.width) + " mm, colour " +
         Hex(pen.colour, 6) + ", background " + Hex(pen.background, 6) + ", background mode " +
         Num(pen.bkMode) + ", round ends " + Num(pen.roundEnds) + ", spline " + Num(pen.spline);
}

std::string BrushText(const VEXABRUSH& brush) {
  return "brush kind " + Num(brush.kind) + " (" + BrushKindName(brush.kind) + "), colour " +
         Hex(brush.colour, 6) + ", background " + Hex(brush.background, 6) + ", background mode " +
         Num(brush.bkMode) + ", hatch " + Num(brush.hatch) + ", bitmap " + Num(brush.bitmap);
}

// Vertices of a line or polygon fill, absolute paper mm.
void DumpVertices(const CVEXALine& line, std::ostream& out) {
  out << "category " << Num(line.GetCategory()) << ", group " << line.GetGroup() << ", "
      << line.GetPointCount() << " vertices:";
  for (int i = 0; i < line.GetPointCount(); ++i) out << ' ' << Point(line.GetPoint(i));
  out << '\n';
}

// Angles are stored in hundredths of a degree.
void DumpArc(const CVEXAArc& arc, std::ostream& out) {
  const ARCREC& a = arc.GetArc();
  out << "category " << Num(arc.GetCategory()) << ", group " << arc.GetGroup() << ", arc style "
      << arc.GetArcStyle() << ", centre " << Point({a.cx, a.cy}) << " mm, box left " << Num(a.left)
      << " bottom " << Num(a.bottom) << " right " << Num(a.right) << " top " << Num(a.top)
      << " mm, start " << Num(a.start / 100.0) << " end " << Num(a.end / 100.0) << " rotation "
      << Num(a.rotation / 100.0) << " degrees\n";
}

void DumpMapper(const CMapper& m, std::ostream& out) {
  const int mode = m.GetMapMode();
  out << "mapper: paper " << m.GetPaper() << " (" << Num(m.GetPaperWidth()) << " x "
      << Num(m.GetPaperHeight()) << " mm), map mode " << mode
      << (mode == tessmor::MM_HIMETRIC   ? " (0.01 mm)"
          : mode == tessmor::MM_LOMETRIC ? " (0.1 mm)"
                                         : "")
      << ", zoom " << Num(m.GetZoom()) << '\n';
}

void DumpGroups(const CGroupMan& groups, std::ostream& out) {
  out << "groups: " << groups.GetCount() << '\n';
  for (const auto& [id, rec] : groups.Groups()) {
    const std::string_view name(rec->name, strnlen(rec->name, sizeof rec->name));
    out << "  group " << id << " \"" << Printable(name) << "\": kinds " << Hex(rec->kinds, 4)
        << " (" << KindNames(rec->kinds) << "), " << rec->count << " items\n";
  }
}

void DumpLineStyles(const CLManager& manager, std::ostream& out) {
  out << "line styles: " << manager.GetSize() << '\n';
  for (int s = 1; s <= manager.GetSize(); ++s) {
    const CLineStyle& style = *manager.GetStyle(s);
    out << "  line style " << s << ": " << PenText(style.GetPen()) << '\n';
    out << "    lines: " << style.GetLineCount() << '\n';
    for (int i = 0; i < style.GetLineCount(); ++i) {
      out << "      line " << i + 1 << ": ";
      DumpVertices(*style.GetLine(i), out);
    }
    out << "    arcs: " << style.GetArcCount() << '\n';
    for (int i = 0; i < style.GetArcCount(); ++i) {
      out << "      arc " << i + 1 << ": ";
      DumpArc(*style.GetArc(i), out);
    }
  }
}

void DumpFillStyles(const CFManager& manager, std::ostream& out) {
  out << "fill styles: " << manager.GetSize() << '\n';
  for (int s = 1; s <= manager.GetSize(); ++s) {
    const CFillStyle& style = *manager.GetFillStyle(s);
    out << "  fill style " << s << ": " << PenText(style.GetPen()) << "; "
        << BrushText(style.GetBrush()) << '\n';
    out << "    polygon fills: " << style.GetLineCount() << '\n';
    for (int i = 0; i < style.GetLineCount(); ++i) {
      out << "      polygon fill " << i + 1 << ": ";
      DumpVertices(*style.GetLine(i), out);
    }
    out << "    arc fills: " << style.GetArcCount() << '\n';
    for (int i = 0; i < style.GetArcCount(); ++i) {
      out << "      arc fill " << i + 1 << ": ";
      DumpArc(*style.GetArc(i), out);
    }
    out << "    symbols: " << style.GetSymbolCount() << '\n';
    for (int i = 0; i < style.GetSymbolCount(); ++i) {
      const CVEXASymbol& symbol = *style.GetSymbol(i);
      // Members of the packed record are copied out, never referenced.
      const VEXASYMBOL record = symbol.GetSymbol();
      const unsigned type = record.symbol;
      const std::uint32_t size = record.size;
      const std::int32_t angle = record.angle;
      out << "      symbol " << i + 1 << ": group " << symbol.GetGroup() << ", at "
          << Point(symbol.GetPos()) << " mm, type " << type << ", size " << Num(size / 10.0)
          << " pt, angle " << Num(angle / 10.0) << " degrees\n";
    }
  }
}

void DumpCharStyles(const CCManager& manager, std::ostream& out) {
  out << "character styles: " << manager.GetSize() << '\n';
  for (int s = 1; s <= manager.GetSize(); ++s) {
    const CCharStyle& style = *manager.GetStyle(s);
    const TEXTSTYLE ts = style.GetTextStyle();
    const tessmor::LOGFONT font = ts.font;
    const std::string_view face(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName));
    const std::uint32_t justification = ts.justification;
    out << "  character style " << s << ": font \"" << Printable(face) << "\", height "
        << Num(ts.height) << " mm, justification " << justification << " ("
        << JustificationName(justification) << "), colour " << Hex(ts.colour, 6) << ", background "
        << Hex(ts.background, 6) << ", angle " << Num(font.lfEscapement / 10.0)
        << " degrees, weight " << font.lfWeight << ", italic " << unsigned{font.lfItalic}
        << ", underline " << unsigned{font.lfUnderline} << '\n';
    out << "    texts: " << style.GetStringCount() << '\n';
    for (int i = 0; i < style.GetStringCount(); ++i) {
      const CVEXAString& text = *style.GetString(i);
      out << "      text " << i + 1 << ": category " << Num(text.GetCategory()) << ", group "
          << text.GetGroup() << ", anchor " << Point(text.GetAnchor()) << " mm, "
          << text.GetLineCount() << " lines\n";
      for (const std::string& line : text.GetLines())
        out << "        | " << Printable(line) << '\n';
    }
  }
}

void DumpBitmaps(const CBitmapStore& bitmaps, std::ostream& out) {
  out << "bitmaps: " << bitmaps.GetSize() << '\n';
  for (int i = 0; i < bitmaps.GetSize(); ++i) {
    const BitmapStoreEntry& e = *bitmaps.GetEntry(i);
    out << "  bitmap " << i << ": ";
    if (e.bFromResource) {
      out << "resource " << e.nResourceNumber << '\n';
    } else if (e.pBitmap) {
      out << "file image " << e.pBitmap->Width() << " x " << e.pBitmap->Height() << " pixels, "
          << e.pBitmap->BitCount() << " bits per pixel\n";
    } else {
      out << "file image, no bitmap\n";
    }
  }
}

// The chart at `path` into `doc`; false with `*reason` set when it cannot be read as a chart.
bool ReadChart(const std::string& path, CVexaDoc& doc, std::string* reason) {
  try {
    tessmor::Archive ar = tessmor::Archive::OpenForLoad(path);
    if (!HasChartMagic(ar.FileBytes())) {
      *reason = "not a chart file";
      return false;
    }
    doc.SerializeChart(ar);
    return true;
  } catch (const std::exception& e) {
    *reason = e.what();
    return false;
  }
}

int Usage(std::ostream& err) {
  err << "usage: vexa-dump FILE\n       vexa-dump --resave IN OUT\n";
  return kExitUsage;
}

}  // namespace

bool HasChartMagic(const std::vector<std::uint8_t>& bytes) {
  const std::string_view magic(CVexaDoc::kMagicLine);
  const std::string_view body = magic.substr(0, magic.size() - 2);
  if (bytes.size() < body.size()) return false;
  for (std::size_t i = 0; i < body.size(); ++i)
    if (bytes[i] != static_cast<std::uint8_t>(body[i])) return false;
  return bytes.size() == body.size() || bytes[body.size()] == '\n' || bytes[body.size()] == '\r';
}

void DumpChart(const CVexaDoc& doc, std::ostream& out) {
  out << "title: " << Printable(doc.m_strTitle) << '\n';
  DumpMapper(doc.m_mapper, out);
  DumpGroups(doc.m_groups, out);
  DumpLineStyles(doc.m_lineManager, out);
  DumpFillStyles(doc.m_fillManager, out);
  DumpCharStyles(doc.m_charManager, out);
  DumpBitmaps(doc.m_bitmaps, out);
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const bool resave = args.size() == 3 && args[0] == "--resave";
  if (!resave && (args.size() != 1 || args[0].empty() || args[0][0] == '-')) return Usage(err);

  const std::string& in = resave ? args[1] : args[0];
  CVexaDoc doc;
  std::string reason;
  if (!ReadChart(in, doc, &reason)) {
    err << tessmor::kFailedToOpenDocument << '\n' << in << ": " << reason << '\n';
    return kExitUnreadable;
  }
  if (!resave) {
    DumpChart(doc, out);
    return kExitOk;
  }
  try {
    tessmor::Archive ar = tessmor::Archive::ForStore(args[2]);
    doc.SerializeChart(ar);
    ar.Commit();
  } catch (const std::exception& e) {
    err << tessmor::kFailedToSaveDocument << '\n' << args[2] << ": " << e.what() << '\n';
    return kExitUnreadable;
  }
  return kExitOk;
}

}  // namespace vexa_dump

// The chart view's output: screen drawing, printing, metafiles, bitmaps, the export dialog
// and the clipboard.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>

#include "chart/view/VexaView.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/EmfDC.h"
#include "platform/gdi/EnhMetafile.h"
#include "platform/gdi/ImageDC.h"
#include "platform/gdi/PictureFiles.h"
#include "platform/io/Archive.h"
#include "platform/io/FileError.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Prompts.h"
#include "plotsupport/Bitmaps.h"
#include "util/TextData.h"

namespace {

using tessmor::RECT;

// The name the metafiles give as their application.
constexpr char kApplicationName[] = "Tessmor";

// Light grey, 50 logical units wide: the paper outline on screen.
constexpr tessmor::COLORREF kPaperColour = tessmor::RGB(200, 200, 200);
constexpr std::int32_t kPaperPenWidth = 50;
constexpr tessmor::COLORREF kExtentColour = tessmor::RGB(128, 128, 128);

// Zoom percentages at which output is drawn, whatever the screen's zoom.
constexpr int kMetafileZoom = 200;
constexpr int kBitmapZoom = 100;

// Logical units by which the bitmap's white background reaches beyond its rectangle.
constexpr int kBitmapMargin = 100;

// The resolution of PNG pictures, pixels per inch of the paper.
constexpr int kPngPixelsPerInch = 300;

// The export dialog's filters, in the order of the picture types 1 to 7.
constexpr std::pair<const char*, const char*> kExportFilters[] = {
    {"Enhanced Metafile (*.emf)", ".emf"},
    {"Windows Metafile (*.wmf)", ".wmf"},
    {"Windows Bitmap (*.bmp)", ".bmp"},
    {"Portable Network Graphics (*.png)", ".png"},
    {"Scalable Vector Graphics (*.svg)", ".svg"},
    {"Portable Document Format (*.pdf)", ".pdf"},
    {"Tessmor Chart (*.vxc)", ".vxc"}};
constexpr int kExportFilterCount = static_cast<int>(std::size(kExportFilters));

constexpr char kOverOwnFile[] = "A picture cannot be written over the document's own file.";

// The picture type a file name's extension asks for (1 enhanced metafile, 2 Windows metafile,
// 3 bitmap, 4 PNG, 5 SVG, 6 PDF, 7 chart file, in any letter case), or 0 for any other
// extension or none.
int PictureTypeOf(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (int i = 0; i < kExportFilterCount; ++i) {
    if (ext == kExportFilters[i].second) return i + 1;
  }
  return 0;
}

// True when `a` and `b` name one file (or would, once written): the same file on disk, or
// the same path once made absolute and normal.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  const std::filesystem::path ca = std::filesystem::weakly_canonical(a, ec);
  if (ec) return a.lexically_normal() == b.lexically_normal();
  const std::filesystem::path cb = std::filesystem::weakly_canonical(b, ec);
  return !ec && ca == cb;
}

// Writes `bytes` as the file `path`, replacing an existing file whole or not at all. On
// failure `cause` (when given) receives the file-error cause.
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, int* cause) {
  try {
    tessmor::WriteFileReplacing(path, bytes);
    return true;
  } catch (const tessmor::FileException& e) {
    if (cause) *cause = e.cause();
    return false;
  }
}

}  // namespace

// --- screen and printer ---

void CVexaView::OnPaint(tessmor::DC& dc) {
  PrepareDC(dc);
  OnDraw(dc);
}

void CVexaView::OnDraw(tessmor::DC& dc) {
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  const int mode = doc->GetDrawMode();
  if (mode == CVexaDoc::kDrawMetafile || mode == CVexaDoc::kDrawClipboardMetafile) return;
  if (mode == CVexaDoc::kDrawScreen) {
    // The window origin depends on the extent: prepare again with the sizes as they are now.
    RecalcScrollSizes();
    PrepareDC(dc);
  }
  DrawBody(dc, false);
}

void CVexaView::OnPrint(tessmor::DC& dc) {
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  const int mode = doc->GetDrawMode();
  if (mode == CVexaDoc::kDrawMetafile || mode == CVexaDoc::kDrawClipboardMetafile) return;
  dc.SetMapMode(doc->m_mapper.GetMapMode());
  // The paper and extent centred on the page.
  const RECT device = tessmor::NormalizedDeviceRect(dc, PaperAndExtent());
  const RECT page = dc.GetDeviceBounds();
  const std::int32_t cx = device.left + (device.right - device.left) / 2;
  const std::int32_t cy = device.top + (device.bottom - device.top) / 2;
  dc.OffsetViewportOrg((page.right - page.left) / 2 - cx, (page.bottom - page.top) / 2 - cy);
  DrawBody(dc, true);
}

std::optional<tessmor::Dib> CVexaView::PaintClient() {
  std::unique_ptr<tessmor::DC> dc =
      tessmor::CreateImageDC(m_client.cx, m_client.cy, m_nPixelsPerInch);
  if (!dc) return std::nullopt;
  OnPaint(*dc);
  return tessmor::ImageDCToDib(*dc);
}

void CVexaView::DrawBody(tessmor::DC& dc, bool printing) {
  CVexaDoc* doc = GetDocument();
  if (!printing && m_bShowPaper) DrawPaperOutline(dc);
  doc->DrawChart(dc);
  if (m_bShowExtent) DrawExtent(dc);
}

void CVexaView::DrawPaperOutline(tessmor::DC& dc) const {
  const RECT paper = GetDocument()->m_mapper.GetPaperRect();
  const tessmor::Pen pen = dc.SelectPen({tessmor::PS_SOLID, kPaperPenWidth, kPaperColour});
  const tessmor::Brush brush = dc.SelectBrush(tessmor::HollowBrush());
  dc.Rectangle(paper.left, paper.top, paper.right, paper.bottom);
  dc.SelectBrush(brush);
  dc.SelectPen(pen);
}

void CVexaView::DrawExtent(tessmor::DC& dc) const {
  const tessmor::Pen pen = dc.SelectPen({tessmor::PS_DOT, 0, kExtentColour});
  const tessmor::Brush brush = dc.SelectBrush(tessmor::HollowBrush());
  dc.Rectangle(m_rcExtent.left, m_rcExtent.top, m_rcExtent.right, m_rcExtent.bottom);
  dc.SelectBrush(brush);
  dc.SelectPen(pen);
}

RECT CVexaView::PaperAndExtent() const {
  const CVexaDoc* doc = GetDocument();
  if (!doc) return {};
  return tessmor::UnionRects(tessmor::NormalizedRect(doc->m_mapper.GetPaperRect()),
                             tessmor::NormalizedRect(m_rcExtent));
}

// --- output zoom ---

CVexaView::SavedZoom CVexaView::SetOutputZoom(int percent) {
  SavedZoom saved;
  saved.percent = m_nZoom;
  if (const CVexaDoc* doc = GetDocument()) saved.zoom = doc->m_mapper.GetZoom();
  SetZoomPercent(percent, false);
  return saved;
}

void CVexaView::RestoreZoom(const SavedZoom& saved) {
  if (CVexaDoc* doc = GetDocument()) doc->m_mapper.SetZoom(saved.zoom);
  RecomputeExtents();
  m_nZoom = saved.percent;
  RecalcScrollSizes();
}

// --- metafiles and bitmaps ---

std::vector<std::uint8_t> CVexaView::MakeMetafile() {
  CVexaDoc* doc = GetDocument();
  if (!doc) return {};
  const SavedZoom saved = SetOutputZoom(kMetafileZoom);
  std::vector<std::uint8_t> bytes;
  const RECT r = PaperAndExtent();
  if (!tessmor::IsRectEmpty(r)) {
    // The picture's frame: the rectangle's device size on the reference device.
    const tessmor::SIZE size = GetReferenceDC().SizeLPtoDP({r.right - r.left, r.bottom - r.top});
    std::string description = kApplicationName;
    description += '\0';
    description += doc->GetTitle();
    description.append(2, '\0');
    tessmor::EmfDC emf(m_nPixelsPerInch, description,
                       RECT{0, 0, std::max(size.cx, 1), std::max(size.cy, 1)});
    if (emf.IsValid()) {
      emf.SetMapMode(doc->m_mapper.GetMapMode());
      // The rectangle's top-left corner (y up: its largest y) at device (0, 0).
      emf.SetWindowOrg(r.left, r.bottom);
      const int previous = doc->SetDrawMode(CVexaDoc::kDrawClipboardMetafile);
      doc->DrawChart(emf);
      doc->SetDrawMode(previous);
      bytes = emf.Close().bytes();
    }
  }
  RestoreZoom(saved);
  return bytes;
}

std::optional<tessmor::Dib> CVexaView::MakeBitmap() {
  CVexaDoc* doc = GetDocument();
  if (!doc) return std::nullopt;
  const SavedZoom saved = SetOutputZoom(kBitmapZoom);
  std::optional<tessmor::Dib> dib;
  tessmor::DC& ref = GetReferenceDC();
  const RECT client = tessmor::NormalizedRect(ref.DPtoLP(RECT{0, 0, m_client.cx, m_client.cy}));
  const RECT r = tessmor::UnionRects(PaperAndExtent(), client);
  if (!tessmor::IsRectEmpty(r)) {
    const tessmor::SIZE size = ref.SizeLPtoDP({r.right - r.left, r.bottom - r.top});
    std::unique_ptr<tessmor::DC> dc = tessmor::CreateImageDC(size.cx, size.cy, m_nPixelsPerInch);
    if (dc) {
      dc->SetMapMode(doc->m_mapper.GetMapMode());
      dc->SetWindowOrg(r.left, r.bottom);
      dc->FillRect({r.left - kBitmapMargin, r.bottom + kBitmapMargin, r.right + kBitmapMargin,
                    r.top - kBitmapMargin},
                   tessmor::SolidBrush(tessmor::RGB(255, 255, 255)));
      const int previous = doc->SetDrawMode(CVexaDoc::kDrawBitmap);
      doc->DrawChart(*dc);
      doc->SetDrawMode(previous);
      dib = tessmor::ImageDCToDib(*dc);
    }
  }
  RestoreZoom(saved);
  return dib;
}

std::vector<std::uint8_t> CVexaView::MakePagePicture(int type) {
  CVexaDoc* doc = GetDocument();
  if (!doc || type < kPicturePng || type > kPicturePdf) return {};
  EndLine();
  const SavedZoom saved = SetOutputZoom(kBitmapZoom);
  const CMapper& mapper = doc->m_mapper;
  const RECT paper = tessmor::NormalizedRect(mapper.GetPaperRect());
  const auto draw = [&](tessmor::DC& dc) {
    dc.SetMapMode(mapper.GetMapMode());
    // The paper's top-left corner (y up: its largest y) at device (0, 0).
    dc.SetWindowOrg(paper.left, paper.bottom);
    const int previous = doc->SetDrawMode(type == kPicturePng ? CVexaDoc::kDrawBitmap
                                                              : CVexaDoc::kDrawClipboardMetafile);
    doc->DrawChart(dc);
    doc->SetDrawMode(previous);
  };
  const double width = mapper.GetPaperWidth();
  const double height = mapper.GetPaperHeight();
  std::vector<std::uint8_t> bytes;
  if (!tessmor::IsRectEmpty(paper)) {
    if (type == kPicturePng) {
      bytes = tessmor::DrawPngPage(width, height, kPngPixelsPerInch, draw);
    } else if (type == kPictureSvg) {
      bytes = tessmor::DrawSvgPage(width, height, doc->GetTitle(), draw);
    } else {
      bytes = tessmor::DrawPdfPage(width, height, doc->GetTitle(), draw);
    }
  }
  RestoreZoom(saved);
  return bytes;
}

bool CVexaView::WriteChartFile(const std::string& path, int type, int* cause) {
  if (cause) *cause = tessmor::kFileErrorNone;
  switch (type) {
    case 1: {
      const tessmor::EnhMetafile emf(MakeMetafile());
      return emf.IsValid() && WriteBytes(path, emf.bytes(), cause);
    }
    case 2: {
      const tessmor::EnhMetafile emf(MakeMetafile());
      if (!emf.IsValid()) return false;
      if (ConvertEMFtoWMF(&GetReferenceDC(), &emf, path.c_str()) == 1) return true;
      if (cause) *cause = tessmor::kFileErrorGeneric;
      return false;
    }
    case 3: {
      const std::optional<tessmor::Dib> dib = MakeBitmap();
      return dib && WriteBytes(path, tessmor::DibFileImage(*dib), cause);
    }
    case kPicturePng:
    case kPictureSvg:
    case kPicturePdf: {
      const std::vector<std::uint8_t> bytes = MakePagePicture(type);
      return !bytes.empty() && WriteBytes(path, bytes, cause);
    }
    case kPictureChartFile: {
      CVexaDoc* doc = GetDocument();
      if (!doc) return false;
      EndLine();
      tessmor::Archive ar = tessmor::Archive::ForStore();
      doc->SerializeChart(ar);
      return WriteBytes(path, ar.StoredBytes(), cause);
    }
    default:
      return false;
  }
}

bool CVexaView::ExportChart(const std::string& path) {
  CVexaDoc* doc = GetDocument();
  if (!doc) return false;
  tessmor::FileDialogRequest request;
  request.save = true;
  request.title = kExportTitle;
  for (const auto& [name, ext] : kExportFilters) request.filters.emplace_back(name, ext);
  request.all_files = true;
  request.flags = tessmor::kFileDialogOverwritePrompt | tessmor::kFileDialogHideReadOnly |
                  tessmor::kFileDialogPathMustExist;
  // The proposed name is the document's base name with the first filter's extension, never
  // the document's own file name.
  const std::string& own = doc->GetPathName();
  std::string base;
  if (!path.empty()) {
    const std::filesystem::path p(path);
    request.initial_dir = p.parent_path().string();
    base = p.stem().string();
  } else {
    request.initial_dir = doc->m_strChartPath;
    base = doc->GetTitle();
    if (!own.empty() && base == std::filesystem::path(own).filename().string())
      base = std::filesystem::path(own).stem().string();
  }
  request.file_name = base + kExportFilters[0].second;
  const tessmor::FileDialogResult chosen = tessmor::GetFileDialogs().Show(request);
  if (!chosen.ok || chosen.path.empty()) return false;
  if (SameFile(chosen.path, own)) {
    tessmor::GetPrompts().MessageBox(kOverOwnFile,
                                     tessmor::kPromptOk | tessmor::kPromptIconWarning);
    return false;
  }
  // A name with a picture extension is written as that picture; any other name gets the
  // chosen filter's extension, so that the bytes always match the extension.
  const int filter = chosen.filter_index >= 0 && chosen.filter_index < kExportFilterCount
                         ? chosen.filter_index
                         : 0;
  std::filesystem::path target(chosen.path);
  int type = PictureTypeOf(target);
  if (type == 0) {
    target += kExportFilters[filter].second;
    type = filter + 1;
    // The dialog asked about the name without the extension: ask about the file written.
    if (SameFile(target, own)) {
      tessmor::GetPrompts().MessageBox(kOverOwnFile,
                                       tessmor::kPromptOk | tessmor::kPromptIconWarning);
      return false;
    }
    std::error_code ec;
    if (std::filesystem::exists(target, ec) &&
        tessmor::GetPrompts().MessageBox(
            target.filename().string() + " already exists.\nDo you want to replace it?",
            tessmor::kPromptYesNo | tessmor::kPromptIconWarning) != tessmor::kAnswerYes) {
      return false;
    }
  }
  int cause = tessmor::kFileErrorNone;
  const bool written = WriteChartFile(target.string(), type, &cause);
  if (!written) {
    std::string text = "The picture " + target.filename().string() + " could not be written.";
    if (cause != tessmor::kFileErrorNone) text += std::string("\n") + CFileErrText(cause);
    tessmor::GetPrompts().MessageBox(text, tessmor::kPromptOk | tessmor::kPromptIconWarning);
  }
  // Only the folder is remembered: the document keeps its own path and title, so that a
  // later save never writes the chart over the exported picture.
  std::string folder = target.parent_path().string();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  doc->m_strChartPath = folder;
  return written;
}

bool CVexaView::OnEditCopy(tessmor::Clipboard* clipboard) {
  CVexaDoc* doc = GetDocument();
  if (!doc || doc->IsChartEmpty()) return false;
  EndLine();
  const std::vector<std::uint8_t> emf = MakeMetafile();
  const std::optional<tessmor::Dib> dib = MakeBitmap();
  const std::vector<std::uint8_t> svg = MakePagePicture(kPictureSvg);
  if (emf.empty() && !dib && svg.empty()) return false;
  tessmor::Clipboard& board = clipboard ? *clipboard : tessmor::GetClipboard();
  if (!board.Open()) return false;
  bool placed = board.Empty();
  if (placed && !emf.empty()) placed = board.SetData(tessmor::kClipEnhMetafile, emf);
  if (placed && dib) {
    // A packed bitmap: the file image without its 14-byte file header.
    std::vector<std::uint8_t> packed = tessmor::DibFileImage(*dib);
    packed.erase(packed.begin(), packed.begin() + sizeof(tessmor::DibFileHeader));
    placed = board.SetData(tessmor::kClipDib, packed);
  }
  if (placed && !svg.empty()) {
    placed = board.SetData(tessmor::Clipboard::RegisterFormat(tessmor::kClipSvgName), svg);
  }
  board.Close();
  return placed;
}

#pragma once

// The chart view: the pen-plotter drawing interface through which clients put items into a
// chart document, the rendering of the chart (screen, printer, metafiles, bitmaps) with the
// paper outline, zoom and scrolling, and the selection and moving of items with the mouse.
//
// The view needs no window: it has a client area of a given size in device pixels, a scroll
// position and a reference device context (an off-screen image at the client's resolution)
// that lays texts out and converts between client and logical coordinates.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chart/document/VexaDoc.h"
#include "chart/view/ViewTransform.h"
#include "platform/docview/Document.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/GdiTypes.h"
#include "plotsupport/StyleRecords.h"
#include "plotsupport/TextStyle.h"

namespace tessmor {
class Clipboard;
class DC;
}  // namespace tessmor

class CVEXALine;
class CVEXAPolyFill;
struct AXIS;

/// Width, height (mm) and code of a chart's paper.
struct ChartPaper {
  float width = 0.0f;
  float height = 0.0f;
  int code = 0;
};

/// The window onto a chart document, and the drawing interface of the chart framework.
///
/// World coordinates are the client's own units; the view's transform (CViewTransform)
/// turns them into paper millimetres. Every drawing call creates or extends items in the
/// document, files them under the document's current group, widens m_rcExtent by their
/// rectangles and has the document's views invalidate them. Each drawing call first closes
/// an open polyline unless it extends it.
///
/// Logical units are the mapper's (0.01 mm or 0.1 mm times the zoom), x to the right and y
/// up from the paper's top edge; client coordinates are device pixels of the client area,
/// (0, 0) at its top-left corner.
class CVexaView : public tessmor::View, public IChartView {
 public:
  /// Settings section and entry of the stored zoom percentage.
  static constexpr const char* kZoomSection = "VexaWinPos";
  static constexpr const char* kZoomEntry = "mag";
  /// Update hint: the selection rectangle is to be drawn again (object: the selection).
  static constexpr long kHintSelection = 514;
  /// The copy command.
  static constexpr int kCommandCopy = 57634;
  /// Largest zoom percentage accepted.
  static constexpr int kMaxZoomPercent = 1100;
  /// Title of the export dialog.
  static constexpr const char* kExportTitle = "Export chart";
  /// Picture types of WriteChartFile beyond the metafiles (1, 2) and the bitmap (3).
  static constexpr int kPicturePng = 4;
  static constexpr int kPictureSvg = 5;
  static constexpr int kPicturePdf = 6;
  /// The chart file itself (.vxc), which opens again with its styles.
  static constexpr int kPictureChartFile = 7;

  /// A client area of `width` × `height` device pixels at `pixelsPerInch`, scrolled to
  /// (0, 0); the zoom percentage read from the settings ("VexaWinPos", "mag", 0 when absent).
  explicit CVexaView(int width = 800, int height = 600, int pixelsPerInch = 96);
  ~CVexaView() override;
  CVexaView(const CVexaView&) = delete;
  CVexaView& operator=(const CVexaView&) = delete;

  /// The chart document, or null while the view is not attached to one.
  CVexaDoc* GetDocument() const;

  // --- the window ---

  /// Resizes the client area (device pixels, at least 1 × 1); the scroll position is held
  /// within the new range.
  void SetClientSize(int width, int height);
  tessmor::SIZE GetClientSize() const { return m_client; }
  /// Scrolls to `pos` (device pixels), held within 0 .. scroll size − client size. The
  /// selection rectangle moves with the change of position.
  void ScrollToPosition(tessmor::POINT pos);
  tessmor::POINT GetScrollPosition() const override { return m_scroll; }
  /// The scrollable size: logical units of the mapper, and device pixels.
  tessmor::SIZE GetTotalLogicalSize() const { return m_totalLogical; }
  tessmor::SIZE GetTotalSize() const;
  /// Recomputes the scrollable size from the paper and m_rcExtent: width max(W, extent right)
  /// − min(extent left, 0) + 200, height max(H, |extent top|) − min(−extent bottom, 0) + 200
  /// in logical units, W and H the paper's logical size.
  void RecalcScrollSizes();
  /// The device context the view lays texts out on, prepared with PrepareDC.
  tessmor::DC& GetReferenceDC();

  // --- conversions (IChartView) ---

  /// Prepares `dc` for drawing the chart in the client area: the mapper's mapping mode, the
  /// scroll position as the viewport origin (negated) and the window origin moved to
  /// (min(extent left, −100), max(extent bottom, 100)) logical units, so that the paper has a
  /// margin of 1 mm at 0.01 mm units and everything drawn outside it can be scrolled to.
  virtual void PrepareDC(tessmor::DC& dc) const;
  tessmor::POINT ClientToLogical(tessmor::POINT client) const override;
  tessmor::RECT LogicalToClient(const tessmor::RECT& r) const override;
  /// The paper point (mm from the paper's bottom-left corner) under a client point.
  PaperPoint ClientToPaper(tessmor::POINT client) const override;
  /// Records `r` (client coordinates) as to be drawn again.
  void InvalidateClient(const tessmor::RECT& r) override;
  /// The client rectangles invalidated so far, in order.
  const std::vector<tessmor::RECT>& GetInvalidated() const { return m_invalidated; }
  void ClearInvalidated() { m_invalidated.clear(); }

  // --- framework ---

  /// Gives the document's managers their mapper-bound styles, computes the scroll sizes and
  /// realises the fonts for this view. A chart without any style yet is set up afresh: paper
  /// code 9, text angle 0, black pens 0.2 mm wide for lines and texts, pen style 0, a solid
  /// red brush, scales 1 and the stored zoom (or zoom 1 when none is stored).
  void OnInitialUpdate() override;
  /// Hint 513: the character manager's fonts are realised for this view; hint 514: the
  /// selection rectangle is invalidated; otherwise an object that is an item of the chart has
  /// its rectangle invalidated.
  void OnUpdate(tessmor::View* sender, long hint, void* object) override;
  /// Draws the chart on `dc`, prepared with PrepareDC: the paper outline (when shown), the
  /// items and the extent (when shown). Nothing in the metafile draw modes 101 and 102.
  virtual void OnDraw(tessmor::DC& dc);
  /// PrepareDC, then OnDraw.
  void OnPaint(tessmor::DC& dc);
  /// Draws the chart on a printer page `dc` (device bounds: the page): the paper and extent
  /// centred on the page, no paper outline.
  void OnPrint(tessmor::DC& dc);
  /// The client area as it would be painted now, as a 24-bit bitmap.
  std::optional<tessmor::Dib> PaintClient();

  // --- drawing, world coordinates ---

  void MoveTo(double x, double y);
  void MoveBy(double dx, double dy);
  void LineTo(double x, double y);
  void LineBy(double dx, double dy);
  /// Draws from the pen to the paper point (x, y), mm.
  void PaperLineTo(double x, double y);
  /// Closes the open polyline or polygon: it is filed under the current group, widens
  /// m_rcExtent and is invalidated.
  void EndLine();
  /// Moves to the first point, then draws to each of the `n` points from the first on.
  void DrawPolyline(const float* xs, const float* ys, int n);
  /// A filled rectangle between world x1 … x2 and y1 … y2; nothing when either side is
  /// shorter than 0.008 world units. The pen comes back to where it was.
  void FillRectangle(double x1, double x2, double y1, double y2);
  /// A symbol of `type` (plot support library shapes 1-15) at the pen, m_fSymbolSize mm
  /// across, turned by the world rotation.
  void DrawSymbol(int type);
  void DrawSymbols(const float* xs, const float* ys, int n, int type);
  /// The size of the next symbols, mm.
  void SetSymbolSize(float size);

  // --- styles ---

  /// Targets 0 and 1: the line manager's pen attributes (`style` is the colour for target 1,
  /// the background colour otherwise), the width in mm multiplied by the factor (a product
  /// below 0.001 with style 0 becomes the factor itself), `a` rounded ends and `b` spline.
  /// Target 2: `style` becomes the text colour. Other targets do nothing.
  void SetPen(std::uint32_t style, float width, int target, int a, int b);
  /// The pen record becomes the pen of the current line style and fill style.
  void SetPenRecord(const VEXAPEN& pen);
  /// Pen style codes 0-6 and 16-21 of the current line style and fill style; others ignored.
  void SetPenStyle(int code);
  /// The fill manager's brush: colour `a` and brush code `b` (hatches 0-5, 999 solid, 201
  /// hollow, 204 background colour only).
  void SetFillStyle(std::uint32_t a, int b);
  /// Makes bitmap `resource` of the program's bitmaps the brush of the current fill style,
  /// adding it to the document's bitmap store when it is not there yet. Returns false (the
  /// brush unchanged) when there is no such bitmap.
  bool SetBitmapFill(std::uint32_t resource);
  /// The same for a bitmap named by its number in decimal, with or without a leading "#".
  bool SetBitmapFill(const std::string& name);

  // --- text ---

  /// The text angle in degrees counter-clockwise, added to the world rotation when text
  /// follows it, brought into [0, 360).
  void SetTextAngle(float angle);
  void SetTextFollowsRotation(int flag);
  /// Selects the character style of `record`.
  void SelectTextStyle(const TEXTSTYLE& record);
  /// Selects the style of `record`, then its size, colour, justification and angle through
  /// the view's own setters.
  void SetTextStyle(const TEXTSTYLE& record);
  /// Justification codes 0, 2, 6, 24, 26, 30, 256 and 512; others ignored.
  void SetTextJustification(std::uint32_t code);
  /// Character size in mm, multiplied by the factor (and by the scales when text follows the
  /// world frame). The character styles keep a height only; `width` is not used.
  void SetTextSize(float width, float height);
  /// A text item at the pen; the pen then moves by the text's extent in mm.
  void WriteText(const std::string& text);
  /// `value` in decimal, right-aligned with spaces to `width` characters when shorter.
  void WriteInteger(long value, int width);
  /// `value` with `decimals` decimals (a space before non-negative values), right-aligned to
  /// `width` characters when shorter.
  void WriteNumber(float value, int width, int decimals);

  // --- axes ---

  /// Draws a complete axis from `*axis` in the current world frame, its start at the world
  /// origin and its direction `angle` degrees: rescales the record for the data interval
  /// `first` … `last` (unless fixedScale), draws the axis line with its ticks as one polyline
  /// (item category 4), the tick labels (category 6) thinned by SetLabelSpacing, and the
  /// title. Lengths are mm. Flags 0 become kAxisDefaultFlags in the record; titleX and titleY
  /// come back as they were. The label style, size, colour, justification, pen and item
  /// category stay as drawn; the frame rotation and the text angle (0) are restored.
  ///
  /// An axis whose tick count is 0, not finite or above kMaxAxisTicks, or whose scale or step
  /// is not finite, is drawn as a plain line without ticks or labels. Returns 0; a null `axis`
  /// draws nothing.
  int DrawAxis(float first, float last, AXIS* axis);
  /// Lays out the tick labels of `*axis` for the layout `flags` with the current text height:
  /// writes labelOffset (mm from the axis line, negative below it) and labelEvery (0 every
  /// tick, k one labelled and k skipped, -1 the end value only) and returns the labels'
  /// justification code. A null `axis` gives 0, nothing written.
  unsigned SetLabelSpacing(AXIS* axis, unsigned flags);
  /// The most tick intervals an axis is drawn with.
  static constexpr int kMaxAxisTicks = 1000;

  // --- the world frame ---

  void RotateBy(float degrees);
  void ShiftOrigin(double dx, double dy);
  double TransformX(double x, double y) const { return m_transform.TransformX(x, y); }
  double TransformY(double x, double y) const { return m_transform.TransformY(x, y); }
  void SaveRestoreTransform(int mode) { m_transform.SaveRestoreTransform(mode); }
  /// Paper mm per world unit in x and y; false when not finite.
  bool SetScale(float x, float y) { return m_transform.SetScale(x, y); }
  /// Factor applied to the scales, line widths and text sizes; false when not finite.
  bool SetFactor(float factor) { return m_transform.SetFactor(factor); }
  const CViewTransform& GetTransform() const { return m_transform; }

  // --- the chart ---

  /// Empties the chart, resets the world frame and the pen, empties m_rcExtent and opens a
  /// new group with the default name.
  void NewChart();
  /// Opens a new group named `name` (the default name when empty).
  void NewObject(const std::string& name);
  /// Deletes the current group with its items.
  void DeleteCurrentObject();
  /// Closes the open polyline, realises the fonts again and invalidates the client area.
  void RefreshStyles();
  ChartPaper GetPaper() const;
  /// Runs the mapper's paper dialog through `choose`; see CMapper::PaperDialog.
  int PaperDialog(bool save, const std::function<std::optional<int>(int current)>& choose);
  void SetItemCategory(std::uint8_t category) { m_nItemCategory = category; }

  // --- zoom ---

  /// Zooms to `percent` (1-1100; below 1 resets to zoom 1). 1101 and above are refused with
  /// the warning beep. Recomputes the items' rectangles, m_rcExtent, the selection rectangle
  /// and the scroll sizes, and keeps the percentage in m_nZoom.
  void SetZoomPercent(int percent, bool redraw);
  /// Zooms by `delta` percent from the stored percentage (from 100 when none is stored);
  /// a result below 1 is refused with the warning beep.
  void ZoomBy(int delta);
  /// Writes m_nZoom to the settings.
  void StoreZoom() const;

  // --- mouse ---

  /// A click of the left button at client point `point` with the mouse `flags` (1 left
  /// button, 8 Control): selects what is under it; when something is selected and `dragTo`
  /// is given, the selection's rectangle was dragged to `dragTo` (client coordinates) and
  /// the selection moves there when it holds only texts or only lines. Then every selected
  /// entry is reported through OnSelectItem (once with kinds 0 when nothing is selected) and
  /// the views redraw the selection.
  void OnLButtonDown(unsigned flags, tessmor::POINT point,
                     std::optional<tessmor::RECT> dragTo = std::nullopt);
  /// The end of a drag of the selection's rectangle to `to` (client coordinates): a selection
  /// of texts alone or of lines alone moves there, the old and new rectangles are invalidated
  /// and `to` becomes the selection rectangle. Returns true when items moved.
  bool DragSelection(const tessmor::RECT& to);
  /// A double click of the left button at client point `point`, after the click that began
  /// it selected: EditSelectedStyle. True when an item changed style.
  bool OnLButtonDblClk(unsigned flags, tessmor::POINT point);

  // --- editing styles ---

  /// When exactly one item is selected and its style is editable (kEditable among the
  /// style's flags), runs the style editor of its kind through the process's dialog runner:
  /// the pen dialog for a line or arc, the character-style editor for a text, the marker
  /// dialog for a symbol, the fill-style editor for a polygon or arc fill, each on copies of
  /// the style's records. On OK the item moves to the style with the new attributes (an
  /// equal one, or a new one), its region and group are brought up to date, the document is
  /// marked changed, the item is selected and m_rcExtent widens by it. Cancel, or the same
  /// attributes, changes nothing. True when the item changed style.
  bool EditSelectedStyle();
  /// Undoes the last restyle or move of items by the user (one level; a later one replaces
  /// it). False, with nothing changed, when there is none or its items are gone.
  bool UndoLastEdit();
  bool CanUndoEdit() const { return m_lastEdit.what != EditRecord::kNone; }
  /// Gives `flags` (CLineStyle::kEditable) to the styles of the items drawn from now on.
  void SetStyleFlags(std::uint32_t flags);
  /// Adds `flags` to every style of the chart as it is now (a chart read from a file).
  void AddFlagsToAllStyles(std::uint32_t flags);

  /// Told of one selected entry (`entry` null and `kinds` 0 when nothing was selected):
  /// its kind, its group's name, its rectangle (logical units) and the clicked paper point.
  /// Returns 0 here.
  virtual int OnSelectItem(std::uint16_t kinds, const std::string& name,
                           const ChartSelectionEntry* entry, const tessmor::RECT& rect,
                           PaperPoint click);

  // --- output ---

  /// Runs the export dialog starting at `path` (or the chart folder and the document title)
  /// and writes the chart as an enhanced metafile, a Windows metafile, a bitmap, a PNG image,
  /// an SVG drawing or a PDF document. The dialog proposes the base name of `path` (or the
  /// title) with the ".emf" extension. A chosen name ending in ".emf", ".wmf", ".bmp", ".png",
  /// ".svg" or ".pdf" is written as that kind of picture; any other name
  /// gets the chosen filter's extension and kind (asking before it replaces a file). A name
  /// that is the document's own file is refused with a message and nothing is written. The
  /// document remembers the chosen folder as its chart folder (its own path and title stay).
  /// Returns true when a file was written.
  bool ExportChart(const std::string& path);
  /// The copy command: puts the chart on `clipboard` (the process clipboard when null) as an
  /// enhanced metafile, as a bitmap and as an SVG drawing of the paper (the format registered
  /// as tessmor::kClipSvgName). An empty chart leaves the clipboard untouched.
  /// Returns true when the clipboard received the chart.
  bool OnEditCopy(tessmor::Clipboard* clipboard = nullptr);
  /// The chart as an enhanced metafile drawn at 200 % zoom; empty when there is nothing to
  /// draw.
  std::vector<std::uint8_t> MakeMetafile();
  /// The chart drawn at 100 % zoom on a white bitmap covering the paper, the extent and the
  /// client area; nothing when there is nothing to draw.
  std::optional<tessmor::Dib> MakeBitmap();
  /// The paper with the chart drawn at 100 % zoom, clipped to the paper: kPicturePng a PNG
  /// image of 300 pixels to the inch of paper on white with smooth edges, kPictureSvg and
  /// kPicturePdf vector pages the size of the paper with the texts as text. Empty when it
  /// cannot be made or `type` is none of these.
  std::vector<std::uint8_t> MakePagePicture(int type);
  /// Writes the chart to `path`: 1 an enhanced metafile, 2 a Windows metafile, 3 a bitmap
  /// file, kPicturePng, kPictureSvg or kPicturePdf (MakePagePicture), or kPictureChartFile
  /// the chart file of the document's chart. Returns true when
  /// written; otherwise the old file is as it was and `cause`, when given, receives the
  /// file-error cause (0 when the picture itself could not be made).
  bool WriteChartFile(const std::string& path, int type, int* cause = nullptr);

  // Members, in their documented order. The transform holds the pen and world frame.
  CViewTransform m_transform;
  int m_bLineOpen = 0;
  int m_bFillMode = 0;
  int m_bTextFollowsRotation = 0;
  float m_fTextAngle = 0.0f;
  float m_fSymbolSize = 4.0f;
  CVEXALine* m_pOpenLine = nullptr;
  CVEXAPolyFill* m_pOpenFill = nullptr;
  tessmor::RECT m_rcExtent{};
  int m_bShowPaper = 1;
  int m_bShowExtent = 0;
  int m_bLastHit = 0;
  std::uint8_t m_nItemCategory = 0;
  /// The zoom percentage of the view (0: none stored), kept by the view's frame.
  int m_nZoom = 0;

 private:
  // Widens m_rcExtent by `r` (empty rectangles add nothing).
  void AddToExtent(const tessmor::RECT& r);
  // Realises the character styles' fonts on the reference DC and lays every text out again.
  void RealizeFonts();
  // Recomputes the items' rectangles, m_rcExtent and the selection rectangle.
  void RecomputeExtents();
  void InvalidateItem(void* object);
  // Tells the document that `item`, just made by this view, of `kind`, changed.
  void MarkNewItem(void* item, std::uint16_t kind);
  // The document's current group, opened first when there is none.
  std::uint16_t CurrentGroup(CVexaDoc& doc);
  // The paper and extent rectangle, normalised logical units.
  tessmor::RECT PaperAndExtent() const;
  void DrawPaperOutline(tessmor::DC& dc) const;
  void DrawExtent(tessmor::DC& dc) const;
  void DrawBody(tessmor::DC& dc, bool printing);
  std::string GroupName(const ChartSelectionEntry& entry) const;
  // Output is drawn at a fixed zoom: SetOutputZoom sets `percent` without redrawing and
  // returns what RestoreZoom needs to put the mapper's zoom and m_nZoom back.
  struct SavedZoom {
    float zoom = 1.0f;
    int percent = 0;
  };
  SavedZoom SetOutputZoom(int percent);
  void RestoreZoom(const SavedZoom& saved);
  // What UndoLastEdit puts back: the item's records before a restyle, or the items moved and
  // the move in paper mm.
  struct EditRecord {
    enum What { kNone, kRestyle, kMove } what = kNone;
    ChartSelectionEntry entry;
    VEXAPEN pen{};
    VEXABRUSH brush{};
    TEXTSTYLE text{};
    VEXASYMBOL symbol{};
    std::vector<ChartSelectionEntry> moved;
    float dx = 0.0f, dy = 0.0f;
  };
  // The kind bit of `object` when it is an item of the chart, else 0.
  std::uint16_t KindOfItem(const void* object) const;
  // Moves `entry`'s item to the style given by the records that apply to its kind (`symbol`
  // also replaces a symbol's shape) and brings the chart up to date; true when it moved.
  bool RestyleItem(const ChartSelectionEntry& entry, const VEXAPEN* pen, const VEXABRUSH* brush,
                   const TEXTSTYLE* text, const VEXASYMBOL* symbol);
  // The records of `entry`'s style (and a symbol's shape), for undoing a restyle.
  EditRecord RecordStyleOf(const ChartSelectionEntry& entry) const;
  EditRecord m_lastEdit;

  tessmor::SIZE m_client;
  int m_nPixelsPerInch = 96;
  tessmor::POINT m_scroll;
  tessmor::SIZE m_totalLogical;
  std::unique_ptr<tessmor::DC> m_referenceDC;
  std::vector<tessmor::RECT> m_invalidated;
  // The angle last given to SetTextAngle, applied again when the rotation changes.
  float m_fTextAngleGiven = 0.0f;
  // The item this view is telling the document about, and its kind, so that its own update
  // need not search the chart for it.
  void* m_pNewItem = nullptr;
  std::uint16_t m_nNewItemKind = 0;
};

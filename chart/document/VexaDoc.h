#pragma once

// The chart document: the paper, the style managers that own every drawing item, the groups,
// the pattern bitmaps, the selection and the tracker that moves it; drawing, hit-testing and
// the chart file.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/items/ItemRegion.h"
#include "chart/paper/Mapper.h"
#include "chart/styles/BitmapStore.h"
#include "chart/styles/CManager.h"
#include "chart/styles/ComplexGroup.h"
#include "chart/styles/FManager.h"
#include "chart/styles/GroupMan.h"
#include "chart/styles/LManager.h"
#include "platform/docview/Document.h"
#include "platform/gdi/GdiTypes.h"

namespace tessmor {
class Archive;
class Clipboard;
class DC;
}  // namespace tessmor

class CVexaDoc;

/// Kind bits of the chart's items, as selections and groups record them.
enum ChartItemKind : std::uint16_t {
  kItemLine = 1,      ///< CVEXALine
  kItemText = 2,      ///< CVEXAString
  kItemSymbol = 4,    ///< CVEXASymbol
  kItemPolyFill = 8,  ///< CVEXAPolyFill
  kItemArc = 16,      ///< CVEXAArc and other strokes
  kItemArcFill = 32,  ///< CVEXAArcFill and other filled items
  kItemComplex = 64,  ///< a composite group (this value or above)
};

/// Manager bits of a deletion mask (0 = all).
enum ChartManagerMask : int {
  kMaskLines = 1,
  kMaskFills = 2,
  kMaskChars = 4,
  kMaskComplex = 8,
};

/// What a chart document needs from the view a click or a drag happened in: conversions from
/// its client (device pixel) coordinates and invalidation. Logical units are those the items'
/// regions use: the mapper's units, x to the right and y upwards from the paper's top edge.
class IChartView {
 public:
  virtual ~IChartView() = default;
  /// The paper point (mm from the bottom-left corner) under client point `client`.
  virtual PaperPoint ClientToPaper(tessmor::POINT client) const = 0;
  /// The logical point under client point `client`.
  virtual tessmor::POINT ClientToLogical(tessmor::POINT client) const = 0;
  /// The client rectangle covering logical rectangle `r`.
  virtual tessmor::RECT LogicalToClient(const tessmor::RECT& r) const = 0;
  /// Asks for client rectangle `r` to be drawn again.
  virtual void InvalidateClient(const tessmor::RECT& r) = 0;
  /// The view's scroll position, device pixels.
  virtual tessmor::POINT GetScrollPosition() const { return {}; }
};

/// One selected item: its kind and the item (or the composite group's record for kinds of 64
/// and above). The item belongs to its style, not to the selection.
struct ChartSelectionEntry {
  std::uint16_t kind = 0;
  void* item = nullptr;
};

/// The chart's current selection.
class CChartSelection {
 public:
  /// Appends an entry, ORs its kind in and unites `bounds` (logical units) into the union.
  void Add(std::uint16_t kind, void* item, const tessmor::RECT& bounds);
  /// Removes every entry, empties the union and the selection rectangle, zeroes the kinds.
  void Clear();
  bool IsEmpty() const { return m_entries.empty(); }
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  const ChartSelectionEntry& GetEntry(int i) const {
    return m_entries.at(static_cast<std::size_t>(i));
  }
  /// True when `item` is selected.
  bool Contains(const void* item) const;
  /// OR of the kinds of every entry.
  std::uint16_t GetKinds() const { return m_nKinds; }
  /// Union of the selected items' rectangles (logical units).
  const CItemRegion& GetUnion() const { return m_union; }

  /// The selection rectangle in client coordinates.
  tessmor::RECT m_rect;
  /// Draw the selection as one rectangle round the union instead of marking the item areas.
  int m_bRectangle = 0;
  /// Scroll position at which m_rect was placed.
  tessmor::POINT m_scrollPos;
  /// Paper point of the last click, mm.
  PaperPoint m_lastClick;

 private:
  std::vector<ChartSelectionEntry> m_entries;
  CItemRegion m_union;
  std::uint16_t m_nKinds = 0;
};

/// The rectangle tracker that moves the selection: its rectangle (client coordinates) and,
/// during a drag only, the document and view it drags in.
class CChartTracker {
 public:
  tessmor::RECT m_rect;
  CVexaDoc* m_pDoc = nullptr;
  IChartView* m_pView = nullptr;
};

/// The chart document.
///
/// Every drawing item belongs to one style and every style to one of the three managers: the
/// managers are the item list. Drawing goes fills, lines, texts, then the selection marks;
/// hit-testing goes texts, strokes, symbols, filled items. The chart file is two text lines
/// and a fixed run of binary sections (see docs/chart-file-format.md).
class CVexaDoc : public tessmor::Document {
 public:
  /// First line of every chart file.
  static constexpr const char* kMagicLine = "QorVexa DocumentFile, TARN systems software v.2.0\r\n";
  /// Update hint sent to every view after a chart's texts were read; the object is the
  /// character manager.
  static constexpr long kHintFontsRealised = 513;
  /// Most rectangles the hit regions of a chart read from a file may hold in all (about 256 MB),
  /// reckoned from the items' outlines as they are read (the regions themselves are built when
  /// first needed): a file that needs more is refused as damaged.
  static constexpr std::int64_t kMaxRegionRectangles = std::int64_t{1} << 24;
  /// Name of the clipboard format that carries the chart file body.
  static constexpr const char* kClipboardFormatName = "Tessmor Chart";

  /// Draw modes.
  static constexpr int kDrawScreen = 100;
  static constexpr int kDrawMetafile = 101;
  static constexpr int kDrawClipboardMetafile = 102;
  static constexpr int kDrawBitmap = 103;
  static constexpr int kDrawScreenBuffered = 105;

  /// Empty managers, groups and stores, the paper from the settings, draw mode 100, title
  /// "No Title", chart mode off.
  CVexaDoc();
  ~CVexaDoc() override;

  // --- the chart file ---

  /// Writes or reads the chart file body. Writing commits the three managers first (so that
  /// nothing drawn is left out) and writes the title with every carriage return or line feed
  /// replaced by a space. Reading replaces the chart; on any failure the chart is left empty
  /// and the exception is passed on.
  void SerializeChart(tessmor::Archive& ar);
  /// Calls SerializeChart in chart mode; otherwise does nothing.
  void Serialize(tessmor::Archive& ar) override;
  /// Reads `path`: as a chart when its first line is the chart magic line (or the chart mode
  /// was set by the caller), else through Serialize. A file that cannot be read
  /// (tessmor::FileException: missing, not a regular file, too large) is reported with the
  /// file-error message of its cause, before anything is read; any other failure reports
  /// "Failed to open document.". On failure it leaves the chart (or the derived document)
  /// empty and returns false. The chart mode is as it was before the call.
  bool OnOpenDocument(const std::string& path) override;
  /// Writes `path` as a chart in chart mode, else through Serialize; the file is replaced only
  /// when everything was written. Failures are reported ("Invalid filename.", "Failed to save
  /// document.") and give false.
  bool OnSaveDocument(const std::string& path) override;
  /// A failed save shows `message` and, on a second line, the file-error text of `cause`.
  void ReportSaveError(const std::string& message, int cause) override;
  bool OnNewDocument() override;
  /// Puts the chart on `clipboard` (the system clipboard when null): the chart file body under
  /// the format kClipboardFormatName and an enhanced-metafile picture of the paper. Does
  /// nothing, and leaves the clipboard as it was, when the chart has no style. Returns true
  /// when the clipboard received the chart.
  bool OnEditCopy(tessmor::Clipboard* clipboard = nullptr);
  /// Sets the document's path and its title (the file name without extension), and keeps the
  /// file's folder in m_strChartPath.
  void SetChartPath(const std::string& path);

  // --- drawing ---

  /// Draws every item on `dc`: fill styles, line styles, character styles, each in manager
  /// order, items outside the clip box skipped; then, in the screen modes, the selection.
  void DrawChart(tessmor::DC& dc);
  /// Sets the draw mode; returns the previous one.
  int SetDrawMode(int mode);
  int GetDrawMode() const { return m_nDrawMode; }

  // --- selection ---

  /// Hit-tests client point `point` of `view` and replaces the selection. `flags` are the
  /// mouse flags: 1 left button, 8 Control. Control+left selects the composite group under
  /// the point; left alone selects the topmost item (text, line, other stroke, symbol,
  /// polygon fill, other filled item). Returns 1 when something is selected, else 0 (the
  /// selection is then empty).
  int HitTestSelect(unsigned flags, tessmor::POINT point, IChartView& view);
  /// Empties the selection, invalidating its rectangle in `view` when given.
  void ClearSelection(IChartView* view = nullptr);
  /// Moves the selection to the tracker rectangle `to` (client coordinates of `view`): only a
  /// selection of texts alone or of lines alone moves, by the paper offset between the
  /// selection rectangle's top-left corner and that of `to`. Returns true when items moved.
  bool MoveSelection(const tessmor::RECT& to, IChartView& view);

  // --- contents ---

  /// Deletes every item and group (composite ones too), empties m_strChartPath and the
  /// selection. Returns 1.
  int ClearChart();
  /// 1 when no manager has a style.
  int IsChartEmpty() const;
  /// Sets m_bChartModified and tells every view that `item` changed.
  void MarkChanged(void* item = nullptr);
  /// The chart title, with every line end replaced by a space.
  void SetChartTitle(const std::string& title);

  // --- groups ---

  /// Opens group current + 1 named `name` ("Object<id>" when null or empty, cut to 19
  /// characters) and makes it current. Returns its identifier (0 when it could not be made).
  std::uint16_t NewGroup(const char* name = nullptr);
  /// Files an item of `kind` with rectangle `rect` (logical units) under the current group,
  /// opening a group first when there is none. Returns what the group manager returned.
  int AddToCurrentGroup(std::uint16_t kind, const tessmor::RECT& rect);
  /// Recomputes group `id` from its items: their rectangles' union, kinds and count; a group
  /// without items is removed (also from the composite groups). Returns 1.
  int UpdateGroup(std::uint16_t id);
  /// Deletes the items of group `id` from the managers in `mask` (ChartManagerMask; 0 all),
  /// and with bit 8 its composite group. The selection is emptied first.
  void DeleteGroupItems(std::uint16_t id, int mask);
  /// Deletes the current group (the first one when none is current) with its items; returns
  /// the current group afterwards.
  std::uint16_t DeleteCurrentGroup();
  /// Collects the items of group `id` into `selection`: texts, then fills and symbols, then
  /// strokes.
  void CollectGroup(std::uint16_t id, CChartSelection& selection);

  // Members, in their documented order.
  std::string m_strChartPath;
  int m_bChartMode = 0;
  int m_bChartModified = 0;
  std::vector<std::string> m_strings;
  CMapper m_mapper;
  int m_nDrawMode = kDrawScreen;
  std::string m_strTitle = "No Title";
  CLManager m_lineManager;
  CCManager m_charManager;
  CFManager m_fillManager;
  CGroupMan m_groups;
  CComplexGroup m_complexGroups;
  CBitmapStore m_bitmaps;
  CChartSelection m_selection;
  CChartTracker m_tracker;

 private:
  void ClearItems();
  void InvalidateSelection(IChartView* view);
  void SelectComplexGroup(std::uint16_t id, IChartView& view);
};

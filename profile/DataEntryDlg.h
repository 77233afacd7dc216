#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "platform/ui/DialogModel.h"
#include "profile/ProfilePoint.h"

/// The dialog "Data Entry and Editing": the profile nine points at a time, distances typed in
/// kilometres and Bouguer anomalies in mGal; paging, the number of readings, respacing of
/// equally spaced data, and cut, copy, paste and undo of single points through the clipboard.
/// It edits its own copy of the points; the document takes them back only after OK.
///
/// A form calls OnChange(id) when the user edits a control's text (not when the model fills
/// it), OnSetFocus(id) and OnKillFocus(id) when a control gets or loses the keyboard focus, and
/// the button handlers. When the model itself moves the focus it also notes the row, as the
/// focus notification of the desktop would.
///
/// Decisions of this dialog:
/// - Raising the number of readings starts by saving the page, which always keeps the first
///   row's point (an empty one at 0 m when nothing was typed), so the new points continue from
///   it. Should the list still be empty, the new points start at 0 m and follow at the current
///   spacing, with anomaly 0.
/// - Of a clipboard text only the first 127 characters (up to any zero byte) are examined; a
///   point whose text would not fit in 127 characters is not copied (error beep).
/// - Distances are whole metres in 32 bits: a distance in km × 1000 beyond that range is held
///   at the nearest value that fits. A km × 1000 product within rounding noise of a whole
///   metre counts as that metre before it is rounded up or truncated, so that a distance shown
///   and read back keeps its value and a spacing of 0.7 km steps by 700 m, not 699 m.
/// - A control that is not a number stops the operation that saves the page (after its
///   message), so nothing typed is lost.
/// - Cut and Copy of a row that holds no point, Undo of a paste whose point no longer exists
///   beep and change nothing; Undo of a cut puts the point back at the end when the list has
///   become shorter than its old number.
/// - Raising the number of readings above 1000 shows the range message and appends nothing.
/// - The clipboard is read quietly when the dialog is created; a busy clipboard then simply
///   offers nothing to paste.
/// - Copy, like Cut, empties the clipboard before it places the point's text.
/// - A page change shows the new rows whether or not the data are equally spaced.
class CDataEntryDlg : public tessmor::DialogModel {
 public:
  enum {
    IDD = 301,
    IDC_TRAVERSE_NAME = 314,
    IDC_DISTANCE1 = 315,  ///< the nine distance edits are 315 … 323
    IDC_PAGE_TEXT = 333,
    IDC_CUT = 337,
    IDC_COPY = 338,
    IDC_PASTE = 339,
    IDC_UNDO = 340,
    IDC_NEXT_PAGE = 343,
    IDC_PREV_PAGE = 344,
    IDC_HELP = 362,
    IDC_SPACING = 364,
    IDC_READINGS = 365,
  };
  static constexpr int kRows = 9;
  static constexpr int kAnomalyIds[kRows] = {324, 325, 326, 327, 384, 385, 330, 331, 332};
  static constexpr int kRowNumberIds[kRows] = {345, 346, 347, 348, 349, 310, 311, 312, 313};
  /// The controls of row `row` (1 to 9).
  static int DistanceId(int row) { return IDC_DISTANCE1 + row - 1; }
  static int AnomalyId(int row) { return kAnomalyIds[row - 1]; }
  static int RowNumberId(int row) { return kRowNumberIds[row - 1]; }

  /// Looks at the clipboard: a point on it can be pasted at once.
  CDataEntryDlg();

  /// Takes copies of `points`, the name, the equally-spaced flag and the spacing in km (one
  /// below 0.01 km becomes 1.0 km); then drops empty points but the first.
  void SetData(const PointArray& points, const std::string& name, int equally_spaced,
               float spacing_km);
  /// Gives the name. With no working points returns 0 and leaves `points` and `spacing_km`
  /// alone; otherwise replaces `points` by copies of the working points, gives the spacing
  /// and returns 1.
  int GetData(PointArray& points, std::string& name, float& spacing_km) const;

  /// Start: page 1 without respacing, the members shown, the distances locked.
  void OnInitDialog() override;
  /// Saves the page, then reads the controls with their range checks (spacing 0.01 to 500
  /// km, readings 5 to 1000), then asks the confirmation set by SetConfirm about the working
  /// points. False keeps the dialog open with everything typed.
  bool OnOK() override;
  /// The last word of OK on the working points (metres, mGal): false refuses the entry and
  /// the dialog stays open. None by default.
  void SetConfirm(std::function<bool(const PointArray&)> confirm) { confirm_ = std::move(confirm); }

  void OnNextPage();
  void OnPrevPage();
  void OnCut();
  void OnCopy();
  void OnPaste();
  void OnUndo();
  /// The Help button; the desktop opens the dialog's help topic.
  virtual void OnHelp() {}

  /// The user changed the text of control `id`.
  void OnChange(int id);
  /// Control `id` got the keyboard focus.
  void OnSetFocus(int id);
  /// Control `id` lost the keyboard focus; runs a pending spacing, first-distance or
  /// readings change.
  void OnKillFocus(int id);

  /// A read-only control shows its text but takes no typing.
  bool IsReadOnly(int id) const { return read_only_.count(id) != 0; }

  /// The clipboard text of a point: "DATAENTRY: ", the distance in metres, and the anomaly
  /// with 5 decimals, a blank between them unless the anomaly text begins with one or with
  /// a minus sign.
  static std::string ClipText(const ProfilePoint& p);
  /// Reads a clipboard text back: at most its first 127 characters, which must begin with
  /// "DATAENTRY:" and hold a tag, a distance in metres and an anomaly (single precision).
  /// False when they do not.
  static bool ParseClipText(const std::string& text, ProfilePoint& p);
  /// A spacing in km as whole metres, truncated (0.7 km gives 700 m).
  static std::int32_t SpacingMetres(float km);

  // Members, in their documented order.
  PointArray m_points;
  int m_nPage = -1;
  int m_nPages = -1;
  int m_nCurRow = 0;
  std::string m_hClip;  ///< the text last placed on or read from the clipboard
  int m_nUndoIndex = 0;
  int m_nLastOp = 0;
  int m_bEquallySpaced = 1;
  int m_bSpacingChanged = 0;
  int m_bReadingsChanged = 0;
  int m_bFirstDistanceChanged = 0;
  float m_fAnomaly[kRows] = {};
  double m_dDistance[kRows] = {};
  int m_nRowNumber[kRows] = {};
  std::string m_strTraverseName;
  std::string m_strPageText;
  float m_fSpacing = 1.0f;
  int m_nReadings = 5;
  /// Where the dialog's flashes go: the desktop form that shows it flashes its window.
  std::function<void(int times)> m_onFlash;

 protected:
  bool DoDataExchange(bool save) override;
  /// Flashes the dialog window `times` times (Copy flashes twice) through m_onFlash.
  virtual void FlashWindow(int times) {
    if (m_onFlash) m_onFlash(times);
  }

 private:
  int CurrentPage() const { return m_nPage < 1 ? 1 : m_nPage; }
  int PointCount() const { return static_cast<int>(m_points.size()); }
  /// 1-based number of the point in row `row` of the current page.
  int PointNumber(int row) const { return 9 * (CurrentPage() - 1) + row; }
  void ComputePages();
  void RemoveEmptyPoints();
  void ShowPage(int page, bool respace);
  bool SavePage();
  void Refresh();
  void LockDistances();
  void SetReadOnly(int id, bool read_only);
  /// Moves the focus to `id` and notes its row.
  void FocusControl(int id);
  /// Saves the page and respaces it; false (the change still pending) when the page could
  /// not be saved.
  bool ApplySpacingChange();
  void ApplyReadingsChange();
  bool PutOnClipboard(const ProfilePoint& p);
  /// 1: a point was read; 0: the clipboard holds none; -1: it could not be opened.
  int ReadClipboard(ProfilePoint& p, bool report);
  void InsertPoint(int number, const ProfilePoint& p);

  std::set<int> read_only_;
  bool check_ranges_ = false;
  std::function<bool(const PointArray&)> confirm_;
};

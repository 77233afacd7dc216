#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/BlockModel.h"
#include "chart/view/VexaView.h"
#include "plotsupport/Axis.h"
#include "profile/ProfilePoint.h"

class CTessmorDoc;

/// The view of a profile document: it keeps the settings of the analysis displays, handles
/// their commands, and on every update rebuilds the document's chart from the profile (the
/// profile panel, the derived curves and the model's depth panel), recomputing the displayed
/// results and writing their result tables beside the profile.
///
/// Chart coordinates are paper millimetres; inside the profile panel the world origin is the
/// panel's lower-left corner, x = (distance km − distance axis origin) / its scale and
/// y = (anomaly mGal − anomaly axis origin) / its scale.
class CTessmorView : public CVexaView {
 public:
  enum Command {
    ID_PAPER_SIZE = 32788,
    ID_FONT = 32789,
    ID_EXPORT = 32794,
    ID_REDUCE_33 = 32778,
    ID_REDUCE_25 = 32779,
    ID_REDUCE_50 = 32780,
    ID_REDUCE_75 = 32781,
    ID_MAGNIFY_20 = 32782,
    ID_MAGNIFY_30 = 32783,
    ID_MAGNIFY_50 = 32784,
    ID_MAGNIFY_100 = 32785,
    ID_NORMAL_VIEW = 32786,
    ID_EDIT_COPY = 57634,
    ID_EDIT_UNDO = 57643,
    ID_EXPAND = 59394,
    ID_SHRINK = 59395,
    ID_UPWARD_CONTINUE = 32773,
    ID_SECOND_DERIV = 32775,
    ID_2D_MODEL = 32777,
    ID_EQUALLY_SPACED = 32790,
    ID_INTERPOLATE = 32791,
    ID_BACKGROUND = 32792,
    ID_EXPORT_EQUALLY_SPACED = 32800,
    ID_DISPLAY_INTERPOLATED = 32808,
    ID_ONLY_ANOMALY = 32809,
    ID_DEFAULT_PEN = 32810,
    ID_DEFAULT_MARKER = 32811,
  };
  enum Hint { kHintRebuild = 200, kHintAddCurves = 201, kHintModel = 203 };
  enum ResultKind { kResultDerivative = 100, kResultBlockModel = 101, kResultUpward = 201 };
  /// Layouts of DrawProfile: the profile with its continuation and derivative, or the
  /// profile above the model's depth panel.
  enum Layout { kLayoutProfile = 100, kLayoutModel = 101 };

  /// Settings of the magnification and of the default font.
  static constexpr const char* kViewSection = "View Options";
  static constexpr const char* kMagnificationEntry = "Magnification";
  static constexpr const char* kFontSection = "Graphics Properties";
  static constexpr const char* kFontEntry = "Font";
  /// Number of the pattern bitmap that fills the prisms.
  static constexpr const char* kPrismBitmap = "181";

  CTessmorView();
  /// Stores the magnification in the settings.
  ~CTessmorView() override;

  CTessmorDoc* GetDocument() const;

  /// Whether a command can run now (the menu's enabling), and whether it shows a check mark.
  bool IsCommandEnabled(int id) const;
  bool IsCommandChecked(int id) const;
  /// Runs a command when it is enabled. False when it is disabled or unknown.
  bool OnCommand(int id);

  void OnUpwardContinue();
  void OnSecondDeriv();
  void On2DModel();
  void OnBackground();
  void OnInterpolate();
  void OnOnlyAnomaly();
  void OnEquallySpaced();
  void OnExportEquallySpaced();
  void OnDisplayInterpolated();
  /// The font dialog on the stored default font; on OK the font is stored, given to the axis
  /// texts and the chart is rebuilt. True after OK.
  bool OnFont();
  /// The paper dialog through the chooser set by SetPaperChooser (nothing without one); on OK
  /// the chart is rebuilt on the new paper. True when a paper was chosen.
  bool OnPaperSize();
  /// The export of the chart, starting at the document's path.
  bool OnExport();
  /// The default pen editor of the chart's line manager, and the default marker editor of
  /// its fill manager, each read from and written to the settings ("default CLManager",
  /// "defPen "; "Default FillManager", "defSymbol "). True on OK.
  bool OnDefaultPen();
  bool OnDefaultMarker();
  /// Takes back the user's last restyle or move of chart items; when there is none, deletes
  /// the most recently drawn group of chart items.
  void OnEditUndo();

  /// Sets the magnification `percent` (see m_nMagnification): the chart's zoom follows
  /// (below 1 normal size, 1101 and above refused by the chart) and the status pane shows it.
  void SetMagnification(int percent);
  /// The status pane text of the zoom p in force (0 for normal size): −p when p < 101,
  /// else p − 100, then "%".
  std::string GetMagnificationText() const;
  /// Gaining the focus: the status pane shows the magnification.
  void OnSetFocus();
  /// Where the status pane text goes (the desktop's status bar); none by default.
  void SetStatusPane(std::function<void(const std::string&)> pane) {
    m_statusPane = std::move(pane);
  }
  /// The desktop's paper chooser handed to the paper dialog (see CVexaView::PaperDialog).
  void SetPaperChooser(std::function<std::optional<int>(int current)> choose) {
    m_choosePaper = std::move(choose);
  }

  /// Reads the stored magnification and the default font, sets the axes up, builds the
  /// profile panel and applies the magnification.
  void OnInitialUpdate() override;
  void OnUpdate(tessmor::View* sender, long hint, void* object) override;
  /// Screen drawing (the document's draw mode 100).
  void OnDraw(tessmor::DC& dc) override;

  /// Clears the chart and draws the profile panel: the axes, the background (layout 100), the
  /// anomaly with its symbols, the traverse name and the legend; `layout` kLayoutModel draws
  /// the background-removed series in a panel of half the height, leaving the lower part of
  /// the page to the depth panel. Draws nothing for 5 or fewer measured points, nor in layout
  /// 100 while the interpolation has failed.
  void DrawProfile(int layout);
  /// The anomaly range (mGal) of the panel of `layout`, as the anomaly axis is scaled for it.
  void GetAnomalyRange(int layout, float& low, float& high) const;
  /// Gives `style` (its font and colour; the sizes stay) to the labels and titles of both axes.
  void SetAxisFont(const TEXTSTYLE& style);

  /// The view that rebuilds the document's chart on an update: the view whose command is
  /// running, else the document's first profile view. The chart belongs to the document, so
  /// every other view of it only shows the chart again.
  CTessmorView* DrawingView() const;
  /// Takes the analysis and display settings and the panel's axes of `other` (a view of the
  /// same document); the magnification and the computed series stay.
  void CopyDisplaySettings(const CTessmorView& other);

  /// The display runs: each recomputes its result from the document, writes its table and
  /// draws its curves into the profile panel of the last DrawProfile.
  void RunContinuationDisplay();
  void RunDerivativeDisplay();
  void RunModelDisplay();

  /// Writes the result table of `kind` beside the document's file: derivative `values` from
  /// index `first`, or the block model `blocks`, or the continued series. 1 when written.
  int WriteResults(int kind, int first, const std::vector<float>* values,
                   const BlockResultArray* blocks);
  /// The path of the result table of `kind` for the document's file ("_Derivative.txt" and so
  /// on in the current folder when the document has no path).
  std::string ResultPath(int kind) const;

  // Analysis settings and state, with their defaults.
  PointArray m_upward;
  float m_fContHeight = 2.0f;
  float m_fDensity = -150.0f;
  float m_fBoundaryDepth = 8.0f;
  int m_nModelType = -1;
  int m_bShowDeriv = 0;
  int m_bShowUpward = 0;
  int m_bShowModel = 0;
  int m_nDerivSource = 100;
  int m_bShowInterpolated = 0;
  /// Continue with the ends controlled (ComputeEdgeControlledContinuation) instead of the
  /// documented way.
  int m_bControlEdges = 0;
  /// Zoom percentage of the chart (25 a quarter, 200 twice the size); below 1 normal size.
  int m_nMagnification = 0;
  /// How the sweeps of the last model display went (empty before one).
  BlockDiagnostics m_modelDiagnostics;
  /// The distance axis and the anomaly axis of the profile panel.
  AXIS m_distanceAxis;
  AXIS m_anomalyAxis;
  /// The last text of the magnification pane.
  std::string m_strPaneText;

 private:
  /// Where the profile panel of the last DrawProfile lies on the paper (mm).
  struct Panel {
    bool drawn = false;
    int layout = kLayoutProfile;
    float paperWidth = 0.0f;
    float paperHeight = 0.0f;
    float left = 0.0f;  // the panel's lower-left corner on the paper
    float bottom = 0.0f;
    float width = 0.0f;   // the distance axis length
    float height = 0.0f;  // the anomaly axis length
  };
  void InitAxes();
  /// The continuation form on the height and edge control; false when it is cancelled (the
  /// settings then stay as they were).
  bool AskContinuationHeight();
  /// Puts the world origin at the panel's lower-left corner (scales 1, no rotation).
  void EnterPanel();
  /// Panel x of a distance (metres) and panel y of an anomaly (mGal).
  float PanelX(double distance) const;
  float PanelY(double anomaly) const;
  /// A curve of the anomaly axis (continuation, calculated model anomaly) in green, with its
  /// legend entry `title` `gap` mm right of its symbol.
  void DrawGreenCurve(const std::vector<float>& xs, const std::vector<float>& ys, const char* title,
                      float gap);
  /// A curve on a second axis at the right edge of the panel, titled `axisTitle`, in red, with
  /// a zero line of width `zeroWidth`, symbols of `symbol` and a legend entry.
  void DrawRedCurve(const std::vector<float>& xs, const std::vector<float>& values,
                    const char* axisTitle, float zeroWidth, int symbol, const char* title,
                    float gap);
  /// The depth panel of the model below the profile panel.
  void DrawDepthPanel(const BlockResultArray& results);
  /// Legend text at the pen: `text`, character size 5 mm, left-justified on the baseline.
  void WriteLegend(const char* text);

  Panel m_panel;
  std::function<void(const std::string&)> m_statusPane;
  std::function<std::optional<int>(int current)> m_choosePaper;
};

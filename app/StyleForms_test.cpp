// The style editors as a user reaches them: a double click on an item of the example's chart
// opens the form of its kind, and what is chosen there is in the chart file written after.

#include "app/StyleForms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/DesktopTestFixture.h"
#include "app/DesktopView.h"
#include "app/DialogForm.h"
#include "app/MainFrame.h"
#include "app/TessmorApp.h"
#include "app/VexaFrame.h"
#include "chart/items/VexaLine.h"
#include "chart/items/VexaPolyFill.h"
#include "chart/items/VexaString.h"
#include "chart/items/VexaSymbol.h"
#include "chart/styles/FillEditDlg.h"
#include "chart/styles/MarkerEditDlg.h"
#include "chart/styles/PenEditDlg.h"
#include "chart/styles/TextStyleDlg.h"
#include "platform/io/Settings.h"
#include "profile/TessmorDoc.h"
#include "profileview/InversionDlg.h"
#include "testsupport/FakeFileDialogs.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace {

struct Desktop : desktop_testing::Desktop {
  // The example imported, in a window large enough to click on its items.
  CDesktopView* ImportExample() {
    desktop_testing::Desktop::ImportExample();
    CVexaFrame* frame = app.mainFrame().ActiveFrame();
    if (!frame) return nullptr;
    app.mainFrame().show();
    frame->parentWidget()->resize(900, 700);
    QApplication::processEvents();
    return app.mainFrame().ActiveView();
  }
  QWidget* Viewport() { return app.mainFrame().ActiveFrame()->viewport(); }

  // The chart as a chart file, read back into a document of its own.
  std::unique_ptr<CVexaDoc> SavedChart(CVexaDoc& doc) {
    const std::string path = folder + "/chart.vxd";
    doc.m_bChartMode = 1;
    const bool saved = doc.OnSaveDocument(path);
    doc.m_bChartMode = 0;
    auto back = std::make_unique<CVexaDoc>();
    if (!saved || !back->OnOpenDocument(path)) return nullptr;
    return back;
  }
};

// Runs `type` on the next style form once it is shown modally.
void WhenStyleFormShows(std::function<void(CStyleForm&)> type) {
  desktop_testing::WhenModalShows<CStyleForm>(std::move(type));
}

// A client point where a click selects an item of `kind`, looked for at the items' own
// points (vertices, anchors, centres); (-1, -1) when there is none.
QPoint PointSelecting(CDesktopView& view, std::uint16_t kind, bool largestFirst = false) {
  CVexaDoc& doc = *view.GetDocument();
  std::vector<tessmor::RECT> candidates;
  auto add = [&](const tessmor::RECT& logical) { candidates.push_back(logical); };
  for (CLineStyle* s : doc.m_lineManager.AllStyles())
    for (int i = 0; kind == kItemLine && i < s->GetLineCount(); ++i)
      for (const tessmor::POINT& p : s->GetLine(i)->DevicePoints()) add({p.x, p.y, p.x, p.y});
  for (CLineStyle* base : doc.m_fillManager.AllStyles()) {
    auto* s = static_cast<CFillStyle*>(base);
    for (int i = 0; kind == kItemSymbol && i < s->GetSymbolCount(); ++i)
      add(s->GetSymbol(i)->GetBounds());
    for (int i = 0; kind == kItemPolyFill && i < s->GetLineCount(); ++i)
      add(s->GetLine(i)->GetBounds());
  }
  for (CCharStyle* s : doc.m_charManager.AllStyles())
    for (int i = 0; kind == kItemText && i < s->GetStringCount(); ++i)
      add(s->GetString(i)->GetBounds());
  auto area = [](const tessmor::RECT& r) {
    return std::abs(static_cast<double>(r.right - r.left) * (r.bottom - r.top));
  };
  if (largestFirst)
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const auto& a, const auto& b) { return area(a) > area(b); });
  const tessmor::SIZE client = view.GetClientSize();
  for (const tessmor::RECT& logical : candidates) {
    tessmor::RECT r = view.LogicalToClient(logical);
    QPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    if (p.x() < 0 || p.y() < 0 || p.x() >= client.cx || p.y() >= client.cy) {
      // Scrolled into the middle of the window first.
      const tessmor::POINT scroll = view.GetScrollPosition();
      view.ScrollToPosition({scroll.x + p.x() - client.cx / 2, scroll.y + p.y() - client.cy / 2});
      r = view.LogicalToClient(logical);
      p = QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
      if (p.x() < 0 || p.y() < 0 || p.x() >= client.cx || p.y() >= client.cy) continue;
    }
    view.OnLButtonDown(1, {p.x(), p.y()});
    if (doc.m_selection.GetCount() == 1 && doc.m_selection.GetEntry(0).kind == kind) return p;
  }
  return {-1, -1};
}

TEST(StyleForms, DoubleClickedCurveTakesTheNewPenAndUndoTakesItBack) {
  Desktop d;
  CDesktopView* view = d.ImportExample();
  ASSERT_NE(view, nullptr);
  CVexaDoc& doc = *view->GetDocument();
  const QPoint at = PointSelecting(*view, kItemLine);
  ASSERT_GE(at.x(), 0);
  const std::size_t styles = doc.m_lineManager.AllStyles().size();

  WhenStyleFormShows([](CStyleForm& form) {
    form.combo(CPenEditDlg::IDC_STYLE)->setCurrentIndex(2);  // dot
    form.edit(CPenEditDlg::IDC_WIDTH)->setText("2");
    form.SetColour(CPenEditDlg::IDC_COLOUR, 0x00FF00);
    form.check(CPenEditDlg::IDC_ROUNDENDS)->setChecked(true);
    form.okButton()->click();
  });
  QTest::mouseDClick(d.Viewport(), Qt::LeftButton, {}, at);
  ASSERT_EQ(doc.m_selection.GetCount(), 1);
  auto* curve = static_cast<CVEXALine*>(doc.m_selection.GetEntry(0).item);
  const VEXAPEN pen = curve->GetLineStyle()->GetPen();
  EXPECT_EQ(pen.colour, 0x00FF00u);
  EXPECT_EQ(pen.style, 2);
  EXPECT_NEAR(pen.width, 2.0 * 25.4 / 72.0, 1e-4);  // 2 pt
  EXPECT_EQ(pen.roundEnds, 1);
  EXPECT_EQ(curve->GetLineStyle()->GetLineCount(), 1);

  std::unique_ptr<CVexaDoc> saved = d.SavedChart(doc);
  ASSERT_NE(saved, nullptr);
  int green = 0;
  for (CLineStyle* s : saved->m_lineManager.AllStyles())
    if (s->GetPen().colour == 0x00FF00u && s->GetPen().style == 2) green += s->GetLineCount();
  EXPECT_EQ(green, 1);

  // Undo takes the restyle back; the curve stays on the chart.
  d.app.mainFrame().action(CTessmorView::ID_EDIT_UNDO)->trigger();
  EXPECT_NE(curve->GetLineStyle()->GetPen().colour, 0x00FF00u);
  EXPECT_EQ(doc.m_lineManager.AllStyles().size(), styles);
  EXPECT_FALSE(view->CanUndoEdit());
}

TEST(StyleForms, DoubleClickedTextAndSymbolTakeTheirNewStyles) {
  Desktop d;
  CDesktopView* view = d.ImportExample();
  ASSERT_NE(view, nullptr);
  CVexaDoc& doc = *view->GetDocument();

  const QPoint text = PointSelecting(*view, kItemText);
  ASSERT_GE(text.x(), 0);
  WhenStyleFormShows([](CStyleForm& form) {
    form.SetColour(CTextStyleDlg::IDC_COLOUR, 0x0000FF);
    form.combo(CTextStyleDlg::IDC_JUSTIFY)->setCurrentIndex(5);  // centre, baseline
    form.okButton()->click();
  });
  QTest::mouseDClick(d.Viewport(), Qt::LeftButton, {}, text);

  const QPoint symbol = PointSelecting(*view, kItemSymbol);
  ASSERT_GE(symbol.x(), 0);
  WhenStyleFormShows([](CStyleForm& form) {
    form.combo(CMarkerEditDlg::IDC_SYMBOL)->setCurrentIndex(6);  // diamond
    form.SetColour(CMarkerEditDlg::IDC_BRUSH_COLOUR, 0x00FFFF);
    form.okButton()->click();
  });
  QTest::mouseDClick(d.Viewport(), Qt::LeftButton, {}, symbol);

  // Cancel changes nothing.
  const int fillStyles = doc.m_fillManager.GetSize();
  WhenStyleFormShows([](CStyleForm& form) {
    form.SetColour(CMarkerEditDlg::IDC_BRUSH_COLOUR, 0xFF00FF);
    form.cancelButton()->click();
  });
  QTest::mouseDClick(d.Viewport(), Qt::LeftButton, {}, symbol);
  EXPECT_EQ(doc.m_fillManager.GetSize(), fillStyles);

  std::unique_ptr<CVexaDoc> saved = d.SavedChart(doc);
  ASSERT_NE(saved, nullptr);
  int red = 0;
  for (CCharStyle* s : saved->m_charManager.AllStyles())
    if (s->GetTextStyle().colour == 0x0000FFu && s->GetTextStyle().justification == 30)
      red += s->GetStringCount();
  EXPECT_EQ(red, 1);
  int yellow = 0, diamonds = 0, magenta = 0;
  for (CLineStyle* base : saved->m_fillManager.AllStyles()) {
    auto* s = static_cast<CFillStyle*>(base);
    if (s->GetBrush().colour == 0xFF00FFu) magenta += s->GetSymbolCount();
    if (s->GetBrush().colour != 0x00FFFFu) continue;
    yellow += s->GetSymbolCount();
    for (int i = 0; i < s->GetSymbolCount(); ++i)
      diamonds += s->GetSymbol(i)->GetSymbol().symbol == 6;
  }
  EXPECT_EQ(yellow, 1);
  EXPECT_EQ(diamonds, 1);
  EXPECT_EQ(magenta, 0);
}

TEST(StyleForms, DoubleClickedPrismTakesAHatchedFill) {
  Desktop d;
  CDesktopView* view = d.ImportExample();
  ASSERT_NE(view, nullptr);
  QTimer::singleShot(0, [] {
    auto* form = qobject_cast<CDialogForm*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    form->okButton()->click();
  });
  d.app.mainFrame().action(CTessmorView::ID_2D_MODEL)->trigger();
  ASSERT_EQ(view->m_bShowModel, 1);
  CVexaDoc& doc = *view->GetDocument();
  const QPoint prism = PointSelecting(*view, kItemPolyFill);
  ASSERT_GE(prism.x(), 0);

  WhenStyleFormShows([](CStyleForm& form) {
    form.combo(CFillEditDlg::IDC_KIND)->setCurrentIndex(1);   // hatched
    form.combo(CFillEditDlg::IDC_HATCH)->setCurrentIndex(4);  // cross
    form.SetColour(CFillEditDlg::IDC_COLOUR, 0x808000);
    form.okButton()->click();
  });
  QTest::mouseDClick(d.Viewport(), Qt::LeftButton, {}, prism);

  std::unique_ptr<CVexaDoc> saved = d.SavedChart(doc);
  ASSERT_NE(saved, nullptr);
  int hatched = 0;
  for (CLineStyle* base : saved->m_fillManager.AllStyles()) {
    auto* s = static_cast<CFillStyle*>(base);
    const VEXABRUSH& b = s->GetBrush();
    if (b.kind == kBrushHatched && b.hatch == 4 && b.colour == 0x808000u)
      hatched += s->GetLineCount();
  }
  EXPECT_EQ(hatched, 1);
}

}  // namespace

namespace {

TEST(StyleForms, OptionsMenuEditsTheDefaultPenAndMarkerInTheSettings) {
  Desktop d;
  ASSERT_NE(d.ImportExample(), nullptr);
  WhenStyleFormShows([](CStyleForm& form) {
    EXPECT_EQ(form.windowTitle().toStdString(), "Pen");
    form.edit(CPenEditDlg::IDC_WIDTH)->setText("1");
    form.SetColour(CPenEditDlg::IDC_COLOUR, 0x123456);
    form.okButton()->click();
  });
  d.app.mainFrame().action(CTessmorView::ID_DEFAULT_PEN)->trigger();
  const std::string pen =
      d.settings.settings.GetString("default CLManager", "defPen {PenStyle}", "");
  EXPECT_EQ(pen.substr(0, pen.find(',')), "0");
  EXPECT_NE(pen.find(",1193046,"), std::string::npos) << pen;  // 0x123456

  WhenStyleFormShows([](CStyleForm& form) {
    EXPECT_EQ(form.windowTitle().toStdString(), "Symbol");
    form.combo(CMarkerEditDlg::IDC_SYMBOL)->setCurrentIndex(9);
    form.edit(CMarkerEditDlg::IDC_SIZE)->setText("120");
    form.okButton()->click();
  });
  d.app.mainFrame().action(CTessmorView::ID_DEFAULT_MARKER)->trigger();
  EXPECT_EQ(
      d.settings.settings.GetString("Default FillManager", "defSymbol {Marker: SymbolStyle}", ""),
      "9, 120, 0");
}

}  // namespace

namespace {

TEST(StyleForms, TrackerMovesTextOnReleaseAndEscapeCancelsTheDrag) {
  Desktop d;
  CDesktopView* view = d.ImportExample();
  ASSERT_NE(view, nullptr);
  CVexaDoc& doc = *view->GetDocument();
  // The largest text, the title: its middle is clear of the tracker's handles.
  const QPoint at = PointSelecting(*view, kItemText, true);
  ASSERT_GE(at.x(), 0);
  auto* text = static_cast<CVEXAString*>(doc.m_selection.GetEntry(0).item);
  const PaperPoint anchor = text->GetAnchor();
  QWidget* viewport = d.Viewport();
  auto move = [&](QPoint p, Qt::MouseButtons buttons) {
    QMouseEvent event(QEvent::MouseMove, p, viewport->mapToGlobal(p), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  };

  QTest::mousePress(viewport, Qt::LeftButton, {}, at);
  move(at + QPoint(30, 20), Qt::LeftButton);
  EXPECT_EQ(text->GetAnchor(), anchor);  // only the rectangle follows the mouse
  QTest::keyClick(d.app.mainFrame().ActiveFrame(), Qt::Key_Escape);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, at + QPoint(30, 20));
  EXPECT_EQ(text->GetAnchor(), anchor);

  // Far enough apart not to make a double click.
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  QTest::mousePress(viewport, Qt::LeftButton, {}, at);
  move(at + QPoint(30, 20), Qt::LeftButton);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, at + QPoint(30, 20));
  // 30 pixels at 96 dpi are 7.94 mm.
  EXPECT_NEAR(text->GetAnchor().x - anchor.x, 7.94f, 0.05f);
  EXPECT_EQ(viewport->cursor().shape(), Qt::SizeAllCursor);
}

}  // namespace

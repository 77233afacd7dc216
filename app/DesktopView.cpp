#include "app/DesktopView.h"

#include <QApplication>
#include <QCursor>

void CDesktopView::InvalidateClient(const tessmor::RECT& r) {
  // A window repaints what it is told; the headless list would only grow.
  if (m_invalidateHook)
    m_invalidateHook(r);
  else
    CVexaView::InvalidateClient(r);
}

void CDesktopView::OnUpdate(tessmor::View* sender, long hint, void* object) {
  const bool display_run = hint == kHintRebuild || hint == kHintAddCurves || hint == kHintModel;
  if (!display_run || DrawingView() != this) {
    CTessmorView::OnUpdate(sender, hint, object);
    return;
  }
  // The analyses run inside the rebuild: the wait cursor shows until the chart is drawn.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ++m_nDisplayRuns;
  struct Restore {
    ~Restore() { QApplication::restoreOverrideCursor(); }
  } restore;
  CTessmorView::OnUpdate(sender, hint, object);
}

#include "app/DesktopView.h"

void CDesktopView::InvalidateClient(const tessmor::RECT& r) {
  // A window repaints what it is told; the headless list would only grow.
  if (m_invalidateHook)
    m_invalidateHook(r);
  else
    CVexaView::InvalidateClient(r);
}

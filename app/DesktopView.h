#pragma once

#include <functional>

#include "profileview/TessmorView.h"

/// The profile view as the desktop hosts it: every rectangle the chart invalidates is handed
/// to the window that shows the view, which paints it again.
class CDesktopView : public CTessmorView {
 public:
  /// Where invalidated client rectangles go (device pixels of the client area).
  void SetInvalidateHook(std::function<void(const tessmor::RECT&)> hook) {
    m_invalidateHook = std::move(hook);
  }
  void InvalidateClient(const tessmor::RECT& r) override;
  /// A rebuild of the chart (the display runs) shows the wait cursor while it runs.
  void OnUpdate(tessmor::View* sender, long hint, void* object) override;
  /// The display runs this view has carried out under the wait cursor.
  int displayRuns() const { return m_nDisplayRuns; }

 private:
  std::function<void(const tessmor::RECT&)> m_invalidateHook;
  int m_nDisplayRuns = 0;
};

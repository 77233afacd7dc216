#pragma once

#include <QAbstractScrollArea>
#include <QPoint>

class CDesktopView;

/// The window of one profile view inside the main window's MDI area: it paints the view's
/// chart, scrolls it, passes mouse clicks to it and keeps the view's client size up to date.
/// The view belongs to the application; the frame only shows it and lets go of it with
/// Detach() before the view is destroyed.
class CVexaFrame : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit CVexaFrame(CDesktopView* view, QWidget* parent = nullptr);
  ~CVexaFrame() override;

  CDesktopView* view() const { return view_; }
  /// Forgets the view (it is about to be destroyed); the frame then paints blank.
  void Detach();
  /// Sets the scroll bars from the view's total size and client size.
  void UpdateScrollBars();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  /// The wheel scrolls the chart up and down, with Shift across, and with Ctrl zooms it
  /// by one Expand or Shrink per notch.
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  CDesktopView* view_;
  bool syncing_ = false;
  bool pressed_on_selection_ = false;
  QPoint press_point_;
  // Wheel turn with Ctrl not yet spent on a zoom step (eighths of a degree).
  int zoom_turn_ = 0;
};

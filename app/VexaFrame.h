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
  /// A press on the selection starts a drag: from a handle the selection's rectangle is
  /// resized, elsewhere it is moved; the rectangle follows the mouse and nothing else moves
  /// until the release hands it to the view. Without a button held, the cursor shows what a
  /// press would do: a resize cursor over the handles, the move cursor over the selection.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  /// A double click edits the style of the selected item.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  /// Escape cancels a drag.
  void keyPressEvent(QKeyEvent* event) override;
  /// The wheel scrolls the chart up and down, with Shift across, and with Ctrl zooms it
  /// by one Expand or Shrink per notch.
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  CDesktopView* view_;
  bool syncing_ = false;
  // The selection's rectangle (client pixels), or an empty one.
  QRect SelectionRect() const;
  // The handle of `r` under `p`: 0-7 clockwise from the top-left corner, -1 for none (a
  // rectangle under four handles across has none, so that a small item can be grabbed).
  static int HandleAt(const QRect& r, const QPoint& p);
  // The rectangle of a drag from `start` with the mouse at `p`.
  QRect DraggedRect(const QPoint& p) const;
  void UpdateCursor(const QPoint& p);

  bool pressed_on_selection_ = false;
  QPoint press_point_;
  // A drag of the selection's rectangle in progress: its rectangle at the press, the handle
  // dragged (-1 when the whole rectangle moves), and where it is now.
  bool dragging_ = false;
  QRect drag_start_;
  int drag_handle_ = -1;
  QRect drag_rect_;
  // Wheel turn with Ctrl not yet spent on a zoom step (eighths of a degree).
  int zoom_turn_ = 0;
};

#include "app/VexaFrame.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtGlobal>
#include <algorithm>
#include <exception>

#include "app/DesktopView.h"
#include "app/Guard.h"
#include "chart/document/VexaDoc.h"
#include "platform/gdi/QtDC.h"
#include "profile/TessmorDoc.h"

namespace {
// The view lays its texts out at this resolution; the window draws at the same one so that
// the texts keep their measured widths.
constexpr int kPixelsPerInch = 96;
// Mouse flags of the chart view's click.
constexpr unsigned kFlagLeftButton = 0x1;
constexpr unsigned kFlagShift = 0x4;
constexpr unsigned kFlagControl = 0x8;
// A press and release further apart than this (pixels) drag the selection.
constexpr int kDragThreshold = 3;
// Side of the tracker's handles, pixels.
constexpr int kHandleSize = 5;
// A rectangle too small for handles that leave room to grab it in the middle.
bool HasHandles(const QRect& r) {
  return r.width() >= 4 * kHandleSize && r.height() >= 4 * kHandleSize;
}
// One notch of a mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;
}  // namespace

CVexaFrame::CVexaFrame(CDesktopView* view, QWidget* parent)
    : QAbstractScrollArea(parent), view_(view) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setMouseTracking(true);
  if (view_) {
    view_->SetInvalidateHook([this](const tessmor::RECT& r) {
      viewport()->update(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)).normalized());
      // The scroll sizes follow the chart; read them once the current change is done.
      QMetaObject::invokeMethod(this, &CVexaFrame::UpdateScrollBars, Qt::QueuedConnection);
    });
  }
}

CVexaFrame::~CVexaFrame() { Detach(); }

void CVexaFrame::Detach() {
  if (!view_) return;
  view_->SetInvalidateHook({});
  view_ = nullptr;
  viewport()->update();
}

void CVexaFrame::UpdateScrollBars() {
  if (!view_) return;
  tessmor::RunGuarded([&] {
    const QSize client = viewport()->size();
    view_->SetClientSize(client.width(), client.height());
    const tessmor::SIZE total = view_->GetTotalSize();
    const tessmor::POINT pos = view_->GetScrollPosition();
    syncing_ = true;
    horizontalScrollBar()->setRange(0, std::max(0, total.cx - client.width()));
    horizontalScrollBar()->setPageStep(client.width());
    horizontalScrollBar()->setSingleStep(std::max(1, client.width() / 20));
    horizontalScrollBar()->setValue(pos.x);
    verticalScrollBar()->setRange(0, std::max(0, total.cy - client.height()));
    verticalScrollBar()->setPageStep(client.height());
    verticalScrollBar()->setSingleStep(std::max(1, client.height() / 20));
    verticalScrollBar()->setValue(pos.y);
    syncing_ = false;
  });
}

void CVexaFrame::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), Qt::white);
  if (!view_) return;
  try {
    tessmor::QtDC dc(painter, kPixelsPerInch, kPixelsPerInch);
    view_->OnPaint(dc);
  } catch (const std::exception& e) {
    // No message box inside a paint: it would paint again underneath.
    qWarning("chart not drawn: %s", e.what());
  } catch (...) {
    qWarning("chart not drawn");
  }
  // The tracker: a solid rectangle with its handles inside, where the drag has it.
  const QRect tracker = dragging_ ? drag_rect_ : SelectionRect();
  if (tracker.isEmpty()) return;
  painter.resetTransform();
  painter.setClipping(false);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  if (dragging_) painter.drawRect(tracker.adjusted(0, 0, -1, -1));
  for (int h = 0; HasHandles(tracker) && h < 8; ++h) {
    const int xs[3] = {tracker.left(), tracker.center().x() - kHandleSize / 2,
                       tracker.right() - kHandleSize + 1};
    const int ys[3] = {tracker.top(), tracker.center().y() - kHandleSize / 2,
                       tracker.bottom() - kHandleSize + 1};
    static constexpr int kColumn[8] = {0, 1, 2, 2, 2, 1, 0, 0};
    static constexpr int kRow[8] = {0, 0, 0, 1, 2, 2, 2, 1};
    painter.fillRect(QRect(xs[kColumn[h]], ys[kRow[h]], kHandleSize, kHandleSize), Qt::black);
  }
}

QRect CVexaFrame::SelectionRect() const {
  if (!view_) return {};
  const CVexaDoc* doc = view_->GetDocument();
  if (!doc || doc->m_selection.IsEmpty()) return {};
  const tessmor::RECT& r = doc->m_selection.m_rect;
  return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)).normalized();
}

int CVexaFrame::HandleAt(const QRect& r, const QPoint& p) {
  if (!HasHandles(r)) return -1;
  const int xs[3] = {r.left(), r.center().x() - kHandleSize / 2, r.right() - kHandleSize + 1};
  const int ys[3] = {r.top(), r.center().y() - kHandleSize / 2, r.bottom() - kHandleSize + 1};
  static constexpr int kColumn[8] = {0, 1, 2, 2, 2, 1, 0, 0};
  static constexpr int kRow[8] = {0, 0, 0, 1, 2, 2, 2, 1};
  for (int h = 0; h < 8; ++h)
    if (QRect(xs[kColumn[h]], ys[kRow[h]], kHandleSize, kHandleSize)
            .adjusted(-1, -1, 1, 1)
            .contains(p))
      return h;
  return -1;
}

QRect CVexaFrame::DraggedRect(const QPoint& p) const {
  const QPoint d = p - press_point_;
  if (drag_handle_ < 0) return drag_start_.translated(d);
  QRect r = drag_start_;
  const int h = drag_handle_;
  if (h == 0 || h == 6 || h == 7) r.setLeft(r.left() + d.x());
  if (h == 2 || h == 3 || h == 4) r.setRight(r.right() + d.x());
  if (h == 0 || h == 1 || h == 2) r.setTop(r.top() + d.y());
  if (h == 4 || h == 5 || h == 6) r.setBottom(r.bottom() + d.y());
  return r.normalized();
}

void CVexaFrame::UpdateCursor(const QPoint& p) {
  const QRect r = SelectionRect();
  static constexpr Qt::CursorShape kShapes[8] = {
      Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
      Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor};
  const int h = HandleAt(r, p);
  if (h >= 0)
    viewport()->setCursor(kShapes[h]);
  else if (r.contains(p))
    viewport()->setCursor(Qt::SizeAllCursor);
  else
    viewport()->unsetCursor();
}

void CVexaFrame::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void CVexaFrame::scrollContentsBy(int, int) {
  if (syncing_ || !view_) return;
  tessmor::RunGuarded([&] {
    view_->ScrollToPosition({horizontalScrollBar()->value(), verticalScrollBar()->value()});
  });
  viewport()->update();
}

void CVexaFrame::mousePressEvent(QMouseEvent* event) {
  pressed_on_selection_ = false;
  if (!view_ || event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  unsigned flags = kFlagLeftButton;
  if (event->modifiers() & Qt::ControlModifier) flags |= kFlagControl;
  if (event->modifiers() & Qt::ShiftModifier) flags |= kFlagShift;
  press_point_ = event->position().toPoint();
  // A press on a handle of the selection resizes it, as it is before the click selects.
  const QRect before = SelectionRect();
  const int handle = HandleAt(before, press_point_);
  tessmor::RunGuarded([&] {
    if (handle < 0) view_->OnLButtonDown(flags, {press_point_.x(), press_point_.y()});
    const CVexaDoc* doc = view_->GetDocument();
    pressed_on_selection_ = doc && !doc->m_selection.IsEmpty();
  });
  dragging_ = pressed_on_selection_;
  drag_handle_ = handle;
  drag_start_ = drag_rect_ = SelectionRect();
  UpdateCursor(press_point_);
  viewport()->update();
}

void CVexaFrame::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (!dragging_) {
    if (view_ && !(event->buttons() & Qt::LeftButton)) UpdateCursor(p);
    QAbstractScrollArea::mouseMoveEvent(event);
    return;
  }
  const QRect next = DraggedRect(p);
  if (next != drag_rect_) {
    viewport()->update(drag_rect_.adjusted(-2, -2, 2, 2));
    drag_rect_ = next;
    viewport()->update(drag_rect_.adjusted(-2, -2, 2, 2));
  }
}

void CVexaFrame::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && dragging_) {
    dragging_ = false;
    pressed_on_selection_ = false;
    viewport()->update();
    event->accept();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void CVexaFrame::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!view_ || event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseDoubleClickEvent(event);
    return;
  }
  dragging_ = false;
  pressed_on_selection_ = false;
  const QPoint p = event->position().toPoint();
  unsigned flags = kFlagLeftButton;
  if (event->modifiers() & Qt::ControlModifier) flags |= kFlagControl;
  if (event->modifiers() & Qt::ShiftModifier) flags |= kFlagShift;
  tessmor::RunGuarded([&] { view_->OnLButtonDblClk(flags, {p.x(), p.y()}); });
  viewport()->update();
}

void CVexaFrame::mouseReleaseEvent(QMouseEvent* event) {
  if (!view_ || event->button() != Qt::LeftButton || !pressed_on_selection_) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  pressed_on_selection_ = false;
  const bool wasDragging = dragging_;
  dragging_ = false;
  viewport()->update();
  const QPoint delta = event->position().toPoint() - press_point_;
  if (!wasDragging || delta.manhattanLength() <= kDragThreshold) return;
  const QRect to = DraggedRect(event->position().toPoint());
  tessmor::RunGuarded([&] {
    CVexaDoc* doc = view_->GetDocument();
    if (!doc || doc->m_selection.IsEmpty()) return;
    const tessmor::RECT r = doc->m_selection.m_rect;
    // The view's rectangles end one pixel beyond the last one the tracker draws.
    const int dx = to.left() - drag_start_.left(), dy = to.top() - drag_start_.top();
    view_->DragSelection(
        {r.left + dx, r.top + dy, r.left + dx + to.width(), r.top + dy + to.height()});
  });
  UpdateCursor(event->position().toPoint());
}

void CVexaFrame::wheelEvent(QWheelEvent* event) {
  if (!view_) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  const QPoint angle = event->angleDelta();
  // A wheel turned away from the user (positive) zooms in and scrolls towards the top.
  const int turn = angle.y() != 0 ? angle.y() : angle.x();
  event->accept();
  if (event->modifiers() & Qt::ControlModifier) {
    zoom_turn_ += turn;
    while (zoom_turn_ >= kWheelNotch || zoom_turn_ <= -kWheelNotch) {
      const bool in = zoom_turn_ > 0;
      zoom_turn_ -= in ? kWheelNotch : -kWheelNotch;
      tessmor::RunGuarded(
          [&] { view_->OnCommand(in ? CTessmorView::ID_EXPAND : CTessmorView::ID_SHRINK); });
    }
    return;
  }
  const bool across = (event->modifiers() & Qt::ShiftModifier) || angle.y() == 0;
  QScrollBar* bar = across ? horizontalScrollBar() : verticalScrollBar();
  // As far per notch as the desktop's wheel setting says, in the bar's steps.
  const int step = bar->singleStep() * QApplication::wheelScrollLines();
  bar->setValue(bar->value() - turn * step / kWheelNotch);
}

void CVexaFrame::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  if (view_) tessmor::RunGuarded([&] { view_->OnSetFocus(); });
}

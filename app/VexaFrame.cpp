#include "app/VexaFrame.h"

#include <QApplication>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtGlobal>
#include <algorithm>
#include <exception>

#include "app/DesktopView.h"
#include "app/Guard.h"
#include "chart/VexaDoc.h"
#include "platform/QtDC.h"
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
// One notch of a mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;
}  // namespace

CVexaFrame::CVexaFrame(CDesktopView* view, QWidget* parent)
    : QAbstractScrollArea(parent), view_(view) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
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
  tessmor::RunGuarded([&] {
    view_->OnLButtonDown(flags, {press_point_.x(), press_point_.y()});
    const CVexaDoc* doc = view_->GetDocument();
    pressed_on_selection_ = doc && !doc->m_selection.IsEmpty();
  });
  viewport()->update();
}

void CVexaFrame::mouseReleaseEvent(QMouseEvent* event) {
  if (!view_ || event->button() != Qt::LeftButton || !pressed_on_selection_) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  pressed_on_selection_ = false;
  const QPoint delta = event->position().toPoint() - press_point_;
  if (delta.manhattanLength() <= kDragThreshold) return;
  tessmor::RunGuarded([&] {
    CVexaDoc* doc = view_->GetDocument();
    if (!doc || doc->m_selection.IsEmpty()) return;
    const tessmor::RECT r = doc->m_selection.m_rect;
    view_->DragSelection(
        {r.left + delta.x(), r.top + delta.y(), r.right + delta.x(), r.bottom + delta.y()});
  });
  viewport()->update();
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

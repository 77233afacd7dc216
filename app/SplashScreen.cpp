#include "app/SplashScreen.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTimer>

#include "app/AboutBox.h"

namespace {

QPixmap MakePicture() {
  QPixmap picture(460, 200);
  picture.fill(QColor(255, 255, 240));
  QPainter p(&picture);
  p.setPen(QPen(Qt::darkBlue, 2));
  p.drawRect(picture.rect().adjusted(1, 1, -2, -2));
  // The program's icon at twice its normal size, inside a frame.
  const int icon = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
  const QRect frame(16, 16, 2 * icon + 8, 2 * icon + 8);
  p.drawRect(frame);
  ProgramIcon().paint(&p, frame.adjusted(4, 4, -4, -4));
  QFont title = p.font();
  title.setPointSize(title.pointSize() + 3);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::black);
  const QRect text(frame.right() + 16, 16, picture.width() - frame.right() - 32, 168);
  p.drawText(text, Qt::AlignTop | Qt::TextWordWrap, CAboutBox::kTitle);
  QFont body = p.font();
  body.setBold(false);
  body.setPointSize(body.pointSize() - 3);
  p.setFont(body);
  p.drawText(text.adjusted(0, 64, 0, 0), Qt::AlignTop | Qt::TextWordWrap, CAboutBox::kDescription);
  return picture;
}

}  // namespace

CSplashScreen::CSplashScreen() : QSplashScreen(MakePicture()) {
  setAttribute(Qt::WA_DeleteOnClose);
}

CSplashScreen::~CSplashScreen() { qApp->removeEventFilter(this); }

void CSplashScreen::Start() {
  qApp->installEventFilter(this);
  show();
  QTimer::singleShot(kShowMilliseconds, this, &QWidget::close);
}

bool CSplashScreen::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
      QTimer::singleShot(0, this, &QWidget::close);
      break;
    default:
      break;
  }
  return QSplashScreen::eventFilter(watched, event);
}

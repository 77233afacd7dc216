#include "app/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "app/HelpWindow.h"

QIcon ProgramIcon() {
  QIcon icon(":/icons/tessmor.svg");
  icon.addFile(":/icons/tessmor-256.png", QSize(256, 256));
  return icon;
}

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About TESSMOR");
  auto* icon = new QLabel(this);
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize) * 2;
  icon->setPixmap(ProgramIcon().pixmap(size, size));
  auto* title = new QLabel(kTitle, this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  auto* description = new QLabel(kDescription, this);
  description->setWordWrap(true);
  auto* company = new QLabel("TARN Systems Software", this);
  link_ = new QLabel(QString("<a href=\"%1\">The Tessmor user manual</a>")
                         .arg(CHelpWindow::ManualUrl().toString()),
                     this);
  link_->setObjectName("ManualLink");
  link_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  link_->setToolTip("Opens the manual in the desktop's browser, or in the help window");
  connect(link_, &QLabel::linkActivated, this, [] { OpenManualPage(); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(title);
  texts->addWidget(description);
  texts->addWidget(company);
  texts->addWidget(link_);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

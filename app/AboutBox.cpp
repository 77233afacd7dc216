#include "app/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About TESSMOR");
  auto* icon = new QLabel(this);
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize) * 2;
  icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(size, size));
  auto* title = new QLabel(kTitle, this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  auto* description = new QLabel(kDescription, this);
  description->setWordWrap(true);
  auto* company = new QLabel("TARN Systems Software", this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(title);
  texts->addWidget(description);
  texts->addWidget(company);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

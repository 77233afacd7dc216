#include "app/StyleForms.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "app/Guard.h"
#include "chart/styles/FillEditDlg.h"
#include "chart/styles/MarkerEditDlg.h"
#include "chart/styles/PenEditDlg.h"
#include "chart/styles/TextStyleDlg.h"
#include "platform/ui/DialogModel.h"

namespace {

QColor ToQColor(tessmor::COLORREF c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

tessmor::COLORREF FromQColor(const QColor& c) {
  return static_cast<tessmor::COLORREF>(c.red()) |
         (static_cast<tessmor::COLORREF>(c.green()) << 8) |
         (static_cast<tessmor::COLORREF>(c.blue()) << 16);
}

// In the order of CPenEditDlg::kStyles: the desktop's pen styles, then the chart's own dash
// patterns 16-21.
const char* const kPenStyles[] = {"Solid",        "Dash",       "Dot",          "Dash dot",
                                  "Dash dot dot", "None",       "Inside frame", "Pattern 16",
                                  "Pattern 17",   "Pattern 18", "Pattern 19",   "Pattern 20",
                                  "Pattern 21"};

const char* const kSymbols[] = {"None",
                                "Triangle up",
                                "Triangle left",
                                "Triangle right",
                                "Triangle down",
                                "Square",
                                "Diamond",
                                "Square (7)",
                                "Five-pointed star",
                                "Six-pointed star",
                                "Plus",
                                "Cross",
                                "Plus and cross",
                                "Square with plus",
                                "Square (14)",
                                "Square with plus (15)"};

const char* const kHatches[] = {"Horizontal",  "Vertical", "Diagonal down",
                                "Diagonal up", "Cross",    "Diagonal cross"};

}  // namespace

CStyleForm::CStyleForm(tessmor::DialogModel& model, int resource_id, QWidget* parent)
    : QDialog(parent), model_(model) {
  auto* outer = new QVBoxLayout(this);
  fields_ = new QFormLayout;
  outer->addLayout(fields_);
  switch (resource_id) {
    case CPenEditDlg::IDD:
      BuildPen();
      break;
    case CMarkerEditDlg::IDD:
      BuildMarker();
      break;
    case CTextStyleDlg::IDD:
      BuildTextStyle();
      break;
    case CFillEditDlg::IDD:
      BuildFill();
      break;
    default:
      break;
  }
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  ok_ = box->button(QDialogButtonBox::Ok);
  cancel_ = box->button(QDialogButtonBox::Cancel);
  connect(box, &QDialogButtonBox::accepted, this, &CStyleForm::accept);
  connect(box, &QDialogButtonBox::rejected, this, &CStyleForm::reject);
  outer->addWidget(box);
  tessmor::RunGuarded([&] { model_.OnInitDialog(); });
  FromModel();
}

CStyleForm::~CStyleForm() = default;

bool CStyleForm::HasForm(int resource_id) {
  return resource_id == CPenEditDlg::IDD || resource_id == CMarkerEditDlg::IDD ||
         resource_id == CTextStyleDlg::IDD || resource_id == CFillEditDlg::IDD;
}

void CStyleForm::BuildPen() {
  setWindowTitle("Pen");
  QComboBox* styles = AddCombo(CPenEditDlg::IDC_STYLE, "&Dash style:");
  for (const char* s : kPenStyles) styles->addItem(s);
  AddEdit(CPenEditDlg::IDC_WIDTH, "&Width:", "pt");
  AddColour(CPenEditDlg::IDC_COLOUR, "&Colour:");
  AddColour(CPenEditDlg::IDC_BACKGROUND, "&Background:");
  AddCombo(CPenEditDlg::IDC_BKMODE, "Background &mode:", {"Transparent", "Opaque"});
  AddCheck(CPenEditDlg::IDC_ROUNDENDS, "&Round ends and joins");
  AddCheck(CPenEditDlg::IDC_SPLINE, "&Spline through the points");
}

void CStyleForm::BuildMarker() {
  setWindowTitle("Symbol");
  QComboBox* symbols = AddCombo(CMarkerEditDlg::IDC_SYMBOL, "&Symbol:");
  for (const char* s : kSymbols) symbols->addItem(s);
  AddEdit(CMarkerEditDlg::IDC_SIZE, "Si&ze:", "1/10 pt");
  AddEdit(CMarkerEditDlg::IDC_ANGLE, "&Angle:", "1/10 degree");
  AddColour(CMarkerEditDlg::IDC_PEN_COLOUR, "&Pen colour:");
  AddEdit(CMarkerEditDlg::IDC_PEN_WIDTH, "Pen &width:", "pt");
  AddCombo(CMarkerEditDlg::IDC_BRUSH_KIND, "&Fill:", {"Solid", "Hollow", "Hatched"});
  AddColour(CMarkerEditDlg::IDC_BRUSH_COLOUR, "&Brush colour:");
  AddEdit(CMarkerEditDlg::IDC_HATCH, "&Hatch:", "0-5");
}

void CStyleForm::BuildTextStyle() {
  setWindowTitle("Character Style");
  auto* model = dynamic_cast<CTextStyleDlg*>(&model_);
  AddText(CTextStyleDlg::IDC_SUMMARY, "Font:");
  AddButton(CTextStyleDlg::IDC_FONT, "&Font ...", [model] {
    if (model) model->OnFont();
  });
  AddColour(CTextStyleDlg::IDC_COLOUR, "&Colour:");
  AddCombo(CTextStyleDlg::IDC_JUSTIFY, "&Justification:",
           {"Left, top", "Right, top", "Centre, top", "Left, baseline", "Right, baseline",
            "Centre, baseline", "Left, beside an axis", "Right, beside an axis"});
}

void CStyleForm::BuildFill() {
  setWindowTitle("Fill Style");
  AddCombo(CFillEditDlg::IDC_KIND, "&Fill:", {"Solid", "Hatched", "Hollow", "Pattern"});
  QComboBox* hatches = AddCombo(CFillEditDlg::IDC_HATCH, "&Hatch:");
  for (const char* h : kHatches) hatches->addItem(h);
  QComboBox* patterns = AddCombo(CFillEditDlg::IDC_PATTERN, "&Pattern:");
  if (auto* model = dynamic_cast<CFillEditDlg*>(&model_))
    for (const CFillEditDlg::Pattern& p : model->m_patterns)
      patterns->addItem(QString::fromStdString(p.name));
  AddColour(CFillEditDlg::IDC_COLOUR, "&Colour:");
  QComboBox* styles = AddCombo(CFillEditDlg::IDC_OUTLINE_STYLE, "&Outline:");
  for (const char* s : kPenStyles) styles->addItem(s);
  AddEdit(CFillEditDlg::IDC_OUTLINE_WIDTH, "Outline &width:", "pt");
  AddColour(CFillEditDlg::IDC_OUTLINE_COLOUR, "Outline co&lour:");
}

QComboBox* CStyleForm::AddCombo(int id, const char* label) {
  auto* combo = new QComboBox;
  fields_->addRow(label, combo);
  combos_[id] = combo;
  return combo;
}

void CStyleForm::AddCombo(int id, const char* label, std::initializer_list<const char*> choices) {
  QComboBox* combo = AddCombo(id, label);
  for (const char* c : choices) combo->addItem(c);
}

void CStyleForm::AddEdit(int id, const char* label, const char* unit) {
  auto* row = new QHBoxLayout;
  auto* edit = new QLineEdit;
  row->addWidget(edit);
  row->addWidget(new QLabel(unit));
  // A row of several widgets has no buddy of its own: the label names the edit.
  auto* name = new QLabel(label);
  name->setBuddy(edit);
  fields_->addRow(name, row);
  edits_[id] = edit;
}

void CStyleForm::AddCheck(int id, const char* label) {
  auto* check = new QCheckBox(label);
  fields_->addRow(QString(), check);
  checks_[id] = check;
}

void CStyleForm::AddColour(int id, const char* label) {
  auto* button = new QPushButton;
  button->setMinimumWidth(96);
  fields_->addRow(label, button);
  colours_[id] = button;
  connect(button, &QPushButton::clicked, this, [this, id] {
    const QColor chosen = QColorDialog::getColor(ToQColor(Colour(id)), this, "Colour");
    if (chosen.isValid()) SetColour(id, FromQColor(chosen));
  });
  SetColour(id, 0);
}

void CStyleForm::AddButton(int id, const char* text, std::function<void()> handler) {
  auto* button = new QPushButton(text);
  fields_->addRow(QString(), button);
  buttons_[id] = button;
  connect(button, &QPushButton::clicked, this, [this, handler] {
    ToModel();
    tessmor::RunGuarded(handler);
    FromModel();
  });
}

void CStyleForm::AddText(int id, const char* label) {
  auto* text = new QLabel;
  fields_->addRow(label, text);
  texts_[id] = text;
}

void CStyleForm::SetColour(int id, tessmor::COLORREF colour) {
  auto it = colours_.find(id);
  if (it == colours_.end()) return;
  colour_values_[id] = colour & 0xFFFFFF;
  const QColor c = ToQColor(colour);
  it->second->setText(c.name());
  it->second->setStyleSheet(QString("background-color: %1; color: %2")
                                .arg(c.name(), c.lightness() < 128 ? "white" : "black"));
}

tessmor::COLORREF CStyleForm::Colour(int id) const {
  auto it = colour_values_.find(id);
  return it == colour_values_.end() ? 0 : it->second;
}

QComboBox* CStyleForm::combo(int id) const {
  auto it = combos_.find(id);
  return it == combos_.end() ? nullptr : it->second;
}
QLineEdit* CStyleForm::edit(int id) const {
  auto it = edits_.find(id);
  return it == edits_.end() ? nullptr : it->second;
}
QCheckBox* CStyleForm::check(int id) const {
  auto it = checks_.find(id);
  return it == checks_.end() ? nullptr : it->second;
}
QPushButton* CStyleForm::colourButton(int id) const {
  auto it = colours_.find(id);
  return it == colours_.end() ? nullptr : it->second;
}
QPushButton* CStyleForm::button(int id) const {
  auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : it->second;
}
QLabel* CStyleForm::text(int id) const {
  auto it = texts_.find(id);
  return it == texts_.end() ? nullptr : it->second;
}

void CStyleForm::ToModel() {
  for (const auto& [id, combo] : combos_) model_.SetRadio(id, combo->currentIndex());
  for (const auto& [id, edit] : edits_) model_.SetText(id, edit->text().toStdString());
  for (const auto& [id, check] : checks_) model_.SetRadio(id, check->isChecked() ? 1 : 0);
  for (const auto& [id, value] : colour_values_) model_.SetText(id, std::to_string(value));
}

void CStyleForm::FromModel() {
  for (const auto& [id, combo] : combos_) {
    combo->setCurrentIndex(model_.GetRadio(id));
    combo->setEnabled(model_.IsEnabled(id));
  }
  for (const auto& [id, edit] : edits_) {
    edit->setText(QString::fromStdString(model_.GetText(id)));
    edit->setEnabled(model_.IsEnabled(id));
  }
  for (const auto& [id, check] : checks_) check->setChecked(model_.GetRadio(id) == 1);
  for (const auto& [id, button] : colours_) {
    SetColour(id, QString::fromStdString(model_.GetText(id)).trimmed().toUInt());
    button->setEnabled(model_.IsEnabled(id));
  }
  for (const auto& [id, label] : texts_) label->setText(QString::fromStdString(model_.GetText(id)));
  const int focus = model_.focus();
  if (QLineEdit* e = edit(focus)) e->setFocus();
}

void CStyleForm::accept() {
  ToModel();
  bool ok = false;
  tessmor::RunGuarded([&] { ok = model_.OnOK(); });
  if (ok)
    QDialog::accept();
  else
    FromModel();
}

#include "app/DialogForm.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/Guard.h"
#include "app/StyleForms.h"
#include "chart/FontDlg.h"
#include "platform/DialogModel.h"
#include "profile/DataEntryDlg.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/DerivSourceDlg.h"
#include "profileview/InterpolationDlg.h"
#include "profileview/InversionDlg.h"
#include "profileview/UpwardContDlg.h"

namespace {
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
}  // namespace

bool CDialogForm::HasForm(int resource_id) {
  switch (resource_id) {
    case CDataEntryDlg::IDD:
    case CUpwardContDlg::IDD:
    case CInversionDlg::IDD:
    case CDerivSourceDlg::IDD:
    case CBackgroundDlg::IDD:
    case CInterpolationDlg::IDD:
    case CFontDlg::IDD:
      return true;
    default:
      return false;
  }
}

CDialogForm::CDialogForm(tessmor::DialogModel& model, int resource_id, QWidget* parent)
    : QDialog(parent), model_(model), resource_id_(resource_id) {
  auto* layout = new QVBoxLayout(this);
  body_ = layout;
  switch (resource_id) {
    case CUpwardContDlg::IDD:
      BuildUpwardCont();
      break;
    case CInversionDlg::IDD:
      BuildInversion();
      break;
    case CDerivSourceDlg::IDD:
      BuildDerivSource();
      break;
    case CBackgroundDlg::IDD:
      BuildBackground();
      break;
    case CInterpolationDlg::IDD:
      BuildInterpolation();
      break;
    case CFontDlg::IDD:
      BuildFont();
      break;
    case CDataEntryDlg::IDD:
      BuildDataEntry();
      break;
    default:
      break;
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = AddButton(buttons, kIdOk, "OK", [this] { accept(); });
  ok_->setDefault(true);
  cancel_ = AddButton(buttons, kIdCancel, "Cancel", [this] { reject(); });
  layout->addLayout(buttons);

  updating_ = true;
  tessmor::RunGuarded([&] { model_.OnInitDialog(); });
  updating_ = false;
  FromModel(true);
}

CDialogForm::~CDialogForm() {
  for (auto& [widget, id] : edit_ids_) widget->removeEventFilter(this);
}

// --- the tables of the dialogs ---

void CDialogForm::BuildUpwardCont() {
  setWindowTitle("Upward Continuation of Gravity Anomalies");
  AddNotes(
      {"Upwards continuation is what the anomaly would look like if the profile was "
       "remeasured at the said height. ",
       "It will filter out the small bumps and wiggles in the profile, so the upwards "
       "continued profile is more representative of the anomaly caused by the big buried "
       "feature"});
  AddFieldRow("Height to continue this profile to:", CUpwardContDlg::IDC_HEIGHT, "Km");
}

void CDialogForm::BuildInversion() {
  setWindowTitle("Gravity Modelling: Inversion");
  AddNotes(
      {"The program will attempt to fit a 2-dimensional model to the gravity profile. This "
       "uses the density difference you enter (ie. enter a negative value if your anomaly "
       "is a negative one). ",
       "The type of model to use will depend upon the feature the anomaly profile is from. "
       "The granite model will build itself up from the entered depth, the sedimentary "
       "basin model will build itself down from the entered depth ",
       "Use the form of the second derivative as an aid to determine the most suitable "
       "model for your profile."});
  AddFieldRow("Density contrast", CInversionDlg::IDC_DENSITY, "Kg/m^3");
  AddFieldRow("Depth to Horizontal Boundary ", CInversionDlg::IDC_DEPTH, "Kilometres");
  AddRadioGroup(CInversionDlg::IDC_MODEL, "Model  Type", {"Granite", "Sedimentary Basin "});
}

void CDialogForm::BuildDerivSource() {
  setWindowTitle("Second Derivative: source data");
  AddNotes(
      {"The second derivative is the gradient of the gradient of the profile. This tells "
       "you about the form of the feature causing the anomaly (  ie. the angle of the sides "
       "of the feature ). ",
       "As you may appreciate, Determining the second derivative of the profile is highly "
       "influenced by how well the contours were drawn on the anomaly map, and how well "
       "you digitised them. ",
       "To try to eliminate this source of error, the upwards continued profile can be "
       "used, or the raw data (passed through a complicated filter)."});
  AddRadioGroup(CDerivSourceDlg::IDC_SOURCE, "Type of data to use",
                {"Calculate from Anomaly data", "Calculate from Upward Continued data"});
}

void CDialogForm::BuildBackground() {
  setWindowTitle("Regional Background Removal Method");
  AddNotes(
      {"Enter either a constant value for the background, or a changing (Linear) "
       "background",
       "If a linear background, enter the distance and anomaly values at which the "
       "background crosses the anomaly profile"});
  auto* dlg = dynamic_cast<CBackgroundDlg*>(&model_);
  AddRadioGroup(CBackgroundDlg::IDC_CONSTANT_RADIO, "", {"Constant ::", "Linear"}, 2,
                [this, dlg](int index) {
                  if (!dlg) return;
                  Run([&] { index == 0 ? dlg->OnConstant() : dlg->OnLinear(); });
                });
  AddFieldRow("Constant ::", CBackgroundDlg::IDC_CONSTANT, "mGal");
  AddFieldRow("From:", CBackgroundDlg::IDC_LEFT_DISTANCE, "Km", CBackgroundDlg::IDC_LEFT_ANOMALY,
              "mGal");
  AddFieldRow("To:", CBackgroundDlg::IDC_RIGHT_DISTANCE, "Km", CBackgroundDlg::IDC_RIGHT_ANOMALY,
              "mGal");
}

void CDialogForm::BuildInterpolation() {
  setWindowTitle("Interpolation to Constant Spacing.");
  AddNotes(
      {"Indicate the type of method to use for interpolating unequally spaced data to "
       "equally spaced data. Cubic spline and polynomial will produce smooth curves between "
       "data points and are probably the best",
       "Linear interpolation may look like straight line segments. Rational may fail "
       "sometimes, but may be suitable for rapidly changing profiles."});
  AddRadioGroup(CInterpolationDlg::IDC_METHOD, "Method",
                {"Cubic Spline", "4th Order polynomial", "Diagonal Rational", "Linear"});
  AddFieldRow("Interpolated Constant Spacing Interval", CInterpolationDlg::IDC_SPACING, "Km");
  edit(CInterpolationDlg::IDC_SPACING)
      ->setMaxLength(static_cast<int>(CInterpolationDlg::kMaxSpacingChars));
}

void CDialogForm::BuildFont() {
  auto* dlg = dynamic_cast<CFontDlg*>(&model_);
  setWindowTitle(dlg && !dlg->m_strTitle.empty() ? QString::fromStdString(dlg->m_strTitle)
                                                 : QString("Font"));
  AddFieldRow("Font:", CFontDlg::IDC_FACE, "");
  edit(CFontDlg::IDC_FACE)->setMaxLength(tessmor::LF_FACESIZE - 1);
  AddFieldRow("Size:", CFontDlg::IDC_SIZE, "points");
  AddRadioGroup(CFontDlg::IDC_STYLE, "Font style", {"Regular", "Italic", "Bold", "Bold Italic"}, 4);
  if (dlg && (dlg->m_nFlags & CFontDlg::kEffects)) {
    AddRadioGroup(CFontDlg::IDC_STRIKEOUT, "Strikeout", {"Off", "On"}, 2);
    AddRadioGroup(CFontDlg::IDC_UNDERLINE, "Underline", {"Off", "On"}, 2);
    AddRadioGroup(CFontDlg::IDC_COLOUR, "Color",
                  {"Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Gray", "Silver",
                   "Red", "Lime", "Yellow", "Blue", "Fuchsia", "Aqua", "White"},
                  4);
  }
}

void CDialogForm::BuildDataEntry() {
  setWindowTitle("Data Entry and Editing");
  tracks_focus_ = true;
  auto* dlg = dynamic_cast<CDataEntryDlg*>(&model_);
  AddFieldRow("Traverse Name:", CDataEntryDlg::IDC_TRAVERSE_NAME, "");
  fields_ = nullptr;  // the rows of points come next

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("#", this), 0, 0);
  grid->addWidget(new QLabel("Distance in Kilometres", this), 0, 1);
  grid->addWidget(new QLabel("Bouguer Anomaly (mGal)", this), 0, 2);
  for (int row = 1; row <= CDataEntryDlg::kRows; ++row) {
    grid->addWidget(AddModelText(CDataEntryDlg::RowNumberId(row)), row, 0);
    AddEdit(grid, row, 1, CDataEntryDlg::DistanceId(row), nullptr);
    AddEdit(grid, row, 2, CDataEntryDlg::AnomalyId(row), nullptr);
  }
  body_->addItem(grid);
  auto* page = new QHBoxLayout;
  page->addWidget(AddModelText(CDataEntryDlg::IDC_PAGE_TEXT), 1);
  body_->addItem(page);
  AddFieldRow("Spacing in km:", CDataEntryDlg::IDC_SPACING, "");
  AddFieldRow("Number of Readings:", CDataEntryDlg::IDC_READINGS, "");
  fields_ = nullptr;  // the buttons come after the fields

  auto* buttons = new QHBoxLayout;
  auto call = [dlg](void (CDataEntryDlg::*handler)()) {
    return [dlg, handler] {
      if (dlg) (dlg->*handler)();
    };
  };
  auto* paging = new QHBoxLayout;
  AddButton(paging, CDataEntryDlg::IDC_PREV_PAGE, "Previous Page",
            call(&CDataEntryDlg::OnPrevPage));
  AddButton(paging, CDataEntryDlg::IDC_NEXT_PAGE, "Next Page", call(&CDataEntryDlg::OnNextPage));
  AddButton(buttons, CDataEntryDlg::IDC_CUT, "Cut", call(&CDataEntryDlg::OnCut));
  AddButton(buttons, CDataEntryDlg::IDC_COPY, "Copy", call(&CDataEntryDlg::OnCopy));
  AddButton(buttons, CDataEntryDlg::IDC_PASTE, "Paste", call(&CDataEntryDlg::OnPaste));
  AddButton(buttons, CDataEntryDlg::IDC_UNDO, "Undo", call(&CDataEntryDlg::OnUndo));
  body_->addItem(paging);
  body_->addItem(buttons);
}

// --- building blocks ---

void CDialogForm::AddNotes(std::initializer_list<const char*> notes) {
  for (const char* text : notes) {
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setWordWrap(true);
    body_->addWidget(label);
  }
}

QLineEdit* CDialogForm::AddEdit(QGridLayout* grid, int row, int column, int id, const char* unit,
                                int max_chars) {
  auto* e = new QLineEdit(this);
  if (max_chars > 0) e->setMaxLength(max_chars);
  grid->addWidget(e, row, column);
  if (unit && *unit) grid->addWidget(new QLabel(unit, this), row, column + 1);
  edits_[id] = e;
  edit_ids_[e] = id;
  e->installEventFilter(this);
  connect(e, &QLineEdit::textEdited, this, [this, id](const QString& text) {
    if (updating_ || !tracks_focus_) return;
    auto* dlg = dynamic_cast<CDataEntryDlg*>(&model_);
    tessmor::RunGuarded([&] {
      model_.SetText(id, text.toStdString());
      if (dlg) dlg->OnChange(id);
    });
  });
  return e;
}

void CDialogForm::AddFieldRow(const char* label, int id, const char* unit, int id2,
                              const char* unit2) {
  if (!fields_) {
    fields_ = new QGridLayout;
    field_rows_ = 0;
    body_->addItem(fields_);
  }
  const int row = field_rows_++;
  fields_->addWidget(new QLabel(label, this), row, 0);
  AddEdit(fields_, row, 1, id, unit);
  if (id2) AddEdit(fields_, row, 3, id2, unit2);
}

void CDialogForm::AddRadioGroup(int id, const char* title,
                                std::initializer_list<const char*> choices, int columns,
                                std::function<void(int)> on_click) {
  auto* box = new QGroupBox(title, this);
  auto* grid = new QGridLayout(box);
  auto* group = new QButtonGroup(box);
  RadioGroup entry{id, {}};
  int index = 0;
  for (const char* text : choices) {
    auto* b = new QRadioButton(text, box);
    group->addButton(b, index);
    grid->addWidget(b, index / columns, index % columns);
    entry.buttons.push_back(b);
    ++index;
  }
  connect(group, &QButtonGroup::idClicked, this, [this, id, on_click](int i) {
    if (updating_) return;
    model_.SetRadio(id, i);
    if (on_click) on_click(i);
  });
  radios_.push_back(std::move(entry));
  body_->addWidget(box);
  fields_ = nullptr;  // later fields go below the group
}

QPushButton* CDialogForm::AddButton(QLayout* layout, int id, const char* text,
                                    std::function<void()> handler) {
  auto* b = new QPushButton(text, this);
  b->setAutoDefault(false);
  layout->addWidget(b);
  buttons_[id] = b;
  if (id == kIdOk || id == kIdCancel) {
    connect(b, &QPushButton::clicked, this, std::move(handler));
  } else {
    connect(b, &QPushButton::clicked, this, [this, handler] { Run(handler); });
  }
  return b;
}

QLabel* CDialogForm::AddModelText(int id) {
  auto* label = new QLabel(this);
  model_texts_[id] = label;
  return label;
}

QLineEdit* CDialogForm::edit(int id) const {
  auto it = edits_.find(id);
  return it == edits_.end() ? nullptr : it->second;
}

QRadioButton* CDialogForm::radio(int id, int index) const {
  for (const RadioGroup& g : radios_) {
    if (g.id == id && index >= 0 && index < static_cast<int>(g.buttons.size())) {
      return g.buttons[static_cast<std::size_t>(index)];
    }
  }
  return nullptr;
}

QPushButton* CDialogForm::button(int id) const {
  auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : it->second;
}

// --- keeping the model and the widgets in step ---

void CDialogForm::ToModel() {
  for (auto& [id, e] : edits_) model_.SetText(id, e->text().toStdString());
  for (const RadioGroup& g : radios_) {
    int chosen = -1;
    for (std::size_t i = 0; i < g.buttons.size(); ++i) {
      if (g.buttons[i]->isChecked()) chosen = static_cast<int>(i);
    }
    model_.SetRadio(g.id, chosen);
  }
}

void CDialogForm::FromModel(bool force_focus) {
  updating_ = true;
  auto* entry = dynamic_cast<CDataEntryDlg*>(&model_);
  for (auto& [id, e] : edits_) {
    const QString text = QString::fromStdString(model_.GetText(id));
    if (e->text() != text) e->setText(text);
    e->setEnabled(model_.IsEnabled(id));
    if (entry) e->setReadOnly(entry->IsReadOnly(id));
  }
  for (auto& [id, label] : model_texts_) label->setText(QString::fromStdString(model_.GetText(id)));
  for (const RadioGroup& g : radios_) {
    const int chosen = model_.GetRadio(g.id);
    for (std::size_t i = 0; i < g.buttons.size(); ++i) {
      // A group with no choice shows no button checked.
      g.buttons[i]->setAutoExclusive(false);
      g.buttons[i]->setChecked(static_cast<int>(i) == chosen);
      g.buttons[i]->setAutoExclusive(true);
      g.buttons[i]->setEnabled(model_.IsEnabled(g.id));
    }
  }
  for (auto& [id, b] : buttons_) {
    if (id != kIdOk && id != kIdCancel) b->setEnabled(model_.IsEnabled(id));
  }
  const bool move_focus = force_focus || model_.focus() != last_focus_;
  last_focus_ = model_.focus();
  if (!move_focus) {
  } else if (QLineEdit* e = edit(model_.focus())) {
    e->setFocus();
    e->selectAll();
  } else if (QRadioButton* r =
                 radio(model_.focus(), std::max(0, model_.GetRadio(model_.focus())))) {
    r->setFocus();
  }
  updating_ = false;
}

void CDialogForm::Run(const std::function<void()>& handler) {
  tessmor::RunGuarded([&] {
    ToModel();
    handler();
  });
  FromModel();
}

void CDialogForm::accept() {
  bool ok = false;
  tessmor::RunGuarded([&] {
    ToModel();
    ok = model_.OnOK();
  });
  if (ok) {
    QDialog::accept();
    return;
  }
  // Refused: the model said why and chose the control to correct.
  FromModel(true);
}

bool CDialogForm::eventFilter(QObject* watched, QEvent* event) {
  if (tracks_focus_ && !updating_ &&
      (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    auto it = edit_ids_.find(watched);
    auto* dlg = dynamic_cast<CDataEntryDlg*>(&model_);
    if (it != edit_ids_.end() && dlg) {
      const int id = it->second;
      const bool in = event->type() == QEvent::FocusIn;
      // The focus may move while a message box of the model is up; the model hears of it
      // once, afterwards.
      updating_ = true;
      tessmor::RunGuarded([&] {
        ToModel();
        in ? dlg->OnSetFocus(id) : dlg->OnKillFocus(id);
      });
      updating_ = false;
      if (in)
        last_focus_ = model_.focus();
      else
        FromModel();
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool CFormDialogRunner::DoModal(tessmor::DialogModel& dialog, int resource_id) {
  if (CStyleForm::HasForm(resource_id)) {
    CStyleForm form(dialog, resource_id, parent_);
    return form.exec() == QDialog::Accepted;
  }
  if (!CDialogForm::HasForm(resource_id)) return false;
  CDialogForm form(dialog, resource_id, parent_);
  return form.exec() == QDialog::Accepted;
}

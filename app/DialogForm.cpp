#include "app/DialogForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Guard.h"
#include "app/HelpWindow.h"
#include "app/StyleForms.h"
#include "chart/styles/FontDlg.h"
#include "platform/ui/DialogModel.h"
#include "profile/DataEntryDlg.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/DerivSourceDlg.h"
#include "profileview/InterpolationDlg.h"
#include "profileview/InversionDlg.h"
#include "profileview/UpwardContDlg.h"

namespace {
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The Help button of a dialog that has one (0 for none).
int HelpButtonOf(int resource_id) {
  switch (resource_id) {
    case CDataEntryDlg::IDD:
      return CDataEntryDlg::IDC_HELP;
    case CUpwardContDlg::IDD:
      return CUpwardContDlg::IDC_HELP;
    case CInversionDlg::IDD:
      return CInversionDlg::IDC_HELP;
    case CDerivSourceDlg::IDD:
      return CDerivSourceDlg::IDC_HELP;
    case CBackgroundDlg::IDD:
      return CBackgroundDlg::IDC_HELP;
    case CInterpolationDlg::IDD:
      return CInterpolationDlg::IDC_HELP;
    default:
      return 0;
  }
}

// A sample of text in the font chosen so far.
constexpr const char* kFontSample = "AaBbYyZz 0123 mGal";
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
  if (const int help = HelpButtonOf(resource_id)) {
    auto* entry = dynamic_cast<CDataEntryDlg*>(&model_);
    AddButton(buttons, help, "Help", [this, entry] {
      if (entry) entry->OnHelp();
      ShowHelpContext(HelpContext());
    });
  }
  layout->addLayout(buttons);

  updating_ = true;
  tessmor::RunGuarded([&] { model_.OnInitDialog(); });
  updating_ = false;
  FromModel(true);
}

CDialogForm::~CDialogForm() {
  for (auto& [widget, id] : edit_ids_) widget->removeEventFilter(this);
  if (auto* entry = dynamic_cast<CDataEntryDlg*>(&model_)) entry->m_onFlash = nullptr;
}

void CDialogForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    ShowHelpContext(HelpContext());
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CDialogForm::Flash(int times) {
  if (times <= 0) return;
  // The form lights up and goes back, `times` times, 90 ms each way.
  if (!flash_) {
    flash_ = new QWidget(this);
    flash_->setAttribute(Qt::WA_TransparentForMouseEvents);
    flash_->setAutoFillBackground(true);
    QPalette p = flash_->palette();
    QColor c = palette().color(QPalette::Highlight);
    c.setAlpha(110);
    p.setColor(QPalette::Window, c);
    flash_->setPalette(p);
  }
  flash_->setGeometry(rect());
  flash_->raise();
  flash_->show();
  ++flashes_;
  QTimer::singleShot(90, this, [this, times] {
    flash_->hide();
    if (times > 1) QTimer::singleShot(90, this, [this, times] { Flash(times - 1); });
  });
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
  AddCheckBox(CUpwardContDlg::IDC_EDGES, "Control edge effects",
              "Carries the profile on beyond its ends and weighs the kernel to 1, so that the "
              "continued flanks keep their level; off continues as documented");
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
  setWindowTitle("Font");
  if (dlg && !dlg->m_strTitle.empty()) AddNotes({dlg->m_strTitle.c_str()});
  // The face: the fonts the desktop has, each shown in itself; its text is the model's.
  if (!fields_) {
    fields_ = new QGridLayout;
    field_rows_ = 0;
    body_->addItem(fields_);
  }
  const int row = field_rows_++;
  fields_->addWidget(new QLabel("Font:", this), row, 0);
  face_ = new QFontComboBox(this);
  face_->setObjectName("FaceList");
  face_->setEditable(true);
  face_->lineEdit()->setMaxLength(tessmor::LF_FACESIZE - 1);
  fields_->addWidget(face_, row, 1);
  edits_[CFontDlg::IDC_FACE] = face_->lineEdit();
  edit_ids_[face_->lineEdit()] = CFontDlg::IDC_FACE;
  AddFieldRow("Size:", CFontDlg::IDC_SIZE, "points");
  AddRadioGroup(CFontDlg::IDC_STYLE, "Font style", {"Regular", "Italic", "Bold", "Bold Italic"}, 4);
  preview_ = new QLabel(kFontSample, this);
  preview_->setObjectName("FontPreview");
  preview_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  preview_->setMinimumHeight(56);
  preview_->setAlignment(Qt::AlignCenter);
  connect(face_, &QFontComboBox::currentFontChanged, this, [this] { UpdatePreview(); });
  connect(face_->lineEdit(), &QLineEdit::textEdited, this, [this] { UpdatePreview(); });
  connect(edit(CFontDlg::IDC_SIZE), &QLineEdit::textEdited, this, [this] { UpdatePreview(); });
  for (int i = 0; i < 4; ++i) {
    connect(radio(CFontDlg::IDC_STYLE, i), &QRadioButton::toggled, this,
            [this] { UpdatePreview(); });
  }
  if (dlg && (dlg->m_nFlags & CFontDlg::kEffects)) {
    AddRadioGroup(CFontDlg::IDC_STRIKEOUT, "Strikeout", {"Off", "On"}, 2);
    AddRadioGroup(CFontDlg::IDC_UNDERLINE, "Underline", {"Off", "On"}, 2);
    AddRadioGroup(CFontDlg::IDC_COLOUR, "Color",
                  {"Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Gray", "Silver",
                   "Red", "Lime", "Yellow", "Blue", "Fuchsia", "Aqua", "White"},
                  4);
    for (int id : {int(CFontDlg::IDC_STRIKEOUT), int(CFontDlg::IDC_UNDERLINE)}) {
      for (int i = 0; i < 2; ++i) {
        connect(radio(id, i), &QRadioButton::toggled, this, [this] { UpdatePreview(); });
      }
    }
    for (int i = 0; i < 16; ++i) {
      connect(radio(CFontDlg::IDC_COLOUR, i), &QRadioButton::toggled, this,
              [this] { UpdatePreview(); });
    }
  }
  body_->addWidget(preview_);
}

void CDialogForm::UpdatePreview() {
  if (!preview_ || updating_) return;
  QFont font(face_->lineEdit()->text());
  bool ok = false;
  const double points = edit(CFontDlg::IDC_SIZE)->text().trimmed().toDouble(&ok);
  // The sample stays readable whatever size is typed.
  font.setPointSizeF(ok && points > 0 ? std::clamp(points, 6.0, 36.0) : 12.0);
  const auto checked = [this](int id, int index) {
    QRadioButton* r = radio(id, index);
    return r && r->isChecked();
  };
  font.setItalic(checked(CFontDlg::IDC_STYLE, 1) || checked(CFontDlg::IDC_STYLE, 3));
  font.setBold(checked(CFontDlg::IDC_STYLE, 2) || checked(CFontDlg::IDC_STYLE, 3));
  font.setStrikeOut(checked(CFontDlg::IDC_STRIKEOUT, 1));
  font.setUnderline(checked(CFontDlg::IDC_UNDERLINE, 1));
  preview_->setFont(font);
  QPalette p = preview_->palette();
  p.setColor(QPalette::WindowText, Qt::black);
  for (int i = 0; i < 16; ++i) {
    if (checked(CFontDlg::IDC_COLOUR, i)) {
      const tessmor::COLORREF c = CFontDlg::kColours[i];
      p.setColor(QPalette::WindowText, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
  }
  preview_->setPalette(p);
}

void CDialogForm::BuildDataEntry() {
  setWindowTitle("Data Entry and Editing");
  tracks_focus_ = true;
  auto* dlg = dynamic_cast<CDataEntryDlg*>(&model_);
  if (dlg) dlg->m_onFlash = [this](int times) { Flash(times); };
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

QCheckBox* CDialogForm::AddCheckBox(int id, const char* text, const char* tip) {
  auto* box = new QCheckBox(text, this);
  box->setToolTip(tip);
  body_->addWidget(box);
  checks_[id] = box;
  connect(box, &QCheckBox::toggled, this, [this, id](bool on) {
    if (!updating_) model_.SetRadio(id, on ? 1 : 0);
  });
  fields_ = nullptr;
  return box;
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
  for (auto& [id, box] : checks_) model_.SetRadio(id, box->isChecked() ? 1 : 0);
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
  if (face_) {
    const QString face = face_->lineEdit()->text();
    const int index = face_->findText(face, Qt::MatchFixedString);
    if (index >= 0 && index != face_->currentIndex()) face_->setCurrentIndex(index);
    if (face_->lineEdit()->text() != face) face_->lineEdit()->setText(face);
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
  for (auto& [id, box] : checks_) box->setChecked(model_.GetRadio(id) == 1);
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
  if (preview_) UpdatePreview();
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

int CDialogForm::EditKeyButton(QKeyEvent& key) const {
  if (!dynamic_cast<CDataEntryDlg*>(&model_)) return 0;
  if (key.matches(QKeySequence::Cut)) return CDataEntryDlg::IDC_CUT;
  if (key.matches(QKeySequence::Copy)) return CDataEntryDlg::IDC_COPY;
  if (key.matches(QKeySequence::Paste)) return CDataEntryDlg::IDC_PASTE;
  if (key.matches(QKeySequence::Undo)) return CDataEntryDlg::IDC_UNDO;
  return 0;
}

bool CDialogForm::eventFilter(QObject* watched, QEvent* event) {
  // In the data entry dialog the editing keys are the dialog's own Cut, Copy, Paste and Undo
  // (of whole points), not the edit line's.
  if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
      edit_ids_.count(watched)) {
    if (const int id = EditKeyButton(*static_cast<QKeyEvent*>(event))) {
      if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
      } else if (QPushButton* b = button(id); b && b->isEnabled()) {
        b->click();
      }
      return true;
    }
  }
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
    if (parent_) form.setWindowModality(Qt::WindowModal);
    return form.exec() == QDialog::Accepted;
  }
  if (!CDialogForm::HasForm(resource_id)) return false;
  CDialogForm form(dialog, resource_id, parent_);
  // Modal for the main window only: the help window stays usable beside the dialog.
  if (parent_) form.setWindowModality(Qt::WindowModal);
  return form.exec() == QDialog::Accepted;
}

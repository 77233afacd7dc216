#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <vector>

#include "platform/ui/DialogRunner.h"

class QCheckBox;
class QFontComboBox;
class QGridLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessmor {
class DialogModel;
}

/// The form of one of the program's dialogs: widgets built from a small table of the model's
/// controls (edits, radio groups, buttons, texts shown by the model), kept in step with the
/// model. OK copies every edit and radio group into the model and closes only when the
/// model's OnOK accepts; Cancel closes without touching the model's members.
class CDialogForm : public QDialog {
  Q_OBJECT
 public:
  /// Builds the form of dialog `resource_id` on `model` and runs the model's OnInitDialog.
  CDialogForm(tessmor::DialogModel& model, int resource_id, QWidget* parent = nullptr);
  ~CDialogForm() override;

  /// True when there is a form for dialog `resource_id`.
  static bool HasForm(int resource_id);

  QLineEdit* edit(int id) const;
  QRadioButton* radio(int id, int index) const;
  QCheckBox* checkBox(int id) const {
    auto it = checks_.find(id);
    return it == checks_.end() ? nullptr : it->second;
  }
  QPushButton* button(int id) const;
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

  /// The OK button: the controls go to the model; the form closes with Accepted when the
  /// model's OnOK agrees, else it stays open with the model's focus.
  void accept() override;

  /// The help context of the dialog: 0x20000 plus its resource number.
  unsigned HelpContext() const { return 0x20000u + static_cast<unsigned>(resource_id_); }
  /// Flashes the form `times` times (the data entry dialog's Copy flashes twice).
  void Flash(int times);
  /// How many flashes the form has shown.
  int flashes() const { return flashes_; }
  /// The font form's face list and its sample text (null in other forms).
  QFontComboBox* faceList() const { return face_; }
  QLabel* fontPreview() const { return preview_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  /// F1 opens the dialog's help topic.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct RadioGroup {
    int id;
    std::vector<QRadioButton*> buttons;
  };
  // Table-driven construction.
  void BuildUpwardCont();
  void BuildInversion();
  void BuildDerivSource();
  void BuildBackground();
  void BuildInterpolation();
  void BuildFont();
  void BuildDataEntry();
  void AddNotes(std::initializer_list<const char*> notes);
  QLineEdit* AddEdit(QGridLayout* grid, int row, int column, int id, const char* unit,
                     int max_chars = 0);
  void AddFieldRow(const char* label, int id, const char* unit, int id2 = 0,
                   const char* unit2 = nullptr);
  void AddRadioGroup(int id, const char* title, std::initializer_list<const char*> choices,
                     int columns = 1, std::function<void(int)> on_click = {});
  QPushButton* AddButton(QLayout* layout, int id, const char* text, std::function<void()> handler);
  QLabel* AddModelText(int id);
  /// A check box whose state the model keeps as the radio value of `id` (0 off, 1 on).
  QCheckBox* AddCheckBox(int id, const char* text, const char* tip);
  /// The data entry button an editing key stands for (Cut, Copy, Paste, Undo), or 0.
  int EditKeyButton(QKeyEvent& key) const;
  /// Shows the font chosen so far in the sample text.
  void UpdatePreview();

  /// The widgets' texts and radios into the model.
  void ToModel();
  /// The model's texts, radios, enabling, read-only flags and focus into the widgets.
  /// The focus moves only when the model moved it (or when `force_focus`).
  void FromModel(bool force_focus = false);
  /// Runs a handler of the model between ToModel and FromModel.
  void Run(const std::function<void()>& handler);

  tessmor::DialogModel& model_;
  int resource_id_;
  QLayout* body_ = nullptr;
  QGridLayout* fields_ = nullptr;
  int field_rows_ = 0;
  std::map<int, QLineEdit*> edits_;
  std::map<QObject*, int> edit_ids_;
  std::map<int, QLabel*> model_texts_;
  std::vector<RadioGroup> radios_;
  std::map<int, QPushButton*> buttons_;
  std::map<int, QCheckBox*> checks_;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  // The data entry dialog wants to hear of focus changes and of every edit.
  bool tracks_focus_ = false;
  // Set while the form itself changes widgets, so that the model hears only the user.
  bool updating_ = false;
  // The control the model last had the focus on.
  int last_focus_ = -1;
  QFontComboBox* face_ = nullptr;
  QLabel* preview_ = nullptr;
  QWidget* flash_ = nullptr;
  int flashes_ = 0;
};

/// Shows the dialogs of the program as modal forms over `parent`.
class CFormDialogRunner : public tessmor::DialogRunner {
 public:
  explicit CFormDialogRunner(QWidget* parent = nullptr) : parent_(parent) {}
  void set_parent(QWidget* parent) { parent_ = parent; }
  /// The form of `resource_id` until OK (accepted by the model) or Cancel. A dialog
  /// without a form is cancelled.
  bool DoModal(tessmor::DialogModel& dialog, int resource_id) override;

 private:
  QWidget* parent_;
};

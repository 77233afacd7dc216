#pragma once

#include <QDialog>
#include <functional>
#include <map>

#include "platform/gdi/GdiTypes.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessmor {
class DialogModel;
}

/// The form of one of the chart's style dialogs (the pen, marker, character-style and
/// fill-style editors): number edits, lists for the model's radio groups, check boxes for
/// its on/off groups and colour buttons that open the desktop's colour dialog. OK copies
/// every control into the model and closes only when the model's OnOK accepts; Cancel
/// closes without touching the model's members.
class CStyleForm : public QDialog {
  Q_OBJECT
 public:
  /// Builds the form of dialog `resource_id` on `model` and runs the model's OnInitDialog.
  CStyleForm(tessmor::DialogModel& model, int resource_id, QWidget* parent = nullptr);
  ~CStyleForm() override;

  /// True when there is a style form for dialog `resource_id`.
  static bool HasForm(int resource_id);

  QComboBox* combo(int id) const;
  QLineEdit* edit(int id) const;
  QCheckBox* check(int id) const;
  QPushButton* colourButton(int id) const;
  QPushButton* button(int id) const;
  QLabel* text(int id) const;
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  /// The colour of colour button `id`, as the colour dialog would set it.
  void SetColour(int id, tessmor::COLORREF colour);
  tessmor::COLORREF Colour(int id) const;

  void accept() override;

 private:
  void BuildPen();
  void BuildMarker();
  void BuildTextStyle();
  void BuildFill();
  void AddCombo(int id, const char* label, std::initializer_list<const char*> choices);
  QComboBox* AddCombo(int id, const char* label);
  void AddEdit(int id, const char* label, const char* unit);
  void AddCheck(int id, const char* label);
  void AddColour(int id, const char* label);
  void AddButton(int id, const char* text, std::function<void()> handler);
  void AddText(int id, const char* label);
  void ToModel();
  void FromModel();

  tessmor::DialogModel& model_;
  QFormLayout* fields_ = nullptr;
  std::map<int, QComboBox*> combos_;
  std::map<int, QLineEdit*> edits_;
  std::map<int, QCheckBox*> checks_;
  std::map<int, QPushButton*> colours_;
  std::map<int, tessmor::COLORREF> colour_values_;
  std::map<int, QPushButton*> buttons_;
  std::map<int, QLabel*> texts_;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

#pragma once

#include <map>
#include <string>

#include "platform/PlatformExport.h"

namespace tessmor {

/// The controls of a dialog without any widget: the text of each edit, the chosen button of
/// each radio group, which controls are enabled, and which has the focus. A form on the
/// desktop mirrors this state; tests and the batch tool type into it directly.
///
/// Members move to the controls with UpdateData(false) and back with UpdateData(true); a
/// control whose text is not a valid number shows "Please enter a number." (or "Please enter
/// an integer."), takes the focus, and the exchange fails.
class TESSMOR_PLATFORM_EXPORT DialogModel {
 public:
  virtual ~DialogModel();

  void SetText(int id, const std::string& text) { texts_[id] = text; }
  std::string GetText(int id) const;
  /// The chosen button of the radio group whose first button is `id` (-1: none chosen).
  void SetRadio(int id, int index) { radios_[id] = index; }
  int GetRadio(int id) const;
  void Enable(int id, bool enabled) { disabled_[id] = !enabled; }
  bool IsEnabled(int id) const;
  int focus() const { return focus_; }
  void SetFocus(int id) { focus_ = id; }

  /// Fills the controls from the members (the dialog is being shown).
  virtual void OnInitDialog();
  /// The OK button: reads the controls and checks them. True when the dialog may close.
  virtual bool OnOK();
  /// Moves the members to the controls (`save` false) or back (`save` true).
  /// False when a control could not be read.
  bool UpdateData(bool save);

 protected:
  /// Exchanges every member with its control; false on the first control that fails.
  virtual bool DoDataExchange(bool save) = 0;
  bool ExchangeFloat(int id, float& value, bool save);
  bool ExchangeDouble(int id, double& value, bool save);
  bool ExchangeInt(int id, int& value, bool save);
  bool ExchangeText(int id, std::string& value, bool save, std::size_t max_chars = 0);
  bool ExchangeRadio(int id, int& value, bool save);
  /// After a read: a value outside [min, max] shows "Please enter a number between MIN and
  /// MAX." (limits as the edit shows them), takes the focus and fails.
  bool CheckRange(int id, float value, float min, float max, bool save);
  /// Shows a message box (through the process-wide prompts).
  static int Message(const std::string& text, unsigned style);

 private:
  std::map<int, std::string> texts_;
  std::map<int, int> radios_;
  std::map<int, bool> disabled_;
  int focus_ = 0;
};

/// Reads a number the way the dialogs do: optional blanks, a decimal number, optional blanks,
/// nothing else. False when the text is not such a number.
TESSMOR_PLATFORM_EXPORT bool ParseDialogDouble(const std::string& text, double& value);

}  // namespace tessmor

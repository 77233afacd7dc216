#pragma once

#include <QDialog>

class QIcon;
class QLabel;

/// The program's icon (the windows, the splash, the About box and the desktop use it).
QIcon ProgramIcon();

/// The About box: the program's icon, title, version and purpose, a link to the user manual,
/// and an OK button.
class CAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutBox(QWidget* parent = nullptr);

  static constexpr const char* kTitle = "Gravity Modelling Program:  Version 3.2";
  static constexpr const char* kDescription =
      "A program for analysing 2D gravity anomalies and performing simple dual density models";

  /// The link to the manual (its click opens the manual's page, see OpenManualPage).
  QLabel* manualLink() const { return link_; }

 private:
  QLabel* link_ = nullptr;
};

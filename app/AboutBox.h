#pragma once

#include <QDialog>

/// The About box: the program's title, version and purpose, and an OK button.
class CAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutBox(QWidget* parent = nullptr);

  static constexpr const char* kTitle = "Gravity Modelling Program:  Version 3.2";
  static constexpr const char* kDescription =
      "A program for analysing 2D gravity anomalies and performing simple dual density models";
};

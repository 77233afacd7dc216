// tessmor: the desktop program for modelling gravity profiles.
#include <QApplication>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/MainFrame.h"
#include "app/QtSettings.h"
#include "app/SplashScreen.h"
#include "app/TessmorApp.h"
#include "platform/io/Settings.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setOrganizationName(tessmor::kCompanyName);
  QApplication::setApplicationName(tessmor::kSettingsAppName);
  QApplication::setWindowIcon(ProgramIcon());
  // The desktop finds the program's entry (and its icon) by this name.
  QGuiApplication::setDesktopFileName("tessmor");
  // No display name: the desktop would append it to the caption, which names the program
  // already.
  tessmor::QtSettings settings;
  tessmor::SetSettings(&settings);
  int status = 1;
  try {
    CTessmorApp app;
    app.mainFrame().show();
    std::vector<std::string> args;
    for (const QString& a : QApplication::arguments().mid(1)) args.push_back(a.toStdString());
    // A plain start (no file named) shows the splash over the new project.
    if (args.empty()) (new CSplashScreen)->Start();
    app.ProcessCommandLine(args);
    status = QApplication::exec();
  } catch (const std::exception& e) {
    std::cerr << "tessmor: " << e.what() << "\n";
  }
  tessmor::SetSettings(nullptr);
  return status;
}

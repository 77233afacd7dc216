#pragma once

#include <QSplashScreen>

/// The start-up splash: the program's title and purpose over its icon, shown for 3.5 s or
/// until a key or a mouse button is pressed anywhere in the program.
class CSplashScreen : public QSplashScreen {
  Q_OBJECT
 public:
  static constexpr int kShowMilliseconds = 3500;

  CSplashScreen();
  ~CSplashScreen() override;
  /// Shows the splash and starts its timer.
  void Start();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

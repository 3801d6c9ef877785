#pragma once

#include <QApplication>

namespace dovetrel {

/// The application: one per process. It takes no command-line arguments of its own (Qt's own,
/// such as -platform, still work) and keeps no settings.
class CDovetrelApp : public QApplication {
  Q_OBJECT

public:
  CDovetrelApp(int& argc, char** argv);

  /// Installs the Russian texts of the standard buttons and choosers, runs the main dialog until
  /// the operator leaves it, and returns the process exit code.
  int InitInstance();
};

} // namespace dovetrel

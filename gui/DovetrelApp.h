#pragma once

#include <QApplication>

#include <string>
#include <vector>

namespace dovetrel {

/// The application: one per process. Qt takes its own arguments (such as -platform); of the rest,
/// an IVR scenario file opens the window with that file (see ParseStartArguments). It keeps no
/// settings.
class CDovetrelApp : public QApplication {
  Q_OBJECT

public:
  CDovetrelApp(int& argc, char** argv);

  /// Installs the Russian texts of the standard buttons and choosers, runs the main dialog until
  /// the operator leaves it, and returns the process exit code. Arguments it leaves aside are
  /// named on standard error.
  int InitInstance();

private:
  std::vector<std::string> m_vecArguments; ///< the arguments Qt left, as bytes, without argv[0]
};

} // namespace dovetrel

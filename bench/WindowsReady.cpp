// How long the call-flow window and the call window take, on the largest set the table holds, from
// the click on their dialog button to being shown, exposed and active: ready for a person's input.
// The application starts as dovetrel does, with the set's main file on its command line.

#include "bench/BenchSets.h"
#include "gui/DovetrelApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

/// The top-level window named \p szName, once it is visible, exposed and active.
bool Ready(const char* szName) {
  for (QWidget* pWidget : QApplication::topLevelWidgets())
    if (pWidget->objectName() == QLatin1String(szName))
      return pWidget->isVisible() && pWidget->windowHandle() &&
             pWidget->windowHandle()->isExposed() && pWidget->isActiveWindow();
  return false;
}

/// Clicks the dialog's button \p szButton, waits for window \p szWindow and prints the time; then
/// calls \p next.
void Measure(const char* szButton, const char* szWindow, const std::function<void()>& next) {
  auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (!pDialog || !pDialog->isVisible()) {
    QTimer::singleShot(1, [=] { Measure(szButton, szWindow, next); });
    return;
  }
  const Clock::time_point start = Clock::now();
  pDialog->findChild<QAbstractButton*>(QLatin1String(szButton))->click();
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [=] {
    if (!Ready(szWindow)) {
      QTimer::singleShot(0, *poll);
      return;
    }
    const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start);
    std::printf("%s %.1f\n", szWindow, elapsed.count());
    next();
  };
  QTimer::singleShot(0, *poll);
}

} // namespace

/// Prints "flowWindow MS" and "callWindow MS": the milliseconds each window took to be ready.
int main(int argc, char** argv) {
  const dovetrel::bench::CBenchSet set = dovetrel::bench::CBenchSet::Largest();
  std::string strMain = set.MainFile();
  char* qtArgv[] = {argv[0], strMain.data(), nullptr};
  int nQtArgc = argc > 0 ? 2 : 0;
  dovetrel::CDovetrelApp app(nQtArgc, qtArgv);
  // A window that never comes (a box in its place) ends the run as a failure.
  QTimer::singleShot(30000, [] {
    std::fprintf(stderr, "a window was not ready within 30 s\n");
    std::exit(1);
  });
  QTimer::singleShot(0, [] {
    Measure("showFlowButton", "flowWindow", [] {
      Measure("checkCallButton", "callWindow",
              [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->done(0); });
    });
  });
  return app.InitInstance();
}

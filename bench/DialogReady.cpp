// How long the dialog takes to be shown and ready for input: the application starts exactly as
// dovetrel does, and the first moment its dialog is visible, exposed and has the focus in a field
// is measured against the process start time the caller passes in.

#include "gui/DovetrelApp.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

long long NowNanoseconds() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

/// Polls from the event loop until the dialog is ready, prints the time and ends the dialog.
void WhenReady(long long nStartNanoseconds) {
  auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  const bool bReady = pDialog && pDialog->isVisible() && pDialog->windowHandle() &&
                      pDialog->windowHandle()->isExposed() &&
                      qobject_cast<QLineEdit*>(QApplication::focusWidget());
  if (!bReady) {
    QTimer::singleShot(0, [nStartNanoseconds] { WhenReady(nStartNanoseconds); });
    return;
  }
  std::printf("%.1f\n", static_cast<double>(NowNanoseconds() - nStartNanoseconds) / 1e6);
  pDialog->done(0);
}

} // namespace

/// Usage: dovetrel_dialog_ready START_NS, START_NS being when the caller started the process
/// (nanoseconds since the epoch, as `date +%s%N` prints). Prints the milliseconds to readiness.
int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s START_NS\n", argv[0]);
    return 2;
  }
  const long long nStart = std::strtoll(argv[1], nullptr, 10);
  int nQtArgc = 1;
  dovetrel::CDovetrelApp app(nQtArgc, argv);
  QTimer::singleShot(0, [nStart] { WhenReady(nStart); });
  return app.InitInstance();
}

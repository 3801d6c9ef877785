#include "gui/DovetrelApp.h"

#include "gui/DovetrelDlg.h"
#include "gui/QtDialogServices.h"

namespace dovetrel {

CDovetrelApp::CDovetrelApp(int& argc, char** argv) : QApplication(argc, argv) {}

int CDovetrelApp::InitInstance() {
  InstallRussianTranslation(); // without it every box still sets its own Russian button texts
  setWindowIcon(ApplicationIcon());
  CQtDialogServices services;
  CDovetrelDlg dlg(services);
  services.SetOwner(&dlg);
  dlg.exec();
  return 0;
}

} // namespace dovetrel

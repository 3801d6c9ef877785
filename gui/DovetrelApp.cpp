#include "gui/DovetrelApp.h"

#include "gui/DovetrelDlg.h"
#include "gui/QtDialogServices.h"
#include "gui/StartArguments.h"

#include <algorithm>
#include <iostream>

namespace dovetrel {

// QApplication takes its own arguments out of argc and argv; what is left is ours.
CDovetrelApp::CDovetrelApp(int& argc, char** argv)
    : QApplication(argc, argv), m_vecArguments(argv + std::min(argc, 1), argv + argc) {}

int CDovetrelApp::InitInstance() {
  const StartRequest request = ParseStartArguments(m_vecArguments);
  for (const std::string& strNote : request.vecNotes)
    std::cerr << "dovetrel: " << strNote << '\n';
  if (!request.vecNotes.empty())
    std::cerr << "  справка: dovetrel --help\n";
  InstallRussianTranslation(); // without it every box still sets its own Russian button texts
  setWindowIcon(ApplicationIcon());
  CQtDialogServices services;
  CDovetrelDlg dlg(services);
  services.SetOwner(&dlg);
  if (!request.strIvrFile.empty())
    dlg.OpenIvrFile(request.strIvrFile);
  dlg.exec();
  return 0;
}

} // namespace dovetrel

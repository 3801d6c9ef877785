#include "gui/DovetrelApp.h"

int main(int argc, char** argv) {
  dovetrel::CDovetrelApp app(argc, argv);
  return app.InitInstance();
}

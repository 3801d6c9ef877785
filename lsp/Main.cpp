#include "convert/Version.h"
#include "lsp/LanguageServer.h"

#include <cstring>
#include <iostream>

/// dovetrel-lsp: the language server of the scenario files, speaking the protocol over standard
/// input and output. Editors start it with no argument.
int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "dovetrel-lsp " << dovetrel::Version() << '\n';
    return 0;
  }
  if (argc > 1) {
    std::cout << "Использование: dovetrel-lsp [--help] [--version]\n"
                 "Сервер языка для файлов сценария IVR: редактор запускает его без аргументов и\n"
                 "обменивается с ним сообщениями Language Server Protocol через стандартные ввод и "
                 "вывод.\n\n"
                 "Коды завершения:\n"
                 "  0 — сервер остановлен по shutdown и exit\n"
                 "  1 — ввод кончился или оборвался без shutdown\n";
    return std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
  }
  std::ios::sync_with_stdio(false);
  dovetrel::CLanguageServer server(std::cout);
  return server.Run(std::cin);
}

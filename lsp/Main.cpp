#include "convert/Version.h"
#include "lsp/LanguageServer.h"

#include <iostream>
#include <string_view>

namespace {

constexpr std::string_view kHelp =
    "Использование: dovetrel-lsp [-h | --help | -V | --version]\n"
    "\n"
    "Сервер языка (Language Server Protocol) для файлов сценария IVR: редактор запускает его\n"
    "без аргументов и обменивается с ним сообщениями через стандартные ввод и вывод. Пока автор\n"
    "пишет, редактор показывает всё, что находит dovetrel-convert --check, в самих строках.\n"
    "\n"
    "  -h, --help     показать эту справку\n"
    "  -V, --version  показать версию\n"
    "\n"
    "Коды завершения: 0 — сервер остановлен запросом shutdown и уведомлением exit;\n"
    "1 — ввод кончился или оборвался, или exit пришёл без shutdown; 2 — неверный вызов.\n";

} // namespace

/// dovetrel-lsp: the language server of the scenario files over standard input and output.
int main(int argc, char** argv) {
  const std::string_view argument = argc > 1 ? argv[1] : "";
  if (argc == 2 && (argument == "-V" || argument == "--version")) {
    std::cout << "dovetrel-lsp " << dovetrel::Version() << '\n';
    return 0;
  }
  if (argc == 2 && (argument == "-h" || argument == "--help")) {
    std::cout << kHelp;
    return 0;
  }
  if (argc > 1) {
    std::cerr << kHelp;
    return 2;
  }
  std::ios::sync_with_stdio(false);
  dovetrel::CLanguageServer server(std::cout);
  return server.Run(std::cin);
}

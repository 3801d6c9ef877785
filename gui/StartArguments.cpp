#include "gui/StartArguments.h"

#include <QFile>
#include <QUrl>

namespace dovetrel {

namespace {

constexpr std::string_view kUsage =
    R"(Использование:
  dovetrel [IVR_FILE]
  dovetrel --help | --version

Открывает окно Dovetrel. Если указан IVR_FILE, он подставляется в поле файла
сценария IVR, а в поле файла сценария VoiceXML предлагается имя рядом с ним.
Параметры Qt, например -platform offscreen, принимаются как обычно.

  -h, --help         показать эту справку
  -V, --version      показать версию
)";

/// \p strArgument as a path: a file:// address is decoded, anything else stands as it is.
std::string PathOf(const std::string& strArgument) {
  if (strArgument.rfind("file://", 0) != 0)
    return strArgument;
  const QUrl url(QString::fromUtf8(strArgument.data(), qsizetype(strArgument.size())));
  return url.isLocalFile() ? QFile::encodeName(url.toLocalFile()).toStdString() : strArgument;
}

} // namespace

StartRequest ParseStartArguments(const std::vector<std::string>& args) {
  StartRequest request;
  bool bOptions = true;
  for (const std::string& arg : args) {
    if (bOptions && arg == "--") {
      bOptions = false;
    } else if (bOptions && (arg == "-h" || arg == "--help")) {
      request.bHelp = true;
    } else if (bOptions && (arg == "-V" || arg == "--version")) {
      request.bVersion = true;
    } else if (bOptions && arg.size() > 1 && arg[0] == '-') {
      request.vecNotes.push_back("неизвестный параметр " + arg + " пропущен");
    } else if (request.strIvrFile.empty()) {
      request.strIvrFile = PathOf(arg);
    } else {
      request.vecNotes.push_back("лишний аргумент " + arg + " пропущен");
    }
  }
  return request;
}

std::string_view StartUsage() {
  return kUsage;
}

} // namespace dovetrel

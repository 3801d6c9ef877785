#include "scenario/Paths.h"

#include "scenario/Tokenize.h"

#include <filesystem>

namespace dovetrel {

std::string FullPath(const std::string& strPath) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(strPath, error);
  return error ? strPath : full.string();
}

std::string DirectoryOf(std::string_view path) {
  const std::size_t nSlash = path.rfind('/');
  return nSlash == std::string_view::npos ? std::string() : std::string(path.substr(0, nSlash + 1));
}

std::string_view FileNameOf(std::string_view path) {
  const std::size_t nSlash = path.rfind('/');
  return nSlash == std::string_view::npos ? path : path.substr(nSlash + 1);
}

std::string NamePart(const std::string& strPath) {
  return std::string(FileNameOf(FullPath(strPath)));
}

std::string_view ScenarioName(std::string_view text) {
  std::ptrdiff_t nPos = 0;
  return Tokenize(text, ".", nPos);
}

} // namespace dovetrel

#include "fuzz/FuzzScenarioSet.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace dovetrel::fuzz {

std::string TakeEncoding(std::string_view& input) {
  if (input.empty() || input.front() != kEncodingMark)
    return {};
  const std::size_t nEnd = input.find('\n');
  if (nEnd == std::string_view::npos || nEnd > kMaxEncodingName)
    return {};
  std::string strName(input.substr(1, nEnd - 1));
  input.remove_prefix(nEnd + 1);
  return strName;
}

std::vector<ScenarioFile> SplitInput(std::string_view input) {
  std::vector<ScenarioFile> files;
  for (;;) {
    const std::string strName = std::string(1, static_cast<char>('a' + files.size())) + ".ivr";
    const std::size_t nEnd =
        files.size() + 1 < kMaxFiles ? input.find(kFileSeparator) : std::string_view::npos;
    files.push_back(ScenarioFile{strName, input.substr(0, nEnd)});
    if (nEnd == std::string_view::npos)
      return files;
    input.remove_prefix(nEnd + kFileSeparator.size());
  }
}

std::unique_ptr<IInputFile> CConfinedFiles::Open(const std::string& strPath,
                                                 std::string& strReason) {
  // Relative paths only, and none that climbs out: the directory's own name is never compared, so
  // no byte of it reaches the fuzzer's view of the comparisons.
  const std::filesystem::path normal = std::filesystem::path(strPath).lexically_normal();
  if (normal.is_absolute() || normal.empty() || *normal.begin() == "..") {
    strReason = std::strerror(ENOENT);
    return nullptr;
  }
  return SystemInputFiles().Open(strPath, strReason);
}

} // namespace dovetrel::fuzz

#pragma once

#include "scenario/TextFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel::fuzz {

/// The line that separates two scenario files in a fuzzer input.
inline constexpr std::string_view kFileSeparator = "\n%%\n";
/// Files of one input at most; the last one keeps whatever follows, separators included.
inline constexpr std::size_t kMaxFiles = 8;

/// What an input may begin with: a line naming the code page to convert from, as the command
/// line's --encoding does ("@KOI8-R\n"). Without it the code page is taken from the texts.
inline constexpr char kEncodingMark = '@';
/// Bytes of a code page name at most; a longer first line is no such line.
inline constexpr std::size_t kMaxEncodingName = 40;

/// Takes the code page line, if any, off the front of \p input and returns the name.
std::string TakeEncoding(std::string_view& input);

/// One scenario file of an input.
struct ScenarioFile {
  std::string strName; ///< "a.ivr" for the first (the main file), "b.ivr" for the second...
  std::string_view content;
};

/// Cuts a fuzzer input into scenario files at each kFileSeparator. Always at least one file.
std::vector<ScenarioFile> SplitInput(std::string_view input);

/// The real file system, but only inside the working directory: a menu line that names a path
/// outside it ("../../etc/passwd", "/proc/...") is refused as a missing file would be, so that no
/// input can read or block on anything else on the machine.
class CConfinedFiles final : public IInputFiles {
public:
  std::unique_ptr<IInputFile> Open(const std::string& strPath, std::string& strReason) override;
};

} // namespace dovetrel::fuzz

#pragma once

#include "flow/CallFlow.h"
#include "scenario/ScenarioTable.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// A set as the server last checked it, with the open buffers standing in for their files: what
/// the requests on a file (navigation, hover, outline, colours) read, so none reads the set again.
struct CheckedSet {
  std::string strRoot;  ///< path of its main file
  CScenarioTable table; ///< as the conversion reads it; partly filled when the load failed
  CallFlow flow;        ///< of the table
  /// The lines of every file of the set as the reader splits them, line ends removed, by path.
  std::map<std::string, std::vector<std::string>> lines;

  /// Line \p nLine (1-based) of \p strPath; empty past the end or for a file not of the set.
  std::string_view Line(const std::string& strPath, int nLine) const;
  /// The protocol's position of byte column \p nColumn (1-based; 0: the end of the line).
  nlohmann::json Position(const std::string& strPath, int nLine, std::uint64_t nColumn) const;
  /// The 1-based byte column of the protocol's \p position (a UTF-16 offset) on its line.
  std::uint64_t ByteColumn(const std::string& strPath, const nlohmann::json& position) const;
};

/// \p text split into lines as the reader splits them ('\n', a CR before it dropped).
std::vector<std::string> SplitLines(std::string_view text);

} // namespace dovetrel

#pragma once

#include "lsp/CheckedSet.h"
#include "scenario/Finding.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dovetrel::test {

/// Scenario files in memory, full path to content.
using Files = std::map<std::string, std::string>;

/// The set of \p strRoot among \p files checked as the language server checks it: its table,
/// flow and the lines of every file read; its findings into \p pFindings when given.
std::unique_ptr<CheckedSet> CheckInMemory(const Files& files, const std::string& strRoot,
                                          const std::string& strEncoding = {},
                                          std::vector<Finding>* pFindings = nullptr);

} // namespace dovetrel::test

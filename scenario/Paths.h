#pragma once

#include <string>
#include <string_view>

namespace dovetrel {

/// \p strPath made absolute (not resolved); \p strPath itself if that fails.
std::string FullPath(const std::string& strPath);

/// \p path up to and including its last '/'; empty when it has none.
std::string DirectoryOf(std::string_view path);

/// What follows the last '/' of \p path; all of it when it has none.
std::string_view FileNameOf(std::string_view path);

/// What follows the last '/' of \p strPath made absolute: the name a scenario-file row carries.
std::string NamePart(const std::string& strPath);

/// The name a scenario's form and field take from \p text: its first run of bytes other than '.'
/// (a leading dot is passed over), as the word splitter cuts it.
std::string_view ScenarioName(std::string_view text);

} // namespace dovetrel

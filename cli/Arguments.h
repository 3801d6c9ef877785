#pragma once

#include "vxml/VoiceXmlWriter.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// Takes the value of option \p name ("--name VALUE" or "--name=VALUE") at \p args[i] into
/// \p strValue, moving \p i past it; false when \p args[i] is another option. A missing value is a
/// mistake, said in \p strError with \p what naming what the option needs.
bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
                     std::string_view what, std::string& strValue, std::string& strError);

/// The dialect named \p strName ("classic", "w3c"); nothing for an unknown name.
std::optional<Dialect> ParseDialect(const std::string& strName);

/// The mistake of an unknown dialect name, in the words of the command line.
std::string UnknownDialect(const std::string& strName);

} // namespace dovetrel

#include "cli/Arguments.h"

namespace dovetrel {

bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
                     std::string_view what, std::string& strValue, std::string& strError) {
  const std::string& arg = args[i];
  if (arg == name) {
    if (i + 1 == args.size()) {
      strError = "параметру " + std::string(name) + " нужно " + std::string(what);
      return true;
    }
    strValue = args[++i];
    return true;
  }
  if (arg.size() <= name.size() || arg.compare(0, name.size(), name) != 0 ||
      arg[name.size()] != '=')
    return false;
  strValue = arg.substr(name.size() + 1);
  return true;
}

std::optional<Dialect> ParseDialect(const std::string& strName) {
  if (strName == "classic")
    return Dialect::Classic;
  if (strName == "w3c")
    return Dialect::W3c;
  return std::nullopt;
}

std::string UnknownDialect(const std::string& strName) {
  return "неизвестный вид документа " + strName + " (classic или w3c)";
}

} // namespace dovetrel

#pragma once

#include "vxml/VoiceXmlWriter.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace dovetrel {

/// One program's command line, declared once: CLI11 reads the arguments by the declarations and
/// writes --help from them, in the program's own layout; a mistake is said in its own words.
class CCommandLine final : public CLI::App {
public:
  /// \p szHelp is the help; the line "%OPTIONS%" in it stands for the list of options.
  CCommandLine(const char* szProgram, const char* szHelp);

  /// Declares an option with a value into \p value; \p szValue names it in the help, \p szWhat in
  /// "параметру --NAME нужно WHAT"; \p mistake says what is wrong with the last value given.
  template <typename Value>
  CLI::Option* AddValue(const std::string& strName, Value& value, const char* szValue,
                        const char* szWhat, const std::string& strHelp,
                        std::function<std::string(const std::string&)> mistake = {}) {
    const auto take = [&value, mistake = std::move(mistake)](const std::string& strValue) {
      if (const std::string strMistake = mistake ? mistake(strValue) : ""; !strMistake.empty())
        throw CLI::ValidationError(strMistake);
      value = strValue;
    };
    return add_option_function<std::string>(strName, take, strHelp)
        ->option_text(szValue)
        ->type_name(szWhat);
  }

  /// Declares --dialect and --encoding, how both programs read a scenario set. With \p pBoth,
  /// --dialect also takes "both", which sets *pBoth.
  void AddSetOptions(Dialect& dialect, std::string& strEncoding, const char* szDialectHelp,
                     const char* szEncodingHelp, bool* pBoth = nullptr);

  /// Reads \p args (after the program name); prints help or the version to \p out, a mistake (of
  /// CLI11 or \p relations, what the options get wrong together) to \p err, and returns the exit
  /// status then (0, 2); nothing when the program goes on.
  [[nodiscard]] std::optional<int> Read(const std::vector<std::string>& args, std::ostream& out,
                                        std::ostream& err,
                                        const std::function<std::string()>& relations);

private:
  /// The words for CLI11, last first, up to the first option not declared, named in
  /// \p strUnknown. CLI11 reads "--name=" as "--name" and the next word, "-5" as a word, "-hV" as
  /// two flags, and lets a flag take a value: here an empty value and mistakes.
  std::vector<std::string> WordsOf(const std::vector<std::string>& args,
                                   std::string& strUnknown) const;
};

} // namespace dovetrel

#pragma once

#include "vxml/VoiceXmlWriter.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace dovetrel {

/// What a command line comes to once it is read.
enum class CommandLineRead {
  Run,      ///< the program goes on with what was asked
  Answered, ///< help or the version was printed
  Mistaken, ///< a mistake was said on standard error
};

/// One program's command line, declared once: CLI11 reads the arguments by the declarations and
/// writes --help from them, in the program's own layout; a mistake is said in its own words.
class CCommandLine final : public CLI::App {
public:
  /// \p szAbove is the help's text above the list of options (the usage lines and what the program
  /// does), \p szBelow its text below; each ends with a blank line, or a line end for the last.
  CCommandLine(const char* szProgram, const char* szAbove, const char* szBelow);

  /// Declares an option that takes a value into \p value: \p szValue names the value in the help,
  /// \p szWhat in the mistake of a missing one ("параметру --NAME нужно WHAT"); \p mistake, when
  /// given, says what is wrong with the value that holds (the last one given), or nothing.
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

  /// Declares --dialect and --encoding, how both programs read a scenario set, into \p dialect
  /// and \p strEncoding; \p szDialect and \p szEncoding describe them.
  void AddSetOptions(Dialect& dialect, std::string& strEncoding, const char* szDialect,
                     const char* szEncoding);

  /// Reads \p args (those after the program name); help and the version go to \p out, a mistake to
  /// \p err. \p relations says what the options get wrong together, empty when nothing.
  [[nodiscard]] CommandLineRead Read(const std::vector<std::string>& args, std::ostream& out,
                                     std::ostream& err,
                                     const std::function<std::string()>& relations);

private:
  /// The mistake in \p args, CLI11's or \p relations', or empty, with \p bAnswer true when
  /// help or the version was asked for.
  std::string MistakeOf(const std::vector<std::string>& args, bool& bAnswer,
                        const std::function<std::string()>& relations);
  /// The words for CLI11, last first, up to the first option that is not declared, named in
  /// \p strUnknown. A value goes in its own word: CLI11 reads "--name=" as "--name" and the next
  /// word, and lets a flag take a value, where an empty value and a mistake are meant; and it
  /// reads "-5" or "-hV" as words or several flags, where this is an unknown option.
  std::vector<std::string> WordsOf(const std::vector<std::string>& args,
                                   std::string& strUnknown) const;
  /// The first word too many, left over by CLI11; null when there is none.
  const std::string* ExtraWord() const;

  std::string m_strProgram;
  std::string m_strVersion; ///< what --version prints
};

} // namespace dovetrel

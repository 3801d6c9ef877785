#include "cli/Options.h"

#include "convert/Version.h"
#include "vxml/TextCodec.h"

#include <algorithm>
#include <optional>
#include <ostream>

namespace dovetrel {

namespace {

constexpr std::size_t kDescriptionColumn = 21; ///< where the help's option descriptions start

/// The dialect named \p strName ("classic", "w3c"); nothing for an unknown name.
std::optional<Dialect> ParseDialect(const std::string& strName) {
  if (strName == "classic")
    return Dialect::Classic;
  if (strName == "w3c")
    return Dialect::W3c;
  return std::nullopt;
}

/// An option's names and value as the help lists them: "-h, --help", "--flow FILE", "VXML_FILE".
std::string NamesOf(const CLI::Option& option) {
  if (option.get_positional())
    return option.get_name(true);
  std::string strNames;
  for (const std::string& strShort : option.get_snames())
    strNames += "-" + strShort + ", ";
  for (const std::string& strLong : option.get_lnames())
    strNames += "--" + strLong + ", ";
  strNames.resize(strNames.size() - 2);
  if (!option.get_option_text().empty())
    strNames += " " + option.get_option_text();
  return strNames;
}

/// The help: the text above, every described option with its description beside it (its further
/// lines under the first), the text below.
std::string HelpOf(const CLI::App& app) {
  std::string strHelp = app.get_description();
  for (const CLI::Option* pOption :
       app.get_options([](const CLI::Option* p) { return !p->get_description().empty(); })) {
    const std::string strNames = "  " + NamesOf(*pOption);
    const auto nWidth = static_cast<std::size_t>(std::count_if(
        strNames.begin(), strNames.end(), [](char c) { return (c & 0xC0) != 0x80; })); // UTF-8
    strHelp +=
        strNames + std::string(kDescriptionColumn - std::min(nWidth, kDescriptionColumn), ' ');
    for (const char c : pOption->get_description()) {
      strHelp += c;
      if (c == '\n')
        strHelp += std::string(kDescriptionColumn, ' ');
    }
    strHelp += '\n';
  }
  return strHelp + '\n' + app.get_footer();
}

} // namespace

CCommandLine::CCommandLine(const char* szProgram, const char* szAbove, const char* szBelow)
    : CLI::App(szAbove, szProgram), m_strProgram(szProgram),
      m_strVersion(m_strProgram + ' ' + std::string(Version())) {
  footer(szBelow);
  formatter_fn(
      [](const CLI::App* pApp, const std::string&, CLI::AppFormatMode) { return HelpOf(*pApp); });
  allow_extras(); // said in the program's words by Read
  option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void CCommandLine::AddSetOptions(Dialect& dialect, std::string& strEncoding, const char* szDialect,
                                 const char* szEncoding) {
  // A wrong dialect is a mistake where it stands, even beside --help: checked as it is read.
  add_option_function<std::string>(
      "--dialect",
      [&dialect](const std::string& strName) {
        const std::optional<Dialect> named = ParseDialect(strName);
        if (!named)
          throw CLI::ConversionError("неизвестный вид документа " + strName + " (classic или w3c)");
        dialect = *named;
      },
      szDialect)
      ->option_text("DIALECT")
      ->type_name("название вида документа")
      ->trigger_on_parse();
  AddValue("--encoding", strEncoding, "NAME", "имя кодировки", szEncoding,
           [](const std::string& strName) {
             return strName.empty() || IsKnownEncoding(strName)
                        ? ""
                        : "неизвестная кодировка " + strName;
           });
}

CommandLineRead CCommandLine::Read(const std::vector<std::string>& args, std::ostream& out,
                                   std::ostream& err,
                                   const std::function<std::string()>& relations) {
  set_help_flag("-h,--help", "показать эту справку");
  set_version_flag("-V,--version", m_strVersion, "показать версию");
  bool bAnswer = false;
  const std::string strMistake = MistakeOf(args, bAnswer, relations);
  if (!strMistake.empty()) {
    err << "error: " << m_strProgram << ": " << strMistake << '\n'
        << "  справка: " << m_strProgram << " --help\n";
    return CommandLineRead::Mistaken;
  }
  if (!bAnswer)
    return CommandLineRead::Run;
  out << (get_help_ptr()->count() > 0 ? help() : m_strVersion + '\n');
  return CommandLineRead::Answered;
}

std::string CCommandLine::MistakeOf(const std::vector<std::string>& args, bool& bAnswer,
                                    const std::function<std::string()>& relations) {
  std::string strUnknown;
  std::string strMistake;
  try {
    parse(WordsOf(args, strUnknown));
    strMistake = relations();
  } catch (const CLI::ConversionError& error) {
    return error.what(); // a wrong dialect, before any unknown option
  } catch (const CLI::Success&) {
    bAnswer = true;
  } catch (const CLI::RequiredError&) {
    strMistake = relations();
    strMistake = strMistake.empty() ? "не указан файл сценария IVR" : strMistake;
  } catch (const CLI::ArgumentMismatch&) {
    // The last argument is an option that takes a value.
    strMistake = "параметру " + args.back() + " нужно " + get_option(args.back())->get_type_name();
  } catch (const CLI::ValidationError& error) {
    // A value's mistake (AddValue): help and the version answer whatever the values.
    bAnswer = get_help_ptr()->count() > 0 || get_version_ptr()->count() > 0;
    strMistake = bAnswer ? "" : error.what();
  }
  if (!strUnknown.empty()) {
    bAnswer = false;
    return "неизвестный параметр " + strUnknown;
  }
  const std::string* pExtra = ExtraWord();
  return strMistake.empty() && pExtra && !bAnswer ? "лишний аргумент " + *pExtra : strMistake;
}

std::vector<std::string> CCommandLine::WordsOf(const std::vector<std::string>& args,
                                               std::string& strUnknown) const {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      words.insert(words.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    if (arg.size() < 2 || arg[0] != '-') {
      words.push_back(arg);
      continue;
    }
    const std::size_t nEquals = arg.find('=');
    const CLI::Option* pOption = get_option_no_throw(arg.substr(0, nEquals));
    const bool bTakesValue = pOption && pOption->get_items_expected_max() > 0;
    if (!pOption || (!bTakesValue && nEquals != std::string::npos)) {
      strUnknown = arg; // CLI11 reads no further than this
      break;
    }
    words.push_back(arg.substr(0, nEquals));
    if (nEquals != std::string::npos)
      words.push_back(arg.substr(nEquals + 1));
    else if (bTakesValue && i + 1 < args.size())
      words.push_back(args[++i]);
  }
  std::reverse(words.begin(), words.end());
  return words;
}

const std::string* CCommandLine::ExtraWord() const {
  for (const auto& [kind, strWord] : missing_) {
    if (kind == CLI::detail::Classifier::NONE)
      return &strWord;
  }
  return nullptr;
}

} // namespace dovetrel

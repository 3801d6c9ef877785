#include "cli/Options.h"

#include "convert/Version.h"
#include "vxml/TextCodec.h"

#include <algorithm>
#include <ostream>

namespace dovetrel {

namespace {

constexpr std::size_t kDescriptionColumn = 21; ///< where the help's option descriptions start

/// The help: the text above, every described option with its description beside it (its further
/// lines under the first), the text below.
std::string HelpOf(const CLI::App& app) {
  std::string strHelp = app.get_description();
  for (const CLI::Option* pOption :
       app.get_options([](const CLI::Option* p) { return !p->get_description().empty(); })) {
    std::string strNames = "  " + pOption->get_name(false, true); // "-h,--help", "VXML_FILE"
    if (const std::size_t nComma = strNames.find(','); nComma != std::string::npos)
      strNames.insert(nComma + 1, " ");
    if (!pOption->get_option_text().empty())
      strNames += " " + pOption->get_option_text();
    const auto nWidth = static_cast<std::size_t>(std::count_if(
        strNames.begin(), strNames.end(), [](char c) { return (c & 0xC0) != 0x80; })); // UTF-8
    strHelp +=
        strNames + std::string(kDescriptionColumn - std::min(nWidth, kDescriptionColumn), ' ');
    for (const char c : pOption->get_description())
      strHelp += c == '\n' ? '\n' + std::string(kDescriptionColumn, ' ') : std::string(1, c);
    strHelp += '\n';
  }
  return strHelp + '\n' + app.get_footer();
}

} // namespace

CCommandLine::CCommandLine(const char* szProgram, const char* szAbove, const char* szBelow)
    : CLI::App(szAbove, szProgram) {
  footer(szBelow);
  formatter_fn(
      [](const CLI::App* pApp, const std::string&, CLI::AppFormatMode) { return HelpOf(*pApp); });
  option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void CCommandLine::AddSetOptions(Dialect& dialect, std::string& strEncoding,
                                 const char* szDialectHelp, const char* szEncodingHelp) {
  // A wrong dialect is a mistake where it stands, even beside --help: checked as it is read.
  add_option_function<std::string>(
      "--dialect",
      [&dialect](const std::string& strName) {
        if (strName != "classic" && strName != "w3c")
          throw CLI::ConversionError("неизвестный вид документа " + strName + " (classic или w3c)");
        dialect = strName == "w3c" ? Dialect::W3c : Dialect::Classic;
      },
      szDialectHelp)
      ->option_text("DIALECT")
      ->type_name("название вида документа")
      ->trigger_on_parse();
  AddValue("--encoding", strEncoding, "NAME", "имя кодировки", szEncodingHelp,
           [](const std::string& strName) {
             return strName.empty() || IsKnownEncoding(strName)
                        ? ""
                        : "неизвестная кодировка " + strName;
           });
}

std::optional<int> CCommandLine::Read(const std::vector<std::string>& args, std::ostream& out,
                                      std::ostream& err,
                                      const std::function<std::string()>& relations) {
  const std::string strVersion = get_name() + ' ' + std::string(Version());
  set_help_flag("-h,--help", "показать эту справку");
  set_version_flag("-V,--version", strVersion, "показать версию");
  std::string strUnknown;
  std::string strMistake;
  try {
    parse(WordsOf(args, strUnknown));
    strMistake = relations();
  } catch (const CLI::ConversionError& error) {
    strMistake = error.what(); // a wrong dialect, before any unknown option
    strUnknown.clear();
  } catch (const CLI::Success&) {
  } catch (const CLI::RequiredError&) {
    strMistake = relations().empty() ? "не указан файл сценария IVR" : relations();
  } catch (const CLI::ArgumentMismatch&) { // the last argument is an option that takes a value
    strMistake = "параметру " + args.back() + " нужно " + get_option(args.back())->get_type_name();
  } catch (const CLI::ValidationError& error) {
    if (get_help_ptr()->count() + get_version_ptr()->count() ==
        0) // they answer whatever the values
      strMistake = error.what();
  }
  strMistake = strUnknown.empty() ? strMistake : "неизвестный параметр " + strUnknown;
  if (!strMistake.empty()) {
    err << "error: " << get_name() << ": " << strMistake << "\n  справка: " << get_name()
        << " --help\n";
    return 2;
  }
  if (get_help_ptr()->count() + get_version_ptr()->count() == 0)
    return std::nullopt;
  out << (get_help_ptr()->count() > 0 ? help() : strVersion + '\n');
  return 0;
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

} // namespace dovetrel

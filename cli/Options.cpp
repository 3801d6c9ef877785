#include "cli/Options.h"

#include "convert/Version.h"
#include "text/TextCodec.h"

#include <algorithm>
#include <ostream>
#include <string_view>

namespace dovetrel {

namespace {

constexpr std::size_t kDescriptionColumn = 21; ///< where the help's option descriptions start
constexpr std::string_view kOptionsLine = "%OPTIONS%\n";

/// The help with every described option listed in place of its line "%OPTIONS%": the names, then
/// the description from a fixed column, its further lines under the first.
std::string HelpOf(const CLI::App& app) {
  std::string strList;
  for (const CLI::Option* pOption :
       app.get_options([](const CLI::Option* p) { return !p->get_description().empty(); })) {
    std::string strNames = "  " + pOption->get_name(false, true); // "-h,--help", "VXML_FILE"
    if (const std::size_t nComma = strNames.find(','); nComma != std::string::npos)
      strNames.insert(nComma + 1, " ");
    strNames += pOption->get_option_text().empty() ? "" : " " + pOption->get_option_text();
    const auto nWidth = static_cast<std::size_t>(std::count_if(
        strNames.begin(), strNames.end(), [](char c) { return (c & 0xC0) != 0x80; })); // UTF-8
    strList +=
        strNames + std::string(kDescriptionColumn - std::min(nWidth, kDescriptionColumn), ' ');
    for (const char c : pOption->get_description())
      strList += c == '\n' ? '\n' + std::string(kDescriptionColumn, ' ') : std::string(1, c);
    strList += '\n';
  }
  std::string strHelp = app.get_description();
  return strHelp.replace(strHelp.find(kOptionsLine), kOptionsLine.size(), strList);
}

} // namespace

CCommandLine::CCommandLine(const char* szProgram, const char* szHelp)
    : CLI::App(szHelp, szProgram) {
  formatter_fn(
      [](const CLI::App* pApp, const std::string&, CLI::AppFormatMode) { return HelpOf(*pApp); });
  option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void CCommandLine::AddSetOptions(Dialect& dialect, std::string& strEncoding,
                                 const char* szDialectHelp, const char* szEncodingHelp,
                                 bool* pBoth) {
  // A wrong dialect is a mistake where it stands, even beside --help: checked as it is read.
  add_option_function<std::string>(
      "--dialect",
      [&dialect, pBoth](const std::string& strName) {
        if (pBoth && strName == "both") {
          *pBoth = true;
          return;
        }
        if (strName != "classic" && strName != "w3c")
          throw CLI::ConversionError("неизвестный вид документа " + strName + " (classic или w3c)");
        dialect = strName == "w3c" ? Dialect::W3c : Dialect::Classic;
        if (pBoth)
          *pBoth = false; // the last --dialect holds
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
    if (get_help_ptr()->count() + get_version_ptr()->count() == 0) // help answers any value
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
  auto it = args.begin();
  for (; it != args.end() && *it != "--"; ++it) {
    if (it->size() < 2 || it->front() != '-') {
      words.push_back(*it);
      continue;
    }
    const std::size_t nEquals = it->find('=');
    const CLI::Option* pOption = get_option_no_throw(it->substr(0, nEquals));
    const bool bTakesValue = pOption && pOption->get_items_expected_max() > 0;
    if (!pOption || (!bTakesValue && nEquals != std::string::npos)) {
      strUnknown = *it; // CLI11 reads no further than this
      return {words.rbegin(), words.rend()};
    }
    words.push_back(it->substr(0, nEquals));
    if (nEquals != std::string::npos)
      words.push_back(it->substr(nEquals + 1));
    else if (bTakesValue && it + 1 != args.end())
      words.push_back(*++it);
  }
  words.insert(words.end(), it, args.end());
  return {words.rbegin(), words.rend()};
}

} // namespace dovetrel

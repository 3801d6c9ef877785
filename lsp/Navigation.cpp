#include "lsp/Navigation.h"

#include "lsp/Protocol.h"
#include "lsp/Texts.h"
#include "scenario/Paths.h"
#include "scenario/ScenarioReader.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>
#include <utility>

namespace dovetrel {
namespace {

using Json = nlohmann::json;

// The protocol's kinds of symbol and of completion item.
constexpr int kSymbolProperty = 7;
constexpr int kSymbolKey = 20;
constexpr int kItemValue = 12;
constexpr int kItemKeyword = 14;
constexpr int kItemFile = 17;

constexpr std::string_view kIvrExtension = ".ivr";
constexpr std::string_view kFieldPrefix = "Input_";
constexpr std::string_view kArrow = " → ";

/// A word of a line by its 0-based byte bounds; empty when the reader found none.
struct Span {
  std::size_t nStart = 0;
  std::size_t nEnd = 0;
  bool Empty() const { return nStart == nEnd; }
  /// True when a cursor before byte \p nByte stands in the word or right after it.
  bool Holds(std::size_t nByte) const { return !Empty() && nByte >= nStart && nByte <= nEnd; }
  std::string_view Of(std::string_view line) const { return line.substr(nStart, nEnd - nStart); }
};

/// The bounds of \p word, a view into \p line.
Span SpanOf(std::string_view line, std::string_view word) {
  if (word.empty())
    return {};
  const auto nStart = static_cast<std::size_t>(word.data() - line.data());
  return {nStart, nStart + word.size()};
}

/// Where a request stands: its line (1-based), the line's text and the byte the cursor is before.
struct Cursor {
  int nLine = 0;
  std::string_view line;
  std::size_t nByte = 0;
};

Cursor CursorAt(const CheckedSet& set, const std::string& strPath, const Json& position) {
  Cursor cursor;
  cursor.nLine = position.at("line").get<int>() + 1;
  cursor.line = set.Line(strPath, cursor.nLine);
  cursor.nByte = std::min<std::size_t>(set.ByteColumn(strPath, position) - 1, cursor.line.size());
  return cursor;
}

/// The argument of line \p nLine when it is a menu line; empty otherwise.
Span MenuArgument(std::string_view line, int nLine) {
  if (nLine < 2)
    return {};
  const KeyLineWords words = SplitKeyLine(line);
  return ParseActionKeyword(words.action) == kindMenu ? SpanOf(line, words.argument) : Span{};
}

/// The path of the nested file that the menu argument \p argument of \p line names.
std::string NamedPath(const CheckedSet& set, std::string_view line, Span argument) {
  return set.table.BaseDirectory() + std::string(argument.Of(line));
}

/// The file a request at \p cursor is about: the one a menu argument there names, or its own.
std::string TargetOf(const CheckedSet& set, const std::string& strPath, const Cursor& cursor) {
  const Span argument = MenuArgument(cursor.line, cursor.nLine);
  return argument.Holds(cursor.nByte) ? NamedPath(set, cursor.line, argument) : strPath;
}

bool IsFileOfSet(const CheckedSet& set, const std::string& strPath) {
  return std::ranges::find(set.table.FilePaths(), strPath) != set.table.FilePaths().end();
}

/// Calls \p visit(strFile, nLine, line, argument) for every menu line with an argument in the
/// files the check read, a file whose reading stopped included.
template <class Visit> void ForEachMenuLine(const CheckedSet& set, Visit visit) {
  for (const auto& [strFile, lines] : set.lines)
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const int nLine = static_cast<int>(i) + 1;
      const Span argument = MenuArgument(lines[i], nLine);
      if (!argument.Empty())
        visit(strFile, nLine, lines[i], argument);
    }
}

/// One menu argument naming a file.
struct MenuPlace {
  std::string strFile;
  int nLine = 0;
  Span argument;
};

std::vector<MenuPlace> MenuLinesNaming(const CheckedSet& set, const std::string& strTarget) {
  std::vector<MenuPlace> places;
  ForEachMenuLine(set,
                  [&](const std::string& strFile, int nLine, std::string_view line, Span argument) {
                    if (NamedPath(set, line, argument) == strTarget)
                      places.push_back({strFile, nLine, argument});
                  });
  return places;
}

Json WordRange(const CheckedSet& set, const std::string& strFile, int nLine, Span word) {
  return Json{{"start", set.Position(strFile, nLine, word.nStart + 1)},
              {"end", set.Position(strFile, nLine, word.nEnd + 1)}};
}

Json Location(std::string strUri, Json range) {
  return Json{{"uri", std::move(strUri)}, {"range", std::move(range)}};
}

Json FileStart() {
  const Json start{{"line", 0}, {"character", 0}};
  return Json{{"start", start}, {"end", start}};
}

std::string UriOf(const RequestSeams& seams, const std::string& strPath) {
  return seams.uriOf ? seams.uriOf(strPath) : UriFromPath(strPath);
}

std::vector<std::string> ListFolder(const RequestSeams& seams, const std::string& strFolder) {
  return seams.listFolder ? seams.listFolder(strFolder) : ListFolderFiles(strFolder);
}

/// A byte the checks take in a form name: ASCII letters, digits, '_' and '$', any byte above.
bool IsFormByte(char c) {
  return static_cast<unsigned char>(c) >= 0x80 || (c >= 'a' && c <= 'z') ||
         (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
}

/// Why \p name cannot name a nested file, or empty: the reader must take it whole as an argument
/// word and a row text, and the checks its form name.
std::string_view NameFault(std::string_view name) {
  if (name.empty())
    return text::kLspRenameEmpty;
  const bool bBadByte = std::ranges::any_of(name, [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F || c == '/';
  });
  const std::string_view form = ScenarioName(name);
  if (bBadByte || name.front() == '.' || !std::ranges::all_of(form, IsFormByte) ||
      !name.ends_with(kIvrExtension) || name.size() == kIvrExtension.size())
    return text::kLspRenameNotPlain;
  if (TableTextLength(name) >= kEntryTextSize ||
      TableTextLength(std::string(kFieldPrefix) + std::string(form)) >= kEntryTextSize)
    return text::kLspRenameTooLong;
  return {};
}

/// Why the file \p strTarget cannot be renamed at all, or empty.
std::string TargetRefusal(const CheckedSet& set, const std::string& strTarget) {
  if (strTarget == set.strRoot)
    return std::string(text::kLspRenameMain);
  if (!IsFileOfSet(set, strTarget))
    return std::string(text::kLspRenameNoFile) + std::string(FileNameOf(strTarget));
  return {};
}

/// A file that a menu line names and \p folder holds, but that the check never read: a load that
/// stopped early leaves its menu lines unseen, and a rename would miss them.
std::string UnreadNamedFile(const CheckedSet& set, const std::vector<std::string>& folder) {
  std::string strUnread;
  ForEachMenuLine(set, [&](const std::string&, int, std::string_view line, Span argument) {
    const std::string_view name = argument.Of(line);
    if (strUnread.empty() && !set.lines.contains(NamedPath(set, line, argument)) &&
        std::ranges::find(folder, name) != folder.end())
      strUnread = name;
  });
  return strUnread;
}

/// Why \p strTarget cannot take the name \p strName, or empty.
std::string RenameRefusal(const CheckedSet& set, const std::string& strTarget,
                          const std::string& strName, const RequestSeams& seams) {
  if (std::string strRefusal = TargetRefusal(set, strTarget); !strRefusal.empty())
    return strRefusal;
  if (const std::string_view fault = NameFault(strName); !fault.empty())
    return std::string(fault) + strName;
  const bool bAscii = std::ranges::none_of(strName, [](char c) { return c & 0x80; });
  if (!bAscii && DetectSourceEncoding(set.table) != kUtf8)
    return std::string(text::kLspRenameNotAscii) + strName;
  for (const std::string& strFile : set.table.FilePaths()) {
    const std::string_view name = FileNameOf(strFile);
    if (name == strName)
      return std::string(text::kLspRenameTaken) + strName;
    if (strFile != strTarget && ScenarioName(name) == ScenarioName(strName))
      return std::string(text::kLspRenameFormTaken) + std::string(name);
  }
  const std::vector<std::string> folder = ListFolder(seams, DirectoryOf(strTarget));
  if (std::ranges::find(folder, strName) != folder.end())
    return std::string(text::kLspRenameTaken) + strName;
  if (std::string strUnread = UnreadNamedFile(set, folder); !strUnread.empty())
    return std::string(text::kLspRenameUnread) + strUnread;
  return {};
}

/// What a key means to the caller, as the outline and completion describe it.
std::string KeyMeaning(char key) {
  switch (key) {
  case keyNoInput:
    return std::string(text::kLspOutlineNoInput);
  case keyBusy:
    return std::string(text::kLspOutlineBusy);
  case keyFax:
    return std::string(text::kLspOutlineFax);
  default:
    return std::string(text::kLspKey) + key;
  }
}

std::string_view ActionMeaning(EntryKind kind) {
  switch (kind) {
  case kindMenu:
    return text::kLspOutlineMenu;
  case kindDial:
    return text::kLspOutlineDial;
  case kindDisconnect:
    return text::kLspDisconnect;
  default:
    return text::kLspUnknownAction;
  }
}

/// One entry of the outline.
struct Symbol {
  std::string strName; ///< empty: the line gives none
  std::string strDetail;
  int nKind = kSymbolKey;
  Span selection; ///< the word the editor highlights; empty: the whole line
};

Symbol HeaderSymbol(std::string_view line) {
  const HeaderWords words = SplitHeaderLine(line);
  if (words.timeout.empty())
    return {};
  std::string strName(words.timeout);
  if (!words.greeting.empty())
    strName += std::string(kArrow) + std::string(words.greeting);
  return {strName, std::string(text::kLspHeader), kSymbolProperty, SpanOf(line, words.timeout)};
}

Symbol KeyLineSymbol(std::string_view line) {
  const KeyLineWords words = SplitKeyLine(line);
  const EntryKind kind = ParseActionKeyword(words.action);
  // The key as the author sees it: its whole first character, not its first byte alone.
  const std::string strKey =
      words.key.empty() ? std::string(text::kLspNoKey)
                        : std::string(words.key.substr(
                              0, std::max<std::size_t>(Utf8SequenceLength(words.key, 0), 1)));
  std::string strName = strKey + std::string(kArrow) +
                        (words.action.empty() ? std::string("?") : std::string(words.action));
  if (kind != kindDisconnect && !words.argument.empty())
    strName += " " + std::string(words.argument);
  std::string strDetail =
      words.key.empty() ? std::string(text::kLspNoKey) : KeyMeaning(words.key.front());
  strDetail += ": " + std::string(ActionMeaning(kind));
  return {strName, strDetail, kSymbolKey, SpanOf(line, words.key)};
}

/// The slot of a key line that completion fills.
enum class Slot { None, Key, Action, Argument };

/// The slot of the word \p word (the cursor's, possibly empty) on the key line \p line.
Slot SlotOf(std::string_view line, Span word) {
  if (word.nStart == static_cast<std::size_t>(kKeyColumn))
    return Slot::Key;
  const KeyLineWords words = SplitKeyLine(line);
  const Span action = SpanOf(line, words.action);
  const bool bAtAction =
      action.Empty() || (action.nStart >= word.nStart && action.nStart <= word.nEnd);
  if (bAtAction && word.nStart < static_cast<std::size_t>(kArgumentColumn))
    return Slot::Action;
  if (!action.Empty() && word.nStart >= action.nEnd && ParseActionKeyword(words.action) == kindMenu)
    return Slot::Argument;
  return Slot::None;
}

/// The word around the cursor \p nByte of \p line: empty at the cursor when it stands between
/// spaces.
Span WordAround(std::string_view line, std::size_t nByte) {
  Span word{nByte, nByte};
  while (word.nStart > 0 && line[word.nStart - 1] != ' ')
    --word.nStart;
  while (word.nEnd < line.size() && line[word.nEnd] != ' ')
    ++word.nEnd;
  return word;
}

/// A completion item that puts \p label at \p nColumn (0-based) in place of \p word.
Json Item(const std::string& strLabel, int nKind, std::string_view detail, const Json& range,
          std::size_t nStart, std::ptrdiff_t nColumn) {
  const std::size_t nPad =
      nStart < static_cast<std::size_t>(nColumn) ? static_cast<std::size_t>(nColumn) - nStart : 0;
  return Json{{"label", strLabel},
              {"kind", nKind},
              {"detail", detail},
              {"textEdit", {{"range", range}, {"newText", std::string(nPad, ' ') + strLabel}}}};
}

/// The keys no other key line of \p strPath uses.
std::vector<char> UnusedKeys(const CheckedSet& set, const std::string& strPath, int nLine) {
  static constexpr char kKeys[] = {'1', '2', '3', '4', '5',        '6',     '7',   '8',
                                   '9', '0', '*', '#', keyNoInput, keyBusy, keyFax};
  std::vector<char> keys(std::begin(kKeys), std::end(kKeys));
  const std::vector<std::string>& lines = set.lines.at(strPath);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view key = SplitKeyLine(lines[i]).key;
    if (static_cast<int>(i) + 1 != nLine && !key.empty())
      std::erase(keys, key.front());
  }
  return keys;
}

Json CompletionItems(const CheckedSet& set, const std::string& strPath, const Cursor& cursor,
                     Slot slot, Span word, const RequestSeams& seams) {
  const Json range = WordRange(set, strPath, cursor.nLine, word);
  Json items = Json::array();
  if (slot == Slot::Key)
    for (const char key : UnusedKeys(set, strPath, cursor.nLine))
      items.push_back(
          Item(std::string(1, key), kItemValue, KeyMeaning(key), range, word.nStart, kKeyColumn));
  static constexpr std::pair<EntryKind, const char*> kKeywords[] = {
      {kindMenu, "menu"}, {kindDial, "dial"}, {kindDisconnect, "disconnect"}};
  for (const auto& [kind, szKeyword] : kKeywords)
    if (slot == Slot::Action)
      items.push_back(
          Item(szKeyword, kItemKeyword, ActionMeaning(kind), range, word.nStart, kActionColumn));
  if (slot != Slot::Argument)
    return items;
  std::vector<std::string> names = ListFolder(seams, DirectoryOf(set.strRoot));
  std::erase_if(names, [](const std::string& strName) { return !NameFault(strName).empty(); });
  std::ranges::sort(names);
  for (const std::string& strName : names)
    items.push_back(
        Item(strName, kItemFile, text::kLspScenarioFile, range, word.nStart, kArgumentColumn));
  return items;
}

} // namespace

std::vector<std::string> ListFolderFiles(const std::string& strFolder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(strFolder.empty() ? "." : strFolder, error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code entryError;
    if (it->is_regular_file(entryError))
      names.push_back(it->path().filename().string());
  }
  return names;
}

Json FindDefinition(const CheckedSet& set, const std::string& strPath, const Json& position,
                    const RequestSeams& seams) {
  const Cursor cursor = CursorAt(set, strPath, position);
  const Span argument = MenuArgument(cursor.line, cursor.nLine);
  if (!argument.Holds(cursor.nByte))
    return nullptr;
  const std::string strTarget = NamedPath(set, cursor.line, argument);
  return IsFileOfSet(set, strTarget) ? Location(UriOf(seams, strTarget), FileStart()) : Json();
}

Json FindReferences(const CheckedSet& set, const std::string& strPath, const Json& position,
                    bool bDeclaration, const RequestSeams& seams) {
  const std::string strTarget = TargetOf(set, strPath, CursorAt(set, strPath, position));
  Json locations = Json::array();
  if (bDeclaration && IsFileOfSet(set, strTarget))
    locations.push_back(Location(UriOf(seams, strTarget), FileStart()));
  for (const MenuPlace& place : MenuLinesNaming(set, strTarget))
    locations.push_back(Location(UriOf(seams, place.strFile),
                                 WordRange(set, place.strFile, place.nLine, place.argument)));
  return locations;
}

RequestAnswer PrepareRename(const CheckedSet& set, const std::string& strPath,
                            const Json& position) {
  const Cursor cursor = CursorAt(set, strPath, position);
  const std::string strTarget = TargetOf(set, strPath, cursor);
  if (std::string strRefusal = TargetRefusal(set, strTarget); !strRefusal.empty())
    return {nullptr, std::move(strRefusal)};
  const Span argument = MenuArgument(cursor.line, cursor.nLine);
  if (argument.Holds(cursor.nByte))
    return {Json{{"range", WordRange(set, strPath, cursor.nLine, argument)},
                 {"placeholder", argument.Of(cursor.line)}},
            {}};
  const Span here{cursor.nByte, cursor.nByte};
  return {Json{{"range", WordRange(set, strPath, cursor.nLine, here)},
               {"placeholder", FileNameOf(strPath)}},
          {}};
}

RequestAnswer RenameFile(const CheckedSet& set, const std::string& strPath, const Json& position,
                         const std::string& strNewName, const RequestSeams& seams) {
  const std::string strTarget = TargetOf(set, strPath, CursorAt(set, strPath, position));
  if (std::string strRefusal = RenameRefusal(set, strTarget, strNewName, seams);
      !strRefusal.empty())
    return {nullptr, std::move(strRefusal)};
  std::map<std::string, Json> edits;
  for (const MenuPlace& place : MenuLinesNaming(set, strTarget))
    edits[place.strFile].push_back(
        Json{{"range", WordRange(set, place.strFile, place.nLine, place.argument)},
             {"newText", strNewName}});
  // The edits first: a menu of the file itself names it by its old URI.
  Json changes = Json::array();
  for (auto& [strFile, fileEdits] : edits)
    changes.push_back(Json{{"textDocument", {{"uri", UriOf(seams, strFile)}, {"version", nullptr}}},
                           {"edits", std::move(fileEdits)}});
  changes.push_back(Json{{"kind", "rename"},
                         {"oldUri", UriOf(seams, strTarget)},
                         {"newUri", UriFromPath(DirectoryOf(strTarget) + strNewName)}});
  return {Json{{"documentChanges", std::move(changes)}}, {}};
}

Json ListDocumentSymbols(const CheckedSet& set, const std::string& strPath) {
  Json symbols = Json::array();
  const auto found = set.lines.find(strPath);
  if (found == set.lines.end())
    return symbols;
  const std::vector<std::string>& lines = found->second;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int nLine = static_cast<int>(i) + 1;
    const Symbol symbol = i == 0 ? HeaderSymbol(lines[i]) : KeyLineSymbol(lines[i]);
    if (lines[i].empty() || symbol.strName.empty())
      continue;
    const Json line{{"start", set.Position(strPath, nLine, 1)},
                    {"end", set.Position(strPath, nLine, 0)}};
    symbols.push_back(
        Json{{"name", symbol.strName},
             {"detail", symbol.strDetail},
             {"kind", symbol.nKind},
             {"range", line},
             {"selectionRange",
              symbol.selection.Empty() ? line : WordRange(set, strPath, nLine, symbol.selection)}});
  }
  return symbols;
}

Json Complete(const CheckedSet& set, const std::string& strPath, const Json& position,
              const RequestSeams& seams) {
  const Cursor cursor = CursorAt(set, strPath, position);
  if (cursor.nLine < 2 || !set.lines.contains(strPath) ||
      static_cast<std::size_t>(cursor.nLine) > set.lines.at(strPath).size() + 1)
    return Json::array();
  const Span word = WordAround(cursor.line, cursor.nByte);
  return CompletionItems(set, strPath, cursor, SlotOf(cursor.line, word), word, seams);
}

} // namespace dovetrel

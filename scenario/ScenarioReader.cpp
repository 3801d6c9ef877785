#include "scenario/ScenarioReader.h"

#include "scenario/Paths.h"
#include "scenario/Texts.h"
#include "scenario/Tokenize.h"

namespace dovetrel {

namespace {

constexpr std::string_view kSpace = " ";

/// Takes the timeout and greeting words of line 1 into their rows.
bool ReadHeaderLine(std::string_view line, CScenarioTable& table, const ReadContext& context,
                    const Finding& where) {
  const HeaderWords words = SplitHeaderLine(line);
  if (words.timeout.empty()) {
    ShowFailure(context.messages, FindingCode::BadTimeout, text::kBadTimeout, where);
    return false;
  }
  std::string strTimeout(words.timeout);
  strTimeout += 's';
  if (!table.AddEntry(strTimeout, kindTimeout, '\0', context.messages, where))
    return false;
  if (words.greeting.empty()) {
    ShowFailure(context.messages, FindingCode::BadGreeting, text::kBadGreeting, where);
    return false;
  }
  return table.AddEntry(words.greeting, kindGreeting, '\0', context.messages, where);
}

/// Appends the input-field and filled rows: "Input_" and the file's name up to its first dot.
bool AddFieldRows(const std::string& strName, CScenarioTable& table, const ReadContext& context,
                  const Finding& where) {
  const std::string strPrefixed = "Input_" + strName;
  const std::string_view fieldName = ScenarioName(strPrefixed);
  return table.AddEntry(fieldName, kindInputField, '\0', context.messages, where) &&
         table.AddEntry(fieldName, kindFilled, '\0', context.messages, where);
}

/// Appends the row of one non-empty key line.
bool AddKeyLine(std::string_view line, CScenarioTable& table, const ReadContext& context,
                const Finding& where) {
  const KeyLineWords words = SplitKeyLine(line);
  return table.AddEntry(words.argument, ParseActionKeyword(words.action),
                        words.key.empty() ? '\0' : words.key.front(), context.messages, where);
}

} // namespace

EntryKind ParseActionKeyword(std::string_view word) {
  static constexpr std::string_view kKeywords[] = {"unknown", "menu", "dial", "disconnect"};
  for (int i = 0; i < 4; ++i)
    if (word == kKeywords[i])
      return static_cast<EntryKind>(i);
  return kindUnknown;
}

HeaderWords SplitHeaderLine(std::string_view line) {
  HeaderWords words;
  std::ptrdiff_t nPos = 0;
  words.timeout = Tokenize(line, kSpace, nPos);
  if (words.timeout.empty())
    return words;
  // The position stands one past the byte after the timeout: the greeting is looked for two
  // columns further, so the three columns after the timeout are passed over whatever they hold.
  nPos += 2;
  words.greeting = Tokenize(line, kSpace, nPos);
  return words;
}

KeyLineWords SplitKeyLine(std::string_view line) {
  KeyLineWords words;
  std::ptrdiff_t nPos = kKeyColumn;
  words.key = Tokenize(line, kSpace, nPos);
  nPos = kActionColumn;
  words.action = Tokenize(line, kSpace, nPos);
  nPos = kArgumentColumn;
  words.argument = Tokenize(line, kSpace, nPos);
  return words;
}

bool ReadScenarioFile(const std::string& strPath, CScenarioTable& table,
                      const ReadContext& context) {
  Finding where{.strFile = strPath};
  auto pFile = context.files.Open(strPath, where.strNote);
  if (!pFile) {
    ShowFailure(context.messages, FindingCode::CannotOpenFile, text::kCannotOpenIvr, where);
    return false;
  }
  const std::string strName = NamePart(strPath);
  if (!table.AddEntry(strName, kindScenarioFile, '\0', context.messages, where))
    return false;
  table.AddFilePath(where.strFile);
  if (context.pObserver)
    context.pObserver->OnScenarioFile(where.strFile, table.Count() - 1);

  CLineReader reader(*pFile, where.strFile);
  CScenarioLine line;
  if (!reader.ReadLine(line)) {
    ShowFailure(context.messages, FindingCode::NoFirstLine, text::kNoLineInIvr, where);
    return false;
  }
  where.nLine = 1;
  if (context.pObserver)
    context.pObserver->OnLine(line, where.nLine);
  if (!ReadHeaderLine(line.Text(), table, context, where))
    return false;
  where.nLine = 0;
  if (!AddFieldRows(strName, table, context, where))
    return false;
  while (reader.ReadLine(line)) {
    where.nLine = reader.LineNumber();
    if (context.pObserver)
      context.pObserver->OnLine(line, where.nLine);
    if (!line.Empty() && !AddKeyLine(line.Text(), table, context, where))
      return false;
  }
  return true;
}

namespace {

/// Passes every message on, naming in a nested file's open failure the menu line that names it.
class CNamedAtSink final : public IMessageSink {
public:
  CNamedAtSink(IMessageSink& messages, std::string strNamedAt)
      : m_messages(messages), m_strNamedAt(std::move(strNamedAt)) {}
  MessageReply ShowMessage(const Finding& finding, MessageKind kind) override {
    if (finding.code != FindingCode::CannotOpenFile)
      return m_messages.ShowMessage(finding, kind);
    Finding named = finding;
    named.strNamedAt = m_strNamedAt;
    return m_messages.ShowMessage(named, kind);
  }

private:
  IMessageSink& m_messages;
  std::string m_strNamedAt;
};

} // namespace

bool LoadScenarioSet(const std::string& strIvrPath, const std::string& strBaseDirectory,
                     CScenarioTable& table, const ReadContext& context) {
  table.ClearEntries();
  table.SetBaseDirectory(strBaseDirectory);
  if (!ReadScenarioFile(strIvrPath, table, context))
    return false;
  for (const ScenarioEntry* pMenu = table.FindUnresolvedMenu(); pMenu;
       pMenu = table.FindUnresolvedMenu()) {
    const int nMenu = static_cast<int>(pMenu - table.Entries().data());
    CNamedAtSink messages(context.messages,
                          table.SourcePathOfRow(nMenu) + ':' + std::to_string(pMenu->line));
    const ReadContext nested{messages, context.files, context.pObserver};
    if (!ReadScenarioFile(table.BaseDirectory() + pMenu->text, table, nested))
      return false;
  }
  return true;
}

} // namespace dovetrel

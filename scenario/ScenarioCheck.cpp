#include "scenario/ScenarioCheck.h"

#include "text/Escape.h"
#include "text/Utf8.h"

#include <algorithm>
#include <map>

namespace dovetrel {

namespace {

constexpr std::string_view kActionKeywords[] = {"menu", "dial", "disconnect"};
constexpr std::size_t kNone = std::string_view::npos;

bool IsActionKeyword(std::string_view word) {
  return std::find(std::begin(kActionKeywords), std::end(kActionKeywords), word) !=
         std::end(kActionKeywords);
}

bool IsNumber(std::string_view word) {
  return std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string AsciiLower(std::string_view word) {
  std::string strLower(word);
  for (char& c : strLower)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return strLower;
}

/// Index in \p text of \p word, a non-empty view into it.
std::size_t IndexOf(std::string_view text, std::string_view word) {
  return static_cast<std::size_t>(word.data() - text.data());
}

/// 1-based column in the file of the kept byte at \p nIndex.
std::uint64_t Column(const CScenarioLine& line, std::size_t nIndex) {
  return line.ColumnOf(nIndex) + 1;
}

/// The run of non-spaces of \p text that starts at \p nStart.
std::string_view WordFrom(std::string_view text, std::size_t nStart) {
  const std::size_t nEnd = text.find(' ', nStart);
  return text.substr(nStart, nEnd == kNone ? kNone : nEnd - nStart);
}

/// The edit that makes line \p nLine (of \p line) what the author meant by its words: the key in
/// column 1, the action keyword in column 6 and the argument in column 22. None when the line's
/// words do not say it plainly: a key and a keyword, an argument at most, each short enough.
std::vector<TextEdit> LayOut(const CScenarioLine& line, int nLine) {
  const std::string_view text = line.Text();
  std::vector<std::string_view> words;
  for (std::size_t nStart = text.find_first_not_of(' '); nStart != kNone;) {
    words.push_back(WordFrom(text, nStart));
    nStart = text.find_first_not_of(' ', nStart + words.back().size());
  }
  if (words.size() < 2 || words.size() > 3 || !IsActionKeyword(words[1]) ||
      words[0].size() >= kActionColumn || words[1].size() >= kArgumentColumn - kActionColumn)
    return {};
  std::string strLine(words[0]);
  strLine.resize(kActionColumn, ' ');
  strLine += words[1];
  if (words.size() == 3) {
    strLine.resize(kArgumentColumn, ' ');
    strLine += words[2];
  }
  return {TextEdit{
      nLine, 1, Column(line, IndexOf(text, words.back()) + words.back().size() - 1) + 1, strLine}};
}

std::string ReadAs(std::string_view word) {
  return word.empty() ? "ничего не будет прочитано" : "будет прочитано " + Quoted(word);
}

} // namespace

CScenarioChecker::CScenarioChecker(std::string strBaseDirectory)
    : m_strBaseDirectory(std::move(strBaseDirectory)) {}

void CScenarioChecker::OnScenarioFile(const std::string& strFullPath, int /*nFirstRow*/) {
  m_vecFiles.push_back(strFullPath);
  m_bCrReported = false;
  CheckFileName(strFullPath);
}

void CScenarioChecker::CheckFileName(const std::string& strFullPath) {
  // A file read again (a menu that names it with a directory) has been warned about already.
  if (std::count(m_vecFiles.begin(), m_vecFiles.end(), strFullPath) > 1)
    return;
  const std::string_view name = FileNameOf(strFullPath);
  const std::string strForm(ScenarioName(name));
  // The document compares "Input_" and the form's name with a key: the name must continue an
  // identifier. Bytes above ASCII are letters of the code page, which an identifier may hold.
  const auto bad = std::find_if(strForm.begin(), strForm.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    const bool bAsciiWord = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                            (c >= '0' && c <= '9') || c == '_' || c == '$';
    return u < 0x80 && !bAsciiWord;
  });
  if (bad != strForm.end())
    Warn(FindingCode::FileNameNotField, 0, 0,
         "имя файла " + Quoted(name) + " даёт поле " + Quoted("Input_" + strForm) +
             ", которое платформа не примет как имя: знак " + Quoted(std::string(1, *bad)) +
             " недопустим; оставьте в имени файла до первой точки только буквы, цифры и «_»");
  const auto [first, bNew] = m_formNames.emplace(strForm, strFullPath);
  if (bNew)
    return;
  std::string strText = "файлы " + Quoted(FileNameOf(first->second)) + " и " + Quoted(name) +
                        " дают одно имя формы " + Quoted(strForm) +
                        ": документ не различит их формы; переименуйте один из них";
  // The second file is always a nested one: the fault is the menu line that names it.
  const auto menu = std::find_if(m_vecMenus.begin(), m_vecMenus.end(),
                                 [&](const MenuRef& ref) { return ref.strPath == strFullPath; });
  if (menu == m_vecMenus.end()) {
    Warn(FindingCode::FormNameTwice, 0, 0, std::move(strText));
    return;
  }
  m_vecFindings.push_back(Finding{FindingCode::FormNameTwice, Severity::Warning, std::move(strText),
                                  menu->strFile, menu->nLine, menu->nColumn});
}

void CScenarioChecker::OnLine(const CScenarioLine& line, int nLine) {
  const std::size_t nBefore = m_vecFindings.size();
  CheckLineEnds(line, nLine);
  if (nLine == 1)
    CheckHeader(line);
  else if (!line.Empty())
    CheckKeyLine(line, nLine);
  // Each finding of the line spans the word at its column, where one stands there.
  const std::string_view text = line.Text();
  for (std::size_t i = nBefore; i < m_vecFindings.size(); ++i) {
    Finding& finding = m_vecFindings[i];
    const std::size_t nIndex = finding.nColumn > 0 ? finding.nColumn - 1 : kNone;
    if (nIndex >= text.size() || Column(line, nIndex) != finding.nColumn || text[nIndex] == ' ')
      continue;
    const std::size_t nEnd = std::min(text.find(' ', nIndex), text.size());
    finding.nEndColumn = Column(line, nEnd - 1) + 1;
  }
}

void CScenarioChecker::CheckLineEnds(const CScenarioLine& line, int nLine) {
  // A CR ends a line only before an LF; a CR with text after it is a line end of an old Mac
  // editor, and everything after it is read as part of this one line.
  const std::string_view text = line.Text();
  const std::size_t nCr = text.find('\r');
  if (nCr == kNone || text.find_first_not_of('\r', nCr) == kNone || m_bCrReported)
    return;
  m_bCrReported = true;
  Finding finding{
      FindingCode::LoneCrLineEnds,
      Severity::Error,
      "строки файла разделены одним знаком CR: файл читается как одна строка, и "
      "строки после первого CR не сработают; сохраните файл с концами строк LF или CR LF",
      m_vecFiles.back(),
      nLine,
      Column(line, nCr)};
  // Each CR with text after it ends a line of its own.
  for (std::size_t i = nCr; i < text.find_last_not_of('\r'); i = text.find('\r', i + 1))
    finding.vecFix.push_back(TextEdit{nLine, Column(line, i), Column(line, i) + 1, "\n"});
  m_vecFindings.push_back(std::move(finding));
}

void CScenarioChecker::Warn(FindingCode code, int nLine, std::uint64_t nColumn, std::string strText,
                            std::vector<TextEdit> fix) {
  Finding finding{code, Severity::Warning, std::move(strText), m_vecFiles.back(), nLine, nColumn};
  finding.vecFix = std::move(fix);
  m_vecFindings.push_back(std::move(finding));
}

void CScenarioChecker::CheckHeader(const CScenarioLine& line) {
  const std::string_view text = line.Text();
  const HeaderWords words = SplitHeaderLine(text);
  m_nTimeoutColumn = words.timeout.empty() ? 1 : Column(line, IndexOf(text, words.timeout));
  m_nGreetingColumn = 0;
  if (words.timeout.empty())
    return;
  if (!IsNumber(words.timeout)) {
    // "10s" or "10sec": the digits are the seconds meant, the reader adds the "s" itself.
    const std::size_t nDigits = words.timeout.find_first_not_of("0123456789");
    std::vector<TextEdit> fix;
    if (nDigits > 0)
      fix.push_back(
          TextEdit{1, m_nTimeoutColumn + nDigits, m_nTimeoutColumn + words.timeout.size(), ""});
    Warn(FindingCode::TimeoutNotNumber, 1, m_nTimeoutColumn,
         "время ожидания " + Quoted(words.timeout) +
             " — не число секунд; укажите его цифрами, например 10",
         std::move(fix));
  }
  const std::size_t nEnd = IndexOf(text, words.timeout) + words.timeout.size();
  m_nGreetingColumn = Column(line, words.greeting.empty() ? std::min(nEnd + 3, text.size())
                                                          : IndexOf(text, words.greeting));
  if (!words.greeting.empty())
    m_greetingColumns[m_vecFiles.back()] = m_nGreetingColumn;
  // The timeout row gets an "s": a timeout of 63 bytes is already too long.
  m_nLongHeaderColumn =
      TableTextLength(words.timeout) + 1 >= kEntryTextSize ? m_nTimeoutColumn : m_nGreetingColumn;
  // The greeting is looked for from the third column after the timeout on: a word that begins
  // nearer loses its beginning, or is passed over.
  if (!words.greeting.empty())
    WarnTextAfter(line, words.greeting, 1, "приветствия");
  const std::size_t nStart = text.find_first_not_of(' ', nEnd);
  if (nStart == kNone || nStart >= nEnd + 3)
    return;
  Warn(FindingCode::GreetingTooNear, 1, Column(line, nStart),
       "приветствие " + Quoted(WordFrom(text, nStart)) +
           " начинается меньше чем через три пробела после времени ожидания: " +
           ReadAs(words.greeting) + "; поставьте между ними не меньше трёх пробелов",
       {TextEdit{1, Column(line, nEnd), Column(line, nStart), "   "}});
}

void CScenarioChecker::CheckKeyLine(const CScenarioLine& line, int nLine) {
  const std::string_view text = line.Text();
  const KeyLineWords words = SplitKeyLine(text);
  const EntryKind kind = ParseActionKeyword(words.action);
  m_nArgumentColumn =
      words.argument.empty() ? kArgumentColumn + 1 : Column(line, IndexOf(text, words.argument));
  if (words.key.empty())
    return;
  CheckKeyWord(line, words.key, nLine);
  if (kind == kindUnknown && words.action != "unknown")
    CheckAction(line, words.action, nLine);
  if (kind == kindMenu || kind == kindDial)
    CheckArgument(line, words, kind, nLine);
  m_vecKeyRows.push_back(
      KeyRow{m_vecFiles.size() - 1, nLine, Column(line, IndexOf(text, words.key))});
}

void CScenarioChecker::CheckKeyWord(const CScenarioLine& line, std::string_view key, int nLine) {
  const std::string_view text = line.Text();
  if (text.front() == ' ') {
    Warn(FindingCode::KeyNotInColumn, nLine, Column(line, IndexOf(text, key)),
         "в столбце 1 нет клавиши: клавишей станет первый знак слова " + Quoted(key) +
             "; поставьте клавишу в столбец 1",
         LayOut(line, nLine));
  } else if (key.size() > 1) {
    // Only the first byte counts: the others make way for spaces, unless they reach the action.
    std::vector<TextEdit> fix;
    if (key.size() <= static_cast<std::size_t>(kActionColumn))
      fix.push_back(TextEdit{nLine, 2, key.size() + 1, std::string(key.size() - 1, ' ')});
    Warn(FindingCode::KeyTooLong, nLine, 1,
         "клавиша " + Quoted(key) +
             " длиннее одного знака: учитывается только её первый байт; оставьте один знак",
         std::move(fix));
  }
  if (key.front() == '\'' || key.front() == '\\')
    Warn(FindingCode::KeyNotDialable, nLine, Column(line, IndexOf(text, key)),
         "клавишу " + Quoted(key.substr(0, 1)) +
             " не передаёт ни один телефон: строка не сработает; телефон передаёт 0–9, * и #");
}

void CScenarioChecker::CheckAction(const CScenarioLine& line, std::string_view action, int nLine) {
  const std::string_view text = line.Text();
  for (std::size_t nStart = text.find_first_not_of(' '); nStart != kNone;) {
    const std::string_view word = WordFrom(text, nStart);
    if (IsActionKeyword(word) && word.data() != action.data()) {
      Warn(FindingCode::KeywordNotInColumn, nLine, Column(line, nStart),
           "ключевое слово " + Quoted(word) + " начинается в столбце " +
               std::to_string(Column(line, nStart)) +
               ", а не в 6: строка не сработает; поставьте его начало в столбец 6",
           LayOut(line, nLine));
      return;
    }
    nStart = text.find_first_not_of(' ', nStart + word.size());
  }
  if (action.empty()) {
    Warn(FindingCode::ActionMissing, nLine, kActionColumn + 1,
         "в столбце 6 нет действия: клавиша не сработает; укажите menu, dial или disconnect");
    return;
  }
  const std::string strLower = AsciiLower(action);
  const std::uint64_t nColumn = Column(line, IndexOf(text, action));
  if (!IsActionKeyword(strLower)) {
    Warn(FindingCode::NotAKeyword, nLine, nColumn,
         Quoted(action) + " — не ключевое слово действия: строка не сработает; укажите menu, "
                          "dial или disconnect");
    return;
  }
  Warn(FindingCode::KeywordNotLowerCase, nLine, nColumn,
       Quoted(action) + " — не ключевое слово: ключевые слова пишутся строчными буквами, " +
           Quoted(strLower) + "; строка не сработает",
       {TextEdit{nLine, nColumn, nColumn + action.size(), strLower}});
}

void CScenarioChecker::CheckArgument(const CScenarioLine& line, const KeyLineWords& words,
                                     EntryKind kind, int nLine) {
  const std::string_view text = line.Text();
  if (kind == kindMenu)
    m_vecMenus.push_back(MenuRef{m_strBaseDirectory + std::string(words.argument),
                                 m_vecFiles.back(), nLine, m_nArgumentColumn});
  // What the author meant as the argument: the first word after the action word.
  const std::size_t nStart =
      text.find_first_not_of(' ', IndexOf(text, words.action) + words.action.size());
  if (words.argument.empty()) {
    if (nStart == kNone)
      Warn(FindingCode::ArgumentMissing, nLine, kArgumentColumn + 1,
           std::string("у действия ") + (kind == kindMenu ? "menu" : "dial") +
               " нет аргумента: укажите со столбца 22 " +
               (kind == kindMenu ? "файл вложенного сценария" : "номер телефона"));
    else
      Warn(FindingCode::ArgumentEarly, nLine, Column(line, nStart),
           "аргумент " + Quoted(WordFrom(text, nStart)) +
               " стоит до столбца 22 и не будет прочитан; поставьте его начало в столбец 22",
           LayOut(line, nLine));
    return;
  }
  const std::size_t nArgument = IndexOf(text, words.argument);
  if (nStart < nArgument)
    Warn(FindingCode::ArgumentEarly, nLine, Column(line, nStart),
         "аргумент " + Quoted(WordFrom(text, nStart)) + " начинается в столбце " +
             std::to_string(Column(line, nStart)) + ", а не в 22: " + ReadAs(words.argument) +
             "; поставьте его начало в столбец 22",
         LayOut(line, nLine));
  WarnTextAfter(line, words.argument, nLine, "аргумента");
  if (kind == kindMenu && words.argument.find('/') != kNone)
    Warn(FindingCode::NestedWithFolder, nLine, m_nArgumentColumn,
         "вложенный сценарий " + Quoted(words.argument) +
             " указан с каталогом: вложенные файлы берутся из каталога главного, а этот будет "
             "читаться снова и снова, пока не переполнится таблица; укажите только имя файла",
         {TextEdit{nLine, m_nArgumentColumn, m_nArgumentColumn + words.argument.size(),
                   std::string(FileNameOf(words.argument))}});
}

void CScenarioChecker::WarnTextAfter(const CScenarioLine& line, std::string_view word, int nLine,
                                     std::string_view what) {
  const std::string_view text = line.Text();
  const std::size_t nNext = text.find_first_not_of(' ', IndexOf(text, word) + word.size());
  if (nNext == kNone)
    return;
  // What is not read goes: the document stays as it is.
  const std::uint64_t nWordEnd = Column(line, IndexOf(text, word) + word.size() - 1) + 1;
  Warn(FindingCode::TextAfterWord, nLine, Column(line, nNext),
       "текст " + Quoted(WordFrom(text, nNext)) + " после " + std::string(what) +
           " не читается; уберите его или перенесите в отдельную строку (в имени файла и "
           "номере не бывает пробелов)",
       {TextEdit{nLine, nWordEnd, Column(line, text.find_last_not_of(' ')) + 1, ""}});
}

void CScenarioChecker::WarnAtKey(Finding finding) {
  const auto row = std::find_if(m_vecKeyRows.begin(), m_vecKeyRows.end(), [&](const KeyRow& key) {
    return key.nLine == finding.nLine && m_vecFiles[key.nFile] == finding.strFile;
  });
  finding.nColumn = row == m_vecKeyRows.end() ? 0 : row->nColumn;
  m_vecFindings.push_back(std::move(finding));
}

void CScenarioChecker::AddAtGreeting(Finding finding) {
  const auto column = m_greetingColumns.find(finding.strFile);
  finding.nColumn = column == m_greetingColumns.end() ? 0 : column->second;
  m_vecFindings.push_back(std::move(finding));
}

void CScenarioChecker::CheckTableUse(const CScenarioTable& table) {
  if (table.Count() * 10 <= table.Capacity() * 9 || m_vecFiles.empty())
    return;
  m_vecFindings.push_back(Finding{FindingCode::TableNearlyFull, Severity::Warning,
                                  "набор занимает " + std::to_string(table.Count()) + " из " +
                                      std::to_string(table.Capacity()) + " строк таблицы (" +
                                      table.DescribeRows() + "): каждый новый файл займёт ещё " +
                                      std::to_string(kRowsPerFile) + " строк",
                                  m_vecFiles.front()});
}

MessageReply CScenarioChecker::ShowMessage(const Finding& finding, MessageKind /*kind*/) {
  Finding failure = finding;
  failure.severity = Severity::Error;
  failure.strNamedAt.clear();
  switch (failure.code) {
  case FindingCode::CannotOpenFile: {
    // A nested file that cannot be opened is the fault of the menu line that names it.
    const auto menu = std::find_if(m_vecMenus.begin(), m_vecMenus.end(), [&](const MenuRef& ref) {
      return ref.strPath == failure.strFile;
    });
    if (menu != m_vecMenus.end()) {
      failure.strNote = failure.strFile + (failure.strNote.empty() ? "" : ": " + failure.strNote);
      failure.strFile = menu->strFile;
      failure.nLine = menu->nLine;
      failure.nColumn = menu->nColumn;
    }
    break;
  }
  case FindingCode::BadTimeout:
    failure.nColumn = 1;
    break;
  case FindingCode::BadGreeting:
    failure.nColumn = m_nGreetingColumn;
    break;
  case FindingCode::TextTooLong:
    if (failure.nLine > 0)
      failure.nColumn = failure.nLine == 1 ? m_nLongHeaderColumn : m_nArgumentColumn;
    break;
  default:
    break;
  }
  m_vecFindings.push_back(std::move(failure));
  return MessageReply::Ok;
}

std::vector<Finding> CScenarioChecker::Findings() const {
  const auto FileIndex = [this](const std::string& strFile) {
    return std::find(m_vecFiles.begin(), m_vecFiles.end(), strFile) - m_vecFiles.begin();
  };
  std::vector<Finding> sorted = m_vecFindings;
  std::stable_sort(sorted.begin(), sorted.end(), [&](const Finding& a, const Finding& b) {
    const auto nFileA = FileIndex(a.strFile);
    const auto nFileB = FileIndex(b.strFile);
    if (nFileA != nFileB)
      return nFileA < nFileB;
    return a.nLine < b.nLine;
  });
  return sorted;
}

} // namespace dovetrel

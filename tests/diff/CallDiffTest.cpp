// What changes for callers: hand-picked edits with the lines they give, and random edits of random
// sets, whose changes must be exactly where the simulator's calls on the two documents part.

#include "diff/CallDiff.h"
#include "call/Call.h"
#include "call/CallSetup.h"
#include "scenario/Paths.h"
#include "tests/support/FlowWalker.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/RandomSets.h"
#include "text/Escape.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace dovetrel {
namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

class CQuietMessages final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding&, MessageKind) override { return MessageReply::Ok; }
};

std::optional<PreparedCall> Prepare(const Files& files) {
  test::CMemoryFiles memory;
  for (const auto& [strName, strContent] : files)
    memory.Add(strName, strContent);
  CQuietMessages messages;
  ConversionOptions options;
  options.pFiles = &memory;
  return PrepareCall(files.front().first, messages, options);
}

std::vector<CallChange> Compare(const PreparedCall& older, const PreparedCall& newer) {
  return CompareCallFlows({older.set.flow, older.set.strEncoding},
                          {newer.set.flow, newer.set.strEncoding});
}

struct DiffCase {
  Files older;
  Files newer;
  std::vector<std::string> lines;
};

class CallDiffLines : public testing::TestWithParam<DiffCase> {};

TEST_P(CallDiffLines, SayWhatCallersMeet) {
  const std::optional<PreparedCall> older = Prepare(GetParam().older);
  const std::optional<PreparedCall> newer = Prepare(GetParam().newer);
  ASSERT_TRUE(older && newer);
  std::vector<std::string> lines;
  for (const CallChange& change : Compare(*older, *newer))
    lines.push_back(FormatChange(change));
  EXPECT_EQ(lines, GetParam().lines);
}

const char* const kMain = "10   hi.wav\n"
                          "1    dial            104\n"
                          "2    menu            tv.ivr\n"
                          "-    disconnect\n";
const char* const kTv = "5    tv.wav\n"
                        "1    dial            104\n"
                        "b    menu            main.ivr\n";

INSTANTIATE_TEST_SUITE_P(
    Edits, CallDiffLines,
    testing::Values(
        // A number, a greeting and a timeout of a nested menu; a new key with a new menu.
        DiffCase{
            {{"main.ivr", kMain}, {"tv.ivr", kTv}},
            {{"main.ivr", std::string(kMain) + "4    menu            billing.ivr\n"},
             {"tv.ivr", "7    tv2.wav\n1    dial            105\nb    menu            main.ivr\n"},
             {"billing.ivr", "5    b.wav\n"}},
            {"main.ivr:5:1: 4: новый пункт: меню billing.ivr",
             "tv.ivr:1:1: 2: приветствие tv.wav → tv2.wav", "tv.ivr:1:1: 2: ожидание 5s → 7s",
             "tv.ivr:2:1: 2 1: набор 104 → набор 105", "billing.ivr: меню стало достижимо: 4"}},
        // A menu no longer named, a busy row gone, a reformatted line that changes nothing.
        DiffCase{
            {{"main.ivr", kMain}, {"tv.ivr", kTv}},
            {{"main.ivr", "10   hi.wav   \r\n1    dial                104\n-    disconnect\n"}},
            {"main.ivr:3:1: 2: пункт убран (было: меню tv.ivr)",
             "tv.ivr: меню больше недостижимо (было: 2)"}},
        // A mistyped keyword stops its row; a row shadowed by an earlier one starts when that goes.
        DiffCase{{{"main.ivr", "10   hi.wav\n1    dial            104\n1    dial            105\n"
                               "2    dial            7\n"}},
                 {{"main.ivr", "10   hi.wav\n1    dial            105\n2    dail            7\n"}},
                 {"main.ivr:2:1: 1: набор 104 → набор 105 (строка начинает действовать; раньше: "
                  "клавишу занимает строка 2)",
                  "main.ivr:3:1: 2: набор 7 → отбой (строка не действует: действие строки не "
                  "распознано)"}},
        // The busy outcome of a dial, and a row inserted above one it now shadows.
        DiffCase{{{"main.ivr", kMain}, {"tv.ivr", kTv}},
                 {{"main.ivr", "10   hi.wav\n2    disconnect\n1    dial            104\n"
                               "b    dial            9\n2    menu            tv.ivr\n"},
                  {"tv.ivr", kTv}},
                 {"main.ivr:2:1: 2: меню tv.ivr → отбой (строка 5 больше не действует: клавишу "
                  "занимает строка 2)",
                  "main.ivr:4:1: 1 busy: новый пункт: набор 9",
                  "tv.ivr: меню больше недостижимо (было: 2)"}}));

// --- Random sets, random edits ------------------------------------------------------------------

/// Lines of a file, each with its end.
std::vector<std::string> LinesOf(const std::string& strFile) {
  std::vector<std::string> lines;
  std::istringstream stream(strFile);
  for (std::string strLine; std::getline(stream, strLine);)
    lines.push_back(strLine + "\n");
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string strFile;
  for (const std::string& strLine : lines)
    strFile += strLine;
  return strFile;
}

/// The edits of the property: four that may change calls, two that never do.
enum class Edit { MoveColumn, ChangeNumber, SwapKeys, RemoveFile, Reformat, ShadowedRow };

/// Applies edits to random sets with its own seed.
class CEditor {
public:
  explicit CEditor(unsigned nSeed) : m_random(nSeed) {}

  /// \p files with \p edit made; nothing when the set offers no place for it.
  std::optional<Files> Apply(Files files, Edit edit) {
    const std::size_t nFile = Below(files.size());
    std::vector<std::string> lines = LinesOf(files[nFile].second);
    if (edit == Edit::RemoveFile)
      return RemoveFile(std::move(files));
    std::vector<std::size_t> keyLines;
    for (std::size_t i = 1; i < lines.size(); ++i)
      keyLines.push_back(i);
    if (keyLines.empty())
      return std::nullopt;
    std::string& strLine = lines[keyLines[Below(keyLines.size())]];
    switch (edit) {
    case Edit::MoveColumn:
      strLine.insert(Below(strLine.size() - 1), " ");
      break;
    case Edit::ChangeNumber:
      if (strLine.find("dial") == std::string::npos || strLine.size() < 23)
        return std::nullopt;
      strLine = strLine.substr(0, 21) + "+7" + std::to_string(Below(5)) + "\n";
      break;
    case Edit::SwapKeys:
      std::swap(strLine[0], lines[keyLines[Below(keyLines.size())]][0]);
      break;
    case Edit::Reformat:
      strLine.insert(strLine.size() - 1, Below(2) == 0 ? "   " : "\r");
      if (strLine.size() > 22 && strLine[20] == ' ' && strLine[21] != ' ')
        strLine.insert(21, "  ");
      break;
    case Edit::ShadowedRow:
      // Only behind a row that acts (an unknown keyword would leave the key to the new row).
      if (strLine[0] == 'b' || strLine[0] == ' ' || strLine.find("Menu") != std::string::npos)
        return std::nullopt;
      lines.push_back(strLine.substr(0, 5) + "dial                999\n");
      break;
    case Edit::RemoveFile:
      break;
    }
    files[nFile].second = Joined(lines);
    return files;
  }

private:
  std::optional<Files> RemoveFile(Files files) {
    if (files.size() < 2)
      return std::nullopt;
    const std::size_t nGone = 1 + Below(files.size() - 1);
    const std::string strName(FileNameOf(files[nGone].first));
    files.erase(files.begin() + static_cast<std::ptrdiff_t>(nGone));
    for (auto& [strPath, strContent] : files) {
      std::vector<std::string> kept;
      for (const std::string& strLine : LinesOf(strContent))
        if (strLine.find("menu") == std::string::npos ||
            strLine.find(strName + "\n") == std::string::npos)
          kept.push_back(strLine);
      strContent = Joined(kept);
    }
    return files;
  }

  std::size_t Below(std::size_t n) { return n == 0 ? 0 : m_random() % n; }
  std::mt19937 m_random;
};

/// One side of the walk the simulator makes: its compiled document, run from the start.
class CSimulatedSide {
public:
  explicit CSimulatedSide(const PreparedCall& prepared) : m_prepared(prepared) {}

  /// The lines the call adds when \p events end with the last one: what the caller meets then.
  std::vector<std::string> After(const std::vector<std::string>& events) const {
    const std::vector<std::string> before = Run({events.begin(), events.end() - 1});
    std::vector<std::string> after = Run(events);
    after.erase(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(before.size()) + 1);
    return after;
  }
  std::vector<std::string> Run(const std::vector<std::string>& events) const {
    struct CLines final : ICallTranscript {
      void Step(std::string_view line) override { lines.emplace_back(line); }
      std::vector<std::string> lines;
    } transcript;
    CCall call(*m_prepared.pProgram, transcript);
    EXPECT_TRUE(call.Start());
    for (const std::string& strEvent : events) {
      const std::optional<CallEvent> event =
          ParseCallEvent(UnescapeTranscriptText(strEvent), m_prepared.set.strEncoding);
      EXPECT_TRUE(event && call.Feed(*event) == FeedResult::Taken) << strEvent;
    }
    return transcript.lines;
  }

private:
  const PreparedCall& m_prepared;
};

std::string Key(std::string_view topic, const std::vector<std::string>& events) {
  std::string strKey(topic);
  for (const std::string& strEvent : events)
    strKey += " " + strEvent;
  return strKey;
}

/// Where the two documents' calls part, found by the simulator alone: calls taken event by event
/// from the main menu, in the order of the comparison (event words in byte order), each pair of
/// menus once. "step EVENTS", "greeting EVENTS", "timeout EVENTS".
std::set<std::string> Partings(const PreparedCall& older, const PreparedCall& newer) {
  std::set<std::string> words{"silence", "fax"};
  for (const PreparedCall* pSet : {&older, &newer})
    for (const FlowMenu& menu : pSet->set.flow.menus)
      for (const KeyAction& key : menu.keys)
        if (key.key != keyFax)
          words.insert(DecodeTranscriptText(std::string(1, key.key), pSet->set.strEncoding));
  const CSimulatedSide oldSide(older);
  const CSimulatedSide newSide(newer);
  std::set<std::string> partings;
  std::set<std::pair<std::string, std::string>> visited;
  std::vector<std::vector<std::string>> queue{{}};
  const auto enter = [&](const std::vector<std::string>& events, const std::vector<std::string>& o,
                         const std::vector<std::string>& n) {
    if (o.size() < 3 || n.size() < 3 || !visited.insert({o[0], n[0]}).second)
      return;
    if (o[1] != n[1])
      partings.insert(Key("greeting", events));
    if (o[2] != n[2])
      partings.insert(Key("timeout", events));
    queue.push_back(events);
  };
  const std::vector<std::string> oldStart = oldSide.Run({});
  const std::vector<std::string> newStart = newSide.Run({});
  visited.insert({oldStart[0], newStart[0]});
  if (oldStart[1] != newStart[1])
    partings.insert(Key("greeting", {}));
  if (oldStart[2] != newStart[2])
    partings.insert(Key("timeout", {}));
  for (std::size_t i = 0; i < queue.size(); ++i) {
    for (const std::string& strWord : words) {
      std::vector<std::string> events = queue[i];
      events.push_back(strWord);
      std::vector<std::string> o = oldSide.After(events);
      std::vector<std::string> n = newSide.After(events);
      if (o.front() != n.front()) {
        partings.insert(Key("step", events));
        continue;
      }
      enter(events, o, n);
      if (o.front().rfind("dial", 0) != 0)
        continue;
      events.emplace_back("busy");
      o = oldSide.After(events);
      n = newSide.After(events);
      if (o.front() != n.front())
        partings.insert(Key("step", events));
      else
        enter(events, o, n);
    }
  }
  return partings;
}

std::set<std::string> Reported(const std::vector<CallChange>& changes) {
  std::set<std::string> reported;
  for (const CallChange& change : changes)
    if (change.topic == ChangeTopic::Step || change.topic == ChangeTopic::Greeting ||
        change.topic == ChangeTopic::Timeout)
      reported.insert(Key(change.topic == ChangeTopic::Step       ? "step"
                          : change.topic == ChangeTopic::Greeting ? "greeting"
                                                                  : "timeout",
                          change.events));
  return reported;
}

std::string Show(const Files& files) {
  std::string strText;
  for (const auto& [strName, strContent] : files)
    strText.append("== ").append(strName).append("\n").append(strContent);
  return strText;
}

TEST(CallDiffProperty, ChangesAreWhereTheSimulatedCallsPart) {
  test::CGenerator generator(2612);
  CEditor editor(26);
  std::map<Edit, int> compared;
  int nChanged = 0;
  for (int nSet = 0; nSet < 1800 && !HasFailure(); ++nSet) {
    Files files;
    for (const auto& [strName, strContent] : generator.Set().files)
      files.emplace_back("/s/" + strName, strContent);
    const auto edit = static_cast<Edit>(nSet % 6);
    const std::optional<Files> edited = editor.Apply(files, edit);
    const std::optional<PreparedCall> older = Prepare(files);
    const std::optional<PreparedCall> newer = edited ? Prepare(*edited) : std::nullopt;
    if (!older || !newer || test::SharesFormNames(older->set.flow) ||
        test::SharesFormNames(newer->set.flow))
      continue;
    ++compared[edit];
    const std::vector<CallChange> changes = Compare(*older, *newer);
    nChanged += changes.empty() ? 0 : 1;
    if (edit == Edit::Reformat || edit == Edit::ShadowedRow) {
      EXPECT_TRUE(changes.empty()) << Show(files) << "-- edited:\n" << Show(*edited);
    }
    EXPECT_EQ(Reported(changes), Partings(*older, *newer)) << Show(files) << "-- edited:\n"
                                                           << Show(*edited);
  }
  for (const auto& [edit, nCount] : compared)
    EXPECT_GT(nCount, 60) << static_cast<int>(edit);
  EXPECT_EQ(compared.size(), 6U);
  EXPECT_GT(nChanged, 150);
}

} // namespace
} // namespace dovetrel

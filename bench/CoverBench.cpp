// What proving a set tested costs: the generated calls of the largest set, and the coverage of 100
// records beside replaying them.

#include "bench/BenchSets.h"
#include "call/Call.h"
#include "call/CallCover.h"
#include "call/CallCoverage.h"
#include "call/CallRecord.h"
#include "call/CallSetup.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string_view>

namespace dovetrel::bench {
namespace {

/// Fails the benchmark on any message but information: the set must convert as it is.
class CStrictSink final : public IMessageSink {
public:
  bool m_bFailed = false;
  MessageReply ShowMessage(const Finding&, MessageKind kind) override {
    m_bFailed = m_bFailed || kind != MessageKind::Information;
    return MessageReply::Ok;
  }
};

/// Keeps the lines of a call.
class CLines final : public ICallTranscript {
public:
  void Step(std::string_view line) override { m_vecLines.emplace_back(line); }
  std::vector<std::string> m_vecLines;
};

/// The largest set, prepared for a call once.
struct Prepared {
  CBenchSet set = CBenchSet::Largest();
  std::optional<PreparedCall> call;
};

const Prepared& PreparedLargest() {
  static const Prepared prepared = [] {
    Prepared made;
    CStrictSink sink;
    made.call = PrepareCall(made.set.MainFile(), sink, ConversionOptions{});
    return made;
  }();
  return prepared;
}

/// The events of record \p n of 100 on the largest set: some times no input (the main menu
/// enters itself again), then one of its 20 menus and no input there, which ends the call; every
/// fifth the dial of key 0 instead, with each outcome in turn.
std::vector<std::string> RecordEvents(int n) {
  constexpr std::string_view kKeys = "123456789*#acdeghijk";
  constexpr std::string_view kOutcomes[] = {"answer", "busy", "noanswer"};
  std::vector<std::string> events(static_cast<std::size_t>(n % 10), "silence");
  if (n % 5 == 4) {
    events.emplace_back("0");
    events.emplace_back(kOutcomes[static_cast<std::size_t>(n / 5 % 3)]);
  } else {
    events.emplace_back(1, kKeys[static_cast<std::size_t>(n % 20)]);
    events.emplace_back("silence");
  }
  return events;
}

/// The 100 records, written beside the largest set as dovetrel-call prints them.
const std::vector<std::string>& RecordFiles() {
  static const std::vector<std::string> files = [] {
    const Prepared& prepared = PreparedLargest();
    std::vector<std::string> paths;
    for (int n = 0; n < 100; ++n) {
      CLines lines;
      CCall call(*prepared.call->pProgram, lines);
      bool bRan = call.Start();
      for (const std::string& strEvent : RecordEvents(n))
        bRan = bRan && call.Feed(*ParseCallEvent(strEvent, "UTF-8")) == FeedResult::Taken;
      paths.push_back(prepared.set.Directory() + "call" + std::to_string(n) + ".txt");
      CStrictSink sink;
      if (!bRan || !WriteCallRecord(paths.back(), lines.m_vecLines, {}, sink))
        paths.clear();
    }
    return paths;
  }();
  return files;
}

/// CoverFlow on the largest set: the calls planned and each run through its document.
void Cover(benchmark::State& state) {
  const Prepared& prepared = PreparedLargest();
  if (!prepared.call) {
    state.SkipWithError("the largest set does not convert");
    return;
  }
  std::size_t nCalls = 0;
  for (auto _ : state) {
    const CallCover cover = CoverFlow(prepared.call->set.flow, *prepared.call->pProgram,
                                      Dialect::Classic, prepared.call->set.strEncoding);
    nCalls = cover.calls.size();
    benchmark::DoNotOptimize(nCalls);
  }
  state.counters["calls"] = static_cast<double>(nCalls);
}

/// The 100 records read and replayed on the largest set, converted once: the work of their
/// --expect runs but for the conversion each makes. With \p bCoverage, also what --coverage adds:
/// the rows to cover, each call's path counted, the findings and the summary. False when a record
/// cannot be read or differs from its call.
bool RunRecords(const std::vector<std::string>& files, bool bCoverage) {
  CStrictSink sink;
  const std::optional<PreparedCall> prepared =
      PrepareCall(PreparedLargest().set.MainFile(), sink, ConversionOptions{});
  if (!prepared)
    return false;
  const CallSet& set = prepared->set;
  CCallCoverage coverage;
  if (bCoverage) {
    coverage.AddRows(ActingRows(set.flow, Dialect::Classic));
    coverage.AddNoAnswers(NoAnswerDials(set.flow, Dialect::Classic));
  }
  for (const std::string& strPath : files) {
    Finding error;
    const std::optional<std::vector<RecordedLine>> record = ReadCallRecord(strPath, error);
    if (!record)
      return false;
    const Replay replay = ReplayRecord(*prepared->pProgram, *record, strPath, set.strEncoding);
    if (!replay.strDifference.empty())
      return false;
    if (bCoverage)
      coverage.Count(
          TraceCallPath(set.flow, set.menus, replay.lines, set.strEncoding, Dialect::Classic));
  }
  if (bCoverage)
    benchmark::DoNotOptimize(coverage.Findings().size() + coverage.Summary().size());
  return true;
}

/// Microseconds that \p run takes.
template <typename Run> double Microseconds(const Run& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
      .count();
}

/// The coverage of the 100 records beside their replay alone, one after the other in every
/// iteration so that the machine's drift touches both alike; the medians and their ratio are the
/// counters coverage_us, expect_us and ratio.
void Coverage(benchmark::State& state) {
  const std::vector<std::string>& files = RecordFiles();
  std::vector<double> expect;
  std::vector<double> coverage;
  bool bRan = !files.empty();
  for (auto _ : state) {
    expect.push_back(Microseconds([&] { bRan = bRan && RunRecords(files, false); }));
    coverage.push_back(Microseconds([&] { bRan = bRan && RunRecords(files, true); }));
  }
  if (!bRan) {
    state.SkipWithError("a record could not be made, read or replayed");
    return;
  }
  const auto Median = [](std::vector<double>& values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
  };
  const double dExpect = Median(expect);
  const double dCoverage = Median(coverage);
  state.counters["expect_us"] = dExpect;
  state.counters["coverage_us"] = dCoverage;
  state.counters["ratio"] = dCoverage / dExpect;
}

BENCHMARK(Cover)->Name("cover/largest")->Unit(benchmark::kMicrosecond);
BENCHMARK(Coverage)->Name("coverage/largest")->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
} // namespace dovetrel::bench

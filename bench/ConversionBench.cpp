// The in-process cost of a conversion, beside the bare system calls of the same file work.

#include "bench/BenchSets.h"
#include "call/Call.h"
#include "call/CallSetup.h"
#include "convert/Conversion.h"
#include "scenario/ScenarioReader.h"
#include "vxml/VoiceXmlWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace dovetrel::bench {
namespace {

/// A set with its document already written once, so the floor can write as many bytes.
struct Fixture {
  CBenchSet set;
  std::string strDocument;
};

Fixture& FixtureOf(bool bLargest) {
  static std::unique_ptr<Fixture> fixtures[2]; // worked, largest
  std::unique_ptr<Fixture>& pFixture = fixtures[bLargest ? 1 : 0];
  if (!pFixture) {
    pFixture.reset(new Fixture{
        bLargest ? CBenchSet::Largest() : CBenchSet::Worked(DOVETREL_SOURCE_DIR "/examples"), {}});
    CScenarioTable table;
    CCountingSink sink;
    std::string strBaseDir;
    benchmark::DoNotOptimize(
        RunConversion(pFixture->set.MainFile(), pFixture->set.Document(), strBaseDir, table, sink));
    pFixture->strDocument = test::ReadWholeFile(pFixture->set.Document());
  }
  return *pFixture;
}

/// The floor of reading: open, read to the end and close every file of the set.
void ReadFloor(const std::vector<std::string>& vecFiles) {
  char buffer[64 * 1024];
  for (const std::string& strPath : vecFiles) {
    const int fd = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
    close(fd);
  }
}

/// The floor of writing: a new file beside the target, its bytes made durable, and the rename over
/// the target, as the replacing file does it.
void WriteFloor(const std::string& strTarget, const std::string& strTemporary,
                const std::string& strDocument) {
  const int fd = open(strTemporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  benchmark::DoNotOptimize(write(fd, strDocument.data(), strDocument.size()));
  fsync(fd);
  close(fd);
  std::rename(strTemporary.c_str(), strTarget.c_str());
}

void CheckRun(benchmark::State& state, const CCountingSink& sink) {
  if (sink.m_nFailures > 0)
    state.SkipWithError("the conversion failed");
}

void Load(benchmark::State& state, bool bLargest) {
  Fixture& fixture = FixtureOf(bLargest);
  CScenarioTable table;
  CCountingSink sink;
  const ReadContext context{sink};
  for (auto _ : state)
    benchmark::DoNotOptimize(
        LoadScenarioSet(fixture.set.MainFile(), fixture.set.Directory(), table, context));
  CheckRun(state, sink);
  state.counters["rows"] = table.Count();
}

void LoadFloor(benchmark::State& state, bool bLargest) {
  const Fixture& fixture = FixtureOf(bLargest);
  for (auto _ : state)
    ReadFloor(fixture.set.Files());
}

void Write(benchmark::State& state, bool bLargest) {
  Fixture& fixture = FixtureOf(bLargest);
  CScenarioTable table;
  CCountingSink sink;
  benchmark::DoNotOptimize(
      LoadScenarioSet(fixture.set.MainFile(), fixture.set.Directory(), table, ReadContext{sink}));
  const WriteContext context{sink};
  for (auto _ : state)
    benchmark::DoNotOptimize(WriteVoiceXml(fixture.set.Document(), table, context));
  CheckRun(state, sink);
  state.counters["bytes"] = static_cast<double>(fixture.strDocument.size());
}

/// The standard document of the same table, through the same replacing file.
void WriteW3c(benchmark::State& state, bool bLargest) {
  Fixture& fixture = FixtureOf(bLargest);
  CScenarioTable table;
  CCountingSink sink;
  benchmark::DoNotOptimize(
      LoadScenarioSet(fixture.set.MainFile(), fixture.set.Directory(), table, ReadContext{sink}));
  const WriteContext context{sink, SystemXmlOutput(), {}, Dialect::W3c};
  for (auto _ : state)
    benchmark::DoNotOptimize(WriteVoiceXml(fixture.set.Document(), table, context));
  CheckRun(state, sink);
}

void WriteFloorBench(benchmark::State& state, bool bLargest) {
  const Fixture& fixture = FixtureOf(bLargest);
  const std::string strTemporary = fixture.set.Directory() + "floor.tmp";
  for (auto _ : state)
    WriteFloor(fixture.set.Document(), strTemporary, fixture.strDocument);
}

void Convert(benchmark::State& state, bool bLargest) {
  Fixture& fixture = FixtureOf(bLargest);
  CScenarioTable table;
  CCountingSink sink;
  std::string strBaseDir;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        RunConversion(fixture.set.MainFile(), fixture.set.Document(), strBaseDir, table, sink));
  CheckRun(state, sink);
}

void ConvertFloor(benchmark::State& state, bool bLargest) {
  const Fixture& fixture = FixtureOf(bLargest);
  const std::string strTemporary = fixture.set.Directory() + "floor.tmp";
  for (auto _ : state) {
    ReadFloor(fixture.set.Files());
    WriteFloor(fixture.set.Document(), strTemporary, fixture.strDocument);
  }
}

/// The 100 events of the call the benchmarks make on the largest set: 98 times no key (its main
/// menu enters itself again), then the dial of key 0, which is busy and hangs up.
std::vector<std::string> HundredEvents() {
  std::vector<std::string> events(98, "silence");
  events.emplace_back("0");
  events.emplace_back("busy");
  return events;
}

/// Drops the transcript, counting its lines.
class CCountingTranscript final : public ICallTranscript {
public:
  void Step(std::string_view) override { ++m_nLines; }
  int m_nLines = 0;
};

/// What the simulator adds to the conversion: the largest set's document compiled and a call of
/// 100 events run through it, in \p dialect.
void CallRun(benchmark::State& state, Dialect dialect) {
  const Fixture& fixture = FixtureOf(true);
  CCountingSink sink;
  ConversionOptions options;
  options.dialect = dialect;
  const std::optional<CallSet> set = ConvertForCall(fixture.set.MainFile(), sink, options);
  const std::vector<std::string> words = HundredEvents();
  std::vector<CallEvent> events;
  for (const std::string& strWord : words)
    events.push_back(*ParseCallEvent(strWord, "UTF-8"));
  CCountingTranscript transcript;
  for (auto _ : state) {
    CallFault fault;
    const auto pProgram = CCallProgram::Compile(set->strDocument, dialect, set->menus, fault);
    CCall call(*pProgram, transcript);
    bool bRan = call.Start();
    for (const CallEvent& event : events)
      bRan = bRan && call.Feed(event) == FeedResult::Taken;
    if (!bRan || !call.Ended()) {
      state.SkipWithError("the call did not run to its end");
      return;
    }
  }
  state.counters["lines"] = transcript.m_nLines / static_cast<double>(state.iterations());
}

/// Runs \p args to the end with standard output and error discarded; false unless it exits with
/// status 0.
bool RunProcess(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& strArg : args)
    argv.push_back(const_cast<char*>(strArg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int nError = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int nStatus = 0;
  return nError == 0 && waitpid(pid, &nStatus, 0) == pid && WIFEXITED(nStatus) &&
         WEXITSTATUS(nStatus) == 0;
}

double Median(std::vector<double> values) {
  if (values.empty())
    return 0;
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

/// Microseconds that running \p args takes; negative when it fails.
double TimeProcess(const std::vector<std::string>& args) {
  const auto start = std::chrono::steady_clock::now();
  const bool bSucceeded = RunProcess(args);
  const std::chrono::duration<double, std::micro> elapsed =
      std::chrono::steady_clock::now() - start;
  return bSucceeded ? elapsed.count() : -1;
}

/// Runs \p first and \p second one after the other in every iteration, so that the machine's
/// drift touches both alike, and keeps their medians and ratio as the counters \p szFirst,
/// \p szSecond and "ratio".
void CompareProcesses(benchmark::State& state, const std::vector<std::string>& first,
                      const std::vector<std::string>& second, const char* szFirst,
                      const char* szSecond) {
  std::vector<double> firstTimes;
  std::vector<double> secondTimes;
  for (auto _ : state) {
    firstTimes.push_back(TimeProcess(first));
    secondTimes.push_back(TimeProcess(second));
    if (firstTimes.back() < 0 || secondTimes.back() < 0) {
      state.SkipWithError((first[0] + " or " + second[0] + " failed").c_str());
      return;
    }
  }
  const double dFirst = Median(firstTimes);
  const double dSecond = Median(secondTimes);
  state.counters[szFirst] = dFirst;
  state.counters[szSecond] = dSecond;
  state.counters["ratio"] = dSecond > 0 ? dFirst / dSecond : 0;
}

/// The whole dovetrel-convert process on the largest set beside xmllint --format on the document it
/// wrote (the same libxml2 loaded, one document written). The files lie in memory where possible:
/// the processes are compared on their own work, not on the disk's latency in making the document
/// durable, which only dovetrel-convert waits for.
void Processes(benchmark::State& state) {
  static const CBenchSet set = CBenchSet::Largest(test::MemoryBackedParent());
  CompareProcesses(
      state, {DOVETREL_CONVERT, set.MainFile(), set.Document()},
      {"xmllint", "--format", "--output", set.Directory() + "formatted.xml", set.Document()},
      "convert_us", "xmllint_us");
}

/// dovetrel-convert --flow drawing the largest set's call flow as SVG, the whole process, beside
/// Graphviz's own dot drawing the DOT that --flow writes for the same set: the same layout and
/// drawing, without the set to read and the module to open.
void FlowProcesses(benchmark::State& state) {
  static const CBenchSet set = CBenchSet::Largest(test::MemoryBackedParent());
  const std::string strDot = set.Directory() + "flow.dot";
  if (!RunProcess({DOVETREL_CONVERT, "--flow", strDot, set.MainFile()})) {
    state.SkipWithError("dovetrel-convert --flow failed");
    return;
  }
  CompareProcesses(
      state, {DOVETREL_CONVERT, "--flow", set.Directory() + "flow.svg", set.MainFile()},
      {"dot", "-Tsvg", "-o", set.Directory() + "dot.svg", strDot}, "flow_us", "dot_us");
}

/// A dovetrel-call process making a call of 100 events on the largest set in \p dialect, beside
/// the dovetrel-convert process converting the same set into the same dialect: the call converts
/// as much, into memory, and then compiles and runs the document.
void CallProcesses(benchmark::State& state, Dialect dialect) {
  static const CBenchSet set = CBenchSet::Largest(test::MemoryBackedParent());
  const char* szDialect = dialect == Dialect::W3c ? "w3c" : "classic";
  std::vector<std::string> call{DOVETREL_CALL, "--dialect", szDialect, set.MainFile()};
  const std::vector<std::string> events = HundredEvents();
  call.insert(call.end(), events.begin(), events.end());
  CompareProcesses(state, call,
                   {DOVETREL_CONVERT, "--dialect", szDialect, set.MainFile(), set.Document()},
                   "call_us", "convert_us");
}

/// Keeps every run's value per benchmark while the console shows them as usual: its time, or the
/// ratio it measured itself when it has one.
class CCollectingReporter final : public benchmark::ConsoleReporter {
public:
  /// Colours only on a terminal, so that a log or a pipe gets plain text.
  CCollectingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

  std::map<std::string, std::vector<double>> m_mapTimes;
  std::map<std::string, double> m_mapMedians; ///< the library's own, when it computed them

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred)
        continue;
      const auto itRatio = run.counters.find("ratio");
      const double dValue =
          itRatio != run.counters.end() ? itRatio->second.value : run.GetAdjustedRealTime();
      if (run.run_type == Run::RT_Iteration)
        m_mapTimes[run.run_name.function_name].push_back(dValue);
      else if (run.aggregate_name == "median")
        m_mapMedians[run.run_name.function_name] = dValue;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  /// The median value of \p strName; 0 when it did not run.
  double Median(const std::string& strName) const {
    if (const auto itMedian = m_mapMedians.find(strName); itMedian != m_mapMedians.end())
      return itMedian->second;
    const auto it = m_mapTimes.find(strName);
    if (it == m_mapTimes.end() || it->second.empty())
      return 0;
    return dovetrel::bench::Median(it->second);
  }
};

struct Comparison {
  const char* szName;
  const char* szFloor;
  double dBudget; ///< 0: reported, not held to a budget
};

constexpr Comparison kComparisons[] = {
    {"load/largest", "load_floor/largest", 0},
    {"write/largest", "write_floor/largest", 0},
    {"write_w3c/largest", "write/largest", 1.5},
    {"convert/largest", "convert_floor/largest", 3.0},
    {"diff/largest", "diff_floor/largest", 2.0}, // dovetrel-diff to the two conversions
    {"load/worked", "load_floor/worked", 0},
    {"write/worked", "write_floor/worked", 0},
    {"convert/worked", "convert_floor/worked", 0},
    // The generated calls of the largest set to one conversion of it (CoverBench.cpp).
    {"cover/largest", "convert/largest", 10.0},
};

struct ProcessComparison {
  const char* szName;
  const char* szWhat;
  double dBudget;
};

constexpr ProcessComparison kProcessComparisons[] = {
    {"process", "dovetrel-convert to xmllint --format", 1.2},
    {"flow_process", "dovetrel-convert --flow x.svg to dot -Tsvg", 1.3},
    {"call_process/classic", "dovetrel-call, 100 events, to dovetrel-convert", 1.5},
    {"call_process/w3c", "dovetrel-call --dialect w3c, 100 events, to dovetrel-convert", 1.5},
    {"coverage/largest", "coverage of 100 records to their --expect runs (CoverBench.cpp)", 1.5},
};

struct TimeBudget {
  const char* szName;
  const char* szWhat;
  double dMicroseconds;
};

constexpr TimeBudget kTimeBudgets[] = {
    {"lsp_change/largest", "a change answered with the diagnostics of the set", 10000},
};

/// Prints the median time of each benchmark held to a time of its own; false when one is over.
bool ReportTimes(const CCollectingReporter& reporter) {
  bool bWithinBudget = true;
  std::printf("\n%-22s %10s %10s\n", "time", "us", "budget us");
  for (const TimeBudget& b : kTimeBudgets) {
    const double dTime = reporter.Median(b.szName);
    if (dTime <= 0)
      continue;
    const bool bOver = dTime > b.dMicroseconds;
    bWithinBudget = bWithinBudget && !bOver;
    std::printf("%-22s %10.1f %10.0f %s (%s)\n", b.szName, dTime, b.dMicroseconds,
                bOver ? "OVER" : "ok", b.szWhat);
  }
  return bWithinBudget;
}

/// Prints each benchmark's ratio to its floor; false when one is over its budget.
bool ReportRatios(const CCollectingReporter& reporter) {
  bool bWithinBudget = true;
  std::printf("\n%-22s %10s %10s %7s %s\n", "ratio", "us", "floor us", "x", "budget");
  for (const Comparison& c : kComparisons) {
    const double dTime = reporter.Median(c.szName);
    const double dFloor = reporter.Median(c.szFloor);
    if (dTime <= 0 || dFloor <= 0)
      continue;
    const double dRatio = dTime / dFloor;
    const bool bOver = c.dBudget > 0 && dRatio > c.dBudget;
    bWithinBudget = bWithinBudget && !bOver;
    std::printf("%-22s %10.1f %10.1f %7.2f %s\n", c.szName, dTime, dFloor, dRatio,
                c.dBudget > 0 ? (bOver ? "OVER" : "ok") : "");
  }
  for (const ProcessComparison& c : kProcessComparisons) {
    const double dRatio = reporter.Median(c.szName);
    if (dRatio <= 0)
      continue;
    const bool bOver = dRatio > c.dBudget;
    bWithinBudget = bWithinBudget && !bOver;
    std::printf("%-22s %10s %10s %7.2f %s (%s)\n", c.szName, "", "", dRatio, bOver ? "OVER" : "ok",
                c.szWhat);
  }
  return bWithinBudget;
}

void Register() {
  using Function = void (*)(benchmark::State&, bool);
  const std::pair<const char*, Function> kBenchmarks[] = {
      {"load", Load},
      {"load_floor", LoadFloor},
      {"write", Write},
      {"write_floor", WriteFloorBench},
      {"write_w3c", WriteW3c},
      {"convert", Convert},
      {"convert_floor", ConvertFloor},
  };
  benchmark::RegisterBenchmark("process", Processes)->Unit(benchmark::kMicrosecond)->UseRealTime();
  benchmark::RegisterBenchmark("flow_process", FlowProcesses)
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
  for (const auto& [szName, dialect] :
       {std::pair{"classic", Dialect::Classic}, std::pair{"w3c", Dialect::W3c}}) {
    benchmark::RegisterBenchmark((std::string("call_process/") + szName).c_str(), CallProcesses,
                                 dialect)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark((std::string("call_run/") + szName).c_str(), CallRun, dialect)
        ->Unit(benchmark::kMicrosecond);
  }
  for (const bool bLargest : {true, false})
    for (const auto& [szName, pFunction] : kBenchmarks)
      benchmark::RegisterBenchmark(
          (std::string(szName) + (bLargest ? "/largest" : "/worked")).c_str(), pFunction, bLargest)
          ->Unit(benchmark::kMicrosecond);
}

} // namespace
} // namespace dovetrel::bench

/// Runs the benchmarks, then prints each one's ratio to its floor and the times held to a budget
/// of their own. With --enforce, the exit status is 1 when one is over its budget.
int main(int argc, char** argv) {
  bool bEnforce = false;
  int nKept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--enforce") == 0)
      bEnforce = true;
    else
      argv[nKept++] = argv[i];
  }
  argc = nKept;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 2;
  dovetrel::bench::Register();
  dovetrel::bench::CCollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const bool bRatiosWithin = dovetrel::bench::ReportRatios(reporter);
  const bool bWithinBudget = dovetrel::bench::ReportTimes(reporter) && bRatiosWithin;
  return bEnforce && !bWithinBudget ? 1 : 0;
}

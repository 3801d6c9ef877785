// What dovetrel-diff costs on the largest sets the table holds, beside their two conversions.

#include "bench/BenchSets.h"
#include "convert/Conversion.h"
#include "diff/CallDiff.h"

#include <benchmark/benchmark.h>

#include <fstream>

namespace dovetrel::bench {
namespace {

/// Two largest sets: the second with another number, greeting and timeout in places, so that the
/// comparison has changes to say.
struct DiffSets {
  CBenchSet older = CBenchSet::Largest();
  CBenchSet newer = CBenchSet::Largest();
  DiffSets() {
    std::ofstream(newer.Directory() + "menu5.ivr") << "7    other.wav\n";
    std::string strMain = test::ReadWholeFile(newer.MainFile());
    strMain.replace(strMain.find("84951234567"), 11, "84957654321");
    std::ofstream(newer.MainFile()) << strMain;
  }
};

const DiffSets& Sets() {
  static const DiffSets sets;
  return sets;
}

/// dovetrel-diff's work: both sets converted into memory, their flows compared.
void Diff(benchmark::State& state) {
  CCountingSink messages;
  std::size_t nChanges = 0;
  for (auto _ : state) {
    const std::optional<CallSet> older = ReadSetForDiff(Sets().older.MainFile(), messages);
    const std::optional<CallSet> newer = ReadSetForDiff(Sets().newer.MainFile(), messages);
    if (!older || !newer) {
      state.SkipWithError("a set did not convert");
      return;
    }
    nChanges =
        CompareCallFlows({older->flow, older->strEncoding}, {newer->flow, newer->strEncoding})
            .size();
  }
  state.counters["changes"] = static_cast<double>(nChanges);
}

/// The two conversions, as dovetrel-convert makes them.
void DiffFloor(benchmark::State& state) {
  CCountingSink messages;
  CScenarioTable table;
  std::string strBaseDir;
  for (auto _ : state)
    for (const CBenchSet* pSet : {&Sets().older, &Sets().newer})
      benchmark::DoNotOptimize(
          RunConversion(pSet->MainFile(), pSet->Document(), strBaseDir, table, messages));
  if (messages.m_nFailures > 0)
    state.SkipWithError("a conversion failed");
}

BENCHMARK(Diff)->Name("diff/largest")->Unit(benchmark::kMicrosecond);
BENCHMARK(DiffFloor)->Name("diff_floor/largest")->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace dovetrel::bench

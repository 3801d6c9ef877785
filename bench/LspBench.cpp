// The language server's answer to an edit: the whole set read again with the buffer standing in
// for its file, checked, and the diagnostics of every file published, in process.

#include "bench/BenchSets.h"
#include "lsp/LanguageServer.h"
#include "lsp/Protocol.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace dovetrel::bench {
namespace {

using Json = nlohmann::json;

/// Drops what the server writes, counting the diagnostics notifications among it and those that
/// carry a finding.
class CDiscardingBuffer final : public std::streambuf {
public:
  std::uint64_t m_nPublished = 0;
  std::uint64_t m_nWithFindings = 0;

protected:
  int_type overflow(int_type ch) override { return traits_type::not_eof(ch); }
  std::streamsize xsputn(const char* pText, std::streamsize nSize) override {
    // A frame's body is written at once: one notification, one name.
    const std::string_view text(pText, static_cast<std::size_t>(nSize));
    if (text.find("publishDiagnostics") == std::string_view::npos)
      return nSize;
    ++m_nPublished;
    if (text.find("\"severity\"") != std::string_view::npos)
      ++m_nWithFindings;
    return nSize;
  }
};

Json Notification(const char* szMethod, Json params) {
  return Json{{"jsonrpc", "2.0"}, {"method", szMethod}, {"params", std::move(params)}};
}

/// The change of \p strUri to the whole text \p strText, as the editor sends it.
std::string Change(const std::string& strUri, const std::string& strText) {
  return Notification("textDocument/didChange",
                      {{"textDocument", {{"uri", strUri}, {"version", 2}}},
                       {"contentChanges", {{{"text", strText}}}}})
      .dump();
}

/// The largest set's main file open in the server, changed in every iteration as an author's
/// keystroke changes it: by turns its first menu's keyword one column off (a warning, with its
/// quick fix) and back. Each change is answered with the
/// diagnostics of all 21 files of the set.
void LspChange(benchmark::State& state) {
  static const CBenchSet set = CBenchSet::Largest(test::MemoryBackedParent());
  CDiscardingBuffer discarded;
  std::ostream out(&discarded);
  CLanguageServer server(out);
  const std::string strUri = UriFromPath(set.MainFile());
  const std::string strText = test::ReadWholeFile(set.MainFile());
  // The line's width unchanged, its keyword one column to the left.
  constexpr std::string_view kLine = "1    menu            menu1.ivr";
  std::string strOff = strText;
  strOff.replace(strText.find(kLine), kLine.size(), "1   menu             menu1.ivr");
  const std::string changes[2] = {Change(strUri, strOff), Change(strUri, strText)};
  server.Handle(
      Json{{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", {}}}.dump());
  server.Handle(
      Notification("textDocument/didOpen",
                   {{"textDocument",
                     {{"uri", strUri}, {"languageId", "ivr"}, {"version", 1}, {"text", strText}}}})
          .dump());
  discarded.m_nPublished = 0;
  std::size_t nChange = 0;
  for (auto _ : state)
    server.Handle(changes[nChange++ % 2]);
  const double dPublished =
      static_cast<double>(discarded.m_nPublished) / static_cast<double>(nChange);
  if (dPublished < static_cast<double>(set.Files().size()) || discarded.m_nWithFindings == 0)
    state.SkipWithError("a change was not answered with the diagnostics of every file");
  state.counters["published"] = dPublished;
}

BENCHMARK(LspChange)->Name("lsp_change/largest")->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
} // namespace dovetrel::bench

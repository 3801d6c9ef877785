#include "lsp/FileFixes.h"

#include "lsp/Formatting.h"
#include "lsp/Protocol.h"
#include "lsp/Texts.h"
#include "scenario/Paths.h"
#include "text/Utf8.h"

#include <algorithm>
#include <utility>

namespace dovetrel {

namespace {

using Json = nlohmann::json;

/// A position of the protocol as (line, character), to be compared.
using Point = std::pair<std::int64_t, std::int64_t>;

Point PointOf(const Json& position) {
  return {position.at("line").get<std::int64_t>(), position.at("character").get<std::int64_t>()};
}

/// True when the ranges [a, b) and [c, d) share a character, or begin at one place, where the
/// order of the two edits would decide the text.
bool Overlap(std::pair<Point, Point> first, std::pair<Point, Point> second) {
  return first.first == second.first ||
         (first.first < second.second && second.first < first.second);
}

/// The greeting a new file is given: named after the file, where its name gives one. A name the
/// reader can take as a file's is short enough for it (its field name is longer).
std::string GreetingOf(std::string_view name) {
  const std::string_view stem = ScenarioName(name);
  return stem.empty() || !IsUtf8(stem) ? "greeting.wav" : std::string(stem) + ".wav";
}

} // namespace

bool KindRequested(const Json& params, std::string_view kind) {
  const Json context = params.value("context", Json::object());
  if (!context.contains("only"))
    return true;
  return std::ranges::any_of(context.at("only"), [kind](const Json& only) {
    const std::string strOnly = only.get<std::string>();
    return kind == strOnly || kind.starts_with(strOnly + ".");
  });
}

Json FixAllAction(const std::vector<Json>& fixes) {
  std::vector<std::pair<Point, Point>> kept;
  Json edits = Json::array();
  Json diagnostics = Json::array();
  std::string strUri;
  for (const Json& fix : fixes) {
    if (!fix.at("edit").contains("changes"))
      continue;
    for (const auto& [uri, changes] : fix["edit"]["changes"].items()) {
      std::vector<std::pair<Point, Point>> ranges;
      for (const Json& edit : changes)
        ranges.emplace_back(PointOf(edit["range"]["start"]), PointOf(edit["range"]["end"]));
      if (std::ranges::any_of(ranges, [&](const auto& range) {
            return std::ranges::any_of(kept,
                                       [&](const auto& other) { return Overlap(range, other); });
          }))
        continue;
      kept.insert(kept.end(), ranges.begin(), ranges.end());
      edits.insert(edits.end(), changes.begin(), changes.end());
      diagnostics.insert(diagnostics.end(), fix["diagnostics"].begin(), fix["diagnostics"].end());
      strUri = uri;
    }
  }
  if (edits.empty())
    return nullptr;
  return {{"title", text::kLspFixAll},
          {"kind", "source.fixAll"},
          {"diagnostics", std::move(diagnostics)},
          {"edit", {{"changes", {{strUri, std::move(edits)}}}}}};
}

bool CanCreateFiles(const Json& params) {
  const Json::json_pointer where("/capabilities/workspace/workspaceEdit");
  if (!params.contains(where) || !params.at(where).is_object())
    return false;
  const Json& edit = params.at(where);
  const Json operations = edit.value("resourceOperations", Json::array());
  return edit.value("documentChanges", Json(false)) == true && operations.is_array() &&
         std::ranges::find(operations, Json("create")) != operations.end();
}

Json CreateFileAction(const Finding& finding, const Json& diagnostic, const CheckedSet& set) {
  if (finding.code != FindingCode::CannotOpenFile || finding.nLine < 1)
    return nullptr;
  const std::span<const ScenarioEntry> rows = set.table.Entries();
  const auto menu = std::ranges::find_if(rows, [&](const ScenarioEntry& row) {
    return row.kind == kindMenu && row.line == finding.nLine &&
           set.table.SourcePathOfRow(static_cast<int>(&row - rows.data())) == finding.strFile;
  });
  if (menu == rows.end())
    return nullptr;
  const std::string_view name = menu->text;
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos)
    return nullptr;
  const std::string strUri = UriFromPath(set.table.BaseDirectory() + std::string(name));
  const Json start{{"line", 0}, {"character", 0}};
  const Json header{{"range", {{"start", start}, {"end", start}}},
                    {"newText", HeaderLine("10", GreetingOf(name)) + "\n"}};
  return {{"title", std::string(text::kLspCreateFile) + std::string(name)},
          {"kind", "quickfix"},
          {"diagnostics", Json::array({diagnostic})},
          {"edit",
           {{"documentChanges",
             {{{"kind", "create"}, {"uri", strUri}},
              {{"textDocument", {{"uri", strUri}, {"version", nullptr}}},
               {"edits", Json::array({header})}}}}}}};
}

} // namespace dovetrel

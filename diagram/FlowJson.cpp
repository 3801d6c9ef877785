#include "diagram/FlowJson.h"

#include "diagram/FlowText.h"
#include "diagram/Texts.h"

#include <nlohmann/json.hpp>

namespace dovetrel {

namespace {

using Json = nlohmann::ordered_json;

const char* ActionName(ActionKind kind) {
  switch (kind) {
  case ActionKind::Menu:
    return "menu";
  case ActionKind::Dial:
    return "dial";
  case ActionKind::Hangup:
    break;
  }
  return "hangup";
}

const char* ReasonName(InertReason reason) {
  switch (reason) {
  case InertReason::UnknownKeyword:
    return "unknownKeyword";
  case InertReason::KeyTaken:
    return "keyTaken";
  case InertReason::SecondNoInput:
    return "secondNoInput";
  case InertReason::BusyServesNoDial:
    break;
  }
  return "busyServesNoDial";
}

/// Writes the flow's parts; every text goes through the decoder.
class CJsonWriter {
public:
  CJsonWriter(const CallFlow& flow, CFlowText& text, const DiagramMarks* pMarks)
      : m_flow(flow), m_text(text), m_pMarks(pMarks) {}

  Json Source(const SourcePlace& source) {
    return {{"file", m_text.DecodePath(PathInSet(m_flow, source.strFile))}, {"line", source.nLine}};
  }

  Json Step(const FlowStep& step) {
    Json json{{"action", ActionName(step.kind)}};
    if (step.kind == ActionKind::Menu) {
      json["file"] = m_text.Decode(step.strArgument);
      json["target"] = step.nTargetMenu >= 0 ? Json(step.nTargetMenu) : Json(nullptr);
    } else if (step.kind == ActionKind::Dial) {
      json["number"] = m_text.Decode(step.strArgument);
    }
    json["source"] = Source(step.source);
    if (m_pMarks) {
      const std::pair<std::string, int> row{step.source.strFile, step.source.nLine};
      if (const auto found = m_pMarks->hits.find(row); found != m_pMarks->hits.end())
        json["hits"] = found->second;
      if (step.kind != ActionKind::Dial)
        return json;
      if (const auto found = m_pMarks->noAnswers.find(row); found != m_pMarks->noAnswers.end())
        json["noAnswerHits"] = found->second;
    }
    return json;
  }

  Json Action(const FlowAction& action) {
    Json json = Step(action);
    if (action.kind == ActionKind::Dial)
      json["busy"] = action.busy ? Step(*action.busy) : Json(nullptr);
    return json;
  }

  Json Key(char key) {
    return key == '\0' ? Json(nullptr) : Json(m_text.Decode(std::string_view(&key, 1)));
  }

  Json Inert(const InertRow& row) {
    const bool bActing =
        row.reason == InertReason::KeyTaken || row.reason == InertReason::SecondNoInput;
    return {{"key", Key(row.key)},
            {"reason", ReasonName(row.reason)},
            {"actingLine", bActing ? Json(row.nActingLine) : Json(nullptr)},
            {"source", Source(row.source)},
            {"text", row.reason == InertReason::UnknownKeyword
                         ? std::string(text::kUnknownKeyword)
                         : m_text.DecodeQuoting(DescribeInertRow(row))}};
  }

  Json Menu(const FlowMenu& menu) {
    Json keys = Json::array();
    for (const KeyAction& key : menu.keys) {
      Json json{{"key", Key(key.key)}};
      json.update(Action(key.action));
      keys.push_back(std::move(json));
    }
    Json inert = Json::array();
    for (const InertRow& row : menu.inert)
      inert.push_back(Inert(row));
    return {{"name", m_text.Decode(menu.strName)},
            {"path", m_text.DecodePath(PathInSet(m_flow, menu.strPath))},
            {"timeout", m_text.Decode(menu.strTimeout)},
            {"greeting", m_text.Decode(menu.strGreeting)},
            {"keys", std::move(keys)},
            {"noInput", menu.noInput ? Action(*menu.noInput) : Json(nullptr)},
            {"inert", std::move(inert)}};
  }

private:
  const CallFlow& m_flow;
  CFlowText& m_text;
  const DiagramMarks* m_pMarks; ///< the recorded calls' coverage; null for none
};

} // namespace

bool WriteFlowJson(const CallFlow& flow, const std::string& strEncoding, std::string& strJson,
                   std::string& strReason, const DiagramMarks* pMarks) {
  const std::unique_ptr<CFlowText> pText = CFlowText::Open(strEncoding);
  if (!pText) {
    strReason = "unknown code page " + strEncoding;
    return false;
  }
  CJsonWriter writer(flow, *pText, pMarks);
  Json menus = Json::array();
  for (const FlowMenu& menu : flow.menus)
    menus.push_back(writer.Menu(menu));
  const Json json{{"format", "dovetrel-call-flow"},
                  {"version", kFlowJsonVersion},
                  {"encoding", strEncoding},
                  {"menus", std::move(menus)}};
  strJson = json.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
  return true;
}

} // namespace dovetrel

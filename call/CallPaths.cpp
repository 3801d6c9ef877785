#include "call/CallPaths.h"

#include "call/Texts.h"
#include "convert/Greetings.h"
#include "text/Escape.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace dovetrel {

namespace {

/// The events that reach a menu from the start of the call, and what was heard on the way.
struct Route {
  std::vector<std::string> events;
  std::vector<int> heard;  ///< menus whose greeting played, in order
  std::vector<int> waited; ///< menus whose timeout passed, in order
};

/// An action of a menu with the events that take it, the menu's index beside it.
struct Move {
  const FlowStep* pStep;
  std::vector<std::string> events;
  bool bWaits; ///< the menu's timeout passes first (no input)
};

/// The event word of \p key, as dovetrel-call takes it.
std::string EventOf(char key, const std::string& strEncoding) {
  if (key == keyFax)
    return "fax";
  if (key == keyNoInput)
    return "silence";
  return DecodeTranscriptText(std::string(1, key), strEncoding);
}

/// Every action of \p menu, a dial's busy row after it, in row order.
std::vector<Move> MovesOf(const FlowMenu& menu, const std::string& strEncoding) {
  std::vector<Move> moves;
  const auto add = [&](const FlowAction& action, char key) {
    const std::string strEvent = EventOf(key, strEncoding);
    moves.push_back(Move{&action, {strEvent}, key == keyNoInput});
    if (action.kind == ActionKind::Dial && action.busy)
      moves.push_back(Move{&*action.busy, {strEvent, "busy"}, key == keyNoInput});
  };
  for (const KeyAction& key : menu.keys)
    add(key.action, key.key);
  if (menu.noInput)
    add(*menu.noInput, keyNoInput);
  std::stable_sort(moves.begin(), moves.end(), [](const Move& a, const Move& b) {
    return a.pStep->source.nLine < b.pStep->source.nLine;
  });
  return moves;
}

/// \p route followed by \p move out of menu \p nMenu.
Route Follow(const Route& route, const Move& move, int nMenu) {
  Route next = route;
  next.events.insert(next.events.end(), move.events.begin(), move.events.end());
  if (move.bWaits)
    next.waited.push_back(nMenu);
  if (move.pStep->kind == ActionKind::Menu && move.pStep->nTargetMenu >= 0)
    next.heard.push_back(move.pStep->nTargetMenu);
  return next;
}

/// The shortest route to every menu the call reaches, by the number of events; of routes as short,
/// the one found first (menus taken in table order, their rows in row order).
std::vector<std::optional<Route>> ShortestRoutes(const CallFlow& flow,
                                                 const std::vector<std::vector<Move>>& moves) {
  std::vector<std::optional<Route>> routes(flow.menus.size());
  if (flow.menus.empty())
    return routes;
  routes[0] = Route{{}, {0}, {}};
  std::set<std::pair<std::size_t, int>> queue{{0, 0}};
  while (!queue.empty()) {
    const int nMenu = queue.begin()->second;
    queue.erase(queue.begin());
    for (const Move& move : moves[static_cast<std::size_t>(nMenu)]) {
      const int nTarget = move.pStep->nTargetMenu;
      if (move.pStep->kind != ActionKind::Menu || nTarget < 0)
        continue;
      Route next = Follow(*routes[static_cast<std::size_t>(nMenu)], move, nMenu);
      std::optional<Route>& known = routes[static_cast<std::size_t>(nTarget)];
      if (known && known->events.size() <= next.events.size())
        continue;
      if (known)
        queue.erase({known->events.size(), nTarget});
      queue.emplace(next.events.size(), nTarget);
      known = std::move(next);
    }
  }
  return routes;
}

/// Reads each menu's greeting once, on demand.
class CGreetingLengths {
public:
  CGreetingLengths(const CallFlow& flow, const std::string& strEncoding, IAudioFiles& audio)
      : m_flow(flow), m_strEncoding(strEncoding), m_audio(audio) {}

  /// The length of menu \p nMenu's greeting in seconds; none when it cannot be read.
  std::optional<double> Seconds(int nMenu) {
    const auto found = m_lengths.find(nMenu);
    if (found != m_lengths.end())
      return found->second;
    const FlowMenu& menu = m_flow.menus[static_cast<std::size_t>(nMenu)];
    const AudioReading reading = ReadGreeting(menu, m_strEncoding, m_audio);
    std::optional<double> length;
    if (reading.format)
      length = reading.format->Seconds();
    return m_lengths[nMenu] = length;
  }
  /// The greeting's name of menu \p nMenu, in UTF-8.
  std::string Name(int nMenu) const {
    return DecodeTranscriptText(m_flow.menus[static_cast<std::size_t>(nMenu)].strGreeting,
                                m_strEncoding);
  }

private:
  const CallFlow& m_flow;
  const std::string& m_strEncoding;
  IAudioFiles& m_audio;
  std::map<int, std::optional<double>> m_lengths;
};

/// The seconds of a timeout as the document writes it ("10s"); none when it has no number.
std::optional<int> TimeoutSeconds(const std::string& strTimeout) {
  const std::size_t nDigits = strTimeout.find_first_not_of("0123456789");
  if (nDigits == 0 || strTimeout.empty())
    return std::nullopt;
  return std::atoi(strTimeout.substr(0, nDigits).c_str());
}

/// "прослушать 12,4 с (welcome.wav 5,2 с, sales.wav 7,2 с)": the greetings \p route plays.
std::string Listening(const Route& route, CGreetingLengths& lengths) {
  double dTotal = 0;
  bool bUnknown = false;
  bool bKnown = false;
  std::string strItems;
  for (const int nMenu : route.heard) {
    if (lengths.Name(nMenu).empty())
      continue;
    const std::optional<double> seconds = lengths.Seconds(nMenu);
    strItems += (strItems.empty() ? "" : ", ") + lengths.Name(nMenu);
    if (seconds) {
      dTotal += *seconds;
      bKnown = true;
      strItems += ' ' + FormatSeconds(*seconds) + std::string(text::kSeconds);
    } else {
      bUnknown = true;
      strItems += text::kPathUnknownLength;
    }
  }
  if (bUnknown && !bKnown) // no length to add up
    return std::string(text::kPathListen) + "(" + strItems + ")";
  return std::string(text::kPathListen) + (bUnknown ? std::string(text::kPathAtLeast) : "") +
         FormatSeconds(dTotal) + std::string(text::kSeconds) + " (" + strItems + ")";
}

/// ", ждать 10 с" for the timeouts \p route waits; empty when it waits none.
std::string Waiting(const CallFlow& flow, const Route& route) {
  if (route.waited.empty())
    return {};
  int nTotal = 0;
  bool bUnknown = false;
  for (const int nMenu : route.waited) {
    const std::optional<int> seconds =
        TimeoutSeconds(flow.menus[static_cast<std::size_t>(nMenu)].strTimeout);
    nTotal += seconds.value_or(0);
    bUnknown = bUnknown || !seconds;
  }
  return ", " + std::string(text::kPathWait) + (bUnknown ? std::string(text::kPathAtLeast) : "") +
         std::to_string(nTotal) + std::string(text::kSeconds);
}

/// "до набора 123 (main.ivr:3)": what \p step does and where its row stands.
std::string EndName(const CallFlow& flow, const FlowStep& step, const std::string& strEncoding) {
  std::string strName =
      step.kind == ActionKind::Hangup ? std::string(text::kPathToHangup)
      : step.strArgument.empty()
          ? std::string(text::kPathNoNumber)
          : std::string(text::kPathToDial) + DecodeTranscriptText(step.strArgument, strEncoding);
  return strName + " (" + std::string(PathInSet(flow, step.source.strFile)) + ":" +
         std::to_string(step.source.nLine) + ")";
}

} // namespace

std::vector<std::string> DescribeCallPaths(const CallFlow& flow, const std::string& strEncoding,
                                           IAudioFiles& audio) {
  std::vector<std::vector<Move>> moves;
  for (const FlowMenu& menu : flow.menus)
    moves.push_back(MovesOf(menu, strEncoding));
  const std::vector<std::optional<Route>> routes = ShortestRoutes(flow, moves);
  CGreetingLengths lengths(flow, strEncoding, audio);
  std::vector<std::string> lines;
  for (std::size_t nMenu = 0; nMenu < flow.menus.size(); ++nMenu) {
    for (const Move& move : moves[nMenu]) {
      if (move.pStep->kind == ActionKind::Menu)
        continue;
      std::string strLine = EndName(flow, *move.pStep, strEncoding) + ": ";
      if (!routes[nMenu]) {
        lines.push_back(strLine + std::string(text::kPathUnreachable));
        continue;
      }
      const Route route = Follow(*routes[nMenu], move, static_cast<int>(nMenu));
      std::string strEvents;
      for (const std::string& strEvent : route.events)
        strEvents += (strEvents.empty() ? "" : " ") + strEvent;
      lines.push_back(strLine + strEvents + ", " + Listening(route, lengths) +
                      Waiting(flow, route));
    }
  }
  return lines;
}

} // namespace dovetrel

#include "call/CallPaths.h"

#include "call/Texts.h"
#include "convert/Greetings.h"
#include "flow/FlowRoutes.h"
#include "text/Escape.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <map>
#include <optional>

namespace dovetrel {

namespace {

/// The events that reach a point of the call from its start, and what was heard on the way.
struct Route {
  std::vector<std::string> events;
  std::vector<int> heard;  ///< menus whose greeting played, in order
  std::vector<int> waited; ///< menus whose timeout passed, in order
};

/// The event word of \p key, as dovetrel-call takes it.
std::string EventOf(char key, const std::string& strEncoding) {
  if (key == keyFax)
    return "fax";
  if (key == keyNoInput)
    return "silence";
  return DecodeTranscriptText(std::string(1, key), strEncoding);
}

/// \p route followed by \p move.
void Follow(Route& route, const FlowMove& move, const std::string& strEncoding) {
  route.events.push_back(EventOf(move.key, strEncoding));
  if (move.bBusy)
    route.events.emplace_back("busy");
  if (move.key == keyNoInput)
    route.waited.push_back(static_cast<int>(move.nMenu));
  if (move.Step().kind == ActionKind::Menu && move.Step().nTargetMenu >= 0)
    route.heard.push_back(move.Step().nTargetMenu);
}

/// The shortest route from the start of the call to the wait of menu \p nMenu.
Route RouteTo(const CFlowRoutes& routes, std::size_t nMenu, const std::string& strEncoding) {
  Route route{{}, {0}, {}};
  for (const FlowMove& step : routes.To(nMenu))
    Follow(route, step, strEncoding);
  return route;
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

/// " (main.ivr:3)": where row \p nLine of \p strFile stands; " (main.ivr)" for line 0.
std::string Place(const CallFlow& flow, const std::string& strFile, int nLine) {
  return " (" + std::string(PathInSet(flow, strFile)) +
         (nLine > 0 ? ":" + std::to_string(nLine) : std::string()) + ")";
}

/// "до набора 123 (main.ivr:3)": what \p step does and where its row stands.
std::string EndName(const CallFlow& flow, const FlowStep& step, const std::string& strEncoding) {
  std::string strName =
      step.kind == ActionKind::Hangup ? std::string(text::kPathToHangup)
      : step.strArgument.empty()
          ? std::string(text::kPathNoNumber)
          : std::string(text::kPathToDial) + DecodeTranscriptText(step.strArgument, strEncoding);
  return strName + Place(flow, step.source.strFile, step.source.nLine);
}

/// One way a call ends: its name and place, the row it stands at and how the call gets there.
struct PathEnd {
  int nLine; ///< the row, to list the ends in row order; the ends no row gives come last
  std::string strName;
  Route route;
  bool bRow = true; ///< a row gives the end: a dial or a hang-up
};

/// "до отбоя при занятом 123 (main.ivr:3)": the end of dial \p step's busy number, when no busy
/// row takes the call on.
std::string BusyEndName(const CallFlow& flow, const FlowStep& step,
                        const std::string& strEncoding) {
  return (step.strArgument.empty() ? std::string(text::kPathBusyNoNumber)
                                   : std::string(text::kPathBusyEnd) +
                                         DecodeTranscriptText(step.strArgument, strEncoding)) +
         Place(flow, step.source.strFile, step.source.nLine);
}

/// The ends of menu \p nMenu that no row gives, after \p toMenu: the first key a telephone sends
/// that no row answers, and no input where no row takes it.
std::vector<PathEnd> MenuEnds(const CallFlow& flow, std::size_t nMenu, const Route& toMenu) {
  const FlowMenu& menu = flow.menus[nMenu];
  const int nLast = std::numeric_limits<int>::max(); // after the rows
  std::vector<PathEnd> ends;
  constexpr std::string_view kTelephoneKeys = "0123456789*#";
  const auto free = std::find_if(kTelephoneKeys.begin(), kTelephoneKeys.end(), [&](char key) {
    return std::none_of(menu.keys.begin(), menu.keys.end(),
                        [key](const KeyAction& action) { return action.key == key; });
  });
  if (free != kTelephoneKeys.end()) {
    ends.push_back(PathEnd{nLast, std::string(text::kPathNoKeyEnd) + Place(flow, menu.strPath, 0),
                           toMenu, false});
    ends.back().route.events.emplace_back(1, *free);
  }
  if (!menu.noInput) {
    ends.push_back(PathEnd{nLast, std::string(text::kPathNoInputEnd) + Place(flow, menu.strPath, 0),
                           toMenu, false});
    ends.back().route.events.emplace_back("silence");
    ends.back().route.waited.push_back(static_cast<int>(nMenu));
  }
  return ends;
}

/// The ways the calls end in menu \p nMenu, each with the shortest route to it, \p toMenu the one
/// to the menu's wait, in row order: its dials and hang-ups, a busy number no busy row takes, and
/// then the ends no row gives at all.
std::vector<PathEnd> EndsOf(const CallFlow& flow, std::size_t nMenu, const MenuMoves& moves,
                            const Route& toMenu, const std::string& strEncoding) {
  std::vector<PathEnd> ends;
  for (const FlowMove& move : moves[nMenu]) {
    const FlowStep& step = move.Step();
    if (step.kind == ActionKind::Menu)
      continue;
    Route route = toMenu;
    Follow(route, move, strEncoding);
    ends.push_back(PathEnd{step.source.nLine, EndName(flow, step, strEncoding), route, true});
    if (step.kind != ActionKind::Dial || (!move.bBusy && move.pAction->busy))
      continue;
    route.events.emplace_back("busy");
    ends.push_back(
        PathEnd{step.source.nLine, BusyEndName(flow, step, strEncoding), std::move(route), false});
  }
  std::stable_sort(ends.begin(), ends.end(),
                   [](const PathEnd& a, const PathEnd& b) { return a.nLine < b.nLine; });
  for (PathEnd& end : MenuEnds(flow, nMenu, toMenu))
    ends.push_back(std::move(end));
  return ends;
}

} // namespace

std::vector<std::string> DescribeCallPaths(const CallFlow& flow, const std::string& strEncoding,
                                           IAudioFiles& audio) {
  const MenuMoves moves = MovesOf(flow);
  const CFlowRoutes routes(moves, 0);
  CGreetingLengths lengths(flow, strEncoding, audio);
  std::vector<std::string> lines;
  for (std::size_t nMenu = 0; nMenu < flow.menus.size(); ++nMenu) {
    const bool bReached = routes.Reaches(nMenu);
    const Route toMenu = bReached ? RouteTo(routes, nMenu, strEncoding) : Route{};
    for (const PathEnd& end : EndsOf(flow, nMenu, moves, toMenu, strEncoding)) {
      // A menu no call reaches lists the rows that would end a call there, and says so.
      if (!bReached) {
        if (end.bRow)
          lines.push_back(end.strName + ": " + std::string(text::kPathUnreachable));
        continue;
      }
      std::string strEvents;
      for (const std::string& strEvent : end.route.events)
        strEvents += (strEvents.empty() ? "" : " ") + strEvent;
      lines.push_back(end.strName + ": " + strEvents + ", " + Listening(end.route, lengths) +
                      Waiting(flow, end.route));
    }
  }
  return lines;
}

} // namespace dovetrel

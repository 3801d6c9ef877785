#pragma once

#include "call/Call.h"
#include "call/CallSetup.h"
#include "diagram/DiagramGraph.h"
#include "diagram/FlowText.h"
#include "gui/DialogServices.h"

#include <QByteArray>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QLabel;
class QGraphicsSvgItem;
class QGraphicsView;
class QListWidget;
class QPushButton;
class QSvgRenderer;

namespace dovetrel {

/// A call placed on the document a set converts to, in a window of its own: a telephone keypad,
/// silence and fax while a menu waits (those that act in the menu stand out), the transfer's
/// outcomes while a number rings (each button enabled only when it fits), the transcript growing in
/// a list in Russian beside the call flow (the menu the call waits in, the dial that rings or the
/// step that ended the call filled, the boxes and arrows the call has taken drawn as its path),
/// "Сначала" to start over and "Сохранить звонок…" (Ctrl+S) to keep the call as a record that
/// dovetrel-call --expect replays. A greeting whose audio file lies in the scenario's folder plays
/// as its line appears. "Покрытие звонками" shows on the call flow how the records in calls/ beside
/// the main file cover the set's rows, and "Покрыть звонками…" writes generated calls there.
/// Escape closes it.
class CCallWindow : public QWidget, private ICallTranscript {
  Q_OBJECT

public:
  /// A window for \p set, its document of \p dialect compiled into \p pProgram, for the set
  /// \p strIvrFile. The call starts at once.
  CCallWindow(IDialogServices& services, CallSet set, std::unique_ptr<CCallProgram> pProgram,
              Dialect dialect, const std::string& strIvrFile, QWidget* pParent = nullptr);
  ~CCallWindow() override;

  /// Starts the call over from the first menu, the transcript emptied.
  void OnRestart();
  /// Hands the event \p word names (a key's character, "silence", "fax", "answer", "busy",
  /// "noanswer") to the call.
  void OnEvent(const std::string& strWord);
  /// Asks for a file, proposed in calls/ beside the main file, and writes the call so far there
  /// as its record; nothing after a cancel. Failures are shown as boxes; the window stays.
  void OnSaveCall();
  /// The transcript so far in dovetrel-call's words, one line per step.
  const std::vector<std::string>& Transcript() const { return m_vecLines; }
  /// The main file of the set called, as the dialog named it.
  const std::string& IvrFile() const { return m_strIvrFile; }
  /// Runs every record in calls/ beside the main file on the window's document and shows on the
  /// call flow how many took each row (the rows none took in a warning colour), with the summary
  /// beneath it; \p bShow false shows the call flow plain again. A record that cannot be read or
  /// run is a box, and the coverage is not shown.
  void OnShowCoverage(bool bShow);
  /// Writes the generated calls that make every row act that can into calls/ beside the main
  /// file, keeping the records there, and says in a box how many it wrote and the fewest there can
  /// be; a folder that cannot be written is a box. A coverage shown is counted again.
  void OnCoverCalls();
  /// The call flow as drawn now, the coverage included when shown and the call's path left out;
  /// empty when it could not be drawn.
  const QByteArray& Drawing() const { return m_svg; }

protected:
  /// The call flow keeps fitting its view.
  bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
  void Step(std::string_view line) override;
  /// Draws the call flow into \p pLayout, when the drawing module can draw it.
  void CreateDiagram(QBoxLayout* pLayout);
  /// The controls of the calls' coverage, in a row beneath the rest.
  QBoxLayout* CreateCoverageControls();
  /// Draws the call flow anew into m_svg, with the calls' counts \p pHits when given.
  [[nodiscard]] bool DrawFlow(const DiagramMarks* pHits);
  /// Counts the records in calls/ on the window's document; nothing, after a box, when one cannot
  /// be read or run.
  std::optional<DiagramMarks> CountCallsFolder();
  /// The set's folder of call records: calls/ beside the main file.
  std::string CallsFolder() const;
  /// Draws the call's path so far on the call flow.
  void ShowPath();
  /// The link title the drawing gives the row at \p place: its file and line.
  QString PlaceTitle(const SourcePlace& place) const;
  void CreateControls();
  void EnableButtons();
  void ShowFault();
  /// The name the record chooser proposes: the main file's name and the call's events.
  std::string ProposedRecord() const;

  IDialogServices& m_services;
  CallSet m_set;
  std::unique_ptr<CCallProgram> m_pProgram;
  std::unique_ptr<CCall> m_pCall;
  Dialect m_dialect;
  std::vector<std::string> m_vecLines; ///< the transcript, in dovetrel-call's words
  const FlowMenu* m_pMenu = nullptr;   ///< the menu the call is in; null before the first
  std::string m_strIvrFile;
  std::string m_strDirectory; ///< where the greetings' audio files are looked for
  QListWidget* m_pTranscript = nullptr;
  std::unique_ptr<CFlowText> m_pText; ///< decodes file names as the drawing does
  QByteArray m_svg;                   ///< the call flow as drawn, without the path
  QSvgRenderer* m_pDiagram = nullptr; ///< null when the call flow could not be drawn
  QGraphicsSvgItem* m_pDiagramItem = nullptr;
  QGraphicsView* m_pDiagramView = nullptr;
  std::vector<QPushButton*> m_vecInputButtons;   ///< keys, silence, fax; named by their events
  std::vector<QPushButton*> m_vecOutcomeButtons; ///< answer, busy, no answer
  QCheckBox* m_pCoverageBox = nullptr;           ///< "Покрытие звонками"
  QLabel* m_pCoverageSummary = nullptr;          ///< the coverage's summary; empty when not shown
};

} // namespace dovetrel

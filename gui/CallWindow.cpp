#include "gui/CallWindow.h"

#include "call/CallEvent.h"
#include "call/CallPath.h"
#include "call/CallRecord.h"
#include "call/CoverFolder.h"
#include "call/RecordedCoverage.h"
#include "call/Texts.h"
#include "call/Transcript.h"
#include "convert/FlowCommand.h"
#include "diagram/FlowText.h"
#include "gui/CallWords.h"
#include "gui/PathDrawing.h"
#include "gui/QtDialogServices.h"
#include "gui/QtStrings.h"
#include "gui/Texts.h"
#include "scenario/Paths.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QGraphicsView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace dovetrel {

namespace {

/// The property of each event button that holds the event's word ("1", "silence", "fax").
constexpr const char* kEventProperty = "event";

QPushButton* MakeButton(QWidget* pParent, const QString& strText, const QString& strName) {
  auto* pButton = new QPushButton(strText, pParent);
  pButton->setObjectName(strName);
  pButton->setAutoDefault(false);
  return pButton;
}

} // namespace

CCallWindow::CCallWindow(IDialogServices& services, CallSet set,
                         std::unique_ptr<CCallProgram> pProgram, Dialect dialect,
                         const std::string& strIvrFile, QWidget* pParent)
    : QWidget(pParent, OwnedWindowFlags()), m_services(services), m_set(std::move(set)),
      m_pProgram(std::move(pProgram)), m_dialect(dialect), m_strIvrFile(strIvrFile),
      m_strDirectory(DirectoryOf(strIvrFile)) {
  setObjectName(QStringLiteral("callWindow"));
  setWindowTitle(FromUtf8(text::kCallCaption) +
                 QFile::decodeName(QByteArray::fromStdString(std::string(FileNameOf(strIvrFile)))));
  CreateControls();
  OnRestart();
}

CCallWindow::~CCallWindow() = default;

void CCallWindow::CreateControls() {
  auto* pKeypad = new QGridLayout();
  const QString keys = QStringLiteral("123456789*0#");
  for (int i = 0; i < keys.size(); ++i) {
    QPushButton* pKey = MakeButton(this, keys.mid(i, 1), QStringLiteral("key") + keys[i]);
    pKey->setProperty(kEventProperty, keys.mid(i, 1));
    connect(pKey, &QPushButton::clicked, this,
            [this, strKey = keys.mid(i, 1).toStdString()] { OnEvent(strKey); });
    pKeypad->addWidget(pKey, i / 3, i % 3);
    m_vecInputButtons.push_back(pKey);
    // The keyboard's own keys press the keypad's, at once rather than after a button's pressed
    // look (as its own shortcut would), so that a key and Ctrl+S typed after it come in order.
    connect(new QShortcut(QKeySequence(keys.mid(i, 1)), this), &QShortcut::activated, pKey,
            &QPushButton::click);
  }
  const auto AddEvent = [this](std::string_view text, const char* szWord,
                               std::vector<QPushButton*>& group) {
    QPushButton* pButton = MakeButton(this, FromUtf8(text), QLatin1String(szWord));
    pButton->setProperty(kEventProperty, QLatin1String(szWord));
    connect(pButton, &QPushButton::clicked, this, [this, szWord] { OnEvent(szWord); });
    group.push_back(pButton);
    return pButton;
  };
  auto* pEvents = new QVBoxLayout();
  pEvents->addWidget(AddEvent(text::kSilence, "silence", m_vecInputButtons));
  pEvents->addWidget(AddEvent(text::kFax, "fax", m_vecInputButtons));
  pEvents->addSpacing(12);
  pEvents->addWidget(AddEvent(text::kAnswer, "answer", m_vecOutcomeButtons));
  pEvents->addWidget(AddEvent(text::kBusy, "busy", m_vecOutcomeButtons));
  pEvents->addWidget(AddEvent(text::kNoAnswer, "noanswer", m_vecOutcomeButtons));
  pEvents->addStretch();
  QPushButton* pRestart = MakeButton(this, FromUtf8(text::kRestart), QStringLiteral("restart"));
  connect(pRestart, &QPushButton::clicked, this, &CCallWindow::OnRestart);
  pEvents->addWidget(pRestart);
  QPushButton* pSave = MakeButton(this, FromUtf8(text::kSaveCall), QStringLiteral("saveCall"));
  connect(pSave, &QPushButton::clicked, this, &CCallWindow::OnSaveCall);
  pEvents->addWidget(pSave);

  m_pTranscript = new QListWidget(this);
  m_pTranscript->setObjectName(QStringLiteral("transcript"));
  auto* pKeys = new QVBoxLayout();
  pKeys->addLayout(pKeypad);
  pKeys->addStretch();
  auto* pControls = new QHBoxLayout();
  pControls->addLayout(pKeys);
  pControls->addLayout(pEvents);
  auto* pCall = new QHBoxLayout();
  pCall->addLayout(pControls);
  pCall->addWidget(m_pTranscript, 1);
  CreateDiagram(pCall);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addLayout(pCall, 1);
  pLayout->addLayout(CreateCoverageControls());
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
          &QWidget::close);
  connect(new QShortcut(QKeySequence(QKeySequence::Save), this), &QShortcut::activated, this,
          &CCallWindow::OnSaveCall);
  resize(m_pDiagram ? 1000 : 640, m_pDiagram ? 450 : 390);
}

QBoxLayout* CCallWindow::CreateCoverageControls() {
  QPushButton* pCover = MakeButton(this, FromUtf8(text::kCoverCalls), QStringLiteral("coverCalls"));
  connect(pCover, &QPushButton::clicked, this, &CCallWindow::OnCoverCalls);
  m_pCoverageBox = new QCheckBox(FromUtf8(text::kShowCoverage), this);
  m_pCoverageBox->setObjectName(QStringLiteral("showCoverage"));
  connect(m_pCoverageBox, &QCheckBox::toggled, this, &CCallWindow::OnShowCoverage);
  m_pCoverageSummary = new QLabel(this);
  m_pCoverageSummary->setObjectName(QStringLiteral("coverageSummary"));
  auto* pRow = new QHBoxLayout();
  pRow->addWidget(pCover);
  pRow->addWidget(m_pCoverageBox);
  pRow->addWidget(m_pCoverageSummary, 1);
  return pRow;
}

void CCallWindow::OnRestart() {
  m_pTranscript->clear();
  m_vecLines.clear();
  m_pMenu = nullptr;
  m_pCall = std::make_unique<CCall>(*m_pProgram, static_cast<ICallTranscript&>(*this));
  if (!m_pCall->Start())
    ShowFault();
  EnableButtons();
  ShowPath();
}

void CCallWindow::OnEvent(const std::string& strWord) {
  const std::optional<CallEvent> event = ParseCallEvent(strWord, m_set.strEncoding);
  if (!event || !m_pCall)
    return;
  if (m_pCall->Feed(*event) == FeedResult::Fault)
    ShowFault();
  EnableButtons();
  ShowPath();
}

void CCallWindow::Step(std::string_view line) {
  m_vecLines.emplace_back(line);
  m_pTranscript->addItem(FromUtf8(ShownCallStep(line)));
  m_pTranscript->scrollToBottom();
  const std::string strMenu = TranscriptLine(word::kMenu, {}) + ' ';
  if (line.substr(0, strMenu.size()) == strMenu) {
    // The menus' names in transcript form stand in table order, as the flow's menus do.
    const auto found =
        std::find(m_set.menus.begin(), m_set.menus.end(), line.substr(strMenu.size()));
    const auto nMenu = static_cast<std::size_t>(found - m_set.menus.begin());
    m_pMenu = nMenu < m_set.flow.menus.size() ? &m_set.flow.menus[nMenu] : nullptr;
    return;
  }
  // A greeting plays when its file lies in the scenario's folder; silence otherwise.
  const std::string strPlay = TranscriptLine(word::kPlay, {}) + ' ';
  if (line.substr(0, strPlay.size()) != strPlay || !m_pMenu)
    return;
  // The file the greeting's URI names: an escape stands for the byte it encodes.
  const std::string strAudio = m_strDirectory + PercentDecoded(m_pMenu->strGreeting);
  std::error_code error;
  if (std::filesystem::is_regular_file(strAudio, error))
    m_services.PlayAudio(strAudio);
}

void CCallWindow::ShowFault() {
  m_pTranscript->addItem(FromUtf8(text::kCallFault) + FromUtf8(m_pCall->Fault().strText));
}

void CCallWindow::EnableButtons() {
  const CallWait wait = m_pCall ? m_pCall->Waiting() : CallWait::Nothing;
  for (QPushButton* pButton : m_vecInputButtons) {
    pButton->setEnabled(wait == CallWait::Input);
    // The events the menu answers stand out; any other still ends the call.
    QFont font = pButton->font();
    font.setBold(
        wait == CallWait::Input && m_pMenu &&
        EventActs(*m_pMenu, pButton->property(kEventProperty).toString().toStdString(), m_dialect));
    pButton->setFont(font);
  }
  for (QPushButton* pButton : m_vecOutcomeButtons)
    pButton->setEnabled(wait == CallWait::Outcome);
}

namespace {

/// Drops every message: a call flow that cannot be drawn leaves the call window without it.
class CNoMessages final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding& /*finding*/, MessageKind /*kind*/) override {
    return MessageReply::Ok;
  }
};

} // namespace

bool CCallWindow::DrawFlow(const DiagramMarks* pHits) {
  CNoMessages quiet;
  std::string strSvg;
  if (!MakeFlowBytes(m_set.flow, m_set.strEncoding, FlowFormat::Svg, strSvg, quiet, pHits))
    return false;
  m_svg = QByteArray::fromStdString(strSvg);
  return true;
}

void CCallWindow::CreateDiagram(QBoxLayout* pLayout) {
  m_pText = CFlowText::Open(m_set.strEncoding);
  if (!m_pText || !DrawFlow(nullptr))
    return;
  m_pDiagram = new QSvgRenderer(m_svg, this);
  auto* pScene = new QGraphicsScene(this);
  m_pDiagramItem = new QGraphicsSvgItem();
  m_pDiagramItem->setSharedRenderer(m_pDiagram);
  pScene->addItem(m_pDiagramItem);
  m_pDiagramView = new QGraphicsView(pScene, this);
  m_pDiagramView->setObjectName(QStringLiteral("callFlowView"));
  m_pDiagramView->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  m_pDiagramView->setFocusPolicy(Qt::NoFocus);
  m_pDiagramView->viewport()->installEventFilter(this);
  pLayout->addWidget(m_pDiagramView, 2);
}

QString CCallWindow::PlaceTitle(const SourcePlace& place) const {
  return FromUtf8(m_pText->DecodePath(place.strFile) + ':' + std::to_string(place.nLine));
}

void CCallWindow::ShowPath() {
  if (!m_pDiagram)
    return;
  const CallPath path =
      TraceCallPath(m_set.flow, m_set.menus, m_vecLines, m_set.strEncoding, m_dialect);
  const auto MenuTitle = [&](int nMenu) {
    return FromUtf8(m_pText->DecodePath(m_set.flow.menus[static_cast<std::size_t>(nMenu)].strPath));
  };
  const int nMenus = static_cast<int>(m_set.flow.menus.size());
  QSet<QString> taken;
  for (int nMenu : path.menus) {
    if (nMenu >= 0 && nMenu < nMenus)
      taken.insert(MenuTitle(nMenu));
  }
  for (const SourcePlace& place : path.rows)
    taken.insert(PlaceTitle(place));
  QString strCurrent;
  if (path.step)
    strCurrent = PlaceTitle(*path.step);
  else if (path.nWaitingMenu >= 0 && path.nWaitingMenu < nMenus)
    strCurrent = MenuTitle(path.nWaitingMenu);
  m_pDiagram->load(DrawCallPath(m_svg, taken, strCurrent));
  m_pDiagramItem->update();
}

std::string CCallWindow::CallsFolder() const {
  return (std::filesystem::path(m_strDirectory) / "calls").string();
}

std::optional<DiagramMarks> CCallWindow::CountCallsFolder() {
  std::vector<std::string> paths;
  std::error_code error;
  for (std::filesystem::directory_iterator it(CallsFolder(), error), end; !error && it != end;
       it.increment(error))
    if (it->path().extension() == ".txt" && it->is_regular_file(error))
      paths.push_back(it->path().string());
  std::sort(paths.begin(), paths.end());
  Finding failure;
  const std::optional<std::vector<CoverageRecord>> records = ReadCoverageRecords(paths, failure);
  if (!records) {
    m_services.ShowBox(MessageKind::Warning, failure.strText, failure);
    return std::nullopt;
  }
  RecordedCoverage run;
  CountRecordedCalls(m_set, *m_pProgram, m_dialect, *records, run);
  if (run.fault) {
    m_services.ShowBox(MessageKind::Error, text::kCannotCountCalls,
                       {.code = FindingCode::CannotRunCall,
                        .strText = std::string(text::kCannotCountCalls),
                        .strFile = CallsFolder(),
                        .strNote = DescribeFault(*run.fault)});
    return std::nullopt;
  }
  std::string strDifferences;
  for (const std::string& strDifference : run.differences)
    strDifferences += (strDifferences.empty() ? "" : "\n") + strDifference;
  if (!strDifferences.empty())
    m_services.ShowBox(MessageKind::Warning, text::kCallsDiffer,
                       {.severity = Severity::Warning,
                        .strText = std::string(text::kCallsDiffer),
                        .strNote = strDifferences});
  m_pCoverageSummary->setText(FromUtf8(run.coverage.Summary()));
  return CoverageMarks(run.coverage);
}

void CCallWindow::OnShowCoverage(bool bShow) {
  m_pCoverageSummary->clear();
  const std::optional<DiagramMarks> hits = bShow ? CountCallsFolder() : std::nullopt;
  {
    const QSignalBlocker quiet(m_pCoverageBox); // called from the box, or to set it
    m_pCoverageBox->setChecked(hits.has_value());
  }
  if (!m_pDiagram || !DrawFlow(hits ? &*hits : nullptr))
    return;
  ShowPath();
  m_pDiagramView->fitInView(m_pDiagramItem, Qt::KeepAspectRatio);
}

void CCallWindow::OnCoverCalls() {
  const std::string strFolder = CallsFolder();
  std::string strError;
  if (!CoverFolderWritable(strFolder, strError)) {
    m_services.ShowBox(MessageKind::Warning, text::kCannotCover,
                       {.code = FindingCode::CannotWriteCall,
                        .strText = std::string(text::kCannotCover),
                        .strNote = strError});
    return;
  }
  CBoxMessageSink messages(m_services, strFolder);
  CoverWriting writing;
  if (!WriteCoverRecords(m_set, *m_pProgram, m_dialect, strFolder, messages, writing))
    return;
  std::string strIdle;
  for (const IdleRow& row : writing.cover.idle)
    strIdle += (strIdle.empty() ? "" : "\n") +
               FormatFinding({FindingCode::RowNeverActs, Severity::Information,
                              std::string(text::kCoverIdle) + row.strReason, row.source.strFile,
                              row.source.nLine});
  if (!writing.cover.fault.strText.empty())
    strIdle += (strIdle.empty() ? "" : "\n") + DescribeFault(writing.cover.fault);
  m_services.ShowBox(MessageKind::Information, CoverCountText(writing),
                     {.severity = Severity::Information, .strFile = strFolder, .strNote = strIdle});
  if (m_pCoverageBox->isChecked())
    OnShowCoverage(true);
}

bool CCallWindow::eventFilter(QObject* pObject, QEvent* pEvent) {
  if (m_pDiagramView && pObject == m_pDiagramView->viewport() && pEvent->type() == QEvent::Resize)
    m_pDiagramView->fitInView(m_pDiagramItem, Qt::KeepAspectRatio);
  return QWidget::eventFilter(pObject, pEvent);
}

std::string CCallWindow::ProposedRecord() const {
  std::vector<std::string> events;
  for (const std::string& strLine : m_vecLines) {
    const std::optional<CallEvent> event = EventOfLine(strLine, m_set.strEncoding);
    if (event)
      events.push_back(event->kind == CallEventKind::Key ? event->strKey
                                                         : strLine.substr(0, strLine.find(' ')));
  }
  return RecordFileName(ScenarioName(FileNameOf(m_strIvrFile)), events);
}

void CCallWindow::OnSaveCall() {
  // The records of a set's calls are kept in calls/ beside it: made for the chooser to open in,
  // and taken away again when it is left empty.
  const std::filesystem::path folder = std::filesystem::path(m_strDirectory) / "calls";
  std::error_code error;
  const bool bMadeFolder = std::filesystem::create_directory(folder, error);
  const std::string strPath =
      m_services.SaveFileName(text::kCallFilter, "txt", (folder / ProposedRecord()).string());
  if (!strPath.empty()) {
    std::vector<std::string> setFiles;
    for (const FlowMenu& menu : m_set.flow.menus)
      setFiles.push_back(menu.strPath);
    CBoxMessageSink messages(m_services, strPath);
    (void)WriteCallRecord(strPath, m_vecLines, setFiles, messages);
  }
  if (bMadeFolder)
    std::filesystem::remove(folder, error); // only when empty
}

} // namespace dovetrel

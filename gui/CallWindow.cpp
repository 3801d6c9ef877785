#include "gui/CallWindow.h"

#include "call/CallEvent.h"
#include "call/Transcript.h"
#include "gui/QtStrings.h"
#include "gui/Texts.h"
#include "scenario/Paths.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <filesystem>

namespace dovetrel {

namespace {

QPushButton* MakeButton(QWidget* pParent, const QString& strText, const QString& strName) {
  auto* pButton = new QPushButton(strText, pParent);
  pButton->setObjectName(strName);
  pButton->setAutoDefault(false);
  return pButton;
}

} // namespace

CCallWindow::CCallWindow(IDialogServices& services, CallSet set,
                         std::unique_ptr<CCallProgram> pProgram, const std::string& strIvrFile,
                         QWidget* pParent)
    : QWidget(pParent, Qt::Window), m_services(services), m_set(std::move(set)),
      m_pProgram(std::move(pProgram)), m_strIvrFile(strIvrFile),
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
    connect(pKey, &QPushButton::clicked, this,
            [this, strKey = keys.mid(i, 1).toStdString()] { OnEvent(strKey); });
    pKeypad->addWidget(pKey, i / 3, i % 3);
    m_vecInputButtons.push_back(pKey);
    // The keyboard's own keys press the keypad's.
    pKey->setShortcut(QKeySequence(keys.mid(i, 1)));
  }
  const auto AddEvent = [this](std::string_view text, const char* szWord,
                               std::vector<QPushButton*>& group) {
    QPushButton* pButton = MakeButton(this, FromUtf8(text), QLatin1String(szWord));
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

  m_pTranscript = new QListWidget(this);
  m_pTranscript->setObjectName(QStringLiteral("transcript"));
  auto* pKeys = new QVBoxLayout();
  pKeys->addLayout(pKeypad);
  pKeys->addStretch();
  auto* pControls = new QHBoxLayout();
  pControls->addLayout(pKeys);
  pControls->addLayout(pEvents);
  auto* pLayout = new QHBoxLayout(this);
  pLayout->addLayout(pControls);
  pLayout->addWidget(m_pTranscript, 1);
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
          &QWidget::close);
  resize(640, 360);
}

void CCallWindow::OnRestart() {
  m_pTranscript->clear();
  m_pCall = std::make_unique<CCall>(*m_pProgram, static_cast<ICallTranscript&>(*this));
  if (!m_pCall->Start())
    ShowFault();
  EnableButtons();
}

void CCallWindow::OnEvent(const std::string& strWord) {
  const std::optional<CallEvent> event = ParseCallEvent(strWord, m_set.strEncoding);
  if (!event || !m_pCall)
    return;
  if (m_pCall->Feed(*event) == FeedResult::Fault)
    ShowFault();
  EnableButtons();
}

void CCallWindow::Step(std::string_view line) {
  m_pTranscript->addItem(FromUtf8(line));
  m_pTranscript->scrollToBottom();
  // A greeting plays when its file lies in the scenario's folder; silence otherwise.
  constexpr std::string_view kPlay = "play ";
  if (line.substr(0, kPlay.size()) != kPlay)
    return;
  for (const FlowMenu& menu : m_set.flow.menus) {
    // The file name as the scenario file spells it, in its own code page.
    if (DecodeTranscriptText(menu.strGreeting, m_set.strEncoding) != line.substr(kPlay.size()))
      continue;
    const std::string strAudio = m_strDirectory + menu.strGreeting;
    std::error_code error;
    if (std::filesystem::is_regular_file(strAudio, error))
      m_services.PlayAudio(strAudio);
    return;
  }
}

void CCallWindow::ShowFault() {
  m_pTranscript->addItem(FromUtf8(text::kCallFault) + FromUtf8(m_pCall->Fault().strText));
}

void CCallWindow::EnableButtons() {
  const CallWait wait = m_pCall ? m_pCall->Waiting() : CallWait::Nothing;
  for (QPushButton* pButton : m_vecInputButtons)
    pButton->setEnabled(wait == CallWait::Input);
  for (QPushButton* pButton : m_vecOutcomeButtons)
    pButton->setEnabled(wait == CallWait::Outcome);
}

std::vector<std::string> CCallWindow::Transcript() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(m_pTranscript->count()));
  for (int i = 0; i < m_pTranscript->count(); ++i)
    lines.push_back(m_pTranscript->item(i)->text().toStdString());
  return lines;
}

} // namespace dovetrel

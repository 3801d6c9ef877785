#include "gui/DovetrelDlg.h"

#include "convert/Version.h"
#include "gui/CallWindow.h"
#include "gui/FlowWindow.h"
#include "gui/QtDialogServices.h"
#include "gui/QtStrings.h"
#include "gui/Texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOption>
#include <QUrl>

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace dovetrel {

namespace {

/// A control's place in dialog units: a quarter of the font's average character width across, an
/// eighth of its height down.
struct UnitRect {
  int x, y, width, height;
};

/// The index of \p nLine among \p lines, which holds it.
int LineIndex(const std::set<int>& lines, int nLine) {
  return static_cast<int>(std::distance(lines.begin(), lines.find(nLine)));
}

/// Lays \p controls out on \p dialog, \p size large, in dialog units of the dialog's font: a grid
/// whose lines are the edges of the controls and of the dialog, each control fixed to its own size
/// across the cells between its edges. The grid fixes the dialog's size.
void LayOutInUnits(QWidget& dialog, const UnitRect& size,
                   const std::vector<std::pair<QWidget*, UnitRect>>& controls) {
  const QFontMetricsF metrics(dialog.font());
  const double dX = metrics.horizontalAdvance(
                        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                    52.0 / 4.0;
  const double dY = metrics.height() / 8.0;
  const auto Pixels = [dX, dY](const UnitRect& rect) {
    return QRect(qRound(rect.x * dX), qRound(rect.y * dY), qRound(rect.width * dX),
                 qRound(rect.height * dY));
  };
  std::set<int> columns{0, Pixels(size).width()};
  std::set<int> rows{0, Pixels(size).height()};
  for (const auto& [pWidget, rect] : controls) {
    const QRect place = Pixels(rect);
    columns.insert({place.left(), place.right() + 1});
    rows.insert({place.top(), place.bottom() + 1});
  }
  auto* pGrid = new QGridLayout(&dialog);
  pGrid->setContentsMargins(0, 0, 0, 0);
  pGrid->setSpacing(0);
  pGrid->setSizeConstraint(QLayout::SetFixedSize);
  int nTrack = 0; // track i lies between line i and line i + 1
  for (auto it = columns.begin(); std::next(it) != columns.end(); ++it)
    pGrid->setColumnMinimumWidth(nTrack++, *std::next(it) - *it);
  nTrack = 0;
  for (auto it = rows.begin(); std::next(it) != rows.end(); ++it)
    pGrid->setRowMinimumHeight(nTrack++, *std::next(it) - *it);
  for (const auto& [pWidget, rect] : controls) {
    const QRect place = Pixels(rect);
    pWidget->setFixedSize(place.size());
    const int nColumn = LineIndex(columns, place.left());
    const int nRow = LineIndex(rows, place.top());
    pGrid->addWidget(pWidget, nRow, nColumn, LineIndex(rows, place.bottom() + 1) - nRow,
                     LineIndex(columns, place.right() + 1) - nColumn);
  }
}

/// The application's style, with a dotted frame inside a push button that has the focus: some
/// styles draw a focused default button exactly as an unfocused one, so that Enter and Space
/// would seem to go to the same button.
class CFocusFrameStyle final : public QProxyStyle {
public:
  explicit CFocusFrameStyle(QObject* pOwner)
      : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {
    setParent(pOwner);
  }

  void drawControl(ControlElement element, const QStyleOption* pOption, QPainter* pPainter,
                   const QWidget* pWidget) const override {
    QProxyStyle::drawControl(element, pOption, pPainter, pWidget);
    if (element != CE_PushButton || !(pOption->state & State_HasFocus))
      return;
    const QRect frame =
        subElementRect(SE_PushButtonFocusRect, pOption, pWidget).adjusted(2, 2, -3, -3);
    pPainter->save();
    pPainter->setPen(QPen(pOption->palette.buttonText(), 1, Qt::DotLine));
    pPainter->setBrush(Qt::NoBrush);
    pPainter->drawRect(frame);
    pPainter->restore();
  }
};

QLineEdit* MakeEdit(QWidget* pParent, const char* pszName) {
  auto* pEdit = new QLineEdit(pParent);
  pEdit->setObjectName(QLatin1String(pszName));
  // A file dropped on a field goes to the window, as anywhere else, instead of into the text.
  pEdit->setAcceptDrops(false);
  return pEdit;
}

// File names are bytes on this system; the fields show them as the file system decodes them.

/// \p strPath as a field shows it.
QString Shown(const std::string& strPath) {
  return QFile::decodeName(QByteArray::fromStdString(strPath));
}

/// The first local file \p pMime carries, as the file system spells it; empty when none.
std::string DroppedFile(const QMimeData* pMime) {
  if (!pMime || !pMime->hasUrls())
    return {};
  for (const QUrl& url : pMime->urls()) {
    if (url.isLocalFile() && !url.toLocalFile().isEmpty())
      return QFile::encodeName(url.toLocalFile()).toStdString();
  }
  return {};
}

QPushButton* MakeButton(QWidget* pParent, const char* pszName, std::string_view text) {
  auto* pButton = new QPushButton(FromUtf8(text), pParent);
  pButton->setObjectName(QLatin1String(pszName));
  return pButton;
}

/// A label whose mnemonic, if any, gives \p pBuddy the focus.
QLabel* MakeLabel(QWidget* pParent, const char* pszName, const QString& strText,
                  QWidget* pBuddy = nullptr) {
  auto* pLabel = new QLabel(strText, pParent);
  pLabel->setObjectName(QLatin1String(pszName));
  pLabel->setBuddy(pBuddy);
  return pLabel;
}

/// The sides of a dialog whose frame is \p dialog, as parts of \p screen: below, right, above,
/// left, in the order a window beside it tries them.
std::array<QRect, 4> SidesOf(const QRect& dialog, const QRect& screen) {
  return {QRect(QPoint(screen.left(), dialog.bottom() + 1), screen.bottomRight()),
          QRect(QPoint(dialog.right() + 1, screen.top()), screen.bottomRight()),
          QRect(screen.topLeft(), QPoint(screen.right(), dialog.top() - 1)),
          QRect(screen.topLeft(), QPoint(dialog.left() - 1, screen.bottom()))};
}

/// The frame of a window of \p size beside a dialog whose frame is \p dialog, within \p screen:
/// on the first side where it fits whole, else on the roomiest side made smaller to fit (down to
/// a third of its size); aligned with the dialog's edge as far as the side lets. Nothing when even
/// that does not fit: the window manager then places it.
std::optional<QRect> PlaceBeside(const QRect& dialog, const QSize& size, const QRect& screen) {
  const std::array<QRect, 4> sides = SidesOf(dialog, screen);
  std::size_t nSide = 0;
  for (std::size_t i = 0; i < sides.size(); ++i) {
    if (sides[i].width() >= size.width() && sides[i].height() >= size.height()) {
      nSide = i;
      break;
    }
    const auto Area = [](const QRect& rect) { return qMax(rect.width(), 0) * rect.height(); };
    if (Area(sides[i]) > Area(sides[nSide]))
      nSide = i;
  }
  const QRect& side = sides[nSide];
  const QSize placed = size.boundedTo(side.size());
  if (placed.width() < size.width() / 3 || placed.height() < size.height() / 3)
    return std::nullopt;
  const bool bAcross = nSide % 2 == 0; // below or above: beside the dialog's left edge
  const int nLeft = bAcross
                        ? std::clamp(dialog.left(), side.left(), side.right() + 1 - placed.width())
                    : nSide == 1 ? side.left()
                                 : side.right() + 1 - placed.width();
  const int nTop = !bAcross
                       ? std::clamp(dialog.top(), side.top(), side.bottom() + 1 - placed.height())
                   : nSide == 0 ? side.top()
                                : side.bottom() + 1 - placed.height();
  return QRect(QPoint(nLeft, nTop), placed);
}

/// Passes on every message but the success of a conversion: a call shows its window instead.
class CFailureBoxes final : public IMessageSink {
public:
  explicit CFailureBoxes(IMessageSink& messages) : m_messages(messages) {}
  MessageReply ShowMessage(const Finding& finding, MessageKind kind) override {
    return kind == MessageKind::Information ? MessageReply::Ok
                                            : m_messages.ShowMessage(finding, kind);
  }

private:
  IMessageSink& m_messages;
};

} // namespace

CDovetrelDlg::CDovetrelDlg(IDialogServices& services, const ConversionOptions& options,
                           QWidget* pParent)
    : QDialog(pParent), m_services(services), m_options(options),
      m_pTable(std::make_unique<CScenarioTable>()) {
  setWindowTitle(FromUtf8(text::kDialogCaption));
  // A window of its own rather than a dialog window, so that it gets its own taskbar entry; it can
  // be minimised but neither maximised nor resized.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  CreateControls();
  PlaceControls();
  setWindowIcon(ApplicationIcon());
  setAcceptDrops(true);
  m_pIvrEdit->setFocus();
}

CDovetrelDlg::~CDovetrelDlg() = default;

void CDovetrelDlg::CreateControls() {
  auto* pFocusStyle = new CFocusFrameStyle(this);
  const auto Button = [&](const char* pszName, std::string_view text,
                          void (CDovetrelDlg::*onClick)()) {
    QPushButton* pButton = MakeButton(this, pszName, text);
    pButton->setStyle(pFocusStyle);
    connect(pButton, &QPushButton::clicked, this, onClick);
    return pButton;
  };
  // Created in tab order, which Tab therefore follows: each field with its choices, then the
  // commands.
  m_pIvrEdit = MakeEdit(this, "ivrEdit");
  m_pBrowseIvr = Button("browseIvrButton", text::kBrowse, &CDovetrelDlg::OnBrowseIvr);
  m_pVxmlEdit = MakeEdit(this, "vxmlEdit");
  m_pDialect = new QComboBox(this);
  m_pDialect->setObjectName(QStringLiteral("dialectCombo"));
  m_pDialect->addItem(FromUtf8(text::kDialectClassic), static_cast<int>(Dialect::Classic));
  m_pDialect->addItem(FromUtf8(text::kDialectW3c), static_cast<int>(Dialect::W3c));
  m_pDialect->setCurrentIndex(m_pDialect->findData(static_cast<int>(m_options.dialect)));
  m_pDialect->setToolTip(FromUtf8(text::kDialectTip));
  m_pDialect->setAccessibleName(FromUtf8(text::kDialectTip));
  m_pBrowseVxml = Button("browseVxmlButton", text::kBrowse, &CDovetrelDlg::OnBrowseVxml);
  m_pShowFlow = Button("showFlowButton", text::kShowFlow, &CDovetrelDlg::OnShowFlow);
  m_pCheckCall = Button("checkCallButton", text::kCheckCall, &CDovetrelDlg::OnCheckCall);
  m_pConvert = Button("convertButton", text::kConvert, &CDovetrelDlg::OnConvert);
  m_pExit = Button("exitButton", text::kExit, &CDovetrelDlg::OnExit);
  m_pConvert->setDefault(true);
  connect(m_pIvrEdit, &QLineEdit::editingFinished, this, &CDovetrelDlg::OnIvrEdited);
  connect(m_pDialect, &QComboBox::currentIndexChanged, this, &CDovetrelDlg::OnDialectChanged);
}

void CDovetrelDlg::PlaceControls() {
  QLabel* pIvrLabel = MakeLabel(this, "ivrLabel", FromUtf8(text::kIvrLabel), m_pIvrEdit);
  QLabel* pVxmlLabel = MakeLabel(this, "vxmlLabel", FromUtf8(text::kVxmlLabel), m_pVxmlEdit);
  QLabel* pNotice = MakeLabel(this, "noticeLabel", FromUtf8(text::kNotice) + FromUtf8(Version()));
  // The labels reach to the fields and to the Convert button, so that wider fonts do not cut them.
  LayOutInUnits(*this, {0, 0, 436, 92},
                {{m_pIvrEdit, {100, 7, 298, 14}},
                 {m_pBrowseIvr, {404, 7, 25, 14}},
                 {m_pVxmlEdit, {100, 29, 190, 14}},
                 {m_pDialect, {294, 29, 104, 14}},
                 {m_pBrowseVxml, {404, 28, 25, 14}},
                 {m_pShowFlow, {100, 55, 70, 14}},
                 {m_pCheckCall, {174, 55, 104, 14}},
                 {m_pConvert, {282, 55, 70, 14}},
                 {m_pExit, {360, 55, 69, 14}},
                 {pIvrLabel, {9, 10, 89, 8}},
                 {pVxmlLabel, {9, 31, 89, 8}},
                 {pNotice, {11, 77, 418, 8}}});
}

std::string CDovetrelDlg::IvrFile() const {
  return QFile::encodeName(m_pIvrEdit->text()).toStdString();
}

std::string CDovetrelDlg::VxmlFile() const {
  return QFile::encodeName(m_pVxmlEdit->text()).toStdString();
}

void CDovetrelDlg::OpenIvrFile(const std::string& strIvrFile) {
  m_pIvrEdit->setText(Shown(strIvrFile));
  ProposeVxml(strIvrFile);
}

void CDovetrelDlg::ProposeVxml(const std::string& strIvrFile) {
  if (strIvrFile.find('.') == std::string::npos)
    return;
  const QString strShown = m_pVxmlEdit->text();
  if (!strShown.isEmpty() && strShown != Shown(m_strProposedVxml))
    return; // the operator's own name
  m_strProposedVxml = ProposeVxmlName(strIvrFile, m_options.dialect);
  m_pVxmlEdit->setText(Shown(m_strProposedVxml));
}

std::string CDovetrelDlg::VxmlStartPath() const {
  std::string strVxml = VxmlFile();
  if (!strVxml.empty())
    return strVxml;
  const std::string strIvr = IvrFile();
  return strIvr.empty() ? std::string() : ProposeVxmlName(strIvr, m_options.dialect);
}

void CDovetrelDlg::OnBrowseIvr() {
  const std::string strChosen = m_services.OpenFileName(text::kIvrFilter, IvrFile());
  if (strChosen.empty())
    return; // a cancelled chooser leaves both fields as they were
  OpenIvrFile(strChosen);
}

void CDovetrelDlg::OnBrowseVxml() {
  const std::string strChosen =
      m_services.SaveFileName(text::kVxmlFilter, text::kVxmlSuffix, VxmlStartPath());
  if (!strChosen.empty())
    m_pVxmlEdit->setText(Shown(strChosen));
}

void CDovetrelDlg::OnDialectChanged() {
  m_options.dialect = static_cast<Dialect>(m_pDialect->currentData().toInt());
  ProposeVxml(IvrFile()); // the dialog's own proposal follows the dialect
}

void CDovetrelDlg::OnIvrEdited() {
  ProposeVxml(IvrFile());
}

void CDovetrelDlg::OnConvert() {
  CBoxMessageSink messages(m_services, VxmlFile());
  // Whatever a conversion throws is told to the operator, and the dialog stays.
  (void)ReportExceptions(messages, [&] {
    (void)RunConversion(IvrFile(), VxmlFile(), m_strBaseDir, *m_pTable, messages, m_options);
  });
}

void CDovetrelDlg::OnShowFlow() {
  if (m_pFlowWindow && BringForward(m_pFlowWindow.get(), m_pFlowWindow->IvrFile()))
    return;
  const std::string strIvrFile = IvrFile();
  CBoxMessageSink messages(m_services, VxmlFile());
  (void)ReportExceptions(messages, [&] {
    std::optional<LoadedFlow> loaded = LoadFlow(strIvrFile, messages, m_options);
    std::string strSvg;
    if (!loaded ||
        !MakeFlowBytes(loaded->flow, loaded->strEncoding, FlowFormat::Svg, strSvg, messages))
      return;
    m_pFlowWindow =
        std::make_unique<CFlowWindow>(m_services, std::move(*loaded), strIvrFile, strSvg, this);
    ShowBeside(*m_pFlowWindow);
    m_pFlowWindow->FitToWindow();
  });
}

void CDovetrelDlg::OnCheckCall() {
  if (m_pCallWindow && m_callDialect == m_options.dialect &&
      BringForward(m_pCallWindow.get(), m_pCallWindow->IvrFile()))
    return;
  const std::string strIvrFile = IvrFile();
  CBoxMessageSink messages(m_services, VxmlFile());
  (void)ReportExceptions(messages, [&] {
    CFailureBoxes failures(messages);
    std::optional<PreparedCall> prepared = PrepareCall(strIvrFile, failures, m_options);
    if (!prepared)
      return;
    m_pCallWindow = std::make_unique<CCallWindow>(m_services, std::move(prepared->set),
                                                  std::move(prepared->pProgram), m_options.dialect,
                                                  strIvrFile, this);
    m_callDialect = m_options.dialect;
    ShowBeside(*m_pCallWindow);
  });
}

bool CDovetrelDlg::BringForward(QWidget* pWindow, const std::string& strShownFile) {
  if (!pWindow->isVisible() || AbsolutePath(strShownFile) != AbsolutePath(IvrFile()))
    return false;
  if (pWindow->isMinimized())
    pWindow->showNormal();
  pWindow->raise();
  pWindow->activateWindow();
  return true;
}

void CDovetrelDlg::ShowBeside(QWidget& window) {
  window.setWindowIcon(windowIcon());
  // The new window's frame is not known before it is shown: the dialog's stands for it.
  const QSize frame = frameGeometry().size() - size();
  const std::optional<QRect> place =
      PlaceBeside(frameGeometry(), window.size() + frame, screen()->availableGeometry());
  if (place) {
    window.resize(place->size() - frame);
    window.move(place->topLeft());
  }
  window.show();
  window.raise();
  window.activateWindow();
}

void CDovetrelDlg::OnExit() {
  if (m_services.ShowBox(MessageKind::Question, text::kExitQuestion, Finding{}) !=
      MessageReply::Yes)
    return;
  m_bEnding = true;
  QDialog::reject();
}

void CDovetrelDlg::reject() {
  OnExit();
}

void CDovetrelDlg::done(int nResult) {
  // Children as they are, the windows would outlive the dialog on the screen until it is deleted.
  for (QWidget* pWindow :
       {static_cast<QWidget*>(m_pFlowWindow.get()), static_cast<QWidget*>(m_pCallWindow.get())}) {
    if (pWindow)
      pWindow->close();
  }
  QDialog::done(nResult);
}

void CDovetrelDlg::closeEvent(QCloseEvent* pEvent) {
  if (!m_bEnding)
    OnExit();
  if (m_bEnding)
    pEvent->accept();
  else
    pEvent->ignore();
}

void CDovetrelDlg::dragEnterEvent(QDragEnterEvent* pEvent) {
  if (!DroppedFile(pEvent->mimeData()).empty())
    pEvent->acceptProposedAction();
}

void CDovetrelDlg::dropEvent(QDropEvent* pEvent) {
  const std::string strFile = DroppedFile(pEvent->mimeData());
  if (strFile.empty())
    return;
  pEvent->acceptProposedAction();
  OpenIvrFile(strFile);
}

} // namespace dovetrel

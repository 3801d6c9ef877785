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

namespace dovetrel {

namespace {

/// A control's place in dialog units: a quarter of the font's average character width across, an
/// eighth of its height down.
struct UnitRect {
  int x, y, width, height;
};

constexpr UnitRect kDialogSize{0, 0, 436, 92};
constexpr UnitRect kIvrEditRect{100, 7, 298, 14};
constexpr UnitRect kBrowseIvrRect{404, 7, 25, 14};
constexpr UnitRect kVxmlEditRect{100, 29, 190, 14};
constexpr UnitRect kDialectRect{294, 29, 104, 14};
constexpr UnitRect kBrowseVxmlRect{404, 28, 25, 14};
constexpr UnitRect kConvertRect{282, 55, 70, 14};
constexpr UnitRect kExitRect{360, 55, 69, 14};
// The labels reach to the fields and to the Convert button, so that wider fonts do not cut them.
constexpr UnitRect kIvrLabelRect{9, 10, 89, 8};
constexpr UnitRect kVxmlLabelRect{9, 31, 89, 8};
constexpr UnitRect kNoticeRect{11, 77, 418, 8};
constexpr UnitRect kFlowRect{100, 55, 70, 14};
constexpr UnitRect kCallRect{174, 55, 104, 14};

/// Turns dialog units into pixels of \p font.
class CUnitScale {
public:
  explicit CUnitScale(const QFont& font) {
    const QFontMetricsF metrics(font);
    m_dX = metrics.horizontalAdvance(
               QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
           52.0 / 4.0;
    m_dY = metrics.height() / 8.0;
  }
  QRect operator()(const UnitRect& rect) const {
    return QRect(qRound(rect.x * m_dX), qRound(rect.y * m_dY), qRound(rect.width * m_dX),
                 qRound(rect.height * m_dY));
  }

private:
  double m_dX = 1;
  double m_dY = 1;
};

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

/// The path in \p pEdit, as the file system spells it.
std::string PathIn(const QLineEdit* pEdit) {
  return QFile::encodeName(pEdit->text()).toStdString();
}

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

QLabel* MakeLabel(QWidget* pParent, const char* pszName, const QString& strText) {
  auto* pLabel = new QLabel(strText, pParent);
  pLabel->setObjectName(QLatin1String(pszName));
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
  OnInitDialog();
}

CDovetrelDlg::~CDovetrelDlg() = default;

void CDovetrelDlg::CreateControls() {
  // Created in tab order: IVR field, its chooser, VoiceXML field, its chooser, Convert, Exit.
  m_pIvrEdit = MakeEdit(this, "ivrEdit");
  m_pBrowseIvr = MakeButton(this, "browseIvrButton", text::kBrowse);
  m_pVxmlEdit = MakeEdit(this, "vxmlEdit");
  m_pDialect = new QComboBox(this);
  m_pDialect->setObjectName(QStringLiteral("dialectCombo"));
  m_pDialect->addItem(FromUtf8(text::kDialectClassic), static_cast<int>(Dialect::Classic));
  m_pDialect->addItem(FromUtf8(text::kDialectW3c), static_cast<int>(Dialect::W3c));
  m_pDialect->setCurrentIndex(m_pDialect->findData(static_cast<int>(m_options.dialect)));
  m_pDialect->setToolTip(FromUtf8(text::kDialectTip));
  m_pDialect->setAccessibleName(FromUtf8(text::kDialectTip));
  m_pBrowseVxml = MakeButton(this, "browseVxmlButton", text::kBrowse);
  m_pShowFlow = MakeButton(this, "showFlowButton", text::kShowFlow);
  m_pCheckCall = MakeButton(this, "checkCallButton", text::kCheckCall);
  m_pConvert = MakeButton(this, "convertButton", text::kConvert);
  m_pExit = MakeButton(this, "exitButton", text::kExit);
  m_pIvrLabel = MakeLabel(this, "ivrLabel", FromUtf8(text::kIvrLabel));
  m_pVxmlLabel = MakeLabel(this, "vxmlLabel", FromUtf8(text::kVxmlLabel));
  m_pIvrLabel->setBuddy(m_pIvrEdit);
  m_pVxmlLabel->setBuddy(m_pVxmlEdit);
  m_pNotice = MakeLabel(this, "noticeLabel", FromUtf8(text::kNotice) + FromUtf8(Version()));
  QWidget::setTabOrder(m_pIvrEdit, m_pBrowseIvr);
  QWidget::setTabOrder(m_pBrowseIvr, m_pVxmlEdit);
  QWidget::setTabOrder(m_pVxmlEdit, m_pDialect);
  QWidget::setTabOrder(m_pDialect, m_pBrowseVxml);
  QWidget::setTabOrder(m_pBrowseVxml, m_pShowFlow);
  QWidget::setTabOrder(m_pShowFlow, m_pCheckCall);
  QWidget::setTabOrder(m_pCheckCall, m_pConvert);
  QWidget::setTabOrder(m_pConvert, m_pExit);
  m_pConvert->setDefault(true);
  auto* pFocusStyle = new CFocusFrameStyle(this);
  for (QPushButton* pButton :
       {m_pBrowseIvr, m_pBrowseVxml, m_pShowFlow, m_pCheckCall, m_pConvert, m_pExit})
    pButton->setStyle(pFocusStyle);
  connect(m_pIvrEdit, &QLineEdit::editingFinished, this, &CDovetrelDlg::OnIvrEdited);
  connect(m_pBrowseIvr, &QPushButton::clicked, this, &CDovetrelDlg::OnBrowseIvr);
  connect(m_pBrowseVxml, &QPushButton::clicked, this, &CDovetrelDlg::OnBrowseVxml);
  connect(m_pDialect, &QComboBox::currentIndexChanged, this, &CDovetrelDlg::OnDialectChanged);
  connect(m_pShowFlow, &QPushButton::clicked, this, &CDovetrelDlg::OnShowFlow);
  connect(m_pCheckCall, &QPushButton::clicked, this, &CDovetrelDlg::OnCheckCall);
  connect(m_pConvert, &QPushButton::clicked, this, &CDovetrelDlg::OnConvert);
  connect(m_pExit, &QPushButton::clicked, this, &CDovetrelDlg::OnExit);
}

void CDovetrelDlg::PlaceControls() {
  const CUnitScale scale(font());
  m_pIvrEdit->setGeometry(scale(kIvrEditRect));
  m_pBrowseIvr->setGeometry(scale(kBrowseIvrRect));
  m_pVxmlEdit->setGeometry(scale(kVxmlEditRect));
  m_pDialect->setGeometry(scale(kDialectRect));
  m_pBrowseVxml->setGeometry(scale(kBrowseVxmlRect));
  m_pShowFlow->setGeometry(scale(kFlowRect));
  m_pCheckCall->setGeometry(scale(kCallRect));
  m_pConvert->setGeometry(scale(kConvertRect));
  m_pExit->setGeometry(scale(kExitRect));
  m_pIvrLabel->setGeometry(scale(kIvrLabelRect));
  m_pVxmlLabel->setGeometry(scale(kVxmlLabelRect));
  m_pNotice->setGeometry(scale(kNoticeRect));
  setFixedSize(scale(kDialogSize).size());
}

void CDovetrelDlg::OnInitDialog() {
  UpdateData(false);
  setWindowIcon(ApplicationIcon());
  setAcceptDrops(true);
  m_pIvrEdit->setFocus();
}

bool CDovetrelDlg::UpdateData(bool bSaveAndValidate) {
  DoDataExchange(bSaveAndValidate);
  return true;
}

void CDovetrelDlg::DoDataExchange(bool bSaveAndValidate) {
  if (bSaveAndValidate) {
    m_strIvrFile = PathIn(m_pIvrEdit);
    m_strVxmlFile = PathIn(m_pVxmlEdit);
    return;
  }
  m_pIvrEdit->setText(Shown(m_strIvrFile));
  m_pVxmlEdit->setText(Shown(m_strVxmlFile));
}

void CDovetrelDlg::OpenIvrFile(const std::string& strIvrFile) {
  m_strIvrFile = strIvrFile;
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
  m_strVxmlFile = m_strProposedVxml;
  m_pVxmlEdit->setText(Shown(m_strVxmlFile));
}

std::string CDovetrelDlg::VxmlStartPath() const {
  std::string strVxml = PathIn(m_pVxmlEdit);
  if (!strVxml.empty())
    return strVxml;
  const std::string strIvr = PathIn(m_pIvrEdit);
  return strIvr.empty() ? std::string() : ProposeVxmlName(strIvr, m_options.dialect);
}

void CDovetrelDlg::OnBrowseIvr() {
  const std::string strChosen = m_services.OpenFileName(text::kIvrFilter, PathIn(m_pIvrEdit));
  if (strChosen.empty())
    return; // a cancelled chooser leaves both fields as they were
  OpenIvrFile(strChosen);
}

void CDovetrelDlg::OnBrowseVxml() {
  const std::string strChosen =
      m_services.SaveFileName(text::kVxmlFilter, text::kVxmlSuffix, VxmlStartPath());
  if (strChosen.empty())
    return;
  m_strVxmlFile = strChosen;
  m_pVxmlEdit->setText(Shown(strChosen));
}

void CDovetrelDlg::OnDialectChanged() {
  m_options.dialect = static_cast<Dialect>(m_pDialect->currentData().toInt());
  ProposeVxml(PathIn(m_pIvrEdit)); // the dialog's own proposal follows the dialect
}

void CDovetrelDlg::OnIvrEdited() {
  ProposeVxml(PathIn(m_pIvrEdit));
}

void CDovetrelDlg::OnConvert() {
  UpdateData(true);
  CBoxMessageSink messages(m_services, m_strVxmlFile);
  // Whatever a conversion throws is told to the operator, and the dialog stays.
  (void)ReportExceptions(messages, [&] {
    (void)RunConversion(m_strIvrFile, m_strVxmlFile, m_strBaseDir, *m_pTable, messages, m_options);
  });
}

void CDovetrelDlg::OnShowFlow() {
  UpdateData(true);
  if (m_pFlowWindow && BringForward(m_pFlowWindow.get(), m_pFlowWindow->IvrFile()))
    return;
  CBoxMessageSink messages(m_services, m_strVxmlFile);
  (void)ReportExceptions(messages, [&] {
    std::optional<LoadedFlow> loaded = LoadFlow(m_strIvrFile, messages, m_options);
    std::string strSvg;
    if (!loaded ||
        !MakeFlowBytes(loaded->flow, loaded->strEncoding, FlowFormat::Svg, strSvg, messages))
      return;
    m_pFlowWindow =
        std::make_unique<CFlowWindow>(m_services, std::move(*loaded), m_strIvrFile, strSvg, this);
    ShowBeside(*m_pFlowWindow);
    m_pFlowWindow->FitToWindow();
  });
}

void CDovetrelDlg::OnCheckCall() {
  UpdateData(true);
  if (m_pCallWindow && m_callDialect == m_options.dialect &&
      BringForward(m_pCallWindow.get(), m_pCallWindow->IvrFile()))
    return;
  CBoxMessageSink messages(m_services, m_strVxmlFile);
  (void)ReportExceptions(messages, [&] {
    CFailureBoxes failures(messages);
    std::optional<CallSet> set = ConvertForCall(m_strIvrFile, failures, m_options);
    if (!set)
      return;
    CallFault fault;
    std::unique_ptr<CCallProgram> pProgram =
        CCallProgram::Compile(set->strDocument, m_options.dialect, set->menus, fault);
    if (!pProgram) {
      m_services.ShowBox(MessageKind::Error, text::kCannotRunCall,
                         FaultFinding(*set, m_options.dialect, fault));
      return;
    }
    m_pCallWindow = std::make_unique<CCallWindow>(m_services, std::move(*set), std::move(pProgram),
                                                  m_options.dialect, m_strIvrFile, this);
    m_callDialect = m_options.dialect;
    ShowBeside(*m_pCallWindow);
  });
}

bool CDovetrelDlg::BringForward(QWidget* pWindow, const std::string& strShownFile) {
  if (!pWindow->isVisible() || AbsolutePath(strShownFile) != AbsolutePath(m_strIvrFile))
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

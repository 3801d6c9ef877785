#include "gui/FlowWindow.h"

#include "gui/QtDialogServices.h"
#include "gui/QtStrings.h"
#include "gui/Texts.h"
#include "scenario/Paths.h"

#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace dovetrel {

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinScale = 0.05;
constexpr double kMaxScale = 20.0;

QPushButton* AddButton(QHBoxLayout* pRow, QWidget* pParent, const char* szName,
                       std::string_view text) {
  auto* pButton = new QPushButton(FromUtf8(text), pParent);
  pButton->setObjectName(QLatin1String(szName));
  pButton->setAutoDefault(false);
  pRow->addWidget(pButton);
  return pButton;
}

} // namespace

CFlowWindow::CFlowWindow(IDialogServices& services, LoadedFlow loaded,
                         const std::string& strIvrFile, const std::string& strSvg, QWidget* pParent)
    : QWidget(pParent, OwnedWindowFlags()), m_services(services), m_loaded(std::move(loaded)),
      m_strIvrFile(strIvrFile) {
  setObjectName(QStringLiteral("flowWindow"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  m_pRenderer = new QSvgRenderer(QByteArray::fromStdString(strSvg), this);
  CreateControls();
  ShowScale();
  resize(900, 700);
}

CFlowWindow::~CFlowWindow() = default;

void CFlowWindow::CreateControls() {
  m_pScene = new QGraphicsScene(this);
  m_pItem = new QGraphicsSvgItem();
  m_pItem->setSharedRenderer(m_pRenderer);
  m_pScene->addItem(m_pItem);
  m_pView = new QGraphicsView(m_pScene, this);
  m_pView->setObjectName(QStringLiteral("flowView"));
  m_pView->setDragMode(QGraphicsView::ScrollHandDrag);
  m_pView->setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
  m_pView->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  m_pView->viewport()->installEventFilter(this);

  auto* pRow = new QHBoxLayout();
  connect(AddButton(pRow, this, "zoomInButton", text::kZoomIn), &QPushButton::clicked, this,
          [this] { Zoom(kZoomStep); });
  connect(AddButton(pRow, this, "zoomOutButton", text::kZoomOut), &QPushButton::clicked, this,
          [this] { Zoom(1 / kZoomStep); });
  connect(AddButton(pRow, this, "fitButton", text::kFitToWindow), &QPushButton::clicked, this,
          &CFlowWindow::FitToWindow);
  pRow->addStretch();
  connect(AddButton(pRow, this, "saveAsButton", text::kSaveFlowAs), &QPushButton::clicked, this,
          &CFlowWindow::OnSaveAs);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addWidget(m_pView);
  pLayout->addLayout(pRow);

  for (const QKeySequence& keys :
       {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { Zoom(kZoomStep); });
  connect(new QShortcut(QKeySequence(QKeySequence::ZoomOut), this), &QShortcut::activated, this,
          [this] { Zoom(1 / kZoomStep); });
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), this), &QShortcut::activated, this,
          &CFlowWindow::FitToWindow);
  connect(new QShortcut(QKeySequence(QKeySequence::Save), this), &QShortcut::activated, this,
          &CFlowWindow::OnSaveAs);
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
          &QWidget::close);
}

double CFlowWindow::Scale() const {
  return m_pView->transform().m11();
}

void CFlowWindow::Zoom(double dFactor) {
  const double dScale = std::clamp(Scale() * dFactor, kMinScale, kMaxScale);
  m_pView->setTransform(QTransform::fromScale(dScale, dScale));
  ShowScale();
}

void CFlowWindow::FitToWindow() {
  m_pView->fitInView(m_pItem, Qt::KeepAspectRatio);
  ShowScale();
}

void CFlowWindow::ShowScale() {
  setWindowTitle(
      FromUtf8(text::kFlowCaption) +
      QFile::decodeName(QByteArray::fromStdString(std::string(FileNameOf(m_strIvrFile)))) +
      QStringLiteral(" (%1 %)").arg(qRound(Scale() * 100)));
}

bool CFlowWindow::eventFilter(QObject* pObject, QEvent* pEvent) {
  if (pObject != m_pView->viewport() || pEvent->type() != QEvent::Wheel)
    return QWidget::eventFilter(pObject, pEvent);
  const int nSteps = static_cast<QWheelEvent*>(pEvent)->angleDelta().y() / 120;
  if (nSteps != 0)
    Zoom(std::pow(kZoomStep, nSteps));
  return true;
}

void CFlowWindow::OnSaveAs() {
  const std::string strProposed =
      DirectoryOf(m_strIvrFile) + std::string(ScenarioName(FileNameOf(m_strIvrFile))) + ".svg";
  const std::string strPath = m_services.SaveFileName(text::kFlowFilter, "svg", strProposed);
  if (strPath.empty())
    return;
  CBoxMessageSink messages(m_services, strPath);
  const std::optional<FlowFormat> format = FlowFormatOfPath(strPath);
  if (!format) {
    MessageDetail where{strPath, 0, {}};
    where.code = FailureCode::CannotWriteFlow;
    m_services.ShowBox(MessageKind::Warning, text::kFlowFormats, where);
    return;
  }
  std::string strBytes;
  if (MakeFlowBytes(m_loaded.flow, m_loaded.strEncoding, *format, strBytes, messages))
    (void)WriteFlowFile(strPath, strBytes, m_loaded, {}, messages);
}

} // namespace dovetrel

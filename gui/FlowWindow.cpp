#include "gui/FlowWindow.h"

#include "gui/QtDialogServices.h"
#include "gui/QtStrings.h"
#include "gui/Texts.h"
#include "scenario/Paths.h"

#include <QFile>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <vector>

namespace dovetrel {

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinScale = 0.05;
constexpr double kMaxScale = 20.0;
/// The smallest scale fitting goes down to: the labels (10 and 11 points) still about 9 pixels
/// high. A larger drawing gets scroll bars instead.
constexpr double kReadableScale = 0.7;

/// A place the drawing tells its file and line for: a box, an arrow or an arrow's label.
struct LinkTitle {
  QString strId;    ///< the drawing's id of the group that holds the link
  QString strTitle; ///< the link's title: the scenario file, and the line for a row
};

/// The titled links of the SVG \p svg, each with the id of the group around it.
std::vector<LinkTitle> LinkTitles(const QByteArray& svg) {
  const QString strXlink = QStringLiteral("http://www.w3.org/1999/xlink");
  std::vector<LinkTitle> titles;
  QXmlStreamReader reader(svg);
  QString strGroup;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement)
      continue;
    if (reader.name() == QLatin1String("g"))
      strGroup = reader.attributes().value(QLatin1String("id")).toString();
    else if (reader.name() == QLatin1String("a") && !strGroup.isEmpty() &&
             reader.attributes().hasAttribute(strXlink, QLatin1String("title")))
      titles.push_back(
          {strGroup, reader.attributes().value(strXlink, QLatin1String("title")).toString()});
  }
  return titles;
}

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
  const QByteArray svg = QByteArray::fromStdString(strSvg);
  m_pRenderer = new QSvgRenderer(svg, this);
  CreateControls();
  AddTooltips(svg);
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
  // Zooming keeps its own point in place (ZoomAt).
  m_pView->setTransformationAnchor(QGraphicsView::NoAnchor);
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
  ZoomAt(dFactor, m_pView->viewport()->rect().center());
}

void CFlowWindow::ZoomAt(double dFactor, const QPoint& at) {
  const QPointF held = m_pView->mapToScene(at);
  const double dScale = std::clamp(Scale() * dFactor, kMinScale, kMaxScale);
  m_pView->setTransform(QTransform::fromScale(dScale, dScale));
  // The point of the drawing that was at \p at is brought back there, as far as the drawing
  // reaches.
  const QPoint moved = m_pView->mapFromScene(held) - at;
  m_pView->horizontalScrollBar()->setValue(m_pView->horizontalScrollBar()->value() + moved.x());
  m_pView->verticalScrollBar()->setValue(m_pView->verticalScrollBar()->value() + moved.y());
  ShowScale();
}

void CFlowWindow::FitToWindow() {
  m_pView->fitInView(m_pItem, Qt::KeepAspectRatio);
  if (Scale() < kReadableScale) {
    m_pView->setTransform(QTransform::fromScale(kReadableScale, kReadableScale));
    // The call starts at the top, in the main menu.
    const QRectF drawing = m_pItem->sceneBoundingRect();
    m_pView->centerOn(drawing.center().x(), drawing.top());
  }
  ShowScale();
}

void CFlowWindow::AddTooltips(const QByteArray& svg) {
  const QRectF viewBox = m_pRenderer->viewBoxF();
  if (viewBox.isEmpty())
    return;
  const QRectF drawing = m_pItem->boundingRect();
  const QTransform toItem =
      QTransform::fromTranslate(-viewBox.left(), -viewBox.top()) *
      QTransform::fromScale(drawing.width() / viewBox.width(), drawing.height() / viewBox.height());
  for (const LinkTitle& link : LinkTitles(svg)) {
    const QRectF bounds = (m_pRenderer->transformForElement(link.strId) * toItem)
                              .mapRect(m_pRenderer->boundsOnElement(link.strId));
    auto* pArea = new QGraphicsRectItem(bounds, m_pItem);
    pArea->setPen(Qt::NoPen);
    pArea->setToolTip(link.strTitle);
    // A box over the arrows that reach into its bounds, a label over its arrow.
    pArea->setZValue(link.strId.startsWith(QLatin1String("a_node")) ? 2
                     : link.strId.endsWith(QLatin1String("-label")) ? 1
                                                                    : 0);
  }
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
  const auto* pWheel = static_cast<QWheelEvent*>(pEvent);
  const int nSteps = pWheel->angleDelta().y() / 120;
  if (nSteps != 0)
    ZoomAt(std::pow(kZoomStep, nSteps), pWheel->position().toPoint());
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
    ShowFailure(messages, FindingCode::CannotWriteFlow, text::kFlowFormats, {.strFile = strPath});
    return;
  }
  std::string strBytes;
  if (MakeFlowBytes(m_loaded.flow, m_loaded.strEncoding, *format, strBytes, messages))
    (void)WriteFlowFile(strPath, strBytes, m_loaded, {}, messages);
}

} // namespace dovetrel

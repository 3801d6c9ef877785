#include "gui/QtDialogServices.h"

#include "gui/QtStrings.h"
#include "gui/Texts.h"

#include <QApplication>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>
#include <QTranslator>
#include <QUrl>
#include <QtMath>

#include <memory>

namespace dovetrel {

namespace {

/// A chooser with the one filter entry \p filter, modal to \p pOwner.
std::unique_ptr<QFileDialog> MakeChooser(QWidget* pOwner, std::string_view filter) {
  auto pChooser = std::make_unique<QFileDialog>(pOwner, QString(), QString(), FromUtf8(filter));
  // Qt's own chooser, not the desktop's, so that Qt's Russian translation reaches it everywhere;
  // chosen first, so that the folder and file chosen next are its own.
  pChooser->setOption(QFileDialog::DontUseNativeDialog);
  return pChooser;
}

/// The path \p chooser ended with, as the file system spells it; empty after a cancel.
std::string RunChooser(QFileDialog& chooser) {
  if (chooser.exec() != QDialog::Accepted)
    return {};
  const QStringList files = chooser.selectedFiles();
  if (files.isEmpty())
    return {};
  return QFile::encodeName(files.front()).toStdString();
}

/// \p strPath, bytes as the file system spells them, as Qt holds it.
QString FromPath(const std::string& strPath) {
  return QFile::decodeName(QByteArray::fromStdString(strPath));
}

/// Opens \p chooser in the folder of \p strStartPath (the path itself when it is a folder), or in
/// the nearest folder above it that exists. The file the path names is selected when it exists,
/// or always when \p bOfferName.
void StartAt(QFileDialog& chooser, const std::string& strStartPath, bool bOfferName) {
  if (strStartPath.empty())
    return;
  const QFileInfo start(FromPath(strStartPath));
  if (start.isDir()) {
    chooser.setDirectory(start.absoluteFilePath());
    return;
  }
  QString strFolder = start.absolutePath();
  while (!QFileInfo(strFolder).isDir()) {
    const QString strParent = QFileInfo(strFolder).absolutePath();
    if (strParent == strFolder)
      return;
    strFolder = strParent;
  }
  chooser.setDirectory(strFolder);
  if (bOfferName || start.isFile())
    chooser.selectFile(start.fileName());
}

/// Opens the pane of \p box that holds its detailed text, and makes it wide and tall enough to
/// read the whole text without scrolling, up to half the screen either way.
void OpenDetailPane(QMessageBox& box) {
  for (QAbstractButton* pButton : box.buttons()) {
    if (box.buttonRole(pButton) == QMessageBox::ActionRole) // the only one: "Show Details..."
      pButton->click();
  }
  auto* pPane = box.findChild<QTextEdit*>();
  if (!pPane)
    return;
  pPane->ensurePolished();
  const QSize screen = box.screen()->availableGeometry().size();
  QTextDocument* pDocument = pPane->document();
  const int nMargins = 2 * pPane->frameWidth() + qCeil(2 * pDocument->documentMargin());
  int nLongest = 0;
  const QFontMetrics metrics(pPane->font());
  for (const QString& strLine : pPane->toPlainText().split(QLatin1Char('\n')))
    nLongest = qMax(nLongest, metrics.horizontalAdvance(strLine));
  const int nWidth = qMin(nLongest + nMargins, qMin(screen.width() / 2, 800));
  // The text as the pane will wrap it at that width (on a copy: the pane lays out its own), and
  // one line more for good measure.
  const std::unique_ptr<QTextDocument> pLaidOut(pDocument->clone());
  pLaidOut->setTextWidth(nWidth - 2 * pPane->frameWidth());
  const int nHeight =
      qCeil(pLaidOut->size().height()) + 2 * pPane->frameWidth() + metrics.lineSpacing();
  pPane->setMinimumWidth(nWidth);
  pPane->setFixedHeight(qMin(nHeight, screen.height() / 2));
}

/// Makes \p box the success box of a conversion: the information icon, \p text as its main text,
/// the document \p report names and the number of warnings beneath it, the warnings themselves in
/// a pane that is open from the start and tall enough to read them without scrolling (up to half
/// the screen). OK is the default button; returns the other one, which asks to open the folder.
QPushButton* PrepareSuccessBox(QMessageBox& box, std::string_view text,
                               const ConversionReport& report) {
  PrepareBox(box, MessageKind::Information, text, Finding{});
  QString strInformative = FromUtf8(text::kWrittenDocument) + FromPath(report.strDocument);
  if (!report.warnings.empty()) {
    strInformative +=
        QLatin1Char('\n') + FromUtf8(text::kWarningCount) + QString::number(report.warnings.size());
    QStringList warnings;
    for (const std::string& strWarning : report.warnings)
      warnings << FromUtf8(strWarning);
    box.setDetailedText(warnings.join(QLatin1Char('\n')));
    OpenDetailPane(box); // before the open-folder button, the second of the same role
  }
  box.setInformativeText(strInformative);
  QPushButton* pOpenFolder = box.addButton(FromUtf8(text::kOpenFolder), QMessageBox::ActionRole);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  for (QLabel* pLabel : box.findChildren<QLabel*>())
    pLabel->setTextFormat(Qt::PlainText); // the informative text's label is new
  return pOpenFolder;
}

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
  case MessageKind::Warning:
    return QMessageBox::Warning;
  case MessageKind::Information:
    return QMessageBox::Information;
  case MessageKind::Question:
    return QMessageBox::Question;
  case MessageKind::Error:
    break;
  }
  return QMessageBox::Critical;
}

/// A dovetail joint: two interlocking pieces of wood on a rounded blue tile.
void PaintIcon(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1f, 0x4e, 0x8c));
  painter.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
  painter.setBrush(QColor(0xe8, 0xb8, 0x6d));
  painter.drawRect(QRectF(5, 5, 22, 10));
  const QPointF tail[] = {{11, 15}, {21, 15}, {24, 24}, {8, 24}};
  painter.setBrush(QColor(0xc8, 0x8a, 0x3e));
  painter.drawPolygon(tail, 4);
  painter.drawRect(QRectF(8, 24, 16, 3));
  painter.setPen(QPen(QColor(0x5a, 0x3a, 0x12), 1));
  painter.drawLine(QPointF(5, 15), QPointF(27, 15));
}

} // namespace

QString ApplicationTitle() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

bool InstallRussianTranslation() {
  auto* pTranslator = new QTranslator(QCoreApplication::instance());
  if (!pTranslator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete pTranslator;
    return false;
  }
  return QCoreApplication::installTranslator(pTranslator);
}

Qt::WindowFlags OwnedWindowFlags() {
  // Qt makes only dialogs, tools and the like transient for their parents on X11.
  return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
}

QIcon ApplicationIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  PaintIcon(painter);
  painter.end();
  return QIcon(pixmap);
}

void PrepareBox(QMessageBox& box, MessageKind kind, std::string_view text, const Finding& detail) {
  box.setWindowTitle(ApplicationTitle());
  box.setIcon(IconOf(kind));
  // Texts and file names are shown as they are, never read as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(FromUtf8(text));
  if (kind == MessageKind::Question) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(FromUtf8(text::kYes));
    box.button(QMessageBox::No)->setText(FromUtf8(text::kNo));
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(FromUtf8(text::kOk));
  }
  const QString strDetail = QString::fromStdString(FormatDetail(detail));
  if (strDetail.contains(QLatin1Char('\n')))
    box.setDetailedText(strDetail);
  else if (!strDetail.isEmpty())
    box.setInformativeText(strDetail);
  for (QLabel* pLabel : box.findChildren<QLabel*>())
    pLabel->setTextFormat(Qt::PlainText); // the informative text's label too
}

QWidget* CQtDialogServices::Owner() const {
  QWidget* pActive = QApplication::activeWindow();
  for (const QWidget* pWindow = pActive; pWindow; pWindow = pWindow->parentWidget()) {
    if (pWindow == m_pOwner)
      return pActive;
  }
  return m_pOwner;
}

std::string CQtDialogServices::OpenFileName(std::string_view filter,
                                            const std::string& strStartPath) {
  const std::unique_ptr<QFileDialog> pChooser = MakeChooser(Owner(), filter);
  pChooser->setAcceptMode(QFileDialog::AcceptOpen);
  pChooser->setFileMode(QFileDialog::ExistingFile);
  StartAt(*pChooser, strStartPath, false);
  return RunChooser(*pChooser);
}

std::string CQtDialogServices::SaveFileName(std::string_view filter, std::string_view defaultSuffix,
                                            const std::string& strStartPath) {
  const std::unique_ptr<QFileDialog> pChooser = MakeChooser(Owner(), filter);
  pChooser->setAcceptMode(QFileDialog::AcceptSave);
  pChooser->setFileMode(QFileDialog::AnyFile);
  pChooser->setDefaultSuffix(FromUtf8(defaultSuffix));
  pChooser->setOption(QFileDialog::DontConfirmOverwrite);
  StartAt(*pChooser, strStartPath, true);
  return RunChooser(*pChooser);
}

MessageReply CQtDialogServices::ShowBox(MessageKind kind, std::string_view text,
                                        const Finding& detail) {
  QMessageBox box(Owner());
  PrepareBox(box, kind, text, detail);
  const int nButton = box.exec();
  if (kind != MessageKind::Question)
    return MessageReply::Ok;
  return nButton == QMessageBox::Yes ? MessageReply::Yes : MessageReply::No;
}

SuccessReply CQtDialogServices::ShowSuccess(std::string_view text, const ConversionReport& report) {
  QMessageBox box(Owner());
  const QPushButton* pOpenFolder = PrepareSuccessBox(box, text, report);
  box.exec();
  return box.clickedButton() == pOpenFolder ? SuccessReply::OpenFolder : SuccessReply::Ok;
}

void CQtDialogServices::PlayAudio(const std::string& strPath) {
  if (!m_pPlayer) {
    // Both belong to the application, so that sound outlives the window that asked for it.
    m_pPlayer = new QMediaPlayer(QCoreApplication::instance());
    m_pPlayer->setAudioOutput(new QAudioOutput(m_pPlayer));
  }
  m_pPlayer->stop();
  m_pPlayer->setSource(QUrl::fromLocalFile(FromPath(strPath)));
  m_pPlayer->play(); // asynchronous: no sound device only shows as the player's error
}

bool CQtDialogServices::OpenFolder(const std::string& strFolder) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(FromPath(strFolder)));
}

} // namespace dovetrel

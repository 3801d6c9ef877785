#include "call/CallPath.h"
#include "call/Texts.h"
#include "convert/Texts.h"
#include "gui/CallWindow.h"
#include "gui/CallWords.h"
#include "gui/DovetrelDlg.h"
#include "gui/FlowWindow.h"
#include "gui/QtDialogServices.h"
#include "gui/StartArguments.h"
#include "gui/Texts.h"
#include "scenario/Texts.h"
#include "tests/gui/ScriptedServices.h"
#include "tests/support/MemoryFiles.h"
#include "vxml/Texts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHelpEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>
#include <QtTest>

#include <functional>
#include <memory>

namespace dovetrel {

using test::CScriptedServices;
using test::ShownBox;

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Bytes(const QString& strText) {
  return QFile::encodeName(strText).toStdString();
}

QByteArray ReadFile(const QString& strPath) {
  QFile file(strPath);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Adds a row named \p pszName with \p cells as its first columns, all strings (UTF-8); further
/// columns follow on the row returned.
QTestData& AddTextRow(const char* pszName, std::initializer_list<const char*> cells) {
  QTestData& row = QTest::newRow(pszName);
  for (const char* pszCell : cells)
    row << QString::fromUtf8(pszCell);
  return row;
}

void CheckBox(const ShownBox& box, MessageKind kind, std::string_view text) {
  QCOMPARE(static_cast<int>(box.kind), static_cast<int>(kind));
  QCOMPARE(Q(box.strText), Q(text));
}

/// Opening a scenario file throws what the test names.
class CThrowingFiles final : public IInputFiles {
public:
  std::unique_ptr<IInputFile> Open(const std::string& /*strPath*/,
                                   std::string& /*strReason*/) override {
    throw std::runtime_error("out of handles");
  }
};

/// While it lives, hands the first modal window that opens (the chooser or box the test calls
/// up) to \p act, every 10 ms until \p act returns true. Any modal window after that, such as an
/// overwrite question, is counted and closed; after five seconds whatever is open is closed, so
/// that nothing blocks the test.
class CModalWatch {
public:
  explicit CModalWatch(std::function<bool(QWidget*)> act) : m_act(std::move(act)) {
    m_elapsed.start();
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start(10);
  }
  /// Modal windows that opened after the first one was done with, or stayed too long.
  int Others() const { return m_nOthers; }

private:
  void Poll() {
    QWidget* pModal = QApplication::activeModalWidget();
    if (!pModal)
      return;
    if (m_elapsed.elapsed() > 5000 || !m_act) {
      ++m_nOthers;
      pModal->close();
      return;
    }
    if (m_act(pModal))
      m_act = nullptr;
  }

  std::function<bool(QWidget*)> m_act;
  QTimer m_timer;
  QElapsedTimer m_elapsed;
  int m_nOthers = 0;
};

const QString kExamples = QStringLiteral(DOVETREL_SOURCE_DIR "/examples/worked/");

} // namespace

class DialogTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();

  void startsEmptyWithTheIvrFieldFocused();
  void tabOrderFollowsTheTemplate();
  void windowIsFixedAndHasNoMaximiseButton();
  void mnemonicsReachTheirControls_data();
  void mnemonicsReachTheirControls();
  void focusOnTheDefaultButtonIsVisible();
  void ivrChooser_data();
  void ivrChooser();
  void vxmlChooser_data();
  void vxmlChooser();
  void proposalWhenEditingFinishes_data();
  void proposalWhenEditingFinishes();
  void dropFillsTheIvrField_data();
  void dropFillsTheIvrField();
  void startArguments_data();
  void startArguments();
  void enterInEitherFieldConverts_data();
  void enterInEitherFieldConverts();
  void exitAsks_data();
  void exitAsks();
  void yesEndsTheModalDialog();
  void convertsTheWorkedExampleTwiceWithOneTable();
  void dialectChoiceReachesTheNameAndTheDocument();
  void flowWindowShowsTheSetAndSavesIt_data();
  void flowWindowShowsTheSetAndSavesIt();
  void flowOfASetThatDoesNotLoadShowsTheBoxesAndNoWindow();
  void flowStaysReadableAndTellsWhereRowsAre();
  void callWindowRunsTheCall_data();
  void callWindowRunsTheCall();
  void callOfASetThatDoesNotLoadShowsTheBoxesAndNoWindow();
  void callWindowSavesTheCall_data();
  void callWindowSavesTheCall();
  void callPathFollowsTheCall_data();
  void callPathFollowsTheCall();
  void callWindowShowsTheCoverage_data();
  void callWindowShowsTheCoverage();
  void callWindowCoversTheCalls_data();
  void callWindowCoversTheCalls();
  void callStepsReadRussian_data();
  void callStepsReadRussian();
  void windowsStayWithTheDialog_data();
  void windowsStayWithTheDialog();
  void failuresShowTheStepThenTheSummary_data();
  void failuresShowTheStepThenTheSummary();
  void readErrorIsACriticalBoxAndTheDialogStays();
  void unexpectedExceptionIsACriticalBoxAndTheDialogStays();
  void successWithWarningsCarriesThemAsDetail();
  void successBoxOpensTheFolderOnRequest_data();
  void successBoxOpensTheFolderOnRequest();
  void boxesLookAsTheirKindSays_data();
  void boxesLookAsTheirKindSays();
  void standardTextsAreRussian();
  void realChoosers_data();
  void realChoosers();
  void realBoxesReturnTheButtonPressed_data();
  void realBoxesReturnTheButtonPressed();
  void realSuccessBoxReturnsTheButtonPressed_data();
  void realSuccessBoxReturnsTheButtonPressed();

private: // NOLINT(readability-redundant-access-specifiers): helpers, not test slots
  QLineEdit* Field(const char* pszName) const { return m_pDlg->findChild<QLineEdit*>(pszName); }
  QPushButton* Button(const char* pszName) const {
    return m_pDlg->findChild<QPushButton*>(pszName);
  }
  /// Makes a dialog whose conversions use \p options, shown and active.
  void MakeDialog(const ConversionOptions& options = {});
  /// Copies the worked example into the temporary directory; returns the main file's path.
  QString CopyWorkedExample() const;

  CScriptedServices m_services;
  std::unique_ptr<CDovetrelDlg> m_pDlg;
  std::unique_ptr<QTemporaryDir> m_pDir;
};

void DialogTest::init() {
  m_services = CScriptedServices();
  m_pDir = std::make_unique<QTemporaryDir>();
  QVERIFY(m_pDir->isValid());
  MakeDialog();
}

void DialogTest::cleanup() {
  m_pDlg.reset();
  m_pDir.reset();
  const QStringList leftovers = m_services.Leftovers();
  QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(QStringLiteral("; "))));
}

void DialogTest::MakeDialog(const ConversionOptions& options) {
  m_pDlg = std::make_unique<CDovetrelDlg>(m_services, options);
  m_pDlg->show();
  m_pDlg->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(m_pDlg.get()));
}

QString DialogTest::CopyWorkedExample() const {
  for (const char* pszName : {"main.ivr", "sales.ivr"})
    QFile::copy(kExamples + QLatin1String(pszName), m_pDir->filePath(QLatin1String(pszName)));
  return m_pDir->filePath(QStringLiteral("main.ivr"));
}

void DialogTest::startsEmptyWithTheIvrFieldFocused() {
  QCOMPARE(Field("ivrEdit")->text(), QString());
  QCOMPARE(Field("vxmlEdit")->text(), QString());
  QCOMPARE(m_pDlg->IvrFile(), std::string());
  QCOMPARE(m_pDlg->VxmlFile(), std::string());
  QCOMPARE(QApplication::focusWidget(), Field("ivrEdit"));
  QCOMPARE(m_pDlg->windowTitle(), QStringLiteral("Dovetrel"));
  QVERIFY(Button("convertButton")->isDefault());
  QVERIFY(m_pDlg->findChild<QLabel*>("noticeLabel")->text().contains(QStringLiteral("1.3")));
  QVERIFY(!m_pDlg->windowIcon().isNull());
}

void DialogTest::tabOrderFollowsTheTemplate() {
  const QList<QWidget*> expected{
      Field("ivrEdit"),           Button("browseIvrButton"),
      Field("vxmlEdit"),          m_pDlg->findChild<QComboBox*>("dialectCombo"),
      Button("browseVxmlButton"), Button("showFlowButton"),
      Button("checkCallButton"),  Button("convertButton"),
      Button("exitButton")};
  QList<QWidget*> visited{QApplication::focusWidget()};
  for (int i = 1; i < expected.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget();
  }
  QCOMPARE(visited, expected);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), Field("ivrEdit"));
}

void DialogTest::windowIsFixedAndHasNoMaximiseButton() {
  QCOMPARE(m_pDlg->minimumSize(), m_pDlg->maximumSize());
  QCOMPARE(m_pDlg->size(), m_pDlg->minimumSize());
  QVERIFY(!(m_pDlg->windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(m_pDlg->windowFlags() & Qt::WindowMinimizeButtonHint);
  QVERIFY(m_pDlg->windowFlags() & Qt::WindowCloseButtonHint);
  // A window of its own, not transient for anything, so it has its own taskbar entry.
  QVERIFY(m_pDlg->parentWidget() == nullptr);
  QCOMPARE(m_pDlg->windowType(), Qt::Window);
  // Every control lies inside the window.
  for (QWidget* pChild : m_pDlg->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    QVERIFY2(m_pDlg->rect().contains(pChild->geometry()), qPrintable(pChild->objectName()));
}

void DialogTest::mnemonicsReachTheirControls_data() {
  QTest::addColumn<QString>("control"); // a button, or a label whose field gets the focus
  QTest::addColumn<QString>("shown");   // the words as they always stood
  QTest::addColumn<int>("key");         // with Alt
  AddTextRow("Alt+I, the IVR field", {"ivrLabel", "Файл сценария IVR:"}) << int(Qt::Key_I);
  AddTextRow("Alt+V, the VoiceXML field", {"vxmlLabel", "Файл сценария VoiceXML:"})
      << int(Qt::Key_V);
  AddTextRow("Alt+К, Convert", {"convertButton", "Конвертировать"}) << 0x41A;
  AddTextRow("Alt+В, Exit", {"exitButton", "Выход"}) << 0x412;
}

void DialogTest::mnemonicsReachTheirControls() {
  QFETCH(QString, control);
  QFETCH(QString, shown);
  QFETCH(int, key);
  const QKeySequence altKey(QKeyCombination(Qt::ALT, Qt::Key(key)));
  if (auto* pButton = m_pDlg->findChild<QPushButton*>(control)) {
    QCOMPARE(pButton->text().remove(QLatin1Char('&')), shown);
    QCOMPARE(pButton->shortcut(), altKey);
    return;
  }
  auto* pLabel = m_pDlg->findChild<QLabel*>(control);
  QCOMPARE(pLabel->text().remove(QLatin1Char('&')), shown);
  QCOMPARE(QKeySequence::mnemonic(pLabel->text()), altKey);
  QLineEdit* pOther = Field(pLabel->buddy() == Field("ivrEdit") ? "vxmlEdit" : "ivrEdit");
  pOther->setFocus();
  QTest::keyClick(pOther, Qt::Key(key), Qt::AltModifier);
  QCOMPARE(QApplication::focusWidget(), pLabel->buddy());
  QVERIFY(pLabel->buddy() != pOther);
}

void DialogTest::focusOnTheDefaultButtonIsVisible() {
  QPushButton* pConvert = Button("convertButton");
  QVERIFY(pConvert->isDefault());
  Field("ivrEdit")->setFocus();
  const QImage waiting = pConvert->grab().toImage();
  QTest::keyClick(Button("browseVxmlButton"), Qt::Key_Tab);
  pConvert->setFocus(Qt::TabFocusReason);
  QVERIFY(pConvert->hasFocus());
  QVERIFY(pConvert->isDefault());
  QVERIFY2(pConvert->grab().toImage() != waiting, "the focused default button looks unfocused");
}

void DialogTest::ivrChooser_data() {
  // The IVR field holds "/typed/in.ivr", typed by hand; clicking the chooser button ends its
  // editing, which proposes "/typed/in.vxml" when the VoiceXML field is empty.
  QTest::addColumn<QString>("vxmlTyped");
  QTest::addColumn<QString>("chosen"); // "" to cancel
  QTest::addColumn<QString>("ivr");
  QTest::addColumn<QString>("vxml");
  const char* pszMine = "/mine/out.vxml";
  AddTextRow("chosen, the typed VoiceXML name stays",
             {pszMine, "/scen/main.ivr", "/scen/main.ivr", pszMine});
  AddTextRow("cancelled, both typed names stay", {pszMine, "", "/typed/in.ivr", pszMine});
  AddTextRow("chosen, proposed beside it",
             {"", "/scen/main.ivr", "/scen/main.ivr", "/scen/main.vxml"});
  AddTextRow("cancelled, the typed name's proposal stays",
             {"", "", "/typed/in.ivr", "/typed/in.vxml"});
  AddTextRow("cut at the name's first dot",
             {"", "/scen/main.test.ivr", "/scen/main.test.ivr", "/scen/main.vxml"});
  AddTextRow("dotted directory kept",
             {"", "/data.old/main.ivr", "/data.old/main.ivr", "/data.old/main.vxml"});
  AddTextRow("dot only in the directory",
             {"", "/data.old/main", "/data.old/main", "/data.old/main.vxml"});
  AddTextRow("no dot proposes nothing", {"", "/scen/main", "/scen/main", "/typed/in.vxml"});
  AddTextRow("Cyrillic names",
             {"", "/сценарии/главный.ivr", "/сценарии/главный.ivr", "/сценарии/главный.vxml"});
}

void DialogTest::ivrChooser() {
  QFETCH(QString, vxmlTyped);
  QFETCH(QString, chosen);
  QFETCH(QString, ivr);
  QFETCH(QString, vxml);
  QTest::keyClicks(Field("ivrEdit"), QStringLiteral("/typed/in.ivr"));
  Field("vxmlEdit")->setText(vxmlTyped);
  m_services.m_openResults.push_back(Bytes(chosen));
  QTest::mouseClick(Button("browseIvrButton"), Qt::LeftButton);
  QCOMPARE(m_services.m_chooserCalls, std::deque<std::string>{"open Scenario IVR (*.ivr)"});
  QCOMPARE(m_services.m_chooserStarts, std::deque<std::string>{"/typed/in.ivr"});
  QCOMPARE(Field("ivrEdit")->text(), ivr);
  QCOMPARE(Field("vxmlEdit")->text(), vxml);
  QCOMPARE(Q(m_pDlg->IvrFile()), ivr);
}

void DialogTest::vxmlChooser_data() {
  // Clicking the chooser button ends the editing of the IVR field, which may propose a name.
  QTest::addColumn<QString>("ivrTyped");
  QTest::addColumn<QString>("vxmlTyped");
  QTest::addColumn<QString>("chosen"); // "" to cancel
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("vxml");
  const char* pszMine = "/mine/out.vxml";
  AddTextRow("chosen over a typed name",
             {"/typed/in.ivr", pszMine, "/out/document.vxml", pszMine, "/out/document.vxml"});
  AddTextRow("cancelled, the typed name stays", {"/typed/in.ivr", pszMine, "", pszMine, pszMine});
  AddTextRow("cancelled, the proposal offered and kept",
             {"/typed/in.ivr", "", "", "/typed/in.vxml", "/typed/in.vxml"});
  AddTextRow("no proposal in the field, offered all the same",
             {"/typed/in", "", "", "/typed/in.vxml", ""});
  AddTextRow("Cyrillic name",
             {"/typed/in.ivr", pszMine, "/выход/документ.vxml", pszMine, "/выход/документ.vxml"});
}

void DialogTest::vxmlChooser() {
  QFETCH(QString, ivrTyped);
  QFETCH(QString, vxmlTyped);
  QFETCH(QString, chosen);
  QFETCH(QString, start);
  QFETCH(QString, vxml);
  QTest::keyClicks(Field("ivrEdit"), ivrTyped);
  Field("vxmlEdit")->setText(vxmlTyped);
  m_services.m_saveResults.push_back(Bytes(chosen));
  QTest::mouseClick(Button("browseVxmlButton"), Qt::LeftButton);
  QCOMPARE(m_services.m_chooserCalls,
           std::deque<std::string>{"save Scenario VoiceXML (*.vxml) vxml"});
  QCOMPARE(m_services.m_chooserStarts, std::deque<std::string>{Bytes(start)});
  QCOMPARE(Field("vxmlEdit")->text(), vxml);
  QCOMPARE(Field("ivrEdit")->text(), ivrTyped);
}

void DialogTest::proposalWhenEditingFinishes_data() {
  QTest::addColumn<QString>("earlier"); // typed and finished first; "" for nothing
  QTest::addColumn<QString>("vxmlTyped");
  QTest::addColumn<QString>("typed"); // then typed, or pasted when the row's name says so
  QTest::addColumn<QString>("vxml");
  AddTextRow("typed, the empty field gets it", {"", "", "/scen/main.ivr", "/scen/main.vxml"});
  AddTextRow("pasted, an earlier proposal is renewed",
             {"/scen/a.ivr", "", "/scen/b.ivr", "/scen/b.vxml"});
  AddTextRow("pasted, the operator's own name stays",
             {"/scen/a.ivr", "/mine/out.vxml", "/scen/b.ivr", "/mine/out.vxml"});
  AddTextRow("no dot proposes nothing", {"", "", "/scen/main", ""});
  AddTextRow("relative name", {"", "", "main.test.ivr", "main.vxml"});
}

void DialogTest::proposalWhenEditingFinishes() {
  QFETCH(QString, earlier);
  QFETCH(QString, vxmlTyped);
  QFETCH(QString, typed);
  QFETCH(QString, vxml);
  QLineEdit* pIvr = Field("ivrEdit");
  const auto finish = [pIvr](const QString& strText, bool bPaste) {
    pIvr->setFocus();
    pIvr->selectAll();
    QApplication::clipboard()->setText(strText);
    if (bPaste)
      QTest::keyClick(pIvr, Qt::Key_V, Qt::ControlModifier);
    else
      QTest::keyClicks(pIvr, strText);
    QTest::keyClick(pIvr, Qt::Key_Tab); // the focus leaves the field
  };
  if (!earlier.isEmpty())
    finish(earlier, false);
  if (!vxmlTyped.isEmpty())
    Field("vxmlEdit")->setText(vxmlTyped);
  finish(typed, QString::fromUtf8(QTest::currentDataTag()).startsWith(QLatin1String("pasted")));
  QCOMPARE(pIvr->text(), typed);
  QCOMPARE(Field("vxmlEdit")->text(), vxml);
}

void DialogTest::dropFillsTheIvrField_data() {
  // The IVR field holds "/typed/in.ivr", the VoiceXML field nothing; a refused drop changes
  // neither.
  QTest::addColumn<QString>("urls"); // separated by spaces
  QTest::addColumn<QString>("ivr");
  QTest::addColumn<QString>("vxml");
  AddTextRow("a file, the name proposed",
             {"file:///scen/main.ivr", "/scen/main.ivr", "/scen/main.vxml"});
  AddTextRow("the first local file taken",
             {"https://example.org/x.ivr file:///scen/a.ivr file:///scen/b.ivr", "/scen/a.ivr",
              "/scen/a.vxml"});
  AddTextRow("Cyrillic, as a file manager encodes it",
             {"file:///%D1%81%D1%86/%D0%B3%D0%BB.ivr", "/сц/гл.ivr", "/сц/гл.vxml"});
  AddTextRow("a web address alone is refused",
             {"https://example.org/main.ivr", "/typed/in.ivr", ""});
  AddTextRow("text without a file is refused", {"", "/typed/in.ivr", ""});
}

void DialogTest::dropFillsTheIvrField() {
  QFETCH(QString, urls);
  QFETCH(QString, ivr);
  QFETCH(QString, vxml);
  Field("ivrEdit")->setText(QStringLiteral("/typed/in.ivr"));
  QMimeData mime;
  QList<QUrl> list;
  for (const QString& strUrl : urls.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    list << QUrl(strUrl);
  mime.setUrls(list);
  mime.setText(QStringLiteral("/not/a/drop.ivr"));
  QDragEnterEvent enter({10, 10}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(m_pDlg.get(), &enter);
  QCOMPARE(enter.isAccepted(), ivr != QStringLiteral("/typed/in.ivr"));
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(m_pDlg.get(), &drop);
  QCOMPARE(Field("ivrEdit")->text(), ivr);
  QCOMPARE(Field("vxmlEdit")->text(), vxml);
  // A drop on a field reaches the window instead of landing in the text.
  QVERIFY(!Field("ivrEdit")->acceptDrops() && !Field("vxmlEdit")->acceptDrops());
}

void DialogTest::startArguments_data() {
  QTest::addColumn<QString>("args"); // separated by spaces
  QTest::addColumn<QString>("ivr");
  QTest::addColumn<QString>("ends");  // "help", "version", or "" when the window opens
  QTest::addColumn<QString>("notes"); // separated by "|"
  AddTextRow("none", {"", "", "", ""});
  AddTextRow("a file", {"/scen/main.ivr", "/scen/main.ivr", "", ""});
  AddTextRow("a file manager's address", {"file:///scen/%D0%B3.ivr", "/scen/г.ivr", "", ""});
  AddTextRow("a second file is left aside",
             {"a.ivr b.ivr", "a.ivr", "", "лишний аргумент b.ivr пропущен"});
  AddTextRow("an unknown option is left aside",
             {"--fast a.ivr", "a.ivr", "", "неизвестный параметр --fast пропущен"});
  AddTextRow("after --, names that look like options",
             {"-- -a.ivr --help", "-a.ivr", "", "лишний аргумент --help пропущен"});
  AddTextRow("help", {"a.ivr --help", "a.ivr", "help", ""});
  AddTextRow("version", {"-V", "", "version", ""});
}

void DialogTest::startArguments() {
  QFETCH(QString, args);
  QFETCH(QString, ivr);
  QFETCH(QString, ends);
  QFETCH(QString, notes);
  std::vector<std::string> vecArgs;
  for (const QString& strArg : args.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    vecArgs.push_back(Bytes(strArg));
  const StartRequest request = ParseStartArguments(vecArgs);
  QCOMPARE(Q(request.strIvrFile), ivr);
  QCOMPARE(request.bHelp, ends == QLatin1String("help"));
  QCOMPARE(request.bVersion, ends == QLatin1String("version"));
  QStringList shown;
  for (const std::string& strNote : request.vecNotes)
    shown << Q(strNote);
  QCOMPARE(shown.join(QLatin1Char('|')), notes);
}

void DialogTest::enterInEitherFieldConverts_data() {
  QTest::addColumn<QByteArray>("field");
  QTest::addColumn<int>("key");
  QTest::newRow("Return in the IVR field") << QByteArray("ivrEdit") << int(Qt::Key_Return);
  QTest::newRow("Enter in the IVR field") << QByteArray("ivrEdit") << int(Qt::Key_Enter);
  QTest::newRow("Return in the VoiceXML field") << QByteArray("vxmlEdit") << int(Qt::Key_Return);
  QTest::newRow("Enter in the VoiceXML field") << QByteArray("vxmlEdit") << int(Qt::Key_Enter);
}

void DialogTest::enterInEitherFieldConverts() {
  QFETCH(QByteArray, field);
  QFETCH(int, key);
  const QString strIvr = CopyWorkedExample();
  const QString strVxml = m_pDir->filePath(QStringLiteral("typed.vxml"));
  QTest::keyClicks(Field("ivrEdit"), strIvr);
  QTest::keyClicks(Field("vxmlEdit"), strVxml);
  Field(field.constData())->setFocus();
  QTest::keyClick(Field(field.constData()), Qt::Key(key));
  CheckBox(m_services.Take(), MessageKind::Information, text::kConverted);
  QVERIFY(QFile::exists(strVxml));
  QVERIFY(m_pDlg->isVisible());
  QCOMPARE(Q(m_pDlg->IvrFile()), strIvr);
}

void DialogTest::exitAsks_data() {
  QTest::addColumn<QString>("way");
  QTest::newRow("Escape") << "escape";
  QTest::newRow("close button or Alt+F4") << "close";
  QTest::newRow("Exit button") << "button";
}

void DialogTest::exitAsks() {
  QFETCH(QString, way);
  const auto leave = [&] {
    if (way == QLatin1String("escape"))
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else if (way == QLatin1String("close"))
      m_pDlg->close();
    else
      QTest::mouseClick(Button("exitButton"), Qt::LeftButton);
  };
  Field("ivrEdit")->setText(QStringLiteral("/a/main.ivr"));
  Field("vxmlEdit")->setText(QStringLiteral("typed.vxml"));
  const CScenarioTable* pTable = &m_pDlg->Table();

  m_services.m_replies.push_back(MessageReply::No);
  leave();
  CheckBox(m_services.Take(), MessageKind::Question, text::kExitQuestion);
  QVERIFY(m_pDlg->isVisible());
  QCOMPARE(Field("ivrEdit")->text(), QStringLiteral("/a/main.ivr"));
  QCOMPARE(Field("vxmlEdit")->text(), QStringLiteral("typed.vxml"));
  QCOMPARE(&m_pDlg->Table(), pTable);

  m_services.m_replies.push_back(MessageReply::Yes);
  leave();
  CheckBox(m_services.Take(), MessageKind::Question, text::kExitQuestion);
  QVERIFY(!m_pDlg->isVisible());
  QCOMPARE(m_pDlg->result(), int(QDialog::Rejected));
}

void DialogTest::yesEndsTheModalDialog() {
  m_pDlg->hide();
  m_services.m_replies.push_back(MessageReply::Yes);
  QTimer::singleShot(0, m_pDlg.get(), [this] {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_pDlg.get(),
                    Qt::Key_Escape);
  });
  // Should the question go unanswered, the dialog is ended another way and the test fails.
  QTimer::singleShot(5000, m_pDlg.get(), [this] { m_pDlg->done(-1); });
  QCOMPARE(m_pDlg->exec(), int(QDialog::Rejected));
  CheckBox(m_services.Take(), MessageKind::Question, text::kExitQuestion);
}

void DialogTest::convertsTheWorkedExampleTwiceWithOneTable() {
  const QString strIvr = CopyWorkedExample();
  const QString strVxml = m_pDir->filePath(QStringLiteral("main.vxml"));
  const QByteArray expected = ReadFile(kExamples + QStringLiteral("expected/main.vxml"));
  QVERIFY(!expected.isEmpty());
  m_services.m_openResults.push_back(Bytes(strIvr));
  QTest::mouseClick(Button("browseIvrButton"), Qt::LeftButton);
  QCOMPARE(Field("vxmlEdit")->text(), strVxml);
  const CScenarioTable* pTable = &m_pDlg->Table();
  for (int nRun = 0; nRun < 2; ++nRun) {
    QFile::remove(strVxml);
    QTest::mouseClick(Button("convertButton"), Qt::LeftButton);
    const ShownBox box = m_services.Take();
    CheckBox(box, MessageKind::Information, text::kConverted);
    QCOMPARE(Q(box.report.strDocument), strVxml);
    QCOMPARE(box.report.warnings.size(), std::size_t(0));
    QCOMPARE(ReadFile(strVxml), expected);
  }
  QCOMPARE(&m_pDlg->Table(), pTable);
  QCOMPARE(Q(m_pDlg->BaseDir()), m_pDir->path() + QLatin1Char('/'));
  QVERIFY(m_pDlg->isVisible());
}

void DialogTest::dialectChoiceReachesTheNameAndTheDocument() {
  const QString strIvr = CopyWorkedExample();
  auto* pDialect = m_pDlg->findChild<QComboBox*>("dialectCombo");
  QVERIFY(pDialect);
  QCOMPARE(pDialect->currentText(), Q(text::kDialectClassic));
  Field("ivrEdit")->setText(strIvr);
  m_pDlg->OnIvrEdited();
  QCOMPARE(Field("vxmlEdit")->text(), m_pDir->filePath(QStringLiteral("main.vxml")));
  pDialect->setCurrentIndex(pDialect->findText(Q(text::kDialectW3c)));
  const QString strW3c = m_pDir->filePath(QStringLiteral("main.w3c.vxml"));
  QCOMPARE(Field("vxmlEdit")->text(), strW3c); // the dialog's own proposal follows the choice
  QTest::mouseClick(Button("convertButton"), Qt::LeftButton);
  CheckBox(m_services.Take(), MessageKind::Information, text::kConverted);
  QCOMPARE(ReadFile(strW3c), ReadFile(kExamples + QStringLiteral("expected/main.w3c.vxml")));
  // A name the operator typed stays whatever the choice.
  Field("vxmlEdit")->setText(m_pDir->filePath(QStringLiteral("mine.vxml")));
  pDialect->setCurrentIndex(pDialect->findText(Q(text::kDialectClassic)));
  QCOMPARE(Field("vxmlEdit")->text(), m_pDir->filePath(QStringLiteral("mine.vxml")));
}

void DialogTest::flowWindowShowsTheSetAndSavesIt_data() {
  QTest::addColumn<QString>("file");     // the name chosen to save as, in the temporary directory
  QTest::addColumn<QByteArray>("start"); // what the saved file must begin with; empty: refused
  QTest::newRow("svg") << "flow.svg" << QByteArray("<?xml");
  QTest::newRow("png") << "flow.png" << QByteArray("\x89PNG");
  QTest::newRow("pdf") << "flow.pdf" << QByteArray("%PDF");
  QTest::newRow("another suffix") << "flow.txt" << QByteArray();
  QTest::newRow("a file of the set") << "sales.ivr" << QByteArray();
}

void DialogTest::flowWindowShowsTheSetAndSavesIt() {
  QFETCH(QString, file);
  QFETCH(QByteArray, start);
  const QString strIvr = CopyWorkedExample();
  Field("ivrEdit")->setText(strIvr);
  QTest::mouseClick(Button("showFlowButton"), Qt::LeftButton);
  auto* pWindow = const_cast<CFlowWindow*>(m_pDlg->FlowWindow());
  QVERIFY(pWindow && pWindow->isVisible());
  QVERIFY(pWindow->windowTitle().contains(QStringLiteral("— main.ivr")));
  // A window of the active dialog's counts as active before it is: wait for the real activation.
  QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(pWindow));
  const double dFitted = pWindow->Scale();
  QTest::keyClick(pWindow, Qt::Key_Plus, Qt::ControlModifier);
  QVERIFY(pWindow->Scale() > dFitted);
  const QByteArray before = ReadFile(m_pDir->filePath(file));
  m_services.m_saveResults.push_back(Bytes(m_pDir->filePath(file)));
  QTest::mouseClick(pWindow->findChild<QPushButton*>("saveAsButton"), Qt::LeftButton);
  QCOMPARE(m_services.m_chooserStarts.back(), Bytes(m_pDir->filePath(QStringLiteral("main.svg"))));
  if (start.isEmpty()) {
    QCOMPARE(m_services.Take().kind, MessageKind::Warning);
    QCOMPARE(ReadFile(m_pDir->filePath(file)), before);
    return;
  }
  QVERIFY(ReadFile(m_pDir->filePath(file)).startsWith(start));
}

void DialogTest::flowOfASetThatDoesNotLoadShowsTheBoxesAndNoWindow() {
  Field("ivrEdit")->setText(m_pDir->filePath(QStringLiteral("gone.ivr")));
  QTest::mouseClick(Button("showFlowButton"), Qt::LeftButton);
  CheckBox(m_services.Take(), MessageKind::Warning, text::kCannotOpenIvr);
  CheckBox(m_services.Take(), MessageKind::Warning, text::kLoadFailed);
  QVERIFY(!m_pDlg->FlowWindow());
}

void DialogTest::flowStaysReadableAndTellsWhereRowsAre() {
  // A chain of fifteen menus, each naming the next: far too tall for the window.
  for (int i = 1; i <= 15; ++i) {
    QFile file(m_pDir->filePath(QStringLiteral("f%1.ivr").arg(i)));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("10   greeting.wav\n");
    if (i < 15)
      file.write(QStringLiteral("1    menu            f%1.ivr\n").arg(i + 1).toLatin1());
  }
  const QString strIvr = m_pDir->filePath(QStringLiteral("f1.ivr"));
  Field("ivrEdit")->setText(strIvr);
  QTest::mouseClick(Button("showFlowButton"), Qt::LeftButton);
  auto* pWindow = const_cast<CFlowWindow*>(m_pDlg->FlowWindow());
  QVERIFY(pWindow);
  pWindow->resize(900, 700);
  pWindow->FitToWindow();
  auto* pView = pWindow->findChild<QGraphicsView*>("flowView");
  // Fitted no smaller than readable, with scroll bars, the main menu at the top in view.
  QVERIFY(pWindow->Scale() >= 0.7);
  QVERIFY(pView->verticalScrollBar()->maximum() > 0);
  QCOMPARE(pView->verticalScrollBar()->value(), 0);
  // Each box and each row's arrow tells its file and line.
  const auto Area = [&](const QString& strTip) -> QGraphicsItem* {
    for (QGraphicsItem* pItem : pView->scene()->items())
      if (pItem->toolTip() == strTip)
        return pItem;
    return nullptr;
  };
  // Files are named relative to the main file's folder.
  QGraphicsItem* pMain = Area(QStringLiteral("f1.ivr"));
  QGraphicsItem* pNext = Area(QStringLiteral("f2.ivr"));
  QVERIFY(pMain && pNext && Area(QStringLiteral("f1.ivr:2")));
  QVERIFY(!pMain->sceneBoundingRect().intersects(pNext->sceneBoundingRect()));
  // The wheel zooms around the pointer: the top of a box under it stays there. Zoomed in first,
  // so that the view can scroll.
  pWindow->Zoom(4);
  pView->centerOn(pNext->sceneBoundingRect().center());
  const QPointF corner(pNext->sceneBoundingRect().center().x(), pNext->sceneBoundingRect().top());
  const QPoint at = pView->mapFromScene(corner);
  QVERIFY(pView->viewport()->rect().contains(at) && at != pView->viewport()->rect().center());
  const double dBefore = pWindow->Scale();
  QWheelEvent wheel(at, pView->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(pView->viewport(), &wheel);
  QVERIFY(pWindow->Scale() > dBefore * 1.2);
  QVERIFY((pView->mapFromScene(corner) - at).manhattanLength() <= 2);
  // Hovering the box shows its file.
  const QPoint inside = pView->mapFromScene(pNext->sceneBoundingRect().center());
  QHelpEvent help(QEvent::ToolTip, inside, pView->viewport()->mapToGlobal(inside));
  QApplication::sendEvent(pView->viewport(), &help);
  QTRY_COMPARE(QToolTip::text(), QStringLiteral("f2.ivr"));
}

void DialogTest::callWindowRunsTheCall_data() {
  QTest::addColumn<QString>("dialect");
  QTest::newRow("classic") << Q(text::kDialectClassic);
  QTest::newRow("w3c") << Q(text::kDialectW3c);
}

void DialogTest::callWindowRunsTheCall() {
  QFETCH(QString, dialect);
  const QString strIvr = CopyWorkedExample();
  QFile greeting(m_pDir->filePath(QStringLiteral("welcome.wav")));
  QVERIFY(greeting.open(QIODevice::WriteOnly));
  greeting.close();
  Field("ivrEdit")->setText(strIvr);
  auto* pDialect = m_pDlg->findChild<QComboBox*>("dialectCombo");
  pDialect->setCurrentIndex(pDialect->findText(dialect));
  QTest::mouseClick(Button("checkCallButton"), Qt::LeftButton);
  auto* pWindow = const_cast<CCallWindow*>(m_pDlg->CallWindow());
  QVERIFY(pWindow && pWindow->isVisible());
  const auto Click = [&](const char* szName) {
    auto* pButton = pWindow->findChild<QPushButton*>(QLatin1String(szName));
    QVERIFY(pButton);
    QTest::mouseClick(pButton, Qt::LeftButton);
  };
  const auto Enabled = [&](const char* szName) {
    return pWindow->findChild<QPushButton*>(QLatin1String(szName))->isEnabled();
  };
  using Lines = std::vector<std::string>;
  const Lines start{"menu main.ivr", "play welcome.wav", "wait 10s"};
  QCOMPARE(pWindow->Transcript(), start);
  QCOMPARE(m_services.m_played.size(), std::size_t(1)); // sales.wav is not there: silence
  QVERIFY(Enabled("key2") && Enabled("silence") && !Enabled("busy"));
  Click("key2");
  QVERIFY(!Enabled("key2") && Enabled("busy") && Enabled("noanswer"));
  Click("busy");
  Lines ended = start;
  ended.insert(ended.end(), {"press 2", "dial 123", "busy", "hangup"});
  QCOMPARE(pWindow->Transcript(), ended);
  QVERIFY(!Enabled("key1") && !Enabled("answer"));
  Click("restart");
  QCOMPARE(pWindow->Transcript(), start);
}

void DialogTest::callOfASetThatDoesNotLoadShowsTheBoxesAndNoWindow() {
  Field("ivrEdit")->setText(m_pDir->filePath(QStringLiteral("gone.ivr")));
  QTest::mouseClick(Button("checkCallButton"), Qt::LeftButton);
  CheckBox(m_services.Take(), MessageKind::Warning, text::kCannotOpenIvr);
  CheckBox(m_services.Take(), MessageKind::Warning, text::kLoadFailed);
  QVERIFY(!m_pDlg->CallWindow());
}

void DialogTest::callWindowSavesTheCall_data() {
  QTest::addColumn<QString>("target"); // the name chosen, in the temporary directory; empty: cancel
  QTest::addColumn<bool>("written");
  QTest::newRow("proposed") << QStringLiteral("calls/main-1-1.txt") << true;
  QTest::newRow("a file of the set") << QStringLiteral("sales.ivr") << false;
  QTest::newRow("cancelled") << QString() << false;
}

void DialogTest::callWindowSavesTheCall() {
  QFETCH(QString, target);
  QFETCH(bool, written);
  Field("ivrEdit")->setText(CopyWorkedExample());
  QTest::mouseClick(Button("checkCallButton"), Qt::LeftButton);
  auto* pWindow = const_cast<CCallWindow*>(m_pDlg->CallWindow());
  QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(pWindow));
  const auto Bold = [&](const char* szName) {
    return pWindow->findChild<QPushButton*>(QLatin1String(szName))->font().bold();
  };
  // main.ivr answers 1, 2, 0 and no input; sales.ivr 1, busy and no input.
  QVERIFY(Bold("key1") && Bold("key2") && Bold("key0") && Bold("silence"));
  QVERIFY(!Bold("key3") && !Bold("key#") && !Bold("fax"));
  // Typed keys act at once, each of them, however fast they come.
  QTest::keyClick(pWindow, Qt::Key_1);
  QVERIFY(Bold("key1") && !Bold("key2") && Bold("silence"));
  QTest::keyClick(pWindow, Qt::Key_1);
  const QString strTarget = target.isEmpty() ? QString() : m_pDir->filePath(target);
  const QByteArray before = ReadFile(strTarget);
  m_services.m_saveResults.push_back(Bytes(strTarget));
  QTest::keyClick(pWindow, Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(Q(m_services.m_chooserStarts.back()),
           m_pDir->filePath(QStringLiteral("calls/main-1-1.txt")));
  if (!written) {
    if (!target.isEmpty())
      QCOMPARE(m_services.Take().kind, MessageKind::Warning);
    QCOMPARE(ReadFile(strTarget), before);
    QVERIFY(!QFileInfo::exists(m_pDir->filePath(QStringLiteral("calls")))); // not left behind
    return;
  }
  // What dovetrel-call main.ivr 1 1 prints.
  QCOMPARE(ReadFile(strTarget), QByteArray("menu main.ivr\nplay welcome.wav\nwait 10s\npress 1\n"
                                           "menu sales.ivr\nplay sales.wav\nwait 15s\npress 1\n"
                                           "dial 123\n"));
}

void DialogTest::callPathFollowsTheCall_data() {
  QTest::addColumn<QString>("dialect");
  QTest::addColumn<QString>("events"); // given to the call, one word each
  // Rows taken ("FILE:LINE") | menus entered | menu waiting (-1: none) | step the call is at
  QTest::addColumn<QString>("path");
  AddTextRow("start", {"classic", "", " | 0 | 0 | "});
  AddTextRow("menu", {"classic", "1", "main.ivr:2 | 0 1 | 1 | "});
  AddTextRow("dial rings", {"classic", "1 1", "main.ivr:2 sales.ivr:2 | 0 1 | -1 | sales.ivr:2"});
  AddTextRow("busy row",
             {"classic", "1 1 busy", "main.ivr:2 sales.ivr:2 sales.ivr:3 | 0 1 0 | 0 | "});
  AddTextRow("answered", {"classic", "2 answer", "main.ivr:3 | 0 | -1 | main.ivr:3"});
  AddTextRow("busy without row", {"classic", "2 busy", "main.ivr:3 | 0 | -1 | main.ivr:3"});
  AddTextRow("silence", {"classic", "silence", "main.ivr:5 | 0 0 | 0 | "});
  AddTextRow("hang-up row", {"classic", "0", "main.ivr:4 | 0 | -1 | main.ivr:4"});
  AddTextRow("key no row answers", {"classic", "3", " | 0 | -1 | "});
  AddTextRow("standard document",
             {"w3c", "1 1 busy", "main.ivr:2 sales.ivr:2 sales.ivr:3 | 0 1 0 | 0 | "});
}

void DialogTest::callPathFollowsTheCall() {
  QFETCH(QString, dialect);
  QFETCH(QString, events);
  QFETCH(QString, path);
  /// Lines of the call, kept; messages of the conversion, dropped.
  struct CLines final : ICallTranscript, IMessageSink {
    void Step(std::string_view line) override { m_vecLines.emplace_back(line); }
    MessageReply ShowMessage(const Finding&, MessageKind) override { return MessageReply::Ok; }
    std::vector<std::string> m_vecLines;
  } lines;
  ConversionOptions options;
  options.dialect = dialect == QLatin1String("w3c") ? Dialect::W3c : Dialect::Classic;
  const std::optional<PreparedCall> prepared =
      PrepareCall(Bytes(CopyWorkedExample()), lines, options);
  const CallSet& set = prepared->set;
  CCall call(*prepared->pProgram, lines);
  QVERIFY(call.Start());
  for (const QString& strEvent : events.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    QCOMPARE(call.Feed(*ParseCallEvent(strEvent.toStdString(), set.strEncoding)),
             FeedResult::Taken);
  const CallPath traced =
      TraceCallPath(set.flow, set.menus, lines.m_vecLines, set.strEncoding, options.dialect);
  const auto Place = [](const SourcePlace& place) {
    return QFileInfo(Q(place.strFile)).fileName() + QLatin1Char(':') + QString::number(place.nLine);
  };
  QStringList rows;
  QStringList menus;
  for (const SourcePlace& place : traced.rows)
    rows << Place(place);
  for (int nMenu : traced.menus)
    menus << QString::number(nMenu);
  QCOMPARE(QStringList({rows.join(QLatin1Char(' ')), menus.join(QLatin1Char(' ')),
                        QString::number(traced.nWaitingMenu),
                        traced.step ? Place(*traced.step) : QString()})
               .join(QStringLiteral(" | ")),
           path);
}

void DialogTest::callWindowShowsTheCoverage_data() {
  QTest::addColumn<QString>("record");  // written into calls/ as "a.txt"
  QTest::addColumn<QString>("summary"); // empty: a box says why nothing is shown
  AddTextRow("recorded call",
             {"menu main.ivr\nplay welcome.wav\nwait 10s\npress 1\nmenu sales.ivr\n"
              "play sales.wav\nwait 15s\npress 1\ndial 123\nbusy\n"
              "menu main.ivr\nplay welcome.wav\nwait 10s\n",
              "строк проверено звонками: 3 из 7, исходов «нет ответа»: 0 из 1 (37,5 %)"});
  AddTextRow("no transcript", {"menu main.ivr\nhangup\nsilence\n", ""});
}

void DialogTest::callWindowShowsTheCoverage() {
  QFETCH(QString, record);
  QFETCH(QString, summary);
  Field("ivrEdit")->setText(CopyWorkedExample());
  QVERIFY(QDir(m_pDir->path()).mkdir(QStringLiteral("calls")));
  QFile file(m_pDir->filePath(QStringLiteral("calls/a.txt")));
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(record.toUtf8()) > 0);
  file.close();
  QTest::mouseClick(Button("checkCallButton"), Qt::LeftButton);
  auto* pWindow = const_cast<CCallWindow*>(m_pDlg->CallWindow());
  auto* pShow = pWindow->findChild<QCheckBox*>(QStringLiteral("showCoverage"));
  const QByteArray plain = pWindow->Drawing();
  QVERIFY(!plain.contains("×"));
  pShow->click();
  QCOMPARE(pWindow->findChild<QLabel*>(QStringLiteral("coverageSummary"))->text(), summary);
  QCOMPARE(pShow->isChecked(), !summary.isEmpty());
  if (summary.isEmpty()) {
    const ShownBox box = m_services.Take();
    CheckBox(box, MessageKind::Warning, text::kRecordAfterHangup);
    QCOMPARE(box.detail.nLine, 3);
    QCOMPARE(pWindow->Drawing(), plain);
    return;
  }
  // The call took main.ivr:2 and sales.ivr:2 and 3; the dial of main.ivr:3 it did not.
  QVERIFY(pWindow->Drawing().contains("1 ×1") && pWindow->Drawing().contains("занято ×1"));
  QVERIFY(pWindow->Drawing().contains("2 ×0") && pWindow->Drawing().contains("#c2255c"));
  pShow->click();
  QCOMPARE(pWindow->Drawing(), plain);
  QVERIFY(pWindow->findChild<QLabel*>(QStringLiteral("coverageSummary"))->text().isEmpty());
}

void DialogTest::callWindowCoversTheCalls_data() {
  QTest::addColumn<QString>("calls"); // what calls/ is beforehand: "folder", "kept", "file"
  QTest::addColumn<QString>("said");  // the box's text
  AddTextRow("no folder yet",
             {"", "записано 5 звонков (не меньше 5: столько исходов завершают звонок)"});
  AddTextRow("a record kept",
             {"kept", "записано 4 звонка из 5 (не меньше 5: столько исходов завершают звонок)"});
  AddTextRow("not a folder", {"file", "Не удалось записать звонки в папку calls!"});
}

void DialogTest::callWindowCoversTheCalls() {
  QFETCH(QString, calls);
  QFETCH(QString, said);
  const QString strIvr = CopyWorkedExample();
  const QString strCalls = m_pDir->filePath(QStringLiteral("calls"));
  const QString strKept = strCalls + QStringLiteral("/cover-1-1-answer.txt");
  if (calls == QLatin1String("kept"))
    QVERIFY(QDir().mkdir(strCalls) && QFile(strKept).open(QIODevice::WriteOnly));
  if (calls == QLatin1String("file"))
    QVERIFY(QFile(strCalls).open(QIODevice::WriteOnly));
  Field("ivrEdit")->setText(strIvr);
  QTest::mouseClick(Button("checkCallButton"), Qt::LeftButton);
  auto* pWindow = const_cast<CCallWindow*>(m_pDlg->CallWindow());
  QTest::mouseClick(pWindow->findChild<QPushButton*>(QStringLiteral("coverCalls")), Qt::LeftButton);
  const ShownBox box = m_services.Take();
  QCOMPARE(Q(box.strText), said);
  if (calls == QLatin1String("file"))
    return;
  QCOMPARE(static_cast<int>(box.kind), static_cast<int>(MessageKind::Information));
  if (!calls.isEmpty()) {
    QCOMPARE(ReadFile(strKept), QByteArray()); // never written over
    return;
  }
  // The records cover every row: shown on the call flow, they leave none uncovered.
  pWindow->findChild<QCheckBox*>(QStringLiteral("showCoverage"))->click();
  QCOMPARE(
      pWindow->findChild<QLabel*>(QStringLiteral("coverageSummary"))->text(),
      QStringLiteral("строк проверено звонками: 7 из 7, исходов «нет ответа»: 1 из 1 (100,0 %)"));
}

void DialogTest::callStepsReadRussian_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<QString>("shown");
  const std::pair<const char*, const char*> rows[] = {
      {"menu main.ivr", "Меню main.ivr"},
      {"play welcome.wav", "Приветствие welcome.wav"},
      {"wait 10s", "Ожидание 10 с"},
      {"wait 1x0s", "Ожидание 1x0s"}, // no number of seconds: as the document writes it
      {"press 1", "Нажата 1"},
      {"press \\", "Нажата \\"},
      {"silence", "Тишина"},
      {"fax", "Факс"},
      {"dial 123", "Набор 123"},
      {"answer", "Ответ"},
      {"busy", "Занято"},
      {"noanswer", "Нет ответа"},
      {"hangup", "Отбой"},
      {"menu menu", "Меню menu"}, // a text that is a word stays a text
  };
  for (const auto& [pszLine, pszShown] : rows)
    AddTextRow(pszLine, {pszLine, pszShown});
}

void DialogTest::callStepsReadRussian() {
  QFETCH(QString, line);
  QFETCH(QString, shown);
  QCOMPARE(Q(ShownCallStep(line.toStdString())), shown);
}

void DialogTest::windowsStayWithTheDialog_data() {
  QTest::addColumn<QString>("button");
  QTest::newRow("flow") << QStringLiteral("showFlowButton");
  QTest::newRow("call") << QStringLiteral("checkCallButton");
}

void DialogTest::windowsStayWithTheDialog() {
  QFETCH(QString, button);
  const QString strIvr = CopyWorkedExample();
  const auto Open = [&](const QString& strFile) -> QWidget* {
    Field("ivrEdit")->setText(strFile);
    QTest::mouseClick(Button(qPrintable(button)), Qt::LeftButton);
    if (button == QLatin1String("showFlowButton"))
      return const_cast<CFlowWindow*>(m_pDlg->FlowWindow());
    return const_cast<CCallWindow*>(m_pDlg->CallWindow());
  };
  QWidget* pWindow = Open(strIvr);
  QVERIFY(pWindow && pWindow->isVisible() && pWindow->isWindow());
  QCOMPARE(pWindow->parentWidget(), static_cast<QWidget*>(m_pDlg.get())); // transient for it
  pWindow->setProperty("first", true);
  // The same set, spelled another way, brings the open window forward.
  pWindow = Open(m_pDir->path() + QStringLiteral("/./main.ivr"));
  QVERIFY(pWindow->property("first").toBool());
  QTRY_COMPARE(QApplication::activeWindow(), pWindow);
  // Escape closes it; opening the set then reads it afresh.
  QTest::keyClick(pWindow, Qt::Key_Escape);
  QVERIFY(!pWindow->isVisible());
  QVERIFY(m_pDlg->isVisible());
  pWindow = Open(strIvr);
  QVERIFY(pWindow->isVisible() && !pWindow->property("first").toBool());
  pWindow->setProperty("first", true);
  // Another set takes the window's place.
  pWindow = Open(m_pDir->filePath(QStringLiteral("sales.ivr")));
  QVERIFY(pWindow->isVisible() && !pWindow->property("first").toBool());
  QVERIFY(pWindow->windowTitle().contains(QStringLiteral("— sales.ivr")));
  // The window goes with the dialog.
  m_pDlg->done(QDialog::Rejected);
  QVERIFY(!pWindow->isVisible());
}

void DialogTest::failuresShowTheStepThenTheSummary_data() {
  QTest::addColumn<QString>("ivr"); // relative to the temporary directory; "" for none
  QTest::addColumn<QString>("vxml");
  QTest::addColumn<QStringList>("texts");
  QTest::addColumn<QString>("detailFile"); // the first box's file, relative; "" for none
  QTest::newRow("missing IVR file")
      << "gone.ivr"
      << "out.vxml" << QStringList{Q(text::kCannotOpenIvr), Q(text::kLoadFailed)} << "gone.ivr";
  QTest::newRow("empty IVR name") << ""
                                  << "out.vxml" << QStringList{Q(text::kNameMissing)} << "";
  // A name without a dot, for which no VoiceXML name is proposed when the IVR field is left.
  QTest::newRow("empty VoiceXML name") << "main"
                                       << "" << QStringList{Q(text::kNameMissing)} << "";
  QTest::newRow("VoiceXML directory missing")
      << "main.ivr"
      << "nowhere/out.vxml" << QStringList{Q(text::kCannotWriteHeader), Q(text::kConvertFailed)}
      << "nowhere/out.vxml";
  // The document would replace a file of the set it comes from: nothing is written.
  QTest::newRow("VoiceXML name is a nested scenario")
      << "main.ivr"
      << "./sales.ivr" << QStringList{Q(text::kTargetIsScenario), Q(text::kConvertFailed)}
      << "sales.ivr";
}

void DialogTest::failuresShowTheStepThenTheSummary() {
  QFETCH(QString, ivr);
  QFETCH(QString, vxml);
  QFETCH(QStringList, texts);
  QFETCH(QString, detailFile);
  CopyWorkedExample();
  const auto inDir = [&](const QString& strName) {
    return strName.isEmpty() ? QString() : m_pDir->filePath(strName);
  };
  Field("ivrEdit")->setText(inDir(ivr));
  Field("vxmlEdit")->setText(inDir(vxml));
  QTest::mouseClick(Button("convertButton"), Qt::LeftButton);
  for (int i = 0; i < texts.size(); ++i) {
    const ShownBox box = m_services.Take();
    CheckBox(box, MessageKind::Warning, Bytes(texts[i]));
    if (i == 0)
      QCOMPARE(Q(box.detail.strFile), inDir(detailFile));
  }
  QVERIFY(!QFile::exists(inDir(QStringLiteral("out.vxml"))));
  QVERIFY(m_pDlg->isVisible());
}

void DialogTest::readErrorIsACriticalBoxAndTheDialogStays() {
  test::CMemoryFiles files;
  files.Add("/ivr/main.ivr", "10   a.wav\n1    menu            sales.ivr\n");
  files.Add("/ivr/sales.ivr", "15   b.wav\n2    dial            5\n");
  files.FailAfter("/ivr/sales.ivr", 12);
  ConversionOptions options;
  options.pFiles = &files;
  MakeDialog(options);
  const QString strVxml = m_pDir->filePath(QStringLiteral("out.vxml"));
  Field("ivrEdit")->setText(QStringLiteral("/ivr/main.ivr"));
  Field("vxmlEdit")->setText(strVxml);
  QTest::keyClick(Field("ivrEdit"), Qt::Key_Return);
  CheckBox(m_services.Take(), MessageKind::Error,
           "An unknown error occurred while accessing /ivr/sales.ivr.");
  QVERIFY(!QFile::exists(strVxml));
  QCOMPARE(files.m_nOpen, 0);
  QVERIFY(m_pDlg->isVisible());
  // The dialog goes on working afterwards.
  QTest::keyClick(Field("ivrEdit"), Qt::Key_Return);
  CheckBox(m_services.Take(), MessageKind::Error,
           "An unknown error occurred while accessing /ivr/sales.ivr.");
}

void DialogTest::unexpectedExceptionIsACriticalBoxAndTheDialogStays() {
  CThrowingFiles files;
  ConversionOptions options;
  options.pFiles = &files;
  MakeDialog(options);
  Field("ivrEdit")->setText(QStringLiteral("/ivr/main.ivr"));
  Field("vxmlEdit")->setText(QStringLiteral("/ivr/main.vxml"));
  QTest::mouseClick(Button("convertButton"), Qt::LeftButton);
  CheckBox(m_services.Take(), MessageKind::Error, "out of handles");
  QVERIFY(m_pDlg->isVisible());
}

void DialogTest::successWithWarningsCarriesThemAsDetail() {
  QFile main(m_pDir->filePath(QStringLiteral("main.ivr")));
  QVERIFY(main.open(QIODevice::WriteOnly));
  main.write("10 welcome.wav\n1 menu sales.ivr\n2    Dial            5\n"
             "3    dial           77\nb    menu            sales.ivr\n");
  main.close();
  QFile sales(m_pDir->filePath(QStringLiteral("sales.ivr")));
  QVERIFY(sales.open(QIODevice::WriteOnly));
  sales.write("15   b.wav\n");
  sales.close();
  Field("ivrEdit")->setText(main.fileName());
  Field("vxmlEdit")->setText(m_pDir->filePath(QStringLiteral("main.vxml")));
  QTest::mouseClick(Button("convertButton"), Qt::LeftButton);
  const ShownBox box = m_services.Take();
  CheckBox(box, MessageKind::Information, text::kConverted);
  QCOMPARE(box.report.warnings.size(), std::size_t(4));
  const QString strFirst = Q(box.report.warnings.front());
  QVERIFY2(strFirst.startsWith(main.fileName() + QStringLiteral(":1:4: warning: ")),
           qPrintable(strFirst));
  QCOMPARE(Q(box.report.strDocument), m_pDir->filePath(QStringLiteral("main.vxml")));
  QVERIFY(QFile::exists(m_pDir->filePath(QStringLiteral("main.vxml"))));
}

void DialogTest::successBoxOpensTheFolderOnRequest_data() {
  QTest::addColumn<QString>("vxml"); // "$" for the temporary directory, where a relative name lies
  QTest::addColumn<QString>("opened"); // the file manager: "" not asked, "works" or "fails"
  AddTextRow("OK opens nothing", {"$/main.vxml", ""});
  AddTextRow("the folder shown", {"$/main.vxml", "works"});
  AddTextRow("no file manager: a warning", {"$/main.vxml", "fails"});
  AddTextRow("relative name, named and shown in full", {"out.vxml", "works"});
}

void DialogTest::successBoxOpensTheFolderOnRequest() {
  QFETCH(QString, vxml);
  QFETCH(QString, opened);
  const QString strDir = QFileInfo(m_pDir->path()).canonicalFilePath();
  Field("ivrEdit")->setText(CopyWorkedExample());
  Field("vxmlEdit")->setText(vxml.replace(QLatin1String("$"), strDir));
  if (!opened.isEmpty()) {
    m_services.m_successReplies.push_back(SuccessReply::OpenFolder);
    m_services.m_folderResults.push_back(opened == QLatin1String("works"));
  }
  const QString strWorking = QDir::currentPath();
  QVERIFY(QDir::setCurrent(strDir));
  QTest::mouseClick(Button("convertButton"), Qt::LeftButton);
  QDir::setCurrent(strWorking);
  const ShownBox box = m_services.Take();
  CheckBox(box, MessageKind::Information, text::kConverted);
  QCOMPARE(Q(box.report.strDocument), QDir(strDir).filePath(QFileInfo(vxml).fileName()));
  QVERIFY(QFile::exists(Q(box.report.strDocument)));
  QCOMPARE(m_services.m_openedFolders.size(), std::size_t(opened.isEmpty() ? 0 : 1));
  if (!opened.isEmpty())
    QCOMPARE(Q(m_services.m_openedFolders.front()), strDir);
  if (opened != QLatin1String("fails"))
    return;
  const ShownBox warning = m_services.Take();
  CheckBox(warning, MessageKind::Warning, text::kCannotOpenFolder);
  QCOMPARE(Q(warning.detail.strFile), strDir);
}

void DialogTest::boxesLookAsTheirKindSays_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<int>("icon");
  QTest::addColumn<QStringList>("buttons");
  QTest::addColumn<QString>("note");
  QTest::addColumn<QString>("informative");
  QTest::addColumn<QString>("detailed");
  const QStringList ok{QStringLiteral("OK")};
  QTest::newRow("warning with a place")
      << int(MessageKind::Warning) << int(QMessageBox::Warning) << ok << "<i>No such file</i>"
      << "/s/a.ivr:3: <i>No such file</i>"
      << "";
  QTest::newRow("information with warnings")
      << int(MessageKind::Information) << int(QMessageBox::Information) << ok << "first\nsecond"
      << ""
      << "/s/a.ivr:3: first\nsecond";
  QTest::newRow("question") << int(MessageKind::Question) << int(QMessageBox::Question)
                            << QStringList{QStringLiteral("Да"), QStringLiteral("Нет")} << ""
                            << ""
                            << "";
  QTest::newRow("read error") << int(MessageKind::Error) << int(QMessageBox::Critical) << ok << ""
                              << ""
                              << "";
}

void DialogTest::boxesLookAsTheirKindSays() {
  QFETCH(int, kind);
  QFETCH(int, icon);
  QFETCH(QStringList, buttons);
  QFETCH(QString, note);
  QFETCH(QString, informative);
  QFETCH(QString, detailed);
  Finding detail;
  if (!note.isEmpty())
    detail = Finding{.strFile = "/s/a.ivr", .nLine = 3, .strNote = Bytes(note)};
  QMessageBox box;
  const std::string strText = "Текст «как есть»! %1 <b>";
  PrepareBox(box, MessageKind(kind), strText, detail);
  QCOMPARE(box.text(), Q(strText));
  QCOMPARE(box.windowTitle(), ApplicationTitle());
  QCOMPARE(int(box.icon()), icon);
  QStringList shown;
  for (QAbstractButton* pButton : box.buttons()) {
    if (box.buttonRole(pButton) != QMessageBox::ActionRole) // not "Show Details..."
      shown << pButton->text();
  }
  shown.sort();
  buttons.sort();
  QCOMPARE(shown, buttons);
  QCOMPARE(box.informativeText(), informative);
  QCOMPARE(box.detailedText(), detailed);
  // What looks like markup is shown as it stands.
  int nTextLabels = 0;
  for (QLabel* pLabel : box.findChildren<QLabel*>()) {
    if (pLabel->text() != box.text() && (informative.isEmpty() || pLabel->text() != informative))
      continue;
    QCOMPARE(pLabel->textFormat(), Qt::PlainText);
    ++nTextLabels;
  }
  QCOMPARE(nTextLabels, informative.isEmpty() ? 1 : 2);
}

void DialogTest::standardTextsAreRussian() {
  const QString strDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(strDir + QStringLiteral("/qtbase_ru.qm")))
    QSKIP("Qt's Russian translation is not installed (qt6-translations-l10n)");
  QVERIFY(InstallRussianTranslation());
  QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
  QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"),
           QStringLiteral("&Имя файла:"));
}

void DialogTest::realChoosers_data() {
  // Paths relative to the temporary directory, which holds main.ivr, main.vxml and sub/.
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("folder");  // where the chooser opens; "" for the directory itself
  QTest::addColumn<QString>("offered"); // the name in the chooser's name field as it opens
  QTest::addColumn<QString>("typed");   // "" to cancel
  QTest::addColumn<QString>("result");
  QTest::addColumn<bool>("save");
  AddTextRow("open an existing file", {"main.ivr", "", "main.ivr", "main.ivr", "main.ivr"})
      << false;
  AddTextRow("open from a missing folder, cancelled", {"gone/deeper/x.ivr", "", "", "", ""})
      << false;
  AddTextRow("save over an existing file asks nothing",
             {"main.vxml", "", "main.vxml", "main.vxml", "main.vxml"})
      << true;
  AddTextRow("save from a folder, the suffix added", {"sub", "sub", "", "new", "new.vxml"}) << true;
  AddTextRow("save, the proposed name offered, cancelled",
             {"gone/proposed.vxml", "", "proposed.vxml", "", ""})
      << true;
}

void DialogTest::realChoosers() {
  QFETCH(bool, save);
  QFETCH(QString, start);
  QFETCH(QString, folder);
  QFETCH(QString, offered);
  QFETCH(QString, typed);
  QFETCH(QString, result);
  for (const char* pszName : {"main.ivr", "main.vxml"}) {
    QFile file(m_pDir->filePath(QLatin1String(pszName)));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  QVERIFY(QDir(m_pDir->path()).mkdir(QStringLiteral("sub")));
  QString strOpenedIn;
  QString strOffered = QStringLiteral("(no name field)");
  QStringList filters;
  QFileDialog::Options options;
  QFileDialog::FileMode mode = QFileDialog::Directory;
  const CModalWatch watch([&](QWidget* pModal) {
    auto* pChooser = qobject_cast<QFileDialog*>(pModal);
    if (!pChooser) {
      pModal->close();
      return true;
    }
    filters = pChooser->nameFilters();
    options = pChooser->options();
    mode = pChooser->fileMode();
    strOpenedIn = pChooser->directory().absolutePath();
    auto* pName = pChooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (pName)
      strOffered = pName->text();
    if (typed.isEmpty()) {
      pChooser->reject();
      return true;
    }
    // Types the name, as the operator would, into the chooser's name field.
    if (!pName) {
      pChooser->reject();
      return true;
    }
    pChooser->setDirectory(m_pDir->path());
    pName->setText(typed);
    // QFileDialog::accept, as the Save button does; later, so that a question it may ask is
    // watched as well (a timer is never run again from inside its own handler).
    QTimer::singleShot(0, pChooser, [pChooser] { static_cast<QDialog*>(pChooser)->accept(); });
    return true;
  });
  CQtDialogServices services(m_pDlg.get());
  const std::string strStart = Bytes(m_pDir->filePath(start));
  const std::string strPath =
      save ? services.SaveFileName(text::kVxmlFilter, text::kVxmlSuffix, strStart)
           : services.OpenFileName(text::kIvrFilter, strStart);
  QCOMPARE(Q(strPath), result.isEmpty() ? QString() : m_pDir->filePath(result));
  QCOMPARE(watch.Others(), 0);
  QCOMPARE(strOpenedIn, folder.isEmpty() ? m_pDir->path() : m_pDir->filePath(folder));
  QCOMPARE(strOffered, offered);
  QCOMPARE(filters, QStringList{Q(save ? text::kVxmlFilter : text::kIvrFilter)});
  QCOMPARE(mode, save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QCOMPARE(bool(options & QFileDialog::DontConfirmOverwrite), save);
}

void DialogTest::realBoxesReturnTheButtonPressed_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<int>("button"); // 0: Escape
  QTest::addColumn<int>("reply");
  QTest::newRow("question, Yes") << int(MessageKind::Question) << int(QMessageBox::Yes)
                                 << int(MessageReply::Yes);
  QTest::newRow("question, No") << int(MessageKind::Question) << int(QMessageBox::No)
                                << int(MessageReply::No);
  QTest::newRow("question, Escape") << int(MessageKind::Question) << 0 << int(MessageReply::No);
  QTest::newRow("warning, OK") << int(MessageKind::Warning) << int(QMessageBox::Ok)
                               << int(MessageReply::Ok);
  QTest::newRow("information, Escape")
      << int(MessageKind::Information) << 0 << int(MessageReply::Ok);
}

void DialogTest::realBoxesReturnTheButtonPressed() {
  QFETCH(int, kind);
  QFETCH(int, button);
  QFETCH(int, reply);
  QString strTitle;
  QString strText;
  bool bModal = false;
  const CModalWatch watch([&](QWidget* pModal) {
    auto* pBox = qobject_cast<QMessageBox*>(pModal);
    if (!pBox) {
      pModal->close();
      return true;
    }
    strTitle = pBox->windowTitle();
    strText = pBox->text();
    bModal = pBox->isModal() && pBox->parentWidget() == m_pDlg.get();
    if (button == 0)
      QTest::keyClick(pBox, Qt::Key_Escape);
    else
      pBox->button(QMessageBox::StandardButton(button))->click();
    return true;
  });
  CQtDialogServices services(m_pDlg.get());
  const MessageReply shown = services.ShowBox(MessageKind(kind), text::kExitQuestion, {});
  QCOMPARE(int(shown), reply);
  QCOMPARE(watch.Others(), 0);
  QCOMPARE(strText, Q(text::kExitQuestion));
  QCOMPARE(strTitle, ApplicationTitle());
  QVERIFY(bModal);
}

void DialogTest::realSuccessBoxReturnsTheButtonPressed_data() {
  QTest::addColumn<int>("warnings");
  QTest::addColumn<int>("key"); // 0: the open-folder button is clicked
  QTest::addColumn<int>("reply");
  QTest::newRow("no warnings, Enter is OK") << 0 << int(Qt::Key_Return) << int(SuccessReply::Ok);
  QTest::newRow("four, Escape is OK") << 4 << int(Qt::Key_Escape) << int(SuccessReply::Ok);
  QTest::newRow("eighty, open the folder") << 80 << 0 << int(SuccessReply::OpenFolder);
}

void DialogTest::realSuccessBoxReturnsTheButtonPressed() {
  QFETCH(int, warnings);
  QFETCH(int, key);
  QFETCH(int, reply);
  ConversionReport report{Bytes(QStringLiteral("/out/главный.vxml")), {}};
  for (int i = 1; i <= warnings; ++i)
    report.warnings.push_back("/s/main.ivr:" + std::to_string(i) +
                              ":4: warning: приветствие «<b>w.wav</b>» начинается меньше чем "
                              "через три пробела после времени ожидания: будет прочитано «.wav»");
  QStringList shown; // informative text, detailed text
  bool bDefaultOk = false;
  bool bPaneFits = warnings == 0; // open and, up to half the screen, showing every line
  const CModalWatch watch([&](QWidget* pModal) {
    auto* pBox = qobject_cast<QMessageBox*>(pModal);
    if (!pBox)
      return false;
    shown = QStringList{pBox->informativeText(), pBox->detailedText()};
    bDefaultOk = pBox->defaultButton() == pBox->button(QMessageBox::Ok);
    if (auto* pPane = pBox->findChild<QTextEdit*>(); pPane && pPane->isVisible())
      bPaneFits = pPane->verticalScrollBar()->maximum() == 0 ||
                  pPane->height() == pBox->screen()->availableGeometry().height() / 2;
    if (key != 0)
      QTest::keyClick(pBox, Qt::Key(key));
    for (QAbstractButton* pButton : pBox->buttons()) {
      if (key == 0 && pButton->text() == Q(text::kOpenFolder))
        pButton->click();
    }
    return true;
  });
  CQtDialogServices services(m_pDlg.get());
  QCOMPARE(int(services.ShowSuccess(text::kConverted, report)), reply);
  QCOMPARE(watch.Others(), 0);
  QStringList expected{QStringLiteral("Файл сценария VoiceXML: /out/главный.vxml"), QString()};
  if (warnings > 0)
    expected[0] += QStringLiteral("\nПредупреждений: ") + QString::number(warnings);
  for (const std::string& strWarning : report.warnings)
    expected[1] += (expected[1].isEmpty() ? QString() : QStringLiteral("\n")) + Q(strWarning);
  QCOMPARE(shown, expected);
  QVERIFY(bDefaultOk);
  QVERIFY(bPaneFits);
}

} // namespace dovetrel

QTEST_MAIN(dovetrel::DialogTest)
#include "DialogTest.moc"

#pragma once

#include "convert/Conversion.h"
#include "gui/DialogServices.h"

#include <QDialog>

#include <memory>
#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace dovetrel {

class CCallWindow;
class CFlowWindow;

/// The main window: a field and a chooser for the IVR scenario and for the VoiceXML document, the
/// Convert command and the Exit command. A file dropped on the window becomes the IVR scenario. It
/// keeps no settings; between conversions the two fields, the base directory, the one table
/// and the last VoiceXML name it proposed are all it remembers.
class CDovetrelDlg : public QDialog {
  Q_OBJECT

public:
  /// A dialog whose choosers and boxes come from \p services and whose conversions run with
  /// \p options (the real file system by default). Both fields start empty, the IVR field focused.
  explicit CDovetrelDlg(IDialogServices& services, const ConversionOptions& options = {},
                        QWidget* pParent = nullptr);
  ~CDovetrelDlg() override;

  /// Shows \p strIvrFile in the IVR field, then proposes the VoiceXML name as ProposeVxml does: a
  /// chosen, dropped or start-up file.
  void OpenIvrFile(const std::string& strIvrFile);

  /// The IVR chooser, opening where the IVR field points: a chosen path goes as OpenIvrFile says;
  /// a cancel changes nothing.
  void OnBrowseIvr();
  /// The VoiceXML chooser, opening where the VoiceXML field points or offering the name proposed
  /// for the IVR field: a chosen path becomes the VoiceXML name and field; a cancel changes
  /// nothing.
  void OnBrowseVxml();
  /// Editing of the IVR field finished (Enter, or the focus left it): the VoiceXML name is proposed
  /// for the path typed or pasted there, as ProposeVxml does.
  void OnIvrEdited();
  /// The dialect chosen beside the VoiceXML field: the conversions write it from now on, and the
  /// dialog's own proposal of the VoiceXML name follows it.
  void OnDialectChanged();
  /// Takes both fields and converts; every outcome is reported in boxes and the dialog stays open.
  void OnConvert();
  /// Shows the call flow of the set in the IVR field in a window of its own, beside the dialog and
  /// kept with it; a set that does not load shows the conversion's own boxes and no window. The
  /// window open for the same set is brought forward instead.
  void OnShowFlow();
  /// The window of the last call flow shown; null before the first.
  const CFlowWindow* FlowWindow() const { return m_pFlowWindow.get(); }
  /// Places a call on the document the set in the IVR field converts to, in the chosen dialect, in
  /// a window of its own, beside the dialog and kept with it; a set that does not convert shows
  /// the conversion's own boxes. The window open for the same set and dialect is brought forward
  /// instead, its call as it stands.
  void OnCheckCall();
  /// The window of the last call placed; null before the first.
  const CCallWindow* CallWindow() const { return m_pCallWindow.get(); }
  /// Asks whether to leave; Yes ends the dialog, No changes nothing.
  void OnExit();

  /// Escape: the exit question instead of closing at once.
  void reject() override;
  /// Ends the dialog, and closes the call flow's and the call's windows with it.
  void done(int nResult) override;

  /// The IVR name in its field, as the file system spells it: what the commands take.
  std::string IvrFile() const;
  /// The VoiceXML name in its field, as the file system spells it.
  std::string VxmlFile() const;
  /// The directory the last conversion read nested scenarios from.
  const std::string& BaseDir() const { return m_strBaseDir; }
  /// The one table every conversion of this dialog reuses.
  const CScenarioTable& Table() const { return *m_pTable; }

protected:
  /// The window's close button and Alt+F4: the exit question as well.
  void closeEvent(QCloseEvent* pEvent) override;
  /// A drag that carries a local file is welcome anywhere on the window.
  void dragEnterEvent(QDragEnterEvent* pEvent) override;
  /// A dropped local file (the first, when there are several) goes as OpenIvrFile says.
  void dropEvent(QDropEvent* pEvent) override;

private:
  void CreateControls();
  /// Adds the labels and lays every control out where it has always stood, in dialog units of the
  /// dialog's font.
  void PlaceControls();
  /// Proposes the VoiceXML name for \p strIvrFile (ProposeVxmlName) in its field when the path
  /// holds a '.' and the field is empty or still shows the name proposed before: a name the
  /// operator typed or chose stays.
  void ProposeVxml(const std::string& strIvrFile);
  /// Where the VoiceXML chooser starts: the VoiceXML field, else the name proposed for the IVR
  /// field.
  std::string VxmlStartPath() const;
  /// True when \p pWindow is shown for the set \p strShownFile and the IVR field names that set
  /// too: the window is then brought forward.
  bool BringForward(QWidget* pWindow, const std::string& strShownFile);
  /// Shows a new window of the dialog's beside it, where the screen has room, and activates it.
  void ShowBeside(QWidget& window);

  IDialogServices& m_services;
  ConversionOptions m_options;
  std::string m_strBaseDir;
  std::string m_strProposedVxml; ///< the VoiceXML name last proposed; empty before the first
  std::unique_ptr<CScenarioTable> m_pTable;
  std::unique_ptr<CFlowWindow> m_pFlowWindow;
  std::unique_ptr<CCallWindow> m_pCallWindow;
  Dialect m_callDialect = Dialect::Classic; ///< the dialect the call window's call runs in
  bool m_bEnding = false;                   ///< the operator has answered Yes; closing asks no more

  QLineEdit* m_pIvrEdit = nullptr;
  QPushButton* m_pBrowseIvr = nullptr;
  QLineEdit* m_pVxmlEdit = nullptr;
  QComboBox* m_pDialect = nullptr;
  QPushButton* m_pBrowseVxml = nullptr;
  QPushButton* m_pShowFlow = nullptr;
  QPushButton* m_pCheckCall = nullptr;
  QPushButton* m_pConvert = nullptr;
  QPushButton* m_pExit = nullptr;
};

} // namespace dovetrel

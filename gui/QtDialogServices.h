#pragma once

#include "gui/DialogServices.h"

#include <QString>

class QIcon;
class QMediaPlayer;
class QMessageBox;
class QWidget;

namespace dovetrel {

/// The application title: the executable's file name without directory and extension. It is the
/// caption of every message box.
QString ApplicationTitle();

/// Installs Qt's own Russian translation, so that standard buttons and the file choosers read
/// Russian whatever the locale. Returns false when the translation is not installed.
bool InstallRussianTranslation();

/// The flags of a window the dialog opens beside itself: a dialog window to the window system, so
/// that it is transient for the dialog (kept above it and with it), and yet with the minimise,
/// maximise and close buttons of an ordinary window.
Qt::WindowFlags OwnedWindowFlags();

/// The 32 x 32 application icon.
QIcon ApplicationIcon();

/// Makes \p box what a box of \p kind looks like: icon, buttons (with Russian texts) and the
/// application title as caption. \p detail, when there is one, goes beneath the main text: a single
/// line as informative text, several lines as the detailed text.
void PrepareBox(QMessageBox& box, MessageKind kind, std::string_view text, const Finding& detail);

/// The file choosers and message boxes of Qt Widgets, all modal, and the desktop's file manager.
/// Each chooser and box belongs to the window the operator works in when it is the owner or one of
/// the owner's windows (a chooser asked for by the call flow's window stands over that window),
/// else to the owner.
class CQtDialogServices final : public IDialogServices {
public:
  /// \p pOwner is the window the choosers and boxes are modal to; it may be set later.
  explicit CQtDialogServices(QWidget* pOwner = nullptr) : m_pOwner(pOwner) {}
  void SetOwner(QWidget* pOwner) { m_pOwner = pOwner; }

  std::string OpenFileName(std::string_view filter, const std::string& strStartPath) override;
  std::string SaveFileName(std::string_view filter, std::string_view defaultSuffix,
                           const std::string& strStartPath) override;
  MessageReply ShowBox(MessageKind kind, std::string_view text, const Finding& detail) override;
  SuccessReply ShowSuccess(std::string_view text, const ConversionReport& report) override;
  /// Through QDesktopServices, so the desktop's own file manager shows it.
  bool OpenFolder(const std::string& strFolder) override;
  void PlayAudio(const std::string& strPath) override;

private:
  /// The window the next chooser or box belongs to.
  QWidget* Owner() const;

  QWidget* m_pOwner;
  QMediaPlayer* m_pPlayer = nullptr; ///< made on the first greeting played
};

} // namespace dovetrel

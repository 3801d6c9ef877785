#pragma once

#include "convert/FlowCommand.h"
#include "gui/DialogServices.h"

#include <QWidget>

#include <string>

class QGraphicsView;
class QGraphicsScene;
class QGraphicsSvgItem;
class QSvgRenderer;

namespace dovetrel {

/// The call flow of a scenario set, drawn, in a window of its own: zoom with the wheel (around the
/// pointer) and Ctrl+plus/minus, fit to the window (never below a readable scale: a large set
/// gets scroll bars), save as SVG, PNG or PDF (Ctrl+S); Escape closes it. Hovering a box or an
/// arrow shows its file and line. The caption names the set's main file and the scale shown. It
/// keeps the flow it shows, so that saving draws exactly what is on the screen, in the format the
/// file name asks for.
class CFlowWindow : public QWidget {
  Q_OBJECT

public:
  /// A window showing \p strSvg, the drawing of \p loaded for the set \p strIvrFile; files are
  /// chosen and failures shown through \p services.
  CFlowWindow(IDialogServices& services, LoadedFlow loaded, const std::string& strIvrFile,
              const std::string& strSvg, QWidget* pParent = nullptr);
  ~CFlowWindow() override;

  /// Multiplies the scale by \p dFactor, around the middle of the view.
  void Zoom(double dFactor);
  /// Multiplies the scale by \p dFactor, the point of the drawing at \p at of the view staying
  /// there.
  void ZoomAt(double dFactor, const QPoint& at);
  /// Scales the drawing to fit the window whole, or to the smallest readable scale, its top in
  /// view, when it would have to be smaller.
  void FitToWindow();
  /// Asks for a file and writes the flow there in the format its suffix names; nothing after a
  /// cancel. Failures are shown as boxes; the window stays.
  void OnSaveAs();
  /// The current scale: 1 is the drawing's own size.
  double Scale() const;
  /// The main file of the set shown, as the dialog named it.
  const std::string& IvrFile() const { return m_strIvrFile; }

protected:
  bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
  void CreateControls();
  /// Puts the current scale, in per cent, into the caption.
  void ShowScale();
  /// Lays an area over every box, arrow and arrow label of the drawing \p svg that shows the
  /// link's title (file and line) as its tooltip.
  void AddTooltips(const QByteArray& svg);

  IDialogServices& m_services;
  LoadedFlow m_loaded;
  std::string m_strIvrFile;
  QSvgRenderer* m_pRenderer = nullptr;
  QGraphicsScene* m_pScene = nullptr;
  QGraphicsSvgItem* m_pItem = nullptr;
  QGraphicsView* m_pView = nullptr;
};

} // namespace dovetrel

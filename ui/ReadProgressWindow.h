// A small window for a read that has no window of its own while it runs (a
// report of the "Rapoarte" menu): its caption, the lines received so far
// and a moving gauge. It is shown once the port is open and goes at the
// end; it is not modal, so it holds nothing up: the link's wait runs the
// events that repaint it, and the register menus are unavailable meanwhile
// anyway.
#pragma once

#include <QDialog>

#include "ActionResult.h"
#include "EditorDialog.h"

class QLabel;

class TReadProgressWindow : public QDialog, public TProgress {
 public:
  explicit TReadProgressWindow(const QString &caption, QWidget *parent = nullptr);

  void Begin(int total) override;
  void Step(int done) override;
  void Lines(int received) override;
  void End() override;

  QLabel *Count;  // "Linii primite: 120"
  TGauge *g;

 protected:
  void closeEvent(QCloseEvent *e) override;  // it goes when the read ends
  void keyPressEvent(QKeyEvent *e) override;

 private:
  TGaugeProgress FGauge;
};

// What every editor, report and tool window has in common: a fixed-size
// dialog centred on the screen, a bottom panel of buttons with the progress
// gauge `g`, the wait cursor during an action, the messages of a failed
// action, and the guard that keeps a second action (or closing the window)
// from starting while one waits for the register. The window stays live and
// repaints meanwhile; a click on an action button, "I&esire" or the close
// box simply does nothing until the action ends.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QDialog>
#include <QProgressBar>

#include "ActionResult.h"

class QFrame;
class QPushButton;
class TRegisterSlot;

// The progress gauge `g`: while a read waits it says how many lines have
// come ("120 linii primite"), also when, without a total to expect, it can
// only show that something moves.
class TGauge : public QProgressBar {
 public:
  explicit TGauge(QWidget *parent);
  // Range 1..total, or Qt's moving bar for 0 (its text then white on the
  // navy it fills itself with).
  void SetTotal(int total);
  // -1: no count; the bar alone.
  void SetReceived(int lines);
  int Received() const { return FReceived; }
  QString text() const override;

 private:
  int FReceived = -1;
};

// The gauge as an action's progress: range 1..total, or a moving bar when
// the total is not known; shown while the action runs. Lines past an
// estimated total stretch the range.
class TGaugeProgress : public TProgress {
 public:
  explicit TGaugeProgress(TGauge *gauge) : FGauge(gauge) {}
  void Begin(int total) override;
  void Step(int done) override;
  void Lines(int received) override;
  void End() override;

 private:
  TGauge *FGauge;
};

// The wait cursor over work with the register, shown from construction to
// Restore() or the end of the scope. Work that follows a question or a file
// chooser takes it after them, never over them.
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor() { Restore(); }
  void Restore();
  TWaitCursor(const TWaitCursor &) = delete;
  TWaitCursor &operator=(const TWaitCursor &) = delete;

 private:
  bool FShown = true;
};

class TEditorDialog : public QDialog {
 public:
  TEditorDialog(const QString &objectName, const QString &caption, QWidget *parent = nullptr);
  ~TEditorDialog() override;

  // The bottom panel and its gauge (navy, hidden except during an action).
  QFrame *Panel1;
  TGauge *g;
  TProgress &Gauge() { return FGauge; }

  // A button on a panel whose click runs `click` through RunAction.
  QPushButton *AddButton(QWidget *panel, const char *objectName, const QString &caption,
                         std::function<void()> click, bool waitCursor = true);
  // The same for a button whose action talks to the register: it runs only
  // with the register slot held (when the window has one) and is
  // unavailable while another window or the online mode holds it.
  QPushButton *AddRegisterButton(QWidget *panel, const char *objectName, const QString &caption,
                                 std::function<void()> click, bool waitCursor = true);
  // The program's register slot; null leaves the register buttons to the
  // window's own guard alone.
  void SetRegisterSlot(TRegisterSlot *slot);
  // A register button the window itself allows or not (a run that needs a
  // first read); it is available when allowed and the slot lets it.
  void AllowRegisterButton(QPushButton *button, bool allowed);
  // Runs an action unless one is running (then nothing happens and false is
  // returned): wait cursor (when asked), exceptions reported as the program
  // reports them, the guard released on every path.
  bool RunAction(const std::function<void()> &action, bool waitCursor = true);
  bool Busy() const { return FBusy; }

  // The messages of a failed action: its notice, then its fixed message with
  // the reason line under it (title "Eroare"). Nothing for a success.
  static void ShowFailure(const TActionResult &result);

  // Fixes the client size and centres the window on the screen.
  void FixSizeAndCentre(int width, int height);

  void done(int result) override;  // refused while an action runs

 protected:
  void closeEvent(QCloseEvent *e) override;
  void keyPressEvent(QKeyEvent *e) override;

 private:
  void ShowSlotState();

  TGaugeProgress FGauge;
  bool FBusy = false;
  TRegisterSlot *FSlot = nullptr;
  int FWatch = 0;
  bool FHoldsSlot = false;
  std::vector<std::pair<QPushButton *, bool>> FRegisterButtons;  // the button, allowed
};

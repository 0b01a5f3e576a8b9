// The main window: the current project, the menus every other window is
// opened from, the online mode, and the program's register slot: while any
// action talks to the register (an editor's, a report, an online command
// file) the menus that would start another or change what it uses are
// unavailable, and the window does not close.
#pragma once

#include <memory>
#include <string>

#include <QMainWindow>
#include <QString>

#include "OnlineSettings.h"
#include "RegisterLink.h"
#include "RegisterSlot.h"

class QAction;
class QTimer;
class TCommandProcessor;
class TOnlineMode;
class QFrame;
class QLabel;
class QMenu;

class TEmainZeprog : public QMainWindow {
  Q_OBJECT
 public:
  explicit TEmainZeprog(QWidget *parent = nullptr);
  ~TEmainZeprog() override;

  // The current project; both empty while none is open. ProjectDir is the
  // program directory followed by the name, without a trailing '/'.
  const QString &ProjectName() const { return FProjectName; }
  const QString &ProjectDir() const { return FProjectDir; }
  // ProjectDir as the bytes the table layer takes.
  std::string ProjectDirPath() const;
  void SetCurrentProject(const QString &name);

  TRegisterSlot &RegisterSlot() { return FRegisterSlot; }
  // What a window opened from here works with: the current project's
  // directory and the program's register slot.
  TProjectContext ProjectContext();

  // Online mode shows exactly one of the two "Mod de lucru online" menus
  // and runs the command-file timer while it is on.
  bool OnlineActive() const;
  void SetOnlineActive(bool on);
  // PortOnline, BaudRateOnline, DirectorLucru: what the processor uses for
  // the next command file.
  const TOnlineSettings &OnlineSettings() const;
  TCommandProcessor &Processor();

  QFrame *Panel1;
  QLabel *Image1;
  QLabel *Label1;
  QMenu *File1, *Editare1, *Rapoarte1, *Moddelucruonline1, *Moddelucruonline2;
  QAction *New1, *Open1, *Exit1, *Setari1;
  QAction *Departamente1, *PLU1, *VA1, *Casieri1, *Formedeplata1, *Cursvalutar1,
      *Parametrisistem1, *Optiunisistem1;
  QAction *VanzariPLU1, *FormedeplataCasiseri1, *Sertarpecasieri1;
  QAction *Setari2, *Activare1, *Setari3, *Dezactivare1;
  // First item of the online menu: the work directory and whether this
  // window works it (another processor may hold it).
  QAction *StareOnline;
  // The online polling timer, 1000 ms, enabled while online mode is on.
  QTimer *TprocessorTimer;

 public slots:
  void New1Click();
  void Open1Click();
  void Exit1Click();
  void Setari1Click();
  void Departamente1Click();
  void PLU1Click();
  void VA1Click();
  void Casieri1Click();
  void Formedeplata1Click();
  void Cursvalutar1Click();
  void Parametrisistem1Click();
  void Optiunisistem1Click();
  void VanzariPLU1Click();
  void FormedeplataCasiseri1Click();
  void Sertarpecasieri1Click();
  void Setari2Click();
  void Activare1Click();

 signals:
  // The window has been closed: the program ends.
  void Closed();

 protected:
  void showEvent(QShowEvent *e) override;
  void closeEvent(QCloseEvent *e) override;

 private:
  // False, with the message shown, while no project is open.
  bool ProjectGuard();
  void FormShow();
  void FormDestroy();
  void BuildMenus();
  QAction *AddItem(QMenu *menu, const char *objectName, const QString &caption,
                   void (TEmainZeprog::*handler)());

  // Where the editors and the reports come in, each after the guard.
  void ShowDeptEditor();
  void ShowPluEditor();
  void ShowTvaEditor();
  void ShowCasieriEditor();
  void ShowFormePlataEditor();
  void ShowCursEditor();
  void ShowSPEditor();
  void ShowSOEditor();
  void ShowPluSalesReport();
  void ShowPaymentFormsReport();
  void ShowDrawerReport();
  // Online mode: settings dialog, loading and saving its settings.
  void ShowOnlineSettings();
  // The online menus follow the online mode's state.
  void ShowOnlineState();
  // The menus follow the register slot.
  void ShowSlotState();

  TRegisterSlot FRegisterSlot;
  TOnlineMode *FOnlineMode;
  QString FProjectName;
  QString FProjectDir;
  bool FShown = false;
  bool FDestroyed = false;
};

extern TEmainZeprog *EmainZeprog;

// Creates a window for one showing: stores it in its global variable, shows
// it modally, destroys it and clears the variable when it closes, also when
// an exception escapes. Each opening therefore starts from a fresh window.
template <class TWindow, class... TArgs>
int ShowModalWindow(TWindow *&instance, TArgs &&...args) {
  struct TClear {
    TWindow *&Ref;
    ~TClear() { Ref = nullptr; }
  } clear{instance};
  std::unique_ptr<TWindow> window(new TWindow(std::forward<TArgs>(args)...));
  instance = window.get();
  return window->exec();
}

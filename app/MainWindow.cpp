#include "MainWindow.h"

#include <cstdio>

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

#include "Application.h"
#include "BlockEditorWindow.h"
#include "CodePage.h"
#include "MenuBarStyle.h"
#include "NewProjectDialog.h"
#include "OnlineMode.h"
#include "OnlineSettingsDialog.h"
#include "Pictures.h"
#include "PluWindow.h"
#include "ProgramDir.h"
#include "ProjectTables.h"
#include "Projects.h"
#include "RegisterLink.h"
#include "ReportRunner.h"
#include "SettingsDialog.h"
#include "TableEditorWindow.h"
#include "TableFile.h"
#include "TarvoCore.h"
#include "UserDialogs.h"

TEmainZeprog *EmainZeprog = nullptr;

namespace {

const char *const NoProjectCaption = "Programare MX7350 ver. 3.1";

}  // namespace

TEmainZeprog::TEmainZeprog(QWidget *parent) : QMainWindow(parent) {
  EmainZeprog = this;
  setObjectName(QStringLiteral("EmainZeprog"));
  setWindowTitle(QString::fromLatin1(NoProjectCaption));
  // A tool window: small caption, no minimise or maximise box.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(1);
  Panel1->setFixedSize(581, 190);
  Panel1->setAutoFillBackground(true);
  QPalette pal = Panel1->palette();
  pal.setColor(QPalette::Window, QColor(18, 153, 170));
  Panel1->setPalette(pal);
  setCentralWidget(Panel1);

  Image1 = new QLabel(Panel1);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(BannerPicture());
  Image1->setGeometry(1, 1, 579, 89);

  Label1 = new QLabel(QStringLiteral("Programare Lumera MX 7350"), Panel1);
  Label1->setObjectName(QStringLiteral("Label1"));
  QFont f;
  // Where Comic Sans is missing a plain bold italic face reads better than
  // whatever script face the system would pick for "cursive".
  f.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                 QStringLiteral("DejaVu Sans")});
  f.setPixelSize(27);
  f.setBold(true);
  f.setItalic(true);
  Label1->setFont(f);
  Label1->adjustSize();
  // Aligned to the bottom of the panel, centred across it.
  Label1->move((581 - Label1->width()) / 2, 190 - 1 - Label1->height());

  FOnlineMode = new TOnlineMode(FRegisterSlot, this);
  TprocessorTimer = FOnlineMode->Timer();

  BuildMenus();
  FOnlineMode->OnChanged = [this] { ShowOnlineState(); };
  ShowOnlineState();
  FRegisterSlot.Watch([this] { ShowSlotState(); });

  // Client area fixed at 581 x 190 under the menu.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  if (QScreen *s = QGuiApplication::primaryScreen())
    move(s->geometry().center() - QRect(QPoint(), size()).center());
}

TEmainZeprog::~TEmainZeprog() {
  FormDestroy();
  if (EmainZeprog == this) EmainZeprog = nullptr;
}

QAction *TEmainZeprog::AddItem(QMenu *menu, const char *objectName, const QString &caption,
                               void (TEmainZeprog::*handler)()) {
  QAction *a = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
  a->setObjectName(QString::fromLatin1(objectName));
  connect(a, &QAction::triggered, this, [this, handler] { RunGuarded([&] { (this->*handler)(); }); });
  return a;
}

void TEmainZeprog::BuildMenus() {
  QMenuBar *bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  auto *barStyle = new TMenuBarStyle(bar->style());
  barStyle->setParent(bar);
  bar->setStyle(barStyle);

  File1 = bar->addMenu(QStringLiteral("Proiect"));
  File1->setObjectName(QStringLiteral("File1"));
  New1 = AddItem(File1, "New1", QStringLiteral("Proiect nou"), &TEmainZeprog::New1Click);
  Open1 = AddItem(File1, "Open1", QStringLiteral("Deschide proiect"), &TEmainZeprog::Open1Click);
  Exit1 = AddItem(File1, "Exit1", QStringLiteral("Exit"), &TEmainZeprog::Exit1Click);

  // A top-level item that acts when clicked.
  Setari1 = AddItem(nullptr, "Setari1", QStringLiteral("Setari"), &TEmainZeprog::Setari1Click);

  Editare1 = bar->addMenu(QStringLiteral("Editare"));
  Editare1->setObjectName(QStringLiteral("Editare1"));
  Departamente1 = AddItem(Editare1, "Departamente1", QStringLiteral("Departamente"),
                          &TEmainZeprog::Departamente1Click);
  PLU1 = AddItem(Editare1, "PLU1", QStringLiteral("PLU"), &TEmainZeprog::PLU1Click);
  VA1 = AddItem(Editare1, "VA1", QStringLiteral("TVA"), &TEmainZeprog::VA1Click);
  Casieri1 = AddItem(Editare1, "Casieri1", QStringLiteral("Casieri"), &TEmainZeprog::Casieri1Click);
  Formedeplata1 = AddItem(Editare1, "Formedeplata1", QStringLiteral("Forme de plata"),
                          &TEmainZeprog::Formedeplata1Click);
  Cursvalutar1 = AddItem(Editare1, "Cursvalutar1", QStringLiteral("Curs valutar"),
                         &TEmainZeprog::Cursvalutar1Click);
  Parametrisistem1 = AddItem(Editare1, "Parametrisistem1", QStringLiteral("Parametri sistem"),
                             &TEmainZeprog::Parametrisistem1Click);
  Optiunisistem1 = AddItem(Editare1, "Optiunisistem1", QStringLiteral("Optiuni sistem"),
                           &TEmainZeprog::Optiunisistem1Click);

  Rapoarte1 = bar->addMenu(QStringLiteral("Rapoarte"));
  Rapoarte1->setObjectName(QStringLiteral("Rapoarte1"));
  VanzariPLU1 = AddItem(Rapoarte1, "VanzariPLU1", QStringLiteral("Vanzari PLU"),
                        &TEmainZeprog::VanzariPLU1Click);
  FormedeplataCasiseri1 = AddItem(Rapoarte1, "FormedeplataCasiseri1",
                                  QStringLiteral("Forme de plata casieri"),
                                  &TEmainZeprog::FormedeplataCasiseri1Click);
  Sertarpecasieri1 = AddItem(Rapoarte1, "Sertarpecasieri1", QStringLiteral("Sertar pe casieri"),
                             &TEmainZeprog::Sertarpecasieri1Click);

  Moddelucruonline1 = bar->addMenu(OnlineGlyph(false), QStringLiteral("Mod de lucru online"));
  Moddelucruonline1->setObjectName(QStringLiteral("Moddelucruonline1"));
  Setari2 = AddItem(Moddelucruonline1, "Setari2", QStringLiteral("Setari"), &TEmainZeprog::Setari2Click);
  Activare1 = AddItem(Moddelucruonline1, "Activare1", QStringLiteral("Activare"),
                      &TEmainZeprog::Activare1Click);

  Moddelucruonline2 = bar->addMenu(OnlineGlyph(true), QStringLiteral("Mod de lucru online"));
  Moddelucruonline2->setObjectName(QStringLiteral("Moddelucruonline2"));
  StareOnline = Moddelucruonline2->addAction(QString());
  StareOnline->setObjectName(QStringLiteral("StareOnline"));
  StareOnline->setEnabled(false);
  Moddelucruonline2->addSeparator();
  Setari3 = AddItem(Moddelucruonline2, "Setari3", QStringLiteral("Setari"), &TEmainZeprog::Setari2Click);
  Dezactivare1 = AddItem(Moddelucruonline2, "Dezactivare1", QStringLiteral("Dezactivare"),
                         &TEmainZeprog::Activare1Click);
}

std::string TEmainZeprog::ProjectDirPath() const { return PathBytes(FProjectDir); }

TProjectContext TEmainZeprog::ProjectContext() {
  TProjectContext context;
  context.Dir = ProjectDirPath();
  context.Slot = &FRegisterSlot;
  return context;
}

void TEmainZeprog::SetCurrentProject(const QString &name) {
  FProjectName = name;
  setWindowTitle(QStringLiteral("Programare MX7350 - Proiect : ") + name);
  FProjectDir = ProgramDir() + name;
}

bool TEmainZeprog::OnlineActive() const { return FOnlineMode->Active(); }
const TOnlineSettings &TEmainZeprog::OnlineSettings() const { return FOnlineMode->Settings(); }
TCommandProcessor &TEmainZeprog::Processor() { return FOnlineMode->Processor(); }
void TEmainZeprog::SetOnlineActive(bool on) { FOnlineMode->SetActive(on); }

void TEmainZeprog::ShowOnlineState() {
  const bool on = FOnlineMode->Active();
  Moddelucruonline1->menuAction()->setVisible(!on);
  Moddelucruonline2->menuAction()->setVisible(on);
  StareOnline->setText(FOnlineMode->StatusText());
  // The glyph of the "on" menu shows whether command files are taken up.
  Moddelucruonline2->setIcon(OnlineGlyph(FOnlineMode->Working() || !on));
}

bool TEmainZeprog::ProjectGuard() {
  if (!FProjectName.isEmpty()) return true;
  ShowError(QStringLiteral("Nu ai selectat proiectul pe care lucrezi "));
  return false;
}

// --- Proiect -------------------------------------------------------------

void TEmainZeprog::New1Click() {
  // The dialog checks the name and creates the directory before it closes
  // with OK; the name is taken while the dialog still exists.
  struct TClear {
    ~TClear() { ENewProject = nullptr; }
  } clear;
  std::unique_ptr<TENewProject> dialog(new TENewProject(ProgramDir()));
  ENewProject = dialog.get();
  if (dialog->exec() == QDialog::Accepted) SetCurrentProject(dialog->Name());
}

void TEmainZeprog::Open1Click() {
  const QString root = ProgramDir();
  const std::optional<QString> chosen = BrowseForFolder(QStringLiteral("Selecteaza proiect"), root);
  if (!chosen) return;
  const QString name = ProjectNameFromFolder(*chosen);
  const QString path = root + name;
  if (!name.isEmpty() && QFileInfo(path).isDir()) {
    SetCurrentProject(name);
    return;
  }
  ShowError(QStringLiteral("Nu pot accesa directorul \r\r") + path);
}

void TEmainZeprog::Exit1Click() { close(); }

// --- Setari --------------------------------------------------------------

void TEmainZeprog::Setari1Click() {
  if (!ProjectGuard()) return;
  try {
    ShowModalWindow(ESetari, ProjectDirPath());
  } catch (const ETableFile &e) {
    // A damaged or unwritable settings file: say so and leave it alone.
    ShowError(QString::fromLocal8Bit(e.what()));
  }
}

// --- Editare and Rapoarte ------------------------------------------------

void TEmainZeprog::Departamente1Click() {
  if (ProjectGuard()) ShowDeptEditor();
}
void TEmainZeprog::PLU1Click() {
  if (ProjectGuard()) ShowPluEditor();
}
void TEmainZeprog::VA1Click() {
  if (ProjectGuard()) ShowTvaEditor();
}
void TEmainZeprog::Casieri1Click() {
  if (ProjectGuard()) ShowCasieriEditor();
}
void TEmainZeprog::Formedeplata1Click() {
  if (ProjectGuard()) ShowFormePlataEditor();
}
void TEmainZeprog::Cursvalutar1Click() {
  if (ProjectGuard()) ShowCursEditor();
}
void TEmainZeprog::Parametrisistem1Click() {
  if (ProjectGuard()) ShowSPEditor();
}
void TEmainZeprog::Optiunisistem1Click() {
  if (ProjectGuard()) ShowSOEditor();
}
void TEmainZeprog::VanzariPLU1Click() {
  if (ProjectGuard()) ShowPluSalesReport();
}
void TEmainZeprog::FormedeplataCasiseri1Click() {
  if (ProjectGuard()) ShowPaymentFormsReport();
}
void TEmainZeprog::Sertarpecasieri1Click() {
  if (ProjectGuard()) ShowDrawerReport();
}

// The editors' windows ("Fisier departamente", ...), each modal over the main
// window; the PLU editor gets the project and the link slot it works with.
void TEmainZeprog::ShowDeptEditor() { ShowModalWindow(Edept, ProjectContext()); }
void TEmainZeprog::ShowPluEditor() {
  try {
    ShowModalWindow(EPlu, ProjectContext());
  } catch (const ETableFile &e) {
    // A damaged or locked PLU.cds: say so and leave it alone.
    ShowError(QString::fromLocal8Bit(e.what()));
  }
}
void TEmainZeprog::ShowTvaEditor() { ShowModalWindow(ETva, ProjectContext()); }
void TEmainZeprog::ShowCasieriEditor() { ShowModalWindow(Ecasieri, ProjectContext()); }
void TEmainZeprog::ShowFormePlataEditor() { ShowModalWindow(EFormaPlata, ProjectContext()); }
void TEmainZeprog::ShowCursEditor() { ShowModalWindow(Ecurs, ProjectContext()); }
void TEmainZeprog::ShowSPEditor() { ShowModalWindow(ESP, ProjectContext()); }
void TEmainZeprog::ShowSOEditor() { ShowModalWindow(ESO, ProjectContext()); }
void TEmainZeprog::ShowPluSalesReport() { RunRegisterReport(TReportKind::PluSales, ProjectContext()); }
void TEmainZeprog::ShowPaymentFormsReport() { RunRegisterReport(TReportKind::PaymentForms, ProjectContext()); }
void TEmainZeprog::ShowDrawerReport() { RunRegisterReport(TReportKind::Drawer, ProjectContext()); }

// --- Mod de lucru online -------------------------------------------------

void TEmainZeprog::Setari2Click() { ShowOnlineSettings(); }

void TEmainZeprog::Activare1Click() {
  FOnlineMode->SetActive(!FOnlineMode->Active());
  FOnlineMode->Save();
}

void TEmainZeprog::ShowOnlineSettings() {
  TOnlineSettings edited = FOnlineMode->Settings();
  if (ShowModalWindow(ESetariOnline, edited) == QDialog::Accepted) FOnlineMode->ChangeSettings(edited);
}

// --- Lifecycle -----------------------------------------------------------

void TEmainZeprog::showEvent(QShowEvent *e) {
  QMainWindow::showEvent(e);
  if (!FShown) {
    FShown = true;
    RunGuarded([this] { FormShow(); });
  }
}

void TEmainZeprog::FormShow() {
  FOnlineMode->Load();
  AnnounceLeftZReports(ProgramDir());
}

void TEmainZeprog::ShowSlotState() {
  const bool free = !FRegisterSlot.Busy();
  for (QAction *a : {File1->menuAction(), Setari1, Editare1->menuAction(), Rapoarte1->menuAction(),
                     Moddelucruonline1->menuAction(), Moddelucruonline2->menuAction()})
    a->setEnabled(free);
}

void TEmainZeprog::closeEvent(QCloseEvent *e) {
  // Not while a report or a command file talks to the register: cutting the
  // conversation short could cost a Z report's lines.
  if (FRegisterSlot.Busy()) {
    e->ignore();
    return;
  }
  // Closing asks nothing; the program ends.
  FOnlineMode->Stop();
  QMainWindow::closeEvent(e);
  emit Closed();
}

void TEmainZeprog::FormDestroy() {
  if (FDestroyed) return;
  FDestroyed = true;
  RunGuarded([this] { FOnlineMode->Save(); });
}

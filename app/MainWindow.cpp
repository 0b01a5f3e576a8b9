#include "MainWindow.h"

#include <cstdio>

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "Application.h"
#include "BlockEditorWindow.h"
#include "CodePage.h"
#include "CommandProcessor.h"
#include "NewProjectDialog.h"
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

// A menu-bar item with a picture shows the picture alone in Qt; the online
// menus need their caption beside their glyph, so these items get both.
class TMenuBarStyle : public QProxyStyle {
 public:
  explicit TMenuBarStyle(QStyle *base) : QProxyStyle(base ? base->name() : QString()) {}

  QSize sizeFromContents(ContentsType type, const QStyleOption *opt, const QSize &size,
                         const QWidget *w) const override {
    if (type == CT_MenuBarItem)
      if (auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(opt);
          mi && !mi->icon.isNull() && !mi->text.isEmpty()) {
        const QSize text = mi->fontMetrics.size(Qt::TextShowMnemonic, mi->text);
        const int icon = pixelMetric(PM_SmallIconSize, opt, w);
        return QProxyStyle::sizeFromContents(
            type, opt, QSize(icon + GlyphGap + text.width(), std::max(icon, text.height())), w);
      }
    return QProxyStyle::sizeFromContents(type, opt, size, w);
  }

  void drawControl(ControlElement element, const QStyleOption *opt, QPainter *p,
                   const QWidget *w) const override {
    auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(opt);
    if (element != CE_MenuBarItem || !mi || mi->icon.isNull() || mi->text.isEmpty()) {
      QProxyStyle::drawControl(element, opt, p, w);
      return;
    }
    QStyleOptionMenuItem plain = *mi;  // background and highlight only
    plain.icon = QIcon();
    plain.text.clear();
    QProxyStyle::drawControl(element, &plain, p, w);

    const int icon = pixelMetric(PM_SmallIconSize, opt, w);
    const QSize text = mi->fontMetrics.size(Qt::TextShowMnemonic, mi->text);
    const int left = mi->rect.left() + (mi->rect.width() - icon - GlyphGap - text.width()) / 2;
    const bool enabled = mi->state & State_Enabled;
    mi->icon.paint(p, QRect(left, mi->rect.center().y() - icon / 2, icon, icon), Qt::AlignCenter,
                   enabled ? QIcon::Normal : QIcon::Disabled);
    const bool lit = (mi->state & State_Selected) && (mi->state & State_Sunken);  // menu open
    drawItemText(p, QRect(left + icon + GlyphGap, mi->rect.top(), text.width(), mi->rect.height()),
                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, mi->palette, enabled,
                 mi->text, lit ? QPalette::HighlightedText : QPalette::ButtonText);
  }

 private:
  static constexpr int GlyphGap = 4;
};

}  // namespace

TEmainZeprog::TEmainZeprog(QWidget *parent) : QMainWindow(parent) {
  EmainZeprog = this;
  SetProjectShell(this);
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

  // The online mode's processor reads the settings this window holds, so a
  // change in the dialog takes effect with the next command file.
  TProcessorOptions online;
  online.Slot = &FRegisterSlot;
  FProcessor = std::make_unique<TCommandProcessor>([this] { return FOnline; }, online);
  FProcessor->OnStatus = [this](const TWorkDirStatus &status) { ShowOnlineStatus(status); };
  // No window and no message box: what the processor did is told on stderr
  // (a terminal or the session's journal) and in its result files.
  FProcessor->OnLog = [](const std::string &line) {
    std::fprintf(stderr, "%s\n", StampedLogLine(line).c_str());
  };
  TprocessorTimer = new QTimer(this);
  TprocessorTimer->setObjectName(QStringLiteral("TprocessorTimer"));
  TprocessorTimer->setInterval(1000);
  connect(TprocessorTimer, &QTimer::timeout, this, &TEmainZeprog::TprocessorTimerTimer);
  FOnline.DirectorLucru = ProgramDirectory();

  BuildMenus();
  SetOnlineActive(false);
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
  if (ProjectShell() == this) SetProjectShell(nullptr);
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

void TEmainZeprog::SetCurrentProject(const QString &name) {
  FProjectName = name;
  setWindowTitle(QStringLiteral("Programare MX7350 - Proiect : ") + name);
  FProjectDir = ProgramDir() + name;
}

void TEmainZeprog::SetOnlineActive(bool on) {
  FOnlineActive = on;
  FOnline.OnlineActiv = on;
  Moddelucruonline1->menuAction()->setVisible(!on);
  Moddelucruonline2->menuAction()->setVisible(on);
  if (on) {
    TprocessorTimer->start();
    // The directory is claimed at once, so the menu says straight away when
    // another processor already works it.
    FProcessor->Claim();
  } else {
    TprocessorTimer->stop();
    FProcessor->Release();
  }
  ShowOnlineStatus(FProcessor->Status());
}

void TEmainZeprog::ShowOnlineStatus(const TWorkDirStatus &status) {
  const QString dir = QFile::decodeName(QByteArray::fromStdString(status.Dir));
  QString text;
  switch (status.State) {
    case TWorkDirState::Off: text = QStringLiteral("Mod de lucru online oprit"); break;
    case TWorkDirState::Working: text = QStringLiteral("Director lucru: ") + dir; break;
    case TWorkDirState::Taken:
      text = QStringLiteral("Director lucru ocupat de alt program: ") + dir;
      break;
    case TWorkDirState::Inaccessible:
      text = QStringLiteral("Nu pot accesa directorul ") + dir + QStringLiteral(": ") +
             QString::fromUtf8(status.Reason.c_str());
      break;
  }
  StareOnline->setText(text);
  // The glyph of the "on" menu shows whether command files are taken up.
  Moddelucruonline2->setIcon(OnlineGlyph(status.State == TWorkDirState::Working || !FOnlineActive));
}

void TEmainZeprog::TprocessorTimerTimer() {
  // The processor answers every failure in a result file and its log; no
  // message box may come from here.
  try {
    FProcessor->Tick();
  } catch (...) {
  }
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
void TEmainZeprog::ShowDeptEditor() { ShowModalWindow(Edept); }
void TEmainZeprog::ShowPluEditor() {
  try {
    ShowModalWindow(EPlu, TProjectContext{ProjectDirPath(), {}, &FRegisterSlot});
  } catch (const ETableFile &e) {
    // A damaged or locked PLU.cds: say so and leave it alone.
    ShowError(QString::fromLocal8Bit(e.what()));
  }
}
void TEmainZeprog::ShowTvaEditor() { ShowModalWindow(ETva); }
void TEmainZeprog::ShowCasieriEditor() { ShowModalWindow(Ecasieri); }
void TEmainZeprog::ShowFormePlataEditor() { ShowModalWindow(EFormaPlata); }
void TEmainZeprog::ShowCursEditor() { ShowModalWindow(Ecurs); }
void TEmainZeprog::ShowSPEditor() { ShowModalWindow(ESP); }
void TEmainZeprog::ShowSOEditor() { ShowModalWindow(ESO); }
void TEmainZeprog::ShowPluSalesReport() { RunRegisterReport(TReportKind::PluSales); }
void TEmainZeprog::ShowPaymentFormsReport() { RunRegisterReport(TReportKind::PaymentForms); }
void TEmainZeprog::ShowDrawerReport() { RunRegisterReport(TReportKind::Drawer); }

// --- Mod de lucru online -------------------------------------------------

void TEmainZeprog::Setari2Click() { ShowOnlineSettings(); }

void TEmainZeprog::Activare1Click() {
  SetOnlineActive(!FOnlineActive);
  SaveOnlineSettings();
}

void TEmainZeprog::ShowOnlineSettings() {
  TOnlineSettings edited = FOnline;
  if (ShowModalWindow(ESetariOnline, edited) != QDialog::Accepted) return;
  // The new port, rate and directory take effect with the next command
  // file; online mode stays as it is.
  FOnline.PortOnline = edited.PortOnline;
  FOnline.BaudRateOnline = edited.BaudRateOnline;
  FOnline.DirectorLucru = edited.DirectorLucru;
  SaveOnlineSettings();
  // A new work directory is claimed at once, so the menu tells straight
  // away whether another processor holds it.
  if (FOnlineActive) FProcessor->Claim();
}

void TEmainZeprog::LoadOnlineSettings() {
  TOnlineSettings loaded;
  std::string error;
  // A missing file or missing keys give the defaults without a word; a file
  // that cannot be read is not replaced later (SaveOnlineSettings refuses).
  if (!::LoadOnlineSettings(loaded, &error))
    std::fprintf(stderr, "%s: %s\n", TarvoIniPath().c_str(), error.c_str());
  FOnline = loaded;
  SetOnlineActive(loaded.OnlineActiv);
}

void TEmainZeprog::SaveOnlineSettings() {
  FOnline.OnlineActiv = FOnlineActive;
  ::SaveOnlineSettings(FOnline);
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
  LoadOnlineSettings();
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
  TprocessorTimer->stop();
  FProcessor->RequestStop();
  QMainWindow::closeEvent(e);
  emit Closed();
}

void TEmainZeprog::FormDestroy() {
  if (FDestroyed) return;
  FDestroyed = true;
  RunGuarded([this] { SaveOnlineSettings(); });
}

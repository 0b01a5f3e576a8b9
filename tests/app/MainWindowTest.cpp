#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "AppTestSupport.h"
#include "Application.h"
#include "BlockEditorWindow.h"
#include "MainWindow.h"
#include "NewProjectDialog.h"
#include "SettingsDialog.h"
#include "TableEditorWindow.h"

namespace {

const char *const GuardText = "Nu ai selectat proiectul pe care lucrezi ";

class MainWindowTest : public ::testing::Test {
 protected:
  QAction *Item(const char *name) {
    auto *a = Window.findChild<QAction *>(name);
    EXPECT_NE(a, nullptr) << name;
    return a;
  }
  TScratchProgramDir Dir;
  TMessageLog Log;
  TEmainZeprog Window;
};

// Types a name into the open new-project dialog and presses Enter.
void TypeAndEnter(QWidget *dialog, const QString &name) {
  auto *edit = dialog->findChild<QLineEdit *>("ENumeProiect");
  edit->clear();
  QTest::keyClicks(edit, name);
  QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace

TEST_F(MainWindowTest, StartsWithoutAProjectAndTheOfflineMenu) {
  EXPECT_EQ(Window.windowTitle(), "Programare MX7350 ver. 3.1");
  EXPECT_TRUE(Window.ProjectName().isEmpty());
  EXPECT_TRUE(Window.ProjectDir().isEmpty());
  EXPECT_FALSE(Window.RegisterSlot().Busy());
  EXPECT_EQ(Window.centralWidget()->size(), QSize(581, 190));
  EXPECT_EQ(EmainZeprog, &Window);
  EXPECT_TRUE(Window.Moddelucruonline1->menuAction()->isVisible());
  EXPECT_FALSE(Window.Moddelucruonline2->menuAction()->isVisible());
}

TEST_F(MainWindowTest, EveryItemThatNeedsAProjectRefusesWithoutOne) {
  for (const char *name : {"Setari1", "Departamente1", "PLU1", "VA1", "Casieri1", "Formedeplata1",
                           "Cursvalutar1", "Parametrisistem1", "Optiunisistem1", "VanzariPLU1",
                           "FormedeplataCasiseri1", "Sertarpecasieri1"}) {
    Log.Shown.clear();
    Item(name)->trigger();
    ASSERT_EQ(Log.Shown.size(), 1u) << name;
    EXPECT_EQ(Log.Shown[0].Text, GuardText) << name;
    EXPECT_EQ(Log.Shown[0].Title, "Eroare");
    EXPECT_EQ(Log.Shown[0].Kind, mkWarning);
    EXPECT_EQ(Log.Shown[0].Buttons, MsgOK);
    EXPECT_EQ(ESetari, nullptr);
  }
  // Nothing was written anywhere for the settings.
  EXPECT_TRUE(QDir(Dir.Path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

  // The online items need no project, and switch between the two menus.
  Log.Shown.clear();
  auto close = [](QWidget *w) { w->close(); };
  auto watch = WhenModal("ESetariOnline", close);
  Item("Setari2")->trigger();
  EXPECT_TRUE(watch->Fired());
  Item("Activare1")->trigger();
  EXPECT_TRUE(Window.OnlineActive());
  EXPECT_FALSE(Window.Moddelucruonline1->menuAction()->isVisible());
  EXPECT_TRUE(Window.Moddelucruonline2->menuAction()->isVisible());
  auto watch3 = WhenModal("ESetariOnline", close);
  Item("Setari3")->trigger();
  EXPECT_TRUE(watch3->Fired());
  Item("Dezactivare1")->trigger();
  EXPECT_FALSE(Window.OnlineActive());
  EXPECT_TRUE(Window.Moddelucruonline1->menuAction()->isVisible());
  EXPECT_TRUE(Log.Shown.empty());
}

TEST_F(MainWindowTest, EditorItemsPassTheGuardOnceAProjectIsOpen) {
  ASSERT_TRUE(QDir(Dir.Path()).mkdir("P"));
  Window.SetCurrentProject("P");
  // The windows that exist open modally; each is closed as soon as it shows.
  QStringList opened;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (QWidget *w = QApplication::activeModalWidget(); w && w->isVisible()) {
      opened << w->objectName();
      w->close();
    }
  });
  closer.start(10);
  for (const char *name : {"Departamente1", "PLU1", "VA1", "Casieri1", "Formedeplata1", "Cursvalutar1",
                           "Parametrisistem1", "Optiunisistem1"})
    Item(name)->trigger();
  EXPECT_TRUE(Log.Shown.empty());
  for (const char *editor : {"Edept", "EPlu", "ETva", "Ecasieri", "EFormaPlata", "Ecurs", "ESP", "ESO"})
    EXPECT_TRUE(opened.contains(editor)) << editor;
  EXPECT_EQ(Edept, nullptr);
  EXPECT_EQ(ESO, nullptr);
  // Opening and closing an editor writes nothing.
  EXPECT_TRUE(QDir(Dir.Path() + "P").isEmpty());
  // The "Rapoarte" items read the register once past the guard: their own
  // tests (reports_tests) run them against the simulator.
}

TEST_F(MainWindowTest, NewProjectKeepsTheDialogOpenUntilTheNameIsGood) {
  ASSERT_TRUE(QDir(Dir.Path()).mkdir("Vechi"));
  std::vector<bool> openAfter;
  auto watch = WhenModal("ENewProject", [&](QWidget *dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Proiect nou");
    EXPECT_EQ(ENewProject, dialog);
    for (const char *bad : {"", "../afara", "Vechi"}) {
      TypeAndEnter(dialog, QString::fromLatin1(bad));
      openAfter.push_back(dialog->isVisible());
    }
    TypeAndEnter(dialog, "Nou");
  });
  Item("New1")->trigger();

  const std::vector<QString> expected = {
      "Introdu numele noului proiect!\r",
      "Numele proiectului nu poate contine caracterele \\ / : * ? \" < > | !",
      "Exista deja un proiect cu acest nume !"};
  EXPECT_EQ(Log.Texts(), expected);
  for (const auto &m : Log.Shown) EXPECT_EQ(m.Title, "Eroare");
  EXPECT_EQ(openAfter, std::vector<bool>(3, true));
  EXPECT_FALSE(QFileInfo(Dir.Path() + "../afara").exists());
  EXPECT_EQ(ENewProject, nullptr);
  EXPECT_EQ(Window.ProjectName(), "Nou");
  EXPECT_EQ(Window.windowTitle(), "Programare MX7350 - Proiect : Nou");
  EXPECT_EQ(Window.ProjectDir(), Dir.Path() + "Nou");
  EXPECT_TRUE(QFileInfo(Window.ProjectDir()).isDir());
}

TEST_F(MainWindowTest, NewProjectNameIsTakenAsTypedAndRenuntChecksNothing) {
  auto watch = WhenModal("ENewProject", [](QWidget *dialog) { TypeAndEnter(dialog, " Magazin 2"); });
  Item("New1")->trigger();
  EXPECT_EQ(Window.ProjectName(), " Magazin 2");
  EXPECT_TRUE(QFileInfo(Dir.Path() + " Magazin 2").isDir());

  auto watch2 = WhenModal("ENewProject", [](QWidget *dialog) {
    QTest::keyClicks(dialog->findChild<QLineEdit *>("ENumeProiect"), "../x");
    QTest::keyClick(dialog->findChild<QLineEdit *>("ENumeProiect"), Qt::Key_Escape);
  });
  Item("New1")->trigger();
  EXPECT_TRUE(Log.Shown.empty());
  EXPECT_EQ(Window.ProjectName(), " Magazin 2");
}

TEST_F(MainWindowTest, NewProjectThatCannotBeCreatedKeepsThePreviousProject) {
  ASSERT_TRUE(QDir(Dir.Path()).mkdir("Vechi"));
  Window.SetCurrentProject("Vechi");
  // The program directory is a file: nothing can be made inside it.
  QFile blocker(Dir.Path() + "fisier");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  SetProgramDirectory((Dir.Path() + "fisier/").toStdString());
  auto watch = WhenModal("ENewProject", [](QWidget *dialog) {
    TypeAndEnter(dialog, "X");
    dialog->close();
  });
  Item("New1")->trigger();
  EXPECT_EQ(Log.Texts(), std::vector<QString>{"Nu pot crea directorul " + Dir.Path() + "fisier/X"});
  EXPECT_EQ(Window.ProjectName(), "Vechi");
}

TEST_F(MainWindowTest, OpenProjectUsesTheLastComponentOfTheChosenFolder) {
  QDir root(Dir.Path());
  ASSERT_TRUE(root.mkpath("Magazin/Sub"));
  ASSERT_TRUE(root.mkpath("Sub"));
  QString askedTitle, askedRoot;
  std::optional<QString> answer = Dir.Path() + "Magazin/Sub";
  auto previous = SetFolderDialogHandler([&](const QString &title, const QString &r) {
    askedTitle = title;
    askedRoot = r;
    return answer;
  });

  Item("Open1")->trigger();
  EXPECT_EQ(askedTitle, "Selecteaza proiect");
  EXPECT_EQ(askedRoot, Dir.Path());
  EXPECT_EQ(Window.ProjectName(), "Sub");
  EXPECT_EQ(Window.ProjectDir(), Dir.Path() + "Sub");
  EXPECT_EQ(Window.windowTitle(), "Programare MX7350 - Proiect : Sub");

  // A deeper folder whose name is not a project: refused, project kept.
  ASSERT_TRUE(root.mkpath("Magazin/Adanc"));
  answer = Dir.Path() + "Magazin/Adanc";
  Item("Open1")->trigger();
  EXPECT_EQ(Log.Texts(), std::vector<QString>{"Nu pot accesa directorul \r\r" + Dir.Path() + "Adanc"});
  EXPECT_EQ(Window.ProjectName(), "Sub");

  // The file-system root has no name to open; cancelling changes nothing.
  Log.Shown.clear();
  answer = QString("/");
  Item("Open1")->trigger();
  EXPECT_EQ(Log.Shown.size(), 1u);
  answer.reset();
  Item("Open1")->trigger();
  EXPECT_EQ(Log.Shown.size(), 1u);
  EXPECT_EQ(Window.ProjectName(), "Sub");
  SetFolderDialogHandler(previous);
}

namespace {

class TThrowingObject : public QObject {
 public:
  bool event(QEvent *e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("Unable to open com port (Error: 2)");
    return QObject::event(e);
  }
};

struct TCountedDialog : QDialog {
  static inline int Alive = 0, Made = 0;
  explicit TCountedDialog(bool fail) {
    if (fail) throw std::runtime_error("constructie esuata");
    ++Alive;
    ++Made;
    setObjectName("Counted");
  }
  ~TCountedDialog() override { --Alive; }
};
TCountedDialog *Counted = nullptr;

}  // namespace

TEST(ActionGuard, AnEscapingExceptionIsShownAndTheProgramGoesOn) {
  TMessageLog log;
  RunGuarded([] { throw std::runtime_error("Fisier lipsa"); });
  TThrowingObject target;
  QEvent ev(QEvent::User);
  QCoreApplication::sendEvent(&target, &ev);
  ASSERT_EQ(log.Shown.size(), 2u);
  EXPECT_EQ(log.Shown[0].Text, "Fisier lipsa.");
  EXPECT_EQ(log.Shown[0].Kind, mkError);
  EXPECT_EQ(log.Shown[1].Text, "Unable to open com port (Error: 2).");
}

TEST(ActionGuard, EachOpeningMakesAFreshWindowAndForgetsIt) {
  int aliveWhileShown = -1;
  for (int i = 0; i < 2; ++i) {
    auto watch = WhenModal("Counted", [&](QWidget *w) {
      aliveWhileShown = TCountedDialog::Alive;
      EXPECT_EQ(Counted, w);
      w->close();
    });
    ShowModalWindow(Counted, false);
    EXPECT_EQ(aliveWhileShown, 1);  // the first was gone before the second came
    EXPECT_EQ(Counted, nullptr);
  }
  EXPECT_EQ(TCountedDialog::Made, 2);
  EXPECT_THROW(ShowModalWindow(Counted, true), std::runtime_error);
  EXPECT_EQ(Counted, nullptr);
  EXPECT_EQ(TCountedDialog::Alive, 0);
}

TEST(Startup, NumbersShowWithADecimalCommaAndNoGrouping) {
  // main() of the program and of these tests both set it.
  EXPECT_EQ(QLocale().toString(12.5, 'f', 2), "12,50");
  EXPECT_EQ(QLocale().toString(1234567.25, 'f', 2), "1234567,25");
  bool ok = false;
  EXPECT_DOUBLE_EQ(QLocale().toDouble("3,75", &ok), 3.75);
  EXPECT_TRUE(ok);
}

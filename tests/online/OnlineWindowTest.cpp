// Online mode in the main window: the saved state at start, the menus, the
// settings dialog and the timer that carries out the command files.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "AppTestSupport.h"
#include "AtomicFile.h"
#include "CommandProcessor.h"
#include "MainWindow.h"
#include "OnlineSettingsDialog.h"
#include "RegisterSlot.h"
#include "SimProgramDir.h"
#include "ScratchDir.h"

namespace {

class OnlineWindowTest : public ::testing::Test {
 protected:
  void Ini(const std::string &configurari) {
    WriteFileAtomic(TarvoIniPath(), "[Porturi]\r\nCOM3=sim\r\n[Configurari]\r\n" + configurari);
  }
  std::string IniText() { return ReadFileBytes(TarvoIniPath()); }
  // A fresh main window, shown (FormShow loads the settings).
  TEmainZeprog &Open() {
    Window.reset();
    Window = std::make_unique<TEmainZeprog>();
    Window->show();
    return *Window;
  }
  void Trigger(const char *item) { Window->findChild<QAction *>(item)->trigger(); }

  TSimProgramDir Env;
  TMessageLog Log;
  std::unique_ptr<TEmainZeprog> Window;
};

}  // namespace

TEST_F(OnlineWindowTest, StartsInTheSavedStateAndEverySwitchIsSavedAtOnce) {
  TEmainZeprog &w = Open();  // no [Configurari] keys at all
  EXPECT_FALSE(w.OnlineActive());
  EXPECT_EQ(w.OnlineSettings().PortOnline, 1);
  EXPECT_EQ(w.OnlineSettings().BaudRateOnline, 3);
  EXPECT_EQ(w.OnlineSettings().DirectorLucru, Env.Path());
  EXPECT_TRUE(w.Moddelucruonline1->menuAction()->isVisible());
  EXPECT_FALSE(w.TprocessorTimer->isActive());

  Trigger("Activare1");
  EXPECT_TRUE(w.TprocessorTimer->isActive());
  EXPECT_EQ(w.TprocessorTimer->interval(), 1000);
  EXPECT_TRUE(w.Moddelucruonline2->menuAction()->isVisible());
  EXPECT_EQ(w.StareOnline->text().toStdString(), "Director lucru: " + Env.Path());
  EXPECT_NE(IniText().find("[Porturi]\r\nCOM3=sim\r\n"), std::string::npos);
  EXPECT_NE(IniText().find("[Configurari]\r\nPortOnline=1\r\nBaudRateOnline=3\r\nDirectorLucru=" + Env.Path() +
                           "\r\nOnlineActiv=D\r\n"),
            std::string::npos)
      << IniText();
  Trigger("Dezactivare1");
  EXPECT_FALSE(w.TprocessorTimer->isActive());
  EXPECT_NE(IniText().find("OnlineActiv=N"), std::string::npos);

  Window.reset();  // saves its state on the way out
  Ini("OnlineActiv=d\r\n");
  EXPECT_TRUE(Open().OnlineActive());
  EXPECT_TRUE(Window->TprocessorTimer->isActive());
  EXPECT_TRUE(Log.Shown.empty());
}

TEST_F(OnlineWindowTest, TheDialogShowsTheSettingsAndOnlyOkChangesThem) {
  Ini("PortOnline=16\r\nBaudRateOnline=7\r\n");
  TEmainZeprog &w = Open();
  const std::string good = Env.Path() + "casa";
  ASSERT_EQ(::mkdir(good.c_str(), 0755), 0);
  std::vector<std::optional<QString>> chosen = {QString::fromStdString(Env.Path() + "lipsa"),
                                                QString::fromStdString(good)};
  QString startedAt;
  auto previous = SetFolderDialogHandler([&](const QString &, const QString &root) {
    startedAt = root;
    auto c = chosen.front();
    chosen.erase(chosen.begin());
    return c;
  });
  auto watch = WhenModal("ESetariOnline", [&](QWidget *widget) {
    auto *d = static_cast<TESetariOnline *>(widget);
    EXPECT_EQ(d->windowTitle(), "Setari comunicatie seriala");
    EXPECT_EQ(d->size(), QSize(462, 202));
    EXPECT_EQ(d->CPORT->currentText(), " 16");
    EXPECT_TRUE(d->RRataItems[2]->isChecked());  // 7 read as 3
    QTest::keyClicks(d->CPORT, "3");             // typing picks nothing
    EXPECT_EQ(d->CPORT->currentIndex(), 15);
    d->Button1->click();  // a folder that is not there: refused
    EXPECT_EQ(d->edirlucru->text().toStdString(), Env.Path());
    d->Button1->click();
    EXPECT_EQ(d->edirlucru->text().toStdString(), good + "/");
    d->BStart->click();
  });
  Trigger("Setari2");
  EXPECT_EQ(startedAt.toStdString(), Env.Path());  // where the dialog's choice stood
  ASSERT_EQ(Log.Texts(), std::vector<QString>{QString::fromStdString("Nu pot accesa directorul \r\r" + Env.Path() + "lipsa/")});
  EXPECT_NE(IniText().find("PortOnline=16\r\nBaudRateOnline=3\r\nDirectorLucru=" + good + "/\r\nOnlineActiv=N"),
            std::string::npos)
      << IniText();
  EXPECT_FALSE(w.OnlineActive());  // the dialog switches nothing

  chosen = {QString::fromStdString(Env.Path())};
  auto cancel = WhenModal("ESetariOnline", [&](QWidget *widget) {
    auto *d = static_cast<TESetariOnline *>(widget);
    d->CPORT->setCurrentIndex(0);
    d->Button1->click();
    d->BStop->click();
  });
  Trigger("Setari2");
  EXPECT_EQ(w.OnlineSettings().DirectorLucru, good + "/");
  EXPECT_EQ(w.OnlineSettings().PortOnline, 16);
  SetFolderDialogHandler(previous);
}

TEST_F(OnlineWindowTest, TheTimerCarriesOutCommandFilesOnceTheDirectoryIsFree) {
  const std::string work = Env.Path() + "work/";
  ASSERT_EQ(::mkdir(work.c_str(), 0755), 0);
  Ini("PortOnline=3\r\nDirectorLucru=" + work + "\r\nOnlineActiv=D\r\n");
  auto service = std::make_unique<TWorkDirLock>();  // the service got there first
  ASSERT_EQ(service->Acquire(work, nullptr), TWorkDirLock::Locked);
  TEmainZeprog &w = Open();
  EXPECT_TRUE(w.OnlineActive());
  EXPECT_TRUE(w.StareOnline->text().contains("ocupat de alt program")) << w.StareOnline->text().toStdString();

  std::ofstream(work + "READZFORMEPLATA.TXT") << "";
  QTest::qWait(1300);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(work + "READZFORMEPLATA.OK")));
  service.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(QString::fromStdString(work + "READZFORMEPLATA.OK")); }, 5000));
  EXPECT_EQ(w.StareOnline->text().toStdString(), "Director lucru: " + work);
  EXPECT_TRUE(Log.Shown.empty());  // never a message box
  EXPECT_FALSE(w.RegisterSlot().Busy());
}

// One register action at a time between the windows and the online mode: no
// command file is taken up while a window's action holds the register, and
// while a command file runs the windows' register actions are unavailable.
TEST_F(OnlineWindowTest, CommandFilesAndWindowActionsTakeTurnsAtTheRegister) {
  Ini("PortOnline=3\r\nOnlineActiv=D\r\n");
  TEmainZeprog &w = Open();
  const std::string work = Env.Path();
  TRegisterSlot &slot = w.RegisterSlot();
  ASSERT_TRUE(slot.Take("Fisier departamente"));
  std::ofstream(work + "READZFORMEPLATA.TXT") << "";
  QTest::qWait(2500);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(work + "READZFORMEPLATA.TXT")));  // not taken up
  slot.Give();

  Sim::TFaults slow;
  slow.ByteDelayMs = 5;
  Env.Sim.SetFaults(slow);
  std::string holder;
  bool menusOff = false;
  // Looked at from a timer: the command file runs inside the online tick.
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!slot.Busy() || !holder.empty()) return;
    holder = slot.Holder();
    menusOff = !w.Editare1->menuAction()->isEnabled() && !w.Rapoarte1->menuAction()->isEnabled();
  });
  watch.start(5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(QString::fromStdString(work + "READZFORMEPLATA.OK")); },
                              10000));
  EXPECT_EQ(holder, OnlineHolder);
  EXPECT_TRUE(menusOff);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !slot.Busy(); }, 3000));
  EXPECT_TRUE(w.Editare1->menuAction()->isEnabled());
  EXPECT_TRUE(Log.Shown.empty());
}

// Reports read out of the simulator as the user gets them from the
// "Rapoarte" menu, and as a script gets them from tarvoctl.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "AppTestSupport.h"
#include "AtomicFile.h"
#include "MainWindow.h"
#include "RegisterReports.h"
#include "ReportWindow.h"
#include "SerialSettings.h"
#include "TableEditorWindow.h"
#include "SimProgramDir.h"
#include "ScratchDir.h"

namespace {

class ReportMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Project = Env.MakeProject();
    Window.SetCurrentProject("P");
  }
  void CutOffAfter(int frames) {
    Sim::TFaults f;
    f.SilentAfterFrame = frames;
    Env.Sim.SetFaults(f);
  }
  // The project's files but its settings.
  std::vector<std::string> ProjectFiles() {
    std::vector<std::string> v;
    for (const QString &f : QDir(QString::fromStdString(Project)).entryList(QDir::Files))
      if (f != "setari.cds") v.push_back(f.toStdString());
    return v;
  }
  // Runs a menu item; the viewer, when it comes, is handed to look at and
  // closed with "I&esire".
  bool Run(const char *item, std::function<void(TERaport *)> look = {}) {
    // A broken read waits out the five seconds of silence first: the watch
    // keeps looking for the viewer for as long as the item runs.
    bool shown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      auto *w = qobject_cast<TERaport *>(QApplication::activeModalWidget());
      if (!w || !w->isVisible()) return;
      watch.stop();
      shown = true;
      if (look) look(w);
      w->BStop->click();
    });
    watch.start(10);
    Window.findChild<QAction *>(item)->trigger();
    return shown;
  }

  TSimProgramDir Env;
  std::string Project;
  TMessageLog Log{mrYes};
  TEmainZeprog Window;
};

}  // namespace

TEST_F(ReportMenuTest, VanzariPLUAsksFirstAndNuSendsNothing) {
  Log.Answer = mrNo;
  EXPECT_FALSE(Run("VanzariPLU1"));
  ASSERT_EQ(Log.Shown.size(), 1u);
  EXPECT_EQ(Log.Shown[0].Text, "Aceasta optiune va citi vanzarile din casa si le va resea. \r\rContinui ?");
  EXPECT_EQ(Log.Shown[0].Title, "Atentie");
  EXPECT_EQ(Log.Shown[0].Buttons, MsgYesNo);
  EXPECT_TRUE(Env.Commands().empty());
}

TEST_F(ReportMenuTest, TheViewerShowsTheLayoutAndSavesItWithCrLf) {
  const TLineList raw = Env.Report("RSZ000004");
  const TLineList expected = ReportText(PluSalesTitle, raw);
  std::vector<std::optional<QString>> answers = {std::nullopt, QString::fromStdString(Project + "/z")};
  QString askedDir;
  auto previous = SetFileDialogHandler([&](TFileDialogMode mode, const QString &, const QString &dir,
                                           const QString &filter) -> std::optional<QString> {
    EXPECT_EQ(mode, TFileDialogMode::Save);
    EXPECT_TRUE(filter.contains("*.txt"));
    askedDir = dir;
    auto a = answers.front();
    answers.erase(answers.begin());
    return a;
  });
  EXPECT_TRUE(Run("VanzariPLU1", [&](TERaport *w) {
    EXPECT_EQ(w->windowTitle(), "Raport Z PLU");
    EXPECT_EQ(w->size(), QSize(564, 480));
    EXPECT_TRUE(w->aMemo->isReadOnly());
    EXPECT_EQ(w->aMemo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(w->aMemo->toPlainText().split('\n').first(), "Raport din data 09-12-2026 ora 08:30:00");
    EXPECT_EQ(w->Lines(), expected);
    // The register has cleared its sales: the lines are already kept, as
    // received, in the report's archive, and the viewer says where.
    const std::vector<std::string> archive = ProjectFiles();
    ASSERT_EQ(archive.size(), 1u);
    EXPECT_EQ(archive[0].rfind("VanzariPLU-2", 0), 0u) << archive[0];
    EXPECT_EQ(ReadFileBytes(Project + "/" + archive[0]), JoinLinesCrLf(raw));
    EXPECT_EQ(w->LKept->text().toStdString(), "Pastrat in " + archive[0]);
    w->BSave->click();  // cancelled: nothing written
    EXPECT_EQ(ProjectFiles().size(), 1u);
    w->BSave->click();  // "z": the default extension is added
  }));
  SetFileDialogHandler(previous);
  EXPECT_EQ(askedDir.toStdString(), Project);
  EXPECT_EQ(ReadFileBytes(Project + "/z.txt"), JoinLinesCrLf(expected));
  EXPECT_FALSE(Window.RegisterSlot().Busy());
}

TEST_F(ReportMenuTest, OtherReportsShowTheRegistersLinesWithoutAQuestion) {
  const TLineList expected = Env.Report("RSX0001006");
  EXPECT_TRUE(Run("FormedeplataCasiseri1", [&](TERaport *w) {
    EXPECT_EQ(w->windowTitle(), "Raport forme plata casieri ");
    EXPECT_EQ(w->Lines(), expected);
  }));
  EXPECT_TRUE(Run("Sertarpecasieri1", [](TERaport *w) { EXPECT_EQ(w->windowTitle(), "Raport sertar pe casieri"); }));
  EXPECT_TRUE(Log.Shown.empty());
}

TEST_F(ReportMenuTest, ABrokenZReportIsShownWithTheFailureAndKept) {
  const TLineList expected = Env.Report("RSZ000004");
  CutOffAfter(4);  // the window's link waits the real five seconds of silence
  EXPECT_TRUE(Run("VanzariPLU1", [](TERaport *w) {
    EXPECT_EQ(w->windowTitle(), "Raport Z PLU - incomplet");
    EXPECT_EQ(w->Lines().size(), 5u);  // laid out: header, rule, three articles
    EXPECT_EQ(w->Lines()[0], "Raport din data 09-12-2026 ora 08:30:00");
  }));
  ASSERT_EQ(Log.Shown.size(), 2u);  // the question, then the failure
  const std::vector<std::string> kept = ProjectFiles();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].rfind("VanzariPLU-incomplet-", 0), 0u) << kept[0];
  EXPECT_EQ(ReadFileBytes(Project + "/" + kept[0]), JoinLinesCrLf(TLineList(expected.begin(), expected.begin() + 4)));
  EXPECT_TRUE(Log.Shown[1].Text.startsWith("Operatie nereusita!\rCOM3 (")) << Log.Shown[1].Text.toStdString();
  EXPECT_TRUE(Log.Shown[1].Text.contains("casa de marcat nu a raspuns 5 secunde; verificati cablul si ca ea este "
                                         "pornita [8000]\r\r"))
      << Log.Shown[1].Text.toStdString();
  EXPECT_TRUE(Log.Shown[1].Text.endsWith(QString::fromStdString(kept[0]))) << Log.Shown[1].Text.toStdString();

  // Any other failure is the message alone, with the reason under it.
  Log.Shown.clear();
  SaveSerialSettings(Project, {9, 3});
  EXPECT_FALSE(Run("Sertarpecasieri1"));
  ASSERT_EQ(Log.Shown.size(), 1u);
  EXPECT_TRUE(Log.Shown[0].Text.startsWith("Nu pot deschide portul serial !\rCOM9")) << Log.Shown[0].Text.toStdString();
  EXPECT_FALSE(Window.RegisterSlot().Busy());
}

// An editor opened while a Z report reads (as a menu clicked in the middle
// used to do) stays open longer than the register waits for an
// acknowledgement: the report still gets every line, since the link
// acknowledges on its own thread. Meanwhile the menus that would start
// another action are unavailable, and so are the editor's register buttons.
TEST_F(ReportMenuTest, AnEditorOpenedDuringAZReportHoldsNothingUp) {
  const TLineList expected = ReportText(PluSalesTitle, Env.Report("RSZ000004"));
  Sim::TFaults slow;
  slow.ByteDelayMs = 2;
  Env.Sim.SetFaults(slow);
  auto available = [&] {
    return std::vector<bool>{Window.File1->menuAction()->isEnabled(), Window.Setari1->isEnabled(),
                             Window.Editare1->menuAction()->isEnabled(), Window.Rapoarte1->menuAction()->isEnabled(),
                             Window.Moddelucruonline1->menuAction()->isEnabled()};
  };
  std::vector<bool> during;
  bool readButton = true, editorClosed = false, closeRefused = false;
  QTimer::singleShot(60, [&] {
    during = available();
    QCloseEvent close;  // the close box: refused while the report reads
    QApplication::sendEvent(&Window, &close);
    closeRefused = !close.isAccepted();
    QTimer::singleShot(6000, [&] {
      if (!Edept) return;
      readButton = Edept->BitBtn1->isEnabled();
      Edept->BStop->click();
      editorClosed = true;
    });
    Window.Departamente1Click();  // modal: returns when the editor closes
  });
  EXPECT_TRUE(Run("VanzariPLU1", [&](TERaport *w) { EXPECT_EQ(w->Lines(), expected); }));
  EXPECT_TRUE(editorClosed);
  EXPECT_TRUE(closeRefused);
  EXPECT_EQ(during, std::vector<bool>(5, false));
  EXPECT_FALSE(readButton);
  EXPECT_EQ(available(), std::vector<bool>(5, true));
  EXPECT_EQ(Env.Sim.Stats().Abandoned, 0u);
  EXPECT_EQ(Log.Shown.size(), 1u);  // the question only
  EXPECT_EQ(ProjectFiles().size(), 1u);  // the archive
}

TEST_F(ReportMenuTest, OnTheCommandLineTheZReportNeedsYes) {
  const std::string exe = Env.LinkProgram(TARVOCTL_PATH);
  auto run = [&](const QStringList &args, std::string *out = nullptr, std::string *err = nullptr) {
    QProcess p;
    p.start(QString::fromStdString(exe), QStringList{"--project", "P", "--timeout", "300"} + args);
    EXPECT_TRUE(p.waitForFinished(20000));
    if (out) *out = p.readAllStandardOutput().toStdString();
    if (err) *err = p.readAllStandardError().toStdString();
    return p.exitCode();
  };
  EXPECT_EQ(run({"report", "plu-sales"}), 2);
  EXPECT_TRUE(Env.Commands().empty());  // nothing was sent
  const TLineList sales = ReportText(PluSalesTitle, Env.Report("RSZ000004"));
  std::string out, err;
  EXPECT_EQ(run({"report", "plu-sales", "--yes"}, &out, &err), 0);
  std::string expected;
  for (const std::string &l : sales) expected += l + "\n";
  EXPECT_EQ(out, expected);
  ASSERT_EQ(ProjectFiles().size(), 1u);
  const std::string archive = ProjectFiles()[0];
  EXPECT_NE(err.find("the Z report is archived in " + Project + "/" + archive), std::string::npos) << err;
  EXPECT_EQ(run({"report", "drawer"}, &out), 0);
  EXPECT_EQ(out.rfind("0;0;0;0;6;", 0), 0u) << out;

  CutOffAfter(2);
  EXPECT_EQ(run({"report", "plu-sales", "--yes"}, &out, &err), 1);
  EXPECT_EQ(out, "");
  std::vector<std::string> files = ProjectFiles();
  ASSERT_EQ(files.size(), 2u);
  const std::string broken = files[0] == archive ? files[1] : files[0];
  EXPECT_EQ(broken.rfind("VanzariPLU-incomplet-", 0), 0u) << broken;
  EXPECT_NE(err.find("the 2 lines received before the failure are saved in " + Project + "/" + broken),
            std::string::npos)
      << err;
}

// Programming only what changed and verifying the register, for the grid
// editors and the parameter and option lists: against the simulator, through
// the logic, tarvoctl and the windows.
#include <gtest/gtest.h>

#include <fstream>

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>

#include "AppTestSupport.h"
#include "BlockEditor.h"
#include "BlockEditorWindow.h"
#include "EditorEnv.h"
#include "ProjectTables.h"
#include "RegisterImage.h"
#include "RunProgram.h"
#include "SerialSettings.h"
#include "TableEditorWindow.h"
#include "VerifyWindow.h"

namespace {

class Changes : public EditorEnv {
 protected:
  // Changes a cell as the grid does; "" when stored.
  static std::string Change(TTableEditor &editor, int32_t cod, const std::string &field, const std::string &value) {
    if (auto *blocks = dynamic_cast<TBlockEditor *>(&editor))
      return blocks->SetPosition(cod, std::stoi(field.substr(1)), value);
    return editor.SetCell(editor.FindRow(cod), editor.ColumnOf(field), value);
  }
  void ResetStats() { Sim.WithEngine([](Sim::TEngine &e) { e.Stats = {}; }); }
  std::string ImageBytes(TTableId id) {
    std::ifstream in(RegisterImagePath(Project, id), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  TProgressLog Progress;
};

// A difference of a report as text, for comparing with what a case expects.
std::vector<std::string> Described(const TVerifyReport &report) {
  std::vector<std::string> lines;
  for (const TDifference &d : report.Differences) {
    std::string line = d.CodeText + " " + std::to_string(int(d.Kind));
    for (const TFieldDifference &f : d.Fields) line += " " + f.Field + ":" + f.Project + "/" + f.Register;
    lines.push_back(line);
  }
  return lines;
}

const int OnlyInRegister = int(TDifferenceKind::OnlyInRegister), OnlyInProject = int(TDifferenceKind::OnlyInProject),
          Differ = int(TDifferenceKind::FieldsDiffer);

}  // namespace

TEST_F(Changes, OneChangedRowSendsOneRecordAndTheNextRunNone) {
  struct {
    TTableId Id;
    int32_t Cod;
    const char *Field, *Value;
  } cases[] = {{tiDepartamente, 3, "Nume", "PAINE"}, {tiTVA, 2, "Cota", "2100"}, {tiCasieri, 4, "Parola", "42"},
               {tiCurs, 2, "Rata", "480"},         {tiFormePlata, 5, "Nume", "BON"}, {tiSP, 2, "P21", "7"},
               {tiSO, 5, "P11", "7"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(TableFileName(c.Id));
    auto editor = Open(c.Id);
    ASSERT_TRUE(editor->Read(Progress).Ok);  // the image: what the register holds
    ASSERT_EQ(Change(*editor, c.Cod, c.Field, c.Value), "");
    ResetStats();
    TActionResult r = editor->ProgramChanges(Progress);
    ASSERT_TRUE(r.Ok) << r.Text();
    EXPECT_EQ(Records(), 1u);
    EXPECT_EQ(editor->LastRowsSent(), 1);
    EXPECT_EQ(Progress.Total, 1);
    EXPECT_TRUE(editor->Verify(Progress).Ok);
    EXPECT_TRUE(editor->LastVerify().Same()) << Described(editor->LastVerify())[0];
    // The file holds the change, as after a full run.
    // (Codes run 1..n here, so a code is its row.)
    EXPECT_EQ(TRowValues(OpenProjectTable(Project, c.Id), c.Cod).Text(c.Field),
              TRowValues(editor->Table(), c.Cod).Text(c.Field));
    ResetStats();
    r = editor->ProgramChanges(Progress);
    EXPECT_TRUE(r.Ok) << r.Text();
    EXPECT_EQ(Records(), 0u);
    EXPECT_EQ(editor->LastRowsSent(), 0);
  }
}

TEST_F(Changes, WithoutAnImageNothingIsSentAndTheReasonIsGiven) {
  auto editor = Open(tiDepartamente);
  TActionResult r = editor->ProgramChanges(Progress);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Message, NoImageMessage);
  EXPECT_EQ(r.Reason, "");
  // A damaged image counts as none, and says why.
  std::ofstream(RegisterImagePath(Project, tiDepartamente)) << "not a table";
  r = editor->ProgramChanges(Progress);
  EXPECT_EQ(r.Message, NoImageMessage);
  EXPECT_NE(r.Reason.find("Departamente.registru"), std::string::npos) << r.Reason;
  EXPECT_EQ(Records(), 0u);
  EXPECT_EQ(FileBytes(tiDepartamente), "");
  // A complete run writes the image over it: the next changes run sends nothing.
  ASSERT_TRUE(editor->Program(Progress).Ok);
  ResetStats();
  EXPECT_TRUE(editor->ProgramChanges(Progress).Ok);
  EXPECT_EQ(Records(), 0u);
}

TEST_F(Changes, AFailedRunLeavesAnImageTheNextChangesRunCompletes) {
  struct {
    bool Full;
    int RefusedRecord;
    int Acknowledged;
  } cases[] = {{true, 3, 2}, {false, 2, 1}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Full ? "full run" : "changes run");
    Sim.WithEngine([](Sim::TEngine &e) { e.Tables.Reset(); });
    auto editor = Open(tiDepartamente);
    ASSERT_TRUE(editor->Read(Progress).Ok);
    for (int32_t cod : {2, 5, 9}) ASSERT_EQ(Change(*editor, cod, "Nume", "NOU " + std::to_string(cod)), "");
    Sim::TFaults f;
    f.RefuseWrite = c.RefusedRecord;
    Faults(f);
    const TActionResult failed = c.Full ? editor->Program(Progress) : editor->ProgramChanges(Progress);
    EXPECT_FALSE(failed.Ok);
    EXPECT_EQ(editor->LastRowsSent(), c.Acknowledged);
    Faults({});
    // The rows the register took are known; the rest go now, nothing twice.
    ResetStats();
    const TActionResult r = editor->ProgramChanges(Progress);
    ASSERT_TRUE(r.Ok) << r.Text();
    EXPECT_EQ(Records(), c.Full ? 2u : 2u);
    ASSERT_TRUE(editor->Verify(Progress).Ok);
    EXPECT_TRUE(editor->LastVerify().Same());
  }
}

TEST_F(Changes, VerifyFindsWhatChangedBehindTheProjectsBackAndChangesNothing) {
  struct {
    TTableId Id;
    std::function<void(Sim::TRegisterTables &)> Edit;
    std::vector<std::string> Expected;
    int32_t Marked;  // a row (list row for the blocks) drawn marked
  } cases[] = {
      {tiDepartamente,
       [](Sim::TRegisterTables &t) {
         t.Depts[4].Nume = "HACK";
         t.Depts[4].TVA = 2;
         t.Depts[30] = t.Depts[1];
         t.Depts[30].Cod = 30;
         t.Depts.erase(20);
       },
       {"4 2 Nume:DEPARTAMENT 4/HACK TVA:1/2", "20 1", "30 0"}, 4},
      // O2 of a VAT group is reported but never sent: not a difference.
      {tiTVA, [](Sim::TRegisterTables &t) { t.Vats[1].O2 = 77, t.Vats[2].Cota = 5; }, {"2 2 Cota:900/5"}, 2},
      {tiCasieri, [](Sim::TRegisterTables &t) { t.Cashiers[3].Parola = "11111111"; },
       {"3 2 Parola:00000003/11111111"}, 3},
      {tiSP, [](Sim::TRegisterTables &t) { t.SysParams[2].P[20] = 9; }, {"2 2 P21:1/9"}, 4},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TableFileName(c.Id));
    Sim.WithEngine([](Sim::TEngine &e) { e.Tables.Reset(); });
    auto editor = Open(c.Id);
    ASSERT_TRUE(editor->Read(Progress).Ok);
    const std::string file = FileBytes(c.Id);
    Sim.WithEngine([&](Sim::TEngine &e) { c.Edit(e.Tables); });
    const TActionResult r = editor->Verify(Progress);
    ASSERT_TRUE(r.Ok) << r.Text();
    EXPECT_EQ(Described(editor->LastVerify()), c.Expected);
    EXPECT_EQ(FileBytes(c.Id), file);
    EXPECT_EQ(editor->RowColour(c.Marked), VerifyMarkColour);
    EXPECT_EQ(editor->RowColour(1), -1);
    if (auto *blocks = dynamic_cast<TBlockEditor *>(editor.get())) {
      // The list names the position and leads to its row.
      EXPECT_EQ(blocks->PositionTitle(2, "P21"), "P21 Nr. casa de marcat");
      EXPECT_EQ(blocks->ListRowOf(2, "P21"), c.Marked);
    }
    // The verify refreshed the image: programming the changes puts back
    // exactly the rows that differ (a row only in the register stays).
    ResetStats();
    ASSERT_TRUE(editor->ProgramChanges(Progress).Ok);
    EXPECT_EQ(Records(), c.Id == tiDepartamente ? 2u : 1u);
    EXPECT_EQ(editor->RowColour(c.Marked), -1);
  }
}

TEST_F(Changes, AFailedVerifyReportsNothingAndKeepsTheImage) {
  auto editor = Open(tiCurs);
  ASSERT_TRUE(editor->Read(Progress).Ok);
  const std::string image = ImageBytes(tiCurs);
  Sim::TFaults f;
  f.SilentAfterFrame = 1;
  Faults(f);
  const TActionResult r = editor->Verify(Progress);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Message, OperationFailedMessage);
  EXPECT_FALSE(editor->LastVerify().Done);
  EXPECT_EQ(ImageBytes(tiCurs), image);
}

namespace {

class ChangesCli : public Changes {
 protected:
  TRun Run(const QStringList &args) { return Tarvoctl(args); }
};

}  // namespace

TEST_F(ChangesCli, ExitStatusesAndWhatTheyPrint) {
  struct {
    QStringList Args;
    std::function<void()> Before;
    int Status;
    const char *Out;  // a line stdout holds; nullptr: stdout stays empty
    const char *Err;
  } cases[] = {
      {{"rate", "program", "--changed"}, nullptr, 1, nullptr, "tarvoctl --project P rate program"},
      {{"rate", "verify"}, nullptr, 1, "Cod 1: Prefix: project \".\", register \"E\"\n", "6 differences in 2 codes"},
      {{"rate", "program", "--changed"}, nullptr, 0, nullptr, "2 changed rows of 2 programmed"},
      {{"rate", "verify"}, nullptr, 0, nullptr, "holds the project's table"},
      {{"rate", "verify"},
       [this] { Sim.WithEngine([](Sim::TEngine &e) { e.Tables.Rates[2].Nume = "Dolar"; }); },
       1,
       "Cod 2: Nume: project \"...\", register \"Dolar\"\n",
       "1 difference in 1 code between"},
      {{"rate", "program", "--changed"}, nullptr, 0, nullptr, "1 changed row of 2"},
      {{"rate", "verify"}, [this] { SaveSerialSettings(Project, {5, 3}); }, 1, nullptr, "Nu pot deschide portul serial"},
      {{"rate", "program", "--all"}, nullptr, 2, nullptr, "usage:"},
      {{"rate", "verify", "x"}, nullptr, 2, nullptr, "usage:"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Args.join(' ').toStdString());
    if (c.Before) c.Before();
    const TRun r = Run(c.Args);
    EXPECT_EQ(r.Status, c.Status) << r.Err;
    if (c.Out) {
      EXPECT_NE(r.Out.find(c.Out), std::string::npos) << r.Out;
    } else {
      EXPECT_EQ(r.Out, "");
    }
    EXPECT_NE(r.Err.find(c.Err), std::string::npos) << r.Err;
  }
}

namespace {

// The same register and project, through the windows.
class ChangesWindow : public Changes {};

}  // namespace

TEST_F(ChangesWindow, WithoutAnImageTheWindowOffersTheFullRun) {
  for (int answer : {mrNo, mrYes}) {
    TMessageLog log(answer);
    TEcasieri w(WindowContext());
    w.show();
    ResetStats();
    w.BProgramChanges->click();
    ASSERT_FALSE(log.Shown.empty());
    EXPECT_EQ(log.Shown[0].Title, "Atentie");
    EXPECT_TRUE(log.Shown[0].Text.startsWith(QString::fromLatin1(NoImageMessage)));
    EXPECT_TRUE(log.Shown[0].Text.endsWith(QString::fromLatin1(ProgramAllQuestion)));
    EXPECT_EQ(log.Shown.size(), 1u);
    EXPECT_EQ(Records(), answer == mrYes ? 8u : 0u);
  }
  // Now the register is known: nothing to send, and the window says so.
  TMessageLog log;
  TEcasieri w(WindowContext());
  w.show();
  w.BProgramChanges->click();
  ASSERT_EQ(log.Shown.size(), 1u);
  EXPECT_EQ(log.Shown[0].Text, QString::fromLatin1(NothingChangedMessage));
}

TEST_F(ChangesWindow, VerifyListsTheDifferencesAndMarksTheRows) {
  TMessageLog log;
  TEdept w(WindowContext());
  w.show();
  w.BVerify->click();
  ASSERT_NE(w.EVerify, nullptr);
  EXPECT_TRUE(w.EVerify->isVisible());
  // Centred on its editor.
  EXPECT_LE((w.EVerify->frameGeometry().center() - w.frameGeometry().center()).manhattanLength(), 1);
  EXPECT_EQ(w.EVerify->List->rowCount(), 20);  // every name differs from the register's
  EXPECT_EQ(w.EVerify->List->item(3, 0)->text(), "4");
  EXPECT_EQ(w.EVerify->List->item(3, 1)->text(), "Nume");
  EXPECT_EQ(w.EVerify->List->item(3, 2)->text(), "DEPT 4");
  EXPECT_EQ(w.EVerify->List->item(3, 3)->text(), "DEPARTAMENT 4");
  EXPECT_EQ(w.Ds->data(w.Ds->index(3, 1), Qt::BackgroundRole).value<QBrush>().color(), QColor(VerifyMarkColour));
  // A double click goes to the row and cell in the editor.
  emit w.EVerify->List->cellDoubleClicked(3, 1);
  EXPECT_EQ(w.DBGrid1->currentIndex().row(), 3);
  EXPECT_EQ(w.DBGrid1->currentIndex().column(), 1);
  EXPECT_TRUE(log.Shown.empty());

  // Programmed: the list goes, and a verify finds the two alike.
  w.BProgramChanges->click();
  EXPECT_FALSE(w.EVerify->isVisible());
  EXPECT_FALSE(w.Ds->data(w.Ds->index(3, 1), Qt::BackgroundRole).isValid());
  w.BVerify->click();
  ASSERT_EQ(log.Shown.size(), 1u);
  EXPECT_EQ(log.Shown[0].Text, QString::fromLatin1(RegisterMatchesMessage));
  EXPECT_FALSE(w.EVerify->isVisible());
}

// The PLU editor's rules without the register: numbering of new rows, the
// code cell, the flags and their colours, the repeated-code check, and the
// PLU text file.
#include <fstream>
#include <sstream>

#include "AtomicFile.h"
#include "PluLogic.h"
#include "PluTestProject.h"
#include "ProjectTables.h"
#include "ScratchDir.h"

#include <unistd.h>

namespace {

using PluLogicTest = PluProject;

}  // namespace

TEST_F(PluLogicTest, NewRowsAreNumberedAfterTheHighestShortCode) {
  const struct {
    std::vector<TPluRow> Rows;
    std::vector<int64_t> Added;  // codes of three rows added in a row
  } cases[] = {
      {{}, {1, 2, 3}},
      {{{5}, {9}, {123456789}}, {10, 11, 12}},
      // Past 10000 every new row gets 10001: codes are not kept unique here.
      {{{10000}, {5941234567890}}, {10001, 10001, 10001}},
  };
  for (const auto &c : cases) {
    SavePlu(c.Rows);
    TPluLogic logic(Context);
    std::vector<int64_t> added;
    for (int i = 0; i < 3; ++i) {
      const int recNo = logic.Add();
      added.push_back(int64_t(logic.Table().AsFloat("Cod")));
      EXPECT_EQ(logic.Table().RecNo(), recNo);
    }
    EXPECT_EQ(added, c.Added);
  }

  SavePlu({{7}});
  TPluLogic logic(Context);
  const int recNo = logic.Add();
  const TRecordSet &t = logic.Table();
  EXPECT_EQ(t.AsString("CodAlfa"), "00000000000008");
  EXPECT_EQ(t.AsString("Nume"), "PLU 8");
  EXPECT_EQ(t.AsInteger("CodDep"), 1);
  EXPECT_EQ(t.AsInteger("CodUM"), 1);
  EXPECT_EQ(t.AsFloat("Pret1") + t.AsFloat("Pret2") + t.AsFloat("LinkPLU"), 0.0);
  EXPECT_EQ(t.AsString("Cantar"), " ");
  EXPECT_TRUE(t.AsBoolean("Nou"));
  EXPECT_EQ(logic.RowColour(recNo), 0x00FFFF);
  EXPECT_FALSE(logic.CellReadOnly(recNo, TPluLogic::colCodAlfa));
  EXPECT_EQ(logic.RowColour(1), -1);  // the row from the file
  EXPECT_TRUE(logic.CellReadOnly(1, TPluLogic::colCodAlfa));
  EXPECT_FALSE(logic.CellReadOnly(1, TPluLogic::colNume));
}

TEST_F(PluLogicTest, TheCodeCellTakesDigitsOnNewRowsAndIsPaddedToFourteen) {
  SavePlu({{5}, {900}});
  TPluLogic logic(Context);
  const int c = TPluLogic::colCodAlfa;
  const int recNo = logic.Add();  // 901, after 900
  EXPECT_TRUE(logic.AcceptsChar(c, '7'));
  EXPECT_FALSE(logic.AcceptsChar(c, 'a'));
  EXPECT_TRUE(logic.AcceptsChar(TPluLogic::colNume, 'a'));

  EXPECT_EQ(logic.SetCell(recNo, c, "12"), "");
  const TRecordSet &t = logic.Table();
  EXPECT_EQ(t.AsFloat("Cod"), 12);
  EXPECT_EQ(t.AsString("CodAlfa"), "00000000000012");
  EXPECT_EQ(Codes(t), (std::vector<int64_t>{5, 12, 900}));  // moved to its place
  EXPECT_EQ(t.RecNo(), 2);

  for (const char *bad : {"1a", "123456789012345", "-3"}) EXPECT_NE(logic.SetCell(2, c, bad), "") << bad;
  EXPECT_EQ(t.AsString("CodAlfa"), "00000000000012");
  EXPECT_EQ(logic.SetCell(2, c, "99999999999999"), "");
  EXPECT_EQ(logic.Table().AsFloat("Cod"), 99999999999999.0);
  EXPECT_EQ(logic.SetCell(3, c, ""), "");  // rows now 5, 900, 99999999999999
  EXPECT_EQ(logic.Table().AsString("CodAlfa"), "00000000000000");

  // The code of a row that is not new takes nothing, whoever types.
  EXPECT_NE(logic.SetCell(2, c, "1"), "");
  // The scale mark: "x", a blank or nothing.
  for (const char *good : {"x", " ", ""}) EXPECT_EQ(logic.SetCell(1, TPluLogic::colCantar, good), "") << good;
  for (const char *bad : {"X", "y", "xx"}) EXPECT_NE(logic.SetCell(1, TPluLogic::colCantar, bad), "") << bad;
  EXPECT_FALSE(logic.AcceptsChar(TPluLogic::colCantar, 'y'));
}

TEST_F(PluLogicTest, DeleteRemovesANewRowAndSwitchesTheMarkOfAnother) {
  SavePlu({{3}});
  TPluLogic logic(Context);
  const int added = logic.Add();
  logic.DeleteOrMark(added);
  EXPECT_EQ(Codes(logic.Table()), std::vector<int64_t>{3});

  logic.DeleteOrMark(1);
  EXPECT_TRUE(logic.Table().AsBoolean("Sters"));
  EXPECT_EQ(logic.RowColour(1), 0xF94444);
  logic.DeleteOrMark(1);
  EXPECT_FALSE(logic.Table().AsBoolean("Sters"));
  EXPECT_EQ(logic.RowColour(1), -1);

  // The command line's delete and undelete set the mark, they do not switch it.
  logic.SetDeletionMark(1, true);
  logic.SetDeletionMark(1, true);
  EXPECT_TRUE(logic.Table().AsBoolean("Sters"));
  logic.SetDeletionMark(1, false);
  EXPECT_FALSE(logic.Table().AsBoolean("Sters"));

  logic.ToggleScaleMark(1);
  EXPECT_EQ(logic.Table().AsString("Cantar"), "x");
  logic.ToggleScaleMark(1);
  EXPECT_EQ(logic.Table().AsString("Cantar"), "");
  EXPECT_EQ(FileCodes(), std::vector<int64_t>{3});  // none of this saves
}

TEST_F(PluLogicTest, RepeatedCodesAreReportedOncePerRepetition) {
  SavePlu({{4}, {4}, {6}, {4}, {8}, {8}});
  TPluLogic logic(Context);
  EXPECT_EQ(logic.RepeatedCodes(),
            (std::vector<std::string>{"00000000000004", "00000000000004", "00000000000008"}));
}

TEST_F(PluLogicTest, TheTextFileRoundTripsAndImportSkipsWhatItCannotTake) {
  SavePlu({{12, true}, {5941234567890, false, true, "x"}});
  {
    TPluLogic logic(Context);
    // Names with a code-page letter and an additional name; prices as typed.
    ASSERT_EQ(logic.SetCell(1, TPluLogic::colNume, "P\xE2ine"), "");
    logic.GridTable().SetRecNo(1);
    logic.GridTable().SetString("NumeAditional", "ALBA");
    logic.GridTable().Post();
    ASSERT_EQ(logic.SetCell(1, TPluLogic::colPret1, "12,5"), "");
    ASSERT_EQ(logic.SetCell(2, TPluLogic::colLinkPLU, "12"), "");
    ASSERT_TRUE(logic.SaveTextFile(Dir.Path() + "/plu.txt").Ok);
  }
  EXPECT_EQ(ReadFileBytes(Dir.Path() + "/plu.txt"),
            "00000000000012;P\xE2ine;ALBA;1;1;12,5;;\r\n"
            "05941234567890;ART5941234567890;;1;1;78,9;;12\r\n");

  // Into an empty project: the same PLUs, no flags, blank scale marks;
  // PLU.cds is left to the next programming run.
  ::unlink(ProjectTablePath(Project, tiPLU).c_str());
  TPluLogic fresh(Context);
  ASSERT_TRUE(fresh.ImportTextFile(Dir.Path() + "/plu.txt").Ok);
  EXPECT_EQ(FileCodes(), std::vector<int64_t>{});
  const TRecordSet &f = fresh.Table();
  ASSERT_EQ(Codes(f), (std::vector<int64_t>{12, 5941234567890}));
  fresh.GridTable().SetRecNo(1);
  EXPECT_EQ(f.AsString("Nume"), "P\xE2ine");
  EXPECT_EQ(f.AsString("NumeAditional"), "ALBA");
  EXPECT_EQ(f.AsFloat("Pret1"), 12.5);
  EXPECT_FALSE(f.AsBoolean("Nou") || f.AsBoolean("Sters"));
  EXPECT_EQ(f.AsString("Cantar"), " ");
  fresh.GridTable().SetRecNo(2);
  EXPECT_EQ(f.AsFloat("LinkPLU"), 12);

  // Lines a file may hold: too few fields, code 0, a code too long for the
  // register, a point for the decimal separator, quotes, CR alone.
  fresh.ToggleScaleMark(1);  // an existing row keeps its mark
  WriteFileAtomic(Dir.Path() + "/more.txt",
                  "12;\"Paine\";;2;1;7.25;0;0\r"
                  "13;a;b;1;1;1\n"
                  "0;zero;;1;1;1;1;0\n"
                  "123456789012345;lung;;1;1;1;1;0\r\n"
                  "abc;litere;;1;1;1;1;0\n"
                  "14;x;;1;1;2;3;0;in plus\n");
  ASSERT_TRUE(fresh.ImportTextFile(Dir.Path() + "/more.txt").Ok);
  ASSERT_EQ(Codes(f), (std::vector<int64_t>{12, 14, 5941234567890}));
  fresh.GridTable().SetRecNo(1);
  EXPECT_EQ(f.AsString("Nume"), "Paine");
  EXPECT_EQ(f.AsFloat("Pret1"), 7.25);
  EXPECT_EQ(f.AsInteger("CodDep"), 2);
  EXPECT_EQ(f.AsString("Cantar"), "x");

  const TActionResult missing = fresh.ImportTextFile(Dir.Path() + "/nu-exista.txt");
  EXPECT_FALSE(missing.Ok);
  EXPECT_NE(missing.Message.find("nu-exista.txt"), std::string::npos);
}

TEST_F(PluLogicTest, WhatIsStoredIsWhatIsSent) {
  SavePlu({{5}});
  TPluLogic logic(Context);
  using L = TPluLogic;
  // Refused cells keep their value; taken ones are what the record sends.
  const struct {
    int Column;
    const char *Typed;
    bool Taken;
  } cases[] = {{L::colPret1, "1,234", false}, {L::colPret1, "1,2345e1", false}, {L::colPret2, "0,005", false},
               {L::colPret1, "1,23", true},   {L::colPret2, "2,500", true},     {L::colLinkPLU, "4,97", false},
               {L::colLinkPLU, "12", true},   {L::colCodDep, "4,97", false},    {L::colCodUM, "1.5", false}};
  for (const auto &c : cases) {
    const std::string before = logic.CellText(1, c.Column);
    const std::string why = logic.SetCell(1, c.Column, c.Typed);
    EXPECT_EQ(why.empty(), c.Taken) << c.Typed << ": " << why;
    if (!c.Taken) {
      EXPECT_EQ(logic.CellText(1, c.Column), before) << c.Typed;
    }
  }
  const TPluFieldNos no(logic.Table());
  EXPECT_NE(PluRowRecord(no).Text(logic.Table(), 1).find(";1,23;2,50;"), std::string::npos);
  EXPECT_EQ(logic.CellText(1, L::colPret2), "2,5");
  // A unit the list lacks is offered as it is.
  logic.GridTable().SetRecNo(1);
  logic.GridTable().SetInteger("CodUM", 9);
  logic.GridTable().Post();
  EXPECT_EQ(logic.PickItems(1, L::colCodUM), (std::vector<std::string>{"9", "0", "1", "2", "3", "4", "5"}));

  // An import stores prices and links as they will be sent, for the grid to show.
  WriteFileAtomic(Dir.Path() + "/p.txt", "7;Apa;;1;1;1,234;2,675;4,97\r\n");
  ASSERT_TRUE(logic.ImportTextFile(Dir.Path() + "/p.txt").Ok);
  const int row = logic.FindCode(7);
  EXPECT_EQ(logic.CellText(row, L::colPret1), "1,23");
  EXPECT_EQ(logic.CellText(row, L::colPret2), "2,68");
  EXPECT_EQ(logic.CellText(row, L::colLinkPLU), "4");
}

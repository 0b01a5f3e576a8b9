// tarvoctl's table subcommands as a script sees them: the program copied
// into the scratch program directory (which it takes from where it lies),
// the simulator as the project's COM1.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "EditorEnv.h"
#include "RunProgram.h"
#include "Schemas.h"
#include "SerialSettings.h"

namespace {

class Cli : public EditorEnv {
 protected:
  TRun Run(const QStringList &args) { return Tarvoctl(args); }
};

}  // namespace

TEST_F(Cli, ReadSetProgramAndShowDoWhatTheEditorsDo) {
  TRun r = Run({"dept", "read"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("20 of 20 lines taken"), std::string::npos) << r.Err;
  r = Run({"dept", "set", "1", "Nume=Pâine", "TVA=2"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  r = Run({"dept", "program"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(SimLines("D5000")[0], "5000;1;\"P\xE2ine\";1;0;4;0;0;1256;0;2;0;0;0;0;0;0;0;0");
  r = Run({"dept", "show"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out.substr(0, r.Out.find('\n', r.Out.find('\n') + 1)),
            "Cod;Nume;UM;G;O1;O2;L;P1;P2;TVA\n1;Pâine;1;;4;;0;1256;;2");

  ASSERT_EQ(Run({"cashier", "set", "2", "Parola=42"}).Status, 0);
  EXPECT_NE(Run({"cashier", "show"}).Out.find("\n2;Operator 2;;;00000042\n"), std::string::npos);

  // Parameters: nothing to program or change before a read; then only the
  // described positions.
  ASSERT_EQ(Run({"param", "read"}).Status, 0);
  EXPECT_EQ(Run({"param", "set", "2", "P20=5"}).Status, 1);
  ASSERT_EQ(Run({"param", "set", "2", "P21=5"}).Status, 0);
  ASSERT_EQ(Run({"param", "program"}).Status, 0);
  EXPECT_EQ(SimLines("D16")[1].rfind("16;2;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;5;", 0), 0u) << SimLines("D16")[1];

  // --device stands in for the project's port.
  SaveSerialSettings(Project, {5, 3});
  EXPECT_EQ(Run({"rate", "read", "--device", QString::fromStdString(Sim.DevicePath())}).Status, 0);
}

TEST_F(Cli, RefusalsSayWhyAndChangeNothing) {
  struct {
    QStringList Args;
    int Status;
    const char *Says;
  } cases[] = {
      {{"dept", "set", "1", "O1=3"}, 1, "Coloana O1 nu poate fi modificata"},
      {{"dept", "set", "77", "Nume=x"}, 1, "no row with Cod 77"},
      {{"dept", "set", "1", "G=3"}, 1, "not a column"},
      {{"payment", "set", "1", "Nume=Привет"}, 1, "Windows-1250"},
      {{"cashier", "set", "1", "Parola=12a"}, 1, "doar cifre"},
      {{"rate", "set", "1", "Rata=4,97"}, 1, "nu este un numar intreg"},
      {{"dept", "set", "1", "UM=1.5"}, 1, "nu este un numar intreg"},
      {{"option", "program"}, 1, "Cititi mai intai"},
      {{"option", "set", "1", "P1=1"}, 1, "option read"},
      {{"dept"}, 2, "usage:"},
      {{"vat", "fly"}, 2, "usage:"},
      {{"vat", "show", "all"}, 2, "usage:"},
      {{"rate", "set", "x", "Rata=2"}, 2, "not a code"},
      {{"rate", "set", "1", "Rata"}, 2, "FIELD=VALUE"},
  };
  for (const auto &c : cases) {
    const TRun r = Run(c.Args);
    EXPECT_EQ(r.Status, c.Status) << c.Args.join(' ').toStdString() << "\n" << r.Err;
    EXPECT_NE(r.Err.find(c.Says), std::string::npos) << c.Args.join(' ').toStdString() << "\n" << r.Err;
  }
  for (TTableId id : {tiDepartamente, tiFormePlata, tiCasieri, tiSO}) EXPECT_EQ(FileBytes(id), "");

  Sim::TFaults f;
  f.RefuseWrite = 3;
  f.RefuseCode = 136;
  Faults(f);
  const TRun r = Run({"vat", "program"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("tarvoctl: Operatie nereusita!\n  Cod 3: COM1 (" + Dir.Path() +
                       "/sim): casa de marcat a refuzat: Lipsa cota TVA asociata PLU / Dept [136]\n"),
            std::string::npos)
      << r.Err;
  EXPECT_EQ(FileBytes(tiTVA), "");
}

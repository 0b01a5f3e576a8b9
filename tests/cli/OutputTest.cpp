// Output that does not arrive is a failure: every tarvoctl command that
// prints, with its stdout on a full device or on a pipe nobody reads, ends
// with status 1 and says so, and a Z report keeps the lines it could not
// print.
#include <gtest/gtest.h>

#include <functional>

#include <QDir>

#include "AtomicFile.h"
#include "ChildRun.h"
#include "ReportReader.h"
#include "SimProgramDir.h"

namespace {

class Output : public ::testing::Test {
 protected:
  void SetUp() override {
    Project = Env.MakeProject();
  }
  TChildRun Tarvoctl(const std::vector<std::string> &args, TStdout out) {
    std::vector<std::string> all{"--home", Env.Path(), "--project", "P", "--timeout", "500"};
    all.insert(all.end(), args.begin(), args.end());
    return RunChild(TARVOCTL_PATH, all, out);
  }
  // The files a Z report that could not be printed left in the project.
  std::vector<std::string> Kept() {
    std::vector<std::string> v;
    for (const QString &f : QDir(QString::fromStdString(Project)).entryList({"VanzariPLU-*.txt"}, QDir::Files))
      v.push_back(f.toStdString());
    return v;
  }

  TSimProgramDir Env;
  std::string Project;
};

}  // namespace

TEST_F(Output, EveryPrintingCommandFailsWhenItsOutputDoesNotArrive) {
  int created = 0;
  const struct {
    const char *Name;
    std::function<std::vector<std::string>()> Args;
  } commands[] = {
      {"--help", [] { return std::vector<std::string>{"--help"}; }},
      {"project create", [&] { return std::vector<std::string>{"project", "create", "Q" + std::to_string(created++)}; }},
      {"settings", [] { return std::vector<std::string>{"settings"}; }},
      {"ports", [] { return std::vector<std::string>{"ports"}; }},
      {"dept show", [] { return std::vector<std::string>{"dept", "show"}; }},
      {"plu show", [] { return std::vector<std::string>{"plu", "show"}; }},
      {"plu add", [] { return std::vector<std::string>{"plu", "add"}; }},
      {"scale show", [] { return std::vector<std::string>{"scale", "show"}; }},
      {"vat verify", [] { return std::vector<std::string>{"vat", "verify"}; }},
      {"plu verify", [] { return std::vector<std::string>{"plu", "verify"}; }},
      {"report payments", [] { return std::vector<std::string>{"report", "payments"}; }},
      {"read", [] { return std::vector<std::string>{"read", "D260", "--port", "3"}; }},
  };
  const struct {
    TStdout Out;
    const char *Says;
  } outs[] = {{TStdout::DevFull, "tarvoctl: cannot write the output: No space left on device\n"},
              {TStdout::ClosedPipe, "tarvoctl: cannot write the output: Broken pipe\n"}};
  for (const auto &c : commands) {
    // It does print something when its output can go somewhere.
    const TChildRun fine = Tarvoctl(c.Args(), TStdout::File);
    EXPECT_NE(fine.Out, "") << c.Name << "\n" << fine.Err;
    EXPECT_EQ(fine.Err.find("cannot write"), std::string::npos) << c.Name << "\n" << fine.Err;
    for (const auto &o : outs) {
      const TChildRun r = Tarvoctl(c.Args(), o.Out);
      EXPECT_EQ(r.Signal, 0) << c.Name;
      EXPECT_EQ(r.Status, 1) << c.Name << "\n" << r.Err;
      EXPECT_NE(r.Err.find(o.Says), std::string::npos) << c.Name << "\n" << r.Err;
    }
  }
  // A command that prints nothing may run with its stdout closed.
  EXPECT_EQ(RunChild("/bin/sh", {"-c", std::string(TARVOCTL_PATH) + " --home " + Env.Path() +
                                           " --project P dept set 1 Nume=X >&-"})
                .Status,
            0);
}

TEST_F(Output, AZReportThatCannotBePrintedIsKeptInTheProject) {
  for (TStdout out : {TStdout::DevFull, TStdout::ClosedPipe}) {
    const TLineList sales = Env.Report("RSZ000004");
    const size_t before = Kept().size();
    const TChildRun r = Tarvoctl({"report", "plu-sales", "--yes"}, out);
    EXPECT_EQ(r.Status, 1) << r.Err;
    ASSERT_EQ(Kept().size(), before + 1) << r.Err;  // never over an earlier one
    std::string path;
    for (const std::string &k : Kept())
      if (r.Err.find(Project + "/" + k) != std::string::npos) path = Project + "/" + k;
    ASSERT_NE(path, "") << r.Err;
    EXPECT_EQ(ReadFileBytes(path), JoinLinesCrLf(sales));
    EXPECT_NE(r.Err.find("tarvoctl: cannot write the output: "), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("the Z report is archived in " + path), std::string::npos) << r.Err;
  }
}

#include "SimFixture.h"

void SimFixture::SetUp() {
  std::string err;
  ASSERT_TRUE(FSim.Start(FDir + "/COM1", err)) << err;
  FSim.WithEngine([](Sim::TEngine &e) { e.SetReportClock("09-12-2026", "08:30:00"); });
}

void SimFixture::TearDown() {
  FSim.Stop();
}

std::unique_ptr<TTARVO> SimFixture::Link(bool writeMode, int silenceMs) {
  auto link = std::make_unique<TTARVO>(writeMode, silenceMs);
  link->DevicePath = FSim.DevicePath();
  EXPECT_TRUE(link->Connect()) << link->LastError() << " " << link->LastPortMessage();
  return link;
}

std::vector<std::string> SimFixture::Expected(const std::string &command) {
  return FSim.WithEngine([&](Sim::TEngine &e) {
    std::vector<std::string> lines;
    if (!e.Tables.ReadTable(command, lines)) {
      Sim::TReportEffect effect;
      e.Sales.Report(command, e.Tables, "09-12-2026", "08:30:00", lines, effect);
    }
    return lines;
  });
}

std::vector<std::string> SimFixture::ReadOk(const std::string &command) {
  auto link = Link(false);
  TLineList lines;
  EXPECT_TRUE(link->ReadLines(command, lines)) << command << ": " << link->LastError();
  return lines;
}

void SimFixture::ExpectPortFree() {
  Faults({});
  FSim.WithEngine([](Sim::TEngine &e) { e.ClearOverrides(); });
  EXPECT_EQ(ReadOk("D1200"), Expected("D1200"));
}

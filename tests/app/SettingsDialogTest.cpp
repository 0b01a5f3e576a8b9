#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

#include "AppTestSupport.h"
#include "MainWindow.h"
#include "ProjectTables.h"
#include "RegisterLink.h"
#include "SettingsDialog.h"
#include "TableFile.h"
#include "TarvoCore.h"

namespace {

using TRows = std::vector<std::pair<int, int>>;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir(Dir.Path()).mkdir("P"));
    Window.SetCurrentProject("P");
    File = Window.ProjectDirPath() + "/setari.cds";
    // Every COM port of these tests leads nowhere, whatever the machine has;
    // COM5 to a device server's address, which is shown as written.
    QFile ini(Dir.Path() + "TARVOPROG.INI");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    for (int n = 1; n <= 255; ++n)
      ini.write(QStringLiteral("%1COM%2=%3\r\n")
                    .arg(n == 1 ? "[Porturi]\r\n" : "")
                    .arg(n)
                    .arg(n == 5 ? QStringLiteral("rfc2217://10.0.0.5:4001") : QStringLiteral("/nonexistent/tty%1").arg(n))
                    .toLatin1());
  }

  void Write(const TRows &rows, const char *port = "Port", const char *baud = "Baud") {
    TRecordSet rs({{port, ftInteger, 0}, {baud, ftInteger, 0}});
    for (auto [p, b] : rows) {
      rs.Append();
      rs.SetInteger(0, p);
      rs.SetInteger(1, b);
      rs.Post();
    }
    SaveTableFile(File, rs);
  }
  TRows Read() {
    TRecordSet rs = LoadTableFile(File);
    TRows rows;
    for (rs.First(); !rs.Eof(); rs.Next()) {
      rows.emplace_back(rs.AsInteger("Port"), rs.AsInteger("Baud"));
    }
    return rows;
  }
  // Opens "Setari", notes what the dialog shows, then lets act close it.
  void OpenSettings(std::function<void(TESetari *)> act) {
    Shown = false;
    auto watch = WhenModal("ESetari", [this, act](QWidget *w) {
      auto *d = static_cast<TESetari *>(w);
      Shown = true;
      ShownPort = d->PortIndex();
      ShownRate = d->RateIndex();
      act(d);
    });
    Window.findChild<QAction *>("Setari1")->trigger();
  }

  TScratchProgramDir Dir;
  TMessageLog Log;
  TEmainZeprog Window;
  // Opens link as a register action of the window's project does.
  bool OpenLink(TTARVO &link) {
    Failure = {};
    return ::OpenProjectLink(link, Window.ProjectDirPath(), TLinkOptions{}, Failure);
  }
  TActionResult Failure;
  std::string File;
  bool Shown = false;
  int ShownPort = -1, ShownRate = -1;
};

}  // namespace

TEST_F(SettingsTest, FirstOpeningWritesComOneAt57600EvenWhenCancelled) {
  OpenSettings([](TESetari *d) {
    EXPECT_EQ(d->windowTitle(), "Setari comunicatie seriala");
    EXPECT_EQ(d->CPORT->count(), 16);
    EXPECT_EQ(d->CPORT->itemText(11), " 12");
    EXPECT_EQ(d->size(), QSize(316, 144));
    d->BStop->click();
  });
  EXPECT_TRUE(Shown);
  EXPECT_EQ(ShownPort, 0);
  EXPECT_EQ(ShownRate, 2);
  EXPECT_EQ(Read(), (TRows{{1, 3}}));
  EXPECT_EQ(ESetari, nullptr);

  // The register action that follows opens COM1 at 57600.
  TTARVO link(false);
  link.PortBaud = br19200;
  EXPECT_FALSE(OpenLink(link));
  EXPECT_EQ(link.PortNumber, 1);
  EXPECT_EQ(link.PortBaud, br57600);
  EXPECT_TRUE(Log.Shown.empty());
}

TEST_F(SettingsTest, OkStoresTheChosenPortAndRateAsTheOnlyRecord) {
  // Field names in another letter case are the same fields.
  Write({{5, 2}, {7, 1}, {9, 3}}, "PORT", "baud");
  OpenSettings([](TESetari *d) {
    d->CPORT->setCurrentIndex(11);  // " 12"
    QTest::mouseClick(d->RRataItems[0], Qt::LeftButton);  // "19200"
    QTest::mouseClick(d->BStart, Qt::LeftButton);
  });
  EXPECT_EQ(ShownPort, 4);  // the first record is the current one
  EXPECT_EQ(ShownRate, 1);
  EXPECT_EQ(Read(), (TRows{{12, 1}}));

  OpenSettings([](TESetari *d) { d->BStop->click(); });
  EXPECT_EQ(ShownPort, 11);
  EXPECT_EQ(ShownRate, 0);

  TTARVO link(false);
  EXPECT_FALSE(OpenLink(link));  // COM12 leads nowhere here
  EXPECT_EQ(link.PortNumber, 12);
  EXPECT_EQ(link.PortBaud, br19200);
  EXPECT_FALSE(link.LastError().empty());
}

TEST_F(SettingsTest, OutOfRangeValuesShowTheDefaultsAndTheLinkTakesThemAsTheyAre) {
  Write({{300, 9}});
  OpenSettings([](TESetari *d) { d->BStop->click(); });
  EXPECT_EQ(ShownPort, 0);
  EXPECT_EQ(ShownRate, 2);
  EXPECT_EQ(Read(), (TRows{{300, 9}}));  // Renunt leaves the file alone

  TTARVO link(false);
  link.PortBaud = br38400;
  EXPECT_FALSE(OpenLink(link));
  EXPECT_EQ(link.PortNumber, 300 & 0xFF);
  EXPECT_EQ(link.PortBaud, br38400);  // an unknown rate keeps the link's own

  Write({{3, 2}});
  EXPECT_FALSE(OpenLink(link));
  EXPECT_EQ(link.PortNumber, 3);
  EXPECT_EQ(link.PortBaud, br38400);
}

TEST_F(SettingsTest, MissingFileMakesEveryRegisterActionFailWithItsMessage) {
  TTARVO link(false);
  link.PortNumber = 7;
  EXPECT_FALSE(OpenLink(link));
  EXPECT_EQ(Failure.Notice, "Nu ai setat parametrii de comunicatie seriala !\r");
  EXPECT_EQ(link.PortNumber, 7);  // untouched
}

TEST_F(SettingsTest, DamagedFileIsReportedAndNeverOverwritten) {
  const QByteArray junk = "acesta nu este un tabel\n";
  {
    QFile f(QString::fromStdString(File));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(junk);
  }
  OpenSettings([](TESetari *d) { d->BStart->click(); });
  EXPECT_FALSE(Shown);
  ASSERT_EQ(Log.Shown.size(), 1u);
  EXPECT_TRUE(Log.Shown[0].Text.startsWith("Nu pot citi fisierul")) << Log.Shown[0].Text.toStdString();
  EXPECT_EQ(Log.Shown[0].Title, "Eroare");

  TTARVO link(false);
  link.PortNumber = 7;
  EXPECT_FALSE(OpenLink(link));
  EXPECT_FALSE(Failure.Reason.empty());
  EXPECT_EQ(link.PortNumber, 7);

  QFile f(QString::fromStdString(File));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), junk);
}

TEST_F(SettingsTest, AFileWithoutTheFieldsIsReplacedOnOk) {
  TRecordSet rs({{"Altceva", ftInteger, 0}});
  rs.Append();
  rs.SetInteger(0, 4);
  rs.Post();
  SaveTableFile(File, rs);
  OpenSettings([](TESetari *d) {
    d->CPORT->setCurrentIndex(1);
    d->BStart->click();
  });
  EXPECT_TRUE(Log.Shown.empty()) << Log.Shown[0].Text.toStdString();
  EXPECT_EQ(ShownPort, 0);
  EXPECT_EQ(Read(), (TRows{{2, 3}}));
}

TEST_F(SettingsTest, AFailedSaveIsReportedAndLosesNothing) {
  SetTableSaveHook([](const std::string &) { throw std::runtime_error("disc plin"); });
  // Creating the file fails: the message, and no dialog over a file that is not there.
  OpenSettings([](TESetari *d) { d->BStop->click(); });
  EXPECT_FALSE(Shown);
  ASSERT_EQ(Log.Shown.size(), 1u);
  EXPECT_TRUE(Log.Shown[0].Text.startsWith("Nu pot salva fisierul")) << Log.Shown[0].Text.toStdString();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(File)));

  // Saving on OK fails: the dialog stays open with the choice, the file keeps its record.
  SetTableSaveHook({});
  Write({{4, 1}});
  SetTableSaveHook([](const std::string &) { throw std::runtime_error("disc plin"); });
  bool openAfterOk = false;
  OpenSettings([&](TESetari *d) {
    d->CPORT->setCurrentIndex(8);
    d->BStart->click();
    openAfterOk = d->isVisible();
    SetTableSaveHook({});
    d->BStart->click();
  });
  SetTableSaveHook({});
  EXPECT_TRUE(openAfterOk);
  EXPECT_EQ(Log.Shown.size(), 2u);
  EXPECT_EQ(Read(), (TRows{{9, 1}}));
}

// A settings file from elsewhere may hold text where a number belongs: the
// dialog opens with its defaults and a register action fails to open the
// port instead of stopping on an error nobody can act on.
TEST_F(SettingsTest, TextWhereANumberBelongsCountsAsOutOfRange) {
  TRecordSet rs({{"Port", ftString, 10}, {"Baud", ftString, 10}});
  rs.Append();
  rs.SetString(0, "COM3");
  rs.SetString(1, "rapid");
  rs.Post();
  SaveTableFile(File, rs);
  OpenSettings([](TESetari *d) { d->BStop->click(); });
  EXPECT_TRUE(Shown);
  EXPECT_EQ(ShownPort, 0);
  EXPECT_EQ(ShownRate, 2);

  TTARVO link(false);
  EXPECT_FALSE(OpenLink(link));
  EXPECT_EQ(link.PortNumber, 0);
  EXPECT_EQ(link.PortBaud, br57600);
}

TEST_F(SettingsTest, TheDeviceOfTheChosenPortIsShownBesideIt) {
  Write({{12, 3}});
  QString first, second, text, url;
  bool inside = false;
  OpenSettings([&](TESetari *d) {
    auto *label = d->findChild<QLabel *>("LPortDevice");
    ASSERT_TRUE(label);
    first = label->toolTip();
    d->CPORT->setCurrentIndex(4);
    url = label->toolTip() + " " + label->text();
    d->CPORT->setCurrentIndex(2);
    second = label->toolTip();
    text = label->text();
    inside = QRect(QPoint(0, 0), d->size()).contains(label->geometry()) &&
             !label->geometry().intersects(d->CPORT->geometry());
    EXPECT_EQ(d->size(), QSize(316, 144));
    d->BStop->click();
  });
  EXPECT_EQ(first, "/nonexistent/tty12");
  EXPECT_EQ(second, "/nonexistent/tty3");
  EXPECT_EQ(url, "rfc2217://10.0.0.5:4001 10.0.0.5:4001");  // the address, when the URL does not fit
  EXPECT_TRUE(text.endsWith("tty3")) << text.toStdString();  // shortened in the middle, if at all
  EXPECT_TRUE(inside);
}

// tarvoctl's raw link subcommands as a script sees them: output, messages and
// exit status.
#include <gtest/gtest.h>

#include <QProcess>

#include "Frame.h"
#include "RunProgram.h"
#include "ScriptedPeer.h"

using namespace Frame;

namespace {

TRun Tarvoctl(const QStringList &args) { return RunProgram(TARVOCTL_PATH, args, 20000); }

}  // namespace

TEST(Tarvoctl, ReadWriteAndCommandOverALine) {
  TPtyScriptedPeer peer;
  peer.Start([](const std::string &f, TScriptedPeer &p) {
    const std::string text = f.substr(2, f.size() - 6);
    if (text == "D5000") p.Send(EncodeAnswer(std::string("1;\"Pa\0ne\"", 9)));
    else if (f == AckFrame()) p.Send(EncodeAnswer("\x06"));
    else if (text == "U16;1;") p.Send(AckFrame());
    // anything else goes unanswered
  });
  const QString dev = QString::fromStdString(peer.Device());

  TRun r = Tarvoctl({"read", "D5000", "--device", dev, "--timeout", "300"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, std::string("1;\"Pa\0ne\"\n", 10));  // bytes as received

  // The shared options stand anywhere on the line.
  r = Tarvoctl({"--device", dev, "--timeout", "300", "write", "U16;1;", "--baud", "19200"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  r = Tarvoctl({"write", "U17;1;", "--device", dev, "--timeout", "300"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("tarvoctl: 8000;Time out\n  " + dev.toStdString() +
                       ": casa de marcat nu a raspuns 300 ms; verificati cablul si ca ea este pornita [8000]\n"),
            std::string::npos)
      << r.Err;
  r = Tarvoctl({"command", "CPX", "--device", dev, "--timeout", "300"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  peer.Stop();
  EXPECT_NE(peer.Wire().find(EncodeRequest("CPX")), std::string::npos);
}

TEST(Tarvoctl, UsageAndPortErrors) {
  for (const QStringList &bad : {QStringList{}, QStringList{"read"}, QStringList{"fly", "x"},
                                 QStringList{"read", "D5000", "--baud", "9600"},
                                 QStringList{"read", "D5000", "--port", "0"},
                                 QStringList{"read", "D5000", "--port"},
                                 QStringList{"read", "D5000", "--device", "/dev/x", "--port", "2"},
                                 QStringList{"read", "D5000", "D260"},
                                 QStringList{"read", "D5000", "--colour"}}) {
    const TRun r = Tarvoctl(bad);
    EXPECT_EQ(r.Status, 2) << bad.join(' ').toStdString();
    EXPECT_NE(r.Err.find("usage:"), std::string::npos) << bad.join(' ').toStdString();
  }
  const TRun r = Tarvoctl({"read", "D5000", "--device", "/nonexistent/ttyX"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("8045;Nu pot deschide portul serial"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("\n  /nonexistent/ttyX: portul nu exista [8045, errno 2]\n"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("TARVOPROG.INI"), std::string::npos) << r.Err;
}

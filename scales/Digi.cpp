#include "Digi.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include "AtomicFile.h"
#include "ScaleSettings.h"
#include "TextHelpers.h"

namespace {

QString Local(const std::string &bytes) { return QString::fromLocal8Bit(bytes.c_str()); }

// The first bytes of a Windows program.
bool IsWindowsProgram(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  return f.read(2) == "MZ";
}

struct TDriverCommand {
  QString Program;
  QStringList Arguments;
  std::string Problem;
};

TDriverCommand DriverCommand(const std::string &workDir, const std::vector<std::string> &scales) {
  TDriverCommand c;
  const QString driver = Local(workDir + DriverFileName);
  QStringList words{QStringLiteral("WR"), QStringLiteral("37")};
  for (const std::string &s : scales) words << Local(s);
  if (IsWindowsProgram(driver)) {
    c.Program = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (c.Program.isEmpty()) {
      c.Problem = std::string("Nu pot rula ") + DriverFileName +
                  ": este un program Windows si wine nu este instalat (pachetul wine).";
      return c;
    }
    c.Arguments = QStringList{driver} + words;
    return c;
  }
  if (!QFileInfo(driver).isExecutable()) {
    c.Problem = std::string("Nu pot rula ") + workDir + DriverFileName +
                ": nu este un program Windows (MZ) si nu are drept de executie.";
    return c;
  }
  c.Program = driver;
  c.Arguments = words;
  return c;
}

}  // namespace

TDigi::TDigi(std::string workDir) : FWorkDir(std::move(workDir)) {
  if (FWorkDir.empty() || FWorkDir.back() != '/') FWorkDir += '/';
}

std::string TDigi::DataFilePath(const std::string &address) const {
  return FWorkDir + "SM" + address + DataFileName;
}

std::string TDigi::DataText() const {
  std::string text;
  size_t size = 0;
  for (const TDPLuRecord &r : FRecords) size += size_t(r.Length()) * 2;
  text.reserve(size);
  for (const TDPLuRecord &r : FRecords) text += r.Text();
  return text;
}

bool TDigi::WriteDataFiles(std::string *reason) const {
  // The directory without its trailing separator must exist.
  std::string dir = FWorkDir;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (!QFileInfo(Local(dir)).isDir()) {
    if (reason) *reason = "Directorul " + dir + " nu exista";
    return false;
  }
  const std::string text = DataText();
  int written = 0;
  for (const std::string &scale : Scales) {
    // An address that would leave the directory is never a file name here,
    // whoever filled the list.
    if (const std::string problem = ScaleAddressProblem(scale); !problem.empty()) {
      if (reason) *reason = problem;
      break;
    }
    try {
      WriteFileAtomic(DataFilePath(scale), text);
      ++written;
    } catch (const EFileWrite &e) {
      if (reason) *reason = e.what();
      break;
    }
  }
  return written > 0;
}

std::string TDigi::CommandLine() const {
  std::string line = std::string(DriverFileName) + " WR 37 " + " ";
  for (const std::string &s : Scales) line += s + " ";
  return line;
}

std::string TDigi::DriverProblem() const {
  if (!QFileInfo::exists(Local(FWorkDir + DriverFileName)))
    return std::string("Nu gasesc fisierul driver \r") + FWorkDir + DriverFileName;
  return DriverCommand(FWorkDir, Scales).Problem;
}

TDigi::TDriverResult TDigi::RunDriver(std::string *reason) const {
  const TDriverCommand command = DriverCommand(FWorkDir, Scales);
  if (!command.Problem.empty()) {
    if (reason) *reason = command.Problem;
    return drCannotRun;
  }
  // A result left by an earlier run would report that run's outcome as
  // this one's.
  const QString resultPath = Local(FWorkDir + DriverResultFile);
  if (QFileInfo::exists(resultPath) && !QFile::remove(resultPath)) {
    if (reason) *reason = "Nu pot sterge fisierul " + FWorkDir + DriverResultFile + " ramas de la o transmisie anterioara";
    return drCannotRun;
  }

  QProcess driver;
  driver.setProgram(command.Program);
  driver.setArguments(command.Arguments);
  driver.setWorkingDirectory(Local(FWorkDir));
  driver.setStandardInputFile(QProcess::nullDevice());
  driver.setProcessChannelMode(QProcess::ForwardedChannels);
  if (QCoreApplication::instance()) {
    // Waiting in an event loop keeps the window painted; its action guard
    // keeps clicks meanwhile from starting anything.
    QEventLoop loop;
    QObject::connect(&driver, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&driver, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError e) {
      if (e == QProcess::FailedToStart) loop.quit();
    });
    driver.start();
    if (driver.state() != QProcess::NotRunning) loop.exec();
  } else {
    driver.start();
    driver.waitForFinished(-1);
  }
  if (driver.error() == QProcess::FailedToStart) {
    if (reason) *reason = "Nu pot porni " + command.Program.toStdString() + ": " + driver.errorString().toStdString();
    return drFailed;
  }

  QFile result(resultPath);
  if (!result.open(QIODevice::ReadOnly)) {
    if (reason) *reason = std::string("Driverul nu a lasat fisierul ") + DriverResultFile;
    return drFailed;
  }
  // Only the first line counts; it is short, so a huge file is not read whole.
  const TLineList lines = SplitTextLines(result.read(64 * 1024).toStdString());
  if (!lines.empty() && lines.front().find(":0") != std::string::npos) return drSucceeded;
  if (reason) *reason = std::string("Fisierul ") + DriverResultFile + ": " + (lines.empty() ? "" : lines.front());
  return drFailed;
}

// Runs a program as a script would and keeps what it said: its exit status
// (-1 when it crashed or did not end in time), stdout and stderr.
#pragma once

#include <string>

#include <QProcess>
#include <QString>
#include <QStringList>

struct TRun {
  int Status = -1;
  std::string Out, Err;
};

inline TRun RunProgram(const QString &program, const QStringList &args, int timeoutMs = 30000) {
  QProcess p;
  p.start(program, args);
  TRun r;
  if (!p.waitForFinished(timeoutMs)) {
    p.kill();
    p.waitForFinished(1000);
    return r;
  }
  r.Status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.Out = p.readAllStandardOutput().toStdString();
  r.Err = p.readAllStandardError().toStdString();
  return r;
}

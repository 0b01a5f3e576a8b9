#include "OnlineMode.h"

#include <cstdio>

#include <QFile>
#include <QTimer>

#include "CommandProcessor.h"
#include "ProgramDir.h"
#include "RegisterSlot.h"
#include "StampedLogLine.h"

namespace {

QString StatusWords(const TWorkDirStatus &status) {
  const QString dir = QFile::decodeName(QByteArray::fromStdString(status.Dir));
  switch (status.State) {
    case TWorkDirState::Off:
      return QStringLiteral("Mod de lucru online oprit");
    case TWorkDirState::Working:
      return QStringLiteral("Director lucru: ") + dir;
    case TWorkDirState::Taken:
      return QStringLiteral("Director lucru ocupat de alt program: ") + dir;
    case TWorkDirState::Inaccessible:
      return QStringLiteral("Nu pot accesa directorul ") + dir + QStringLiteral(": ") +
             QString::fromUtf8(status.Reason.c_str());
  }
  return {};
}

}  // namespace

TOnlineMode::TOnlineMode(TRegisterSlot &slot, QObject *parent) : QObject(parent), FTimer(new QTimer(this)) {
  // The processor asks for the settings before each command file, so a
  // change in the dialog takes effect with the next one.
  TProcessorOptions options;
  options.Slot = &slot;
  FProcessor = std::make_unique<TCommandProcessor>([this] { return FSettings; }, options);
  FProcessor->OnStatus = [this](const TWorkDirStatus &) { Changed(); };
  // No window and no message box: what the processor did is told on stderr
  // (a terminal or the session's journal) and in its result files.
  FProcessor->OnLog = [](const std::string &line) {
    std::fprintf(stderr, "%s\n", StampedLogLine("online", line).c_str());
  };
  FTimer->setObjectName(QStringLiteral("TprocessorTimer"));
  FTimer->setInterval(1000);
  connect(FTimer, &QTimer::timeout, this, [this] { Tick(); });
  FSettings.DirectorLucru = ProgramDirectory();
  Changed();
}

TOnlineMode::~TOnlineMode() = default;

void TOnlineMode::Changed() {
  const TWorkDirStatus &status = FProcessor->Status();
  FStatusText = StatusWords(status);
  FWorking = status.State == TWorkDirState::Working;
  if (OnChanged) OnChanged();
}

void TOnlineMode::SetActive(bool on) {
  FActive = on;
  FSettings.OnlineActiv = on;
  if (on) {
    FTimer->start();
    FProcessor->Claim();
  } else {
    FTimer->stop();
    FProcessor->Release();
  }
  Changed();
}

void TOnlineMode::ChangeSettings(const TOnlineSettings &edited) {
  FSettings.PortOnline = edited.PortOnline;
  FSettings.BaudRateOnline = edited.BaudRateOnline;
  FSettings.DirectorLucru = edited.DirectorLucru;
  Save();
  // A new work directory is claimed at once, so the menu tells straight
  // away whether another processor holds it.
  if (FActive) FProcessor->Claim();
  Changed();
}

void TOnlineMode::Load() {
  TOnlineSettings loaded;
  std::string error;
  // A missing file or missing keys give the defaults without a word; a file
  // that cannot be read is not replaced later (SaveOnlineSettings refuses).
  if (!::LoadOnlineSettings(loaded, &error))
    std::fprintf(stderr, "%s: %s\n", TarvoIniPath().c_str(), error.c_str());
  FSettings = loaded;
  SetActive(loaded.OnlineActiv);
}

void TOnlineMode::Save() {
  FSettings.OnlineActiv = FActive;
  ::SaveOnlineSettings(FSettings);
}

void TOnlineMode::Stop() {
  FTimer->stop();
  FProcessor->RequestStop();
}

void TOnlineMode::Tick() {
  // The processor answers every failure in a result file and its log; no
  // message box may come from here.
  try {
    FProcessor->Tick();
  } catch (...) {
  }
}

// The window program's online mode: the command-file processor, the 1000 ms
// timer that gives it its ticks, the settings it works with (section
// [Configurari] of TARVOPROG.INI) and the words the menu shows for its
// state. The main window holds one and shows it in its two "Mod de lucru
// online" menus; command files take the program's register slot like any
// other register action.
#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QString>

#include "OnlineSettings.h"

class QTimer;
class TCommandProcessor;
class TRegisterSlot;

class TOnlineMode : public QObject {
 public:
  TOnlineMode(TRegisterSlot &slot, QObject *parent = nullptr);
  ~TOnlineMode() override;

  bool Active() const { return FActive; }
  // Starts or stops the ticks; the work directory is claimed at once (or let
  // go, after a command file in progress), so the menu can say at once
  // whether another processor holds it.
  void SetActive(bool on);
  // PortOnline, BaudRateOnline, DirectorLucru: what the next command file uses.
  const TOnlineSettings &Settings() const { return FSettings; }
  // The dialog's port, rate and directory, saved and in force from the next
  // command file; online mode stays as it is.
  void ChangeSettings(const TOnlineSettings &edited);
  // TARVOPROG.INI read (a file that cannot be read is said on stderr and is
  // not replaced later), and online mode switched as it says.
  void Load();
  void Save();
  // The window closes: no further command file; the one running is
  // finished and answered first.
  void Stop();

  TCommandProcessor &Processor() { return *FProcessor; }
  QTimer *Timer() const { return FTimer; }
  // What the menu shows: the work directory and whether this window works
  // it; Working is false while another processor holds it.
  const QString &StatusText() const { return FStatusText; }
  bool Working() const { return FWorking; }
  // Called after the state or the status changed.
  std::function<void()> OnChanged;

 private:
  void Tick();
  void Changed();

  TOnlineSettings FSettings;
  std::unique_ptr<TCommandProcessor> FProcessor;
  QTimer *FTimer;
  bool FActive = false;
  QString FStatusText;
  bool FWorking = false;
};

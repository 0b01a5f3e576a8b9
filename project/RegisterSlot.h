// The one register action of a program at a time. Whatever talks to the
// register from a window or the online mode (an editor's read, programming
// run or verify, a report, a command file) holds the slot while it runs;
// whatever could start another one (the main window's menus, the editors'
// register buttons, the online timer) watches it and stands aside until it
// is free again. The command line runs one action per process and a
// service queues per register, so neither needs it.
//
// One thread: the one the windows run on.
#pragma once

#include <functional>
#include <map>
#include <string>

class TRegisterSlot {
 public:
  using TWatcher = std::function<void()>;

  bool Busy() const { return !FHolder.empty(); }
  // What holds it, as the user knows it ("Fisier departamente", "Mod de lucru
  // online"); "" while free.
  const std::string &Holder() const { return FHolder; }

  // Takes the slot for holder (not empty); false while another holds it.
  bool Take(const std::string &holder);
  void Give();

  // fn is called after every change; the number given back ends the watch.
  int Watch(TWatcher fn);
  void Unwatch(int id);

 private:
  void Tell();
  std::string FHolder;
  std::map<int, TWatcher> FWatchers;
  int FNextId = 1;
};

// What a window says when the register is taken after all (a command file
// started while the user answered a question), in the register's code page.
std::string RegisterBusyMessage(const std::string &holder);

// Holds the slot for a scope when it could be taken.
class TRegisterTurn {
 public:
  // slot may be null: then there is nothing to take and the turn is had.
  TRegisterTurn(TRegisterSlot *slot, const std::string &holder)
      : FSlot(slot && slot->Take(holder) ? slot : nullptr), FHad(!slot || FSlot) {}
  ~TRegisterTurn() {
    if (FSlot) FSlot->Give();
  }
  TRegisterTurn(const TRegisterTurn &) = delete;
  TRegisterTurn &operator=(const TRegisterTurn &) = delete;
  bool Had() const { return FHad; }

 private:
  TRegisterSlot *FSlot;
  bool FHad;
};

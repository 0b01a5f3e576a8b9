#include "RegisterSlot.h"

#include <vector>

bool TRegisterSlot::Take(const std::string &holder) {
  if (Busy()) return false;
  FHolder = holder.empty() ? std::string("?") : holder;
  Tell();
  return true;
}

void TRegisterSlot::Give() {
  if (!Busy()) return;
  FHolder.clear();
  Tell();
}

int TRegisterSlot::Watch(TWatcher fn) {
  const int id = FNextId++;
  FWatchers.emplace(id, std::move(fn));
  return id;
}

void TRegisterSlot::Unwatch(int id) { FWatchers.erase(id); }

void TRegisterSlot::Tell() {
  // A watcher may end its own watch (a window closing) while being told.
  std::vector<int> ids;
  for (const auto &w : FWatchers) ids.push_back(w.first);
  for (const int id : ids) {
    const auto it = FWatchers.find(id);
    if (it == FWatchers.end()) continue;
    const TWatcher fn = it->second;
    fn();
  }
}

std::string RegisterBusyMessage(const std::string &holder) {
  return "Casa de marcat este ocupata: " + holder + ".\rIncercati din nou dupa ce se termina.";
}

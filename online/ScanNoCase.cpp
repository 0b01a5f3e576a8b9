#include "ScanNoCase.h"

#include <algorithm>
#include <dirent.h>

#include "ValueText.h"

bool ScanNoCase(const std::string &dir, const std::vector<std::string> &wanted,
                std::vector<std::vector<std::string>> &found) {
  found.assign(wanted.size(), {});
  DIR *d = ::opendir(dir.c_str());
  if (!d) return false;
  while (const dirent *e = ::readdir(d))
    for (size_t i = 0; i < wanted.size(); ++i)
      if (EqualsNoCase(e->d_name, wanted[i])) found[i].emplace_back(e->d_name);
  ::closedir(d);
  for (auto &f : found) std::sort(f.begin(), f.end());
  return true;
}

#include "SerialSettings.h"

#include <sys/stat.h>

#include "ProjectTables.h"
#include "RecordSet.h"

namespace {

struct TBaudChoice {
  int32_t Code;
  int Bits;
  TBaudRate Rate;
};
constexpr TBaudChoice BaudChoices[] = {{1, 19200, br19200}, {2, 38400, br38400}, {3, 57600, br57600}};

}  // namespace

int BaudBitsOfCode(int32_t code) {
  for (const TBaudChoice &c : BaudChoices)
    if (c.Code == code) return c.Bits;
  return 0;
}

int32_t BaudCodeOfBits(int bits) {
  for (const TBaudChoice &c : BaudChoices)
    if (c.Bits == bits) return c.Code;
  return 0;
}

TBaudRate BaudRateOfCode(int32_t code, TBaudRate fallback) {
  for (const TBaudChoice &c : BaudChoices)
    if (c.Code == code) return c.Rate;
  return fallback;
}

TSerialSettings ReadSerialSettings(const TRecordSet &table) {
  TSerialSettings s;
  if (table.IsEmpty()) return s;
  TRecordSet copy(table);  // reading moves nothing in the caller's set
  copy.First();
  // A value that is no number (a foreign file) counts as out of range: the
  // dialog shows its defaults for it and the link fails to open port 0.
  auto read = [&copy](const char *name) {
    const int f = copy.FieldIndex(name);
    if (f < 0) return 0;
    try {
      return int(copy.AsInteger(f));
    } catch (const ERecordSet &) {
      return 0;
    }
  };
  s.Port = read("Port");
  s.Baud = read("Baud");
  return s;
}

std::optional<TSerialSettings> LoadSerialSettings(const std::string &projectDir) {
  struct stat st {};
  if (::stat(ProjectTablePath(projectDir, tiSetari).c_str(), &st) != 0) return std::nullopt;
  return ReadSerialSettings(OpenProjectTable(projectDir, tiSetari));
}

void SaveSerialSettings(const std::string &projectDir, const TSerialSettings &s) {
  TRecordSet t = NewTable(tiSetari);
  t.Append();
  t.SetInteger("Port", s.Port);
  t.SetInteger("Baud", s.Baud);
  t.Post();
  SaveProjectTable(projectDir, tiSetari, t);
}

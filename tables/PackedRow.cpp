#include "PackedRow.h"

#include <cmath>
#include <variant>

#include "ValueText.h"

TRowLayout::TRowLayout(std::vector<TFieldDef> fields) : Fields(std::move(fields)) {
  for (size_t i = 0; i < Fields.size(); ++i) {
    const TFieldDef &f = Fields[i];
    if (f.Name.empty()) throw ERecordSet("Camp fara nume in definitia tabelului");
    for (size_t j = 0; j < i; ++j)
      if (EqualsNoCase(Fields[j].Name, f.Name))
        throw ERecordSet("Campul " + f.Name + " apare de doua ori in definitia tabelului");
    if (f.DataType == ftString) {
      if (f.Size < 1 || f.Size > MaxStringFieldSize)
        throw ERecordSet("Campul " + f.Name + " are o lungime nepermisa: " + std::to_string(f.Size));
      Slot.push_back(TextCount++);
    } else {
      if (f.DataType != ftInteger && f.DataType != ftFloat && f.DataType != ftBoolean)
        throw ERecordSet("Campul " + f.Name + " are un tip necunoscut");
      Slot.push_back(NumCount++);
    }
  }
  NumAt = (Fields.size() + 7) / 8;
  EndsAt = NumAt + 8 * size_t(NumCount);
  TextAt = EndsAt + 4 * size_t(TextCount);
}

int TRowLayout::IndexOfField(std::string_view name) const {
  for (size_t i = 0; i < Fields.size(); ++i)
    if (EqualsNoCase(Fields[i].Name, name)) return int(i);
  return -1;
}

TPackedRow TRowLayout::EmptyRow() const {
  TPackedRow r;
  r.B.assign(TextAt, '\0');
  return r;
}

void TRowLayout::PutText(TPackedRow &r, int slot, std::string_view t) const {
  const uint32_t b = slot == 0 ? 0 : TextEnd(r, slot - 1), e = TextEnd(r, slot);
  r.B.replace(TextAt + b, e - b, t);
  const int64_t delta = int64_t(t.size()) - int64_t(e - b);
  for (int s = slot; s < TextCount; ++s) {
    const uint32_t end = uint32_t(int64_t(TextEnd(r, s)) + delta);
    std::memcpy(&r.B[EndsAt + 4 * size_t(s)], &end, 4);
  }
}

TFieldValue TRowLayout::CellValue(const TPackedRow &r, int f) const {
  if (!IsSet(r, f)) return std::monostate{};
  const int s = Slot[f];
  switch (Fields[f].DataType) {
    case ftInteger: return int32_t(Num(r, s).I);
    case ftFloat: return Num(r, s).F;
    case ftBoolean: return Num(r, s).I != 0;
    case ftString: return std::string(Text(r, s));
  }
  return std::monostate{};
}

double TRowLayout::CellNumber(const TPackedRow &r, int f) const {
  const TNum n = Num(r, Slot[f]);
  return Fields[f].DataType == ftFloat ? n.F : double(n.I);
}

void TRowLayout::StoreCell(TPackedRow &r, int f, const TFieldValue &v) const {
  const TFieldDef &def = Fields[f];
  const int s = Slot[f];
  // Blank text put into a number field empties it, as typing nothing into a
  // grid cell does.
  const bool blankIntoNumber = def.DataType != ftString && std::holds_alternative<std::string>(v) &&
                               std::get<std::string>(v).find_first_not_of(" \t") == std::string::npos;
  if (std::holds_alternative<std::monostate>(v) || blankIntoNumber) {
    MarkSet(r, f, false);
    if (def.DataType == ftString) PutText(r, s, {});
    else PutNum(r, s, TNum{});
    return;
  }
  switch (def.DataType) {
    case ftInteger: {
      TNum n;
      n.I = ValueToInteger(v, def.Name);
      PutNum(r, s, n);
      break;
    }
    case ftFloat: {
      const double x = ValueToFloat(v, def.Name);
      // An infinity or NaN would break the ordering of the index.
      if (!std::isfinite(x)) throw ERecordSet("Valoare nepermisa in campul " + def.Name);
      TNum n;
      n.F = x;
      PutNum(r, s, n);
      break;
    }
    case ftBoolean: {
      TNum n;
      n.I = ValueToBoolean(v, def.Name) ? 1 : 0;
      PutNum(r, s, n);
      break;
    }
    case ftString: {
      std::string t = ValueToText(v);
      if (t.size() > size_t(def.Size)) t.resize(def.Size);
      PutText(r, s, t);
      break;
    }
  }
  MarkSet(r, f, true);
}

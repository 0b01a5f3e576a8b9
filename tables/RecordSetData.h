// Inside of a record set, shared by TRecordSet and its filtered cursors.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "RecordSet.h"

// Numbers of all three numeric types share one 8-byte slot: integers and
// booleans in I, floats in F.
union TNum {
  int64_t I = 0;
  double F;
};

// One row, packed into a single allocation so a 100,000-row PLU table costs
// about two hundred bytes a row. Layout (TData computes the offsets):
//   empty bits, one per field | 8-byte numbers, one per numeric field |
//   4-byte end offsets, one per text field | the text bytes, back to back.
struct TRecordSet::TRow {
  std::string B;
};

// The posted rows in index order. Rows arrive in any code order (a read from
// the register mixes short codes and barcodes), so a flat vector would shift
// half the table on every insert; blocks of a few hundred rows keep insert
// and delete cheap while position lookup stays a binary search over block
// starts. Random-access iterators let the standard searches run over it.
class TRowList {
 public:
  using TRow = TRecordSet::TRow;

  template <class L, class R>
  class TIter {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = TRow;
    using difference_type = std::ptrdiff_t;
    using pointer = R *;
    using reference = R &;
    TIter() = default;
    TIter(L *list, difference_type k) : FList(list), FK(k) {}
    reference operator*() const { return (*FList)[size_t(FK)]; }
    pointer operator->() const { return &**this; }
    reference operator[](difference_type n) const { return (*FList)[size_t(FK + n)]; }
    TIter &operator++() { return ++FK, *this; }
    TIter operator++(int) { TIter t = *this; ++FK; return t; }
    TIter &operator--() { return --FK, *this; }
    TIter operator--(int) { TIter t = *this; --FK; return t; }
    TIter &operator+=(difference_type n) { return FK += n, *this; }
    TIter &operator-=(difference_type n) { return FK -= n, *this; }
    friend TIter operator+(TIter a, difference_type n) { return a += n; }
    friend TIter operator+(difference_type n, TIter a) { return a += n; }
    friend TIter operator-(TIter a, difference_type n) { return a -= n; }
    friend difference_type operator-(const TIter &a, const TIter &b) { return a.FK - b.FK; }
    friend bool operator==(const TIter &a, const TIter &b) { return a.FK == b.FK; }
    friend auto operator<=>(const TIter &a, const TIter &b) { return a.FK <=> b.FK; }
    difference_type Index() const { return FK; }

   private:
    L *FList = nullptr;
    difference_type FK = 0;
  };
  using iterator = TIter<TRowList, TRow>;
  using const_iterator = TIter<const TRowList, const TRow>;

  size_t size() const { return FSize; }
  bool empty() const { return FSize == 0; }
  TRow &operator[](size_t k) { return Locate(k); }
  const TRow &operator[](size_t k) const { return const_cast<TRowList *>(this)->Locate(k); }
  iterator begin() { return {this, 0}; }
  iterator end() { return {this, std::ptrdiff_t(FSize)}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, std::ptrdiff_t(FSize)}; }

  void clear() {
    FBlocks.clear();
    FStarts.clear();
    FSize = 0;
  }
  void push_back(TRow r) { insert(FSize, std::move(r)); }
  void insert(size_t k, TRow r);
  void erase(size_t k);
  // Replaces the contents, in the given order.
  void Assign(std::vector<TRow> rows);
  std::vector<TRow> TakeAll();

 private:
  static constexpr size_t BlockRows = 512;
  TRow &Locate(size_t k);
  size_t BlockOf(size_t k) const;  // block holding position k (k < size)
  void Restart(size_t fromBlock);  // recompute FStarts from a block on

  std::vector<std::vector<TRow>> FBlocks;
  std::vector<size_t> FStarts;  // position of each block's first row
  size_t FSize = 0;
};

struct TRecordSet::TData {
  explicit TData(std::vector<TFieldDef> fields);

  std::vector<TFieldDef> Fields;
  std::vector<int> Slot;
  int NumCount = 0;
  int TextCount = 0;
  int CodField = -1;  // the index field; -1: rows in append order

  TRowList Rows;           // posted rows, in index order
  uint64_t Version = 0;    // bumped whenever Rows change; cursors resync on it

  int Pos = 0;
  bool Eof = true;
  bool Bof = true;
  TDataSetState State = dsBrowse;
  TRow Pending;
  int ControlsOff = 0;

  int FieldIndex(std::string_view name) const;
  TRow EmptyRow() const;

  // Row layout (see TRow).
  size_t NumAt = 0, EndsAt = 0, TextAt = 0;
  bool IsSet(const TRow &r, int f) const { return (uint8_t(r.B[size_t(f) >> 3]) >> (f & 7)) & 1; }
  void MarkSet(TRow &r, int f, bool set) const {
    char &c = r.B[size_t(f) >> 3];
    c = set ? char(c | (1 << (f & 7))) : char(c & ~(1 << (f & 7)));
  }
  TNum Num(const TRow &r, int slot) const {
    TNum n;
    std::memcpy(&n, r.B.data() + NumAt + 8 * size_t(slot), 8);
    return n;
  }
  void PutNum(TRow &r, int slot, TNum n) const { std::memcpy(r.B.data() + NumAt + 8 * size_t(slot), &n, 8); }
  std::string_view Text(const TRow &r, int slot) const {
    const uint32_t b = slot == 0 ? 0 : TextEnd(r, slot - 1), e = TextEnd(r, slot);
    return std::string_view(r.B).substr(TextAt + b, e - b);
  }
  void PutText(TRow &r, int slot, std::string_view t) const;
  uint32_t TextEnd(const TRow &r, int slot) const {
    uint32_t e;
    std::memcpy(&e, r.B.data() + EndsAt + 4 * size_t(slot), 4);
    return e;
  }
  TFieldValue CellValue(const TRow &r, int f) const;
  double CellNumber(const TRow &r, int f) const;  // a numeric, non-empty field
  // Index key: empty codes sort before every number.
  std::pair<bool, double> Key(const TRow &r) const;
  bool KeyLess(const TRow &a, const TRow &b) const;
  size_t UpperBound(const TRow &r) const;
  // Takes rows in file order and puts them in index order, equal codes kept
  // in order; the set is left browsing, before its first row.
  void AssignRows(std::vector<TRow> rows);
  // Converts v to the field's type and stores it; texts are cut at the size.
  void StoreCell(TRow &r, int f, const TFieldValue &v) const;
};

// Whole-table load and save work on the rows directly: going through
// Append/SetValue/Post per cell would build a variant for every value.
struct TRecordSetAccess {
  static TRecordSet::TData &Data(TRecordSet &rs) { return *rs.FData; }
  static const TRecordSet::TData &Data(const TRecordSet &rs) { return *rs.FData; }
};

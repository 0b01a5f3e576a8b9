// A record set's posted rows, in index order, in blocks.
#pragma once

#include <compare>
#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

#include "PackedRow.h"

// The posted rows in index order. Rows arrive in any code order (a read from
// the register mixes short codes and barcodes), so a flat vector would shift
// half the table on every insert; blocks of a few hundred rows keep insert
// and delete cheap while position lookup stays a binary search over block
// starts. Random-access iterators let the standard searches run over it.
class TRowList {
 public:
  using TRow = TPackedRow;

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

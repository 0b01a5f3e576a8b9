#include "RowList.h"

#include <algorithm>

size_t TRowList::BlockOf(size_t k) const {
  return size_t(std::upper_bound(FStarts.begin(), FStarts.end(), k) - FStarts.begin()) - 1;
}

TRowList::TRow &TRowList::Locate(size_t k) {
  const size_t b = BlockOf(k);
  return FBlocks[b][k - FStarts[b]];
}

void TRowList::Restart(size_t fromBlock) {
  FStarts.resize(FBlocks.size());
  size_t at = fromBlock == 0 ? 0 : FStarts[fromBlock - 1] + FBlocks[fromBlock - 1].size();
  for (size_t b = fromBlock; b < FBlocks.size(); ++b) {
    FStarts[b] = at;
    at += FBlocks[b].size();
  }
}

void TRowList::insert(size_t k, TRow r) {
  if (FBlocks.empty()) {
    FBlocks.emplace_back();
    FBlocks.back().reserve(BlockRows);
    FStarts.push_back(0);
  }
  size_t b = k >= FSize ? FBlocks.size() - 1 : BlockOf(k);
  if (k >= FSize && FBlocks[b].size() >= BlockRows) {
    // Appending past a full last block: start a new one rather than split.
    FBlocks.emplace_back();
    FBlocks.back().reserve(BlockRows);
    b = FBlocks.size() - 1;
    FStarts.push_back(FSize);
  }
  std::vector<TRow> &blk = FBlocks[b];
  blk.insert(blk.begin() + std::ptrdiff_t(k - FStarts[b]), std::move(r));
  ++FSize;
  if (blk.size() > 2 * BlockRows) {
    std::vector<TRow> tail(std::make_move_iterator(blk.begin() + BlockRows), std::make_move_iterator(blk.end()));
    blk.resize(BlockRows);
    FBlocks.insert(FBlocks.begin() + std::ptrdiff_t(b) + 1, std::move(tail));
  }
  Restart(b);
}

void TRowList::erase(size_t k) {
  const size_t b = BlockOf(k);
  std::vector<TRow> &blk = FBlocks[b];
  blk.erase(blk.begin() + std::ptrdiff_t(k - FStarts[b]));
  --FSize;
  if (blk.empty()) FBlocks.erase(FBlocks.begin() + std::ptrdiff_t(b));
  Restart(b < FBlocks.size() ? b : FBlocks.size());
}

void TRowList::Assign(std::vector<TRow> rows) {
  clear();
  for (size_t at = 0; at < rows.size(); at += BlockRows) {
    const size_t end = std::min(rows.size(), at + BlockRows);
    FBlocks.emplace_back(std::make_move_iterator(rows.begin() + std::ptrdiff_t(at)),
                         std::make_move_iterator(rows.begin() + std::ptrdiff_t(end)));
  }
  FSize = rows.size();
  Restart(0);
}

std::vector<TRowList::TRow> TRowList::TakeAll() {
  std::vector<TRow> all;
  all.reserve(FSize);
  for (auto &blk : FBlocks)
    for (auto &r : blk) all.push_back(std::move(r));
  clear();
  return all;
}

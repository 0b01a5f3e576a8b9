// CRC and frame encode/decode throughput: the per-byte work of every transfer.
#include <benchmark/benchmark.h>

#include <string>

#include "Frame.h"
#include "Receiver.h"

namespace {

// A PLU line as the register sends it: mostly digits and separators.
std::string PluLine() {
  std::string s = "10000;5941234567890;\"CIOCOLATA CU LAPTE\";\"TABLETA 100G\";2;0;1;7.25;0.00";
  for (int i = 0; i < 19; ++i) s += ";0";
  s += ";0";
  for (int i = 0; i < 17; ++i) s += ";0";
  return s;
}

std::string Payload(int kind, size_t n) {
  switch (kind) {
    case 0: {  // text
      std::string s;
      while (s.size() < n) s += PluLine();
      s.resize(n);
      return s;
    }
    case 1:  // every byte a DLE: the escaping at its worst (twice the size)
      return std::string(n, '\x10');
    default: {  // zero runs, as blank fields of a binary answer
      std::string s;
      for (size_t i = 0; s.size() < n; ++i) s += (i % 2) ? std::string(40, '\0') : "ABCD";
      s.resize(n);
      return s;
    }
  }
}

const char *KindName(int kind) { return kind == 0 ? "text" : kind == 1 ? "all-DLE" : "zero-runs"; }

void BM_Crc16(benchmark::State &state) {
  const std::string p = Payload(0, size_t(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(Frame::Crc16(p));
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Crc16)->Arg(7)->Arg(100)->Arg(1000);

void BM_EncodeAnswer(benchmark::State &state) {
  const int kind = int(state.range(0));
  const std::string p = Payload(kind, 490);
  for (auto _ : state) benchmark::DoNotOptimize(Frame::EncodeAnswer(p));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.size()));
  state.SetLabel(KindName(kind));
}
BENCHMARK(BM_EncodeAnswer)->DenseRange(0, 2);

void BM_DecodePayload(benchmark::State &state) {
  const int kind = int(state.range(0));
  const std::string p = Payload(kind, 490);
  const std::string f = Frame::EncodeAnswer(p);
  uint8_t out[Frame::BufferSize];
  const auto *raw = reinterpret_cast<const uint8_t *>(f.data()) + 2;
  for (auto _ : state) benchmark::DoNotOptimize(Frame::DecodePayload(raw, f.size() - 6, out, sizeof out));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.size()));
  state.SetLabel(KindName(kind));
}
BENCHMARK(BM_DecodePayload)->DenseRange(0, 2);

void BM_EncodeRequest(benchmark::State &state) {
  const std::string text =
      "U10000;12345;\"ARTICOL 12345\";\"\";6;;2;345,99;4,50;;;;;;;;;;;;;;;;;;;;0";
  for (auto _ : state) benchmark::DoNotOptimize(Frame::EncodeRequest(text));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_EncodeRequest);

// The link's receive path for one PLU line: chunks as the port delivers them.
void BM_ReceiverFeed(benchmark::State &state) {
  const std::string f = Frame::EncodeAnswer(PluLine());
  const size_t chunk = size_t(state.range(0));
  TReceiver rx;
  for (auto _ : state) {
    rx.Reset();
    for (size_t i = 0; i < f.size(); i += chunk)
      rx.Feed(reinterpret_cast<const uint8_t *>(f.data()) + i, std::min(chunk, f.size() - i), false);
    benchmark::DoNotOptimize(rx.FrameReady);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.size()));
  state.SetLabel("chunk " + std::to_string(chunk));
}
BENCHMARK(BM_ReceiverFeed)->Arg(1)->Arg(16)->Arg(4096);

}  // namespace

BENCHMARK_MAIN();

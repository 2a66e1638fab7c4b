#include "BenchParams.h"
#include "PaymentFormPage.h"
#include "Ratios.h"

#include <VelquorKit/VelquorParams.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using velquor::platform::JSONDecoder;
using velquor::platform::JSONEncoder;
using VelquorKit::VelquorParams;

const std::string kEndpoint = "https://pay.velquor.com/v2/paymentrequest";

VelquorParams paramsOf(int repeat) { return JSONDecoder().decode<VelquorParams>(bench::typicalParams(repeat).dump()); }

void pageBuilding(benchmark::State& state, int repeat) {
  const auto params = paramsOf(repeat);
  for (auto _ : state) benchmark::DoNotOptimize(VelquorKit::paymentFormPage(params, kEndpoint));
}

void memcpyOfPage(benchmark::State& state, int repeat) {
  const auto page = VelquorKit::paymentFormPage(paramsOf(repeat), kEndpoint);
  std::vector<char> target(page.size());
  for (auto _ : state) {
    std::memcpy(target.data(), page.data(), page.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}

void BM_KitPage_Typical(benchmark::State& state) { pageBuilding(state, 1); }
void BM_KitPage_Long(benchmark::State& state) { pageBuilding(state, 10); }
void BM_KitPage_MemcpyTypical(benchmark::State& state) { memcpyOfPage(state, 1); }
void BM_KitPage_MemcpyLong(benchmark::State& state) { memcpyOfPage(state, 10); }

const std::string kDocument = bench::typicalParams().dump();

void BM_KitDecode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(JSONDecoder().decode<VelquorParams>(kDocument));
}
void BM_KitDecode_ParseOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(kDocument));
}

const VelquorParams kParams = JSONDecoder().decode<VelquorParams>(kDocument);
const nlohmann::json kParsed = nlohmann::json::parse(kDocument);

void BM_KitEncode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(JSONEncoder().encode(kParams));
}
void BM_KitEncode_DumpOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kParsed.dump());
}

BENCHMARK(BM_KitPage_Typical);
BENCHMARK(BM_KitPage_MemcpyTypical);
BENCHMARK(BM_KitPage_Long);
BENCHMARK(BM_KitPage_MemcpyLong);
BENCHMARK(BM_KitDecode);
BENCHMARK(BM_KitDecode_ParseOnly);
BENCHMARK(BM_KitEncode);
BENCHMARK(BM_KitEncode_DumpOnly);

const bench::RatioRegistration ratios[] = {
    {"VelquorKit page, typical values / memcpy of the page", "BM_KitPage_Typical",
     "BM_KitPage_MemcpyTypical", bench::kNoTarget},
    {"VelquorKit page, 10x longer values / memcpy of the page", "BM_KitPage_Long",
     "BM_KitPage_MemcpyLong", bench::kNoTarget},
    {"VelquorKit decoding / nlohmann::json parse alone", "BM_KitDecode", "BM_KitDecode_ParseOnly", 1.5},
    {"VelquorKit encoding / nlohmann::json dump alone", "BM_KitEncode", "BM_KitEncode_DumpOnly", 1.5},
};

}  // namespace

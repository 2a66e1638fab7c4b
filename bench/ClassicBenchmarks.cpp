#include "BenchParams.h"
#include "Ratios.h"

#include <VelquorClassic/VelquorClassic.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using namespace VelquorClassic;
using velquor::platform::NSError;

const std::string kEndpoint = "https://pay.velquor.com/v2/paymentrequest";

std::shared_ptr<VelquorParams> paramsOf(int repeat) {
  std::shared_ptr<NSError> error;
  return VelquorParamsFromData(bench::typicalParams(repeat).dump(), &error);
}

std::shared_ptr<VelquorViewController> pageBuilder() {
  auto controller = std::make_shared<VelquorViewController>();
  controller->setUrl(kEndpoint);
  return controller;
}

void pageBuilding(benchmark::State& state, int repeat) {
  const auto params = paramsOf(repeat);
  const auto controller = pageBuilder();
  for (auto _ : state) benchmark::DoNotOptimize(controller->getHtlmForm(params));
}

void memcpyOfPage(benchmark::State& state, int repeat) {
  const auto page = pageBuilder()->getHtlmForm(paramsOf(repeat));
  std::vector<char> target(page.size());
  for (auto _ : state) {
    std::memcpy(target.data(), page.data(), page.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}

void BM_ClassicPage_Typical(benchmark::State& state) { pageBuilding(state, 1); }
void BM_ClassicPage_Long(benchmark::State& state) { pageBuilding(state, 10); }
void BM_ClassicPage_MemcpyTypical(benchmark::State& state) { memcpyOfPage(state, 1); }
void BM_ClassicPage_MemcpyLong(benchmark::State& state) { memcpyOfPage(state, 10); }

const std::string kDocument = bench::typicalParams().dump();

void BM_ClassicFromData(benchmark::State& state) {
  for (auto _ : state) {
    std::shared_ptr<NSError> error;
    benchmark::DoNotOptimize(VelquorParamsFromData(kDocument, &error));
  }
}
void BM_ClassicFromData_ParseOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(kDocument));
}

const std::shared_ptr<VelquorParams> kParams = paramsOf(1);
const nlohmann::json kParsed = nlohmann::json::parse(kDocument);

void BM_ClassicToData(benchmark::State& state) {
  for (auto _ : state) {
    std::shared_ptr<NSError> error;
    benchmark::DoNotOptimize(VelquorParamsToData(kParams, &error));
  }
}
void BM_ClassicToData_DumpOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kParsed.dump());
}

BENCHMARK(BM_ClassicPage_Typical);
BENCHMARK(BM_ClassicPage_MemcpyTypical);
BENCHMARK(BM_ClassicPage_Long);
BENCHMARK(BM_ClassicPage_MemcpyLong);
BENCHMARK(BM_ClassicFromData);
BENCHMARK(BM_ClassicFromData_ParseOnly);
BENCHMARK(BM_ClassicToData);
BENCHMARK(BM_ClassicToData_DumpOnly);

const bench::RatioRegistration ratios[] = {
    {"VelquorClassic page, typical values / memcpy of the page", "BM_ClassicPage_Typical",
     "BM_ClassicPage_MemcpyTypical", bench::kNoTarget},
    {"VelquorClassic page, 10x longer values / memcpy of the page", "BM_ClassicPage_Long",
     "BM_ClassicPage_MemcpyLong", bench::kNoTarget},
    {"VelquorClassic VelquorParamsFromData / nlohmann::json parse alone", "BM_ClassicFromData",
     "BM_ClassicFromData_ParseOnly", 1.5},
    {"VelquorClassic VelquorParamsToData / nlohmann::json dump alone", "BM_ClassicToData", "BM_ClassicToData_DumpOnly", 1.5},
};

}  // namespace

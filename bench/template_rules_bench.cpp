#include <benchmark/benchmark.h>

#include <string>

#include "common/pcre_pattern.h"
#include "settings/template_parts.h"
#include "settings/template_rules.h"

namespace {

using namespace zarvex;

const std::string kDefaultTemplate =
    "{strike,price,delta,volume,oi,doi,sign,symb,option,contract,expiration,date}"
    "{oi>10 AND delta>0 AND price>0}{,}";

// The dialog runs nine checks on every "OK".
void BM_CheckDefaultDataTemplate(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(settings::CheckDataTemplate(kDefaultTemplate));
    }
}
BENCHMARK(BM_CheckDefaultDataTemplate);

void BM_CheckCondition(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            settings::IsValidCondition("(oi>=1000 AND sign>=0) OR date='07.12.2012'"));
    }
}
BENCHMARK(BM_CheckCondition);

// Closing braces first, then opening ones: the worst case of the brace pattern, which scans
// to the end from every "{". The splitter against PCRE2 matching the pattern itself.
std::string ClosingThenOpening(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    return std::string(n, '}') + std::string(n, '{');
}

void BM_BraceSplitterWorstCase(benchmark::State& state) {
    const std::string text = ClosingThenOpening(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(settings::NonBlankBraceContents(text));
    }
}
BENCHMARK(BM_BraceSplitterWorstCase)->Arg(1000)->Arg(10000);

void BM_BracePcreWorstCase(benchmark::State& state) {
    const std::string text = ClosingThenOpening(state);
    const common::PcrePattern pattern(settings::kNonBlankBracePattern,
                                      common::PcrePattern::kDotAll);
    for (auto _ : state) {
        benchmark::DoNotOptimize(pattern.FindAll(text));
    }
}
BENCHMARK(BM_BracePcreWorstCase)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Micro-benchmarks of the tag store and the settings loaders on realistic
// data: the result tags of a payment and the files of the example
// installation. Run in a scratch directory: the loaders' trace goes there.
#include <benchmark/benchmark.h>

#include <string>

#include "config/Cashreq.h"
#include "config/Operations.h"
#include "config/RcConv.h"
#include "config/RcResult.h"
#include "config/Tags.h"

namespace {

const std::string kInstall = VELPAD_BENCH_INSTALL;

// The tags a pinpad sends back after an approved payment.
void FillResultTags(Tags& tags) {
    tags.Add("terminal_id", "00012345");
    tags.Add("pan", std::string("\x42\x76\xDD\xDD\xDD\xDD\x12\x34", 8));
    tags.Add("auth_code", "A1B2C3");
    tags.Add("auth_code_source", "1");
    tags.Add("rrn", "412345678901");
    tags.Add("transaction_id", "0000000123");
    tags.Add("application_label", "DEBIT CARD");
    tags.Add("receipt_number", "0042");
    tags.Add("date", "000000");
    tags.Add("time", "000000");
    tags.Add("datetimehost", std::string("\x00\x26\x01\x15\x12\x30\x45", 7));
    tags.Add("cardholder_name", "CARDHOLDER/TEST");
    tags.Add("merchant_id", "7700001");
    tags.Add("amount", "1500");
    tags.Add("currency", "643");
}

void TagsMake(benchmark::State& state) {
    Tags tags;
    FillResultTags(tags);
    for (auto _ : state) benchmark::DoNotOptimize(tags.Make());
}
BENCHMARK(TagsMake);

void TagsParse(benchmark::State& state) {
    Tags source;
    FillResultTags(source);
    const std::string list = source.Make();
    for (auto _ : state) {
        Tags tags;
        tags.Parse(list);
        benchmark::DoNotOptimize(tags);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * list.size()));
}
BENCHMARK(TagsParse);

template <typename Table>
void LoadTable(benchmark::State& state, const std::string& file) {
    for (auto _ : state) {
        Table table;
        benchmark::DoNotOptimize(table.SetFile(kInstall + "/" + file));
    }
}
void LoadCashreq(benchmark::State& state) {
    LoadTable<Cashreq>(state, "cashreg.ini");
}
void LoadOperations(benchmark::State& state) {
    LoadTable<Operations>(state, "ops.ini");
}
void LoadRcConv(benchmark::State& state) {
    LoadTable<RcConv>(state, "rc_conv.ini");
}
void LoadRcResult(benchmark::State& state) {
    LoadTable<RcResult>(state, "rc_res.ini");
}
BENCHMARK(LoadCashreq);
BENCHMARK(LoadOperations);
BENCHMARK(LoadRcConv);
BENCHMARK(LoadRcResult);

}  // namespace

BENCHMARK_MAIN();

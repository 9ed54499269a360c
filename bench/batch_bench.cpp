// Batch mode of the headless calculator: wells per second through the whole path (CSV reading,
// strict checking, the calculation run, CSV or JSON writing), and how much memory a long
// streamed file costs.
#include "cli/batch_run.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <array>
#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

namespace {

using coning::cli::BatchFormat;
using coning::cli::runBatch;

constexpr const char *header = "well,fluid-system,completion,permeability,viscosity,fvf,"
                               "density-difference,drainage-radius,well-radius,zone-thickness,"
                               "penetration,completion-top,bottom-hole-pressure\n";

// Every fluid system with both completion types, a Meyer-Garder case and a failing Guo-Lee.
constexpr std::array<const char *, 8> rowBodies = {
    ",Oil-Water,,100,1,1.2,0.3,1000,3,50,15,,\n",
    ",Gas-Water,partial-penetration,55.5,0.8,1.05,0.15,745,4.5,100,30.5,,\n",
    ",Gas-Water,,250,2.5,0.9,0.45,1500,6,37.5,20,,1500\n",
    ",Gas-Oil,,100,1,1.2,0.3,1000,3,100,,30,\n",
    ",Oil-Water,partial-completion,100,1,1.2,0.3,1000,3,100,60,20,\n",
    ",Gas-Oil,partial-completion,1e3,1.1,1.2,0.3,1000,3.25,100,60,20,2e3\n",
    ",Gas-Water,partial-completion,100,1,1.2,0.3,1000,3,50,35,5,\n",
    ",Oil-Water,,100,1,1.2,0.3,1000,3,2000,100,,\n",
};

void appendRow(std::string &out, long i)
{
    out += 'W';
    out += std::to_string(i);
    out += rowBodies[static_cast<std::size_t>(i) % rowBodies.size()];
}

std::string wellsFile(long rows)
{
    std::string text = header;
    for (long i = 0; i < rows; ++i)
        appendRow(text, i);
    return text;
}

// Produces a file of many rows on the fly, so that only the program's own memory is measured.
class GeneratedWells : public std::streambuf
{
public:
    explicit GeneratedWells(long rows)
        : m_rows(rows)
        , m_chunk(header)
    {
        setg(m_chunk.data(), m_chunk.data(), m_chunk.data() + m_chunk.size());
    }

protected:
    int_type underflow() override
    {
        if (m_next == m_rows)
            return traits_type::eof();
        m_chunk.clear();
        for (int i = 0; i < 1000 && m_next < m_rows; ++i)
            appendRow(m_chunk, m_next++);
        setg(m_chunk.data(), m_chunk.data(), m_chunk.data() + m_chunk.size());
        return traits_type::to_int_type(m_chunk.front());
    }

private:
    long m_rows;
    long m_next = 0;
    std::string m_chunk;
};

class Discard : public std::streambuf
{
protected:
    int_type overflow(int_type c) override { return c; }
    std::streamsize xsputn(const char *, std::streamsize n) override { return n; }
};

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void runOnFile(benchmark::State &state, BatchFormat format)
{
    constexpr long rows = 100'000;
    const std::string file = wellsFile(rows);
    Discard discard;
    std::ostream out(&discard);
    std::ostream err(&discard);
    for (auto _ : state) {
        std::istringstream in(file);
        benchmark::DoNotOptimize(runBatch(in, out, err, format));
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["wells/s"] = benchmark::Counter(static_cast<double>(rows),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

// Registered first, so the peak resident size has not yet been raised by the other benchmarks'
// in-memory files. Streaming a hundred times more rows must not raise it.
void BM_BatchStreamedMemory(benchmark::State &state)
{
    const long rows = state.range(0);
    Discard discard;
    std::ostream out(&discard);
    std::ostream err(&discard);
    const long before = peakRssKiB();
    for (auto _ : state) {
        GeneratedWells wells(rows);
        std::istream in(&wells);
        benchmark::DoNotOptimize(runBatch(in, out, err, BatchFormat::Csv));
    }
    state.counters["peak RSS growth KiB"] = static_cast<double>(peakRssKiB() - before);
    state.counters["wells/s"] = benchmark::Counter(static_cast<double>(rows),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BatchStreamedMemory)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_Batch100kCsv(benchmark::State &state)
{
    runOnFile(state, BatchFormat::Csv);
}
BENCHMARK(BM_Batch100kCsv)->Unit(benchmark::kMillisecond);

void BM_Batch100kJson(benchmark::State &state)
{
    runOnFile(state, BatchFormat::Json);
}
BENCHMARK(BM_Batch100kJson)->Unit(benchmark::kMillisecond);

} // namespace

// The page analysis runs over whole web pages on the GUI thread, in slices between which the
// window stays responsive. Measured end to end as the window runs it (the line-break form of the
// source, then the slices, taking the rows after each) on a generated 2 MB page, beside a bare
// pass over the same bytes that only finds every "<" with memchr.
#include "PageAnalysis.h"
#include "PageSource.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <iostream>
#include <map>

namespace {
constexpr qsizetype kPageBytes = 2 * 1024 * 1024;

// A weather page: table rows with texts, numbers, links and images, lines indented with tabs,
// and now and then a script.
QByteArray weatherPage() {
    QByteArray page = "<html><head><title>Wetter</title></head><body><table>\n";
    for (int i = 0; page.size() < kPageBytes; ++i) {
        page += "\t<tr class=\"zeile\"><td>Station " + QByteArray::number(i) + "</td><td>" +
                QByteArray::number(i % 35) + ",5 \xb0" + "C</td><td> Wind " + QByteArray::number(i % 60) +
                " km/h</td><td><a href=\"/station/" + QByteArray::number(i) +
                ".html\">Details</a></td><td><img src=\"/bilder/sonne.png\" alt=\"\"></td></tr>\n";
        if (i % 50 == 0)
            page += "<script>var s" + QByteArray::number(i) + " = '<b>' + 1;</script>\n";
    }
    return page + "</table></body></html>\n";
}

const QByteArray &page() {
    static const QByteArray bytes = weatherPage();
    return bytes;
}

void BM_AnalysePage(benchmark::State &state) {
    const ScanOptions options{true, true, true};
    qsizetype rows = 0;
    for (auto _ : state) {
        PageAnalysis analysis(PageSource::fromDocument(page()));
        rows = 0;
        bool done = false;
        while (!done) {
            done = analysis.run(PageAnalysis::kSliceSteps, options);
            rows += analysis.takeRows().size();
        }
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetBytesProcessed(state.iterations() * page().size());
}
BENCHMARK(BM_AnalysePage)->Unit(benchmark::kMillisecond);

void BM_BareScan(benchmark::State &state) {
    for (auto _ : state) {
        qsizetype tags = 0;
        const char *p = page().constData();
        const char *end = p + page().size();
        while ((p = static_cast<const char *>(std::memchr(p, '<', static_cast<size_t>(end - p))))) {
            ++tags;
            ++p;
        }
        benchmark::DoNotOptimize(tags);
    }
    state.SetBytesProcessed(state.iterations() * page().size());
}
BENCHMARK(BM_BareScan)->Unit(benchmark::kMillisecond);

// Prints, after the table, the analysis's time as a multiple of the bare scan's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs)
            m_times[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (m_times.count("BM_AnalysePage") && m_times.count("BM_BareScan"))
            std::cout << "analysis / bare memchr scan of the same " << page().size()
                      << " bytes: " << m_times["BM_AnalysePage"] / m_times["BM_BareScan"] << "x\n";
    }

private:
    std::map<std::string, double> m_times;
};
} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

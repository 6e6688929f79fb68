// The page analysis runs over whole web pages on the GUI thread, in slices between which the
// window stays responsive. Measured end to end as the window runs it (the line-break form of the
// source, then the slices, taking the rows after each) on a generated 2 MB page, beside a bare
// pass over the same bytes that only finds every "<" with memchr. Saving a project writes every
// row of the list as ten keys; measured beside writing the same file's bytes. The export of a
// project with every tenth text of the page defined, and the check of its import file, run in one
// go over the page: measured beside the bare scan.
#include "PageAnalysis.h"
#include "PageSource.h"
#include "ProjectFile.h"
#include "WebQueryCheck.h"
#include "WebQueryExport.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
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

WebQueryProject projectOf(int rows) {
    WebQueryProject project{
        QStringLiteral("Wetter"), QStringLiteral("h"), QStringLiteral("80"), QStringLiteral("/"), {}};
    project.entries = analysePage(PageSource::fromDocument(page()), ScanOptions{}).first(rows);
    return project;
}

void BM_SaveProject(benchmark::State &state) {
    QTemporaryDir dir;
    const WebQueryProject project = projectOf(static_cast<int>(state.range(0)));
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(ProjectFile::save(dir.path() + QLatin1Char('/'), project, &error));
}
BENCHMARK(BM_SaveProject)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond);

// Every tenth text of the page defined as a value of its own.
const WebQueryProject &definedProject() {
    static const WebQueryProject project = [] {
        WebQueryProject p{QStringLiteral("Wetter"), QStringLiteral("h"), QStringLiteral("80"), QStringLiteral("/"), {}};
        const QList<AnalysisEntry> rows = analysePage(PageSource::fromDocument(page()), ScanOptions{});
        for (qsizetype i = 0; i < rows.size(); i += 10) {
            AnalysisEntry entry = rows.at(i);
            entry.koName = QStringLiteral("Wert %1").arg(i);
            entry.definition = QStringLiteral("4|0|03|") + entry.koName + u'|';
            p.entries.append(entry);
        }
        return p;
    }();
    return project;
}

void BM_ExportProject(benchmark::State &state) {
    const QByteArray source = PageSource::fromDocument(page());
    for (auto _ : state)
        benchmark::DoNotOptimize(WebQueryExport::build(definedProject(), source).bytes.size());
    state.counters["values"] = static_cast<double>(definedProject().entries.size());
    state.SetBytesProcessed(state.iterations() * source.size());
}
BENCHMARK(BM_ExportProject)->Unit(benchmark::kMillisecond);

void BM_CheckImportFile(benchmark::State &state) {
    const QByteArray source = PageSource::fromDocument(page());
    const QByteArray file = WebQueryExport::build(definedProject(), source).bytes;
    for (auto _ : state) {
        WebQueryCheck::File read = WebQueryCheck::read(file, QStringLiteral("Wetter-qnd.htip"));
        benchmark::DoNotOptimize(WebQueryCheck::searchPass(read.rows, PageSource::viewText(source)).start);
    }
    state.SetBytesProcessed(state.iterations() * source.size());
}
BENCHMARK(BM_CheckImportFile)->Unit(benchmark::kMillisecond);

void BM_WriteProjectBytes(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = dir.path() + QLatin1Char('/');
    QString error;
    ProjectFile::save(path, projectOf(static_cast<int>(state.range(0))), &error);
    QFile saved(path + ProjectFile::fileNameIn(path, projectOf(static_cast<int>(state.range(0)))));
    saved.open(QIODevice::ReadOnly);
    const QByteArray bytes = saved.readAll();
    for (auto _ : state) {
        QSaveFile file(path + QStringLiteral("bytes.ovw"));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        benchmark::DoNotOptimize(file.commit());
    }
}
BENCHMARK(BM_WriteProjectBytes)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond);

// Prints, after the table, the analysis's time as a multiple of the bare scan's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        // With repetitions the aggregates share the run's name: the median stands for it.
        for (const Run &run : runs)
            if (run.aggregate_name.empty() || run.aggregate_name == "median")
                m_times[run.run_name.str()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (m_times.count("BM_AnalysePage") && m_times.count("BM_BareScan"))
            std::cout << "analysis / bare memchr scan of the same " << page().size()
                      << " bytes: " << m_times["BM_AnalysePage"] / m_times["BM_BareScan"] << "x\n";
        for (const char *name : {"BM_ExportProject", "BM_CheckImportFile"})
            if (m_times.count(name) && m_times.count("BM_BareScan"))
                std::cout << name << " / bare memchr scan: " << m_times[name] / m_times["BM_BareScan"] << "x\n";
        for (const char *rows : {"200", "1000"}) {
            const std::string save = std::string("BM_SaveProject/") + rows;
            const std::string bytes = std::string("BM_WriteProjectBytes/") + rows;
            if (m_times.count(save) && m_times.count(bytes))
                std::cout << "project save / writing its bytes, " << rows << " rows: " << m_times[save] / m_times[bytes]
                          << "x\n";
        }
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

// One full walk of a 5,000-item "ParsS" list: the text cursor against a real XML parser
// (parse included), measured in the same run. Prints the ratio of their times.
#include "gateway/TXml.h"

#include <benchmark/benchmark.h>

#include <QXmlStreamReader>

#include <cstdio>
#include <map>

namespace {

QString parsDocument(int items)
{
    QString doc
            = QStringLiteral("<?xml version=\"1.0\"?>\r\n<document><LogItems></LogItems><ParsS>");
    for (int i = 0; i < items; ++i) {
        doc += QStringLiteral("<Pars><Code>%1</Code><Libelle>Libell&amp;é %1</Libelle>"
                              "<Rubrique>Modeles</Rubrique><Ordre>%2</Ordre></Pars>\r\n")
                       .arg(i)
                       .arg(items - i);
    }
    doc += QStringLiteral("</ParsS></document>\r\n");
    return doc;
}

const QString &document()
{
    static const QString doc = parsDocument(5000);
    return doc;
}

void BM_CursorWalk(benchmark::State &state)
{
    const TXml shared(document());
    for (auto _ : state) {
        TXml x = shared;
        XmlOpen(x, u"ParsS");
        qsizetype total = 0;
        QString code, label;
        while (XmlNext(x, u"Pars") != 0) {
            XmlGet(x, u"Code", code);
            XmlGet(x, u"Libelle", label);
            total += code.size() + label.size();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_CursorWalk)->Unit(benchmark::kMillisecond);

void BM_ParserWalk(benchmark::State &state)
{
    for (auto _ : state) {
        QXmlStreamReader reader(document());
        qsizetype total = 0;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == u"ParsS")
                break;
        }
        while (reader.readNextStartElement()) { // each Pars
            QString code, label;
            while (reader.readNextStartElement()) {
                if (reader.name() == u"Code")
                    code = reader.readElementText();
                else if (reader.name() == u"Libelle")
                    label = reader.readElementText();
                else
                    reader.skipCurrentElement();
            }
            total += code.size() + label.size();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ParserWalk)->Unit(benchmark::kMillisecond);

// Keeps the time per iteration of each benchmark while printing as usual.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double cursor = reporter.times["BM_CursorWalk"];
    const double parser = reporter.times["BM_ParserWalk"];
    if (cursor <= 0 || parser <= 0)
        return 1;
    std::printf("cursor / parser time ratio: %.3f (aim: at most 0.5)\n", cursor / parser);
    return 0;
}

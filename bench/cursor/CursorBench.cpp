// One full walk of a 5,000-item "ParsS" list: the text cursor against pugixml parsing the same
// Latin-1 bytes and walking the same items (parse included), measured in the same run. Prints
// the ratio of their times.
#include "gateway/TXml.h"

#include "support/RatioReporter.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <QByteArray>
#include <QList>
#include <QPair>

#include <cstdio>
#include <cstring>

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

// The document as the client holds it once decoded, and as the server sends it.
const QString &document()
{
    static const QString doc = parsDocument(5000);
    return doc;
}

const QByteArray &latin1Bytes()
{
    static const QByteArray bytes = document().toLatin1();
    return bytes;
}

using Item = QPair<QString, QString>;

// The walks, each calling visit(code, label) for every item.
template<typename Visit>
void cursorWalk(const TXml &shared, Visit visit)
{
    TXml x = shared;
    XmlOpen(x, u"ParsS");
    QString code, label;
    while (XmlNext(x, u"Pars") != 0) {
        XmlGet(x, u"Code", code);
        XmlGet(x, u"Libelle", label);
        visit(code, label);
    }
}

template<typename Visit>
bool pugixmlWalk(const QByteArray &bytes, Visit visit)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.constData(), size_t(bytes.size()), pugi::parse_default,
                         pugi::encoding_latin1))
        return false;
    for (pugi::xml_node pars : doc.child("document").child("ParsS").children("Pars"))
        visit(pars.child_value("Code"), pars.child_value("Libelle"));
    return true;
}

void BM_CursorWalk(benchmark::State &state)
{
    const TXml shared(document());
    for (auto _ : state) {
        qsizetype total = 0;
        cursorWalk(shared, [&total](const QString &code, const QString &label) {
            total += code.size() + label.size();
        });
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_CursorWalk)->Unit(benchmark::kMillisecond);

void BM_PugixmlWalk(benchmark::State &state)
{
    for (auto _ : state) {
        size_t total = 0;
        pugixmlWalk(latin1Bytes(), [&total](const char *code, const char *label) {
            total += std::strlen(code) + std::strlen(label);
        });
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_PugixmlWalk)->Unit(benchmark::kMillisecond);

// Both walks must see the same items, or the ratio compares different work. The cursor leaves
// entities as written; the parser decodes them.
bool sameItems()
{
    QList<Item> byCursor, byParser;
    cursorWalk(TXml(document()), [&byCursor](const QString &code, const QString &label) {
        byCursor.append(
                {code, QString(label).replace(QStringLiteral("&amp;"), QStringLiteral("&"))});
    });
    const bool parsed
            = pugixmlWalk(latin1Bytes(), [&byParser](const char *code, const char *label) {
                  byParser.append({QString::fromUtf8(code), QString::fromUtf8(label)});
              });
    return parsed && byCursor.size() == 5000 && byCursor == byParser;
}

} // namespace

int main(int argc, char **argv)
{
    if (!sameItems()) {
        std::fprintf(stderr, "the cursor and pugixml do not walk the same items\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double ratio = reporter.ratio("BM_CursorWalk", "BM_PugixmlWalk");
    if (ratio <= 0)
        return 1;
    printRatio("cursor: walk of 5,000 items / pugixml parse and walk", ratio, "<= 0.5");
    return 0;
}

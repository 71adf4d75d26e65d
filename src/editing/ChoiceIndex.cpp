#include "editing/ChoiceIndex.h"

#include "editing/ChoiceDocument.h"
#include "engine/TextRules.h"

ChoiceIndex::ChoiceIndex(const TXml &equipDoc)
    : m_doc(equipDoc)
{ }

const ChoiceIndex::Runs &ChoiceIndex::runs(const QString &item, const QString &textElement,
                                           const QString &filterElement) const
{
    const QString key = item + QLatin1Char('\n') + textElement + QLatin1Char('\n') + filterElement;
    if (const Runs *known = m_lists.find(key))
        return *known;
    Runs runs;
    QString current; // filter value of the run being read
    bool inRun = false; // the run being read is the first of its value
    forEachItem(m_doc, item, [&](const TXml &x) {
        const QString value
                = filterElement.isEmpty() ? QString() : asciiUpper(XmlGetText(x, filterElement));
        if (value != current || (!inRun && runs.byFilter.isEmpty())) {
            current = value;
            inRun = !runs.byFilter.contains(value);
        }
        if (inRun)
            runs.byFilter[value].append(XmlGetText(x, textElement));
        return true;
    });
    return m_lists.insert(key, std::move(runs));
}

const QStringList &ChoiceIndex::group(const QString &item, const QString &textElement,
                                      const QString &filterElement,
                                      const QString &upperFilter) const
{
    static const QStringList none;
    const Runs &r = runs(item, textElement, filterElement);
    const QStringList *texts = r.byFilter.find(filterElement.isEmpty() ? QString() : upperFilter);
    return texts ? *texts : none;
}

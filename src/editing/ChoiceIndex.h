#pragma once

#include "gateway/NameTable.h"
#include "gateway/TXml.h"

#include <QString>
#include <QStringList>

// The choice-list document with its groups found once: a combo box set-up looks its group up
// instead of walking the list again. Holds the texts of the first run of consecutive items per
// filter value, as the list walks of the set-up would find them. Built for one document; make a
// new one when the document is reloaded.
class ChoiceIndex
{
public:
    explicit ChoiceIndex(const TXml &equipDoc = TXml());

    const TXml &document() const { return m_doc; }

    // Raw texts (not unescaped) of textElement in the first run of items of list item whose
    // filterElement, upper-cased, equals upperFilter; every item when filterElement is empty.
    // Empty when no item matches.
    const QStringList &group(const QString &item, const QString &textElement,
                             const QString &filterElement, const QString &upperFilter) const;

private:
    struct Runs
    {
        NameTable<QStringList> byFilter;
    };
    const Runs &runs(const QString &item, const QString &textElement,
                     const QString &filterElement) const;

    TXml m_doc;
    mutable NameTable<Runs> m_lists; // by item, text element and filter element
};

#pragma once

#include "engine/RecordDocument.h"

#include <QString>

// Walks the first run of consecutive items of the list item + "S" for which match answers true
// (items before the run are skipped, the first item after it ends the walk). visit answers
// false to stop early.
template<typename Match, typename Visit>
void forEachInGroup(const TXml &doc, const QString &item, Match match, Visit visit)
{
    TXml x = selectElement(doc, QString(item + QLatin1Char('S')));
    bool started = false;
    while (XmlNext(x, item)) {
        if (!match(x)) {
            if (started)
                break;
            continue;
        }
        started = true;
        if (!visit(x))
            break;
    }
}

// Walks every item of the list item + "S".
template<typename Visit>
void forEachItem(const TXml &doc, const QString &item, Visit visit)
{
    TXml x = selectElement(doc, QString(item + QLatin1Char('S')));
    while (XmlNext(x, item)) {
        if (!visit(x))
            break;
    }
}

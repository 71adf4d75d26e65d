#pragma once

#include <QString>

#include <vector>

struct TXml;

// One "axStruct" entry of the structure description, raw texts (absent elements empty). A tab
// entry has a record kind as descInfo; a field entry has the key of its tab.
struct StructEntry
{
    QString descInfo, idNum, txtInfo, vInfo, tag, defval;
    QString width, left, top, height, length;
    QString tInfo, tControl, color, notNull, enabled, fieldInfo;
};

// Every "axStruct" item of the "axStructS" list, in document order.
std::vector<StructEntry> readStructEntries(const TXml &structDoc);

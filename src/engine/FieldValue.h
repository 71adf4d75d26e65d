#pragma once

#include "engine/TsDesc.h"

#include <QDate>
#include <QString>

class XmlItemIndex;

struct FieldValue
{
    QString LoadedValue; // empty when the value is the default of a new record
    QString CurrentValue;
};

// Element the field's value is read from: SourceElement when set, else FieldName.
QString valueElement(const TsDesc &desc);

// The value a field shows after a load. useDefault (new record, or new customer vehicle on
// tab 8) takes defval; otherwise the value element of the record cursor's current element.
// Text edits decode their entities, dates turn "now" into today, numbers lose their blanks and
// decimals are written "0.00".
FieldValue deriveFieldValue(const TsDesc &desc, const XmlItemIndex &record, bool useDefault,
                            const QDate &today);

// The text an edit control receives: decimals with every "," made ".".
QString editText(const TsDesc &desc);

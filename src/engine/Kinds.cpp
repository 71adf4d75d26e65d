#include "engine/Kinds.h"

#include "engine/TextRules.h"
#include "engine/TsDesc.h"
#include "gateway/TXml.h"

#include <array>

namespace {

constexpr DataKindRule kAsReceived {0, "as received", false, false, false, false};

constexpr std::array<DataKindRule, 5> kDataKinds {{
        {DataKind::Date, "date", true, false, false, false},
        {DataKind::Text, "text", false, true, false, false},
        {DataKind::Boolean, "Boolean", false, false, false, false},
        {DataKind::Integer, "integer", false, false, true, false},
        {DataKind::Decimal, "decimal", false, false, true, true},
}};

constexpr PixelRect kEditOffset {0, 0, 0, -1};
constexpr ControlKindRule kUnknownControl {0,           "unknown", nullptr, &FieldSetup::SetupEdit,
                                           kEditOffset, false,     false};

constexpr std::array<ControlKindRule, 6> kControlKinds {{
        {ControlKind::Button,
         "button",
         &FieldSetup::SetupButton,
         &FieldSetup::SetupButton,
         {0, 2, 0, -1},
         false,
         false},
        {ControlKind::Edit, "edit", &FieldSetup::SetupEdit, &FieldSetup::SetupEdit, kEditOffset,
         false, true},
        {ControlKind::ListBox,
         "list box",
         &FieldSetup::SetupListBox,
         &FieldSetup::SetupListBox,
         {0, 21, 0, 4},
         true,
         true},
        {ControlKind::TextCombo,
         "text combo",
         &FieldSetup::SetupCombo,
         &FieldSetup::SetupCombo,
         {0, 0, 0, 4},
         false,
         true},
        {ControlKind::PositionCombo,
         "position combo",
         &FieldSetup::SetupCombo,
         &FieldSetup::SetupCombo,
         {0, 0, 0, 4},
         false,
         true},
        {ControlKind::ListCaptioned, "captioned like a list box", nullptr, &FieldSetup::SetupEdit,
         kEditOffset, true, false},
}};

template<typename Rule, size_t N>
const Rule &find(const std::array<Rule, N> &rules, int kind, const Rule &fallback, bool *known)
{
    for (const Rule &r : rules) {
        if (r.kind == kind) {
            if (known)
                *known = true;
            return r;
        }
    }
    if (known)
        *known = false;
    return fallback;
}

} // namespace

const DataKindRule &dataKindRule(int tInfo, bool *known)
{
    return find(kDataKinds, tInfo, kAsReceived, known);
}

const ControlKindRule &controlKindRule(int tControl, bool *known)
{
    return find(kControlKinds, tControl, kUnknownControl, known);
}

QString loadedText(int tInfo, int tControl, const QString &raw, const QDate &today)
{
    const DataKindRule &rule = dataKindRule(tInfo);
    QString value = raw;
    if (rule.decodeInEdits && tControl == ControlKind::Edit)
        value = DecodeEntities(value, true);
    // A typed-text combo shows its text too: undecoded, "<" would come back as "&lt;" and be
    // written so at the next save.
    else if (rule.decodeInEdits && tControl == ControlKind::TextCombo)
        value = DecodeEntities(value, false);
    if (rule.nowIsToday && value == QLatin1String("now"))
        value = formatDate(today);
    if (rule.removeBlanks) {
        value.remove(QLatin1Char(' '));
        value.remove(QChar(0xA0)); // a no-break space also separates thousands
    }
    if (rule.twoDecimals)
        value = formatDecimal2(value);
    return value;
}

// User rights of the record on screen: site access, the delivery-date lock, the group rights,
// and the guarantee fields set after all fields.
#include "ui/TAxDravik.h"

#include "editing/UserRights.h"
#include "ui/widgets/TextControl.h"

#include <algorithm>

bool TAxDravik::GetDataRights(const QString &groupList) const
{
    if (!FlagRights)
        return false;
    // The groups are those of the record document as it is now: read again whenever the
    // document text is another one (a load, or the emptying of another company's record).
    if (!RecordDoc.Doc.isSharedWith(m_groupsDoc) || RecordDoc.Doc.isNull()) {
        m_groupsDoc = RecordDoc.Doc;
        m_groups = groupTokens(RecordDoc);
    }
    return std::any_of(m_groups.cbegin(), m_groups.cend(),
                       [&groupList](const QString &token) { return groupList.contains(token); });
}

void TAxDravik::ApplyRecordRights(const TXml &recordElement)
{
    Rights = computeRecordRights(
            RecordDoc, recordElement,
            {UserSite, idUser, RecordKind, FlagNewEnreg, OptDates.OptLimiteDateVerrouVNVO});
}

void TAxDravik::ApplyGuaranteeRights()
{
    const bool enabled
            = guaranteeFieldsEnabled(RightCompta, GetDataRights(kGuaranteeGroups),
                                     FieldText(QStringLiteral("cDateValidationGarantie")));
    for (const QString &name : kGuaranteeFields) {
        if (QWidget *field = Control(name)) {
            setControlEditable(field, enabled);
            setControlBackground(field, colorFromTColor(enabled ? clWindow : clInactiveBorder));
        }
    }
}

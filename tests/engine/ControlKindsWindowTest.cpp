// Each control kind of a record laid out by the window, set up again when the record is
// loaded again: the record changed on the server behind the window's back, then reloaded by
// another user, shows the new value in every kind's control, with the new user's rights.
#include "engine/QtPrinters.h"
#include "ui/EditingWindow.h"

#include "editing/ListBoxLists.h"
#include "ui/widgets/MultiListBox.h"

#include <functional>

namespace {

using namespace dravik::seed;

// A value written to the record's column, and what its control shows then.
struct NewValue
{
    QString sql;
    QString shown;
};

struct KindRow
{
    const char *control;
    const char *column;
    // The value to write, from the control as the first load left it (so that it differs).
    std::function<NewValue(QWidget *control, const TsDesc &desc)> next;
};

NewValue fixed(const char *sql, const char *shown)
{
    return {QString::fromUtf8(sql), QString::fromUtf8(shown)};
}

// The entry after the one shown, stored by its position from 1.
NewValue nextPosition(QWidget *control, const TsDesc &desc)
{
    auto *box = qobject_cast<ComboBox *>(control);
    if (!box || desc.HasEmptyEntry || box->count() < 2)
        return {};
    const int next = (box->currentIndex() + 1) % box->count();
    return {QString::number(next + 1), box->itemText(next)};
}

// The entries not selected now, stored by their codes.
NewValue otherEntries(QWidget *control, const TsDesc &desc)
{
    auto *list = qobject_cast<MultiListBox *>(control);
    if (!list)
        return {};
    const QStringList codes = desc.CodeList.split(QLatin1Char(';')).mid(1);
    QList<int> rows;
    QStringList shown;
    for (int row = 0; row < list->count() && rows.size() < 2; ++row) {
        if (!list->selectedRows().contains(row)) {
            rows << row;
            shown << list->item(row)->text();
        }
    }
    return {QLatin1Char('\'') + listBoxValue(desc.CodeList, rows) + QLatin1Char('\''),
            shown.join(QLatin1Char('\n'))};
}

const std::vector<KindRow> &kindRows()
{
    static const std::vector<KindRow> rows = {
            {"cImmatriculation", "Immatriculation",
             [](QWidget *, const TsDesc &) {
                 return fixed("'ZZ-999-ZZ'", "ZZ-999-ZZ");
             }},
            {"cPrixVente", "PrixVente",
             [](QWidget *, const TsDesc &) {
                 return fixed("12345.5", "12345.50");
             }},
            {"cMEC", "MEC",
             [](QWidget *, const TsDesc &) {
                 return fixed("'2021-03-15'", "15/03/2021");
             }},
            {"cCommentaires", "Commentaires",
             [](QWidget *, const TsDesc &) {
                 return fixed("'Revu le matin'", "Revu le matin");
             }},
            {"cInfoCouleur", "InfoCouleur",
             [](QWidget *, const TsDesc &) {
                 return fixed("'Vert amande'", "Vert amande");
             }},
            {"cModeTVA", "ModeTVA", nextPosition},
            {"cInfoEquiInterieur", "InfoEquiInterieur", otherEntries},
    };
    return rows;
}

class ControlKindsWindow : public EditingWindow
{
};

} // namespace

TEST_F(ControlKindsWindow, EveryKindIsSetUpAgainWhenTheRecordIsLoadedAgain)
{
    const int id = usedVehicle(0);
    ASSERT_GT(id, 0);
    auto w = openVehicle(kUserAdmin, id);

    std::vector<QWidget *> controls;
    std::vector<NewValue> values;
    for (const KindRow &row : kindRows()) {
        QWidget *control = w->Control(QLatin1String(row.control));
        const TsDesc *d = w->DescOf(control);
        ASSERT_NE(d, nullptr) << row.control;
        EXPECT_TRUE(controlEditable(control)) << row.control;
        const NewValue value = row.next(control, *d);
        ASSERT_FALSE(value.sql.isEmpty()) << row.control;
        ASSERT_NE(controlText(control), value.shown) << row.control;
        dbExec(QStringLiteral("update tVehicles set %1=%2 where idVO=%3")
                       .arg(QLatin1String(row.column), value.sql)
                       .arg(id));
        controls.push_back(control);
        values.push_back(value);
    }

    // The launcher's reload, for accounting, who may not change these fields.
    harness().writeRecordKeys(server().baseHRef(), kUserCompta, QString::number(id), QString(), 1,
                              server().sessionKey(kUserCompta));
    w->OnInstanceMessage(QByteArrayLiteral("1024"));
    ASSERT_EQ(w->LbDebugInfo0->text(), QString());

    for (size_t i = 0; i < kindRows().size(); ++i) {
        const char *name = kindRows()[i].control;
        QWidget *control = w->Control(QLatin1String(name));
        // The same control, set up again: the new value, the new rights and their colour.
        EXPECT_EQ(control, controls[i]) << name;
        EXPECT_EQ(controlText(control), values[i].shown) << name;
        EXPECT_FALSE(controlEditable(control)) << name;
        EXPECT_EQ(controlBackground(control), colorFromTColor(clInactiveBorder)) << name;
        const TsDesc *d = w->DescOf(control);
        ASSERT_NE(d, nullptr) << name;
        EXPECT_EQ(d->LoadedValue, d->CurrentValue) << name;
    }
}

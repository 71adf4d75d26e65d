// Server-side list maintenance: adding or deleting the entry of a maintained list, then
// fetching the choice lists again and reloading the record so that every list shows it.
#include "ui/TAxDravik.h"

#include "editing/ListMaintenance.h"
#include "gateway/ResponseFiles.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QFile>
#include <QLabel>

void TAxDravik::ActionInfoRubrique(QWidget *Sender, int mode)
{
    const TsDesc *d = DescOf(Sender);
    if (!d)
        return;
    const ListAction action
            = mode == int(ListAction::Delete) ? ListAction::Delete : ListAction::Add;
    ListEntry entry;
    entry.ListTable = d->ListTable;
    entry.ListName = d->ListName;
    entry.text = controlText(Sender);
    const ListBoxes boxes = listMaintenanceBoxes(d->ListTable, Sender->objectName());
    entry.brand = FieldText(boxes.brand);
    entry.model = FieldText(boxes.model);
    entry.version = FieldText(boxes.version);
    entry.UserConcession = UserConcession;
    const QString title = listQuestionTitle(action);
    const QString question = listQuestion(action, entry);
    if (!(action == ListAction::Delete ? messages().confirmNoDefault(title, question)
                                       : messages().confirm(title, question)))
        return;

    const QString statement = listStatement(action, entry);
    TraceLog(QStringLiteral("SQL : ") + statement);
    if (statement.isEmpty())
        return;
    // The reload that follows would drop what is pending on the record: it is saved first, as
    // a page change saves it, and nothing goes while it cannot be.
    if (JvXPBtnSave->isEnabled() && !SavedThrough())
        return;
    LbDebugInfo2->setText(statement);
    if (!SendStatement(Endpoints::Update, statement, listResponseFile(action)).isEmpty())
        return;
    // The cached lists go, so that the next fetch brings the new state.
    if (QFile::remove(ResponseFile(ResponseFiles::Equip)))
        UpdateParams();
    if (!LbDebugInfo0->text().isEmpty())
        return;
    LbDebugInfo2->clear();
    messages().notify(listDoneTitle(action), listDoneMessage(action), MessageBoxes::Icon::Warning);
    UpdateView(1);
}

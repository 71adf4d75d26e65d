// Duplicate customer detection: the counters armed by the identity fields and their queries.
#include "ui/TAxDravik.h"

#include "search/DuplicateSql.h"
#include "search/SearchSql.h"
#include "search/SearchTexts.h"

#include "gateway/TXml.h"
#include "ui/widgets/PictureButton.h"

#include <QLabel>
#include <QLineEdit>

void TAxDravik::setDblChange(const QString &mode)
{
    DuplicateMode = mode;
    DuplicateCountdown = 4;
}

void TAxDravik::HttpGetDblInfo()
{
    const DuplicateFields fields {FieldText(QStringLiteral("aCliNom")),
                                  FieldText(QStringLiteral("aCliPrenom")),
                                  FieldText(QStringLiteral("aCliTelDom")),
                                  FieldText(QStringLiteral("aCliMobile")), UserConcession};
    const QString sql = duplicateCountSql(DuplicateMode, fields);
    auto *counter = Control<QLineEdit>(duplicateCounterName(DuplicateMode));
    if (sql.isEmpty() || !counter || counter->isHidden())
        return;
    TXml answer;
    if (!RunQuery(statementForAddress(sql), SearchWire::DuplicatesFile,
                  SearchTexts::UnreadableCount, answer))
        return;
    XmlOpen(answer, u"AXQueryS");
    // No item: no customer holds the value.
    counter->setText(XmlNext(answer, u"AXQuery") > 0 ? XmlGetText(answer, u"cpt") : QString());
}

void TAxDravik::OpenDuplicates(const QString &mode)
{
    // The panel is shown, not toggled: the click asks to see the customers counted.
    PlaceSearchPanel();
    Panel1->show();
    const bool phone = mode == DuplicateModes::HomePhone || mode == DuplicateModes::Mobile;
    const char *label = mode == DuplicateModes::HomePhone ? "TSLbTelephone"
            : mode == DuplicateModes::Mobile              ? "TSLbMobile"
                                                          : "TSLbClient";
    const char *button = mode == DuplicateModes::HomePhone ? "TSTelephone"
            : mode == DuplicateModes::Mobile               ? "TSMobile"
                                                           : "TSClient";
    BtnActivate(Control<QLabel>(QLatin1String(label)),
                Control<PictureButton>(QLatin1String(button)));
    ExactSearch = !keyboard().ctrlDown();
    if (!phone)
        SearchWithFirstName = mode == DuplicateModes::Identity;
    const char *field = mode == DuplicateModes::HomePhone ? "aCliTelDom"
            : mode == DuplicateModes::Mobile              ? "aCliMobile"
                                                          : "aCliNom";
    SetSearchText(FieldText(QLatin1String(field)));
    SearchCountdown = 1;
}

void TAxDravik::DblNomClick(QWidget *)
{
    OpenDuplicates(DuplicateModes::Name);
}

void TAxDravik::DblIdentClick(QWidget *)
{
    OpenDuplicates(DuplicateModes::Identity);
}

void TAxDravik::DblMobileClick(QWidget *)
{
    OpenDuplicates(DuplicateModes::Mobile);
}

void TAxDravik::DblTelDomClick(QWidget *)
{
    OpenDuplicates(DuplicateModes::HomePhone);
}

namespace {

void showCounter(TAxDravik &w, const QString &mode)
{
    if (QWidget *counter = w.Control(duplicateCounterName(mode)))
        counter->show();
    w.setDblChange(mode);
}

} // namespace

void TAxDravik::aCliNomDblClick(QWidget *)
{
    showCounter(*this, DuplicateModes::Name);
}

void TAxDravik::aCliPrenomDblClick(QWidget *)
{
    showCounter(*this, DuplicateModes::Identity);
}

void TAxDravik::aCliMobileDblClick(QWidget *)
{
    showCounter(*this, DuplicateModes::Mobile);
}

void TAxDravik::aCliTelDomDblClick(QWidget *)
{
    showCounter(*this, DuplicateModes::HomePhone);
}

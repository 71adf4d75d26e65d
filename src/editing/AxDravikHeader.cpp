// The header line above the tabs, the window caption, the application title and icons, all
// following the record kind and the fields they summarise.
#include "ui/TAxDravik.h"

#include "editing/HeaderLine.h"
#include "gateway/SqlText.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/ProgramIcons.h"

#include <QApplication>

#include <cmath>

namespace {

// The icon resource the window shows.
constexpr const char *kIconProperty = "IconResource";

// Font sizes are points of a 96-dpi screen: 12 points are the header's 16 pixels.
int pointsToPixels(int points)
{
    return int(std::lround(points * 96.0 / 72.0));
}

HeaderInput headerInput(const TAxDravik &w)
{
    HeaderInput in;
    in.RecordKind = w.RecordKind;
    in.text = [&w](const QString &name) {
        return w.FieldText(name);
    };
    in.FormatPhone = &FormatPhone;
    in.today = w.clock().now().date();
    in.ServerNow = w.OptDates.ServerNow;
    in.FlagLoading = w.FlagLoading;
    return in;
}

void setIfGiven(HeaderEdit *edit, const std::optional<QString> &text)
{
    if (text)
        edit->setText(*text);
}

} // namespace

void TAxDravik::setInfoNVO()
{
    setIfGiven(xcInfoNVO, infoNVOText(headerInput(*this)));
    setWindowTitle(windowCaption(RecordKind, xcInfoNVO->text(), xcInfoTitre->text()));
}

void TAxDravik::setInfoTitre()
{
    setIfGiven(xcInfoTitre, infoTitreText(headerInput(*this)));
    setWindowTitle(windowCaption(RecordKind, xcInfoNVO->text(), xcInfoTitre->text()));
}

void TAxDravik::setInfoField1()
{
    setIfGiven(xcInfoField1, infoField1Text(headerInput(*this)));
    QFont font = xcInfoField1->font();
    font.setPixelSize(pointsToPixels(emailFontSize(RecordKind, xcInfoField1->text())));
    xcInfoField1->setFont(font);
    // Title and icons change with the family of the record only: setting them reaches every
    // window of the application.
    const QString icon = iconName(RecordKind);
    if (property(kIconProperty).toString() != icon) {
        setProperty(kIconProperty, icon);
        QGuiApplication::setApplicationDisplayName(applicationTitle(RecordKind));
        setWindowIcon(programIcon(icon));
        QGuiApplication::setWindowIcon(windowIcon());
    }
}

void TAxDravik::setInfoField2()
{
    setIfGiven(xcInfoField2, infoField2Text(headerInput(*this)));
}

void TAxDravik::setInfoField3()
{
    setIfGiven(xcInfoField3, infoField3Text(headerInput(*this)));
}

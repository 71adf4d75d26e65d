// The header line above the tabs, the window caption, the application title and icons, all
// following the record kind and the fields they summarise.
#include "ui/TAxDravik.h"

#include "editing/HeaderLine.h"
#include "editing/SavePlan.h"
#include "gateway/SqlText.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/ProgramIcons.h"

#include <QApplication>

#include <algorithm>
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

} // namespace

QString TAxDravik::HeaderText(const HeaderEdit *edit) const
{
    return m_headerEmptied.contains(edit) ? QString() : edit->text();
}

void TAxDravik::SetHeaderText(HeaderEdit *edit, const QString &text)
{
    m_headerEmptied.removeOne(edit);
    // A reload writes the same texts again: no new layout of the edit. A long text shows its
    // start.
    if (edit->text() != text) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

void TAxDravik::SetCaption(const QString &caption)
{
    m_caption = caption;
    RefreshCaption();
}

void TAxDravik::RefreshCaption()
{
    // A row of the costs or actions grid waiting to be sent is a pending change as well.
    const bool pending = JvXPBtnSave && JvXPBtnSave->isEnabled()
            && (std::any_of(TabDesc.begin(), TabDesc.end(),
                            [](const TsPage &t) { return !t.PendingSql.isEmpty(); })
                || firstPendingRow(FrevoRows) || firstPendingRow(ActionRows));
    const QString title = pending ? m_caption + QStringLiteral(" *") : m_caption;
    if (windowTitle() != title)
        setWindowTitle(title);
}

void TAxDravik::setInfoNVO()
{
    if (const auto text = infoNVOText(headerInput(*this)))
        SetHeaderText(xcInfoNVO, *text);
    SetCaption(windowCaption(RecordKind, HeaderText(xcInfoNVO), HeaderText(xcInfoTitre)));
}

void TAxDravik::setInfoTitre()
{
    if (const auto text = infoTitreText(headerInput(*this)))
        SetHeaderText(xcInfoTitre, *text);
    SetCaption(windowCaption(RecordKind, HeaderText(xcInfoNVO), HeaderText(xcInfoTitre)));
}

void TAxDravik::setInfoField1()
{
    if (const auto text = infoField1Text(headerInput(*this)))
        SetHeaderText(xcInfoField1, *text);
    const int pixels = pointsToPixels(emailFontSize(RecordKind, HeaderText(xcInfoField1)));
    if (xcInfoField1->font().pixelSize() != pixels) {
        QFont font = xcInfoField1->font();
        font.setPixelSize(pixels);
        xcInfoField1->setFont(font);
    }
    // Title and icons change with the family of the record only: setting them reaches every
    // window of the application.
    const QString icon = iconName(RecordKind);
    if (property(kIconProperty).toString() != icon) {
        setProperty(kIconProperty, icon);
        // Kept by the window, not as the display name, which the desktop would append to
        // every window title.
        setProperty("ApplicationTitle", applicationTitle(RecordKind));
        setWindowIcon(programIcon(icon));
        QGuiApplication::setWindowIcon(windowIcon());
    }
}

void TAxDravik::setInfoField2()
{
    if (const auto text = infoField2Text(headerInput(*this)))
        SetHeaderText(xcInfoField2, *text);
}

void TAxDravik::setInfoField3()
{
    if (const auto text = infoField3Text(headerInput(*this)))
        SetHeaderText(xcInfoField3, *text);
}

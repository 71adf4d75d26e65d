// Record loading and view refresh: the slow documents (structure and choice lists), the
// record itself, then the toolbar, panels and reservation labels around the layout.
#include "ui/TAxDravik.h"

#include "engine/RecordKind.h"
#include "engine/TextRules.h"
#include "engine/Trace.h"
#include "engine/ViewRules.h"
#include "gateway/ResponseFiles.h"
#include "ui/widgets/PictureButton.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QTabWidget>

#include <exception>

void TAxDravik::UpdateParams()
{
    if (BaseHRef.isEmpty())
        return;
    try {
        // The cached lists of another company are fetched again, even within their 12 hours.
        const QString equip = ResponseFile(ResponseFiles::Equip);
        if (QFile::exists(equip)) {
            TXml doc(ResponseText(equip));
            XmlOpen(doc, u"document");
            if (XmlGetText(doc, u"Concession") != UserConcession)
                QFile::remove(equip);
        }
        HttpExecuteCached(
                BaseHRef + Endpoints::InfoEquip
                        + QStringLiteral("?XMLC_OutputFormat=XML&UserConcession=") + UserConcession
                        + QStringLiteral("&WHERE_CLAUSE=Where (RubricItem='..') or (RubricItem='")
                        + UserConcession + QStringLiteral("')"),
                equip);
        HttpExecuteCached(BaseHRef + Endpoints::InfoStruct
                                  + QStringLiteral("?XMLC_OutputFormat=XML&UserConcession=")
                                  + UserConcession,
                          ResponseFile(ResponseFiles::Struct));
    } catch (const std::exception &error) {
        TraceLog(QString::fromLocal8Bit(error.what()));
    }
}

void TAxDravik::UpdateView(int reload)
{
    const qint64 start = clock().tickCount();
    try {
        LbDebugInfo3->setText(QLatin1Char('[') + QString::number(ParamCount) + QLatin1Char(']')
                              + LbHttpRoot->text() + QStringLiteral(" - ") + BaseHRef
                              + QStringLiteral(" - ") + LbIdTVO->text());
        const QString vehicleId = LbIdTVO->text();
        const QString customerId = LbIDCustomer->text();
        const bool wasNew = FlagNewEnreg;
        bool answered = true;
        // Only the idTVO of a vehicle goes into the address; the request adds the customer id.
        const auto fetch = [&](const QString &endpoint, const QString &idPart, const QString &id,
                               const QString &file, QString &url) {
            url = BaseHRef + endpoint + QStringLiteral("?XMLC_OutputFormat=XML") + idPart
                    + QStringLiteral("&UserID=") + idUser;
            LbDebugInfo1->setText(url);
            const int number = readInt(id, 0);
            FlagNewEnreg = number <= 0;
            TraceLog(QStringLiteral("UpdateView FlagNewEnreg -> ") + traceFlag(FlagNewEnreg)
                     + QStringLiteral(" - ") + QString::number(number));
            HttpExecute(url, ResponseFile(file));
            answered = answered && RequestAnswered();
        };
        if (!vehicleId.isEmpty())
            fetch(Endpoints::InfoVO, QStringLiteral("&idTVO=") + vehicleId, vehicleId,
                  ResponseFiles::Vehicle, UrlInfoVO);
        if (!customerId.isEmpty()) {
            FlagNewVehicle = false;
            fetch(Endpoints::InfoCL, QString(), customerId, ResponseFiles::Customer, UrlInfoCL);
        }
        if (!answered) {
            // The response files still hold the record shown before: it stays shown, under its
            // own ids, with what the user typed; nothing is laid out under the ids asked for.
            if (m_recordShown) {
                LbIdTVO->setText(m_shownVehicleId);
                LbIDCustomer->setText(m_shownCustomerId);
            } else {
                // No record at all: nothing to save, nothing to delete.
                JvXPBtnSave->setEnabled(false);
                JvXPBtnSuppr->setEnabled(false);
            }
            FlagNewEnreg = wasNew;
            RecordNotLoaded();
            LbInfoTimer->setText(QString::number(clock().tickCount() - start));
            return;
        }
        UpdateHints(!customerId.isEmpty());
        UpdateTabDesc(reload, 1);
        m_recordShown = true;
        m_shownVehicleId = LbIdTVO->text();
        m_shownCustomerId = LbIDCustomer->text();
        GetDataImages();
        GetInfoReservation();
        TabsChange(Tabs);
        UpdateToolbar();
    } catch (const std::exception &error) {
        // The warning label, if a request failed, is the only report.
        TraceLog(QString::fromLocal8Bit(error.what()));
    }
    LbInfoTimer->setText(QString::number(clock().tickCount() - start));
    LbInfoTimer->setVisible(loadTimeVisible(UserName));
}

void TAxDravik::RecordNotLoaded()
{
    SetWarning(LbDebugInfo0->text() + QStringLiteral(" - ") + ViewText::RecordNotLoaded);
    ShowStatus(ViewText::RecordNotLoaded);
    HideSplash();
}

void TAxDravik::UpdateToolbar()
{
    const ToolbarState s = toolbarFor(RecordKind, RightAdmin, RightCompta, UserName);
    JvXPBtnNewVO->setVisible(s.kindButton);
    JvXPBtnSuppr->setVisible(s.deleteButton);
    // What may not be modified may not be deleted either.
    JvXPBtnSuppr->setEnabled(RecordModifiable());
    JvXPBtnSweep->setVisible(s.sweepButton);
    PanelCompta->setVisible(s.accountingPanel);
    JvXPBtnSMS->setVisible(s.diagnosticView);
    if (s.diagnosticView) {
        resize(width(), JvXPNext->geometry().bottom() + 1 + 75);
        for (QLabel *label :
             {LbDebugInfo0, LbDebugInfo1, LbDebugInfo2, LbDebugInfo3, LbHttpRoot, LbBaseHRef})
            label->show();
    } else {
        LbDebugInfo0->move(LbDebugInfo0->x(), JvXPNext->y());
    }
    LbInfoOptions->setVisible(s.optionsSummary);
    if (RecordKind == RecordKinds::Customer) {
        for (const char *name : {"aSite", "aidCom"}) {
            if (auto *box = Control<QComboBox>(QLatin1String(name)))
                box->setEnabled(box->currentText().isEmpty() || RightAdmin);
        }
    }
}

void TAxDravik::UpdateHints(bool customer)
{
    for (QWidget *button :
         {static_cast<QWidget *>(JvXPBtnActualize), static_cast<QWidget *>(JvXPBtnNewVO),
          static_cast<QWidget *>(JvXPBtnPrint), static_cast<QWidget *>(JvXPBtnSuppr),
          static_cast<QWidget *>(JvXPNext), static_cast<QWidget *>(JvXPPrev)})
        button->setToolTip(rewordHint(button->toolTip(), customer));
}

void TAxDravik::GetInfoReservation()
{
    static const char *const kPrefixes[] = {"c", "cVD", "cVN"};
    // A new record has no reservation: its document is still the record shown before.
    const auto captions = FlagNewEnreg ? std::nullopt : readReservation(RecordDoc);
    for (const char *prefix : kPrefixes) {
        for (int i = 0; i < 4; ++i) {
            auto *label = Control<QLabel>(QLatin1String(prefix) + QStringLiteral("LbResa")
                                          + QString::number(i + 1));
            if (!label)
                continue;
            if (captions)
                label->setText((*captions)[i]);
            label->setVisible(captions.has_value());
        }
    }
}

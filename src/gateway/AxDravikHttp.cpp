// Request routines of the main window: they run the gateway's routines and show their outcome
// in the warning label and the red band.
#include "ui/TAxDravik.h"

#include "gateway/HttpRequests.h"
#include "gateway/TXml.h"
#include "platform/Keyboard.h"

#include <QFrame>
#include <QLabel>

void TAxDravik::HttpExecute(const QString &address, const QString &file)
{
    SetWarning(m_requests->execute(address, LbIDCustomer->text(), file, IdleSeconds));
}

void TAxDravik::HttpExecuteCached(const QString &address, const QString &file)
{
    if (const auto warning = m_requests->executeCached(address, LbIDCustomer->text(), file,
                                                       IdleSeconds, keyboard().ctrlDown()))
        SetWarning(*warning);
}

void TAxDravik::HttpPost(const QString &address, const QString &file, const QList<FormPart> &form)
{
    SetWarning(m_requests->post(address, file, form, IdleSeconds));
}

void TAxDravik::SetWarning(const QString &text)
{
    LbDebugInfo0->setText(text);
    PanelWarning->setVisible(!text.isEmpty());
}

bool TAxDravik::RequestAnswered() const
{
    return m_requests->answered();
}

bool TAxDravik::RequestInFlight() const
{
    return IdHTTP1->busy() || IdHTTP2->busy();
}

void TAxDravik::DropConnection()
{
    IdHTTP1->dropConnection();
}

QString TAxDravik::ResponseFile(const QString &leafName) const
{
    return TempFolder + QLatin1Char('/') + leafName;
}

QString TAxDravik::ResponseText(const QString &path) const
{
    if (auto text = m_requests->answerText(path))
        return *std::move(text);
    return LoadTextFile(path);
}

#pragma once

#include "platform/HttpTransport.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The test message: the dealer group, the site and the customer's identity line.
QString SmsMessage(const QString &site, const QString &identity);

// Each byte of the Latin-1 message written in UTF-8: one byte below 128, two from 128 up.
// Characters outside Latin-1 become "?".
QByteArray SmsText(const QString &message);

// The gateway can take 1023 bytes of text at most.
constexpr qsizetype kSmsMaxBytes = 1024;

// What the SMS button sends: the gateway address and the form, or why nothing is sent.
struct SmsPlan
{
    QString address;
    QList<FormPart> form;
    QString refusal; // non-empty: nothing is posted, this is the warning
};

// gateway: the gateway's host ("http://host:port", a scheme is added when missing);
// number: the test recipient in international form.
SmsPlan PlanSms(const QString &gateway, const QString &number, const QString &site,
                const QString &identity);

// The warning after the POST: empty on the gateway's success words, else its answer as it
// came (made printable and cut to a band's length), or the transfer error when none came.
QString SmsOutcome(const HttpReply &reply);

#pragma once

// Windows of the editing tests against one demo server per suite: a window opened on a record
// as the launcher would open it, the database read directly from the server's SQLite file, and
// the focus and boxes as the user would see them.

#include "support/ServerProcessFixture.h"
#include "ui/UserInput.h"
#include "ui/WindowHarness.h"

#include "editing/PageStatement.h"
#include "engine/TextRules.h"
#include "gateway/CurlTransport.h"
#include "seed/Seed.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QTabWidget>
#include <QTest>

#include <sqlite3.h>

class EditingWindow : public ServerTest
{
public:
    static void SetUpTestSuite()
    {
        testApp();
        ServerTest::SetUpTestSuite();
    }

protected:
    // A shown and active window started on a record, on the real transport.
    std::unique_ptr<TAxDravik> open(int user, const QString &vehicle, const QString &customer,
                                    int typeVO = 1, int timeoutMs = 5000)
    {
        auto w = launched(user, vehicle, customer, typeVO, timeoutMs);
        w->Timer1Timer();
        showActive(*w);
        return w;
    }
    // The window as it starts, before its first tick has shown the record.
    std::unique_ptr<TAxDravik> launched(int user, const QString &vehicle, const QString &customer,
                                        int typeVO = 1, int timeoutMs = 5000)
    {
        m_harnesses.push_back(std::make_unique<WindowHarness>());
        WindowHarness &h = *m_harnesses.back();
        h.writeRecordKeys(server().baseHRef(), user, vehicle, customer, typeVO,
                          server().sessionKey(user));
        return h.makeWindow(std::make_unique<CurlTransport>(timeoutMs));
    }
    std::unique_ptr<TAxDravik> openVehicle(int user, int id, int typeVO = 1)
    {
        return open(user, QString::number(id), QString(), typeVO);
    }
    // The harness, boxes and keyboard of the window opened last.
    WindowHarness &harness() { return *m_harnesses.back(); }
    QueuedMessageBoxes &boxes() { return *m_harnesses.back()->boxes; }
    FakeKeyboard &keyboard() { return *m_harnesses.back()->keyboard; }

    // The first row of a query on the server's file, by column name; empty when no row.
    // NULL reads "<null>".
    static QMap<QString, QString> dbRow(const QString &select)
    {
        QMap<QString, QString> row;
        sqlite3 *handle = nullptr;
        const QByteArray path = server().databasePath().toUtf8();
        if (sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READONLY, nullptr)
            == SQLITE_OK) {
            sqlite3_busy_timeout(handle, 5000);
            sqlite3_stmt *stmt = nullptr;
            const QByteArray sql = select.toUtf8();
            if (sqlite3_prepare_v2(handle, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK
                && sqlite3_step(stmt) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                    const auto *text = sqlite3_column_text(stmt, c);
                    row[QString::fromUtf8(sqlite3_column_name(stmt, c))] = text
                            ? QString::fromUtf8(reinterpret_cast<const char *>(text))
                            : QStringLiteral("<null>");
                }
            }
            sqlite3_finalize(stmt);
        }
        sqlite3_close(handle);
        return row;
    }
    // One value ("<none>" when no row).
    static QString db(const QString &select)
    {
        const auto row = dbRow(select);
        return row.isEmpty() ? QStringLiteral("<none>") : row.first();
    }
    // A statement run on the server's file behind its back (a trigger that makes it refuse).
    static void dbExec(const QString &sql)
    {
        sqlite3 *handle = nullptr;
        const QByteArray path = server().databasePath().toUtf8();
        ASSERT_EQ(sqlite3_open(path.constData(), &handle), SQLITE_OK);
        sqlite3_busy_timeout(handle, 5000);
        char *error = nullptr;
        const int rc = sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, &error);
        const QString message = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        sqlite3_close(handle);
        ASSERT_EQ(rc, SQLITE_OK) << message.toStdString();
    }
    static QString vehicle(int id, const char *column)
    {
        return db(QStringLiteral("select %1 from tVehicles where idVO=%2")
                          .arg(QLatin1String(column))
                          .arg(id));
    }
    static int count(const QString &fromWhere)
    {
        return db(QStringLiteral("select count(*) ") + fromWhere).toInt();
    }
    // A used vehicle of the demo, site VALENCE, that no other test uses: the n-th after the
    // named demo records.
    static int usedVehicle(int n)
    {
        return db(QStringLiteral("select idVO from tVehicles where TypeVO=1 and StatutVD is null "
                                 "and Concession='ZOLVARE' and Site='VALENCE' and idVO>10 "
                                 "and DateLivraison is null order by idVO limit 1 offset %1")
                          .arg(n))
                .toInt();
    }

    static QWidget *focused() { return QApplication::focusWidget(); }
    // The field control that has the focus, or holds it in one of its parts; empty when none.
    static QString focusedField(const TAxDravik &w)
    {
        for (QWidget *at = focused(); at; at = at->parentWidget()) {
            if (w.Control(at->objectName()) == at)
                return at->objectName();
        }
        return QString();
    }

private:
    std::vector<std::unique_ptr<WindowHarness>> m_harnesses;
};

inline QString text(const TAxDravik &w, const char *name)
{
    return w.FieldText(QLatin1String(name));
}

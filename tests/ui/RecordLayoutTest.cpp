// Records of the demo dealership laid out by the window against the reference server.
#include "support/ServerFixture.h"
#include "ui/WindowHarness.h"

#include "gateway/CurlTransport.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

namespace {

class RecordWindow : public ServerTest
{
public:
    static void SetUpTestSuite()
    {
        testApp();
        ServerTest::SetUpTestSuite();
    }

protected:
    // A window started on a record: the launch keys, then the first tick's start sequence.
    std::unique_ptr<TAxDravik> open(int user, const QString &vehicle, const QString &customer,
                                    int typeVO = 1)
    {
        m_harness = std::make_unique<WindowHarness>();
        m_harness->writeSettings({{QStringLiteral("BaseHRef"), server().baseHRef()},
                                  {QStringLiteral("idUser"), QString::number(user)},
                                  {QStringLiteral("UserConcession"), QStringLiteral("ZOLVARE")},
                                  {QStringLiteral("UserSite"), QStringLiteral("#")},
                                  {QStringLiteral("idTVO"), vehicle},
                                  {QStringLiteral("idClient"), customer},
                                  {QStringLiteral("idTypeVO"), QString::number(typeVO)}});
        auto w = m_harness->makeWindow(std::make_unique<CurlTransport>(5000));
        w->Timer1Timer();
        return w;
    }

    std::unique_ptr<WindowHarness> m_harness;
};

QString text(const TAxDravik &w, const char *name)
{
    return w.FieldText(QLatin1String(name));
}

} // namespace

TEST_F(RecordWindow, UsedVehicleLaysOut)
{
    auto w = open(1, QStringLiteral("1"), QString());
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
    EXPECT_EQ(w->RecordKind, QStringLiteral("_TVO"));
    EXPECT_TRUE(w->DesignProblems.isEmpty()) << w->DesignProblems.join('\n').toStdString();
    EXPECT_EQ(text(*w, "cNVO"), QStringLiteral("20001"));
    EXPECT_EQ(text(*w, "cInfoMarque"), QStringLiteral("VW"));
    EXPECT_EQ(w->windowTitle(), QString());
}

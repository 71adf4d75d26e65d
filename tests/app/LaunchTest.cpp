#include "app/Launch.h"

#include <gtest/gtest.h>

TEST(LaunchArguments, KeyValuePairs)
{
    QList<std::pair<QString, QString>> keys;
    ASSERT_TRUE(ParseLaunchArguments({QStringLiteral("idTVO=12"),
                                      QStringLiteral("WhereClause=a=b, c;'d'"),
                                      QStringLiteral("idClient=")},
                                     keys));
    ASSERT_EQ(keys.size(), 3);
    EXPECT_EQ(keys[1].first, QStringLiteral("WhereClause"));
    EXPECT_EQ(keys[1].second, QStringLiteral("a=b, c;'d'"));
    EXPECT_EQ(keys[2].second, QString());

    for (const char *bad : {"novalue", "=x", "[Options]=1", ";c=1", " =1"}) {
        QString which;
        EXPECT_FALSE(ParseLaunchArguments({QStringLiteral("ok=1"), QString::fromUtf8(bad)}, keys,
                                          &which))
                << bad;
        EXPECT_EQ(which, QString::fromUtf8(bad));
        EXPECT_TRUE(keys.isEmpty());
    }
}

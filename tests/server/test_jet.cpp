#include "server/JetSql.h"
#include "server/Messages.h"

#include <gtest/gtest.h>

using namespace dravik::server;

namespace {

std::string nestedIsNull(int depth)
{
    std::string s;
    for (int i = 0; i < depth; ++i)
        s += "isnull(";
    s += "a";
    for (int i = 0; i < depth; ++i)
        s += ")";
    return s;
}

} // namespace

TEST(JetSql, TranslatesTheClientsDialect)
{
    const struct
    {
        const char *jet, *sqlite;
    } cases[] = {
            {"Update tVehicles set DateLivraison=#12/31/2009#, PrixVente=120.50 where (idVO=17)",
             "Update main.tVehicles set DateLivraison='2009-12-31', PrixVente=120.50 where "
             "(idVO=17)"},
            {"Delete * From [tVO - Liens Images] where idVO=17",
             "Delete From main.\"tVO - Liens Images\" where idVO=17"},
            {"Delete tActions.* from tActions where (idAction=3)",
             "Delete from main.tActions where (idAction=3)"},
            {"DELETE * FROM tVehicles WHERE (((TypeVO)=2) AND ((Acheteur) Is Null));",
             "DELETE FROM main.tVehicles WHERE (((TypeVO)=2) AND ((Acheteur) Is Null))"},
            {"select a from t where isNull(b) and (not isnull(StatutVD))",
             "select a from t where ((b) IS NULL) and (not ((StatutVD) IS NULL))"},
            {"select isnull(nz(a, 'x(y)')) from t", "select ((ifnull(a, 'x(y)')) IS NULL) from t"},
            {"update t set f=True, g=false where t.True=1",
             "update main.t set f=1, g=0 where t.True=1"},
            // String literals are never touched, whatever they hold.
            {"select 'isNull(x) #12/31/2009# True [a] ; -- :x ? it''s' from t",
             "select 'isNull(x) #12/31/2009# True [a] ; -- :x ? it''s' from t"},
            {"select * from t where a = \"it's \"\"q\"\"\"",
             "select * from t where a = 'it''s \"q\"'"},
            {"select [InfoMarque], [a\"b] from [tVO - Frevo]",
             "select \"InfoMarque\", \"a\"\"b\" from \"tVO - Frevo\""},
            {"select top 10 a from t order by a", "select a from t order by a LIMIT 10"},
            {"select distinct top 5 a from t", "select distinct a from t LIMIT 5"},
            {"select a & b, UCase(c), LCase(d), Len(e), Mid(f, 2, 3) from t",
             "select a || b, upper(c), lower(d), length(e), substr(f, 2, 3) from t"},
            {"select Now(), Date() from t",
             "select datetime('now','localtime'), date('now','localtime') from t"},
            {"select distinctrow a from t", "select DISTINCT a from t"},
            // Jet has no comments: "--" and "/*" stay two operators.
            {"select a--1 from t", "select a- -1 from t"},
            {"select a/*b from t", "select a/ *b from t"},
            {"select #2010-01-15# , #01/15/2010 14:05:09#",
             "select '2010-01-15' , '2010-01-15 14:05:09'"},
            {"insert into t (a) values (:newid)", "insert into main.t (a) values (:NewID)"},
    };
    for (const auto &c : cases) {
        const JetTranslation t = translateJet(c.jet);
        EXPECT_TRUE(t.ok) << c.jet << " -> " << t.error;
        EXPECT_EQ(t.sql, c.sqlite) << c.jet;
    }
}

TEST(JetSql, RefusesWhatItCannotTranslateSafely)
{
    using namespace std::string_literals;
    const struct
    {
        std::string jet;
        std::string error;
    } cases[] = {
            {"select 1; select 2", msg::oneStatementOnly()},
            {"delete from t; drop table t;", msg::oneStatementOnly()},
            {"select 'abc", msg::unterminatedString()},
            {"select \"abc", msg::unterminatedString()},
            {"select [abc", msg::unterminatedBracket()},
            {"select #12/31/2009", msg::unterminatedDate()},
            {"select #31/12/2009#", msg::badDate("#31/12/2009#")},
            {"select #02/30/2009#", msg::badDate("#02/30/2009#")},
            {"select :foo from t", msg::unknownParameter(":foo")},
            {"select ? from t", msg::forbiddenCharacter('?')},
            {"select @x from t", msg::forbiddenCharacter('@')},
            {"select $x from t", msg::forbiddenCharacter('$')},
            {"select `x` from t", msg::forbiddenCharacter('`')},
            {"", msg::emptyStatement()},
            {"  ;; ", msg::emptyStatement()},
            {"select top x a from t", msg::badTop()},
            {"select top 10 percent a from t", msg::badTop()},
            {"select isnull(a from t", msg::unbalancedParens()},
            {"select 12abc from t", msg::badNumber("12a")},
            {"delete from t where a=1\0 or 1=1"s, msg::nulCharacter()},
            {"select " + nestedIsNull(70) + " from t", msg::tooDeep()},
            // Tables are named without their database: the server chooses it.
            {"select * from main.t", msg::deniedSchemaName("main")},
            {"select * from [Main].t", msg::deniedSchemaName("[Main]")},
            {"select * from temp.t", msg::deniedSchemaName("temp")},
            {"update main.t set a=1", msg::deniedSchemaName("main")},
            {"select a from t where b in (select b from TEMP.u)", msg::deniedSchemaName("TEMP")},
    };
    for (const auto &c : cases) {
        const JetTranslation t = translateJet(c.jet);
        EXPECT_FALSE(t.ok) << c.jet;
        EXPECT_EQ(t.error, c.error) << c.jet;
        EXPECT_TRUE(t.sql.empty()) << c.jet;
    }
    // Deeper than any stack: refused, not crashed.
    EXPECT_FALSE(translateJet("select " + nestedIsNull(200000)).ok);
    EXPECT_TRUE(translateJet("select " + nestedIsNull(60) + " from t").ok);
}

TEST(JetSql, FindsWhereTheNewIdsGo)
{
    const JetTranslation vehicle = translateJet(
            "Insert into tVehicles (PrixVente,DateOrdre, idTVO, TypeVO, idVO, idOwner, Concession) "
            "Values (120.50,#12/31/2009#, :NewID, 1, :NewIDbis,3, 'ZOLVARE')");
    ASSERT_TRUE(vehicle.ok);
    EXPECT_EQ(vehicle.kind, StatementKind::Insert);
    EXPECT_EQ(vehicle.table, "tVehicles");
    EXPECT_EQ(vehicle.newIdColumn, "idTVO");
    EXPECT_EQ(vehicle.newIdBisColumn, "idVO");
    EXPECT_TRUE(vehicle.usesNewId && vehicle.usesNewIdBis);

    const JetTranslation cost = translateJet("Insert into [tVO - Frevo] (DateFrevo, TypeFrevo, "
                                             "MontantHT, idVO, idFrevo ) Values (#12/09/2026#,"
                                             "'fixe', 150.00, 17, :NewID) ");
    ASSERT_TRUE(cost.ok);
    EXPECT_EQ(cost.table, "tVO - Frevo");
    EXPECT_EQ(cost.newIdColumn, "idFrevo");
    EXPECT_FALSE(cost.usesNewIdBis);

    // Commas inside functions and strings do not shift the columns.
    const JetTranslation nested
            = translateJet("insert into t (a, b, c) values (nz(x, 1), :NewID, 'a,b')");
    EXPECT_EQ(nested.newIdColumn, "b");
    // A placeholder inside an expression names no column.
    const JetTranslation expr = translateJet("insert into t (a, b) values (1, :NewID + 1)");
    EXPECT_TRUE(expr.usesNewId);
    EXPECT_TRUE(expr.newIdColumn.empty());

    EXPECT_EQ(translateJet("Update [tVO - Frevo] set a=1").table, "tVO - Frevo");
    EXPECT_EQ(translateJet("Delete * From [tVehicles] where idVO=1").table, "tVehicles");
    EXPECT_EQ(translateJet("with x as (select 1) select * from x").kind, StatementKind::Select);
    EXPECT_EQ(translateJet("pragma table_info(t)").kind, StatementKind::Other);
}

TEST(JetSql, WritesThePostgresDialect)
{
    const struct
    {
        const char *jet, *pg;
    } cases[] = {
            {"Update tVehicles set DateLivraison=#12/31/2009#, PrixVente=120.50 where (idVO=17)",
             "Update tVehicles set DateLivraison='2009-12-31', PrixVente=120.50 where (idVO=17)"},
            {"Delete * From [tVO - Liens Images] where idVO=17",
             "Delete From \"tvo - liens images\" where idVO=17"},
            {"Delete tActions.* from tActions where (idAction=3)",
             "Delete from tActions where (idAction=3)"},
            {"DELETE * FROM tVehicles WHERE (((TypeVO)=2) AND ((Acheteur) Is Null) AND "
             "((DateAnnulation) Is Not Null));",
             "DELETE FROM tVehicles WHERE (((TypeVO)=2) AND ((Acheteur) Is Null) AND "
             "((DateAnnulation) Is Not Null))"},
            {"select a from t where isNull(b) and (not isnull(StatutVD))",
             "select a from t where ((b) IS NULL) and (not ((StatutVD) IS NULL))"},
            {"select nz(a, 'x') from t", "select coalesce(a, 'x') from t"},
            // Booleans are PostgreSQL's, so that the search's "no result" condition is one.
            {"update t set f=True, g=false where (false)",
             "update t set f=TRUE, g=FALSE where (FALSE)"},
            {"select a from t where (Concession='Z') and ((false))",
             "select a from t where (Concession='Z') and ((FALSE))"},
            // "like" ignores ASCII case and takes "\" as itself, as on SQLite: a pattern
            // standing alone through the match operator, any other through ILIKE.
            {"select a from t where (CliNom like '%ÉCOLE\\%')",
             "select a from t where (CliNom  ~~@  '%ÉCOLE\\\\%')"},
            {"select a from t where CliNom like'B_' and b=1",
             "select a from t where CliNom  ~~@  'B_' and b=1"},
            {"select a from t where b not like 'A%' escape '!'",
             "select a from t where b not ILIKE 'A%' escape '!'"},
            {"select a from t where not b like 'A\\%'",
             "select a from t where not b  ~~@  'A\\\\%'"},
            {"select a from t where b not like 'A\\%'",
             "select a from t where b not ILIKE 'A\\%' ESCAPE ''"},
            {"select a from t where b like 'A' & '%'", "select a from t where b ILIKE 'A' || '%'"},
            {"select a from t where b like c", "select a from t where b ILIKE c ESCAPE ''"},
            {"select a from t where b like [t].c or b like lower(c)",
             "select a from t where b ILIKE \"t\".c ESCAPE '' or b ILIKE lower(c)"},
            {"select [InfoMarque], Immatriculation AS VO_IMMAT, x as [VO ID], y as \"Z\" "
             "from [tVehicles]",
             "select \"infomarque\", Immatriculation AS VO_IMMAT, x as \"vo id\", y as \"z\" "
             "from \"tvehicles\""},
            {"select top 10 a & b, UCase(c), Len(e), Mid(f, 2, 3) from t order by a",
             "select a || b, upper(c), length(e), substr(f, 2, 3) from t order by a LIMIT 10"},
            {"select Now(), Date()",
             "select to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS'), "
             "to_char(localtimestamp, 'YYYY-MM-DD')"},
            {"select count(idClient) as cpt from tClients group by CliNom having (CliNom='A')",
             "select count(idClient) as cpt from tClients group by CliNom having (CliNom='A')"},
            {"select a--1, b/*c from t", "select a- -1, b/ *c from t"},
            // A prefix glued to a string would make PostgreSQL read it another way.
            {"select E'a\\' from t", "select E 'a\\' from t"},
            {"Insert into tVehicles (idTVO, idVO) Values (:NewIDbis, :NewID)",
             "Insert into tVehicles (idTVO, idVO) Values ($1, $2)"},
            {"insert into [tVO - Frevo] (idVO, idFrevo) values (17, :newid)",
             "insert into \"tvo - frevo\" (idVO, idFrevo) values (17, $1)"},
    };
    for (const auto &c : cases) {
        const JetTranslation t = translateJet(c.jet, SqlDialect::Postgres);
        EXPECT_TRUE(t.ok) << c.jet << " -> " << t.error;
        EXPECT_EQ(t.sql, c.pg) << c.jet;
    }
    const JetTranslation ids = translateJet(
            "Insert into tVehicles (idTVO, idVO) Values (:NewIDbis, :NewID)", SqlDialect::Postgres);
    EXPECT_EQ(ids.parameters, (std::vector<std::string> {":NewIDbis", ":NewID"}));
    EXPECT_EQ(ids.newIdColumn, "idVO");
    EXPECT_EQ(translateJet("insert into t (a, b) values (:NewIDbis, :NewID)").parameters,
              ids.parameters);
    // Result columns take back the case the client wrote.
    const JetTranslation named = translateJet("select idTVO as VO_ID, [InfoMarque] from tVehicles",
                                              SqlDialect::Postgres);
    EXPECT_EQ(named.names,
              (std::vector<std::string> {"select", "idTVO", "as", "VO_ID", "InfoMarque", "from",
                                         "tVehicles"}));
}

TEST(JetSql, RefusesOnPostgresWhatWouldLeaveTheData)
{
    const struct
    {
        const char *jet;
        std::string error;
    } cases[] = {
            {"select set_config('dravik.company', 'OTHER', true)",
             msg::deniedFunction("set_config")},
            {"select pg_sleep(10)", msg::deniedFunction("pg_sleep")},
            {"select a from t where b = pg_read_file('/etc/passwd')",
             msg::deniedFunction("pg_read_file")},
            {"select * from pg_catalog.pg_authid", msg::deniedSchemaName("pg_catalog")},
            {"select * from information_schema.tables",
             msg::deniedSchemaName("information_schema")},
            {"update public.tVehicles set a=1", msg::deniedSchemaName("public")},
            {"select * from main.t", msg::deniedSchemaName("main")},
            {"select 1; select 2", msg::oneStatementOnly()},
            {"select $1 from t", msg::forbiddenCharacter('$')},
    };
    for (const auto &c : cases) {
        const JetTranslation t = translateJet(c.jet, SqlDialect::Postgres);
        EXPECT_FALSE(t.ok) << c.jet;
        EXPECT_EQ(t.error, c.error) << c.jet;
    }
    // The same functions are SQLite's to refuse or not (its authorizer decides).
    EXPECT_TRUE(translateJet("select pg_sleep(10)").ok);
    EXPECT_EQ(translateJet("select a, set_config('x', 'y', true) as b from t", SqlDialect::Postgres)
                      .error,
              msg::deniedFunction("set_config"));
    // A common table expression's column list is no call either.
    EXPECT_TRUE(
            translateJet("with recursive c(x) as (select 1) select x from c", SqlDialect::Postgres)
                    .ok);
    // An insert's column list is no call, nor are the words before a parenthesis.
    EXPECT_TRUE(translateJet("insert into tActions (a) values (1)", SqlDialect::Postgres).ok);
    EXPECT_TRUE(translateJet("select a from t where a in (select b from u) and exists (select 1)",
                             SqlDialect::Postgres)
                        .ok);
}

// Every statement shape the client composes runs against the demo dealership and does what it
// says.

#include "InProcessServerFixture.h"

#include "common/Dates.h"

using namespace dravik;
using namespace dravik::test;

namespace {

// The client's literal of a typed text (trimmed, apostrophes doubled, address-safe characters).
std::string sqlText(const std::string &text)
{
    std::string out = "'";
    for (const char c : text) {
        if (c == '\'')
            out += "''";
        else if (c == '"')
            out += "%22";
        else if (c == '&')
            out += "%26";
        else if (c == '<')
            out += "%3C";
        else if (c == '>')
            out += "%3E";
        else
            out += c;
    }
    return out + "'";
}

// The statement as it reaches the address: the client's own escapes are decoded by the server,
// so the test sends the decoded form through clientEncode, which re-encodes them.
std::string unescaped(std::string sql)
{
    for (const auto &[from, to] :
         {std::pair {"%22", "\""}, {"%26", "&"}, {"%3C", "<"}, {"%3E", ">"}, {"%0D%0A", "\r\n"}}) {
        for (size_t p = 0; (p = sql.find(from, p)) != std::string::npos;
             p += std::string(to).size())
            sql.replace(p, std::string(from).size(), to);
    }
    return sql;
}

std::string usToday()
{
    const DateTime d = today();
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02d/%02d/%04d#", d.date.month, d.date.day, d.date.year);
    return buf;
}

std::string isoToday()
{
    return formatIso(today());
}

} // namespace

class Statements : public ServerFixture
{
};

TEST_F(Statements, TabUpdatesWriteTypedValues)
{
    const std::string sql = "Update tVehicles set PrixVente=12500.50,Commentaires="
            + sqlText("Reprise \"Dupont\" & fils <ok>") + ",DateLivraison=#12/31/2009#,"
            + "FlagDepotVente=True,KMS=NULL where (idVO=1)";
    const std::string doc = update(unescaped(sql));
    EXPECT_EQ(warning(doc), "");
    Cursor c(doc);
    xmlOpen(c, "OutParams");
    EXPECT_EQ(xmlGet(c, "RowsAffected"), "1");
    EXPECT_EQ(scalar("SELECT PrixVente FROM tVehicles WHERE idVO=1"), "12500.5");
    EXPECT_EQ(scalar("SELECT Commentaires FROM tVehicles WHERE idVO=1"),
              "Reprise \"Dupont\" & fils <ok>");
    EXPECT_EQ(scalar("SELECT DateLivraison FROM tVehicles WHERE idVO=1"), "2009-12-31");
    EXPECT_EQ(scalar("SELECT FlagDepotVente FROM tVehicles WHERE idVO=1"), "1");
    EXPECT_EQ(count("SELECT count(*) FROM tVehicles WHERE idVO=1 AND KMS IS NULL"), 1);

    // ... and the document shows them as the client reads them.
    Cursor v(get("AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}}));
    xmlOpen(v, "tVO");
    EXPECT_EQ(xmlGet(v, "PrixVente"), "12500.5");
    EXPECT_EQ(xmlGet(v, "DateLivraison"), "31/12/2009");
    EXPECT_EQ(xmlGet(v, "FlagDepotVente"), "True");
    EXPECT_EQ(xmlGet(v, "KMS"), "");

    // A key field whose loaded value is empty gives isNull(): no row, no error.
    const std::string none = update("Update tVehicles set KMS=1000 where (isNull(idVO))");
    EXPECT_EQ(warning(none), "");
    EXPECT_NE(none.find("<RowsAffected>0</RowsAffected>"), std::string::npos);
    // Customer tabs (7 and 9) write the customer table.
    EXPECT_EQ(warning(update("Update tClients set CliNom='MARTIN',PADateSpirit=#06/10/2010#,"
                             "PATypeVO=';VO;VN;' where (idClient=1)")),
              "");
    EXPECT_EQ(scalar("SELECT CliNom || PADateSpirit || PATypeVO FROM tClients WHERE idClient=1"),
              "MARTIN2010-06-10;VO;VN;");
}

TEST_F(Statements, TabInsertsOfEachKindGetTheirNewIds)
{
    // Used vehicle, new-vehicle order, demonstration vehicle: ":NewID" and ":NewIDbis".
    const struct
    {
        const char *columns, *values, *typeVO;
    } kinds[] = {
            {"InfoMarque,PrixVente,DateEntree", "'PEUGEOT',9990.00,#01/15/2010#", "1"},
            {"InfoMarque,DateOrdre,StatutVN", "'VW',#02/01/2010#,'Commande'", "2"},
            {"InfoMarque,StatutVD,MEC", "'AUDI','Démo',#03/01/2010#", "2"},
    };
    for (const auto &k : kinds) {
        const std::string doc
                = insert(std::string("Insert into tVehicles (") + k.columns
                         + ", idTVO, TypeVO, idVO, idOwner, Concession) Values (" + k.values
                         + ", :NewID, " + k.typeVO + ", :NewIDbis,"
                         + std::to_string(seed::kUserAdmin) + ", '" + seed::kConcession + "')");
        EXPECT_EQ(warning(doc), "") << k.columns;
        const std::string id = newId(doc);
        ASSERT_FALSE(id.empty());
        EXPECT_EQ(
                scalar("SELECT idVO || '/' || TypeVO || '/' || idOwner FROM tVehicles WHERE idTVO="
                       + id),
                id + "/" + k.typeVO + "/1");
        Cursor c(get("AxInfoVO", {{"idTVO", id}, {"UserID", "1"}}));
        xmlOpen(c, "tVO");
        EXPECT_EQ(xmlGet(c, "idVO"), id);
    }
    // Customer (tab 7): ":NewID" and today's creation date.
    const std::string customer
            = insert("Insert into tClients (CliNom,CliPrenom, idClient, "
                     "DateCreation, idOwner, Concession) Values ('DURAND','Paul', "
                     ":NewID, "
                     + usToday() + ",1, 'ZOLVARE')");
    EXPECT_EQ(warning(customer), "");
    const std::string idClient = newId(customer);
    EXPECT_EQ(scalar("SELECT DateCreation FROM tClients WHERE idClient=" + idClient), isoToday());
    // Customer vehicle (tab 8): ":NewID" in idTVO, ":NewIDbis" in NVO.
    const int nvo = count("SELECT max(NVO) FROM TVehiclesClarim") + 1;
    const std::string vehicle = insert(
            "Insert into TVehiclesClarim (InfoMarque,InfoModele,MEC, idClient, idTVO, NVO, "
            "idOwner, Concession) Values ('VW','GOLF',#05/20/2008#,"
            + idClient + ", :NewID, :NewIDbis,1, 'ZOLVARE')");
    EXPECT_EQ(warning(vehicle), "");
    EXPECT_EQ(scalar("SELECT CAST(NVO AS TEXT) || CAST(idClient AS TEXT) FROM TVehiclesClarim "
                     "WHERE idtVO="
                     + newId(vehicle)),
              std::to_string(nvo) + idClient);
}

TEST_F(Statements, GridRowsInsertUpdateAndDelete)
{
    // Reconditioning costs: the add row, an edited amount, the glyph deletion, the fixed fee.
    const std::string added
            = insert("Insert into [tVO - Frevo] (DateFrevo,TypeFrevo, idVO, idFrevo ) "
                     "Values ("
                     + usToday() + ",'interne', 1, :NewID)");
    EXPECT_EQ(warning(added), "");
    const std::string cost = newId(added);
    EXPECT_EQ(warning(update("Update [tVO - Frevo] set MontantHT=120.50,LibelleFrevo="
                             + unescaped(sqlText("Pneus & jantes")) + " where (idFrevo=" + cost
                             + ")")),
              "");
    EXPECT_EQ(scalar("SELECT LibelleFrevo || ' ' || MontantHT FROM \"tVO - Frevo\" WHERE idFrevo="
                     + cost),
              "Pneus & jantes 120.5");
    EXPECT_EQ(warning(update("Delete * from [tVO - Frevo] where (idFrevo=" + cost + ")")), "");
    EXPECT_EQ(count("SELECT count(*) FROM \"tVO - Frevo\" WHERE idFrevo=" + cost), 0);
    const std::string fee = insert("Insert into [tVO - Frevo] (DateFrevo, TypeFrevo, MontantHT, "
                                   "idVO, idFrevo ) Values ("
                                   + usToday() + ",'fixe', 150.00, 1, :NewID) ");
    EXPECT_EQ(warning(fee), "");
    EXPECT_EQ(scalar("SELECT TypeFrevo || MontantHT FROM \"tVO - Frevo\" WHERE idFrevo="
                     + newId(fee)),
              "fixe150");

    // Follow-up actions.
    const std::string action = insert(
            "Insert into tActions (DateAction,idCom,TypeAction,SujetAction,CommentaireAction,"
            "DateRelance,idComRelance,SujetRelance,PrioriteRelance, idClient, idAction ) Values ("
            + usToday() + ",1,3,2,'Appel',#05/12/2030#,1,2,1, 1, :NewID)");
    EXPECT_EQ(warning(action), "");
    const std::string idAction = newId(action);
    EXPECT_EQ(warning(update("Update tActions set CommentaireAction='Rappel' where (idAction="
                             + idAction + ")")),
              "");
    EXPECT_EQ(scalar("SELECT CommentaireAction || DateRelance FROM tActions WHERE idAction="
                     + idAction),
              "Rappel2030-05-12");
    EXPECT_EQ(warning(update("Delete * from tActions where (idAction=" + idAction + ")")), "");
    EXPECT_EQ(count("SELECT count(*) FROM tActions WHERE idAction=" + idAction), 0);
}

TEST_F(Statements, DeletionsTakeTheRecordAndItsChildren)
{
    // A vehicle: photo links, costs, then the vehicle.
    const std::string id = newId(insert("Insert into tVehicles (InfoMarque, idTVO, TypeVO, idVO, "
                                        "idOwner, Concession) Values ('FIAT', :NewID, 1, "
                                        ":NewIDbis,1, 'ZOLVARE')"));
    ASSERT_FALSE(id.empty());
    insert("Insert into [tVO - Frevo] (TypeFrevo, idVO, idFrevo ) Values ('interne', " + id
           + ", :NewID)");
    for (const std::string &sql : {"Delete * From [tVO - Liens Images] where idVO=" + id,
                                   "Delete * From [tVO - Frevo] where idVO=" + id,
                                   "Delete * From [tVehicles] where idVO=" + id})
        EXPECT_EQ(warning(update(sql)), "") << sql;
    EXPECT_EQ(count("SELECT count(*) FROM tVehicles WHERE idVO=" + id)
                      + count("SELECT count(*) FROM \"tVO - Frevo\" WHERE idVO=" + id),
              0);

    // A customer: its actions and vehicles go with it.
    const std::string cl = newId(insert("Insert into tClients (CliNom, idClient, DateCreation, "
                                        "idOwner, Concession) Values ('ZED', :NewID, "
                                        + usToday() + ",1, 'ZOLVARE')"));
    const std::string veh
            = newId(insert("Insert into TVehiclesClarim (InfoMarque, idClient, idTVO, "
                           "NVO, idOwner, Concession) Values ('VW',"
                           + cl + ", :NewID, :NewIDbis,1, 'ZOLVARE')"));
    // The customer-vehicle deletion of its grid.
    EXPECT_EQ(warning(update("Delete * From tVehiclesClarim where idTVo=" + veh)), "");
    EXPECT_EQ(count("SELECT count(*) FROM TVehiclesClarim WHERE idtVO=" + veh), 0);
    insert("Insert into tActions (CommentaireAction, idClient, idAction ) Values ('x', " + cl
           + ", :NewID)");
    EXPECT_EQ(warning(update("Delete * From [tClients] where idClient=" + cl)), "");
    EXPECT_EQ(count("SELECT count(*) FROM tActions WHERE idClient=" + cl), 0);
}

TEST_F(Statements, SweepRemovesOnlyCancelledOrdersWithoutBuyer)
{
    const int others = count("SELECT count(*) FROM tVehicles WHERE NOT (TypeVO=2 AND Acheteur IS "
                             "NULL AND DateAnnulation IS NOT NULL)");
    const std::string doomed
            = newId(insert("Insert into tVehicles (DateAnnulation, idTVO, TypeVO, idVO, idOwner, "
                           "Concession) Values (#01/10/2010#, :NewID, 2, :NewIDbis,1, 'ZOLVARE')"));
    EXPECT_EQ(warning(update("DELETE * FROM tVehicles WHERE (((TypeVO)=2) AND ((Acheteur) Is Null) "
                             "AND ((DateAnnulation) Is Not Null));")),
              "");
    EXPECT_EQ(count("SELECT count(*) FROM tVehicles WHERE idVO=" + doomed), 0);
    EXPECT_EQ(count("SELECT count(*) FROM tVehicles"), others);
}

TEST_F(Statements, ListMaintenanceAddsAndDeletesEntries)
{
    const std::string clause = "Where (RubricItem='..') or (RubricItem='ZOLVARE')";
    auto lists = [&] {
        return get("AxInfoEquip", {{"UserConcession", "ZOLVARE"}, {"WHERE_CLAUSE", clause}});
    };
    EXPECT_EQ(warning(update(
                      "Insert into ListRubrics (RubricType, RubricIndex, RubricItem, RubricText) "
                      "Values ('InfoCouleur', 0, '..' ,"
                      + unescaped(sqlText("Vert \"anglais\"")) + ")")),
              "");
    EXPECT_NE(lists().find("<Pars><type>InfoCouleur</type><text>Vert \"anglais\"</text></Pars>"),
              std::string::npos);
    EXPECT_EQ(warning(update(
                      "Delete * From ListRubrics where RubricType='InfoCouleur' and RubricText="
                      + unescaped(sqlText("Vert \"anglais\"")))),
              "");
    EXPECT_EQ(lists().find("anglais"), std::string::npos);

    // A brand with an apostrophe, doubled.
    EXPECT_EQ(warning(update(
                      "Insert into ListModels (VMarque, VModele) Values ('L''ANCIENNE', 'X1')")),
              "");
    EXPECT_NE(lists().find("<vMark>L'ANCIENNE</vMark><vModel>X1</vModel>"), std::string::npos);
    EXPECT_EQ(warning(update(
                      "Delete * From ListModels where VMarque='L''ANCIENNE' and VModele='X1'")),
              "");
    EXPECT_EQ(count("SELECT count(*) FROM ListModels WHERE VMarque='L''ANCIENNE'"), 0);

    EXPECT_EQ(warning(update("Insert into ListVersions (VMarque, VModele, VVersion, VConcession) "
                             "Values ('VW', 'GOLF', '2.0 GTI', 'ZOLVARE')")),
              "");
    EXPECT_NE(lists().find("<vnModel>GOLF</vnModel><vnVers>2.0 GTI</vnVers>"), std::string::npos);
    EXPECT_EQ(warning(update("Delete * From ListVersions where VMarque='VW' and VModele='GOLF' and "
                             "VVersion='2.0 GTI' and VConcession='ZOLVARE'")),
              "");
    EXPECT_EQ(count("SELECT count(*) FROM ListVersions WHERE VVersion='2.0 GTI'"), 0);
}

TEST_F(Statements, DefaultPhotoIsSetAndCleared)
{
    EXPECT_EQ(warning(update("Update tVehicles set NomImage='Z0000001-02' where idVO=1")), "");
    EXPECT_EQ(scalar("SELECT NomImage FROM tVehicles WHERE idVO=1"), "Z0000001-02");
    EXPECT_EQ(warning(update("Update tVehicles set NomImage=NULL where idVO=1")), "");
    EXPECT_EQ(count("SELECT count(*) FROM tVehicles WHERE idVO=1 AND NomImage IS NULL"), 1);
}

TEST_F(Statements, LongInsertTravelsInTheRequestLine)
{
    // A new vehicle's insert with every field typed runs to many kilobytes.
    std::string text(60000, 'x');
    for (size_t i = 0; i < text.size(); i += 7)
        text[i] = ' ';
    const std::string doc = insert("Insert into tVehicles (Commentaires, idTVO, TypeVO, idVO, "
                                   "idOwner, Concession) Values ('"
                                   + text + "', :NewID, 1, :NewIDbis,1, 'ZOLVARE')");
    EXPECT_EQ(warning(doc), "");
    EXPECT_EQ(scalar("SELECT Commentaires FROM tVehicles WHERE idVO=" + newId(doc)), text);
}

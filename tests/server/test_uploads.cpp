// The photo upload, the photo folder, the PDF reports and the SMS gateway path.

#include "InProcessServerFixture.h"

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace dravik;
using namespace dravik::test;

namespace {

std::string fileContent(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A small real JPEG of the demo photos.
std::string someJpeg()
{
    for (const auto &e : std::filesystem::directory_iterator(ServerFixture::dir / "photos"))
        if (e.path().extension() == ".jpg")
            return fileContent(e.path());
    return {};
}

httplib::Result postUpload(const std::string &name, const std::string &mini,
                           const std::string &photo, const std::string &thumb,
                           const std::string &sql, bool secondFile = true)
{
    httplib::MultipartFormDataItems form = {
            {"NFImage", name, "", ""},     {"XMLC_OutputFormat", "XML", "", ""},
            {"SQLExecute", sql, "", ""},   {"MAX_FILE_SIZE", "4096000", "", ""},
            {"File", photo, name, "file"}, {"NFImageMini", mini, "", ""},
    };
    if (secondFile)
        form.push_back({"File", thumb, mini, "file"});
    httplib::Client http("127.0.0.1", ServerFixture::port);
    return http.Post("/AxInsert", form);
}

std::string pdfText(const std::string &pdf)
{
    const auto path = ServerFixture::dir / "report.pdf";
    std::ofstream(path, std::ios::binary) << pdf;
    std::string text;
    if (FILE *p
        = ::popen(("pdftotext -enc UTF-8 '" + path.string() + "' - 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            text.append(buf, n);
        ::pclose(p);
    }
    return text;
}

} // namespace

class Uploads : public ServerFixture
{
};

TEST_F(Uploads, UploadStoresBothFilesAndTheLink)
{
    const std::string jpeg = someJpeg();
    ASSERT_GT(jpeg.size(), 100u);
    const std::string thumb = jpeg.substr(0, jpeg.size() - 1) + jpeg.back();
    const std::string sql
            = "INSERT INTO [tVO - Liens Images] (idImage, idVO, NumImage, NomImage, "
              "DateImage) VALUES (:NewID, 1, 9, 'Z0000001-09', '2009-03-07 14:05:09')";
    const auto res = postUpload("Z0000001-09.jpg", "Z0000001-09m.jpg", jpeg, thumb, sql);
    ASSERT_TRUE(res);
    EXPECT_EQ(warning(res->body), "");
    EXPECT_FALSE(newId(res->body).empty());
    EXPECT_EQ(fileContent(dir / "photos" / "Z0000001-09.jpg"), jpeg);
    EXPECT_EQ(fileContent(dir / "photos" / "Z0000001-09m.jpg"), thumb);
    EXPECT_EQ(scalar("SELECT NumImage || DateImage FROM \"tVO - Liens Images\" WHERE idImage="
                     + newId(res->body)),
              "92009-03-07 14:05:09");
    // The photo is served under the photo address, and the record lists it.
    httplib::Client http("127.0.0.1", port);
    const auto photo = http.Get("/voimages/Z0000001-09.jpg");
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->status, 200);
    EXPECT_EQ(photo->get_header_value("Content-Type"), "image/jpeg");
    EXPECT_EQ(photo->body, jpeg);
    EXPECT_NE(get("AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}})
                      .find("<NomImage>Z0000001-09</NomImage>"),
              std::string::npos);
    // Deleting the link leaves the files (the client never removes them).
    EXPECT_EQ(
            warning(update(
                    "Delete * From [tVO - Liens Images] where idVO=1 and NomImage='Z0000001-09'")),
            "");
    EXPECT_TRUE(std::filesystem::exists(dir / "photos" / "Z0000001-09.jpg"));
}

TEST_F(Uploads, RefusedUploadsWriteNeitherFileNorLink)
{
    const std::string jpeg = someJpeg();
    const std::string sql
            = "INSERT INTO [tVO - Liens Images] (idImage, idVO, NumImage, NomImage, "
              "DateImage) VALUES (:NewID, 1, 8, 'Z0000001-08', '2009-03-07 14:05:09')";
    const int links = count("SELECT count(*) FROM \"tVO - Liens Images\"");
    const struct
    {
        std::string name, mini, photo;
        bool second;
    } cases[] = {
            {"../Z0000001-08.jpg", "Z0000001-08m.jpg", jpeg, true},
            {"Z0000001-08.php", "Z0000001-08m.jpg", jpeg, true},
            {"/tmp/Z0000001-08.jpg", "Z0000001-08m.jpg", jpeg, true},
            {"Z0000001-08.jpg", "Z0000001-08m.jpg", "<html>not a photo</html>", true},
            {"Z0000001-08.jpg", "Z0000001-08m.jpg", jpeg, false},
            {"Z0000001-08.jpg", "", jpeg, true},
            {"Z0000001-08.jpg", "Z0000001-08m.jpg", std::string(4096001, '\xFF'), true},
            // The first bytes of a JPEG followed by a page is no photo.
            {"Z0000001-08.jpg", "Z0000001-08m.jpg", "\xFF\xD8\xFF\xE0<html>x</html>", true},
            {"Z0000001-08.jpg", "Z0000001-08m.jpg", jpeg.substr(0, 20), true},
    };
    for (const auto &c : cases) {
        const auto res = postUpload(c.name, c.mini, c.photo, jpeg, sql, c.second);
        ASSERT_TRUE(res);
        EXPECT_NE(warning(res->body), "") << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir / "photos" / "Z0000001-08.jpg")) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir / "Z0000001-08.jpg")) << c.name;
    }
    EXPECT_EQ(count("SELECT count(*) FROM \"tVO - Liens Images\""), links);
}

TEST_F(Uploads, AnUploadWhoseStatementFailsLeavesTheExistingFilesAsTheyWere)
{
    const std::string jpeg = someJpeg();
    const auto photo = dir / "photos" / "Z0000002-07.jpg";
    const auto mini = dir / "photos" / "Z0000002-07m.jpg";
    std::ofstream(photo, std::ios::binary) << "before";
    std::ofstream(mini, std::ios::binary) << "before mini";
    const std::string before = dump();
    for (const std::string sql :
         {"INSERT INTO [tVO - Liens Images] (idImage, idVO, NomImage) VALUES (:NewID, 2, 'x') "
          "RETURNING 1",
          "INSERT INTO [tVO - Liens Images] (idImage, NoSuchColumn) VALUES (:NewID, 2)",
          "INSERT INTO tUsers (idUser, Name_) VALUES (:NewID, 'x')", "DELETE FROM tActions"}) {
        const auto res = postUpload("Z0000002-07.jpg", "Z0000002-07m.jpg", jpeg, jpeg, sql);
        ASSERT_TRUE(res);
        EXPECT_NE(warning(res->body), "") << sql;
        EXPECT_EQ(fileContent(photo), "before") << sql;
        EXPECT_EQ(fileContent(mini), "before mini") << sql;
    }
    EXPECT_EQ(dump(), before);
    for (const auto &e : std::filesystem::directory_iterator(dir / "photos"))
        EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
}

TEST_F(Uploads, ReportsArePdfsThatReadBackWithTheRecordNumber)
{
    const std::string vo = std::to_string(seed::kDemoVO), vd = std::to_string(seed::kDemoVD),
                      vn = std::to_string(seed::kDemoVN);
    const struct
    {
        std::string selection, name, number;
    } cases[] = {
            {"idVO=" + vo, "VO - Fiche Commerciale",
             scalar("SELECT NVO FROM tVehicles WHERE idVO=" + vo)},
            {"idVO=" + vo, "VO - Feuille de Marge",
             scalar("SELECT NVO FROM tVehicles WHERE idVO=" + vo)},
            {"idVO=" + vd, "VD - Fiche Commerciale",
             scalar("SELECT NVO FROM tVehicles WHERE idVO=" + vd)},
            {"idVO=" + vd, "VD - Fiche Commerciale2",
             scalar("SELECT NVO FROM tVehicles WHERE idVO=" + vd)},
            {"idVO=" + vn, "VN - Fiche Commerciale",
             scalar("SELECT NVO FROM tVehicles WHERE idVO=" + vn)},
            {"idClient=" + std::to_string(seed::kDemoCustomer), "Fiche Clarim",
             std::to_string(seed::kDemoCustomer)},
    };
    for (const auto &c : cases) {
        ASSERT_FALSE(c.number.empty()) << c.name;
        // The browser sends the address as the client composed it, blanks encoded.
        std::string target = "/ReportPDF?rptSelect=" + c.selection + "&rptName=" + c.name;
        for (size_t p = 0; (p = target.find(' ', p)) != std::string::npos;)
            target.replace(p, 1, "%20");
        httplib::Client http("127.0.0.1", port);
        const auto res = http.Get(target.c_str());
        ASSERT_TRUE(res);
        EXPECT_EQ(res->get_header_value("Content-Type"), "application/pdf") << c.name;
        EXPECT_EQ(res->body.rfind("%PDF-", 0), 0u) << c.name;
        const std::string text = pdfText(res->body);
        EXPECT_NE(text.find("N° " + c.number), std::string::npos) << c.name << "\n" << text;
    }
    for (const std::string target :
         {"/ReportPDF?rptSelect=idVO=1&rptName=Inconnu",
          "/ReportPDF?rptSelect=idClient=1&rptName=VO%20-%20Fiche%20Commerciale",
          "/ReportPDF?rptSelect=idVO=999999&rptName=VO%20-%20Fiche%20Commerciale",
          "/ReportPDF?rptSelect=idVO=x&rptName=Fiche%20Clarim"})
        EXPECT_NE(warning(fetch(target)), "") << target;
}

TEST_F(Uploads, SmsGatewayStoresTheMessage)
{
    httplib::Client http("127.0.0.1", port);
    // "à" travels as the two bytes 0xC3 0xA0.
    const std::string text = "de Zolvare VALENCE,\r\n\r\npour un test d'envoi \xC3\xA0 M. XYZ Abc";
    const auto ok
            = http.Post("/tools/smssend/smssend.php5",
                        httplib::MultipartFormDataItems {{"destinataire", "+33612345678", "", ""},
                                                         {"texte", text, "", ""}});
    ASSERT_TRUE(ok);
    EXPECT_NE(ok->body.find("telephonySmsSend successfull"), std::string::npos);
    EXPECT_EQ(scalar("SELECT Texte FROM tSMS ORDER BY idSMS DESC LIMIT 1"), text);
    const auto accepted = http.Post(
            "/tools/smssend/smssend.php5",
            httplib::MultipartFormDataItems {{"destinataire", "+33612345678", "", ""},
                                             {"texte", std::string(1023, 'a'), "", ""}});
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->body, "telephonySmsSend successfull");
    const int stored = count("SELECT count(*) FROM tSMS");
    for (const auto &[to, body] : {std::pair<std::string, std::string> {"0612", text},
                                   {"+33612345678", ""},
                                   {"+33612345678", std::string(1024, 'a')},
                                   {"+33612345678", std::string(3 << 20, 'a')}}) {
        const auto refused
                = http.Post("/tools/smssend/smssend.php5",
                            httplib::MultipartFormDataItems {{"destinataire", to, "", ""},
                                                             {"texte", body, "", ""}});
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->body.find("telephonySmsSend successfull"), std::string::npos);
    }
    EXPECT_EQ(count("SELECT count(*) FROM tSMS"), stored);
}

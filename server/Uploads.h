#pragma once

// The two multipart POSTs: the photo upload to "AxInsert" (fields "NFImage", "SQLExecute",
// "NFImageMini" and two "File" parts) and the SMS gateway path.

#include <string>

namespace httplib {
struct Request;
}

namespace dravik::server {

class Database;

// Stores both photo files in the photo folder, then runs the statement as "AxInsert" does;
// answers the document of the insert, or log items when the upload is refused.
std::string photoUpload(Database &db, const std::string &photoDir, const httplib::Request &req);

// Stores the message ("destinataire", "texte") and answers the gateway's plain-text reply:
// "telephonySmsSend successfull", or an error text.
std::string smsSend(Database &db, const httplib::Request &req);

} // namespace dravik::server

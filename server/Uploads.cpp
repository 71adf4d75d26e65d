#include "server/Uploads.h"

#include "common/Dates.h"
#include "common/Latin1.h"
#include "server/ClientSql.h"
#include "server/Database.h"
#include "server/HttpServer.h"
#include "server/Messages.h"
#include "server/XmlDoc.h"

#include <fcntl.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace dravik::server {

namespace {

constexpr size_t kMaxPhotoBytes = 4096000; // the client's MAX_FILE_SIZE
constexpr size_t kMaxSmsBytes = 1024; // a text of this size or more is refused

std::string field(const httplib::Request &req, const char *name)
{
    const auto it = req.files.find(name);
    return it == req.files.end() ? std::string() : it->second.content;
}

// A JPEG is what libjpeg reads a header and a size from; its errors end the reading instead of
// the process.
bool isJpeg(const std::string &data)
{
    struct Failure
    {
        jpeg_error_mgr mgr;
        jmp_buf jump;
    };
    jpeg_decompress_struct info {};
    Failure failure {};
    info.err = jpeg_std_error(&failure.mgr);
    failure.mgr.error_exit = [](j_common_ptr c) {
        longjmp(reinterpret_cast<Failure *>(c->err)->jump, 1);
    };
    failure.mgr.output_message = [](j_common_ptr) {
    };
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.data()),
                 static_cast<unsigned long>(data.size()));
    const bool ok = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK && info.image_width > 0
            && info.image_height > 0;
    jpeg_destroy_decompress(&info);
    return ok;
}

// A file written under a temporary name and flushed to disk, put in place by publish(), so
// that the folder never serves half a photo, nor a photo whose statement failed. Removed when
// not published.
class StagedFile
{
public:
    StagedFile(std::string dir, std::string name)
        : m_dir(std::move(dir))
        , m_name(std::move(name))
    { }
    ~StagedFile()
    {
        if (!m_tmp.empty())
            ::unlink(m_tmp.c_str());
    }
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    bool write(const std::string &data)
    {
        std::string tmp = m_dir + "/." + m_name + ".XXXXXX";
        const int fd = ::mkstemp(tmp.data());
        if (fd < 0)
            return false;
        m_tmp = tmp;
        size_t done = 0;
        bool ok = true;
        while (ok && done < data.size()) {
            const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
            ok = n > 0;
            done += ok ? static_cast<size_t>(n) : 0;
        }
        ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
        return ::close(fd) == 0 && ok;
    }
    bool publish()
    {
        if (::rename(m_tmp.c_str(), (m_dir + "/" + m_name).c_str()) != 0)
            return false;
        m_tmp.clear();
        const int dfd = ::open(m_dir.c_str(), O_RDONLY | O_DIRECTORY);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
        return true;
    }

private:
    std::string m_dir, m_name, m_tmp;
};

// A photo file name the folder accepts: letters, digits, "-" and "_", ending ".jpg".
bool isPhotoName(const std::string &name)
{
    if (name.size() < 5 || name.size() > 100)
        return false;
    const std::string ext = name.substr(name.size() - 4);
    if (ext != ".jpg" && ext != ".JPG" && ext != ".Jpg")
        return false;
    for (size_t i = 0; i + 4 < name.size(); ++i) {
        const char c = name[i];
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                || ((c == '-' || c == '_') && i > 0);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

std::string photoUpload(Database &db, const std::string &photoDir, const httplib::Request &req)
{
    // The two "File" parts come in the order of their names "NFImage" and "NFImageMini".
    std::vector<std::string> contents;
    const auto range = req.files.equal_range("File");
    for (auto it = range.first; it != range.second; ++it)
        contents.push_back(it->second.content);
    const std::string names[2]
            = {latin1ToUtf8(field(req, "NFImage")), latin1ToUtf8(field(req, "NFImageMini"))};
    if (contents.size() != 2 || names[0].empty() || names[1].empty())
        return XmlDoc::failure({msg::missingPhotoFile()});
    for (int i = 0; i < 2; ++i) {
        if (!isPhotoName(names[i]))
            return XmlDoc::failure({msg::badPhotoName(names[i])});
        if (contents[i].size() > kMaxPhotoBytes)
            return XmlDoc::failure({msg::photoTooLarge(names[i])});
        if (!isJpeg(contents[i]))
            return XmlDoc::failure({msg::notJpeg(names[i])});
    }
    const std::string sql = latin1ToUtf8(field(req, "SQLExecute"));
    if (sql.empty())
        return XmlDoc::failure({msg::missingParameter("SQLExecute")});
    StagedFile files[2] = {{photoDir, names[0]}, {photoDir, names[1]}};
    for (int i = 0; i < 2; ++i) {
        if (!files[i].write(contents[i]))
            return XmlDoc::failure({msg::photoWriteFailed(names[i])});
    }
    // The files take their place once the statement succeeded, before its commit.
    WriteOptions options;
    options.requestKey = latin1ToUtf8(field(req, "RequestKey"));
    options.beforeCommit = [&]() -> std::string {
        for (int i = 0; i < 2; ++i)
            if (!files[i].publish())
                return XmlDoc::failure({msg::photoWriteFailed(names[i])});
        return {};
    };
    return runInsert(db, sql, options);
}

std::string smsSend(Database &db, const httplib::Request &req)
{
    const std::string to = field(req, "destinataire");
    std::string text = field(req, "texte");
    // The client sends UTF-8; anything else is taken as Latin-1.
    if (!isValidUtf8(text))
        text = latin1ToUtf8(text);
    const bool international = to.size() >= 8 && to.size() <= 16 && to[0] == '+'
            && to.find_first_not_of("0123456789", 1) == std::string::npos;
    if (!international)
        return msg::smsBadRecipient(latin1ToUtf8(to));
    if (text.empty())
        return msg::smsEmptyText();
    if (field(req, "texte").size() >= kMaxSmsBytes)
        return msg::smsTooLong();
    try {
        auto lease = db.acquire();
        Statement &stmt = lease->cached(
                "INSERT INTO tSMS (Destinataire, Texte, DateEnvoi) VALUES (?, ?, ?)");
        stmt.bind(1, to);
        stmt.bind(2, text);
        stmt.bind(3, formatIso(now()));
        const StepResult r = stmt.step();
        stmt.reset();
        if (r != StepResult::Done)
            return msg::smsStoreFailed();
    } catch (const std::exception &) {
        return msg::smsStoreFailed();
    }
    return msg::smsSuccess();
}

} // namespace dravik::server

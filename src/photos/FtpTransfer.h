#pragma once

// The copy of the reduced photos into the photo web folder: FTP by libcurl, binary (TYPE I),
// active mode, one connection for the files of one transfer.

#include <QString>

inline const QString kRemotePhotoFolder = QStringLiteral("www/voimages");

// Deployment settings (keys FtpHost, FtpPort, FtpGateway, FtpUser, FtpPassword).
struct FtpSettings
{
    QString host;
    int port = 21;
    QString gateway; // "address" or "address:port"; used when a web proxy is configured
    QString account;
    QString password;
};

struct FtpEndpoint
{
    QString host;
    int port = 21;
    QString user;
    QString password;
};

// Behind a web proxy the gateway is reached and the login names the FTP host (user@host).
FtpEndpoint chooseFtpEndpoint(const FtpSettings &settings, const QString &proxyServer);

class FtpSession
{
public:
    // silenceSeconds: longest wait for the server at any step.
    explicit FtpSession(FtpEndpoint endpoint, QString remoteFolder = kRemotePhotoFolder,
                        int silenceSeconds = 30);
    ~FtpSession();
    FtpSession(const FtpSession &) = delete;
    FtpSession &operator=(const FtpSession &) = delete;

    // Uploads localPath under remoteName, replacing a file of that name. The first upload
    // connects, logs in and changes to the remote folder. Answers the error, empty on success.
    QString put(const QString &localPath, const QString &remoteName);

private:
    FtpEndpoint m_endpoint;
    QString m_folder;
    int m_silence;
    void *m_curl = nullptr;
};

#pragma once

// The main window: the one owner of the program state. Members are declared here by
// subsystem and defined in the folder of that subsystem (src/app/AxDravikShell.cpp,
// src/gateway/AxDravikHttp.cpp, ...). Each control is a member pointer whose objectName is
// its member name.

#include "gateway/TXml.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/HttpTransport.h"
#include "platform/Keyboard.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QDateTime>
#include <QString>
#include <QWidget>

#include <memory>

class QFrame;
class QLabel;
class QTimer;

class RequestRoutines;

// The desktop services the window uses. The program passes the real ones; tests pass doubles.
struct TAxDravikServices
{
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<Environment> environment;
    std::unique_ptr<MessageBoxes> messages;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<HttpTransport> http1; // every GET and POST, 5000 ms read time-out
    std::unique_ptr<HttpTransport> http2; // photo downloads, no time-out

    static TAxDravikServices system();
};

class TAxDravik : public QWidget
{
    Q_OBJECT
public:
    // Creates the controls and runs ActiveFormCreate.
    explicit TAxDravik(TAxDravikServices services, QWidget *parent = nullptr);
    ~TAxDravik() override;

    // Window caption at design time and texts of the shell.
    static inline const QString kDesignCaption = QStringLiteral("Dravik ");
    static inline const QString kApplicationTitle
            = QStringLiteral("Saisie des Fiches Dravik & Clarim");
    static constexpr int kClientWidth = 825;
    static constexpr int kClientHeight = 596;
    static constexpr int kTimerIntervalMs = 250;

    // ---- Application shell (src/app/AxDravikShell.cpp) ------------------------------------
    void ActiveFormCreate();
    void ActiveFormActivate();
    void ActiveFormDestroy();
    void OnStart();
    void ShowSplash();
    // Hides the splash and gives the normal cursor back (end of a record load).
    void HideSplash();
    void Timer1Timer();
    void StartSequence();
    void OnMsgActualize();
    // Shows the long part of a widget's hint in LbDebugInfo3.
    void GestionHints(QWidget *widget);
    void TraceLog(const QString &message);
    QString GetTagRegistry(const QString &name);
    // False when the settings file could not be written; error then holds the message.
    bool SetTagRegistry(const QString &name, const QString &value, QString *error = nullptr);
    // Launch parameter setters, in their delivery order; 0 = success.
    int Set_HttpRoot(const QString &value);
    int Set_BaseHRef(const QString &value);
    int Set_idTVO(const QString &value);
    int Set_OCXName(const QString &value);
    int Set_OCXVersion(const QString &value);
    int Set_URLImages(const QString &value);
    int Set_idUser(const QString &value);
    int Set_UserConcession(const QString &value);
    int Set_UserSite(const QString &value);
    int Set_WhereClause(const QString &value);
    int Set_OrderClause(const QString &value);
    int Set_idClient(const QString &value);
    QString Get_idClient() const;
    // A message of another start of the program: "show" raises the window, "1024" reloads.
    void OnInstanceMessage(const QByteArray &message);

    // ---- Server gateway (src/gateway/AxDravikHttp.cpp) ------------------------------------
    void HttpExecute(const QString &address, const QString &file);
    void HttpExecuteCached(const QString &address, const QString &file);
    void HttpPost(const QString &address, const QString &file, const QList<FormPart> &form);
    // LbDebugInfo0 := text, with the red band shown exactly when it is not empty.
    void SetWarning(const QString &text);
    // True while either HTTP client waits for an answer: no other request may start.
    bool RequestInFlight() const;
    // Closes the kept connection of IdHTTP1 (reload, idle time).
    void DropConnection();
    // Full path of a response file: TempFolder + "/" + leaf name.
    QString ResponseFile(const QString &leafName) const;

    // ---- Record form engine (src/engine) ------------------------------------------------
    void UpdateParams();
    void UpdateView(int reload);

    // ---- Search and duplicate customers (src/search) ------------------------------------
    void HttpGetSearchInfo(int mode);
    void HttpGetDblInfo();

    // ---- Services -----------------------------------------------------------------------
    Clock &clock() const { return *m_services.clock; }
    Keyboard &keyboard() const { return *m_services.keyboard; }
    Environment &environment() const { return *m_services.environment; }
    MessageBoxes &messages() const { return *m_services.messages; }
    Shell &shell() const { return *m_services.shell; }

    // ---- State: launch parameters and session --------------------------------------------
    int ParamCount = 0;
    bool FlagTrace = false;
    QString SettingsPath;
    QString TempFolder;
    QString BaseHRef;
    QString OCXName;
    QString OCXVersion;
    QString URLImages;
    QString idUser;
    QString UserConcession;
    QString UserSite;
    QString WhereClause;
    QString OrderClause;
    int idTypeVO = 0;

    // ---- State: heartbeat, debounces, start ----------------------------------------------
    int StartCount = 0;
    int TickInSecond = 0;
    int IdleSeconds = 0;
    int DuplicateCountdown = 0;
    int SearchCountdown = 0;
    bool FlagBlink = false;
    int BlinkCount = 0;
    QString InstalledVersion;
    QString ProxyServer;

    // ---- State: the record on screen -----------------------------------------------------
    QString UrlInfoVO;
    QString UrlInfoCL;
    QString UserName;
    QString UserUS1;
    QString RecordSite;
    QString RecordOwner;
    QString TypeVO;
    QString RecordKind;
    QString RecordElement;
    QString LastTypeVersion;
    bool FlagNewEnreg = false;
    bool FlagNewVehicle = false;
    bool FlagLoading = false;
    int FirstTab = 0;
    // Option dates and the server date they were accepted against (invalid: 0, rejected).
    QDateTime OptLimiteDateDeb;
    QDateTime OptLimiteDateDebFrevo;
    QDateTime OptLimiteDateDebClarim;
    QDateTime OptLimiteDateVerrouVNVO;
    QDateTime OptNow;
    QDateTime ServerNow;
    int VehicleIndex = 0;
    int VehicleFound = 0;

    // ---- State: documents ----------------------------------------------------------------
    TXml RecordDoc;
    TXml CustomerDoc;
    TXml StructDoc;
    TXml EquipDoc;
    TXml ListDoc;

    // ---- State: rights -------------------------------------------------------------------
    bool FlagSiteAccess = false;
    bool FlagModifiable = false;
    bool FlagRights = false;
    bool RightCompta = false;
    bool RightClarim = false;
    bool RightAdmin = false;

    // ---- Controls: warning band, splash, search panel, marker ----------------------------
    QFrame *PanelWarning = nullptr;
    QFrame *PanelSplash = nullptr;
    QLabel *LbSplash = nullptr;
    QLabel *ImageSplash = nullptr;
    QLabel *LbConcession = nullptr;
    QFrame *Panel1 = nullptr;
    QFrame *Shape1 = nullptr;

    // ---- Controls: bottom line and parameter labels --------------------------------------
    QLabel *LbDebugInfo0 = nullptr;
    QLabel *LbDebugInfo1 = nullptr;
    QLabel *LbDebugInfo2 = nullptr;
    QLabel *LbDebugInfo3 = nullptr;
    QLabel *LbHttpRoot = nullptr;
    QLabel *LbBaseHRef = nullptr;
    QLabel *LbVersion = nullptr;
    QLabel *LbIdTVO = nullptr;
    QLabel *LbIDCustomer = nullptr;

    // ---- Non-visual components -----------------------------------------------------------
    HttpTransport *IdHTTP1 = nullptr;
    HttpTransport *IdHTTP2 = nullptr;
    QTimer *Timer1 = nullptr;

signals:
    // Another start of the program asked this copy to come to the front.
    void raisedByAnotherStart();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Creates the controls of the shell (src/ui/TAxDravik.cpp).
    void CreateShellControls();
    // Hint timing and GestionHints as the application's hint handler.
    void InstallHints();
    // Runs a step of the shell, containing any error it raises.
    template<typename F>
    void Guarded(F &&step);
    // Counts one delivered launch parameter and traces its word; answers the setter status.
    int CountParameter(const char16_t *traceWord);
    // The diagnostic line of creation and activation.
    QString StartingText() const;

    TAxDravikServices m_services;
    std::unique_ptr<RequestRoutines> m_requests;
    bool m_reloadPending = false;
    int m_shellDepth = 0; // > 0 while a shell step lets events run
    bool m_splashCursor = false;
    bool m_hintsInstalled = false;
};

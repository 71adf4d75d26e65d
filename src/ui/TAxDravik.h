#pragma once

// The main window: the one owner of the program state. Members are declared here by
// subsystem and defined in the folder of that subsystem (src/app/AxDravikShell.cpp,
// src/gateway/AxDravikHttp.cpp, src/engine/AxDravikLayout.cpp, ...). The controls come from
// the form layout (data/form-layout.csv); those the code uses by name are member pointers
// whose objectName is their member name, every other one is found in Controls.

#include "editing/ChoiceIndex.h"
#include "editing/ComboLists.h"
#include "editing/TsLine.h"
#include "editing/UserRights.h"
#include "engine/Kinds.h"
#include "engine/RecordDocument.h"
#include "engine/StructEntry.h"
#include "engine/TsPage.h"
#include "gateway/NameTable.h"
#include "gateway/TXml.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/HttpTransport.h"
#include "platform/Keyboard.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"
#include "ui/widgets/ControlEvents.h"

#include <QColor>
#include <QDate>
#include <QHash>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <variant>
#include <vector>

class ComboBox;
class DataGrid;
class HeaderEdit;
class MultiListBox;
class PictureButton;
class QCloseEvent;
class QCompleter;
class QFrame;
class QKeyEvent;
class QLabel;
class QTabWidget;
class QPixmap;
class QTimer;
class TFrmBlur;
struct FieldContext;
struct FieldPlan;
struct FieldReaction;
struct PixelRect;
struct HandlerBinding;
enum class KeyFilter;

class RequestKeys;
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
    // Photo downloads; gives up after TAxDravik::kPreviewSilenceMs of silence.
    std::unique_ptr<HttpTransport> http2;

    static TAxDravikServices system();
};

// What a grid event tells its handler, and what the handler answers.
struct GridArgs
{
    int Row = -1;
    int Col = -1;
    QString Text; // Edit, EditAccept: the editor's text
    bool Accept = true; // BeforeSelect, EditAccept: false refuses
    QColor Color; // CellFormating: the text colour to paint, invalid: the cell's own
    QPoint Pos; // MouseMove: in the grid's viewport
};

class TAxDravik
    : public QWidget
    , public FieldSetup
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
    // A photo server that accepts and never answers must not hold the window: the preview
    // download gives up after this silence and shows the no-photo picture.
    static constexpr int kPreviewSilenceMs = 30000;
    // Property of a header edit: its design text colour.
    static constexpr const char *kDesignTextColor = "DesignTextColor";

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
    // False when the last request of IdHTTP1 raised an error: no answer came, and its
    // response file still holds the answer before.
    bool RequestAnswered() const;
    // True while either HTTP client waits for an answer: no other request may start.
    bool RequestInFlight() const;
    // Closes the kept connection of IdHTTP1 (reload, idle time).
    void DropConnection();
    // Full path of a response file: TempFolder + "/" + leaf name.
    QString ResponseFile(const QString &leafName) const;
    // The text of a response file (as LoadTextFile), from memory when the last request has
    // just written it.
    QString ResponseText(const QString &path) const;

    // ---- Design controls and their handlers (src/ui/AxDravikHandlers.cpp) ------------------
    // The design control of that name (null when the layout has none).
    template<typename T = QWidget>
    T *Control(const QString &name) const
    {
        return qobject_cast<T *>(Controls.value(name));
    }
    // Assigns a handler to one event of a control, replacing the one it had ("Change",
    // "Exit", "KeyDown", "Click"...). False when the handler is unknown or does not fit the
    // event or the control; the control then keeps what it had.
    bool AssignHandler(QWidget *control, const QString &event, const QString &handler);
    // The name of the handler an event of a control runs; empty when none.
    QString HandlerOf(const QWidget *control, const QString &event) const;
    // Assigns the design-bound handlers of the layout; answers one line per binding refused.
    QStringList WireDesignHandlers(const std::vector<HandlerBinding> &bindings);
    // Every handler name the window knows.
    static QStringList HandlerNames();
    // A handler ended by an error: traced with its name, shown in the warning band.
    void HandlerFailed(const QString &handler, const QString &error);

    // ---- Record form engine (src/engine) ------------------------------------------------
    void UpdateParams();
    void UpdateView(int reload);
    void UpdateHints(bool customer);
    void GetInfoReservation();
    void UpdateTabDesc(int reload, int describe);
    // Set-up of a field's control by kind; control null: a control is created on the tab's
    // page (or PanelCompta). Answer the control that serves the field.
    // The control-kind table (src/engine/Kinds.cpp) names which one serves each kind.
    QWidget *SetupEdit(QWidget *control, int tab, int index, const FieldPlan &plan) override;
    QWidget *SetupCombo(QWidget *control, int tab, int index, const FieldPlan &plan) override;
    QWidget *SetupListBox(QWidget *control, int tab, int index, const FieldPlan &plan) override;
    QWidget *SetupButton(QWidget *control, int tab, int index, const FieldPlan &plan) override;
    // The index of the choice lists of EquipDoc (made when missing).
    const ChoiceIndex &ChoiceLists();
    // The text a design control shows (empty when there is no such control).
    QString FieldText(const QString &controlName) const;
    // The descriptor a control's tag names; null for tag 0 or a tag outside the tabs.
    TsDesc *DescOf(const QObject *control);
    static int TagOf(const QObject *control);
    static void SetTag(QObject *control, int tag);

    // ---- Editing: rights, lists, changes, header, record commands (src/editing) ----------
    bool GetDataRights(const QString &groupList) const;
    void CBoxControl(QWidget *Sender, int &Tab, int &Index);
    void CBoxChange(QWidget *Sender);
    void CBoxEnter(QWidget *Sender);
    void CBoxExit(QWidget *Sender);
    void CBoxKeyDown(QWidget *Sender, KeyArgs &Key);
    void cBoxKeyUp(QWidget *Sender, KeyArgs &Key);
    void LBoxChange(QWidget *Sender);
    void EditChange(QWidget *Sender);
    bool TestPageUpdate(int tab);
    // The recording a change handler begins with: as a list (CBoxChange) or as an edit
    // (EditChange). False while a tab is filled: the handler then does nothing more.
    bool RecordChange(QWidget *Sender, bool asList);
    bool GoTestVerrou();
    // The user may change the record: it is not locked and at least one of its fields is open
    // to the user's groups. What may not be changed may not be deleted either.
    bool RecordModifiable() const;
    void GoOnKeyDown(QWidget *Sender, KeyArgs &Key);
    void GoOnKeyPress(QWidget *Sender, KeyArgs &Key);
    // LoadInfoNxComboBox, LoadInfoNxComboBoxColumn, SetInfoComboBoxIdCom, GetInfoComboBoxIdCom
    // over the choice lists of EquipDoc.
    void LoadInfoNxComboBox(const QString &listName, ComboBox *box);
    void LoadInfoNxComboBoxColumn(const QString &listName, DataGrid *grid, int column);
    void SetInfoComboBoxIdCom(const QString &idCom, ComboBox *box);
    QString GetInfoComboBoxIdCom(const QString &listName, const QString &shown);
    void czVDOptionsClick(QWidget *Sender);
    void czVNOptionsClick(QWidget *Sender);
    void cVDInfoOptionsEnter(QWidget *Sender);
    void cVDInfoOptionsExit(QWidget *Sender);
    void cVNInfoOptionsEnter(QWidget *Sender);
    void cVNInfoOptionsExit(QWidget *Sender);
    void setInfoNVO();
    void setInfoTitre();
    void setInfoField1();
    void setInfoField2();
    void setInfoField3();
    // A header edit's text as the record now has it, and the writing of it (the header is
    // emptied at the start of a load; the edits the end of the load does not fill stay empty).
    QString HeaderText(const HeaderEdit *edit) const;
    void SetHeaderText(HeaderEdit *edit, const QString &text);
    void TabsChange(QWidget *Sender);
    void TabsChanging(QWidget *Sender, bool &AllowChange);
    void JvXPBtnNewVOClick(QWidget *Sender);
    void JvXPBtnSupprClick(QWidget *Sender);
    void JvXPBtnSweepClick(QWidget *Sender);
    void JvXPBtnSaveClick(QWidget *Sender);
    void JvXPBtnActualizeClick(QWidget *Sender);
    // The reload the program makes itself (after an insert, a grid action): nothing is asked.
    void ReloadRecord();
    // Before a way out of the record shown (closing, reloading, another record): with a change
    // pending, asks whether to save it. True when the caller may go on: nothing was pending,
    // the save succeeded, or the user dropped the changes.
    bool AskPendingChanges();
    // The status line: what became of the data, in plain words.
    void ShowStatus(const QString &text);
    // The window caption; " *" follows it while a change waits for its save.
    void SetCaption(const QString &caption);
    void RefreshCaption();
    // A field named as the user sees it: its caption, else the design label beside its
    // control, else its column name.
    QString FieldLabel(const TsDesc &desc) const;
    // The field holding the focus checked as if it were left, before a save (the toolbar and
    // the page tabs take no focus): a date out of its limits, a list-only box showing a text
    // that is not listed. Answers whether the save must stop.
    bool TestFocusedField();
    // The combo box holding the focus takes the text it shows as chosen (a completion it
    // offers included), as leaving it would.
    void CommitFocusedCombo();
    // List maintenance: mode -1 deletes the box's entry, 0 adds it.
    void ActionInfoRubrique(QWidget *Sender, int mode);
    // The change of a field whose Change handler is a row of the reaction table
    // (src/editing/FieldReactions.cpp): what that row says, in its order. FieldChange finds
    // the row by the control's assigned handler; ReactAs by a handler name.
    void FieldChange(QWidget *Sender);
    void ReactAs(QWidget *Sender, const QString &handlerName);
    void React(QWidget *Sender, const FieldReaction &reaction);
    // The common change handler of new-vehicle-order fields: records the change as an edit or
    // a list, then stamps cVNDateUpdateCde with the server date once the field differs.
    void cVNControlChange(QWidget *Sender);
    void FieldCascades(QWidget *Sender, const FieldReaction &reaction);
    void FieldDuty(QWidget *Sender, const FieldReaction &reaction);
    // Date checks on leaving a field.
    void cDateEntreeExit(QWidget *Sender);
    void cDateOrdreExit(QWidget *Sender);
    void cMECExit(QWidget *Sender);
    void cDateValidationGarantieExit(QWidget *Sender);
    void cDateDisponibiliteExit(QWidget *Sender);
    void cDateLivraisonExit(QWidget *Sender);
    void cDatePresFinancementExit(QWidget *Sender);
    void cDatePaiementExit(QWidget *Sender);
    void cVDMECExit(QWidget *Sender);
    void cVNDateOrdreExit(QWidget *Sender);
    void cVNDateAnnulationExit(QWidget *Sender);
    void cVNDateDisponibiliteExit(QWidget *Sender);
    void cVNDateLivraisonExit(QWidget *Sender);
    void cVNDatePresFinancementExit(QWidget *Sender);
    void cVNDatePaiementExit(QWidget *Sender);
    void cVNMECExit(QWidget *Sender);
    void cVNDateLivrMaxiExit(QWidget *Sender);
    void vDateOrdreExit(QWidget *Sender);
    void vMECExit(QWidget *Sender);
    void vDateLastSAVExit(QWidget *Sender);
    void vDateNextSAVExit(QWidget *Sender);
    void vDateFinGarantieExit(QWidget *Sender);
    void vDateFinFinancementExit(QWidget *Sender);
    void aCliDateNaissanceExit(QWidget *Sender);
    // The date check of a date field left: refused dates are put back (with a message) and
    // keep the focus. Null limits are no limit. Answers whether the date was refused.
    bool TestDateChange(QWidget *control, const QDate &lower, const QDate &upper);
    // The date field holding the focus checked as if it were left (the toolbar and the page
    // tabs take no focus); answers whether its date was refused.
    bool TestFocusedDate();
    // Saving (src/editing/AxDravikSave.cpp): checks, at most one grid row, the shown tab's
    // statement, the new id and reload, the fixed fee. True when the caller may go on.
    // stoppedOnCheck, when given, tells whether a required field stopped the save (whose
    // answer is then FlagNewEnreg or FlagNewVehicle).
    bool SaveChanges(bool *stoppedOnCheck = nullptr);
    // Saves what is pending before the record is left or reloaded: true when the save went
    // through (a new record stopped by a required field has not, though SaveChanges answers
    // true).
    bool SavedThrough();
    // The fetch of the record shown or asked for got no answer: said in the warning band and the
    // status line; the window keeps what it shows.
    void RecordNotLoaded();
    // One write statement through AxInsert or AxUpdate into a response file; answers the
    // warning it left (empty: success).
    QString SendStatement(const QString &endpoint, const QString &statement,
                          const QString &responseFile);
    // "idVO" of "tVO" / "idClient" of "TVC" of the record document; with complain, a missing
    // id is said in the "Action Annulée" box.
    // The new-record step of the kind button once nothing is left to save: an empty record of
    // the kind shown, its site offered.
    void NewRecord();
    QString GetIdVO(bool complain);
    QString GetIdClient(bool complain);
    // Cascades (src/editing/AxDravikCascades.cpp).
    void UpdateCBox(QWidget *combo, const QString &filter, const QString &textElement,
                    const QString &filterElement, const QString &item);
    void UpdateVersion(QWidget *memo, QWidget *model, QWidget *typeVersion);
    void UpdateLBox(QWidget *listBox, bool siteBrands);

    // ---- Grids and computations (src/grids) ---------------------------------------------
    // Pending statement of one grid row (a negative row asks for its deletion); true when the
    // row has one. The fixed file fee of a used vehicle: its insert, or empty.
    bool TestFrevoUpdate(int row);
    bool TestActionUpdate(int row);
    QString TestFraisFixes();
    void LoadInfoFrevo();
    void ngFrevoAfterEdit(QWidget *Sender, GridArgs &Args);
    void ngFrevoBeforeSelect(QWidget *Sender, GridArgs &Args);
    void ngFrevoCellClick(QWidget *Sender, GridArgs &Args);
    void ngFrevoCellFormating(QWidget *Sender, GridArgs &Args);
    void ngFrevoChange(QWidget *Sender, GridArgs &Args);
    void ngFrevoEdit(QWidget *Sender, GridArgs &Args);
    void ngFrevoEditAccept(QWidget *Sender, GridArgs &Args);
    void LoadInfoAction();
    void JvXPBtnNewActionClick(QWidget *Sender);
    void ngActionAfterEdit(QWidget *Sender, GridArgs &Args);
    void ngActionBeforeSelect(QWidget *Sender, GridArgs &Args);
    void ngActionCellClick(QWidget *Sender, GridArgs &Args);
    void ngActionCellFormating(QWidget *Sender, GridArgs &Args);
    void ngActionChange(QWidget *Sender, GridArgs &Args);
    void ngActionEdit(QWidget *Sender, GridArgs &Args);
    void ngActionEditAccept(QWidget *Sender, GridArgs &Args);
    void ngActionKeyPress(QWidget *Sender, KeyArgs &Key);
    void LoadInfoVehicle();
    void JvXPBtnNewVehicleClick(QWidget *Sender);
    void ngVehiclesBeforeSelect(QWidget *Sender, GridArgs &Args);
    void ngVehiclesCellClick(QWidget *Sender, GridArgs &Args);
    void ngVehiclesSelectCell(QWidget *Sender, GridArgs &Args);
    void UpdateTVAetMarges();
    void UpdateSoldeVN();
    void UpdateDateEcheanceTresorerie();
    void cModeTVAChange(QWidget *Sender);
    void cPrixVenteChange(QWidget *Sender);
    void cPrixRepriseChange(QWidget *Sender);
    void cPrixGarantieChange(QWidget *Sender);
    void cTPVOChange(QWidget *Sender);
    void cVNMontantAchatChange(QWidget *Sender);
    void cVNDateAchatChange(QWidget *Sender);
    // The due-date handlers: record the change, then the treasury and settlement dates.
    void cVNDateEch(QWidget *Sender);
    void cVNSituationAchatChange(QWidget *Sender);
    void cVNTypeFinancementChange(QWidget *Sender);
    void cVNDestinationChange(QWidget *Sender);
    void cVNDateOrdreChange(QWidget *Sender);
    void cVNMECChange(QWidget *Sender);
    void cVNTypeFinancementDelaiChange(QWidget *Sender);
    void LbPanelComptaClick(QWidget *Sender);
    // Costs totals beside the costs grid, then VAT and margins.
    void UpdateCumulFrevo();
    // The salesperson's name of a code; empty when the code is not listed.
    QString ngActionGetInfoCom(const QString &code);
    // After a row test: the statement in LbDebugInfo1; the save button stays enabled while
    // anything waits (a row of either grid, the shown tab).
    void ShowGridStatement(const QString &statement);
    // The columns of the costs grid a row may edit (the add row: its date only).
    void FrevoEnableRow(int row);
    // A cell's text taken into its row as edited, then the row test.
    void FrevoCellEdited(int row, int column, const QString &text);
    void ActionCellEdited(DataGrid *grid, int row, int column, const QString &text);
    // `shown`, when given, keeps the texts already looked up in this column during one load.
    void ShowActionCell(DataGrid *grid, int row, int column, const QString &stored,
                        std::vector<std::pair<QString, QString>> *shown = nullptr);
    // The customer the actions belong to.
    QString ActionOwnerId() const;
    // Rights tag of the add row; completion of the cell being typed ("ngFrevo" + column).
    QString FrevoAddTag;
    QString CompletionKey;
    QCompleter *FrevoCompletion = nullptr;

    // ---- Search, duplicates, identity (src/search) --------------------------------------
    void HttpGetSearchInfo(int mode);
    void JvXPBtnSearchClick(QWidget *Sender);
    void JvXPBtnSearchPlusClick(QWidget *Sender);
    void JvXPNextClick(QWidget *Sender);
    void JvXPPrevClick(QWidget *Sender);
    void LbSearchClick(QWidget *Sender);
    void TSLbNVOClick(QWidget *Sender);
    void TSLbImmatClick(QWidget *Sender);
    void TSLbClientClick(QWidget *Sender);
    void TSLbTelephoneClick(QWidget *Sender);
    void TSLbMobileClick(QWidget *Sender);
    void TSVClick(QWidget *Sender);
    void ncbSearchChange(QWidget *Sender);
    void ncbSiteChange(QWidget *Sender);
    void ncbTypeVOChange(QWidget *Sender);
    void ngSearchCellClick(QWidget *Sender, GridArgs &Args);
    void ngSearchCellFormating(QWidget *Sender, GridArgs &Args);
    void ngSearchMouseMove(QWidget *Sender, GridArgs &Args);
    // Up and Down step through the results, Enter opens the selected one.
    void ncbSearchKeyDown(QWidget *Sender, KeyArgs &Key);
    void ngSearchKeyDown(QWidget *Sender, KeyArgs &Key);
    void BtnActivate(QLabel *Label, PictureButton *Button);
    // The criterion in force, from the enabled criterion button.
    int SearchMode() const;
    // The search text as if typed: a different text runs ncbSearchChange.
    void SetSearchText(const QString &text);
    void HttpGetDblInfo();
    void setDblChange(const QString &mode);
    void DblNomClick(QWidget *Sender);
    void DblIdentClick(QWidget *Sender);
    void DblMobileClick(QWidget *Sender);
    void DblTelDomClick(QWidget *Sender);
    void aCliNomDblClick(QWidget *Sender);
    void aCliPrenomDblClick(QWidget *Sender);
    void aCliMobileDblClick(QWidget *Sender);
    void aCliTelDomDblClick(QWidget *Sender);
    void ShowIdentity();
    void aCliCiviliteChange(QWidget *Sender);
    void aCliNomChange(QWidget *Sender);
    void aCliPrenomChange(QWidget *Sender);
    void aCliEmailChange(QWidget *Sender);
    void aCliMobileChange(QWidget *Sender);
    void aCliTelDomChange(QWidget *Sender);
    void aCliNomKeyPress(QWidget *Sender, KeyArgs &Key);
    void aCliPrenomKeyPress(QWidget *Sender, KeyArgs &Key);
    void aCliAdresse1KeyPress(QWidget *Sender, KeyArgs &Key);
    void aCliAdresse2KeyPress(QWidget *Sender, KeyArgs &Key);
    void aCliVilleKeyPress(QWidget *Sender, KeyArgs &Key);
    void vInfoVersionKeyPress(QWidget *Sender, KeyArgs &Key);
    void vInfoTypeVersionKeyPress(QWidget *Sender, KeyArgs &Key);
    void aCliMobileKeyPress(QWidget *Sender, KeyArgs &Key);
    void aCliTelDomKeyPress(QWidget *Sender, KeyArgs &Key);
    void aCliTelBurKeyPress(QWidget *Sender, KeyArgs &Key);
    void vImmatriculationKeyPress(QWidget *Sender, KeyArgs &Key);
    void cImmatriculationKeyPress(QWidget *Sender, KeyArgs &Key);
    void cVDImmatriculationKeyPress(QWidget *Sender, KeyArgs &Key);
    void cVNImmatriculationKeyPress(QWidget *Sender, KeyArgs &Key);
    // The lock test of a typed key, then the identity field's filter.
    void FilterKey(QWidget *Sender, KeyArgs &Key, KeyFilter filter);
    // Search state.
    int SearchMaxRows = 0;
    bool ExactSearch = false;
    bool SearchWithFirstName = false;
    bool SearchByWhereClause = false;
    int SearchHighlightColumn = 0;
    QLabel *ActiveSearchLabel = nullptr;
    // The search keys this window last found in the settings file or wrote there: only this
    // window writes them, so a search that keeps the same ones need not read the file again.
    QList<std::pair<QString, QString>> SearchKeysKept;

    // ---- Photos (src/photos) ------------------------------------------------------------
    void GetDataImages();
    void LoadInfoCliche();
    void cListImageSourceSelectItem(QWidget *Sender);
    void cListImageVOSelectItem(QWidget *Sender);
    void czCmdAssociateImageClick(QWidget *Sender);
    void czCmdAssociateImageBlurClick(QWidget *Sender);
    void czCmdRefreshListImageClick(QWidget *Sender);
    void czCmdSelPathListImageClick(QWidget *Sender);
    void czCmdDefaultImageVOClick(QWidget *Sender);
    void czCmdDeleteImageVOClick(QWidget *Sender);
    void ShowListeImages(const QString &Folder);
    QString BrowseForFolder(const QString &Title, const QString &InitialFolder,
                            bool AllowNewFolder);
    void ProcAssociateImage(bool Blur);
    // Writes both JPEG files of FrmBlur's pictures and, when Transfer, sends them by FTP.
    // False when anything failed: the warning and the Memo lines then say what.
    bool ReductionJPG(const QString &Source, const QString &Destination, bool Transfer);
    void SetDefaultImageVO(const QString &Name);
    // The folder listed: PhotoFolder, or the user's pictures folder when it is empty.
    QString ListedFolder() const;
    void ShowNoPhoto(QLabel *image, bool stretch);
    // Shown with its aspect ratio kept: fitted to the control when stretched, else only made
    // smaller when it does not fit.
    void ShowPicture(QLabel *label, const QPixmap &picture, bool stretch);
    // A failure of the photo path: in the Memo, the trace and the warning band.
    void PhotoFailed(const QString &error);
    QString PhotoFolder;
    int MaxImageNum = 0;
    TFrmBlur *FrmBlur = nullptr; // the editor of the upload under way

    // ---- Reports and messages (src/reports) ---------------------------------------------
    void JvXPBtnPrintClick(QWidget *Sender);
    void czFeuilleMargeClick(QWidget *Sender);
    void JvXPBtnSMSClick(QWidget *Sender);
    // Saves what is pending, then opens the sales sheet (customer sheet) or the margin sheet
    // of the record in the browser, with a report ticket from the server.
    void PrintRecord(bool marginSheet);
    // The settings' browser command when there is one (its quoted program), else the desktop's
    // opener; the address is passed unencoded. False, with a warning, when nothing started.
    bool OpenInBrowser(const QString &Address);

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
    QString DuplicateMode;
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
    QString &RecordSite = Rights.RecordSite; // a customer's site chosen changes it
    QString &RecordOwner = Rights.RecordOwner;
    QString TypeVO;
    QString RecordKind;
    QString RecordElement;
    QString LastTypeVersion;
    QString LastModel; // model text last merged into a version memo; forgotten at each load
    QString Frevo; // cost summary text of the record
    QString &NomImage = Rights.NomImage; // main photo of a reachable vehicle; locks number and site
    bool FlagNewEnreg = false;
    bool FlagNewVehicle = false;
    bool FlagLoading = false;
    int FirstTab = 0;
    // Option dates and the server date (null dates stand for 0).
    OptionDates OptDates;
    int VehicleIndex = 0;
    int VehicleFound = 0;
    TabDescTable TabDesc;
    // Editable rows of the costs and actions grids (element 0: the column descriptors), and
    // whether the row tested last is the add row.
    TsLines FrevoRows;
    TsLines ActionRows;
    bool FrevoInsertMode = false;
    // The record document shown when a fixed fee went out: until another one is read (the
    // reload after the fee may fail), the fee is not sent again.
    QString FixedFeeSentWith;
    bool ActionInsertMode = false;
    // Brand and model passed from one combo set-up to the next.
    ListFilters ListFilter;

    // ---- State: documents ----------------------------------------------------------------
    TXml RecordDoc;
    TXml CustomerDoc;
    TXml StructDoc;
    TXml EquipDoc;
    // The entries of StructDoc and the index of EquipDoc, made when they are loaded.
    std::vector<StructEntry> StructEntries;
    std::unique_ptr<ChoiceIndex> Choices;

    // ---- State: rights -------------------------------------------------------------------
    // The rights of the record shown, held once; the program's names for them refer into it.
    RecordRights Rights;
    bool &FlagSiteAccess = Rights.FlagSiteAccess;
    bool &FlagModifiable = Rights.FlagModifiable;
    bool &FlagRights = Rights.FlagRights;
    bool &RightCompta = Rights.RightCompta;
    bool &RightClarim = Rights.RightClarim;
    bool &RightAdmin = Rights.RightAdmin;

    // ---- Controls ------------------------------------------------------------------------
    // Every design control by name, and what could not be made or wired as designed.
    NameTable<QWidget *> Controls;
    QStringList DesignProblems;

    // Header line.
    HeaderEdit *xcInfoNVO = nullptr;
    HeaderEdit *xcInfoTitre = nullptr;
    HeaderEdit *xcIdentity = nullptr;
    HeaderEdit *xcInfoField1 = nullptr;
    HeaderEdit *xcInfoField2 = nullptr;
    HeaderEdit *xcInfoField3 = nullptr;
    // Toolbar and bottom line.
    PictureButton *JvXPBtnSweep = nullptr;
    PictureButton *JvXPBtnSuppr = nullptr;
    PictureButton *JvXPBtnPrint = nullptr;
    PictureButton *JvXPBtnSearch = nullptr;
    PictureButton *JvXPBtnNewVO = nullptr;
    PictureButton *JvXPBtnSave = nullptr;
    PictureButton *JvXPBtnActualize = nullptr;
    PictureButton *JvXPPrev = nullptr;
    PictureButton *JvXPNext = nullptr;
    PictureButton *JvXPBtnSMS = nullptr;
    PictureButton *JvXPBtnNewVehicle = nullptr;
    PictureButton *JvXPBtnNewAction = nullptr;
    // Pages and panels.
    QTabWidget *Tabs = nullptr;
    QFrame *PanelCompta = nullptr;
    QFrame *PanelWarning = nullptr;
    QFrame *PanelSplash = nullptr;
    QLabel *LbSplash = nullptr;
    QLabel *ImageSplash = nullptr;
    QLabel *LbConcession = nullptr;
    QFrame *Panel1 = nullptr;
    QFrame *Shape1 = nullptr;
    QLabel *LbInfoOptions = nullptr;
    QLabel *LbInfoTimer = nullptr;
    // Warning, diagnostic and parameter labels.
    QLabel *LbDebugInfo0 = nullptr;
    QLabel *LbDebugInfo1 = nullptr;
    QLabel *LbDebugInfo2 = nullptr;
    QLabel *LbDebugInfo3 = nullptr;
    QLabel *LbHttpRoot = nullptr;
    QLabel *LbBaseHRef = nullptr;
    QLabel *LbVersion = nullptr;
    QLabel *LbIdTVO = nullptr;
    QLabel *LbIDCustomer = nullptr;
    QLabel *LbStatus = nullptr;

    // ---- Non-visual components -----------------------------------------------------------
    HttpTransport *IdHTTP1 = nullptr;
    HttpTransport *IdHTTP2 = nullptr;
    QTimer *Timer1 = nullptr;

signals:
    // Another start of the program asked this copy to come to the front.
    void raisedByAnotherStart();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Creates the design controls of the form layout and keeps the named ones
    // (src/ui/TAxDravik.cpp).
    void CreateDesignControls();
    template<typename T>
    T *DesignControl(const char *name);
    // Hint timing and GestionHints as the application's hint handler.
    void InstallHints();
    // Runs a step of the shell, containing any error it raises.
    template<typename F>
    void Guarded(F &&step);
    // Counts one delivered launch parameter and traces its word; answers the setter status.
    int CountParameter(const char16_t *traceWord);
    // The diagnostic line of creation and activation.
    QString StartingText() const;
    // A tab page change asked by the user: TabsChanging decides (src/ui/AxDravikHandlers.cpp).
    bool TabChangeAllowed();

    // Record loading pieces (src/engine).
    void LoadRecordDocuments(int reload);
    void ApplyRecordRights(const TXml &recordElement); // src/editing/AxDravikRights.cpp
    void ApplyGuaranteeRights();
    void RefreshTab(int tab, const XmlItemIndex &record);
    void BuildTab(int tab, const XmlItemIndex &record);
    void BindField(int tab, const FieldPlan &plan);
    // Runs the set-up routine a control kind names (SetupEdit ...); none leaves the control.
    QWidget *SetupByRoutine(SetupRoutine routine, QWidget *control, int tab, int index,
                            const FieldPlan &plan);
    void CreateLabel(int tab, const FieldPlan &plan, const PixelRect &rect);
    void MarkLabel(const TsDesc &desc);
    void EndTabDesc();
    void UpdateToolbar();
    QWidget *FieldParent(int tab, bool onPanelCompta) const;
    // The common steps of every set-up: link, tag, enabled, colours.
    void SetupCommon(TsDesc &desc, QWidget *control, int tab, int index, bool fieldRight, int width,
                     bool given);
    // Places a created control where its field is described; hidden for a width of 0.
    void PlaceCreated(QWidget *created, int tControl, const FieldPlan &plan);
    // The value-reading context of a tab (useDefaults, rights, trace).
    FieldContext FieldContextFor(int tab, const XmlItemIndex *record);

    TAxDravikServices m_services;
    std::unique_ptr<RequestRoutines> m_requests;
    std::unique_ptr<RequestKeys> m_requestKeys;
    QString m_caption; // the caption without the pending-change mark
    // The ids of the record laid out last: a record that cannot be fetched leaves it shown.
    QString m_shownVehicleId;
    QString m_shownCustomerId;
    bool m_recordShown = false;
    // Whether each page's tab is shown, in page order.
    std::vector<bool> ShownPages() const;
    // A toolbar shortcut: runs the button's click exactly when the button could be clicked.
    bool ToolbarShortcut(QKeyEvent *key);
    // Search panel pieces (src/search/AxDravikSearch.cpp).
    void PrepareSearchPanel();
    // An AxQuery of that statement (and its "&MaxRows=" part) into the response file, read
    // into answer; false with the warning shown when it failed or is no list of rows.
    bool RunQuery(const QString &sqlAndRows, const QString &file, const QString &unreadable,
                  TXml &answer);
    void PlaceSearchPanel();
    void FillSearchGrid(int mode, const TXml &answer);
    void OpenSearchRow(int row);
    // A duplicate counter's click: the panel opened on the customer search of its field.
    void OpenDuplicates(const QString &mode);
    bool m_reloadPending = false;
    int m_shellDepth = 0; // > 0 while a shell step lets events run
    bool m_splashCursor = false;
    bool m_hintsInstalled = false;
    QDate m_loadDate; // today, for the defaults of the record being loaded
    QList<HeaderEdit *> m_headerEmptied; // emptied by the load, not written again yet
    // The user's group tokens and the record document text they were read from.
    mutable QString m_groupsDoc;
    mutable QStringList m_groups;
};

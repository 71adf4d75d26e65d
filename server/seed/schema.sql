-- Database of the reference dealership server (SQLite).
--
-- Conventions:
--   * Declared types tell the server how to write a value in its documents:
--     DATE      ISO text yyyy-mm-dd, written dd/mm/yyyy
--     BOOLEAN   1/0, written True/False
--     DECIMAL   a number, written with "." as decimal separator
--     INTEGER   whole number; TEXT as it stands.
--   * Text columns compare without regard to ASCII case (COLLATE NOCASE), as the statements the
--     client writes expect.
--   * Names with spaces are real table names: the client writes them in brackets.
--   * Children owned by a record go with it (ON DELETE CASCADE; the server turns foreign keys
--     on for every connection).

-- Dealer companies and their sites --------------------------------------------------------

CREATE TABLE tConcessions (
    Concession          TEXT PRIMARY KEY COLLATE NOCASE,
    RaisonSociale       TEXT COLLATE NOCASE,
    Adresse             TEXT COLLATE NOCASE,
    CP                  TEXT COLLATE NOCASE,
    Ville               TEXT COLLATE NOCASE,
    Telephone           TEXT COLLATE NOCASE,
    -- file fee of the company, used for a site that has none of its own
    MontantFraisDossier DECIMAL
);

CREATE TABLE InfoSite (
    Site                TEXT PRIMARY KEY COLLATE NOCASE, -- upper case, as the record's "Site"
    Concession          TEXT NOT NULL COLLATE NOCASE REFERENCES tConcessions (Concession),
    Marques             TEXT COLLATE NOCASE,             -- brands the site sells, e.g. "VW AUDI"
    MontantFraisDossier DECIMAL,                         -- file fee added to used vehicles sold to
                                                         -- private buyers (NULL: the company's)
    Adresse             TEXT COLLATE NOCASE,
    CP                  TEXT COLLATE NOCASE,
    Ville               TEXT COLLATE NOCASE,
    Telephone           TEXT COLLATE NOCASE
);
CREATE INDEX InfoSite_Concession ON InfoSite (Concession, Site);

-- Salespeople.
CREATE TABLE InfoCom (
    idCom      INTEGER PRIMARY KEY,
    cNom       TEXT NOT NULL COLLATE NOCASE,     -- display name
    Site       TEXT COLLATE NOCASE,              -- site or sites worked for, e.g. "VALENCE ROMANS"
    Concession TEXT NOT NULL COLLATE NOCASE REFERENCES tConcessions (Concession),
    Email      TEXT COLLATE NOCASE,
    Actif      BOOLEAN NOT NULL DEFAULT 1
);
CREATE INDEX InfoCom_Concession ON InfoCom (Concession, cNom);

-- Users and their groups -------------------------------------------------------------------

CREATE TABLE tUsers (
    idUser         INTEGER PRIMARY KEY,
    Name_          TEXT NOT NULL COLLATE NOCASE,
    Login          TEXT UNIQUE COLLATE NOCASE,
    UserConcession TEXT NOT NULL COLLATE NOCASE REFERENCES tConcessions (Concession),
    UserSite       TEXT COLLATE NOCASE,  -- sites reached, e.g. "VALENCE;ROMANS", or "#" for all
    US1            TEXT COLLATE NOCASE   -- site offered first for a new record
);

-- One row per group of a user; GName as sent in "GNames" (e.g. USER_COMPTA, ADMINS).
CREATE TABLE tUserGroups (
    idUser INTEGER NOT NULL REFERENCES tUsers (idUser) ON DELETE CASCADE,
    GName  TEXT NOT NULL COLLATE NOCASE,
    PRIMARY KEY (idUser, GName)
);

-- Option dates of a company ("OptDates"); "Now" is the server's date.
CREATE TABLE tOptDates (
    Concession               TEXT PRIMARY KEY COLLATE NOCASE
                             REFERENCES tConcessions (Concession),
    Opt_LimiteDateDeb        DATE, -- earliest entry and order date of a vehicle
    Opt_LimiteDateDebFrevo   DATE, -- earliest date of a reconditioning cost
    Opt_LimiteDateDebClarim  DATE, -- earliest date of a follow-up action
    Opt_LimiteDateVerrouVNVO DATE  -- vehicles delivered before it are locked
);

-- Choice lists ------------------------------------------------------------------------------

-- Parameter lists ("Pars"): one list per RubricType, in RubricIndex order; RubricItem is ".."
-- for the lists of every company, or the company ("Concession") of a company's own list.
CREATE TABLE ListRubrics (
    idRubric    INTEGER PRIMARY KEY,
    RubricType  TEXT NOT NULL COLLATE NOCASE,
    RubricIndex INTEGER NOT NULL DEFAULT 0,
    RubricItem  TEXT NOT NULL DEFAULT '..' COLLATE NOCASE,
    RubricText  TEXT COLLATE NOCASE
);
CREATE INDEX ListRubrics_Type ON ListRubrics (RubricType, RubricIndex, idRubric);
CREATE INDEX ListRubrics_Item ON ListRubrics (RubricItem);

-- Models of used and customer vehicles per brand ("Marks", "Models").
CREATE TABLE ListModels (
    idModel INTEGER PRIMARY KEY,
    VMarque TEXT NOT NULL COLLATE NOCASE,
    VModele TEXT NOT NULL COLLATE NOCASE
);
CREATE INDEX ListModels_Marque ON ListModels (VMarque, VModele);

-- New-vehicle versions per brand, model and company ("VNMarks", "VNModels", "VNVersions").
CREATE TABLE ListVersions (
    idVersion   INTEGER PRIMARY KEY,
    VMarque     TEXT NOT NULL COLLATE NOCASE,
    VModele     TEXT NOT NULL COLLATE NOCASE,
    VVersion    TEXT NOT NULL COLLATE NOCASE,
    VConcession TEXT NOT NULL COLLATE NOCASE
);
CREATE INDEX ListVersions_Concession ON ListVersions (VConcession, VMarque, VModele, VVersion);

-- Code lists of the multi-select list boxes: list CodeList holds items (Abbr, eText) sent as
-- container CodeList + "S" of items CodeList, in CodeIndex order.
CREATE TABLE ListCodes (
    idCode    INTEGER PRIMARY KEY,
    CodeList  TEXT NOT NULL COLLATE NOCASE,
    CodeIndex INTEGER NOT NULL DEFAULT 0,
    Abbr      TEXT NOT NULL COLLATE NOCASE,
    eText     TEXT COLLATE NOCASE
);
CREATE INDEX ListCodes_List ON ListCodes (CodeList, CodeIndex, idCode);

-- Vehicles ----------------------------------------------------------------------------------

-- Used vehicles (TypeVO 1), new-vehicle orders (TypeVO 2) and demonstration vehicles
-- (TypeVO 2 with a StatutVD). idTVO and idVO carry the same number (":NewID", ":NewIDbis").
CREATE TABLE tVehicles (
    idTVO                INTEGER PRIMARY KEY,
    idVO                 INTEGER UNIQUE,
    TypeVO               INTEGER NOT NULL DEFAULT 1,
    StatutVD             TEXT COLLATE NOCASE,
    StatutVN             TEXT COLLATE NOCASE,
    NVO                  INTEGER,               -- stock number
    Site                 TEXT COLLATE NOCASE,
    Concession           TEXT COLLATE NOCASE,
    idOwner              INTEGER,
    -- description
    InfoMarque           TEXT COLLATE NOCASE,
    InfoModele           TEXT COLLATE NOCASE,
    InfoTypeVersion      TEXT COLLATE NOCASE,
    InfoVersion          TEXT COLLATE NOCASE,
    InfoCouleur          TEXT COLLATE NOCASE,
    InfoCouleurInt       TEXT COLLATE NOCASE,
    Carrosserie          TEXT COLLATE NOCASE,
    Energie              TEXT COLLATE NOCASE,
    BoiteVitesse         TEXT COLLATE NOCASE,
    NbPortes             INTEGER,
    NbPlaces             INTEGER,
    CV                   INTEGER,
    KMS                  INTEGER,
    Immatriculation      TEXT COLLATE NOCASE,
    Chassis              TEXT COLLATE NOCASE,
    MEC                  DATE,                  -- first registration
    CodeRemise           TEXT COLLATE NOCASE,
    Utilisateur          TEXT COLLATE NOCASE,
    InfoOptions          TEXT COLLATE NOCASE,   -- ";code;code;" of list InfoOptions
    InfoEquiInterieur    TEXT COLLATE NOCASE,
    InfoEquiExterieur    TEXT COLLATE NOCASE,
    InfoEquiSecurite     TEXT COLLATE NOCASE,
    InfoComplement       TEXT COLLATE NOCASE,
    NomImage             TEXT COLLATE NOCASE,   -- default photo, name without extension
    -- purchase and stock
    Origine              TEXT COLLATE NOCASE,
    OrigineVendeur       TEXT COLLATE NOCASE,
    DateEntree           DATE,
    LieuStockage         TEXT COLLATE NOCASE,
    PrixReprise          DECIMAL,
    MontantReprise       DECIMAL,
    CommentaireReprise   TEXT COLLATE NOCASE,
    Intermediaire        TEXT COLLATE NOCASE,
    MtComIntermediaire   DECIMAL,
    FlagPrepaEsthetique  BOOLEAN,
    FlagPrepaCarrosserie BOOLEAN,
    FlagPrepaMecanique   BOOLEAN,
    FlagDepotVente       BOOLEAN,
    FlagEligible         BOOLEAN,
    FlagNonDiffuse       BOOLEAN,
    -- sale
    DateOrdre            DATE,
    Vendeur              TEXT COLLATE NOCASE,
    Acheteur             TEXT COLLATE NOCASE,
    CP                   TEXT COLLATE NOCASE,   -- buyer's post code
    Destination          TEXT COLLATE NOCASE,
    ModeTVA              INTEGER,               -- position in list ModeTVA
    PrixVente            DECIMAL,
    PrixCatalogue        DECIMAL,
    TPVO                 DECIMAL,
    MtComVendeur         DECIMAL,
    DateDisponibilite    DATE,
    DateLivraison        DATE,
    Commentaires         TEXT COLLATE NOCASE,
    -- guarantee
    TypeGarantie         TEXT COLLATE NOCASE,
    DureeGarantie        INTEGER,               -- months
    PrixGarantie         DECIMAL,
    DateValidationGarantie DATE,
    -- financing
    TypeFinancement      TEXT COLLATE NOCASE,
    TypeFinancementDelai TEXT COLLATE NOCASE,
    Financeur            TEXT COLLATE NOCASE,
    VFinancement         DECIMAL,
    ComFinPrevue         DECIMAL,
    ComFinRecue          DECIMAL,
    DatePresFinancement  DATE,
    DatePaiement         DATE,
    -- margins and cost totals, as last computed
    cTVA                 DECIMAL,
    MBrute               DECIMAL,
    MNette               DECIMAL,
    Frevo                DECIMAL,               -- total of the reconditioning costs
    FrevoFixe            DECIMAL,
    FrevoInterne         DECIMAL,
    FrevoExterne         DECIMAL,
    FrevoPrevision       DECIMAL,
    FrevoTotFDM          DECIMAL,               -- the same up to the end of the delivery month
    FrevoFixeFDM         DECIMAL,
    FrevoIntFDM          DECIMAL,
    FrevoExtFDM          DECIMAL,
    FrevoPrevFDM         DECIMAL,
    -- new-vehicle order
    DateCdeVW            DATE,                  -- order placed with the maker
    DateUpdateCde        DATE,
    DateAnnulation       DATE,
    DateFabrication      DATE,
    DateFacture          DATE,
    DateDebutGarantie    DATE,
    DateDeclareLivre     DATE,
    DateLivrMaxi         DATE,
    ReprMarque           TEXT COLLATE NOCASE,   -- trade-in vehicle
    ReprModele           TEXT COLLATE NOCASE,
    ReprNVO              INTEGER,
    ReprPrix             DECIMAL,
    CFMemo               TEXT COLLATE NOCASE,
    -- accounting follow-up of an order
    DateAchat            DATE,
    DateEcheance         DATE,
    DateEchTresorerie    DATE,
    DateEchReglement     DATE,
    DateRecFinancement   DATE,
    DateRecPaiement      DATE,
    MontantAchat         DECIMAL,
    MontantAcompte       DECIMAL,
    Solde                DECIMAL,
    SituationAchat       INTEGER                -- position in list SituationAchat
);
-- The searches filter on the company and order by the searched column, then DateOrdre desc.
CREATE INDEX tVehicles_NVO ON tVehicles (Concession, NVO, DateOrdre DESC);
CREATE INDEX tVehicles_Immat ON tVehicles (Concession, Immatriculation, DateOrdre DESC);
CREATE INDEX tVehicles_Acheteur ON tVehicles (Concession, Acheteur, DateOrdre DESC);

-- Reconditioning costs of a vehicle.
CREATE TABLE "tVO - Frevo" (
    idFrevo        INTEGER PRIMARY KEY,
    idVO           INTEGER NOT NULL REFERENCES tVehicles (idVO) ON DELETE CASCADE,
    DateFrevo      DATE,
    LibelleFrevo   TEXT COLLATE NOCASE,
    NComptable     TEXT COLLATE NOCASE,   -- accounting number: locks the row
    NomFournisseur TEXT COLLATE NOCASE,
    NFacture       TEXT COLLATE NOCASE,   -- invoice number: only accounting may delete
    TypeFrevo      TEXT COLLATE NOCASE,   -- fixe, interne, externe or a forecast type
    MontantHT      DECIMAL
);
CREATE INDEX "tVO - Frevo_idVO" ON "tVO - Frevo" (idVO, idFrevo);

-- Photos linked to a vehicle; files NomImage.jpg and NomImage + "m.jpg" in the photo folder.
CREATE TABLE "tVO - Liens Images" (
    idImage   INTEGER PRIMARY KEY,
    idVO      INTEGER NOT NULL REFERENCES tVehicles (idVO) ON DELETE CASCADE,
    NumImage  INTEGER,
    NomImage  TEXT COLLATE NOCASE,
    DateImage TEXT                        -- "yyyy-mm-dd hh:mm:ss", sent as it stands
);
CREATE INDEX "tVO - Liens Images_idVO" ON "tVO - Liens Images" (idVO, NumImage);

-- Reservation of a vehicle ("ResaS"); the latest one is sent first.
CREATE TABLE tResa (
    idResa      INTEGER PRIMARY KEY,
    idVO        INTEGER NOT NULL REFERENCES tVehicles (idVO) ON DELETE CASCADE,
    DResaMax    DATE,                     -- last day of the reservation
    Vendeur     TEXT COLLATE NOCASE,
    Acheteur    TEXT COLLATE NOCASE,
    Commentaire TEXT COLLATE NOCASE
);
CREATE INDEX tResa_idVO ON tResa (idVO, idResa);

-- Customers (loyalty module) ---------------------------------------------------------------

CREATE TABLE tClients (
    idClient             INTEGER PRIMARY KEY,
    Site                 TEXT COLLATE NOCASE,
    idCom                INTEGER,               -- salesperson (InfoCom)
    Concession           TEXT COLLATE NOCASE,
    idOwner              INTEGER,
    DateCreation         DATE,
    CliCivilite          TEXT COLLATE NOCASE,
    CliNom               TEXT COLLATE NOCASE,
    CliPrenom            TEXT COLLATE NOCASE,
    CliAdresse1          TEXT COLLATE NOCASE,
    CliAdresse2          TEXT COLLATE NOCASE,
    CliCP                TEXT COLLATE NOCASE,
    CliVille             TEXT COLLATE NOCASE,
    CliPays              TEXT COLLATE NOCASE,
    CliEmail             TEXT COLLATE NOCASE,
    CliTelDom            TEXT COLLATE NOCASE,   -- digits only
    CliMobile            TEXT COLLATE NOCASE,
    CliTelBur            TEXT COLLATE NOCASE,
    CliDateNaissance     DATE,
    CliSituationFamille  TEXT COLLATE NOCASE,
    CliNbEnfants         INTEGER,
    CliProfession        TEXT COLLATE NOCASE,
    CliEmployeur         TEXT COLLATE NOCASE,
    CliOrigine           TEXT COLLATE NOCASE,
    CliObservations      TEXT COLLATE NOCASE,
    -- purchase plans
    CliDateProchainAchat DATE,
    PADateSpirit         DATE,
    PATypeVO             TEXT COLLATE NOCASE,   -- ";code;" lists
    PASegment            TEXT COLLATE NOCASE,
    PACarrosserie        TEXT COLLATE NOCASE,
    PAEnergie            TEXT COLLATE NOCASE,
    PAChoix1             TEXT COLLATE NOCASE,   -- ";MODEL;" lists of new-vehicle models
    PAChoix2             TEXT COLLATE NOCASE,
    PAMarque1            TEXT COLLATE NOCASE,
    PAModele1            TEXT COLLATE NOCASE,
    PAMarque2            TEXT COLLATE NOCASE,
    PAModele2            TEXT COLLATE NOCASE
);
-- Searches: company, searched column, then idClient desc; duplicate counts group by column.
CREATE INDEX tClients_SearchNom ON tClients (Concession, CliNom, CliPrenom, idClient DESC);
CREATE INDEX tClients_SearchMobile ON tClients (Concession, CliMobile, idClient DESC);
CREATE INDEX tClients_SearchTelDom ON tClients (Concession, CliTelDom, idClient DESC);
CREATE INDEX tClients_Nom ON tClients (CliNom, CliPrenom);
CREATE INDEX tClients_Mobile ON tClients (CliMobile);
CREATE INDEX tClients_TelDom ON tClients (CliTelDom);

-- Vehicles a customer owns ("TVehS").
CREATE TABLE TVehiclesClarim (
    idtVO                 INTEGER PRIMARY KEY,
    idClient              INTEGER NOT NULL REFERENCES tClients (idClient) ON DELETE CASCADE,
    NVO                   INTEGER,
    TypeVO                INTEGER,              -- position in list TypeVO (1 VO, 2 VN)
    Site                  TEXT COLLATE NOCASE,
    Concession            TEXT COLLATE NOCASE,
    idOwner               INTEGER,
    InfoMarque            TEXT COLLATE NOCASE,
    InfoModele            TEXT COLLATE NOCASE,
    InfoVersion           TEXT COLLATE NOCASE,
    InfoTypeVersion       TEXT COLLATE NOCASE,
    Immatriculation       TEXT COLLATE NOCASE,
    Acheteur              TEXT COLLATE NOCASE,
    MEC                   DATE,
    DateOrdre             DATE,
    KMS                   INTEGER,
    DateFinGarantie       DATE,
    TypeFinancement       TEXT COLLATE NOCASE,
    AbbrFinancement       TEXT COLLATE NOCASE,
    MensualiteFinancement DECIMAL,
    DateFinFinancement    DATE,
    DateLastSAV           DATE,
    KmLastSAV             DECIMAL,
    DateNextSAV           DATE,
    KmNextSAV             DECIMAL,
    LieuEntretien1        TEXT COLLATE NOCASE,
    LieuEntretien2        TEXT COLLATE NOCASE,
    SatisfVehicle         INTEGER,              -- positions in lists SatisfVehicle, SatisfSAV
    SatisfSAV             INTEGER
);
CREATE INDEX TVehiclesClarim_idClient ON TVehiclesClarim (idClient, idtVO);
CREATE INDEX TVehiclesClarim_Immat ON TVehiclesClarim (Concession, Immatriculation, DateOrdre DESC);

-- Follow-up actions of a customer ("TActS"); codes are positions in their lists.
CREATE TABLE tActions (
    idAction          INTEGER PRIMARY KEY,
    idClient          INTEGER NOT NULL REFERENCES tClients (idClient) ON DELETE CASCADE,
    DateAction        DATE,
    idCom             INTEGER,
    TypeAction        INTEGER,
    SujetAction       INTEGER,
    CommentaireAction TEXT COLLATE NOCASE,
    DateRelance       DATE,
    idComRelance      INTEGER,
    SujetRelance      INTEGER,
    PrioriteRelance   INTEGER
);
CREATE INDEX tActions_idClient ON tActions (idClient, DateAction DESC);
CREATE INDEX tActions_Relance ON tActions (DateRelance, idComRelance);

-- Text messages sent through the gateway path.
CREATE TABLE tSMS (
    idSMS        INTEGER PRIMARY KEY,
    Destinataire TEXT,
    Texte        TEXT,
    DateEnvoi    TEXT                   -- "yyyy-mm-dd hh:mm:ss"
);

#pragma once

#include <QString>

// The search statement: which rows of which table a search asks for, composed from the
// criterion, the text and the panel's filters. Pure functions.

// The criteria, numbered as the settings file keeps them ("svOpt1", "svOpt2").
namespace SearchModes {
inline constexpr int VehiclePlate = 1;
inline constexpr int Buyer = 2;
inline constexpr int StockNumber = 3;
inline constexpr int CustomerVehiclePlate = 4;
inline constexpr int CustomerName = 5;
inline constexpr int Mobile = 6;
inline constexpr int HomePhone = 7;
} // namespace SearchModes

// The enabled one of the criterion buttons is the criterion in force.
struct CriterionButtons
{
    bool nvo = true;
    bool immat = false;
    bool client = false;
    bool mobile = false;
};

// The criterion of a search: for vehicles N°VO, else plate, else buyer; for customers plate,
// else name, else mobile, else home telephone.
int deriveSearchMode(bool customerKind, const CriterionButtons &buttons);

inline bool isCustomerMode(int mode)
{
    return mode >= SearchModes::CustomerName;
}
inline bool isVehicleMode(int mode)
{
    return mode <= SearchModes::StockNumber;
}

// The search text as the panel keeps it: carriage returns, line feeds and tabs removed.
QString cleanSearchText(const QString &typed);

struct SearchRequest
{
    int mode = SearchModes::StockNumber;
    QString text; // cleaned, quotes not doubled
    QString firstName; // of the customer shown, for a name search with the first name
    QString site; // vehicle searches: the site filter, empty: every site
    int typeIndex = -1; // vehicle searches: item of the type list (0 or -1: every type)
    bool exact = false;
    bool withFirstName = false;
    bool byWhereClause = false;
    QString whereClause; // the launch filter, used when byWhereClause
    QString concession;
};

struct SearchStatement
{
    QString condition; // the whole condition, concession included
    QString statement; // as the server runs it
    int highlightColumn = 0; // grid column drawn blue
    int sortColumn = 0; // grid column the rows are ordered by
};

// The SELECT of a search. Quotes of the texts are doubled; text typed in the box reaches the
// condition as typed (an exact search compares it with "=", a plain one with like '%...%').
SearchStatement BuildSearchSql(const SearchRequest &request);

// A statement as it travels in a request address: the characters the server would read as
// part of the address ("%", "&", "+", "#", quotes and angle brackets) written as %XX.
QString statementForAddress(const QString &statement);

#include "server/JetSql.h"

#include "common/Dates.h"
#include "server/Messages.h"
#include "server/SqlValues.h"

#include <algorithm>
#include <optional>

namespace dravik::server {

namespace {

enum class Tok { Space, Word, Number, String, DString, Bracket, Date, Param, Op };

struct Token
{
    Tok type;
    std::string_view text; // raw text, delimiters included
};

bool isWordStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool isWordChar(unsigned char c)
{
    return isWordStart(c) || (c >= '0' && c <= '9');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Splits the statement into tokens; answers an error text when it cannot.
std::string tokenize(std::string_view s, std::vector<Token> &out)
{
    // SQLite would stop reading at a NUL byte and run only what stands before it.
    if (s.find('\0') != std::string_view::npos)
        return msg::nulCharacter();
    size_t i = 0;
    auto push = [&](Tok t, size_t begin) {
        out.push_back({t, s.substr(begin, i - begin)});
    };
    // A quoted run ending at `close`, the close character doubled inside standing for itself.
    auto quoted = [&](char close, bool doubling) {
        for (++i; i < s.size(); ++i) {
            if (s[i] == close) {
                if (doubling && i + 1 < s.size() && s[i + 1] == close) {
                    ++i;
                    continue;
                }
                ++i;
                return true;
            }
        }
        return false;
    };
    while (i < s.size()) {
        const size_t begin = i;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c <= ' ') {
            while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ')
                ++i;
            push(Tok::Space, begin);
        } else if (isWordStart(c)) {
            while (i < s.size() && isWordChar(static_cast<unsigned char>(s[i])))
                ++i;
            push(Tok::Word, begin);
        } else if (isDigit(s[i]) || (s[i] == '.' && i + 1 < s.size() && isDigit(s[i + 1]))) {
            while (i < s.size() && (isDigit(s[i]) || s[i] == '.'))
                ++i;
            if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
                size_t j = i + 1;
                if (j < s.size() && (s[j] == '+' || s[j] == '-'))
                    ++j;
                if (j < s.size() && isDigit(s[j])) {
                    i = j;
                    while (i < s.size() && isDigit(s[i]))
                        ++i;
                }
            }
            if (i < s.size() && isWordChar(static_cast<unsigned char>(s[i])))
                return msg::badNumber(s.substr(begin, i + 1 - begin));
            push(Tok::Number, begin);
        } else if (c == '\'') {
            if (!quoted('\'', true))
                return msg::unterminatedString();
            push(Tok::String, begin);
        } else if (c == '"') {
            if (!quoted('"', true))
                return msg::unterminatedString();
            push(Tok::DString, begin);
        } else if (c == '[') {
            if (!quoted(']', false))
                return msg::unterminatedBracket();
            push(Tok::Bracket, begin);
        } else if (c == '#') {
            if (!quoted('#', false))
                return msg::unterminatedDate();
            push(Tok::Date, begin);
        } else if (c == ':' && i + 1 < s.size()
                   && isWordStart(static_cast<unsigned char>(s[i + 1]))) {
            ++i;
            while (i < s.size() && isWordChar(static_cast<unsigned char>(s[i])))
                ++i;
            push(Tok::Param, begin);
        } else if (c == '?' || c == '@' || c == '$' || c == '`' || c == '\\') {
            // SQLite would read these as parameters or quotes; Jet never writes them here.
            return msg::forbiddenCharacter(s[i]);
        } else {
            ++i;
            push(Tok::Op, begin);
        }
    }
    return {};
}

std::string unquote(std::string_view raw)
{
    // Strips the delimiters and undoubles a doubled closing character.
    const char close = raw.back();
    std::string out;
    for (size_t i = 1; i + 1 < raw.size(); ++i) {
        out += raw[i];
        if (raw[i] == close && raw[i + 1] == close && close != ']')
            ++i;
    }
    return out;
}

// Functions a PostgreSQL statement may call: the client's own and plain value functions. Any
// other (set_config, pg_sleep, pg_read_file, dblink...) could leave the request's confinement,
// stall the server or read outside the data.
bool isPostgresFunction(std::string_view lowerName)
{
    static const char *const allowed[]
            = {"abs",       "avg",     "cast",  "coalesce", "count", "greatest", "least",
               "left",      "length",  "lower", "ltrim",    "max",   "min",      "nullif",
               "position",  "replace", "right", "round",    "rtrim", "strpos",   "substr",
               "substring", "sum",     "trim",  "upper"};
    for (const char *a : allowed)
        if (lowerName == a)
            return true;
    return false;
}

// Words that may stand before "(" without calling a function.
bool isKeywordBeforeParen(std::string_view lowerName)
{
    static const char *const keywords[]
            = {"all",  "and",    "any",    "as",     "between", "by",    "case",   "distinct",
               "else", "except", "exists", "from",   "having",  "ilike", "in",     "intersect",
               "is",   "join",   "like",   "not",    "on",      "or",    "select", "set",
               "some", "then",   "union",  "values", "when",    "where", "with"};
    for (const char *k : keywords)
        if (lowerName == k)
            return true;
    return false;
}

// A schema of PostgreSQL's own (pg_catalog, pg_temp_3...), or its public one.
bool isPostgresSchema(std::string_view lowerName)
{
    return lowerName == "public" || lowerName == "information_schema"
            || lowerName.substr(0, 3) == "pg_";
}

class Translator
{
public:
    Translator(std::vector<Token> toks, SqlDialect dialect)
        : t(std::move(toks))
        , skip(t.size(), false)
        , pg(dialect == SqlDialect::Postgres)
    { }

    JetTranslation run();

private:
    std::vector<Token> t;
    std::vector<bool> skip;
    std::string error;
    JetTranslation result;
    static constexpr int kMaxNesting = 64;
    int m_depth = 0;
    size_t target = std::string::npos; // the table written, emitted as main.<table>
    const bool pg;
    size_t likePattern = std::string::npos; // PostgreSQL: the literal pattern of a "like"
    size_t matchPattern = std::string::npos; // the same, compared by the match operator

    bool isOp(size_t i, char c) const
    {
        return i < t.size() && t[i].type == Tok::Op && t[i].text[0] == c;
    }
    bool isWord(size_t i, std::string_view lowerName) const
    {
        return i < t.size() && t[i].type == Tok::Word && lower(t[i].text) == lowerName;
    }
    size_t next(size_t i) const // next non-space token after i (t.size() when none)
    {
        for (++i; i < t.size(); ++i)
            if (t[i].type != Tok::Space)
                return i;
        return t.size();
    }
    size_t prev(size_t i) const // previous non-space token before i (npos when none)
    {
        while (i-- > 0)
            if (t[i].type != Tok::Space)
                return i;
        return std::string::npos;
    }
    // Whether token i ends the operand before it: the end, a closing parenthesis, a comma or a
    // word that is not part of an expression.
    bool endsOperand(size_t i, size_t end) const
    {
        if (i >= end)
            return true;
        if (t[i].type == Tok::Op)
            return isOp(i, ')') || isOp(i, ',');
        return t[i].type == Tok::Word && !isWord(i, "escape") && !isWord(i, "collate")
                && !isWord(i, "at");
    }
    // The last token of a string, a name or a qualified name starting at token i; npos when
    // the operand there is anything else.
    size_t simpleOperand(size_t i, size_t end) const
    {
        if (i >= end || t[i].type == Tok::String)
            return i < end ? i : std::string::npos;
        for (;;) {
            if (i >= end || (t[i].type != Tok::Word && t[i].type != Tok::Bracket))
                return std::string::npos;
            const size_t after = next(i);
            if (isOp(after, '('))
                return std::string::npos;
            if (!isOp(after, '.'))
                return i;
            i = next(after);
        }
    }
    size_t matchParen(size_t open) const
    {
        int depth = 0;
        for (size_t i = open; i < t.size(); ++i) {
            if (isOp(i, '('))
                ++depth;
            else if (isOp(i, ')') && --depth == 0)
                return i;
        }
        return std::string::npos;
    }
    std::string name(size_t i) const // a table or column name token, brackets removed
    {
        if (i >= t.size())
            return {};
        if (t[i].type == Tok::Bracket || t[i].type == Tok::DString)
            return unquote(t[i].text);
        return t[i].type == Tok::Word ? std::string(t[i].text) : std::string();
    }

    void skipThrough(size_t a, size_t b);
    void prepareDelete(size_t first);
    std::string prepareTop(size_t first);
    void readInsert(size_t first);
    std::string emit(size_t begin, size_t end);
    std::optional<std::string> translateToken(size_t &i, size_t end);
    std::string parameter(std::string_view name);
    bool isAlias(size_t i) const;
};

// "Delete * from t" and "Delete t.* from t": SQLite wants no column list.
void Translator::prepareDelete(size_t first)
{
    const size_t a = next(first);
    if (isOp(a, '*')) {
        skipThrough(a, a);
        return;
    }
    const size_t dot = next(a);
    const size_t star = next(dot);
    if ((t[a].type == Tok::Word || t[a].type == Tok::Bracket) && !isWord(a, "from")
        && isOp(dot, '.') && isOp(star, '*'))
        skipThrough(a, star);
}

// Drops the tokens a..b and the blank after them.
void Translator::skipThrough(size_t a, size_t b)
{
    for (size_t i = a; i <= b; ++i)
        skip[i] = true;
    if (b + 1 < t.size() && t[b + 1].type == Tok::Space)
        skip[b + 1] = true;
}

// "Select [Distinct] Top n ..." becomes "... LIMIT n"; answers n (empty when no TOP).
std::string Translator::prepareTop(size_t first)
{
    size_t a = next(first);
    if (isWord(a, "distinct") || isWord(a, "distinctrow") || isWord(a, "all"))
        a = next(a);
    if (!isWord(a, "top"))
        return {};
    const size_t n = next(a);
    if (n >= t.size() || t[n].type != Tok::Number
        || t[n].text.find_first_not_of("0123456789") != std::string_view::npos) {
        error = msg::badTop();
        return {};
    }
    if (isWord(next(n), "percent")) {
        error = msg::badTop();
        return {};
    }
    skipThrough(a, n);
    return std::string(t[n].text);
}

// Table, columns and the columns that receive the new-id placeholders.
void Translator::readInsert(size_t first)
{
    size_t i = next(first);
    if (!isWord(i, "into"))
        return;
    i = next(i);
    result.table = name(i);
    target = i;
    i = next(i);
    if (!isOp(i, '('))
        return;
    const size_t close = matchParen(i);
    if (close == std::string::npos)
        return;
    for (size_t k = next(i); k < close; k = next(k)) {
        if (!isOp(k, ','))
            result.columns.push_back(name(k));
    }
    i = next(close);
    if (!isWord(i, "values"))
        return;
    i = next(i);
    if (!isOp(i, '('))
        return;
    const size_t vclose = matchParen(i);
    if (vclose == std::string::npos)
        return;
    // Each value: a lone placeholder names its column.
    auto soleToken = [&](size_t b, size_t e) {
        size_t found = std::string::npos;
        for (size_t k = b; k < e; ++k) {
            if (t[k].type == Tok::Space)
                continue;
            if (found != std::string::npos)
                return std::string::npos;
            found = k;
        }
        return found;
    };
    size_t column = 0;
    size_t valueStart = i + 1;
    int depth = 0;
    for (size_t k = i + 1; k <= vclose; ++k) {
        if (isOp(k, '(')) {
            ++depth;
            continue;
        }
        if (isOp(k, ')') && k != vclose) {
            --depth;
            continue;
        }
        if (k != vclose && !(depth == 0 && isOp(k, ',')))
            continue;
        const size_t only = soleToken(valueStart, k);
        if (only != std::string::npos && t[only].type == Tok::Param
            && column < result.columns.size()) {
            const std::string p = lower(t[only].text);
            if (p == ":newid")
                result.newIdColumn = result.columns[column];
            else if (p == ":newidbis")
                result.newIdBisColumn = result.columns[column];
        }
        ++column;
        valueStart = k + 1;
    }
}

std::optional<std::string> Translator::translateToken(size_t &i, size_t end)
{
    const Token &tok = t[i];
    switch (tok.type) {
    case Tok::Word: {
        const std::string w = lower(tok.text);
        const size_t n = next(i);
        const bool call = n < end && isOp(n, '(');
        const size_t p = prev(i);
        const bool qualified = p != std::string::npos && isOp(p, '.');
        if (qualified)
            return std::string(tok.text);
        if (w == "isnull" && call) {
            const size_t close = matchParen(n);
            if (close == std::string::npos || close >= end) {
                error = msg::unbalancedParens();
                return std::nullopt;
            }
            // Nesting is bounded, so that a hostile statement cannot exhaust the stack.
            if (++m_depth > kMaxNesting) {
                error = msg::tooDeep();
                return std::nullopt;
            }
            const std::string inner = emit(n + 1, close);
            --m_depth;
            i = close;
            return "((" + inner + ") IS NULL)";
        }
        if (!call && (w == "true" || w == "false")) {
            if (pg)
                return std::string(w == "true" ? "TRUE" : "FALSE");
            return std::string(w == "true" ? "1" : "0");
        }
        if (pg && w == "like") {
            // ASCII case is ignored, as SQLite's LIKE does, and "\\" is a plain character.
            // Only a pattern standing alone can take an escape clause, or the match operator,
            // which binds as tightly as "||".
            const size_t pattern = next(i);
            const size_t last = simpleOperand(pattern, end);
            if (last != std::string::npos && endsOperand(next(last), end)) {
                if (t[pattern].type == Tok::String && !isWord(p, "not")) {
                    matchPattern = pattern;
                    return std::string(" ") + kPgMatchOperator + " ";
                }
                likePattern = last;
            }
            return std::string("ILIKE");
        }
        if (w == "distinctrow")
            return std::string("DISTINCT");
        if (call) {
            const size_t after = next(n);
            const bool empty = isOp(after, ')');
            // Dates are stored as ISO texts on both engines.
            if (empty && w == "now") {
                i = after;
                return std::string(pg ? "to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS')"
                                      : "datetime('now','localtime')");
            }
            if (empty && w == "date") {
                i = after;
                return std::string(pg ? "to_char(localtimestamp, 'YYYY-MM-DD')"
                                      : "date('now','localtime')");
            }
            static const std::pair<const char *, const char *> renames[] = {{"ucase", "upper"},
                                                                            {"lcase", "lower"},
                                                                            {"len", "length"},
                                                                            {"nz", "ifnull"},
                                                                            {"mid", "substr"}};
            for (const auto &[jet, lite] : renames)
                if (w == jet)
                    return std::string(pg && w == "nz" ? "coalesce" : lite);
            // The name of a common table expression takes its column list in parentheses.
            const size_t close = matchParen(n);
            const bool cte = close != std::string::npos && isWord(next(close), "as")
                    && isOp(next(next(close)), '(');
            if (pg && i != target && !cte && !isKeywordBeforeParen(w) && !isPostgresFunction(w)) {
                error = msg::deniedFunction(std::string(tok.text));
                return std::nullopt;
            }
        }
        return std::string(tok.text);
    }
    case Tok::String: {
        std::string text(tok.text);
        // A prefix glued to a string (E'...', U&'...') would change how PostgreSQL reads it.
        if (pg && i > 0 && t[i - 1].type == Tok::Word)
            text.insert(0, " ");
        if (pg && i == matchPattern) {
            // The operator takes "\\" as its escape: doubled, it stands for itself.
            std::string doubled;
            for (const char c : text)
                doubled.append(c == '\\' ? 2 : 1, c);
            text = std::move(doubled);
        }
        if (pg && isAlias(i))
            return quoteName(lower(unquote(tok.text)));
        return text;
    }
    case Tok::DString:
        if (pg && isAlias(i))
            return quoteName(lower(unquote(tok.text)));
        return quoteText(unquote(tok.text));
    case Tok::Bracket:
        // PostgreSQL holds the names lower case, as it folds the unquoted ones; result columns
        // take back the case the client wrote (JetTranslation::names).
        return quoteName(pg ? lower(unquote(tok.text)) : unquote(tok.text));
    case Tok::Date: {
        const std::string inner = unquote(tok.text);
        auto d = parseUsDate(inner);
        if (!d)
            d = parseIsoDate(inner);
        if (!d) {
            error = msg::badDate(tok.text);
            return std::nullopt;
        }
        return "'" + formatIso(*d) + "'";
    }
    case Tok::Param: {
        const std::string p = lower(tok.text);
        if (p == ":newid") {
            result.usesNewId = true;
            return parameter(":NewID");
        }
        if (p == ":newidbis") {
            result.usesNewIdBis = true;
            return parameter(":NewIDbis");
        }
        error = msg::unknownParameter(tok.text);
        return std::nullopt;
    }
    case Tok::Op:
        if (tok.text == ";") {
            error = msg::oneStatementOnly();
            return std::nullopt;
        }
        if (tok.text == "&")
            return std::string("||");
        return std::string(tok.text);
    default:
        return std::string(tok.text);
    }
}

// Both engines number the placeholders by first appearance; SQLite keeps their names.
std::string Translator::parameter(std::string_view name)
{
    auto &ps = result.parameters;
    auto it = std::find(ps.begin(), ps.end(), name);
    if (it == ps.end())
        it = ps.insert(ps.end(), std::string(name));
    return pg ? "$" + std::to_string(it - ps.begin() + 1) : std::string(name);
}

// Whether a quoted token names a result column after "AS" (SQLite takes a string there).
bool Translator::isAlias(size_t i) const
{
    const size_t p = prev(i);
    return p != std::string::npos && isWord(p, "as");
}

std::string Translator::emit(size_t begin, size_t end)
{
    std::string out;
    for (size_t i = begin; i < end && error.empty(); ++i) {
        if (skip[i])
            continue;
        // The schema is the server's: a client names tables, never their database.
        if (const std::string n = lower(name(i));
            (n == "main" || n == "temp" || (pg && isPostgresSchema(n))) && isOp(next(i), '.')) {
            error = msg::deniedSchemaName(std::string(t[i].text));
            break;
        }
        const size_t at = i;
        auto piece = translateToken(i, end);
        if (!piece)
            break;
        if (piece->empty())
            continue;
        // Writes go to the stored table, never to the confining view of the same name
        // (PostgreSQL confines the stored table itself).
        if (!pg && at == target && !name(at).empty() && !isOp(next(at), '.'))
            piece = "main." + *piece;
        // Jet has no comments: "--" and "/*" are two operators, and must stay so.
        if (!out.empty()
            && ((out.back() == '-' && piece->front() == '-')
                || (out.back() == '/' && piece->front() == '*')))
            out += ' ';
        out += *piece;
        if (pg && at == likePattern)
            out += " ESCAPE ''";
    }
    return out;
}

JetTranslation Translator::run()
{
    // Trailing blanks and semicolons end the one statement.
    size_t end = t.size();
    while (end > 0 && (t[end - 1].type == Tok::Space || isOp(end - 1, ';')))
        --end;
    t.resize(end);
    skip.resize(end);
    size_t first = 0;
    while (first < t.size() && t[first].type == Tok::Space)
        ++first;
    if (first >= t.size()) {
        result.error = msg::emptyStatement();
        return result;
    }
    const std::string verb = t[first].type == Tok::Word ? lower(t[first].text) : std::string();
    std::string limit;
    if (verb == "select" || verb == "with") {
        result.kind = StatementKind::Select;
        if (verb == "select")
            limit = prepareTop(first);
    } else if (verb == "insert") {
        result.kind = StatementKind::Insert;
        readInsert(first);
    } else if (verb == "update") {
        result.kind = StatementKind::Update;
        result.table = name(next(first));
        target = next(first);
    } else if (verb == "delete") {
        result.kind = StatementKind::Delete;
        prepareDelete(first);
        for (size_t i = next(first); i < t.size(); i = next(i)) {
            if (isWord(i, "from")) {
                result.table = name(next(i));
                target = next(i);
                break;
            }
        }
    }
    if (target >= t.size())
        target = std::string::npos;
    for (size_t i = first; i < t.size(); ++i) {
        const bool quotedAlias
                = (t[i].type == Tok::String || t[i].type == Tok::DString) && isAlias(i);
        if (t[i].type == Tok::Word || t[i].type == Tok::Bracket || quotedAlias)
            result.names.push_back(t[i].type == Tok::Word ? std::string(t[i].text)
                                                          : unquote(t[i].text));
    }
    if (error.empty())
        result.sql = emit(first, t.size());
    if (!error.empty()) {
        result.error = error;
        result.sql.clear();
        return result;
    }
    if (!limit.empty())
        result.sql += " LIMIT " + limit;
    result.ok = true;
    return result;
}

} // namespace

JetTranslation translateJet(std::string_view jet, SqlDialect dialect)
{
    std::vector<Token> tokens;
    const std::string error = tokenize(jet, tokens);
    if (!error.empty()) {
        JetTranslation r;
        r.error = error;
        return r;
    }
    return Translator(std::move(tokens), dialect).run();
}

} // namespace dravik::server

#include "erp/SqlRewriter.h"

#include <QSet>
#include <QStringList>

#include <vector>

namespace sqlrewriter {
namespace {

enum class Kind { Space, Comment, String, Word, Quoted, Number, Punct };

struct Token {
    Kind kind;
    QString text; // as it goes out
    QString name; // words and quoted names: the name itself
    bool is(const char* word) const
    {
        return (kind == Kind::Word) && name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isPunct(QChar c) const { return kind == Kind::Punct && text.size() == 1 && text[0] == c; }
    bool isName() const { return kind == Kind::Word || kind == Kind::Quoted; }
    bool significant() const { return kind != Kind::Space && kind != Kind::Comment; }
};
using Tokens = std::vector<Token>;

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#')
        || c == QLatin1Char('$') || c.unicode() >= 0x80;
}

// A quoted name as SQLite reads it. Not in double quotes: SQLite takes an
// unknown double-quoted name for a string, so a mistyped column would
// quietly give its own name back instead of failing as on SQL Server.
// Brackets are SQLite's too; a name holding "]" goes between backquotes.
QString quotedName(const QString& name)
{
    if (!name.contains(QLatin1Char(']')))
        return QLatin1Char('[') + name + QLatin1Char(']');
    QString n = name;
    n.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + n + QLatin1Char('`');
}

Tokens tokenize(const QString& s)
{
    Tokens out;
    const int n = int(s.size());
    int i = 0;
    auto at = [&](int k) { return k < n ? s[k] : QChar(); };
    while (i < n) {
        const QChar c = s[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            out.push_back({Kind::Space, s.mid(start, i - start), {}});
        } else if (c == QLatin1Char('-') && at(i + 1) == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
            out.push_back({Kind::Comment, s.mid(start, i - start), {}});
        } else if (c == QLatin1Char('/') && at(i + 1) == QLatin1Char('*')) {
            // Block comments nest in T-SQL but not in SQLite: the inner
            // marks are broken up so that SQLite sees one comment too.
            int depth = 0;
            QString inner;
            while (i < n) {
                if (s[i] == QLatin1Char('/') && at(i + 1) == QLatin1Char('*')) {
                    inner += depth++ == 0 ? QStringLiteral("/*") : QStringLiteral("/ *");
                    i += 2;
                } else if (s[i] == QLatin1Char('*') && at(i + 1) == QLatin1Char('/')) {
                    inner += --depth == 0 ? QStringLiteral("*/") : QStringLiteral("* /");
                    i += 2;
                    if (depth == 0)
                        break;
                } else {
                    inner += s[i++];
                }
            }
            out.push_back({Kind::Comment, inner, {}});
        } else if (c == QLatin1Char('\'')
                   || ((c == QLatin1Char('N') || c == QLatin1Char('n')) && at(i + 1) == QLatin1Char('\''))) {
            // A national-character literal N'…' is an ordinary literal in SQLite.
            const int open = c == QLatin1Char('\'') ? i : i + 1;
            i = open + 1;
            while (i < n) {
                if (s[i] == QLatin1Char('\'')) {
                    if (at(i + 1) == QLatin1Char('\'')) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({Kind::String, s.mid(open, i - open), {}});
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            QString name;
            i = start + 1;
            while (i < n) {
                if (s[i] == close) {
                    if (at(i + 1) == close) {
                        name += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                name += s[i++];
            }
            out.push_back({Kind::Quoted, quotedName(name), name});
        } else if (c.isDigit() || (c == QLatin1Char('.') && at(i + 1).isDigit())) {
            while (i < n && (s[i].isDigit() || s[i] == QLatin1Char('.')))
                ++i;
            if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))
                && (at(i + 1).isDigit()
                    || ((at(i + 1) == QLatin1Char('+') || at(i + 1) == QLatin1Char('-')) && at(i + 2).isDigit()))) {
                i += 2;
                while (i < n && s[i].isDigit())
                    ++i;
            }
            out.push_back({Kind::Number, s.mid(start, i - start), {}});
        } else if (isWordChar(c)) {
            while (i < n && isWordChar(s[i]))
                ++i;
            const QString w = s.mid(start, i - start);
            out.push_back({Kind::Word, w, w});
        } else {
            static const QStringList pairs = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="),
                                              QStringLiteral("!="), QStringLiteral("||")};
            const QString two = s.mid(i, 2);
            i += pairs.contains(two) ? 2 : 1;
            out.push_back({Kind::Punct, s.mid(start, i - start), {}});
        }
    }
    return out;
}

QString join(const Tokens& t, size_t from = 0, size_t to = size_t(-1))
{
    QString out;
    for (size_t k = from; k < t.size() && k < to; ++k)
        out += t[k].text;
    return out;
}

// Index of the next / previous significant token, or -1.
int nextSig(const Tokens& t, int k)
{
    for (++k; k < int(t.size()); ++k)
        if (t[k].significant())
            return k;
    return -1;
}
int prevSig(const Tokens& t, int k)
{
    for (--k; k >= 0; --k)
        if (t[k].significant())
            return k;
    return -1;
}
int matchingClose(const Tokens& t, int open)
{
    int depth = 0;
    for (int k = open; k < int(t.size()); ++k) {
        if (t[k].isPunct(QLatin1Char('(')))
            ++depth;
        else if (t[k].isPunct(QLatin1Char(')')) && --depth == 0)
            return k;
    }
    return -1;
}
int matchingOpen(const Tokens& t, int close)
{
    int depth = 0;
    for (int k = close; k >= 0; --k) {
        if (t[k].isPunct(QLatin1Char(')')))
            ++depth;
        else if (t[k].isPunct(QLatin1Char('(')) && --depth == 0)
            return k;
    }
    return -1;
}

const QSet<QString>& keywords()
{
    static const QSet<QString> words = [] {
        QSet<QString> s;
        for (const char* w :
             {"select", "from",   "where", "and",    "or",     "not",     "like",   "in",       "is",
              "null",   "as",     "on",    "join",   "inner",  "left",    "right",  "full",     "outer",
              "cross",  "group",  "order", "by",     "having", "union",   "all",    "distinct", "top",
              "case",   "when",   "then",  "else",   "end",    "between", "exists", "insert",   "into",
              "values", "update", "set",   "delete", "asc",    "desc",    "limit",  "escape",   "collate"})
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    return words;
}
bool isKeyword(const Token& t)
{
    return t.kind == Kind::Word && keywords().contains(t.name.toLower());
}

// db.dbo.table → db.table, db..table → db.table, dbo.table → table.
Tokens reduceNames(const Tokens& in)
{
    Tokens out;
    for (size_t k = 0; k < in.size();) {
        if (!in[k].isName() || (!out.empty() && out.back().isPunct(QLatin1Char('.')))) {
            out.push_back(in[k++]);
            continue;
        }
        std::vector<const Token*> parts{&in[k]};
        size_t j = k + 1;
        while (j < in.size() && in[j].isPunct(QLatin1Char('.'))) {
            if (j + 1 < in.size() && in[j + 1].isName()) {
                parts.push_back(&in[j + 1]);
                j += 2;
            } else if (j + 1 < in.size() && in[j + 1].isPunct(QLatin1Char('.'))) {
                parts.push_back(nullptr); // the empty schema of db..table
                j += 1;
            } else {
                break;
            }
        }
        if (parts.back() == nullptr) { // "x." followed by something else: leave it
            out.push_back(in[k++]);
            continue;
        }
        auto isSchema = [](const Token* p) {
            return p == nullptr || p->name.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0;
        };
        if (parts.size() == 3 && isSchema(parts[1]))
            parts.erase(parts.begin() + 1);
        else if (parts.size() == 2 && isSchema(parts[0]))
            parts.erase(parts.begin());
        for (size_t p = 0; p < parts.size(); ++p) {
            if (p > 0)
                out.push_back({Kind::Punct, QStringLiteral("."), {}});
            out.push_back(*parts[p]);
        }
        k = j;
    }
    return out;
}

// --- CREATE TABLE ---------------------------------------------------------

struct ColumnType {
    QString declared;
    QString check; // with %1 for the column name
    bool text = false;
};

ColumnType mapType(const QString& typeName, const QStringList& args)
{
    const QString t = typeName.toLower();
    const QString argText =
        args.isEmpty() ? QString() : QLatin1Char('(') + args.join(QLatin1Char(',')) + QLatin1Char(')');
    const QString integers = QStringLiteral("typeof(%1) IN ('integer','null')");
    const QString numbers = QStringLiteral("typeof(%1) IN ('integer','real','null')");
    const QString dates = QStringLiteral("%1 IS NULL OR julianday(%1) IS NOT NULL");
    if (t == QLatin1String("tinyint") || t == QLatin1String("smallint") || t == QLatin1String("int")
        || t == QLatin1String("integer") || t == QLatin1String("bigint") || t == QLatin1String("bit"))
        return {t, integers};
    if (t == QLatin1String("decimal") || t == QLatin1String("numeric"))
        return {QStringLiteral("numeric") + argText, numbers};
    if (t == QLatin1String("money"))
        return {QStringLiteral("numeric(19,4)"), numbers};
    if (t == QLatin1String("smallmoney"))
        return {QStringLiteral("numeric(10,4)"), numbers};
    if (t == QLatin1String("float") || t == QLatin1String("real"))
        return {t, numbers};
    if (t == QLatin1String("datetime") || t == QLatin1String("smalldatetime") || t == QLatin1String("datetime2"))
        return {QStringLiteral("datetime"), dates};
    if (t == QLatin1String("date"))
        return {QStringLiteral("date"), dates};
    if (t == QLatin1String("nvarchar") || t == QLatin1String("varchar") || t == QLatin1String("nchar")
        || t == QLatin1String("char") || t == QLatin1String("text") || t == QLatin1String("ntext")) {
        bool sized = false;
        const int length = args.isEmpty() ? 0 : args.first().trimmed().toInt(&sized);
        if (sized)
            return {QStringLiteral("nvarchar(%1)").arg(length),
                    QStringLiteral("length(%1) <= ") + QString::number(length), true};
        return {QStringLiteral("nvarchar"), QString(), true};
    }
    return {typeName + argText, QString()};
}

// Splits the tokens between open and close (exclusive) at top-level commas.
std::vector<Tokens> splitTopLevel(const Tokens& t, int open, int close)
{
    std::vector<Tokens> parts(1);
    int depth = 0;
    for (int k = open + 1; k < close; ++k) {
        if (t[k].isPunct(QLatin1Char('(')))
            ++depth;
        else if (t[k].isPunct(QLatin1Char(')')))
            --depth;
        if (depth == 0 && t[k].isPunct(QLatin1Char(','))) {
            parts.emplace_back();
            continue;
        }
        parts.back().push_back(t[k]);
    }
    return parts;
}

Tokens significantOnly(const Tokens& t)
{
    Tokens out;
    for (const Token& x : t)
        if (x.significant())
            out.push_back(x);
    return out;
}

QString rewriteCreateTable(const Tokens& t, int tableWord)
{
    const int open = [&] {
        for (int k = tableWord; k < int(t.size()); ++k)
            if (t[k].isPunct(QLatin1Char('(')))
                return k;
        return -1;
    }();
    const int close = open < 0 ? -1 : matchingClose(t, open);
    if (close < 0)
        return join(t);
    const QString head = join(t, 0, size_t(open)).trimmed();

    // Find the identity column first: a table-level primary key on it alone
    // becomes its INTEGER PRIMARY KEY AUTOINCREMENT.
    std::vector<Tokens> defs = splitTopLevel(t, open, close);
    QString identityColumn;
    for (Tokens& d : defs) {
        d = significantOnly(d);
        for (size_t k = 0; k < d.size(); ++k)
            if (d[k].is("identity") && !d.empty() && d[0].isName())
                identityColumn = d[0].name;
    }

    QStringList columns;
    for (const Tokens& d : defs) {
        if (d.empty())
            continue;
        const bool tableConstraint =
            d[0].is("constraint") || d[0].is("primary") || d[0].is("unique") || d[0].is("foreign") || d[0].is("check");
        if (tableConstraint) {
            QStringList keyColumns; // the names in its parentheses
            bool primary = false;
            int depth = 0;
            QString text;
            for (const Token& x : d) {
                if (x.is("clustered") || x.is("nonclustered"))
                    continue;
                if (x.is("primary"))
                    primary = true;
                if (x.isPunct(QLatin1Char('(')))
                    ++depth;
                else if (x.isPunct(QLatin1Char(')')))
                    --depth;
                else if (depth > 0 && x.isName() && !x.is("asc") && !x.is("desc"))
                    keyColumns << x.name;
                text += (text.isEmpty() || x.isPunct(QLatin1Char(')')) || x.isPunct(QLatin1Char(','))
                                 || text.endsWith(QLatin1Char('('))
                             ? QString()
                             : QStringLiteral(" "))
                    + x.text;
            }
            if (primary && keyColumns.size() == 1
                && keyColumns.first().compare(identityColumn, Qt::CaseInsensitive) == 0)
                continue; // the identity column is the key already
            columns << text;
            continue;
        }
        const QString name = d[0].name;
        size_t k = 1;
        QString typeName;
        QStringList args;
        if (k < d.size() && d[k].isName()) {
            typeName = d[k].name;
            ++k;
            if (k < d.size() && d[k].isPunct(QLatin1Char('('))) {
                QString arg;
                for (++k; k < d.size() && !d[k].isPunct(QLatin1Char(')')); ++k) {
                    if (d[k].isPunct(QLatin1Char(','))) {
                        args << arg;
                        arg.clear();
                    } else {
                        arg += d[k].text;
                    }
                }
                args << arg;
                ++k;
            }
        }
        const ColumnType type = mapType(typeName, args);
        const QString columnName = quotedName(name);
        bool identity = false;
        QString rest;
        for (; k < d.size(); ++k) {
            if (d[k].is("identity")) {
                identity = true;
                if (k + 1 < d.size() && d[k + 1].isPunct(QLatin1Char('('))) {
                    while (k < d.size() && !d[k].isPunct(QLatin1Char(')')))
                        ++k;
                }
                continue;
            }
            if (d[k].is("clustered") || d[k].is("nonclustered"))
                continue;
            rest += QLatin1Char(' ') + d[k].text;
        }
        QString column = columnName + QLatin1Char(' ');
        // SQLite numbers rows of an INTEGER PRIMARY KEY itself, which is what
        // an identity column does; explicit values are always accepted, as
        // under IDENTITY_INSERT. The numbering starts at 1 whatever the IDENTITY start value.
        column += identity ? QStringLiteral("integer PRIMARY KEY AUTOINCREMENT") : type.declared;
        if (type.text)
            column += QStringLiteral(" COLLATE NOCASE");
        column += rest;
        if (!identity && !type.check.isEmpty())
            column += QStringLiteral(" CHECK (") + type.check.arg(columnName) + QLatin1Char(')');
        columns << column;
    }
    // Whatever follows the column list (ON [PRIMARY], TEXTIMAGE_ON …) is
    // storage placement that SQLite has no use for.
    return head + QLatin1Char('(') + columns.join(QLatin1Char(',')) + QLatin1Char(')');
}

// --- expressions ------------------------------------------------------------

bool isStringFunction(const Token& f)
{
    for (const char* w :
         {"ltrim", "rtrim", "upper", "lower", "substring", "left", "right", "replace", "char", "nchar", "str"})
        if (f.is(w))
            return true;
    return false;
}

// Whether the call f(…) whose parentheses are open..close yields a text.
bool callIsText(const Tokens& t, int f, int open, int close)
{
    if (f < 0)
        return false;
    if (isStringFunction(t[f]))
        return true;
    if (t[f].is("isnull") || t[f].is("ifnull") || t[f].is("coalesce")) {
        int depth = 0;
        for (int k = open; k <= close; ++k) {
            if (t[k].isPunct(QLatin1Char('(')))
                ++depth;
            else if (t[k].isPunct(QLatin1Char(')')))
                --depth;
            else if (depth == 1 && t[k].kind == Kind::String)
                return true;
        }
    }
    return false;
}

bool leftIsText(const Tokens& t, int plus)
{
    const int p = prevSig(t, plus);
    if (p < 0)
        return false;
    if (t[p].kind == Kind::String)
        return true;
    if (t[p].isPunct(QLatin1Char(')'))) {
        const int open = matchingOpen(t, p);
        return open >= 0 && callIsText(t, prevSig(t, open), open, p);
    }
    return false;
}

bool rightIsText(const Tokens& t, int plus)
{
    const int n = nextSig(t, plus);
    if (n < 0)
        return false;
    if (t[n].kind == Kind::String)
        return true;
    if (t[n].kind == Kind::Word) {
        const int open = nextSig(t, n);
        if (open >= 0 && t[open].isPunct(QLatin1Char('('))) {
            const int close = matchingClose(t, open);
            return close >= 0 && callIsText(t, n, open, close);
        }
    }
    return false;
}

// a + b on texts is a || b in SQLite. A chain of + whose operands include a
// text is a concatenation as a whole.
void rewriteConcatenation(Tokens& t)
{
    struct Chain {
        std::vector<int> plus;
        bool text = false;
    };
    std::vector<Chain> stack(1);
    auto finish = [&](Chain& c) {
        if (c.text)
            for (int k : c.plus)
                t[k].text = QStringLiteral("||");
        c = Chain{};
    };
    for (int k = 0; k < int(t.size()); ++k) {
        const Token& x = t[k];
        if (!x.significant())
            continue;
        if (x.isPunct(QLatin1Char('('))) {
            stack.emplace_back();
        } else if (x.isPunct(QLatin1Char(')'))) {
            finish(stack.back());
            if (stack.size() > 1)
                stack.pop_back();
        } else if (x.isPunct(QLatin1Char('+'))) {
            stack.back().plus.push_back(k);
            if (leftIsText(t, k) || rightIsText(t, k))
                stack.back().text = true;
        } else if (x.kind == Kind::Punct && !x.isPunct(QLatin1Char('.')) && !x.isPunct(QLatin1Char('*'))
                   && !x.isPunct(QLatin1Char('/'))) {
            finish(stack.back());
        } else if (isKeyword(x)) {
            finish(stack.back());
        }
    }
    for (Chain& c : stack)
        finish(c);
}

const QString kSysObjects = QStringLiteral(
    "(SELECT rowid AS id, name, CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' WHEN 'index' THEN 'I' "
    "WHEN 'trigger' THEN 'TR' ELSE '' END AS xtype FROM sqlite_master)");

void rewriteSystemObjects(Tokens& t)
{
    for (int k = 0; k < int(t.size()); ++k) {
        if (t[k].is("object_id")) {
            const int open = nextSig(t, k);
            if (open < 0 || !t[open].isPunct(QLatin1Char('(')))
                continue;
            const int close = matchingClose(t, open);
            if (close < 0)
                continue;
            Tokens arg;
            for (int j = open + 1; j < close; ++j)
                arg.push_back(t[j]);
            Tokens sig = significantOnly(arg);
            QString argText = join(arg).trimmed();
            if (sig.size() == 1 && sig[0].kind == Kind::String) {
                // OBJECT_ID('dbo.ckmx') names the same table as OBJECT_ID('ckmx').
                QString inner = sig[0].text.mid(1, sig[0].text.size() - 2);
                for (const char* prefix : {"[dbo].", "dbo."})
                    if (inner.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
                        inner = inner.mid(int(qstrlen(prefix)));
                argText = QLatin1Char('\'') + inner + QLatin1Char('\'');
            }
            t[k].text = QStringLiteral("(SELECT rowid FROM sqlite_master WHERE type IN ('table','view') AND name = ")
                + argText + QStringLiteral(" COLLATE NOCASE)");
            for (int j = k + 1; j <= close; ++j)
                t[j].text.clear();
            k = close;
        } else if (t[k].is("sysobjects")) {
            const int p = prevSig(t, k);
            if (p < 0 || !(t[p].is("from") || t[p].is("join") || t[p].isPunct(QLatin1Char(','))))
                continue;
            const int n = nextSig(t, k);
            const bool aliased = n >= 0 && (t[n].is("as") || (t[n].isName() && !isKeyword(t[n])));
            t[k].text = kSysObjects + (aliased ? QString() : QLatin1String(" AS ") + t[k].name);
        }
    }
}

void rewriteFunctions(Tokens& t)
{
    for (int k = 0; k < int(t.size()); ++k) {
        if (!t[k].is("isnull"))
            continue;
        const int n = nextSig(t, k);
        if (n >= 0 && t[n].isPunct(QLatin1Char('(')))
            t[k].text = QStringLiteral("IFNULL");
    }
}

bool isCompoundOperator(const Token& t)
{
    return t.is("union") || t.is("except") || t.is("intersect");
}

// SELECT [DISTINCT] TOP n … → SELECT [DISTINCT] … LIMIT n, the limit placed
// where that SELECT ends (end of statement or its closing parenthesis).
// SQLite allows no LIMIT inside one half of a UNION, so such a half becomes
// a subquery: SELECT * FROM (SELECT … LIMIT n); the ORDER BY after the last
// half stays outside, where it orders the whole result as on SQL Server.
void rewriteTop(Tokens& t)
{
    for (int k = 0; k < int(t.size()); ++k) {
        if (!t[k].is("select"))
            continue;
        int top = nextSig(t, k);
        if (top >= 0 && (t[top].is("distinct") || t[top].is("all")))
            top = nextSig(t, top);
        if (top < 0 || !t[top].is("top"))
            continue;
        int count = nextSig(t, top);
        if (count < 0)
            continue;
        QString limit;
        int last = count;
        if (t[count].kind == Kind::Number) {
            limit = t[count].text;
        } else if (t[count].isPunct(QLatin1Char('('))) {
            last = matchingClose(t, count);
            if (last < 0)
                continue;
            limit = join(t, size_t(count), size_t(last) + 1);
        } else {
            continue;
        }
        for (int j = top; j <= last; ++j)
            t[j].text.clear();
        if (last + 1 < int(t.size()) && t[last + 1].kind == Kind::Space)
            t[last + 1].text.clear();
        const int before = prevSig(t, k);
        bool compound = before >= 0
            && (isCompoundOperator(t[before])
                || (t[before].is("all") && prevSig(t, before) >= 0 && isCompoundOperator(t[prevSig(t, before)])));
        // Where does this SELECT end?
        int depth = 0;
        int end = int(t.size());
        int orderBy = -1;
        for (int j = last + 1; j < int(t.size()); ++j) {
            if (t[j].isPunct(QLatin1Char('(')))
                ++depth;
            else if (t[j].isPunct(QLatin1Char(')')) && --depth < 0) {
                end = j;
                break;
            } else if (depth == 0 && t[j].isPunct(QLatin1Char(';'))) {
                end = j;
                break;
            } else if (depth == 0 && isCompoundOperator(t[j])) {
                compound = true;
                end = j;
                orderBy = -1;
                break;
            } else if (depth == 0 && t[j].is("order") && orderBy < 0) {
                orderBy = j;
            }
        }
        if (compound && orderBy >= 0)
            end = orderBy;
        const int lastInside = prevSig(t, end);
        if (lastInside < 0)
            continue;
        t[lastInside].text += QStringLiteral(" LIMIT ") + limit;
        if (compound) {
            t[k].text = QStringLiteral("SELECT * FROM (") + t[k].text;
            t[lastInside].text += QLatin1Char(')');
        }
    }
}

} // namespace

QString toSqlite(const QString& tsql)
{
    Tokens t = reduceNames(tokenize(tsql));
    const Tokens sig = significantOnly(t);
    if (sig.empty())
        return tsql;

    // Statements that change as a whole.
    if (sig.size() >= 2 && sig[0].is("set") && sig[1].is("identity_insert")) {
        // Explicit values always go into an SQLite identity column; what
        // remains is SQL Server's check that the table exists.
        QString table;
        for (size_t k = 2; k + 1 < sig.size(); ++k)
            table += sig[k].text;
        return QStringLiteral("SELECT 1 FROM ") + table + QStringLiteral(" WHERE 0");
    }
    if ((sig[0].is("begin") || sig[0].is("commit") || sig[0].is("rollback"))
        && (sig.size() == 1 || sig[1].is("tran") || sig[1].is("transaction")))
        return sig[0].name.toUpper() + QStringLiteral(" TRANSACTION");
    if (sig.size() >= 2 && sig[0].is("create") && sig[1].is("table")) {
        for (int k = 0; k < int(t.size()); ++k)
            if (t[k].is("table"))
                return rewriteCreateTable(t, k);
    }

    rewriteSystemObjects(t);
    rewriteFunctions(t);
    rewriteTop(t);
    rewriteConcatenation(t);
    return join(t);
}

} // namespace sqlrewriter

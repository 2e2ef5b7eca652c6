// A distant ERP on a near one: preloaded (LD_PRELOAD) into a program that
// reaches its database through unixODBC, it counts the calls that cost a
// round trip to a database server and adds a set delay to each:
// executing a statement, ending a transaction, connecting, and fetching
// from a scrollable cursor (a forward-only result comes with its execute).
//
//   QUILLMARK_RTT_MS     the delay per round trip in milliseconds (0: none)
//   QUILLMARK_RTT_TRACE  when set, each round trip is printed to stderr
//
// quillmark_round_trips() (found with dlsym) gives the count so far.
//
// A statement that begins with the comment the connection puts in front of
// the later pieces of a batch it had to split for an engine taking one
// statement at a time is part of its batch's round trip, as on SQL Server,
// where the batch goes in one execute.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>

#include <sql.h>
#include <sqlext.h>

extern "C" {

static long g_round_trips;

long quillmark_round_trips(void)
{
    return g_round_trips;
}

static void round_trip(const char* what, const char* text = nullptr)
{
    ++g_round_trips;
    if (getenv("QUILLMARK_RTT_TRACE"))
        fprintf(stderr, "round trip %ld: %s %.200s\n", g_round_trips, what, text ? text : "");
    const char* ms = getenv("QUILLMARK_RTT_MS");
    const double delay = ms ? atof(ms) : 0.0;
    if (delay <= 0)
        return;
    struct timespec t;
    t.tv_sec = static_cast<time_t>(delay / 1000);
    t.tv_nsec = static_cast<long>((delay - t.tv_sec * 1000.0) * 1e6);
    while (nanosleep(&t, &t) != 0) { }
}

static const char kContinuation[] = "/*+*/";

static int continues_a(const SQLCHAR* text)
{
    return text && strncmp(reinterpret_cast<const char*>(text), kContinuation, sizeof kContinuation - 1) == 0;
}

static int continues_w(const SQLWCHAR* text)
{
    if (!text)
        return 0;
    for (size_t i = 0; i < sizeof kContinuation - 1; ++i)
        if (text[i] != static_cast<SQLWCHAR>(kContinuation[i]))
            return 0;
    return 1;
}

#define NEXT(name, ...)                                                                                                \
    using Next = __VA_ARGS__;                                                                                          \
    static Next next = nullptr;                                                                                        \
    if (!next)                                                                                                         \
    next = reinterpret_cast<Next>(dlsym(RTLD_NEXT, name))

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT s, SQLCHAR* text, SQLINTEGER length)
{
    NEXT("SQLExecDirect", SQLRETURN(*)(SQLHSTMT, SQLCHAR*, SQLINTEGER));
    if (!continues_a(text))
        round_trip("execute", reinterpret_cast<const char*>(text));
    return next(s, text, length);
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT s, SQLWCHAR* text, SQLINTEGER length)
{
    NEXT("SQLExecDirectW", SQLRETURN(*)(SQLHSTMT, SQLWCHAR*, SQLINTEGER));
    if (!continues_w(text)) {
        char narrow[256] = {};
        for (size_t i = 0; text && text[i] && i + 1 < sizeof narrow; ++i)
            narrow[i] = text[i] < 128 ? static_cast<char>(text[i]) : '?';
        round_trip("execute", narrow);
    }
    return next(s, text, length);
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT s)
{
    NEXT("SQLExecute", SQLRETURN(*)(SQLHSTMT));
    round_trip("execute prepared");
    return next(s);
}

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT kind, SQLHANDLE handle, SQLSMALLINT completion)
{
    NEXT("SQLEndTran", SQLRETURN(*)(SQLSMALLINT, SQLHANDLE, SQLSMALLINT));
    round_trip(completion == SQL_COMMIT ? "commit" : "rollback");
    return next(kind, handle, completion);
}

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC c, SQLHWND w, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out,
                                   SQLSMALLINT outMax, SQLSMALLINT* outLength, SQLUSMALLINT completion)
{
    NEXT("SQLDriverConnect",
         SQLRETURN(*)(SQLHDBC, SQLHWND, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLSMALLINT*, SQLUSMALLINT));
    round_trip("connect");
    return next(c, w, in, inLength, out, outMax, outLength, completion);
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC c, SQLHWND w, SQLWCHAR* in, SQLSMALLINT inLength, SQLWCHAR* out,
                                    SQLSMALLINT outMax, SQLSMALLINT* outLength, SQLUSMALLINT completion)
{
    NEXT("SQLDriverConnectW",
         SQLRETURN(*)(SQLHDBC, SQLHWND, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLSMALLINT*, SQLUSMALLINT));
    round_trip("connect");
    return next(c, w, in, inLength, out, outMax, outLength, completion);
}

// Rows of a forward-only result stream to the client with the execute;
// each fetch from a scrollable (server-side) cursor asks the server again.
static bool scrollable(SQLHSTMT s)
{
    using Get = SQLRETURN (*)(SQLHSTMT, SQLINTEGER, SQLPOINTER, SQLINTEGER, SQLINTEGER*);
    static Get get = reinterpret_cast<Get>(dlsym(RTLD_NEXT, "SQLGetStmtAttr"));
    SQLULEN type = SQL_CURSOR_FORWARD_ONLY;
    if (!get || !SQL_SUCCEEDED(get(s, SQL_ATTR_CURSOR_TYPE, &type, 0, nullptr)))
        return false;
    return type != SQL_CURSOR_FORWARD_ONLY;
}

SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT s, SQLSMALLINT orientation, SQLLEN offset)
{
    NEXT("SQLFetchScroll", SQLRETURN(*)(SQLHSTMT, SQLSMALLINT, SQLLEN));
    if (scrollable(s))
        round_trip("scrollable fetch");
    return next(s, orientation, offset);
}

SQLRETURN SQL_API SQLExtendedFetch(SQLHSTMT s, SQLUSMALLINT orientation, SQLLEN offset, SQLULEN* rows,
                                   SQLUSMALLINT* status)
{
    NEXT("SQLExtendedFetch", SQLRETURN(*)(SQLHSTMT, SQLUSMALLINT, SQLLEN, SQLULEN*, SQLUSMALLINT*));
    if (scrollable(s))
        round_trip("scrollable fetch");
    return next(s, orientation, offset, rows, status);
}

} // extern "C"

/*
** Functions our sqlite3 shell adds to SQLite. Built into the shell, with
** quillbox_extra_init() as SQLITE_EXTRA_INIT, which gives them to every
** connection.
**
** xxh3_query(SQL): the XXH3 128-bit hash of every row that the statements
** in SQL return, as 32 lowercase hex digits; NULL for a NULL argument. Each
** row is marked, and each value with its type: "N" for NULL, "I" and the
** eight bytes of an INTEGER, "F" and the eight bytes of a REAL (so -0.0 and
** every subnormal number keep their bits), "T", the length n as eight bytes
** and the n bytes of a TEXT, "B", n as eight bytes and the n bytes of a
** BLOB (all words in the machine's order). The same rows, values and types
** in the same order give the same hash. Only statements that read may run.
**
** It does what SQLite's own sha1_query() does (ext/misc/sha1.c), with
** xxHash's XXH3 in place of SHA-1: the repair checks a rebuilt database
** against accidental change, not against a forger, and XXH3 reads a
** database's rows several times faster.
**
** has_nul_text(V, ...): 1 when one of the values is a TEXT that holds the
** character U+0000 (which a dump's text would cut short), else 0.
**
** inexact_reals(V, ...): how many of the values are a REAL that the dump's
** decimal text does not give back to the bit. Each is written as the shell's
** .dump writes it ("%lld.0" for a whole number, else "%!.20g") and read back
** with a correctly rounded strtod(); -0.0 is one, and so, to be safe from how
** any reader rounds them, is every subnormal number.
**
** The census of a damaged database calls the last two on every row while
** its dump runs; as SQL expressions over each column they took several
** times longer.
*/
/*
** With QUILLBOX_WITHOUT_FULL_TEXT set in the environment, every connection
** starts without the virtual-table modules but R-Tree's (rtree, rtree_i32,
** geopoly). SQLite's check of a database checks only the virtual tables
** whose module it has, so such a check reads every b-tree and every R-Tree
** but leaves the full-text indexes out, whose own check stops the whole
** check at the first index it cannot read, or keeps it from starting. The
** program checks each full-text table on its own.
*/
#include "sqlite3.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <float.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The hash's input, gathered in a small buffer: a row is mostly marks and
** eight-byte words, and XXH3 takes one long run faster than many short ones.
** How the input is cut into runs does not change the hash. */
typedef struct {
    XXH3_state_t *state;
    size_t used;
    unsigned char bytes[1024];
} Feed;

static void feedFlush(Feed *feed)
{
    if (feed->used > 0)
        XXH3_128bits_update(feed->state, feed->bytes, feed->used);
    feed->used = 0;
}

static void feedBytes(Feed *feed, const void *bytes, size_t size)
{
    if (size > sizeof feed->bytes - feed->used) {
        feedFlush(feed);
        if (size > sizeof feed->bytes) {
            XXH3_128bits_update(feed->state, bytes, size);
            return;
        }
    }
    if (size > 0)
        memcpy(feed->bytes + feed->used, bytes, size);
    feed->used += size;
}

/* A type mark and its eight bytes, in the machine's order. */
static void feedWord(Feed *feed, char mark, const void *word)
{
    feedBytes(feed, &mark, 1);
    feedBytes(feed, word, 8);
}

/* A type mark, the length as an eight-byte word, then the bytes. */
static void feedRun(Feed *feed, char mark, const void *bytes, int size)
{
    const sqlite3_int64 length = size;
    feedWord(feed, mark, &length);
    feedBytes(feed, bytes, (size_t)size);
}

static void hashRow(Feed *feed, sqlite3_stmt *statement, int columns)
{
    feedBytes(feed, "R", 1);
    for (int i = 0; i < columns; i++) {
        switch (sqlite3_column_type(statement, i)) {
        case SQLITE_NULL:
            feedBytes(feed, "N", 1);
            break;
        case SQLITE_INTEGER: {
            const sqlite3_int64 value = sqlite3_column_int64(statement, i);
            feedWord(feed, 'I', &value);
            break;
        }
        case SQLITE_FLOAT: {
            const double value = sqlite3_column_double(statement, i);
            feedWord(feed, 'F', &value);
            break;
        }
        case SQLITE_TEXT: {
            const unsigned char *text = sqlite3_column_text(statement, i);
            feedRun(feed, 'T', text, sqlite3_column_bytes(statement, i));
            break;
        }
        default: {
            const void *blob = sqlite3_column_blob(statement, i);
            feedRun(feed, 'B', blob, sqlite3_column_bytes(statement, i));
            break;
        }
        }
    }
}

static void xxh3Query(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    (void)argc;
    sqlite3 *db = sqlite3_context_db_handle(context);
    const char *sql = (const char *)sqlite3_value_text(argv[0]);
    if (sql == NULL)
        return;
    XXH3_state_t *state = XXH3_createState();
    Feed feed = {state, 0, {0}};
    if (state == NULL || XXH3_128bits_reset(state) != XXH_OK) {
        XXH3_freeState(state);
        sqlite3_result_error_nomem(context);
        return;
    }
    while (sql[0] != '\0') {
        sqlite3_stmt *statement = NULL;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, &sql) != SQLITE_OK ||
            (statement != NULL && !sqlite3_stmt_readonly(statement))) {
            sqlite3_result_error(
                context, statement == NULL ? sqlite3_errmsg(db) : "xxh3_query: not a query", -1);
            sqlite3_finalize(statement);
            XXH3_freeState(state);
            return;
        }
        if (statement == NULL)
            continue; /* white space or a comment */
        const int columns = sqlite3_column_count(statement);
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW)
            hashRow(&feed, statement, columns);
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE) {
            /* A row that cannot be read must not leave a digest behind. */
            sqlite3_result_error(context, sqlite3_errmsg(db), -1);
            XXH3_freeState(state);
            return;
        }
    }
    feedFlush(&feed);
    const XXH128_hash_t hash = XXH3_128bits_digest(state);
    XXH3_freeState(state);
    char hex[33];
    snprintf(hex, sizeof hex, "%016llx%016llx", (unsigned long long)hash.high64,
             (unsigned long long)hash.low64);
    sqlite3_result_text(context, hex, 32, SQLITE_TRANSIENT);
}

static void hasNulText(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; i++) {
        if (sqlite3_value_type(argv[i]) != SQLITE_TEXT)
            continue;
        const unsigned char *text = sqlite3_value_text(argv[i]);
        const int size = sqlite3_value_bytes(argv[i]);
        if (text != NULL && memchr(text, 0, (size_t)size) != NULL) {
            sqlite3_result_int(context, 1);
            return;
        }
    }
    sqlite3_result_int(context, 0);
}

/* True when the dump's text of `value` reads back as the same bits. */
static int roundTrips(double value)
{
    if (isinf(value) || isnan(value))
        return isinf(value); /* written as 9.0e+999, read back as infinity */
    if (fabs(value) < DBL_MIN && value != 0.0)
        return 0;
    char text[64];
    const double limit = 9223372036854775807.0;
    if (value > -limit && value < limit && value == (double)(sqlite3_int64)value)
        sqlite3_snprintf(sizeof text, text, "%lld.0", (sqlite3_int64)value);
    else
        sqlite3_snprintf(sizeof text, text, "%!.20g", value);
    const double back = strtod(text, NULL);
    return memcmp(&back, &value, sizeof value) == 0;
}

static void inexactReals(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    int count = 0;
    for (int i = 0; i < argc; i++) {
        if (sqlite3_value_type(argv[i]) == SQLITE_FLOAT && !roundTrips(sqlite3_value_double(argv[i])))
            count++;
    }
    sqlite3_result_int(context, count);
}

static int registerFunctions(sqlite3 *db, char **error, const void *api)
{
    (void)error;
    (void)api;
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int rc = sqlite3_create_function(db, "xxh3_query", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, NULL,
                                     xxh3Query, NULL, NULL);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "has_nul_text", -1, pure, NULL, hasNulText, NULL, NULL);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "inexact_reals", -1, pure, NULL, inexactReals, NULL, NULL);
    if (rc == SQLITE_OK && getenv("QUILLBOX_WITHOUT_FULL_TEXT") != NULL) {
        static const char *const kept[] = {"rtree", "rtree_i32", "geopoly", NULL};
        rc = sqlite3_drop_modules(db, (const char **)kept);
    }
    return rc;
}

int quillbox_extra_init(const char *unused)
{
    (void)unused;
    return sqlite3_auto_extension((void (*)(void))registerFunctions);
}

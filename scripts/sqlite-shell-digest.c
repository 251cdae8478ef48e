/*
** xxh3_query(SQL): the XXH3 128-bit hash of every row that the statements
** in SQL return, as 32 lowercase hex digits; NULL for a NULL argument. Each
** row is marked, and each value with its type: "N" for NULL, "I" and the
** eight bytes of an INTEGER, "F" and the eight bytes of a REAL (so -0.0 and
** every subnormal number keep their bits), "T<n>:" and the n bytes of a
** TEXT, "B<n>:" and the n bytes of a BLOB. The same rows, values and types
** in the same order give the same hash. Only statements that read may run.
**
** It does what SQLite's own sha1_query() does (ext/misc/sha1.c), with
** xxHash's XXH3 in place of SHA-1: the repair checks a rebuilt database
** against accidental change, not against a forger, and XXH3 reads a
** database's rows several times faster. Built into our shell, with
** quillbox_extra_init() as SQLITE_EXTRA_INIT, which gives it to every
** connection.
*/
#include "sqlite3.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <stdio.h>

static void hashBytes(XXH3_state_t *state, const void *bytes, size_t size)
{
    if (size > 0)
        XXH3_128bits_update(state, bytes, size);
}

/* A type mark and its eight bytes, in the machine's order. */
static void hashWord(XXH3_state_t *state, char mark, const void *word)
{
    hashBytes(state, &mark, 1);
    hashBytes(state, word, 8);
}

/* A type mark, the length in decimal and a colon, then the bytes. */
static void hashRun(XXH3_state_t *state, char mark, const void *bytes, int size)
{
    char head[24];
    const int n = snprintf(head, sizeof head, "%c%d:", mark, size);
    hashBytes(state, head, (size_t)n);
    hashBytes(state, bytes, (size_t)size);
}

static void hashRow(XXH3_state_t *state, sqlite3_stmt *statement, int columns)
{
    hashBytes(state, "R", 1);
    for (int i = 0; i < columns; i++) {
        switch (sqlite3_column_type(statement, i)) {
        case SQLITE_NULL:
            hashBytes(state, "N", 1);
            break;
        case SQLITE_INTEGER: {
            const sqlite3_int64 value = sqlite3_column_int64(statement, i);
            hashWord(state, 'I', &value);
            break;
        }
        case SQLITE_FLOAT: {
            const double value = sqlite3_column_double(statement, i);
            hashWord(state, 'F', &value);
            break;
        }
        case SQLITE_TEXT: {
            const unsigned char *text = sqlite3_column_text(statement, i);
            hashRun(state, 'T', text, sqlite3_column_bytes(statement, i));
            break;
        }
        default: {
            const void *blob = sqlite3_column_blob(statement, i);
            hashRun(state, 'B', blob, sqlite3_column_bytes(statement, i));
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
    if (state == NULL || XXH3_128bits_reset(state) != XXH_OK) {
        XXH3_freeState(state);
        sqlite3_result_error_nomem(context);
        return;
    }
    while (sql[0] != '\0') {
        sqlite3_stmt *statement = NULL;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, &sql) != SQLITE_OK ||
            (statement != NULL && !sqlite3_stmt_readonly(statement))) {
            sqlite3_result_error(context,
                                 statement == NULL ? sqlite3_errmsg(db) : "xxh3_query: not a query",
                                 -1);
            sqlite3_finalize(statement);
            XXH3_freeState(state);
            return;
        }
        if (statement == NULL)
            continue; /* white space or a comment */
        const int columns = sqlite3_column_count(statement);
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW)
            hashRow(state, statement, columns);
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE) {
            /* A row that cannot be read must not leave a digest behind. */
            sqlite3_result_error(context, sqlite3_errmsg(db), -1);
            XXH3_freeState(state);
            return;
        }
    }
    const XXH128_hash_t hash = XXH3_128bits_digest(state);
    XXH3_freeState(state);
    char hex[33];
    snprintf(hex, sizeof hex, "%016llx%016llx", (unsigned long long)hash.high64,
             (unsigned long long)hash.low64);
    sqlite3_result_text(context, hex, 32, SQLITE_TRANSIENT);
}

static int registerDigest(sqlite3 *db, char **error, const void *api)
{
    (void)error;
    (void)api;
    return sqlite3_create_function(db, "xxh3_query", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, NULL,
                                   xxh3Query, NULL, NULL);
}

int quillbox_extra_init(const char *unused)
{
    (void)unused;
    return sqlite3_auto_extension((void (*)(void))registerDigest);
}

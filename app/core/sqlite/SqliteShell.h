#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

class QProcess;

namespace quillbox
{

// The SQLite command-line shell that the utility carries in its own libexec
// folder. It is never looked up on PATH. Everything the program has it run
// goes in on its standard input, in the shell's safe mode: a library is
// untrusted input, and no text made from it (names, schema, values, a dump)
// may start a program, write or read a file, attach a database or load code.
class SqliteShell
{
  public:
    explicit SqliteShell(QString executable);

    // <program folder>/../libexec/quillbox-repair/sqlite3, the same in the
    // build tree and the installed tree.
    [[nodiscard]] static QString defaultExecutable();

    [[nodiscard]] const QString &executable() const { return executable_; }

    // The same shell opened on the database file `name` in the folder
    // instead of "Library.sqlite".
    [[nodiscard]] SqliteShell onDatabase(const QString &name) const;

    // The same shell, running the program's own `commands` (dot-commands or
    // SQL, one each) after its earlier ones and before it turns to safe
    // mode. Only for constant text of the program's, never for text made
    // from a library.
    [[nodiscard]] SqliteShell withSetup(const QByteArrayList &commands) const;

    // The virtual-table modules a run's connections have.
    enum class Modules {
        All,
        // All but the full-text ones (FTS3, FTS4, FTS5): a check of the
        // whole database then leaves the full-text tables out.
        WithoutFullText,
    };
    // The same shell, its connections with `modules`.
    [[nodiscard]] SqliteShell withModules(Modules modules) const;

    // True when the executable exists and may be run.
    [[nodiscard]] bool isUsable() const;

    // What a run reads on its standard input: `head`, then the bytes of the
    // file `file` (none when empty), then what arrives on the pipe `stream`
    // until it ends (none when -1; the run closes it, also when the shell
    // stops reading first), then `tail`, then what `tailAfter` gives (which
    // may wait for it; called once the pipe has ended, unless the shell
    // could not be started).
    // The file and the pipe are streamed, never held in memory, and never
    // named to the shell (no .read).
    struct Input {
        QByteArray head;
        QString file = {};
        QByteArray tail = {};
        int stream = -1;
        std::function<QByteArray()> tailAfter = {};
    };

    // What went wrong with a run, beside its exit status.
    enum class Trouble {
        None,
        NotStarted,      // it could not be started (errors says why)
        TimedOut,        // it ran past its time limit and was stopped
        Canceled,        // it was stopped because the cancel flag was set
        InputUnreadable, // the file it was to read could not be read (errors says why)
        Killed,          // something else ended it with a signal (signal says which)
    };

    // How a run ended. Each run returns its own: a step of several runs
    // tells the first one that was stopped, not what a later one left.
    struct Ending {
        int status = -1; // exit status; -1 when there is trouble
        Trouble trouble = Trouble::None;
        int signal = 0; // the signal that ended it, when Killed; else 0
        // What it printed on its standard error (its last 4 KiB); it is
        // not passed on to ours.
        QByteArray errors = {};
        // True when it could not start, was stopped or was killed: such a
        // run says nothing of the library.
        [[nodiscard]] bool troubled() const { return trouble != Trouble::None; }
    };

    // Runs the shell with the library folder as working directory, the
    // arguments "-init /dev/null -batch", the setup commands, "-safe" and
    // "Library.sqlite" (no user configuration file, and safe mode for all
    // it reads), and `input` on its standard input; what it prints on its
    // standard output is discarded. `poll` is called every 100 ms while it
    // runs.
    [[nodiscard]] Ending run(const QString &folder, const Input &input,
                             const std::function<void()> &poll = {}) const;

    // How a run whose output went into a file ended.
    struct FileRun : Ending {
        int writeError = 0; // errno of the first failed write of the output; 0 when none
        qint64 bytes = 0;   // bytes the shell printed that reached the file
    };

    // Runs `script` like run(), but what the shell prints on its standard
    // output goes into a new file at `outputPath` (replaced when it exists;
    // a link there is refused). The shell writes into a pipe and the
    // program writes the file, checking every write: the shell itself does
    // not notice a write that fails, and would go on with a hole in its
    // output. After a failed write the pipe is closed, which ends the shell.
    // With `copyTo` a pipe's writing end, the same bytes go there too, as
    // long as its reader reads; it is closed when the output ends.
    [[nodiscard]] FileRun runToFile(const QString &folder, const QByteArray &script,
                                    const QString &outputPath,
                                    const std::function<void()> &poll = {}, int copyTo = -1) const;

    // What a query printed, and how the shell ended.
    struct Output : Ending {
        QByteArray text;
    };

    // Runs `script` like run(), but collects what the shell prints on its
    // standard output instead of passing it on.
    [[nodiscard]] Output query(const QString &folder, const QByteArray &script) const;
    // The same, reading `input`.
    [[nodiscard]] Output query(const QString &folder, const Input &input) const;

    // Stops a run that takes longer than `limit` (zero: no limit).
    void setTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }
    // Stops a run within 100 ms once `*flag` is true (nullptr: never). The
    // flag is not owned and must outlive every run.
    void setCancelFlag(const std::atomic<bool> *flag) { cancelFlag_ = flag; }

  private:
    Ending execute(const QString &folder, const Input &input, QByteArray *output,
                   const std::function<void()> &poll, int outputFd = -1) const;
    // Waits for the started `shell` to end, gathering what it prints into
    // `output` (when not null) and its errors, and stopping it past the time
    // limit or on a cancel.
    Ending wait(QProcess &shell, QByteArray *output, const std::function<void()> &poll) const;
    [[nodiscard]] QStringList arguments() const;

    QString executable_;
    QString database_ = QStringLiteral("Library.sqlite");
    QByteArrayList setup_;
    Modules modules_ = Modules::All;
    std::chrono::milliseconds timeLimit_{0};
    const std::atomic<bool> *cancelFlag_ = nullptr;
};

// Queries run one after another by one step on one shell and folder,
// keeping the first that could not start, was stopped or was killed: the
// step then says how its shell ended, rather than what its later queries
// made of a missing answer.
class QuerySeries
{
  public:
    QuerySeries(const SqliteShell &shell, QString folder)
        : shell_(shell), folder_(std::move(folder))
    {
    }
    // Runs `script` like SqliteShell::query(), with `modules`.
    [[nodiscard]] SqliteShell::Output
    query(const QByteArray &script, SqliteShell::Modules modules = SqliteShell::Modules::All);
    // The first query that ended in trouble; nullopt when none did.
    [[nodiscard]] const std::optional<SqliteShell::Ending> &trouble() const { return trouble_; }
    // The last query's ending, for what its shell said.
    [[nodiscard]] const SqliteShell::Ending &last() const { return last_; }

  private:
    const SqliteShell &shell_;
    QString folder_;
    std::optional<SqliteShell::Ending> trouble_;
    SqliteShell::Ending last_;
};

// The bytes of the SQL script resource `name` ("DumpScript", "FixScript");
// empty when there is none.
[[nodiscard]] QByteArray loadScript(const QString &name);

} // namespace quillbox

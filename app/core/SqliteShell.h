#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>

namespace quillbox
{

// The SQLite command-line shell that the utility carries in its own libexec
// folder. It is never looked up on PATH.
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

    // True when the executable exists and may be run.
    [[nodiscard]] bool isUsable() const;

    // Runs the shell with the library folder as working directory, the
    // arguments "-init /dev/null -batch Library.sqlite" (no shell, and no
    // user configuration file) and `script` on its standard input; its
    // output goes to ours. `poll` is called every 100 ms while it runs.
    // The exit status, or -1 when it could not start or was killed.
    [[nodiscard]] int run(const QString &folder, const QByteArray &script,
                          const std::function<void()> &poll = {}) const;

    // How a run whose output went into a file ended.
    struct FileRun {
        int status = -1;    // as run() gives it
        int writeError = 0; // errno of the first failed write of the output; 0 when none
        qint64 bytes = 0;   // bytes the shell printed that reached the file
    };

    // Runs `script` like run(), but what the shell prints on its standard
    // output goes into a new file at `outputPath` (replaced when it exists;
    // a link there is refused). The shell writes into a pipe and the
    // program writes the file, checking every write: the shell itself does
    // not notice a write that fails, and would go on with a hole in its
    // output. After a failed write the pipe is closed, which ends the shell.
    [[nodiscard]] FileRun runToFile(const QString &folder, const QByteArray &script,
                                    const QString &outputPath,
                                    const std::function<void()> &poll = {}) const;

    // What a query printed, and how the shell ended.
    struct Output {
        int status = -1; // exit status; -1 when it could not start or was killed
        QByteArray text;
    };

    // Runs `script` like run(), but collects what the shell prints on its
    // standard output instead of passing it on.
    [[nodiscard]] Output query(const QString &folder, const QByteArray &script) const;

    // Stops a run that takes longer than `limit` (zero: no limit).
    void setTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }
    // Stops a run within 100 ms once `*flag` is true (nullptr: never). The
    // flag is not owned and must outlive every run.
    void setCancelFlag(const std::atomic<bool> *flag) { cancelFlag_ = flag; }

    // What went wrong with the last run, beside its exit status.
    enum class Trouble {
        None,
        NotStarted, // it could not be started (lastErrors() says why)
        TimedOut,   // it ran past its time limit and was stopped
        Canceled,   // it was stopped because the cancel flag was set
    };
    [[nodiscard]] Trouble lastTrouble() const { return trouble_; }

    // What the last run printed on its standard error (its last 4 KiB); it
    // is not passed on to ours.
    [[nodiscard]] const QByteArray &lastErrors() const { return errors_; }

  private:
    int execute(const QString &folder, const QByteArray &script, QByteArray *output,
                const std::function<void()> &poll, int outputFd = -1) const;

    QString executable_;
    QString database_ = QStringLiteral("Library.sqlite");
    std::chrono::milliseconds timeLimit_{0};
    const std::atomic<bool> *cancelFlag_ = nullptr;
    mutable QByteArray errors_;
    mutable Trouble trouble_ = Trouble::None;
};

// The bytes of the SQL script resource `name` ("DumpScript", "FixScript");
// empty when there is none.
[[nodiscard]] QByteArray loadScript(const QString &name);

} // namespace quillbox

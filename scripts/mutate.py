#!/usr/bin/env python3
"""Mutation run: does the test suite catch a fixed list of single faults?

Copies this tree's tracked and untracked (not ignored) files to a work folder
and builds them there; then, for each mutant, applies that one fault, rebuilds
incrementally and runs ctest: killed when a test fails, else survived. The real
tree is only read. A mutant is (file, name, exact original text, replacement),
the file in a folder of app/core/ unless it names a folder; one whose text is not found
exactly once is "stale" and not counted. Tests that took 3 s or more in the
clean run run only when all the others pass.

  scripts/mutate.py [--only NAME...] [--list] [--work DIR] [--timeout S]
"""
import argparse, fnmatch, re, shutil, subprocess, sys, tempfile, time
from pathlib import Path

MUTANTS = [  # (file, name, original text, replacement)
    ("LibraryRepair.cpp", "held-lock-ignored", "case FolderLocks::Result::Held:\n        return Failure",
     "case FolderLocks::Result::Held:\n        return std::nullopt;\n        return Failure"),
    ("LibraryRepair.cpp", "lost-rows-ignored", "examined.verdict->kind == DamageVerdict::Kind::RowsLost", "false"),
    ("LibraryRepair.cpp", "nul-text-off-by-one", "rowsWithNulText > 0", "rowsWithNulText > 1"),
    ("LibraryRepair.cpp", "dump-check-skipped", "!dumpIsComplete(dumpPath, examined.dump)",
     "!dumpIsComplete(dumpPath, examined.dump) && false"),
    ("RepairRebuild.cpp", "mode-not-kept", "::chmod(QFile::encodeName(target).constData(), *damaged.mode);",
     "(void)damaged.mode;"),
    ("RepairRebuild.cpp", "digest-mismatch-ignored", "if (!damaged.text || rebuilt.text != damaged.text)",
     "if (false)"),
    ("resources/scripts/DigestScript.sql", "digest-middle-row-skipped", "WHEN 0 THEN '' <= ''",
     "WHEN 0 THEN '' < ''"),
    ("RepairFailures.cpp", "space-for-dump-forgotten", "(oneDisk && freeBytes(outside) >= copyBytes + dumpBytes)",
     "(oneDisk && freeBytes(outside) >= copyBytes)"),
    ("RepairFailures.cpp", "support-mail-inverted", "failure.detail)) ==", "failure.detail)) !="),
    ("RepairFailures.cpp", "restore-reported-as-failed", "return RepairOutcome::CorruptRestored;",
     "return RepairOutcome::CorruptNotRestored;"),
    ("RepairFailures.cpp", "no-salvage", "const SalvageReport salvaged = salvage();",
     "const SalvageReport salvaged;"),
    ("RepairSafetyCopy.cpp", "copying-not-recorded", "    record(RepairPhase::Copying);\n", ""),
    ("RepairSafetyCopy.cpp", "copy-flush-ignored", "else if (!syncTree(partial))",
     "else if (!syncTree(partial) && false)"),
    ("RepairSafetyCopy.cpp", "copy-name-not-synced", "if (!syncFolder(QFileInfo(backupPath_).absolutePath()))",
     "if (false)"),
    ("SafetyCopyRestore.cpp", "changed-copy-put-back", "summarizeTree(plan.backup) != plan.expected", "false"),
    ("SafetyCopyRestore.cpp", "damaged-folder-kept", "std::ignore = removeTree(aside);", "std::ignore = aside;"),
    ("InterruptedRepair.cpp", "hidden-copy-not-renamed", "record.phase == RepairPhase::Copied &&",
     "record.phase == RepairPhase::Restoring &&"),
    ("InterruptedRepair.cpp", "partial-copy-kept", "std::ignore = removeTree(record.partial);",
     "std::ignore = record.partial;"),
    ("InterruptedRepair.cpp", "running-repair-disturbed",
     "if (record && locks.lock(record->library) == FolderLocks::Result::Held)", "if (false)"),
    ("InterruptedRepair.cpp", "record-elsewhere-obeyed",
     "QFileInfo(path).absolutePath() == QFileInfo(library).absolutePath() &&", ""),
    ("InterruptedRepair.cpp", "journal-not-cleared", "    journal.clear();\n    return settledAlert",
     "    return settledAlert"),
    ("DamageVerdict.cpp", "index-damage-refused", "s.type = 'index'", "s.type = 'table'"),
    ("DamageVerdict.cpp", "table-damage-accepted", "WHERE s.type = 'index' AND", "WHERE"),
    ("DamageVerdict.cpp", "orphan-leaves-overlooked", "kLeafTable = 0x0d;", "kLeafTable = 0x0a;"),
    ("DamageVerdict.cpp", "free-pages-off-by-one", "neverUsed.size() <= freePages", "neverUsed.size() < freePages"),
    ("RepairRebuild.cpp", "digests-not-compared", "if (!damaged.text || rebuilt.text != damaged.text)",
     "if (!damaged.text)"),
    ("RepairRebuild.cpp", "log-not-folded", "if (fileSize(log) == 0)", "if (true)"),
    ("RepairRebuild.cpp", "late-write-overlooked", "if (!folded.text.startsWith(\"0|\") || fileSize(log) > 0)",
     "if (!folded.text.startsWith(\"0|\"))"),
    ("RepairRebuild.cpp", "read-only-not-folded", "const bool unlocked = mode &&",
     "const bool unlocked = false && mode &&"),
    ("RepairRebuild.cpp", "exact-text-skipped", "census.exactReals + census.exactText +",
     "census.exactReals +"),
    ("LibraryCensus.cpp", "exact-reals-skipped", "{inexactReals, \"RealsScript\"", "{0, \"RealsScript\""),
    ("LibraryCensus.cpp", "failed-scan-accepted", "if (scanned.status != 0)", "if (false)"),
    ("TreeCopy.cpp", "attributes-not-copied", "copyAttributes(AttributeNode(in.get()), AttributeNode(out.get()), shown);",
     ""),
    ("FileTree.cpp", "no-rename-fallback", "if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)",
     "if (true)"),
    ("TreeCopy.cpp", "copy-mode-lost", "st.st_mode & 07777) == 0", "st.st_mode & 0700) == 0"),
    ("TreeCopy.cpp", "file-times-lost", "st.st_mtim};\n        if (::futimens(out.get()",
     "{0, UTIME_NOW}};\n        if (::futimens(out.get()"),
    ("RepairSafetyCopy.cpp", "log-index-copied-late", "{kDatabaseName + u\"-shm\"_qs, kJournalName, kDumpName}",
     "{kJournalName, kDumpName}"),
    ("RepairSafetyCopy.cpp", "dump-name-copied-late", "{kDatabaseName + u\"-shm\"_qs, kJournalName, kDumpName}",
     "{kDatabaseName + u\"-shm\"_qs, kJournalName}"),
    ("RepairSafetyCopy.cpp", "journal-played-back-first",
     "if (copied && bf::itemExists(inFolder(libraryPath_, kJournalName))) {", "if (false) {"),
    ("TreeCopy.cpp", "links-skipped", "return copyLink(fromDir, toDir, name, shown, st);", "return std::nullopt;"),
    ("FileTree.cpp", "entries-not-counted", "++summary.entries;", ""),
    ("PosixFiles.h", "walk-not-recursive", " && walkBelow(sub.get(), visit) && ok;", " && ok;"),
    ("FolderLock.cpp", "never-locks", "tries < 15", "tries < 0"),
    ("FolderLock.cpp", "held-read-as-failure", "if (error == EWOULDBLOCK)\n            return Result::Held;",
     "if (false)\n            return Result::Held;"),
    ("FolderLock.cpp", "lock-probe-inverted", "!= 0 && errno == EWOULDBLOCK", "!= 0 && errno != EWOULDBLOCK"),
    ("Salvage.cpp", "empty-recovery-kept", "report.failure == SalvageReport::Failure::None && !found",
     "false && !found"),
    ("Salvage.cpp", "failed-salvage-left-behind", "if (report.recoveredPath.isEmpty())\n        std::ignore = removeTree(partial);",
     ""),
    ("SqliteShell.cpp", "user-sqliterc-read", 'u"-init"_qs, u"/dev/null"_qs, ', ""),
    ("SqliteShell.cpp", "killed-shell-called-corrupt", "ending.trouble = Trouble::Killed;\n", ""),
    ("SqliteShell.cpp", "no-safe-mode", 'arguments << u"-safe"_qs << database_;', "arguments << database_;"),
    ("scripts/sqlite-shell.patch", "planted-schema-text-kept", "+    if( sqlite3_complete(zCopy) ){",
     "+    if( 0 ){"),
    ("SqliteShell.cpp", "no-time-limit", "clock.elapsed() > timeLimit_.count()", "clock.elapsed() < 0"),
    ("ShellPipes.cpp", "write-error-dropped", "run.writeError = wrote.error;", ""),
    ("RepairJournal.cpp", "phase-off-by-one", "found - kPhaseNames.begin()", "found - kPhaseNames.begin() + 1"),
    ("LostAndFound.cpp", "ambiguous-row-placed", "if (fitting.size() != 1 ||", "if (fitting.isEmpty() ||"),
    ("LostRows.cpp", "kept-rows-named-lost", '" AND NOT EXISTS (SELECT 1 FROM main."',
     '" AND EXISTS (SELECT 1 FROM main."'),
    ("RecoveredCopySwap.cpp", "first-move-not-undone",
     "const bool movedBack = renameNoReplace(swap.damaged, swap.library).has_value();",
     "const bool movedBack = true;"),
    ("strings/PathArithmetic.cpp", "hidden-name-has-extension", "if (dot <= 0 ||", "if (dot < 0 ||"),
    ("strings/FileNames.cpp", "cut-one-unit-late", "kKeptUnits = 254;", "kKeptUnits = 255;"),
    ("strings/FileNames.cpp", "cut-splits-pair", "text[keep - 1].isHighSurrogate()", "text[keep].isHighSurrogate()"),
    ("strings/TextCleaning.cpp", "tabs-always-flattened", "flatten(text, false)", "flatten(text, true)"),
    ("strings/TextComparison.cpp", "ypogegrammeni-not-decomposed", "unsigned(u == 0x0345) | ", ""),
    ("strings/TextComparison.cpp", "match-end-not-on-boundary", " && isBoundary(size_t(pos) + needleKey.size())", ""),
    ("resources/translations/quillbox_de.ts", "recovery-text-untranslated",
     "<translation>Die Mediathek ist unverändert. Sie können die Reparatur erneut starten.</translation>",
     '<translation type="unfinished"></translation>'),
    ("strings/TimeRemaining.cpp", "seconds-rounded-down", "std::ceil(interval)", "std::floor(interval)"),
    ("strings/ByteStrings.cpp", "invalid-bytes-substituted", "_CALLBACK_STOP", "_CALLBACK_SUBSTITUTE"),
    ("strings/ByteStrings.cpp", "reads-one-byte-past", "memchr(bytes, 0, limit)", "memchr(bytes, 0, limit + 1)"),
]

ROOT = Path(__file__).resolve().parent.parent


def path_of(file):
    """A bare file name is looked up in the folders of app/core/."""
    if "/" in file:
        return file
    found = sorted(str(p.relative_to(ROOT)) for p in (ROOT / "app/core").glob("*/" + file))
    return found[0] if found else "app/core/" + file


def run(cmd):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


def sync(src):
    """Copies every tracked or untracked, not ignored file that differs."""
    listed = run(["git", "-C", str(ROOT), "ls-files", "-z", "--cached", "--others",
                  "--exclude-standard"]).stdout.split("\0")
    for name in filter(None, listed):
        source, target = ROOT / name, src / name
        if not source.is_file() or (target.is_file() and target.read_bytes() == source.read_bytes()):
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)  # a new mtime, so ninja rebuilds it
        shutil.copymode(source, target)


def build(work, jobs):
    if not (work / "build" / "build.ninja").exists():
        configure = run(["nice", "cmake", "-S", str(work / "src"), "-B", str(work / "build"),
                         "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug"])
        if configure.returncode != 0:
            return configure
    return run(["nice", "cmake", "--build", str(work / "build"), "-j", str(jobs)])


def ctest(work, args, jobs, timeout):
    """Names of the failed tests, [] when all passed."""
    result = run(["nice", "ctest", "--test-dir", str(work / "build"), "-j", str(jobs),
                  "--timeout", str(timeout)] + args)
    failed = re.findall(r"^\s+\d+ - (\S+)", result.stdout.partition("tests FAILED:")[2], re.M)
    if result.returncode != 0 and not failed:
        failed = ["ctest: " + result.stdout.strip().splitlines()[-1]]
    return failed, result.stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--only", nargs="+", metavar="NAME", help="only these mutants (fnmatch)")
    parser.add_argument("--list", action="store_true", help="list the mutants and exit")
    parser.add_argument("--work", type=Path, help="work folder to keep and reuse")
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test (300)")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs (2)")
    args = parser.parse_args()
    chosen = [m for m in MUTANTS
              if not args.only or any(fnmatch.fnmatch(m[1], p) for p in args.only)]
    if args.list:
        for file, name, old, _ in chosen:
            found = (ROOT / path_of(file)).read_text().count(old)
            print(f"{name:32} {path_of(file):32} {'ok' if found == 1 else 'stale'}")
        return 0
    work = (args.work or Path(tempfile.mkdtemp(prefix="quillbox-mutants-"))).resolve()
    if work == ROOT or ROOT in work.parents:
        sys.exit("mutate.py: the work folder must lie outside the source tree")
    started = time.monotonic()
    try:
        (work / "src").mkdir(parents=True, exist_ok=True)
        sync(work / "src")
        built = build(work, args.jobs)
        if built.returncode != 0:
            sys.exit("mutate.py: the unchanged tree does not build:\n" + built.stdout[-3000:])
        failed, output = ctest(work, [], args.jobs, args.timeout)
        if failed:
            sys.exit("mutate.py: the unchanged tree fails tests: " + ", ".join(failed))
        times = re.findall(r"Test\s+#\d+: (\S+) .*Passed\s+([\d.]+) sec", output)
        slow = "|".join("^" + re.escape(n) + "$" for n, t in times if float(t) >= 3.0)
        stages = [["-E", slow], ["-R", slow]] if slow else [[]]
        print(f"clean build and tests: {time.monotonic() - started:.0f} s", flush=True)
        results = []
        for i, (file, name, old, new) in enumerate(chosen, 1):
            target = work / "src" / path_of(file)
            original = target.read_text()
            t0 = time.monotonic()
            if original.count(old) != 1:
                status, detail = "stale", f"snippet found {original.count(old)} times"
            else:
                try:
                    target.write_text(original.replace(old, new))
                    built = build(work, args.jobs)
                    if built.returncode != 0:
                        status, detail = "no-build", built.stdout.strip().splitlines()[-1]
                    else:
                        status, detail = "survived", ""
                        for stage in stages:
                            failed, _ = ctest(work, stage + ["--stop-on-failure"], args.jobs, args.timeout)
                            if failed:
                                status, detail = "killed", "by " + ", ".join(failed[:3])
                                break
                finally:
                    target.write_text(original)
            results.append((name, file, status, detail))
            print(f"[{i}/{len(chosen)}] {name} ({file}): {status} {detail} "
                  f"({time.monotonic() - t0:.0f} s)", flush=True)
    finally:
        if not args.work:
            shutil.rmtree(work, ignore_errors=True)
    count = {s: [r for r in results if r[2] == s] for s in ("killed", "survived", "stale", "no-build")}
    print(f"\nscore: {len(count['killed'])}/{len(count['killed']) + len(count['survived'])} killed "
          f"in {time.monotonic() - started:.0f} s")
    for status in ("survived", "stale", "no-build"):
        if count[status]:
            print(f"{status}:\n" + "\n".join(f"  {r[0]} ({r[1]}) {r[3]}" for r in count[status]))
    return 1 if count["survived"] else 0


if __name__ == "__main__":
    sys.exit(main())

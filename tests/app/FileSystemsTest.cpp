// Libraries on the file systems users keep them on, each mounted from an
// image made in the test's own folder (loop devices and FUSE, as root): the
// repair works there, and its safety copy, and the library put back from it,
// keep everything `cp -a` keeps.
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <unistd.h>

namespace quillbox
{
namespace
{

// How to make and mount one file system: shell commands with $IMG (a
// 400 MB sparse image) and $DIR (the mount point).
struct FileSystem {
    const char *name;
    const char *mount;
};

const std::array kFileSystems{
    FileSystem{"ext4", "mkfs.ext4 -q -F $IMG && mount -o loop $IMG $DIR"},
    FileSystem{"xfs", "mkfs.xfs -q $IMG && mount -o loop $IMG $DIR"},
    FileSystem{"btrfs", "mkfs.btrfs -q $IMG >/dev/null && mount -o loop $IMG $DIR"},
    FileSystem{"tmpfs", "mount -t tmpfs -o size=400m tmpfs $DIR"},
    // As external drives are mounted: through FUSE, on a loop device.
    FileSystem{"exfat",
               "mkfs.exfat $IMG >/dev/null && mount.exfat-fuse $(losetup -f --show $IMG) $DIR"},
    FileSystem{"ntfs", "mkfs.ntfs -q -F -f $IMG && ntfs-3g $(losetup -f --show $IMG) $DIR"},
};

class FileSystemsTest : public ::testing::TestWithParam<FileSystem>
{
  protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting file systems needs root";
        ASSERT_TRUE(QDir().mkpath(mountPoint));
        const int made = QProcess::execute(
            u"sh"_qs, {u"-c"_qs,
                       u"IMG=\"$0\" DIR=\"$1\"; truncate -s 400M \"$IMG\" && "_qs +
                           QString::fromUtf8(GetParam().mount),
                       image, mountPoint});
        if (made != 0)
            GTEST_SKIP() << "this machine cannot mount " << GetParam().name
                         << " (install its tools, or run where loop devices and FUSE work)";
        mounted = true;
    }
    void TearDown() override
    {
        if (!mounted)
            return;
        // FUSE file systems and loop devices let go once nothing uses them.
        QProcess::execute(u"umount"_qs, {mountPoint});
        QProcess::execute(
            u"sh"_qs, {u"-c"_qs, u"losetup -j \"$0\" -O NAME -n | xargs -r losetup -d"_qs, image});
    }

    // A library with attachments that carry what a desktop puts on them.
    void makeLibrary()
    {
        test::makePlainLibrary(library, 2000);
        const QString attachments = library + u"/Attachments"_qs;
        ASSERT_TRUE(QDir().mkpath(attachments));
        test::writeFile(attachments + u"/scan.png"_qs, QByteArray(100000, 's'));
        test::writeFile(attachments + u"/receipt.pdf"_qs, "receipt");
        // Where the file system can hold them: desktop tags and the download
        // address, an ACL, a second name and a link.
        QProcess::execute(u"sh"_qs, {u"-c"_qs,
                                     u"cd \"$0\" && setfattr -n user.xdg.tags -v tax,2025 scan.png;"
                                     u"setfattr -n user.xdg.origin.url -v https://example.com/r "
                                     u"receipt.pdf; setfacl -m u:nobody:r scan.png; "
                                     u"ln receipt.pdf receipt-copy.pdf; ln -s scan.png latest; "
                                     u"chmod 640 receipt.pdf; true"_qs,
                                     attachments});
    }
    test::ProgramRun repair()
    {
        return test::finish(
            *test::startProgram(u"quillbox-repair-cli"_qs, {u"--library"_qs, library},
                                {u"XDG_STATE_HOME="_qs + sandbox.path() + u"/state"_qs,
                                 u"XDG_CONFIG_HOME="_qs + sandbox.path() + u"/config"_qs}));
    }
    [[nodiscard]] QString db() const { return library + u"/Library.sqlite"_qs; }

    QTemporaryDir sandbox;
    QString image = sandbox.path() + u"/image"_qs;
    QString mountPoint = sandbox.path() + u"/mount"_qs;
    QString library = mountPoint + u"/Documents/Main.quillbox"_qs;
    bool mounted = false;
};

// A damaged index: fixed, with a safety copy that is the library as it was.
// A damaged table: refused, and the library put back exactly as it was.
TEST_P(FileSystemsTest, repairsThereKeepingEverythingCpKeeps)
{
    makeLibrary();
    const int indexPage = test::runSql(db(), u"SELECT pageno FROM dbstat WHERE name = "
                                             u"'notes_by_title' AND pagetype = 'leaf' LIMIT 1;"_qs)
                              .toInt();
    test::corruptPage(db(), indexPage);
    const auto before = test::snapshot(library);
    const test::ProgramRun fixed = repair();
    EXPECT_EQ(fixed.status, 0) << fixed.out.toStdString();
    const QString copy = mountPoint + u"/Documents/Main (Old Version).quillbox"_qs;
    EXPECT_EQ(test::snapshot(copy), before);
    EXPECT_EQ(test::runSql(db(), u"PRAGMA integrity_check; SELECT count(*) FROM notes;"_qs),
              u"ok\n2000");

    ASSERT_TRUE(QDir(copy).removeRecursively());
    test::corruptNotesPage(db(), 5);
    const auto damaged = test::snapshot(library);
    const test::ProgramRun refused = repair();
    EXPECT_EQ(refused.status, 6) << refused.out.toStdString();
    EXPECT_EQ(test::snapshot(library), damaged);
}

INSTANTIATE_TEST_SUITE_P(Mounted, FileSystemsTest, ::testing::ValuesIn(kFileSystems),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace quillbox

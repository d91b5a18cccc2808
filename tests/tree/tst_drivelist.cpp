#include "tree/drivelist.h"

#include <QDir>
#include <QTest>

using Volume = DriveList::Volume;
Q_DECLARE_METATYPE(DriveList::Volume)

class TestDriveList : public QObject {
    Q_OBJECT
private slots:
    void filter_data();
    void filter();
    void listOrder();
    void driveOf_data();
    void driveOf();
    void thisComputer();
};

namespace {
const QString Home = QStringLiteral("/home/ann");
}

void TestDriveList::filter_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fsType");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<bool>("drive");

    QTest::newRow("root") << "/"
                          << "ext4" << true << true << true;
    QTest::newRow("root in a container") << "/"
                                         << "overlay" << true << true << true;
    QTest::newRow("root on tmpfs") << "/"
                                   << "tmpfs" << true << true << true;
    QTest::newRow("proc") << "/proc"
                          << "proc" << true << true << false;
    QTest::newRow("sys") << "/sys"
                         << "sysfs" << true << true << false;
    QTest::newRow("dev") << "/dev"
                         << "devtmpfs" << true << true << false;
    QTest::newRow("runtime folder") << "/run/user/0"
                                    << "tmpfs" << true << true << false;
    QTest::newRow("run") << "/run"
                         << "tmpfs" << true << true << false;
    QTest::newRow("usb stick") << "/run/media/ann/USB"
                               << "vfat" << true << true << true;
    QTest::newRow("media") << "/media/ann/CDROM"
                           << "iso9660" << true << true << true;
    QTest::newRow("nas") << "/mnt/nas"
                         << "cifs" << true << true << true;
    QTest::newRow("mnt disk") << "/mnt"
                              << "ext4" << true << true << true;
    QTest::newRow("efi") << "/boot/efi"
                         << "vfat" << true << true << false;
    QTest::newRow("boot") << "/boot"
                          << "ext4" << true << true << false;
    QTest::newRow("snap") << "/snap/x"
                          << "squashfs" << true << true << false;
    QTest::newRow("snap on another type") << "/snap/core/1"
                                          << "ext4" << true << true << false;
    QTest::newRow("disk in home") << "/home/ann/mnt/disk"
                                  << "ext4" << true << true << true;
    QTest::newRow("share in home") << "/home/ann/share"
                                   << "fuse.sshfs" << true << true << true;
    QTest::newRow("another user's home") << "/home/ann2/disk"
                                         << "ext4" << true << true << false;
    QTest::newRow("tmp") << "/tmp"
                         << "tmpfs" << true << true << false;
    QTest::newRow("tmp on disk") << "/tmp"
                                 << "ext4" << true << true << false;
    QTest::newRow("var") << "/var/lib/docker"
                         << "ext4" << true << true << false;
    QTest::newRow("network share elsewhere") << "/srv/share"
                                             << "nfs4" << true << true << true;
    QTest::newRow("local disk elsewhere") << "/srv/data"
                                          << "ext4" << true << true << false;
    QTest::newRow("home partition") << "/home"
                                    << "ext4" << true << true << false;
    QTest::newRow("not ready") << "/media/ann/CD"
                               << "iso9660" << true << false << false;
    QTest::newRow("not valid") << "/mnt/gone"
                               << "ext4" << false << true << false;
    QTest::newRow("proc under mnt") << "/mnt/chroot/proc"
                                    << "proc" << true << true << false;
}

void TestDriveList::filter()
{
    QFETCH(QString, path);
    QFETCH(QString, fsType);
    QFETCH(bool, valid);
    QFETCH(bool, ready);
    QFETCH(bool, drive);
    QCOMPARE(DriveList::isDrive({path, fsType, valid, ready}, Home), drive);
}

void TestDriveList::listOrder()
{
    const QList<Volume> volumes = {{"/proc", "proc"},
                                   {"/mnt/nas", "cifs"},
                                   {"/", "ext4"},
                                   {"/run/user/1000", "tmpfs"},
                                   {"/home/ann", "ext4"},
                                   {"/media/ann/USB", "vfat"},
                                   {"/media/ann/USB/", "vfat"},
                                   {"/media/ann/Gone", "vfat", true, false}};
    const QStringList expected = {"/home/ann", "/", "/media/ann/USB", "/mnt/nas"};
    QCOMPARE(DriveList::drives(volumes, Home), expected);
    QCOMPARE(DriveList::drives({}, Home), QStringList{Home});
}

void TestDriveList::driveOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");

    QTest::newRow("home file") << "/home/ann/notes/a.txt"
                               << "/home/ann";
    QTest::newRow("home itself") << "/home/ann"
                                 << "/home/ann";
    QTest::newRow("home with a slash") << "/home/ann/"
                                       << "/home/ann";
    QTest::newRow("same prefix, another folder") << "/home/ann2/a.txt"
                                                 << "/";
    QTest::newRow("disk in home") << "/home/ann/mnt/disk/x"
                                  << "/home/ann/mnt/disk";
    QTest::newRow("next to the disk in home") << "/home/ann/mnt/diskette"
                                              << "/home/ann";
    QTest::newRow("usb") << "/media/ann/USB/photos"
                         << "/media/ann/USB";
    QTest::newRow("system folder") << "/etc/fstab"
                                   << "/";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("relative") << "notes/a.txt"
                              << "";
}

void TestDriveList::driveOf()
{
    QFETCH(QString, path);
    QFETCH(QString, drive);
    const QStringList drives = {"/home/ann", "/", "/home/ann/mnt/disk", "/media/ann/USB"};
    QCOMPARE(DriveList::driveOf(path, drives), drive);
    QCOMPARE(DriveList::driveOf(path, {"/home/ann", "/media/ann/USB"}).isEmpty(),
             !path.startsWith("/home/ann/") && path != "/home/ann" &&
                 !path.startsWith("/media/ann/USB"));
}

void TestDriveList::thisComputer()
{
    const QStringList drives = DriveList::current();
    QVERIFY(!drives.isEmpty());
    QCOMPARE(drives.first(), QDir::cleanPath(QDir::homePath()));
    QVERIFY(drives.contains("/"));
    QVERIFY(!drives.contains("/proc"));
    QVERIFY(!drives.contains("/sys"));
}

QTEST_GUILESS_MAIN(TestDriveList)
#include "tst_drivelist.moc"

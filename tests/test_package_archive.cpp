// Firmware packages read from their zip archives: which entries are taken,
// what is refused and why, how little of a large archive is read, and that
// nothing is written anywhere.

#include "firmware_package.h"
#include "package_archive.h"
#include "test_support.h"
#include "zip_writer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

const QByteArray MANIFEST = "PACKAGE:Test package\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
constexpr qint64 MB400 = 400LL << 20;

QByteArray image_of(const QString &file)
{
    if (file == WLAN_IMAGE_FILE)
        return pattern(1234, 1);
    if (file == TXU_IMAGE_FILE)
        return pattern(777, 2);
    return pattern(555, 3);
}

// The manifest and the three images, as zip writes them.
QList<ZipEntry> standard(bool deflated = true)
{
    QList<ZipEntry> entries = {zip_entry("fw.txt", MANIFEST, deflated)};
    for (const QString &file : {WLAN_IMAGE_FILE, TXU_IMAGE_FILE, RXU_IMAGE_FILE})
        entries.append(zip_entry(file.toLatin1(), image_of(file), deflated));
    return entries;
}

// The standard entries with one of them changed by `change`.
QList<ZipEntry> standard_with(const QByteArray &name, const std::function<void(ZipEntry &)> &change)
{
    QList<ZipEntry> entries = standard();
    for (ZipEntry &entry : entries) {
        if (entry.name == name)
            change(entry);
    }
    return entries;
}

// What a package holds: its name, then each image's size or why it cannot be
// used. An image's bytes must be the ones written.
QStringList summary(const FirmwarePackage &package)
{
    QStringList lines = {"name " + manifest_text(package.manifest().name).trimmed()};
    for (const QString &file : {WLAN_IMAGE_FILE, TXU_IMAGE_FILE, RXU_IMAGE_FILE}) {
        FirmwareImage image;
        QString problem;
        if (!package.image(file, &image, &problem)) {
            lines.append(problem);
            continue;
        }
        lines.append(QStringLiteral("%1 %2").arg(file).arg(image.size()));
        if (image.bytes() != image_of(file))
            lines.append(file + " holds other bytes");
    }
    return lines;
}

const QStringList STANDARD = {"name Test package", "wlan.bin 1234", "txu.ldr 777", "rxu.ldr 555"};

// A file that counts the bytes read from it.
class CountingFile : public QFile
{
public:
    using QFile::QFile;
    qint64 total = 0;

protected:
    qint64 readData(char *data, qint64 size) override
    {
        const qint64 got = QFile::readData(data, size);
        total += qMax<qint64>(got, 0);
        return got;
    }
};

QStringList everything_in(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(it.next());
    found.sort();
    return found;
}

} // namespace

class PackageArchiveTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void packages_data();
    void packages();
    void manifest_lines_from_the_archive();

private:
    QTemporaryDir base;
    QString private_tmp;
};

void PackageArchiveTest::initTestCase()
{
    // Whatever the reader might write to the temporary folder shows here;
    // the tests keep their own files beside it.
    QVERIFY(base.isValid());
    private_tmp = base.filePath("tmp");
    QVERIFY(QDir().mkpath(private_tmp));
    qputenv("TMPDIR", QFile::encodeName(private_tmp));
}

void PackageArchiveTest::packages_data()
{
    QTest::addColumn<QString>("file_name");
    QTest::addColumn<QByteArray>("archive");      // null: the path is a folder
    QTest::addColumn<QStringList>("neighbours");  // other packages beside it
    QTest::addColumn<QString>("refusal");         // empty: the package is read
    QTest::addColumn<QStringList>("expected");    // summary() of the package read
    QTest::addColumn<qint64>("most_read");        // bytes of the archive read at most; -1: all may be

    const QStringList none;
    const QByteArray plain = zip_archive(standard());
    QTest::newRow("deflated entries") << "package.zip" << plain << none << QString() << STANDARD << qint64(-1);
    QTest::newRow("stored entries") << "package.zip" << zip_archive(standard(false)) << none << QString() << STANDARD
                                    << qint64(-1);

    QList<ZipEntry> streamed = standard();
    for (ZipEntry &entry : streamed)
        entry.descriptor = true;
    QTest::newRow("written by zip to a pipe (data descriptors)")
        << "package.zip" << zip_archive(streamed) << none << QString() << STANDARD << qint64(-1);

    // Wildcards are ordinary characters: the neighbours that a pattern
    // would match are never read.
    QTest::newRow("wildcard name, look-alikes beside it")
        << "pkg [v2].zip" << plain << QStringList({"pkg 2.zip", "pkg v.zip", "pkg [v2]x.zip"}) << QString()
        << STANDARD << qint64(-1);
    QTest::newRow("every kind of character in the name")
        << "p*k?g {a,b} $HOME `x` 'q' \"d\" \\ ~.zip" << plain << QStringList({"pak.zip", "p.zip"}) << QString()
        << STANDARD << qint64(-1);
    QTest::newRow("non-ASCII file name") << QStringLiteral("Firmware \u00e9t\u00e9 \u65e5\u672c \U0001F3B5.zip")
                                         << plain << QStringList({"Firmware .zip"}) << QString() << STANDARD
                                         << qint64(-1);

    // Entries other than the four are passed over unread, however large.
    QList<ZipEntry> big_extra = standard();
    ZipEntry big;
    big.name = "extras/recording.wav";
    big.zeros = MB400;
    big_extra.prepend(big);
    QTest::newRow("an extra entry of 400 MB") << "package.zip" << zip_archive(big_extra) << none << QString()
                                              << STANDARD << qint64(100000);
    QTest::newRow("wlan.bin of 400 MB")
        << "package.zip" << zip_archive(standard_with("wlan.bin", [](ZipEntry &e) { e.zeros = MB400; })) << none
        << QString()
        << QStringList({"name Test package", "The image wlan.bin holds 419430400 bytes; at most 6553600 bytes can be sent.",
                        "txu.ldr 777", "rxu.ldr 555"})
        << qint64(100000);
    QTest::newRow("look-alike entries before the real ones")
        << "package.zip"
        << zip_archive(QList<ZipEntry>({zip_entry("WLAN.BIN.bak", "x"), zip_entry("wlan.bin.old", "x"),
                                        zip_entry("old/wlan.bin", "x"), zip_entry("wlan.bin ", "x"),
                                        zip_entry("fw.txt~", "PACKAGE:Other\n"), zip_entry("txu.ldr/../x", "x")})
                       + standard())
        << none << QString() << STANDARD << qint64(-1);
    QList<ZipEntry> in_folder;
    for (ZipEntry entry : standard()) {
        entry.name.prepend("firmware/");
        in_folder.append(entry);
    }
    QTest::newRow("package inside a folder of the archive")
        << "package.zip" << zip_archive(in_folder) << none << QString()
        << QStringList({"name ", "The package package.zip has no wlan.bin.", "The package package.zip has no txu.ldr.",
                        "The package package.zip has no rxu.ldr."})
        << qint64(-1);
    QTest::newRow("wlan.bin a link")
        << "package.zip" << zip_archive(standard_with("wlan.bin", [](ZipEntry &e) {
               e.data = "/etc/passwd";
               e.mode = 0120777;
           }))
        << none << QString()
        << QStringList({"name Test package", "wlan.bin is not a regular file.", "txu.ldr 777", "rxu.ldr 555"})
        << qint64(-1);
    // A comment may hold the end record's signature like any other bytes.
    QTest::newRow("a comment holding the end record's signature")
        << "package.zip"
        << zip_with_comment(plain, "Packed for release 1.6. " + QByteArray("PK\x05\x06", 4)
                                       + " is the signature of a zip archive's end record, which this comment is not.")
        << none << QString() << STANDARD << qint64(-1);
    QTest::newRow("an encrypted entry that is not used")
        << "package.zip" << zip_archive(standard() + QList<ZipEntry>({[] {
               ZipEntry e = zip_entry("notes.txt", "secret");
               e.flags = 1;
               return e;
           }()}))
        << none << QString() << STANDARD << qint64(-1);

    // Refused when the package is picked, naming the entry.
    QTest::newRow("size field smaller than the entry")
        << "package.zip" << zip_archive(standard_with("wlan.bin", [](ZipEntry &e) { e.declared_size = 1000; }))
        << none << "wlan.bin is damaged (it holds more than the 1000 bytes it claims)." << QStringList()
        << qint64(-1);
    QTest::newRow("size field of 1000 bytes, 400 MB inside")
        << "package.zip" << zip_archive(standard_with("txu.ldr", [](ZipEntry &e) {
               e.zeros = MB400;
               e.declared_size = 1000;
           }))
        << none << "txu.ldr is damaged (it holds more than the 1000 bytes it claims)." << QStringList()
        << qint64(100000);
    QTest::newRow("size field larger than the entry")
        << "package.zip" << zip_archive(standard_with("rxu.ldr", [](ZipEntry &e) { e.declared_size = 600; }))
        << none << "rxu.ldr is damaged (it holds 555 of the 600 bytes it claims)." << QStringList() << qint64(-1);
    QTest::newRow("damaged entry")
        << "package.zip" << zip_archive(standard_with("wlan.bin", [](ZipEntry &e) { e.wrong_checksum = true; }))
        << none << "wlan.bin is damaged (its checksum does not match)." << QStringList() << qint64(-1);
    QTest::newRow("damaged stored manifest")
        << "package.zip" << zip_archive(standard_with("fw.txt", [](ZipEntry &e) {
               e.deflated = false;
               e.wrong_checksum = true;
           }))
        << none << "fw.txt is damaged (its checksum does not match)." << QStringList() << qint64(-1);
    QTest::newRow("encrypted entry")
        << "package.zip" << zip_archive(standard_with("wlan.bin", [](ZipEntry &e) { e.flags = 1; })) << none
        << "wlan.bin is encrypted in the package; it cannot be read." << QStringList() << qint64(-1);
    QTest::newRow("unknown compression")
        << "package.zip" << zip_archive(standard_with("rxu.ldr", [](ZipEntry &e) { e.method = 97; })) << none
        << "rxu.ldr is compressed in a way that cannot be read (method 97)." << QStringList() << qint64(-1);
    // An unpacker that ignores case would give either of the two.
    QTest::newRow("wlan.bin and WLAN.BIN")
        << "package.zip" << zip_archive(standard() + QList<ZipEntry>({zip_entry("WLAN.BIN", "other")})) << none
        << "The package holds two entries named \"wlan.bin\" and \"WLAN.BIN\", which differ only in case."
        << QStringList() << qint64(-1);
    QTest::newRow("names that differ in the case of a non-ASCII letter")
        << "package.zip"
        << zip_archive(standard() + QList<ZipEntry>({zip_entry(QStringLiteral("notes/\u00c4nderungen").toUtf8(), "a"),
                                                     zip_entry(QStringLiteral("notes/\u00e4nderungen").toUtf8(), "b")}))
        << none
        << QStringLiteral("The package holds two entries named \"notes/\u00c4nderungen\" and "
                          "\"notes/\u00e4nderungen\", which differ only in case.")
        << QStringList() << qint64(-1);
    // The same, where the other name reaches the file through "." or a
    // folder and back, as an unpacker resolves it.
    for (const QByteArray &other : {QByteArray("./WLAN.BIN"), QByteArray(".\\Wlan.Bin"), QByteArray("x/../Wlan.bin")})
        QTest::newRow(("wlan.bin and " + other).constData())
            << "package.zip" << zip_archive(standard() + QList<ZipEntry>({zip_entry(other, "other")})) << none
            << QStringLiteral("The package holds two entries named \"wlan.bin\" and \"%1\", which differ only in case.")
                   .arg(QString::fromLatin1(other))
            << QStringList() << qint64(-1);
    QTest::newRow("an extra file named twice through a folder")
        << "package.zip"
        << zip_archive(standard() + QList<ZipEntry>({zip_entry("notes/a.txt", "a"), zip_entry("notes/x/../a.txt", "b")}))
        << none << "The package holds two entries named \"notes/a.txt\"." << QStringList() << qint64(-1);
    QTest::newRow("two entries of one name")
        << "package.zip" << zip_archive(standard() + QList<ZipEntry>({zip_entry("wlan.bin", "other")})) << none
        << "The package holds two entries named \"wlan.bin\"." << QStringList() << qint64(-1);
    QTest::newRow("an image reached through ..")
        << "package.zip" << zip_archive(standard_with("wlan.bin", [](ZipEntry &e) { e.name = "../wlan.bin"; }))
        << none << "The package names wlan.bin \"../wlan.bin\"" << QStringList() << qint64(-1);
    QTest::newRow("the manifest reached through a folder")
        << "package.zip" << zip_archive(standard_with("fw.txt", [](ZipEntry &e) { e.name = "docs\\..\\fw.txt"; }))
        << none << "The package names fw.txt \"docs\\..\\fw.txt\"" << QStringList() << qint64(-1);
    QTest::newRow("fw.txt a folder")
        << "package.zip" << zip_archive(standard_with("fw.txt", [](ZipEntry &e) {
               e.name = "fw.txt/";
               e.data.clear();
               e.mode = 040755;
           }) + QList<ZipEntry>({zip_entry("fw.txt/inside", MANIFEST)}))
        << none << "fw.txt is not a regular file." << QStringList() << qint64(-1);
    QTest::newRow("manifest stored in far more than it holds")
        << "package.zip" << zip_archive(standard_with("fw.txt", [](ZipEntry &e) { e.empty_blocks = 30000; }))
        << none << "fw.txt is damaged (it takes 150" << QStringList() << qint64(80000);
    QList<ZipEntry> crowded = standard();
    for (int i = 0; i < 5000; ++i)
        crowded.append(zip_entry("notes/" + QByteArray::number(i), QByteArray(), false));
    QTest::newRow("thousands of entries")
        << "package.zip" << zip_archive(crowded) << none << "package.zip holds 5004 entries" << QStringList()
        << qint64(70000);
    // Refused from the end records, before the directory (3.4 MB) is read,
    // whatever the comment holds: a false end record that counts four
    // entries where its directory would be garbage, or one that fits the
    // file (the four entries' directory, copied into the comment, ends where
    // it begins), which an unpacker may believe as well as the real one.
    QList<ZipEntry> more_crowded = standard();
    for (int i = 0; i < 60000; ++i)
        more_crowded.append(zip_entry("notes/" + QByteArray::number(i), QByteArray(), false));
    const QByteArray crowded_archive = zip_archive(more_crowded);
    QTest::newRow("60,004 entries, a false end record counting four in the comment")
        << "package.zip" << zip_with_comment(crowded_archive, "Release notes in notes/. " + zip_end_record(4, 200, 0))
        << none << "package.zip holds 60004 entries" << QStringList() << qint64(70000);
    const quint32 four_size = qFromLittleEndian<quint32>(plain.constData() + plain.size() - 10);
    const quint32 four_offset = qFromLittleEndian<quint32>(plain.constData() + plain.size() - 6);
    QTest::newRow("60,004 entries, a false end record fitting the file in the comment")
        << "package.zip"
        << zip_with_comment(crowded_archive, plain.mid(int(four_offset), int(four_size))
                                                 + zip_end_record(4, four_size, quint32(crowded_archive.size())))
        << none << "package.zip holds 60004 entries" << QStringList() << qint64(70000);
    // An archive whose comment holds a second end record that fits the
    // whole file, as the real one does: an unpacker may believe either, and
    // here the second one's directory gives txu.ldr's data the name
    // rxu.ldr and the other way round.
    QByteArray swapped = plain.mid(int(four_offset), int(four_size));
    swapped.replace("txu.ldr", "@@@.ldr").replace("rxu.ldr", "txu.ldr").replace("@@@.ldr", "rxu.ldr");
    const QString ambiguous = "package.zip is damaged: it ends with more than one directory record";
    QTest::newRow("a second end record fitting the file, names swapped")
        << "package.zip" << zip_with_comment(plain, swapped + zip_end_record(4, four_size, quint32(plain.size())))
        << none << ambiguous << QStringList() << qint64(-1);
    QTest::newRow("a copy of the end record closing the comment")
        << "package.zip"
        << zip_with_comment(plain, "Signed. " + plain.right(22))
        << none << ambiguous << QStringList() << qint64(-1);
    // One that does not reach the end of the file, or whose directory is
    // not one, is text of the comment like any other.
    QTest::newRow("a copy of the end record inside the comment")
        << "package.zip" << zip_with_comment(plain, "Signed. " + plain.right(22) + " by the release team.")
        << none << QString() << STANDARD << qint64(-1);
    QTest::newRow("an end record closing the comment, its directory no directory")
        << "package.zip" << zip_with_comment(plain, "Notes. " + zip_end_record(4, four_size, 0))
        << none << QString() << STANDARD << qint64(-1);
    QTest::newRow("manifest too large")
        << "package.zip" << zip_archive(standard_with("fw.txt", [](ZipEntry &e) { e.data += QByteArray(70000, ' '); }))
        << none << "fw.txt holds 70048 bytes; a manifest holds at most 65536 bytes." << QStringList() << qint64(-1);
    QTest::newRow("not a zip archive") << "package.zip" << QByteArray("PK\x03\x04 not a zip archive at all")
                                       << none << "package.zip is not a zip archive." << QStringList() << qint64(-1);
    QTest::newRow("empty file") << "package.zip" << QByteArray("") << none << "package.zip is not a zip archive."
                                << QStringList() << qint64(-1);
    QTest::newRow("archive cut short") << "package.zip" << plain.left(plain.size() - 30) << none
                                       << "package.zip is not a zip archive." << QStringList() << qint64(-1);
    QTest::newRow("a folder picked") << "folder.zip" << QByteArray() << none << "folder.zip is not a regular file."
                                     << QStringList() << qint64(-1);
}

void PackageArchiveTest::packages()
{
    QFETCH(QString, file_name);
    QFETCH(QByteArray, archive);
    QFETCH(QStringList, neighbours);
    QFETCH(QString, refusal);
    QFETCH(QStringList, expected);
    QFETCH(qint64, most_read);

    QTemporaryDir dir(base.filePath("case-XXXXXX"));
    const QString path = dir.filePath(file_name);
    if (archive.isNull())
        QVERIFY(QDir().mkpath(path));
    else
        write_file(dir, file_name, archive);
    QList<ZipEntry> neighbour = standard();
    neighbour.first().data = "PACKAGE:Neighbour\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    for (const QString &name : neighbours)
        write_file(dir, name, zip_archive(neighbour));
    const QStringList before = everything_in(dir.path());

    QString error;
    const std::shared_ptr<FirmwarePackage> package = FirmwarePackage::read(path, &error);
    if (refusal.isEmpty()) {
        QVERIFY2(package, qPrintable(error));
        QCOMPARE(summary(*package), expected);
    } else {
        QVERIFY(!package);
        QVERIFY2(error.contains(refusal), qPrintable(error));
    }
    QCOMPARE(everything_in(dir.path()), before);
    QCOMPARE(everything_in(private_tmp), QStringList());

    // The same through an open file, counting what is read of it.
    if (archive.isNull())
        return;
    CountingFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const std::shared_ptr<FirmwarePackage> again = FirmwarePackage::read(&file, file_name, &error);
    QCOMPARE(bool(again), bool(package));
    if (most_read >= 0)
        QVERIFY2(file.total <= most_read, qPrintable(QString::number(file.total)));
}

void PackageArchiveTest::manifest_lines_from_the_archive()
{
    // CR LF reads as LF, a NUL ends the name, lines past the fourth are
    // ignored: the manifest reads from the archive as from a file.
    QList<ZipEntry> entries = standard();
    entries.first().data = QByteArray("PACKAGE:Caf\xe9") + QByteArray(1, '\0')
        + "hidden\r\nWLAN:1660\r\nTXU:3.12\r\nRXU:4.5\r\nmore\n";
    QTemporaryDir dir;
    QString error;
    const auto package = FirmwarePackage::read(write_file(dir, "p.zip", zip_archive(entries)), &error);
    QVERIFY2(package, qPrintable(error));
    QCOMPARE(package->manifest().wlan_version, QByteArray("1660\n"));
    QCOMPARE(package->manifest().rxu_dsp_version, QByteArray("4.5\n"));
    QCOMPARE(manifest_text(package->manifest().name), QStringLiteral("Caf\u00e9"));
}

QTEST_GUILESS_MAIN(PackageArchiveTest)
#include "test_package_archive.moc"

// The firmware package's manifest, the compatibility check, the chunking of
// an image and the time-left estimate.

#include "firmware_package.h"
#include "frame.h"
#include "image_chunks.h"
#include "test_support.h"
#include "transfer_progress.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + i / 251) & 0xFF);
    return bytes;
}

DeviceFirmware device(int wlan, int major, int minor)
{
    DeviceFirmware d;
    d.wlan_version = quint16(wlan);
    d.dsp_major = quint8(major);
    d.dsp_minor = quint8(minor);
    return d;
}

} // namespace

class FirmwareRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void manifest_lines_lose_their_labels_and_keep_line_feeds();
    void manifest_with_crlf_reads_like_lf();
    void short_or_missing_manifest_gives_empty_values();
    void overlong_manifest_line_does_not_shift_the_others();
    void version_conversions();
    void compatibility_check_data();
    void compatibility_check();
    void dsp_image_by_device_type();
    void chunks_of_small_images_data();
    void chunks_of_small_images();
    void chunk_carries_the_bytes_of_its_number();
    void image_size_limit_and_non_files();
    void time_left();
};

void FirmwareRulesTest::manifest_lines_lose_their_labels_and_keep_line_feeds()
{
    const Manifest m = read_manifest("PACKAGE:Spring 2026\nWLAN:1650\nTXU:3.12\nRXU:4.2\nextra line\n");
    QCOMPARE(m.name, QByteArray("Spring 2026\n"));
    QCOMPARE(m.wlan_version, QByteArray("1650\n"));
    QCOMPARE(m.txu_dsp_version, QByteArray("3.12\n"));
    QCOMPARE(m.rxu_dsp_version, QByteArray("4.2\n"));
    QCOMPARE(m.dsp_version_for("RXU"), QByteArray("4.2\n"));
    QCOMPARE(m.dsp_version_for("TXU"), QByteArray("3.12\n"));
    QCOMPARE(m.dsp_version_for(QString()), QByteArray("3.12\n"));

    // The last line may lack its line feed; labels are never looked at.
    const Manifest n = read_manifest("12345678A\n#####7\n____1.1\n____2.2");
    QCOMPARE(n.name, QByteArray("A\n"));
    QCOMPARE(n.wlan_version, QByteArray("7\n"));
    QCOMPARE(n.txu_dsp_version, QByteArray("1.1\n"));
    QCOMPARE(n.rxu_dsp_version, QByteArray("2.2"));
}

void FirmwareRulesTest::manifest_with_crlf_reads_like_lf()
{
    const Manifest lf = read_manifest("PACKAGE:P\nWLAN:1650\nTXU:3.12\nRXU:3.12\n");
    const Manifest crlf = read_manifest("PACKAGE:P\r\nWLAN:1650\r\nTXU:3.12\r\nRXU:3.12\r\n");
    QCOMPARE(crlf.name, lf.name);
    QCOMPARE(crlf.wlan_version, lf.wlan_version);
    QCOMPARE(crlf.txu_dsp_version, lf.txu_dsp_version);
    QCOMPARE(crlf.rxu_dsp_version, lf.rxu_dsp_version);
}

void FirmwareRulesTest::short_or_missing_manifest_gives_empty_values()
{
    const Manifest shorter = read_manifest("PACK\nWLA\nTX\n");
    QVERIFY(shorter.name.isEmpty() && shorter.wlan_version.isEmpty());
    QVERIFY(shorter.txu_dsp_version.isEmpty() && shorter.rxu_dsp_version.isEmpty());
    QVERIFY(!package_fits(device(1650, 3, 12), shorter.wlan_version, shorter.txu_dsp_version));

    const Manifest missing = read_manifest(QByteArray());
    QVERIFY(missing.name.isEmpty() && missing.rxu_dsp_version.isEmpty());
}

void FirmwareRulesTest::overlong_manifest_line_does_not_shift_the_others()
{
    const QByteArray content = "PACKAGE:" + QByteArray(100000, 'x') + "\nWLAN:1650\nTXU:3.12\nRXU:3.13\n";
    const Manifest m = read_manifest(content);
    QVERIFY(m.name.startsWith("xxxx"));
    QCOMPARE(m.wlan_version, QByteArray("1650\n"));
    QCOMPARE(m.rxu_dsp_version, QByteArray("3.13\n"));
}

void FirmwareRulesTest::version_conversions()
{
    QCOMPARE(package_wlan_version("1650\n"), 1650u);
    QCOMPARE(package_wlan_version("  1650 \n"), 1650u);
    QCOMPARE(package_wlan_version("16x0\n"), 0u);
    QCOMPARE(package_wlan_version(""), 0u);
    QCOMPARE(package_wlan_version(QByteArray("1650\0garbage", 12)), 1650u);

    DspVersion v = package_dsp_version("3.12\n");
    QVERIFY(v.valid);
    QCOMPARE(v.major, quint8(3));
    QCOMPARE(v.minor, quint8(12));
    // Parts count as their low 8 bits.
    v = package_dsp_version("259.268");
    QCOMPARE(v.major, quint8(3));
    QCOMPARE(v.minor, quint8(12));
    // A part that is not a number counts as 0.
    v = package_dsp_version("a.5");
    QVERIFY(v.valid);
    QCOMPARE(v.major, quint8(0));
    // No minor part, or an empty part: never valid.
    for (const char *text : {"3", "3\n", "3.", "3.\n", ".12", "", "."})
        QVERIFY2(!package_dsp_version(text).valid, text);
}

void FirmwareRulesTest::compatibility_check_data()
{
    QTest::addColumn<int>("wlan");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QByteArray>("package_wlan");
    QTest::addColumn<QByteArray>("package_dsp");
    QTest::addColumn<bool>("fits");

    QTest::newRow("ordinary") << 1650 << 3 << 12 << QByteArray("1660\n") << QByteArray("3.12\n") << true;
    QTest::newRow("device wlan 1599") << 1599 << 3 << 12 << QByteArray("1660\n") << QByteArray("3.12\n") << false;
    QTest::newRow("device wlan 1600") << 1600 << 3 << 12 << QByteArray("1660\n") << QByteArray("3.12\n") << true;
    QTest::newRow("device wlan 1699") << 1699 << 3 << 12 << QByteArray("1699\n") << QByteArray("3.12\n") << true;
    QTest::newRow("device wlan 1700") << 1700 << 3 << 12 << QByteArray("1800\n") << QByteArray("3.12\n") << false;
    QTest::newRow("package wlan equal") << 1650 << 3 << 12 << QByteArray("1650\n") << QByteArray("3.12\n") << true;
    QTest::newRow("package wlan older") << 1650 << 3 << 12 << QByteArray("1649\n") << QByteArray("3.12\n") << false;
    QTest::newRow("major differs") << 1650 << 3 << 12 << QByteArray("1650\n") << QByteArray("4.12\n") << false;
    QTest::newRow("package minor older") << 1650 << 3 << 12 << QByteArray("1650\n") << QByteArray("3.11\n") << false;
    QTest::newRow("package minor newer") << 1650 << 3 << 12 << QByteArray("1650\n") << QByteArray("3.13\n") << true;
    QTest::newRow("device minor 0") << 1650 << 3 << 0 << QByteArray("1650\n") << QByteArray("3.5\n") << false;
    QTest::newRow("no minor part") << 1650 << 3 << 1 << QByteArray("1650\n") << QByteArray("3\n") << false;
    QTest::newRow("empty minor part") << 1650 << 3 << 1 << QByteArray("1650\n") << QByteArray("3.\n") << false;
    QTest::newRow("empty manifest") << 1650 << 3 << 12 << QByteArray() << QByteArray() << false;
}

void FirmwareRulesTest::compatibility_check()
{
    QFETCH(int, wlan);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QByteArray, package_wlan);
    QFETCH(QByteArray, package_dsp);
    QFETCH(bool, fits);
    QCOMPARE(package_fits(device(wlan, major, minor), package_wlan, package_dsp), fits);
}

void FirmwareRulesTest::dsp_image_by_device_type()
{
    QCOMPARE(dsp_image_file("TXU"), QStringLiteral("txu.ldr"));
    QCOMPARE(dsp_image_file("RXU"), QStringLiteral("rxu.ldr"));
    QVERIFY(dsp_image_file(QString()).isEmpty());
    QVERIFY(dsp_image_file("txu").isEmpty());
}

void FirmwareRulesTest::chunks_of_small_images_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("counts");  // bytes per chunk, in order

    QTest::newRow("empty") << 0 << QList<int>{0};
    QTest::newRow("one byte") << 1 << QList<int>{1};
    QTest::newRow("100") << 100 << QList<int>{100};
    QTest::newRow("101") << 101 << QList<int>{100, 1};
    QTest::newRow("250") << 250 << QList<int>{100, 100, 50};
    QTest::newRow("300") << 300 << QList<int>{100, 100, 100};
}

void FirmwareRulesTest::chunks_of_small_images()
{
    QFETCH(int, size);
    QFETCH(QList<int>, counts);
    QTemporaryDir dir;
    const QByteArray content = pattern(size);
    FirmwareImage image;
    QString error;
    QVERIFY(image.load(write_file(dir, "image.bin", content), &error));
    QCOMPARE(image.size(), qint64(size));

    QByteArray sent;
    for (int s = 0; s < counts.size(); ++s) {
        const QByteArray frame = image.chunk_frame(UNIT_DSP, quint16(s));
        const int n = counts.at(s);
        const bool last = s == counts.size() - 1;
        QCOMPARE(is_last_chunk(size, quint16(s)), last);
        QCOMPARE(frame.size(), FRAME_SIZE);
        QCOMPARE(frame_u8(frame, 0), quint8(141));
        QCOMPARE(frame_u8(frame, 1), quint8(n + 9));
        QCOMPARE(frame_u8(frame, 3), quint8(n + 5));
        QCOMPARE(frame_unit(frame), UNIT_DSP);
        QCOMPARE(frame_code(frame), CMD_FW_DATA);
        QCOMPARE(frame_u16(frame, 8), last ? quint16(0xFFFF) : quint16(s));
        QCOMPARE(frame_u8(frame, 10), quint8(n));
        QCOMPARE(frame_u8(frame, 11), quint8(0));
        QCOMPARE(frame.mid(12 + n), QByteArray(FRAME_SIZE - 12 - n, '\0'));
        sent += frame.mid(12, n);
    }
    QCOMPARE(sent, content);
}

void FirmwareRulesTest::chunk_carries_the_bytes_of_its_number()
{
    QTemporaryDir dir;
    const QByteArray content = pattern(1000);
    FirmwareImage image;
    QString error;
    QVERIFY(image.load(write_file(dir, "image.bin", content), &error));
    // Out of order and again: each chunk is always the same bytes.
    for (int s : {0, 1, 1, 5, 2, 9, 3, 3}) {
        const QByteArray frame = image.chunk_frame(UNIT_WLAN, quint16(s));
        QCOMPARE(frame.mid(12, 100), content.mid(s * 100, 100));
    }
}

void FirmwareRulesTest::image_size_limit_and_non_files()
{
    QTemporaryDir dir;
    QCOMPARE(MAX_IMAGE_SIZE, qint64(6553600));
    QString error;
    FirmwareImage image;

    // Sizes are sparse files: nothing this large is ever written to disk. The
    // name's markers stay as they are in the message.
    for (qint64 size : {MAX_IMAGE_SIZE, MAX_IMAGE_SIZE + 1}) {
        QFile file(dir.filePath("big %2 %1.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.resize(size));
        file.close();
        const bool opened = image.load(file.fileName(), &error);
        QCOMPARE(opened, size == MAX_IMAGE_SIZE);
        if (opened) {
            // The last chunk of the largest image is chunk 65535, with 100 bytes.
            QVERIFY(!is_last_chunk(size, 65534));
            QVERIFY(is_last_chunk(size, 65535));
            const QByteArray last = image.chunk_frame(UNIT_WLAN, 65535);
            QCOMPARE(frame_u16(last, 8), quint16(0xFFFF));
            QCOMPARE(frame_u8(last, 10), quint8(100));
        } else {
            QVERIFY2(error.contains("big %2 %1.bin holds 6553601 bytes; at most 6553600"), qPrintable(error));
            QVERIFY(!image.is_loaded());
        }
    }

    QVERIFY(!image.load(dir.filePath("missing.bin"), &error));
    QCOMPARE(error, "Could not read " + dir.filePath("missing.bin") + ": No such file or directory");
    QVERIFY(!image.load(dir.path(), &error));
    QVERIFY(error.contains("not a regular file"));
    const QString target = write_file(dir, "secret", "not firmware");
    QVERIFY(QFile::link(target, dir.filePath("link.bin")));
    QVERIFY(!image.load(dir.filePath("link.bin"), &error));
    QVERIFY(error.contains("link.bin is not a regular file"));
    QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("dangling.bin")));
    QVERIFY(!image.load(dir.filePath("dangling.bin"), &error));
    QVERIFY(error.contains("not a regular file"));
    // A file that reads back at another size than it claims (as one cut or
    // grown while it is read) is never taken.
    QVERIFY(!image.load(QStringLiteral("/proc/self/status"), &error));
    QVERIFY2(error.contains("status changed or could not be read"), qPrintable(error));
}

void FirmwareRulesTest::time_left()
{
    TimeLeft estimate;
    estimate.start(100000, 0);
    QCOMPARE(estimate.seconds_left(), qint64(-1));
    estimate.update(1000, 500);
    QCOMPARE(estimate.seconds_left(), qint64(-1));  // too early to tell
    estimate.update(10000, 2000);                   // 5,000 bytes a second
    QCOMPARE(estimate.seconds_left(), qint64(18));
    estimate.update(99999, 20000);
    QCOMPARE(estimate.seconds_left(), qint64(1));

    QCOMPARE(time_left_text(45), QStringLiteral("about 45 s left"));
    QCOMPARE(time_left_text(200), QStringLiteral("about 3 min 20 s left"));
    QCOMPARE(time_left_text(3900), QStringLiteral("about 1 h 5 min left"));
    QCOMPARE(progress_format(-1), QStringLiteral("%p%"));
    QVERIFY(progress_format(45).startsWith("%p% "));
}

QTEST_GUILESS_MAIN(FirmwareRulesTest)
#include "test_firmware_rules.moc"

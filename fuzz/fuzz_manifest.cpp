// Fuzzes what the firmware dialog does with the files of a package once they
// are read from its archive: reading the manifest and checking it against the
// device, and cutting an image into data frames. Nothing touches the disk.
//
// Input layout:
//   bytes 0-1 the device's WLAN version (little-endian)
//   byte 2    the device's DSP major version
//   byte 3    the device's DSP minor version
//   byte 4    the device type: TXU, RXU, none or "rxu" (index modulo 4)
//   byte 5    the unit the image is sent to
//   bytes 6-7 a chunk number that is asked for again after the whole image
//   byte 8…   the file: read as the manifest, then taken as the image
//
// Checks, besides what the sanitizers catch:
// - the manifest values are the file's first four lines as a straightforward
//   reading gives them (CR LF read as LF; lines cut at 4095 bytes, the rest
//   of a cut line skipped; labels removed), each one line at most;
// - the compatibility check agrees with its parts (the WLAN and DSP versions);
// - every chunk frame is 112 bytes with byte 1 == n + 9 and byte 3 == n + 5
//   for its n data bytes, carries the file's bytes from offset 100 x s, its
//   sequence field is s or 0xFFFF for the last chunk only, the chunks put
//   together are the file, and a chunk asked for again is the same frame.

#include "firmware_package.h"
#include "frame.h"
#include "image_chunks.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int HEADER_SIZE = 8;
// The longest manifest line read, the labels of the four lines.
constexpr int LINE_LIMIT = 4095;
constexpr int LABELS[] = {8, 5, 4, 4};

void require(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz_manifest: broken: %s\n", what);
    std::abort();
}

QList<QByteArray> expected_manifest(QByteArray text)
{
    // A byte-order mark before the first line is not part of it.
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    text.replace("\r\n", "\n");
    QList<QByteArray> values;
    int pos = 0;
    for (int label : LABELS) {
        const int lf = text.indexOf('\n', pos);
        const int line_end = lf < 0 ? text.size() : lf + 1;
        QByteArray line = text.mid(pos, qMin(line_end - pos, LINE_LIMIT));
        pos += line.size();
        if (!line.endsWith('\n')) {
            const int next_lf = text.indexOf('\n', pos);
            pos = next_lf < 0 ? text.size() : next_lf + 1;
        }
        values.append(line.mid(label));
    }
    return values;
}

bool has_lone_cr(const QByteArray &text)
{
    for (int i = text.indexOf('\r'); i >= 0; i = text.indexOf('\r', i + 1)) {
        if (i + 1 >= text.size() || text.at(i + 1) != '\n')
            return true;
    }
    return false;
}

bool only_digits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && !(i == 0 && c == QLatin1Char('+')))
            return false;
    }
    return true;
}

void check_manifest(const QByteArray &file, const DeviceFirmware &device, const QString &device_type)
{
    const Manifest manifest = read_manifest(file);
    const QList<QByteArray> values = {manifest.name, manifest.wlan_version, manifest.txu_dsp_version,
                                      manifest.rxu_dsp_version};
    for (int i = 0; i < values.size(); ++i) {
        const QByteArray &value = values.at(i);
        require(value.size() <= LINE_LIMIT - LABELS[i], "a manifest value is at most one cut line");
        const int lf = value.indexOf('\n');
        require(lf < 0 || lf == value.size() - 1, "a manifest value holds one line");
    }
    // The text mode reads CR LF as LF. What it does with any other CR depends
    // on how the content happens to be buffered, so only files whose CRs all
    // end lines are compared with the straightforward reading.
    if (!has_lone_cr(file)) {
        const QList<QByteArray> expected = expected_manifest(file);
        for (int i = 0; i < values.size(); ++i)
            require(values.at(i) == expected.at(i), "a manifest value is its line without the label");
    }

    const uint wlan = package_wlan_version(manifest.wlan_version);
    if (wlan != 0)
        require(only_digits(manifest_text(manifest.wlan_version).trimmed()),
                "a WLAN version other than 0 comes from a decimal number");

    const QByteArray &dsp_line = manifest.dsp_version_for(device_type);
    require(&dsp_line == (device_type == QLatin1String("RXU") ? &manifest.rxu_dsp_version
                                                                : &manifest.txu_dsp_version),
            "the DSP line of the device type");
    const DspVersion dsp = package_dsp_version(dsp_line);
    if (dsp.valid)
        require(manifest_text(dsp_line).contains(QLatin1Char('.')), "a valid DSP version has a dot");

    const bool fits = device.wlan_version >= 1600 && device.wlan_version <= 1699 && wlan >= device.wlan_version
        && dsp.valid && dsp.major == device.dsp_major && device.dsp_minor != 0 && dsp.minor >= device.dsp_minor;
    require(package_fits(device, manifest.wlan_version, dsp_line) == fits, "the compatibility check");

    const QString image = dsp_image_file(device_type);
    require(image.isEmpty() || image == TXU_IMAGE_FILE || image == RXU_IMAGE_FILE, "the DSP image name");
}

void check_chunk(const QByteArray &frame, const QByteArray &file, quint8 unit, quint32 sequence)
{
    const qint64 offset = qint64(sequence) * CHUNK_SIZE;
    const int n = int(qBound<qint64>(0, file.size() - offset, CHUNK_SIZE));
    const bool last = is_last_chunk(file.size(), quint16(sequence));
    require(last == (offset + CHUNK_SIZE >= file.size()), "the last chunk is the one that reaches the end");
    require(frame.size() == FRAME_SIZE, "a chunk frame is 112 bytes");
    require(frame_u8(frame, 0) == FRAME_START, "a chunk frame starts with 141");
    require(frame_u8(frame, 1) == n + 9, "byte 1 is n + 9");
    require(frame_u8(frame, 3) == n + 5, "byte 3 is n + 5");
    require(frame_unit(frame) == unit, "the chunk goes to its unit");
    require(frame_code(frame) == CMD_FW_DATA, "a chunk frame is a data frame");
    require(frame_u16(frame, 8) == (last ? LAST_CHUNK : sequence), "the sequence field");
    require(frame_u8(frame, 10) == n && frame_u8(frame, 11) == 0, "the byte count and the zero byte");
    require(frame.mid(12, n) == file.mid(int(offset), n), "the chunk carries the file's bytes at 100 x s");
    require(frame.mid(12 + n) == QByteArray(FRAME_SIZE - 12 - n, '\0'), "zeros after the data");
}

void check_chunks(const QByteArray &file, quint8 unit, quint16 again)
{
    FirmwareImage image;
    QString error;
    require(image.take(QStringLiteral("image.bin"), file, &error), "the image is taken");
    require(image.size() == file.size(), "the image size");

    QList<QByteArray> frames;
    QByteArray joined;
    for (quint32 s = 0;; ++s) {
        require(s <= LAST_CHUNK, "the chunk numbers suffice");
        const QByteArray frame = image.chunk_frame(unit, quint16(s));
        check_chunk(frame, file, unit, s);
        frames.append(frame);
        joined += frame.mid(12, frame_u8(frame, 10));
        if (is_last_chunk(image.size(), quint16(s)))
            break;
    }
    require(joined == file, "the chunks put together are the file");

    // Chunks asked for again, out of order and past the end.
    for (quint16 s : {again, again, quint16(0), quint16(frames.size() - 1), quint16(frames.size())}) {
        const QByteArray frame = image.chunk_frame(unit, s);
        check_chunk(frame, file, unit, s);
        if (s < frames.size())
            require(frame == frames.at(s), "a chunk asked for again is the same frame");
    }
    image.clear();
    require(!image.is_loaded() && image.size() == 0, "a cleared image");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < HEADER_SIZE || size - HEADER_SIZE > size_t(MAX_IMAGE_SIZE))
        return 0;
    DeviceFirmware device;
    device.wlan_version = quint16(data[0] | data[1] << 8);
    device.dsp_major = data[2];
    device.dsp_minor = data[3];
    static const QString types[] = {QStringLiteral("TXU"), QStringLiteral("RXU"), QString(), QStringLiteral("rxu")};
    const QString &device_type = types[data[4] % 4];
    const quint8 unit = data[5];
    const quint16 again = quint16(data[6] | data[7] << 8);
    const QByteArray file(reinterpret_cast<const char *>(data + HEADER_SIZE), int(size - HEADER_SIZE));
    check_manifest(file, device, device_type);
    check_chunks(file, unit, again);
    return 0;
}

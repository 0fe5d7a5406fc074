#include "zip_writer.h"

#include <QtEndian>

#include <zlib.h>

namespace {

constexpr int ZEROS_CHUNK = 1 << 20;
constexpr int WINDOW = 32768;

// Raw deflate of `data`, after `dictionary` as earlier output; `flush` ends
// it (Z_SYNC_FLUSH: more blocks may follow; Z_FINISH: the last block).
QByteArray raw_deflate(const QByteArray &data, const QByteArray &dictionary, int flush)
{
    z_stream stream = {};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        qFatal("deflateInit2 failed");
    if (!dictionary.isEmpty())
        deflateSetDictionary(&stream, reinterpret_cast<const Bytef *>(dictionary.constData()),
                             uInt(dictionary.size()));
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, flush);
    if (result != (flush == Z_FINISH ? Z_STREAM_END : Z_OK) || stream.avail_in != 0)
        qFatal("deflate failed");
    out.resize(int(stream.total_out));
    deflateEnd(&stream);
    return out;
}

// `count` zero bytes deflated: a first megabyte, then one block that refers
// only to the zeros before it, repeated, then the rest as the last block.
QByteArray deflated_zeros(qint64 count, quint32 *crc)
{
    const QByteArray chunk(ZEROS_CHUNK, '\0');
    const uLong chunk_crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(chunk.constData()), ZEROS_CHUNK);
    const qint64 whole = count / ZEROS_CHUNK;
    const int rest = int(count % ZEROS_CHUNK);
    const QByteArray window(WINDOW, '\0');

    QByteArray out;
    QByteArray repeated;
    uLong sum = crc32(0, nullptr, 0);
    for (qint64 i = 0; i < whole; ++i) {
        if (i == 0) {
            out += raw_deflate(chunk, QByteArray(), Z_SYNC_FLUSH);
        } else {
            if (repeated.isEmpty())
                repeated = raw_deflate(chunk, window, Z_SYNC_FLUSH);
            out += repeated;
        }
        sum = crc32_combine(sum, chunk_crc, ZEROS_CHUNK);
    }
    out += raw_deflate(chunk.left(rest), whole > 0 ? window : QByteArray(), Z_FINISH);
    sum = crc32(sum, reinterpret_cast<const Bytef *>(chunk.constData()), uInt(rest));
    *crc = quint32(sum);
    return out;
}

void put16(QByteArray &out, quint32 value)
{
    char bytes[2];
    qToLittleEndian(quint16(value), bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

ZipEntry zip_entry(const QByteArray &name, const QByteArray &data, bool deflated)
{
    ZipEntry entry;
    entry.name = name;
    entry.data = data;
    entry.deflated = deflated;
    return entry;
}

QByteArray zip_archive(const QList<ZipEntry> &entries)
{
    QByteArray archive;
    QByteArray directory;
    for (const ZipEntry &entry : entries) {
        quint32 crc = 0;
        qint64 size = entry.data.size();
        QByteArray stored;
        quint16 method = 0;
        if (entry.zeros > 0) {
            stored = deflated_zeros(entry.zeros, &crc);
            size = entry.zeros;
            method = 8;
        } else {
            crc = quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(entry.data.constData()),
                                uInt(entry.data.size())));
            if (entry.method >= 0) {
                stored = entry.data;
                method = quint16(entry.method);
            } else if (entry.deflated) {
                for (int i = 0; i < entry.empty_blocks; ++i)
                    stored.append("\x00\x00\x00\xff\xff", 5);
                stored += raw_deflate(entry.data, QByteArray(), Z_FINISH);
                method = 8;
            } else {
                stored = entry.data;
            }
        }
        if (entry.wrong_checksum)
            crc ^= 0x00010000;
        if (entry.declared_size >= 0)
            size = entry.declared_size;
        const bool folder = (entry.mode & 0170000) == 040000;

        const quint32 offset = quint32(archive.size());
        auto common = [&](QByteArray &out, bool local) {
            const bool streamed = local && entry.descriptor;
            put16(out, 20);           // version needed
            put16(out, entry.flags | (entry.descriptor ? 8 : 0));
            put16(out, method);
            put16(out, 0);            // time
            put16(out, 0x21);         // date: 1 January 1980
            put32(out, streamed ? 0 : crc);
            put32(out, streamed ? 0 : quint32(stored.size()));
            put32(out, quint32(size));
            put16(out, quint32(entry.name.size()));
            put16(out, 0);            // extra field
        };
        put32(archive, 0x04034b50);
        common(archive, true);
        archive += entry.name;
        archive += stored;
        if (entry.descriptor) {
            put32(archive, 0x08074b50);
            put32(archive, crc);
            put32(archive, quint32(stored.size()));
            put32(archive, quint32(size));
        }

        put32(directory, 0x02014b50);
        put16(directory, (3 << 8) | 20);  // made by a Unix system
        common(directory, false);
        put16(directory, 0);  // comment
        put16(directory, 0);  // disk
        put16(directory, 0);  // internal attributes
        put32(directory, (entry.mode << 16) | (folder ? 0x10 : 0));
        put32(directory, offset);
        directory += entry.name;
    }
    const quint32 directory_offset = quint32(archive.size());
    archive += directory;
    archive += zip_end_record(quint16(entries.size()), quint32(directory.size()), directory_offset);
    return archive;
}

QByteArray zip_end_record(quint16 entries, quint32 directory_size, quint32 directory_offset, quint16 comment_length)
{
    QByteArray record;
    put32(record, 0x06054b50);
    put16(record, 0);  // this disk
    put16(record, 0);  // the disk where the directory starts
    put16(record, entries);  // on this disk
    put16(record, entries);  // in all
    put32(record, directory_size);
    put32(record, directory_offset);
    put16(record, comment_length);
    return record;
}

QByteArray zip_with_comment(const QByteArray &archive, const QByteArray &comment)
{
    QByteArray out = archive;
    char length[2];
    qToLittleEndian(quint16(comment.size()), length);
    out.replace(out.size() - 2, 2, length, 2);
    return out + comment;
}

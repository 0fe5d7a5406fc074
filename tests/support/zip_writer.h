#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Zip archives written byte by byte, so that a test can make the odd ones
// that no packer writes: size fields that lie, wrong checksums, encryption
// flags, unknown compression, two entries of one name, links and folders,
// end records hidden in the archive's comment.
struct ZipEntry
{
    QByteArray name;
    QByteArray data;
    bool deflated = true;
    // Instead of `data`: this many zero bytes, deflated without ever being
    // held in memory (a few hundred megabytes cost a few hundred kilobytes).
    qint64 zeros = 0;
    // Other than -1: written as the compression method, with `data` as it is.
    int method = -1;
    quint16 flags = 0;           // general purpose flags; bit 0 marks an encrypted entry
    quint32 mode = 0100644;      // Unix file mode: 0120777 a link, 040755 a folder
    qint64 declared_size = -1;   // other than -1: what both size fields say instead of the truth
    bool wrong_checksum = false; // the checksum fields do not match the data
    // Written as zip writes to a pipe: flag 3 set, the local header's checksum
    // and compressed size 0 (its size kept), a data descriptor after the data.
    bool descriptor = false;
    // Deflated data that starts with this many empty blocks (5 bytes each):
    // far more stored than what it holds.
    int empty_blocks = 0;
};

ZipEntry zip_entry(const QByteArray &name, const QByteArray &data, bool deflated = true);

// The archive holding `entries` in order, with a consistent directory.
QByteArray zip_archive(const QList<ZipEntry> &entries);

// An end record: a directory of `entries` entries and `directory_size` bytes
// at `directory_offset`, followed by a comment of `comment_length` bytes.
QByteArray zip_end_record(quint16 entries, quint32 directory_size, quint32 directory_offset,
                          quint16 comment_length = 0);

// `archive`, as zip_archive() writes it, with `comment` as its comment.
QByteArray zip_with_comment(const QByteArray &archive, const QByteArray &comment);

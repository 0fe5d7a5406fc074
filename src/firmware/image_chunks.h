#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Firmware images travel in chunks of 100 bytes, one data frame each, every
// chunk acknowledged before the next goes out. Chunks are numbered from 0; the
// last one of an image carries 0xFFFF instead of its number.

constexpr int CHUNK_SIZE = 100;
constexpr quint16 LAST_CHUNK = 0xFFFF;
// 65,535 numbered chunks and the last one.
constexpr qint64 MAX_IMAGE_SIZE = qint64(LAST_CHUNK) * CHUNK_SIZE + CHUNK_SIZE;

// A data frame: sequence field, byte count, a zero byte, then the bytes.
QByteArray build_data_frame(quint8 unit, quint16 sequence_field, const QByteArray &data);

// Whether chunk `sequence` of an image of `size` bytes is its last one.
bool is_last_chunk(qint64 size, quint16 sequence);

// An image file being sent. Chunk s always carries the bytes from offset
// 100 x s, so a chunk sent again is the same chunk.
class ImageFile
{
public:
    // Opens `path` read-only. Refuses what is not a regular file and an image
    // too large for the chunk numbering; the reason goes to *error.
    bool open(const QString &path, QString *error);
    void close();
    bool is_open() const { return m_file.isOpen(); }
    qint64 size() const { return m_size; }

    // The data frame of chunk `sequence` for `unit`.
    QByteArray chunk_frame(quint8 unit, quint16 sequence);

private:
    QFile m_file;
    qint64 m_size = 0;
};

#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

class QFileInfo;

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

// Why the file at `info` may not be read as part of an update (a link, a
// folder, a device or pipe), or an empty text for a regular file or none at all.
QString not_a_regular_file(const QFileInfo &info);

// Why the image `name` of `size` bytes cannot be sent (more than MAX_IMAGE_SIZE).
QString image_too_large(const QString &name, qint64 size);

// A firmware image, read whole into memory when it is loaded: what is sent is
// exactly what was checked, whatever happens to the file afterwards. Copies
// share the bytes.
class FirmwareImage
{
    Q_DECLARE_TR_FUNCTIONS(FirmwareImage)

public:
    // Reads `path`. Refuses what is not a regular file, an image too large for
    // the chunk numbering, and a file that does not read back at the size it
    // has; the reason, naming the file, goes to *error.
    bool load(const QString &path, QString *error);
    // Takes `bytes` as the image `name`, refusing an image too large for the
    // chunk numbering; the reason, naming it, goes to *error.
    bool take(const QString &name, const QByteArray &bytes, QString *error);
    void clear();
    bool is_loaded() const { return m_loaded; }
    qint64 size() const { return m_bytes.size(); }
    const QByteArray &bytes() const { return m_bytes; }

    // The data frame of chunk `sequence` for `unit`: always the bytes from
    // offset 100 x s, so a chunk sent again is the same chunk.
    QByteArray chunk_frame(quint8 unit, quint16 sequence) const;

private:
    QByteArray m_bytes;
    bool m_loaded = false;
};

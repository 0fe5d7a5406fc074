#include "image_chunks.h"

#include "frame.h"

#include <QFileInfo>
#include <QObject>

QByteArray build_data_frame(quint8 unit, quint16 sequence_field, const QByteArray &data)
{
    const int n = qMin(data.size(), CHUNK_SIZE);
    QByteArray args(4 + n, '\0');
    args[0] = char(sequence_field & 0xFF);
    args[1] = char(sequence_field >> 8);
    args[2] = char(n);
    args.replace(4, n, data.constData(), n);
    return build_frame(CMD_FW_DATA, unit, args);
}

bool is_last_chunk(qint64 size, quint16 sequence)
{
    return size - qint64(sequence) * CHUNK_SIZE <= CHUNK_SIZE;
}

bool ImageFile::open(const QString &path, QString *error)
{
    close();
    const QFileInfo info(path);
    if (info.exists() && (info.isSymLink() || !info.isFile())) {
        *error = QObject::tr("%1 is not a regular file.").arg(info.fileName());
        return false;
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        *error = m_file.errorString();
        return false;
    }
    m_size = m_file.size();
    if (m_size > MAX_IMAGE_SIZE) {
        *error = QObject::tr("The image %1 holds %2 bytes; at most %3 bytes can be sent.")
                     .arg(info.fileName())
                     .arg(m_size)
                     .arg(MAX_IMAGE_SIZE);
        close();
        return false;
    }
    return true;
}

void ImageFile::close()
{
    m_file.close();
    m_size = 0;
}

QByteArray ImageFile::chunk_frame(quint8 unit, quint16 sequence)
{
    const qint64 offset = qint64(sequence) * CHUNK_SIZE;
    QByteArray data;
    // Chunks normally follow each other, so the file rarely has to seek.
    if (offset < m_size && (m_file.pos() == offset || m_file.seek(offset)))
        data = m_file.read(CHUNK_SIZE);
    return build_data_frame(unit, is_last_chunk(m_size, sequence) ? LAST_CHUNK : sequence, data);
}

#include "image_chunks.h"

#include "frame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>

QByteArray build_data_frame(quint8 unit, quint16 sequence_field, const QByteArray &data)
{
    const int n = qMin(int(data.size()), CHUNK_SIZE);
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

QString not_a_regular_file(const QFileInfo &info)
{
    // A dangling link does not "exist", but it is a link all the same.
    if (info.isSymLink() || (info.exists() && !info.isFile()))
        return FirmwareImage::tr("%1 is not a regular file.").arg(info.fileName());
    return QString();
}

QString image_too_large(const QString &name, qint64 size)
{
    return FirmwareImage::tr("The image %1 holds %2 bytes; at most %3 bytes can be sent.")
        .arg(name, QString::number(size), QString::number(MAX_IMAGE_SIZE));
}

bool FirmwareImage::load(const QString &path, QString *error)
{
    clear();
    const QFileInfo info(path);
    const QString name = info.fileName();
    *error = not_a_regular_file(info);
    if (!error->isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = FirmwareImage::tr("Could not read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    const qint64 size = file.size();
    if (size > MAX_IMAGE_SIZE) {
        *error = image_too_large(name, size);
        return false;
    }
    // One byte more than the size: a file that grows while it is read shows.
    QByteArray bytes = file.read(size + 1);
    if (bytes.size() != size) {
        *error = FirmwareImage::tr("%1 changed or could not be read (%2 of %n bytes read).", nullptr, int(size))
                     .arg(name, QString::number(bytes.size()));
        return false;
    }
    return take(name, bytes, error);
}

bool FirmwareImage::take(const QString &name, const QByteArray &bytes, QString *error)
{
    clear();
    if (bytes.size() > MAX_IMAGE_SIZE) {
        *error = image_too_large(name, bytes.size());
        return false;
    }
    m_bytes = bytes;
    m_loaded = true;
    return true;
}

void FirmwareImage::clear()
{
    m_bytes.clear();
    m_loaded = false;
}

QByteArray FirmwareImage::chunk_frame(quint8 unit, quint16 sequence) const
{
    const qint64 offset = qint64(sequence) * CHUNK_SIZE;
    const QByteArray data = offset < size() ? m_bytes.mid(int(offset), CHUNK_SIZE) : QByteArray();
    return build_data_frame(unit, is_last_chunk(size(), sequence) ? LAST_CHUNK : sequence, data);
}

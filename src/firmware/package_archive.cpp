#include "package_archive.h"

#include "firmware_package.h"
#include "image_chunks.h"

#include <QIODevice>
#include <QObject>
#include <QSet>

#include <algorithm>

#include <zip.h>

PackageFile *PackageFiles::file(const QString &name)
{
    if (name == MANIFEST_FILE)
        return &manifest;
    if (name == WLAN_IMAGE_FILE)
        return &wlan;
    if (name == TXU_IMAGE_FILE)
        return &txu;
    if (name == RXU_IMAGE_FILE)
        return &rxu;
    return nullptr;
}

namespace {

// The archive as libzip reads it: through the device, which is never written.
struct DeviceSource
{
    QIODevice *device;
    zip_error_t error;
};

zip_int64_t source_failed(DeviceSource *source, int code)
{
    zip_error_set(&source->error, code, 0);
    return -1;
}

zip_int64_t device_source(void *userdata, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto *source = static_cast<DeviceSource *>(userdata);
    QIODevice *device = source->device;
    switch (command) {
    case ZIP_SOURCE_OPEN:
        return device->seek(0) ? 0 : source_failed(source, ZIP_ER_SEEK);
    case ZIP_SOURCE_READ: {
        const qint64 wanted = qint64(qMin<zip_uint64_t>(length, 1 << 30));
        const qint64 got = device->read(static_cast<char *>(data), wanted);
        return got < 0 ? source_failed(source, ZIP_ER_READ) : got;
    }
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_STAT: {
        zip_stat_t *stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &source->error);
        if (!stat)
            return -1;
        zip_stat_init(stat);
        stat->size = zip_uint64_t(device->size());
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t offset = zip_source_seek_compute_offset(
            zip_uint64_t(device->pos()), zip_uint64_t(device->size()), data, length, &source->error);
        if (offset < 0)
            return -1;
        return device->seek(offset) ? 0 : source_failed(source, ZIP_ER_SEEK);
    }
    case ZIP_SOURCE_TELL:
        return device->pos();
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                              ZIP_SOURCE_SUPPORTS, -1);
    default:
        return source_failed(source, ZIP_ER_OPNOTSUPP);
    }
}

// An archive open for reading; discarded (never written back) with the object.
class Archive
{
public:
    explicit Archive(DeviceSource *source)
        : m_source(source)
    {
    }
    ~Archive() { close(); }
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    // Opens with `flags`; on failure the libzip error code goes to *code.
    bool open(int flags, int *code)
    {
        close();
        zip_error_init(&m_source->error);
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_function_create(device_source, m_source, &error);
        if (source) {
            m_zip = zip_open_from_source(source, flags, &error);
            if (!m_zip)
                zip_source_free(source);
        }
        *code = zip_error_code_zip(&error);
        m_reason = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        return m_zip != nullptr;
    }
    void close()
    {
        if (m_zip)
            zip_discard(m_zip);
        m_zip = nullptr;
    }
    zip_t *get() const { return m_zip; }
    QString reason() const { return m_reason; }

private:
    DeviceSource *m_source;
    zip_t *m_zip = nullptr;
    QString m_reason;
};

// An entry name as text for messages (libzip's reading of its encoding).
QString shown_name(zip_t *zip, zip_uint64_t index)
{
    const char *name = zip_get_name(zip, index, ZIP_FL_ENC_GUESS);
    return name ? QString::fromUtf8(name) : QString();
}

// What an entry name means for the package.
struct NameUse
{
    enum Kind
    {
        Other,   // not one of the four: passed over
        File,    // exactly one of the four
        Folder,  // one of the four as a folder ("wlan.bin/", "wlan.bin/x")
        Alias    // one of the four reached through folders or ".." ("./wlan.bin", "a/../wlan.bin")
    };
    Kind kind = Other;
    QString file;
};

NameUse name_use(const QByteArray &name)
{
    static const QStringList files = {MANIFEST_FILE, WLAN_IMAGE_FILE, TXU_IMAGE_FILE, RXU_IMAGE_FILE};
    for (const QString &file : files) {
        if (name == file.toLatin1())
            return {NameUse::File, file};
    }
    // The name as an extracting program would resolve it: both slashes
    // separate folders, "." is the folder itself, ".." goes up but never
    // above the top.
    QList<QByteArray> parts;
    QByteArray normal = name;
    normal.replace('\\', '/');
    for (const QByteArray &part : normal.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    if (parts.isEmpty())
        return {};
    const bool folder = normal.endsWith('/') || parts.size() > 1;
    for (const QString &file : files) {
        if (parts.first() != file.toLatin1())
            continue;
        if (folder)
            return {NameUse::Folder, file};
        return {NameUse::Alias, file};
    }
    return {};
}

// Whether the entry is stored as something else than a plain file: a folder,
// a link, a device. Only archives made on Unix-like systems tell a link.
bool stored_as_non_file(zip_t *zip, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(zip, index, 0, &system, &attributes) != 0)
        return false;
    // The Unix file type in the top bits, as archives made on Unix carry it
    // (the same numbers on every system, so they are spelt out).
    constexpr zip_uint32_t UNIX_TYPE = 0170000;
    constexpr zip_uint32_t UNIX_REGULAR_FILE = 0100000;
    if (system == ZIP_OPSYS_UNIX) {
        const zip_uint32_t type = (attributes >> 16) & UNIX_TYPE;
        if (type != 0 && type != UNIX_REGULAR_FILE)
            return true;
    }
    // The DOS folder bit, which every system writes.
    return (attributes & 0x10) != 0;
}

QString not_a_regular_file_text(const QString &file)
{
    return QObject::tr("%1 is not a regular file.").arg(file);
}

// Reads entry `index` (`file`, at most `limit` bytes) into `entry`. The size
// is checked before the first byte is read, and the read stops one byte past
// it, so a size field that lies costs no more than the limit. What makes the
// whole package unusable goes to *error.
bool read_entry(zip_t *zip, zip_uint64_t index, const QString &file, qint64 limit, PackageFile *entry,
                QString *error)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(zip, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)
        || !(stat.valid & ZIP_STAT_COMP_METHOD)) {
        *error = QObject::tr("%1 is damaged (%2).").arg(file, QString::fromLocal8Bit(zip_strerror(zip)));
        return false;
    }
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
        *error = QObject::tr("%1 is encrypted in the package; it cannot be read.").arg(file);
        return false;
    }
    if (!zip_compression_method_supported(stat.comp_method, 0)) {
        *error = QObject::tr("%1 is compressed in a way that cannot be read (method %2).")
                     .arg(file, QString::number(stat.comp_method));
        return false;
    }
    if (stored_as_non_file(zip, index)) {
        entry->problem = not_a_regular_file_text(file);
        return true;
    }
    if (stat.size > zip_uint64_t(limit)) {
        if (file == MANIFEST_FILE)
            *error = QObject::tr("%1 holds %2 bytes; a manifest holds at most %3 bytes.")
                         .arg(file, QString::number(stat.size), QString::number(limit));
        else
            entry->problem = image_too_large(file, qint64(qMin<zip_uint64_t>(stat.size, zip_uint64_t(INT64_MAX))));
        return error->isEmpty();
    }

    zip_file_t *data = zip_fopen_index(zip, index, 0);
    if (!data) {
        *error = QObject::tr("%1 cannot be read from the package (%2).")
                     .arg(file, QString::fromLocal8Bit(zip_strerror(zip)));
        return false;
    }
    const qint64 size = qint64(stat.size);
    QByteArray bytes(int(size + 1), Qt::Uninitialized);
    qint64 got = 0;
    zip_int64_t n = 0;
    // One byte more than the size field: an entry that holds more shows.
    while (got <= size && (n = zip_fread(data, bytes.data() + got, zip_uint64_t(size + 1 - got))) > 0)
        got += n;
    QString damage;
    if (n < 0)
        damage = zip_error_code_zip(zip_file_get_error(data)) == ZIP_ER_CRC
            ? QObject::tr("its checksum does not match")
            : QString::fromLocal8Bit(zip_file_strerror(data));
    else if (got > size)
        damage = QObject::tr("it holds more than the %1 bytes it claims").arg(size);
    else if (got < size)
        damage = QObject::tr("it holds %1 of the %2 bytes it claims").arg(got).arg(size);
    zip_fclose(data);
    if (!damage.isEmpty()) {
        *error = QObject::tr("%1 is damaged (%2).").arg(file, damage);
        return false;
    }
    bytes.resize(int(size));
    entry->bytes = bytes;
    return true;
}

} // namespace

bool read_package_archive(QIODevice *archive, const QString &archive_name, PackageFiles *files, QString *error)
{
    *files = PackageFiles();
    error->clear();
    // Shorter than the end record that every zip archive ends with (an empty
    // file would otherwise read as an empty archive).
    if (archive->size() < 22) {
        *error = QObject::tr("%1 is not a zip archive.").arg(archive_name);
        return false;
    }
    DeviceSource source{archive, {}};
    Archive zip(&source);
    int code = 0;
    // The consistency check compares each entry's own header with the
    // archive's directory; it also refuses two entries of one name, which
    // are then looked for by name below.
    if (!zip.open(ZIP_RDONLY | ZIP_CHECKCONS, &code) && !(code == ZIP_ER_EXISTS && zip.open(ZIP_RDONLY, &code))) {
        switch (code) {
        case ZIP_ER_NOZIP:
            *error = QObject::tr("%1 is not a zip archive.").arg(archive_name);
            break;
        case ZIP_ER_INCONS:
            *error = QObject::tr("%1 is damaged: its entries do not match its directory.").arg(archive_name);
            break;
        default:
            *error = QObject::tr("%1 cannot be read as a zip archive (%2).").arg(archive_name, zip.reason());
            break;
        }
        return false;
    }

    zip_int64_t index_of[4] = {-1, -1, -1, -1};
    bool folder[4] = {};
    const QString names[4] = {MANIFEST_FILE, WLAN_IMAGE_FILE, TXU_IMAGE_FILE, RXU_IMAGE_FILE};
    auto slot = [&names](const QString &file) { return int(std::find(names, names + 4, file) - names); };

    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    QSet<QByteArray> seen;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(zip.get(), zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (!raw) {
            *error = QObject::tr("%1 is damaged: an entry has no name.").arg(archive_name);
            return false;
        }
        const QByteArray name(raw);
        if (seen.contains(name)) {
            *error = QObject::tr("The package holds two entries named \"%1\".").arg(shown_name(zip.get(), zip_uint64_t(i)));
            return false;
        }
        seen.insert(name);
        const NameUse use = name_use(name);
        switch (use.kind) {
        case NameUse::Other:
            break;
        case NameUse::File:
            index_of[slot(use.file)] = i;
            break;
        case NameUse::Folder:
            folder[slot(use.file)] = true;
            break;
        case NameUse::Alias:
            *error = QObject::tr("The package names %1 \"%2\": its files must be at its top level, "
                                 "without folders or \"..\" in their names.")
                         .arg(use.file, shown_name(zip.get(), zip_uint64_t(i)));
            return false;
        }
    }

    for (int f = 0; f < 4; ++f) {
        PackageFile *entry = files->file(names[f]);
        if (folder[f]) {
            entry->found = true;
            entry->problem = not_a_regular_file_text(names[f]);
            continue;
        }
        if (index_of[f] < 0)
            continue;
        entry->found = true;
        const qint64 limit = f == 0 ? MAX_MANIFEST_SIZE : MAX_IMAGE_SIZE;
        if (!read_entry(zip.get(), zip_uint64_t(index_of[f]), names[f], limit, entry, error))
            return false;
    }
    return true;
}

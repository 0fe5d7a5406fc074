#include "package_archive.h"

#include "firmware_package.h"
#include "image_chunks.h"

#include <QHash>
#include <QIODevice>
#include <QCoreApplication>

#include <algorithm>
#include <cstring>

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

// The words of the reading of a package's archive.
class PackageArchive
{
    Q_DECLARE_TR_FUNCTIONS(PackageArchive)
};

// A package holds four files; an archive with far more entries is not one,
// and reading its directory would hold the window for seconds.
constexpr qint64 MAX_ENTRIES = 4096;
constexpr qint64 MAX_DIRECTORY_SIZE = 1024 * 1024;
// Compressed data may be a little larger than what it holds, never much.
qint64 most_stored(qint64 limit)
{
    return limit + limit / 100 + 64 * 1024;
}

// The archive as libzip reads it: through the device, which is never written.
struct DeviceSource
{
    QIODevice *device;
    qint64 size;
    zip_error_t error;
    QString failure;  // the device's own words for a read that failed
    // The archive's last bytes, as the search for its end record read them:
    // libzip's own search reads them from here, so both see the same bytes.
    QByteArray tail;
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
        const qint64 at = device->pos();
        // What lies before the tail comes from the device, the rest from the tail.
        const qint64 tail_at = source->size - source->tail.size();
        const qint64 before_tail = qBound<qint64>(0, tail_at - at, wanted);
        qint64 got = 0;
        if (before_tail > 0) {
            got = device->read(static_cast<char *>(data), before_tail);
            if (got < 0) {
                source->failure = device->errorString();
                return source_failed(source, ZIP_ER_READ);
            }
            if (got < before_tail)
                return got;
        }
        const qint64 from_tail = qMin(wanted - got, source->size - (at + got));
        if (from_tail <= 0)
            return got;
        memcpy(static_cast<char *>(data) + got, source->tail.constData() + (at + got - tail_at), size_t(from_tail));
        return device->seek(at + got + from_tail) ? got + from_tail : source_failed(source, ZIP_ER_SEEK);
    }
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_STAT: {
        zip_stat_t *stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &source->error);
        if (!stat)
            return -1;
        zip_stat_init(stat);
        stat->size = zip_uint64_t(source->size);
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t offset = zip_source_seek_compute_offset(
            zip_uint64_t(device->pos()), zip_uint64_t(source->size), data, length, &source->error);
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

// An entry name as text (libzip's reading of its encoding).
QString text_name(zip_t *zip, zip_uint64_t index)
{
    const char *raw = zip_get_name(zip, index, ZIP_FL_ENC_GUESS);
    return raw ? QString::fromUtf8(raw) : QString();
}

// A name for messages, with control characters shown as "?": a name must
// not steer a terminal.
QString shown(QString name)
{
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return name;
}

QString shown_name(zip_t *zip, zip_uint64_t index)
{
    return shown(text_name(zip, index));
}

// The parts of an entry name as an extracting program would resolve it:
// both slashes separate folders, "." is the folder itself, ".." goes up but
// never above the top. *folder tells whether the name ends with a slash.
template <typename Name>
QList<Name> resolved_parts(Name name, bool *folder)
{
    name.replace('\\', '/');
    *folder = name.endsWith('/');
    QList<Name> parts;
    for (const Name &part : name.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return parts;
}

// The name an extracting program would write the entry to, as text ("" when
// it names no file or folder), ending with a slash where the entry's does.
QString resolved_name(const QString &text)
{
    bool folder = false;
    const QStringList parts = resolved_parts(text, &folder);
    if (parts.isEmpty())
        return QString();
    return parts.join(QLatin1Char('/')) + (folder ? QStringLiteral("/") : QString());
}

quint64 little_endian(const QByteArray &bytes, int at, int width)
{
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes.at(at + i));
    return value;
}

QByteArray read_at(QIODevice *device, quint64 at, int length)
{
    if (at > quint64(INT64_MAX) || !device->seek(qint64(at)))
        return QByteArray();
    return device->read(length);
}

// The largest number of entries, and the largest directory, that the end
// records of the archive claim, read before the directory itself; false when
// the archive has no end record that fits it (the zip reader then says what
// the file is).
//
// The end record (22 bytes, then a comment of at most 65,535 bytes) is found
// by its signature, which the comment may hold too, even as a whole end
// record. So every signature in the last 65,557 bytes is a candidate, and one
// is believed only where it fits the file: its comment ends within the file,
// and the directory it points to (through the zip64 end record where it says
// so) lies before it, has room for the entries it counts and starts with a
// directory entry, unless empty. More than one may fit, and an unpacker may
// believe any of them (libzip, given two, took the larger): the largest
// counts. *whole_fits counts those that fit and whose comment ends exactly
// where the file does: an archive has one such, and two make it ambiguous
// (one unpacker finds one directory, another the other).
bool directory_extent(DeviceSource *source, quint64 *entries, quint64 *directory_size, int *whole_fits)
{
    QIODevice *device = source->device;
    const qint64 size = source->size;
    constexpr int END_RECORD = 22;
    constexpr int MAX_COMMENT = 0xFFFF;
    constexpr int LOCATOR = 20;
    constexpr int ZIP64_RECORD = 56;
    constexpr int DIRECTORY_ENTRY = 46;  // the least a directory entry takes
    const QByteArray end_signature("PK\x05\x06", 4);
    const QByteArray entry_signature("PK\x01\x02", 4);
    const qint64 tail_at = size - qMin<qint64>(size, END_RECORD + MAX_COMMENT);
    source->tail = read_at(device, quint64(tail_at), int(size - tail_at));
    if (source->tail.size() != size - tail_at) {
        source->tail.clear();
        return false;
    }
    const QByteArray &tail = source->tail;
    // The bytes at `at`, from the tail where it holds them.
    auto bytes_at = [&](quint64 at, int length) {
        if (at >= quint64(tail_at) && at <= quint64(size) && quint64(length) <= quint64(size) - at)
            return tail.mid(int(at - quint64(tail_at)), length);
        return read_at(device, at, length);
    };

    bool found = false;
    *entries = 0;
    *directory_size = 0;
    *whole_fits = 0;
    for (int end = int(tail.lastIndexOf(end_signature)); end >= 0;
         end = end > 0 ? int(tail.lastIndexOf(end_signature, end - 1)) : -1) {
        const quint64 record_at = quint64(tail_at + end);
        if (end + END_RECORD > tail.size())
            continue;
        const quint64 comment_end = record_at + END_RECORD + little_endian(tail, end + 20, 2);
        if (comment_end > quint64(size))
            continue;
        const bool whole = comment_end == quint64(size);
        quint64 count = little_endian(tail, end + 10, 2);
        quint64 extent = little_endian(tail, end + 12, 4);
        quint64 offset = little_endian(tail, end + 16, 4);
        // Where the directory must end: at the end record, or at the zip64
        // end record, found through its locator just before the end record.
        quint64 directory_end = record_at;
        if (count == 0xFFFF || extent == 0xFFFFFFFF || offset == 0xFFFFFFFF) {
            const QByteArray locator = record_at >= LOCATOR ? bytes_at(record_at - LOCATOR, LOCATOR) : QByteArray();
            if (locator.size() == LOCATOR && locator.startsWith(QByteArray("PK\x06\x07", 4))) {
                const quint64 zip64_at = little_endian(locator, 8, 8);
                const QByteArray record = record_at >= LOCATOR + ZIP64_RECORD
                        && zip64_at <= record_at - LOCATOR - ZIP64_RECORD
                    ? bytes_at(zip64_at, ZIP64_RECORD)
                    : QByteArray();
                if (record.size() == ZIP64_RECORD && record.startsWith(QByteArray("PK\x06\x06", 4))) {
                    count = little_endian(record, 32, 8);
                    extent = little_endian(record, 40, 8);
                    offset = little_endian(record, 48, 8);
                    directory_end = zip64_at;
                }
            }
        }
        if (offset > directory_end || extent > directory_end - offset || count > extent / DIRECTORY_ENTRY)
            continue;
        // One that would change nothing is not looked into further, unless
        // it may make the archive ambiguous.
        if (!whole && found && count <= *entries && extent <= *directory_size)
            continue;
        if (extent > 0 && bytes_at(offset, 4) != entry_signature)
            continue;
        found = true;
        if (whole)
            ++*whole_fits;
        *entries = qMax(*entries, count);
        *directory_size = qMax(*directory_size, extent);
    }
    return found;
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
    bool ends_with_slash = false;
    const QList<QByteArray> parts = resolved_parts(name, &ends_with_slash);
    if (parts.isEmpty())
        return {};
    const bool folder = ends_with_slash || parts.size() > 1;
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
    return PackageArchive::tr("%1 is not a regular file.").arg(file);
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
        *error = PackageArchive::tr("%1 is damaged (%2).").arg(file, QString::fromLocal8Bit(zip_strerror(zip)));
        return false;
    }
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
        *error = PackageArchive::tr("%1 is encrypted in the package; it cannot be read.").arg(file);
        return false;
    }
    if (!zip_compression_method_supported(stat.comp_method, 0)) {
        *error = PackageArchive::tr("%1 is compressed in a way that cannot be read (method %2).")
                     .arg(file, QString::number(stat.comp_method));
        return false;
    }
    if (stored_as_non_file(zip, index)) {
        entry->problem = not_a_regular_file_text(file);
        return true;
    }
    if (stat.size > zip_uint64_t(limit)) {
        const qint64 size = qint64(qMin<zip_uint64_t>(stat.size, zip_uint64_t(INT64_MAX)));
        if (file == MANIFEST_FILE)
            *error = PackageArchive::tr("%1 holds %2 bytes; a manifest holds at most %3 bytes.")
                         .arg(file, QString::number(size), QString::number(limit));
        else
            entry->problem = image_too_large(file, size);
        return error->isEmpty();
    }
    // Compressed data far larger than its content would be read and
    // inflated in full before the checksum shows anything.
    if ((stat.valid & ZIP_STAT_COMP_SIZE) && stat.comp_size > zip_uint64_t(most_stored(limit))) {
        *error = PackageArchive::tr("%1 is damaged (it takes %2 bytes in the package for at most %3).")
                     .arg(file, QString::number(qMin<zip_uint64_t>(stat.comp_size, zip_uint64_t(INT64_MAX))),
                          QString::number(limit));
        return false;
    }

    zip_file_t *data = zip_fopen_index(zip, index, 0);
    if (!data) {
        *error = PackageArchive::tr("%1 cannot be read from the package (%2).")
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
            ? PackageArchive::tr("its checksum does not match")
            : QString::fromLocal8Bit(zip_file_strerror(data));
    else if (got > size)
        damage = PackageArchive::tr("it holds more than the %n bytes it claims", nullptr, int(size));
    else if (got < size)
        damage = PackageArchive::tr("it holds %1 of the %n bytes it claims", nullptr, int(size)).arg(got);
    zip_fclose(data);
    if (!damage.isEmpty()) {
        *error = PackageArchive::tr("%1 is damaged (%2).").arg(file, damage);
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
        *error = PackageArchive::tr("%1 is not a zip archive.").arg(archive_name);
        return false;
    }
    DeviceSource source{archive, archive->size(), {}, {}, {}};
    quint64 entries = 0;
    quint64 directory_size = 0;
    int whole_fits = 0;
    const bool extent_known = directory_extent(&source, &entries, &directory_size, &whole_fits);
    if (extent_known && (entries > quint64(MAX_ENTRIES) || directory_size > quint64(MAX_DIRECTORY_SIZE))) {
        *error = PackageArchive::tr("%1 holds %2 entries; a firmware package holds a few.")
                     .arg(archive_name, QString::number(entries));
        return false;
    }
    // Two end records that each fit the whole file: which directory is the
    // archive's cannot be told, and unpackers may differ in what they find.
    if (whole_fits > 1) {
        *error = PackageArchive::tr("%1 is damaged: it ends with more than one directory record, "
                                    "so what it holds cannot be told.")
                     .arg(archive_name);
        return false;
    }
    Archive zip(&source);
    int code = 0;
    // Each entry is read by what the directory says of it and checked
    // against its checksum and size; an entry's own header may leave those
    // to a record after the data (as zip writes to a pipe). Two entries of
    // one name are looked for below.
    if (!zip.open(ZIP_RDONLY, &code)) {
        switch (code) {
        case ZIP_ER_NOZIP:
            *error = PackageArchive::tr("%1 is not a zip archive.").arg(archive_name);
            break;
        case ZIP_ER_READ:
            *error = PackageArchive::tr("%1 cannot be read (%2).")
                         .arg(archive_name, source.failure.isEmpty() ? zip.reason() : source.failure);
            break;
        case ZIP_ER_MEMORY:
            *error = PackageArchive::tr("%1 cannot be read as a zip archive (%2).").arg(archive_name, zip.reason());
            break;
        default:
            *error = PackageArchive::tr("%1 is damaged: its directory cannot be read.").arg(archive_name);
            break;
        }
        return false;
    }

    zip_int64_t index_of[4] = {-1, -1, -1, -1};
    bool folder[4] = {};
    const QString names[4] = {MANIFEST_FILE, WLAN_IMAGE_FILE, TXU_IMAGE_FILE, RXU_IMAGE_FILE};
    auto slot = [&names](const QString &file) { return int(std::find(names, names + 4, file) - names); };

    // Should libzip have believed an end record that the search above passed
    // over, its count still stops the archive before any entry is read.
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    if (count > MAX_ENTRIES) {
        *error = PackageArchive::tr("%1 holds %2 entries; a firmware package holds a few.")
                     .arg(archive_name, QString::number(count));
        return false;
    }
    // Each name resolved as an unpacker would and case-folded, with the
    // first entry of that name: an unpacker that ignores case would give
    // either of two names that differ only in case ("wlan.bin" and
    // "./WLAN.BIN" as well as "WLAN.BIN").
    QHash<QString, zip_uint64_t> folded;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(zip.get(), zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (!raw) {
            *error = PackageArchive::tr("%1 is damaged: an entry has no name.").arg(archive_name);
            return false;
        }
        const QByteArray name(raw);
        const NameUse use = name_use(name);
        if (use.kind == NameUse::Alias) {
            *error = PackageArchive::tr("The package names %1 \"%2\": its files must be at its top level, "
                                 "without folders or \"..\" in their names.")
                         .arg(use.file, shown_name(zip.get(), zip_uint64_t(i)));
            return false;
        }
        const QString text = text_name(zip.get(), zip_uint64_t(i));
        const QString resolved = resolved_name(text);
        const QString key = (resolved.isEmpty() ? text : resolved).toCaseFolded();
        const auto first = folded.constFind(key);
        if (first != folded.constEnd()) {
            const QString first_text = text_name(zip.get(), first.value());
            if (first_text == text)
                *error = PackageArchive::tr("The package holds two entries named \"%1\".")
                             .arg(shown_name(zip.get(), zip_uint64_t(i)));
            else if (resolved_name(first_text) == resolved && !resolved.isEmpty())
                *error = PackageArchive::tr("The package holds two entries named \"%1\".").arg(shown(resolved));
            else
                *error = PackageArchive::tr("The package holds two entries named \"%1\" and \"%2\", "
                                            "which differ only in case.")
                             .arg(shown_name(zip.get(), first.value()), shown_name(zip.get(), zip_uint64_t(i)));
            return false;
        }
        folded.insert(key, zip_uint64_t(i));
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
            break;
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

#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// The archive side of a firmware package: of a zip archive only the four
// top-level entries fw.txt, wlan.bin, txu.ldr and rxu.ldr are read, straight
// into memory. Every other entry is passed over unread.

// The most a manifest may hold. Its four lines take a few dozen bytes.
constexpr qint64 MAX_MANIFEST_SIZE = 64 * 1024;

// One of the four files as the archive holds it.
struct PackageFile
{
    bool found = false;  // the archive has an entry of this name
    QByteArray bytes;    // the entry's content, when found and usable
    QString problem;     // why it cannot be used (not a regular file, too large), naming it
};

// The four files; `name` is one of MANIFEST_FILE, WLAN_IMAGE_FILE,
// TXU_IMAGE_FILE and RXU_IMAGE_FILE.
struct PackageFiles
{
    PackageFile manifest;
    PackageFile wlan;
    PackageFile txu;
    PackageFile rxu;

    PackageFile *file(const QString &name);
};

// Reads the zip archive on `archive` (open for reading, seekable). Each of the
// four files is checked against its limit before any of it is read, and read
// no further than the limit whatever its size field says; its checksum is
// checked. `archive_name` names the archive in messages.
//
// Refuses, with the reason in *error naming the entry: what is not a zip
// archive or is inconsistent, an archive of thousands of entries (told from
// its end records before its directory is read, whatever its comment holds),
// two entries of one name or of names that differ only in case (case folded,
// as an unpacker that ignores case would take them), one of the four named
// through folders or ".." (such as "./wlan.bin"), one of them encrypted,
// compressed in a way that cannot be read, or damaged. An entry that is not a
// regular file (a folder, a link) or an image too large to be sent is not
// refused here: its `problem` says why, and whoever needs it reports it.
bool read_package_archive(QIODevice *archive, const QString &archive_name, PackageFiles *files, QString *error);

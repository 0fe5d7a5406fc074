#include "background_save.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>
#include <QThread>

#include <algorithm>

QString suggested_save_path(const QString &stem, const QString &suffix)
{
    // Not QDateTime::toString(), which writes the digits of the user's locale
    // with Qt 5: the name is in ASCII digits everywhere.
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return QDir::home().filePath(stem
                                 + QString::asprintf("%04d%02d%02d-%02d%02d%02d", date.year(), date.month(),
                                                     date.day(), time.hour(), time.minute(), time.second())
                                 + suffix);
}

BackgroundSave::BackgroundSave(const QString &failure, QObject *parent)
    : QObject(parent)
    , m_failure(failure)
{
}

BackgroundSave::~BackgroundSave()
{
    if (m_thread) {
        m_stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool BackgroundSave::start(const QString &path, quint64 records, Writer writer)
{
    if (m_thread)
        return false;
    m_path = path;
    m_error.clear();
    m_stop = false;
    m_thread = QThread::create([this, path, records, writer = std::move(writer)] {
        // Only m_error is written here; it is read once the thread has ended.
        int told = -1;
        const WriteProgress progress = [&](quint64 written) {
            const int percent = records > 0 ? int(std::min<quint64>(written * 100 / records, 100)) : 100;
            if (percent != told) {
                told = percent;
                emit this->progress(percent);
            }
            return !m_stop;
        };
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            m_error = failure_text(path, file.errorString());
            return;
        }
        if (!writer(&file, progress)) {
            m_error = failure_text(path, m_stop ? tr("the save was stopped") : file.errorString());
            file.cancelWriting();
            return;
        }
        if (!file.commit())
            m_error = failure_text(path, file.errorString());
    });
    connect(m_thread, &QThread::finished, this, &BackgroundSave::thread_ended);
    m_thread->start();
    return true;
}

QString BackgroundSave::failure_text(const QString &path, const QString &reason) const
{
    return m_failure.arg(QDir::toNativeSeparators(path),
                         reason.isEmpty() ? tr("the file could not be written") : reason);
}

void BackgroundSave::thread_ended()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    emit finished(m_path, m_error);
}

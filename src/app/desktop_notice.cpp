#include "desktop_notice.h"

#include <QCoreApplication>

#ifdef TVC_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>
#endif

void notify_desktop(const QString &summary, const QString &body)
{
#ifdef TVC_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                                       QStringLiteral("/org/freedesktop/Notifications"),
                                                       QStringLiteral("org.freedesktop.Notifications"),
                                                       QStringLiteral("Notify"));
    // The application's name, no notification to replace, its icon, the
    // texts, no actions, a hint of urgency, and the server's own timeout.
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("com.tavero.Companion"));
    call << QCoreApplication::applicationName() << uint(0) << QStringLiteral("com.tavero.Companion") << summary
         << body << QStringList() << hints << int(-1);
    bus.send(call);
#else
    Q_UNUSED(summary)
    Q_UNUSED(body)
#endif
}

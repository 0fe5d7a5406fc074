#pragma once

#include <QString>

// Shows a notification on the desktop through the freedesktop notification
// service on the session bus; nothing where there is no such service (or no
// D-Bus). Never waits for the service.
void notify_desktop(const QString &summary, const QString &body);

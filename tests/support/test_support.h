#pragma once

#include "port_finder.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// Looks up a widget or action of the program by object name; a missing one
// ends the test run, since every later check would be meaningless.
template <class T>
T *child(QObject *root, const char *name)
{
    T *found = root->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

// A port list with a single device bridge on `path`.
PortFinder one_bridge(const QString &path);

// Bytes as hex pairs, for readable failure messages.
QByteArray hex(const QByteArray &bytes);

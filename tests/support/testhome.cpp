#include "testhome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestHome::TestHome() = default;

QString TestHome::path(const QString& name) const
{
    return m_dir.filePath(name);
}

QString TestHome::write(const QString& name, const QByteArray& bytes) const
{
    const QString full = path(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return full;
}

QByteArray TestHome::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

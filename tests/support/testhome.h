#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh folder for a test's files, with helpers to write and read them.
class TestHome {
public:
    TestHome();
    QString path(const QString& name) const;
    QString write(const QString& name, const QByteArray& bytes) const;
    static QByteArray read(const QString& path);

private:
    QTemporaryDir m_dir;
};

#include "filestamp.h"

#include <QFile>

#include <sys/stat.h>

qint64 FileStamp::inodeOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return 0;
    return qint64(status.st_ino);
}

#include "linkerror.h"

namespace LinkError {

QString text(int code)
{
    QString words;
    switch (code) {
    case 1:
        words = QStringLiteral("1 - Data requested is wrong format.");
        break;
    case 6:
        words = QStringLiteral("6 - The other application attempted to continue a closed DDE "
                               "conversation.");
        break;
    case 7:
        words = QStringLiteral("7 - Limit of 128 DDE links has been exceeded.  No more source "
                               "links are available.");
        break;
    case 8:
        words = QStringLiteral("8 - Update failed.");
        break;
    case 11:
        words = QStringLiteral("11 - Not enough memory for DDE.");
        break;
    default:
        words = QStringLiteral("Unknown error code: ") + QString::number(code);
        break;
    }
    return QStringLiteral("DDE Error: ") + words;
}

QString handoffFailed(const QString& commandLine, int errorNumber, const QString& description)
{
    return QStringLiteral("File: ") + commandLine + u'\n' + QStringLiteral("DDE Error: ") +
           QString::number(errorNumber) + u' ' + description;
}

} // namespace LinkError

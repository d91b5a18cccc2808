#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

// The file, colour, printer and page dialogs as the rest of the program calls
// them: plain values in, a path, a colour, a cancelled flag or margins out.
namespace CommonDialogAPI {

// Flag bits of the open and save dialogs.
constexpr int OFN_FILEMUSTEXIST = 0x1000;
constexpr int OFN_CREATEPROMPT = 0x2000;
constexpr int OFN_OVERWRITEPROMPT = 0x2;
constexpr int OFN_HIDEREADONLY = 0x4;
constexpr int OFN_NODEREFERENCELINKS = 0x100000;
// Flag bits of the print dialog.
constexpr int PD_SELECTION = 0x1;
constexpr int PD_NOSELECTION = 0x4;

// "Text files (*.txt)|*.txt|All Files|*.*" as the file dialog wants it.
QStringList convertFilter(const QString& filter);

QString ShowOpen(QWidget* owner, const QString& defaultExtension, const QString& filter, int flags,
                 const QString& initialFolder, const QString& title, int filterIndex,
                 const QString& initialFileName);
QString ShowSave(QWidget* owner, const QString& defaultExtension, const QString& filter, int flags,
                 const QString& initialFileName, const QString& initialFolder, const QString& title,
                 int filterIndex);
// The chosen colour as 0x00BBGGRR, or -1 when cancelled.
qint32 ShowColor(QWidget* owner, qint32 initialColor);
// True when cancelled; on confirmation flags tells whether the selection was chosen.
bool ShowPrinter(QWidget* owner, int& flags);
// True when cancelled; the margins are in thousandths of an inch.
bool ShowPageSetup(QWidget* owner, int flags, int& top, int& bottom, int& left, int& right);

// The sixteen custom colours of the colour dialog, kept while the program runs.
QList<qint32>& customColors();
// The program's printer, which the print and page-setup dialogs choose.
QPrinter& programPrinter();

} // namespace CommonDialogAPI

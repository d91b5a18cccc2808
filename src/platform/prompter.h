#pragma once

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QList>
#include <QMarginsF>
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

enum class MessageButtons { Ok = 0, OkCancel = 1, YesNoCancel = 3, YesNo = 4 };
enum class MessageIcon {
    None = 0,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64
};

namespace Answer {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace Answer

struct MessageRequest {
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    int defaultButton = 1; // 1, 2 or 3, counted from the left
    // Own names for the buttons, from the left, in place of OK, Yes, No...; the
    // answers stay those of the buttons they rename.
    QStringList buttonTexts = {};
};

struct FileRequest {
    bool save = false;
    bool mustExist = false;
    QString title;
    QStringList nameFilters; // in the file dialog's own form
    int selectedFilter = 0;  // 0-based
    QString initialPath;
    QString initialFolder;
    // False to give back a chosen symbolic link as itself, not its target.
    bool resolveSymlinks = true;
};

// What the font dialog shows and gives back. An empty field is one the selection
// mixes (shown undetermined) or, given back, one the user left alone.
struct FontChoice {
    std::optional<QString> name;
    std::optional<double> size;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> strikeOut;
    std::optional<bool> underline;
    std::optional<QColor> color;
};

struct YesNoAllRequest {
    QString message;
    bool checkBoxVisible = false;
    bool checked = false;
};
struct YesNoAllReply {
    int answer = Answer::Cancel;
    bool checked = false;
};

// A program the "Open with" chooser offers.
struct ProgramInfo {
    QString id;       // its desktop entry, "org.example.Viewer.desktop"
    QString name;     // what the user knows it by
    QString iconName; // a theme icon's name or an icon file's path; empty for none
};

// What the "Open with" chooser shows: the file, its kind, the programs made for
// that kind and, on request, every other program.
struct OpenWithRequest {
    QString path;
    QString contentType;        // "text/plain"
    QString contentDescription; // "plain text document"
    QList<ProgramInfo> recommended;
    QList<ProgramInfo> others;
};
// A listed program, or a command the user typed ("gimp", "vim %f").
struct OpenWithChoice {
    QString applicationId; // empty when a custom command
    QString customCommand;
    bool alwaysUse = false; // the program becomes the default for the content type
};

// The copies of documents a program left unsaved when it ended, as the
// recovery question lists them.
struct RecoveryItem {
    QString name; // the file name, or "Untitled"
    QDateTime savedAt;
    qint64 bytes = 0;
};
struct RecoveryRequest {
    QString text;
    QList<RecoveryItem> items;
};
enum class RecoveryAnswer { Recover, Discard, Later };

// Every question and message the program puts to the user goes through this
// one interface, so that tests can answer them from a script.
class Prompter {
public:
    virtual ~Prompter();

    // Returns 1 OK, 2 Cancel, 6 Yes or 7 No.
    virtual int message(const MessageRequest& request) = 0;
    // Returns the text entered; an empty text means Cancel.
    virtual QString input(const QString& prompt, const QString& title,
                          const QString& defaultText) = 0;
    // Returns the chosen path, or "" when cancelled.
    virtual QString file(const FileRequest& request) = 0;
    virtual std::optional<QColor> color(const QColor& initial, QList<QColor>& customColors) = 0;
    // Nothing when cancelled.
    virtual std::optional<FontChoice> font(const FontChoice& initial) = 0;
    // The print and page-setup dialogs act on the printer; false when cancelled.
    virtual bool printer(QPrinter& printer, bool& selectionOnly, bool allowSelection) = 0;
    virtual bool pageSetup(QPrinter& printer, QMarginsF& marginsInches) = 0;
    virtual YesNoAllReply yesNoAll(const YesNoAllRequest& request) = 0;
    // A list to pick one item from (the first selected): its index, or -1 for Cancel.
    virtual int choose(const QString& title, const QString& label, const QStringList& items) = 0;
    // The program to open a file with; nothing when cancelled.
    virtual std::optional<OpenWithChoice> openWith(const OpenWithRequest& request) = 0;
    // What to do with the recovery copies; unless answered, Later keeps them.
    virtual RecoveryAnswer recovery(const RecoveryRequest& request);

    // The installed prompter; without one, a prompter that shows nothing and
    // refuses every prompt (the program installs the dialogs at start).
    static Prompter& current();
    // Installs a prompter and returns the one it replaces (which stays owned by its owner).
    static Prompter* install(Prompter* prompter);
    // The texts refused because no prompter was installed.
    static QStringList& refused();

    // Shorthands for the common message boxes.
    static int ask(const QString& text, MessageButtons buttons, MessageIcon icon,
                   int defaultButton = 1);
    static void tell(const QString& text, MessageIcon icon);
};

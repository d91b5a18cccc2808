#pragma once

#include "platform/result.h"
#include "platform/tasknumber.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>

class CommandRouter;
struct FrameContext;
struct SettingKey;

// The programs the editor starts outside itself from the Options menu: the
// user's mail, news, secure news and FTP programs, and the disk search and
// replace utility beside the editor. Each is remembered by its task number,
// so choosing it again brings the running program to the front rather than
// starting a second one; one that has ended starts again without a word.
class ExternalTools : public QObject {
    Q_OBJECT
public:
    static inline const QString EmailError =
        QStringLiteral("Error: There was a problem switching to your Email program");
    static inline const QString NewsError =
        QStringLiteral("Error: There was a problem switching to your Usenet News program");
    static inline const QString SnewsError =
        QStringLiteral("Error: There was a problem switching to your Secure Usenet News program");
    static inline const QString FtpError =
        QStringLiteral("Error: There was a problem switching to your FTP program");
    static inline const QString StartErrorPrefix =
        QStringLiteral("Error: There was a problem starting ");
    // An address whose kind of link no program on the desktop takes.
    static inline const QString NoProgramForLinks = QStringLiteral(
        "Error: No program is set up to open %1 links.  Choose one for them in your desktop's "
        "default applications, or name a program for this command in the Options.");
    static inline const QString FilePrefix = QStringLiteral("File: ");
    static inline const QString SearchReplaceError =
        QStringLiteral("Error: There was a problem running the Disk Search & Replace utility");
    static inline const QString SearchReplaceName = QStringLiteral("quillora-search-replace");

    explicit ExternalTools(FrameContext& context, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);

    void mnuIntEmail_Click();
    void mnuIntNews_Click();
    void mnuIntSnews_Click();
    void mnuIntFTP_Click();
    void mnuSAR_Click();

    // Starts a program (its command split into the program and its arguments)
    // or opens an address ("mailto:") with the desktop's program for its
    // scheme. The task number is none for an address, which the desktop's
    // program owns; an error carries the message to show, or none where the
    // command's own message says it (the scheme's program failed to start).
    Result<TaskNumber> StartExternal(const QString& target);
    // The address a setting's value stands for, when it is one: a scheme and
    // no blanks ("mailto:", "FTP://host"); anything else names a program.
    static std::optional<QUrl> urlPrefix(const QString& value);

    // The remembered program of a command ("mnuIntEmail", "mnuSAR").
    TaskNumber& taskNumber(const QString& command) { return m_tools[command].task; }
    // The folder the search and replace utility is looked for in: the
    // editor's own.
    QString toolsFolder;

private:
    struct Tool {
        TaskNumber task;
        bool started = false; // its entry's tick: started at least once
    };
    // True when the command's program still runs (it is brought to the
    // front); an ended one is forgotten. A failed switch shows the error, or,
    // without one, forgets the program too.
    bool switchTo(Tool& tool, const QString& error);
    void runInternet(const QString& command, const SettingKey& key, const QString& error);
    void ticked(Tool& tool);

    FrameContext& m_context;
    QHash<QString, Tool> m_tools;
};

#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>

class About;
class CommandRouter;
class frmHelpCheck;
class HelpViewer;
class QTextBrowser;
class QWidget;
struct FrameContext;

// The Help menu, F1 and the pop-up help: the user manual and the HTML/CSS
// quick reference in help windows of their own, the notice for a missing
// manual, and the About box.
class HelpController : public QObject {
    Q_OBJECT
public:
    static inline const QString ManualTitle = QStringLiteral("Quillora User Manual");
    static inline const QString ReferenceTitle = QStringLiteral("HTML/CSS Quick Reference");
    static QString referencePage() { return QStringLiteral("htmlref.html"); }

    explicit HelpController(FrameContext& ctx, QObject* parent = nullptr);
    ~HelpController() override;

    void registerCommands(CommandRouter& router);
    // Where the manual is looked for, in order; the installed trees' help folders.
    void setManualFolders(const QStringList& folders) { m_folders = folders; }
    const QStringList& manualFolders() const { return m_folders; }

    void mnuUserManual_Click();
    void mnuHTMLTagRef_Click();
    void mnuAbout_Click();
    // Opens the manual at the topic of a help context number; false, after the
    // notice, when there is no manual.
    bool ShowHelpContext(QWidget* window, int context);
    // Shows a topic of the manual in a small window at a point of the window.
    bool ShowHelpPopup(QWidget* window, QPoint at, int context);
    void PrepareHelpWarning(frmHelpCheck& notice) const;
    static QString helpWarningText(const QStringList& folders);
    // The frame is closing: so do the help windows.
    void closeAll();

    // The windows, once opened.
    HelpViewer* manual() const;
    HelpViewer* reference() const;
    frmHelpCheck* notice() const;
    About* about() const;
    QTextBrowser* popup() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString manualFolder() const;
    void showNotice(QWidget* window);
    int contextOf(QWidget* widget) const;

    FrameContext& m_context;
    QStringList m_folders;
    QPointer<HelpViewer> m_manual;
    QPointer<HelpViewer> m_reference;
    QPointer<frmHelpCheck> m_notice;
    QPointer<About> m_about;
    QPointer<QTextBrowser> m_popup;
    bool m_referenceOpened = false;
};

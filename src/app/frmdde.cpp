#include "frmdde.h"

#include "linkerror.h"
#include "platform/instanceclient.h"
#include "platform/prompter.h"

frmDDE::frmDDE(const QStringList& commandLine, const QString& socketPath, QObject* parent)
    : QObject(parent), m_commandLine(commandLine), m_socketPath(socketPath)
{
    Timer4.setInterval(100);
    Timer4.setSingleShot(true);
    connect(&Timer4, &QTimer::timeout, this, &frmDDE::Timer4_Timer);
}

void frmDDE::Form_Load()
{
    Timer4.start();
}

void frmDDE::Timer4_Timer()
{
    Timer4.stop();
    while (!m_commandLine.isEmpty()) {
        InstanceMessage message;
        message.command = m_commandLine.first();
        if (m_requestId.isEmpty())
            m_requestId = InstanceMessage::newId();
        message.id = m_requestId;
        const InstanceClient::Reply reply = InstanceClient::send(m_socketPath, message, 1000);
        if (reply.outcome == InstanceClient::Outcome::LinkError) {
            Text1_LinkError(reply.linkErrorCode);
            return;
        }
        if (reply.outcome == InstanceClient::Outcome::Failed) {
            if (++LinkAttempts >= MaxAttempts) {
                Prompter::tell(
                    LinkError::handoffFailed(message.command, reply.errorNumber, reply.description),
                    MessageIcon::Exclamation);
                unload();
            } else {
                Timer4.start();
            }
            return;
        }
        m_commandLine.removeFirst();
        m_requestId.clear();
    }
    unload();
}

void frmDDE::Text1_LinkError(int code)
{
    Timer4.stop();
    Prompter::tell(LinkError::text(code), MessageIcon::Exclamation);
    unload();
}

void frmDDE::unload()
{
    m_commandLine.clear();
    emit unloaded();
}

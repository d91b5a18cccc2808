#include "loadprogress.h"

#include "documentmanager.h"
#include "frmtext.h"
#include "richtext/richtextbox.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

LoadProgress::LoadProgress(DocumentManager& documents, QWidget* parent)
    : QWidget(parent), m_label(new QLabel(this)), m_bar(new QProgressBar(this)),
      m_cancel(new QToolButton(this))
{
    setObjectName(QStringLiteral("LoadProgress"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_label);
    row->addWidget(m_bar);
    row->addWidget(m_cancel);
    m_bar->setRange(0, 100);
    m_bar->setMaximumWidth(160);
    m_cancel->setText(CancelCaption);
    m_cancel->setObjectName(QStringLiteral("LoadCancel"));
    connect(m_cancel, &QToolButton::clicked, this, &LoadProgress::cancelShown);
    connect(&documents, &DocumentManager::loadStarted, this, &LoadProgress::follow);
    connect(&documents, &DocumentManager::reloadStarted, this, &LoadProgress::follow);
    hide();
}

frmText* LoadProgress::shown() const
{
    return m_loading.isEmpty() ? nullptr : m_loading.last().data();
}

void LoadProgress::cancelShown()
{
    if (frmText* window = shown())
        window->RichTextBox1->cancelLoad();
}

void LoadProgress::follow(frmText* window)
{
    m_loading.append(window);
    RichTextBox* box = window->RichTextBox1;
    // A window reloaded again is followed once.
    disconnect(box, nullptr, this, nullptr);
    connect(box, &RichTextBox::loadProgressed, this, [this, window](int percent) {
        if (window == shown())
            m_bar->setValue(percent);
    });
    const auto gone = [this, window] {
        m_loading.removeAll(window);
        m_loading.removeAll(nullptr);
        showLatest();
    };
    connect(box, &RichTextBox::loadFinished, this, gone);
    connect(box, &QObject::destroyed, this, gone);
    showLatest();
}

void LoadProgress::showLatest()
{
    frmText* window = shown();
    setVisible(window != nullptr);
    if (!window)
        return;
    m_label->setText(QStringLiteral("Loading ") +
                     QFileInfo(window->RichTextBox1->loadingPath()).fileName());
    m_bar->setValue(window->RichTextBox1->loadPercent());
}

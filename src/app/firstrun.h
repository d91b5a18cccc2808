#pragma once

#include "document/framecontext.h"
#include "platform/datalocations.h"

#include <QObject>
#include <QString>
#include <QStringList>

class ProjectController;

// The first start: copies the installed sample files the user's data folder
// lacks, writes the welcome and templates projects and the four data-file
// settings there, and on the deferred start opens the welcome project.
class FirstRun : public QObject {
    Q_OBJECT
public:
    // "Error: " + path + line break + reason, as every message here reads.
    static QString errorMessage(const QString& path, const QString& reason);
    static QString folderError(const QString& folder);
    static QString missingSamplesError(const QString& lookedIn);
    static QString settingsError(const QString& settingsFile);

    FirstRun(FrameContext& context, ProjectController& projects, const DataLocations& locations,
             QObject* parent = nullptr);

    // The frame's load: the set-up, before any setting is read.
    void load() { SetupFirstRun(); }
    // Does nothing when the program has started before.
    void SetupFirstRun();
    // The welcome project, when this start set up and nothing else was chosen:
    // no path on the command line and no project loaded.
    void deferredStart(const QStringList& commandLine);

    // True only during the run in which the set-up ran.
    bool FirstStart = false;

    const DataLocations& locations() const { return m_locations; }

private:
    // Each failure as the user is shown it; empty when every step succeeded.
    QStringList copySamples();
    QStringList writeProjects();

    FrameContext& m_context;
    ProjectController& m_projects;
    DataLocations m_locations;
};

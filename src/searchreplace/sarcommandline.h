#pragma once

#include "searchoptions.h"

#include <QString>
#include <QStringList>

#include <cstdio>

// The utility's command line: with --find it searches or replaces and prints
// as grep -rn does; without, it names the folder the window opens on.
class SarCommandLine {
public:
    enum Exit { Matched = 0, NothingMatched = 1, Trouble = 2 };

    struct Parsed {
        bool window = false;
        bool help = false; // --help: the usage, and nothing else
        bool dryRun = false;
        bool backup = false;
        QString backupFolder; // empty: the default one
        QString folder;
        SearchOptions options;
        QString error; // a usage error, when not empty
    };

    static Parsed parse(const QStringList& arguments); // without the program name
    // Runs a parsed search or replace; returns the exit code.
    static int run(const Parsed& parsed, FILE* out, FILE* err);

    static const QString Usage;
};

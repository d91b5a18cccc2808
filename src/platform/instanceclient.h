#pragma once

#include "instancemessage.h"

#include <QString>

// A second start's end of the hand-off: one request, one answer.
class InstanceClient {
public:
    enum class Outcome { Accepted, Failed, LinkError };
    struct Reply {
        Outcome outcome = Outcome::Failed;
        int errorNumber = 0;   // the socket's error, when failed
        QString description;   // its words
        int linkErrorCode = 0; // when the running instance reported a link error
    };

    static Reply send(const QString& socketPath, const InstanceMessage& message, int timeoutMs);
};

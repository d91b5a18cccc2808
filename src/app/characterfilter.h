#pragma once

#include <QValidator>
#include <functional>

// Keeps only the characters a box takes, whether typed or pasted: the others
// are dropped and the rest of the text stays.
class CharacterFilter : public QValidator {
public:
    using Filter = std::function<QString(const QString&)>;
    CharacterFilter(Filter filter, QObject* parent);

    State validate(QString& input, int& pos) const override;

private:
    Filter m_filter;
};

#include "characterfilter.h"

CharacterFilter::CharacterFilter(Filter filter, QObject* parent)
    : QValidator(parent), m_filter(std::move(filter))
{}

QValidator::State CharacterFilter::validate(QString& input, int& pos) const
{
    const QString kept = m_filter(input);
    if (kept != input) {
        // The caret stays after the characters kept before it.
        pos = int(m_filter(input.left(pos)).size());
        input = kept;
    }
    return Acceptable;
}

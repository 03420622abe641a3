#include "typing_limit.h"

TypingLimit::TypingLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

QValidator::State TypingLimit::validate(QString& input, int&) const {
    return input.size() <= limit_ ? Acceptable : Invalid;
}

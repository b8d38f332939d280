#pragma once

#include <QByteArray>
#include <QRandomGenerator>

namespace trovix::bench {

// Letters, digits, blanks and dashes, between the two lengths: names and paths as a user types them.
inline QByteArray randomText(QRandomGenerator& random, int minLength, int maxLength)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_";
    const int length = int(random.bounded(minLength, maxLength + 1));
    QByteArray text(length, ' ');
    for (char& c : text)
        c = letters[random.bounded(int(sizeof(letters) - 1))];
    return text;
}

} // namespace trovix::bench

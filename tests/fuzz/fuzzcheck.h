#pragma once

// What every harness shares: the input as text, and a broken property ends the run with a message, so
// that libFuzzer keeps the input that broke it.
#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace trovix::fuzz {

inline QString text(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline void require(bool holds, const char* property, const QString& input)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\ninput: %s\n", property, input.toUtf8().constData());
    std::abort();
}

} // namespace trovix::fuzz

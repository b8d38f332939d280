#pragma once

#include <QString>

#include <exception>
#include <utility>

namespace trovix {

// Numeric run-time error codes the handlers sort on.
namespace ErrorCode {
constexpr int InvalidCall = 5;         // no runnable program, bad argument
constexpr int SubscriptOutOfRange = 9; // e.g. the last piece of an empty path
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int InvalidUseOfNull = 94;
constexpr int InvalidArgument = 3001;    // a criterion or argument the recordset cannot use
constexpr int NoCurrentRecord = 3021;    // at BOF/EOF, or the current row was deleted
constexpr int DatabaseMissing = 3024;    // the database file does not exist
constexpr int DatabaseUnreadable = 3051; // the file exists but cannot be opened or read
constexpr int NotADatabase = 3343;       // not a database, or the key does not fit it
constexpr int ItemNotFound = 3265;       // no field with that position or name
constexpr int ObjectClosed = 3704;       // operation on a closed connection or recordset
constexpr int DatabaseError = 3146;      // any other failure reported by the database engine
} // namespace ErrorCode

// The one exception type of the program: a numeric code and a plain description.
class RuntimeError : public std::exception
{
public:
    RuntimeError(int code, QString description)
        : m_code(code)
        , m_description(std::move(description))
    {
        m_what = m_description.toUtf8();
    }

    int code() const noexcept { return m_code; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_code;
    QString m_description;
    QByteArray m_what;
};

// Runs one step of a handler that goes on with its next step whatever happens:
// a run-time error of this step is swallowed. Returns whether the step completed.
template<typename Step>
bool goOn(Step&& step)
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

} // namespace trovix

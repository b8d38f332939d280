#pragma once

#include <QList>
#include <QString>

#include <tuple>

// Odd text, as every way in must take it: the bad-input tests type, paste and store it, the search looks
// for it.
namespace trovix::oddtext {

// Text that, read as markup, would load an image from a file: a label that read stored text so once froze
// on a named pipe. Read as markup it is drawn as an image, far narrower than its characters.
inline const QString Image = "<img src=\"/tmp/trovix-no-such-image\">";

inline QString repeated(const QString& piece, int length)
{
    return piece.repeated(length / piece.size() + 1).left(length);
}

// Odd texts, and whether each is typable: printable text a keyboard can send, one character a key.
inline const QList<std::tuple<const char*, QString, bool>> Samples = {
        {"apostrophes", "Bob's 'best' tool", true},
        {"double quotes", "The \"quoted\" \"\" one", true},
        {"quotes of both kinds, SQL-like", "x'); drop table softwares; -- \"y\"", true},
        {"blanks only", "     ", true},
        {"blanks around", "   padded   ", true},
        {"right-to-left", "שלום עולם مرحبا بالعالم", true},
        {"direction overrides", "abc \u202Eevil\u202C.exe \u200F", true},
        {"combining marks", "e\u0301cole\u0308 n\u0303a\u0323\u0307", true},
        {"emoji", "🚀 launch 👩‍💻 ✔️ 🇳🇴", true},
        {"percent and backslashes", "100% C:\\Program Files\\x %s %n \\", true},
        {"markup", "<b>bold</b> &lt;x&gt; <i>", true},
        {"an image", Image, true},
        {"control characters", "a\x01z\x07z\x1b z\x7f e\tf", false},
        {"line breaks", "first\nsecond\r\nthird\rfourth", false},
        {"10,000 characters", repeated("abcdefghij", 10000), false},
        {"10,000 characters of quotes", repeated("it's \"x\" ", 10000), false},
};

} // namespace trovix::oddtext

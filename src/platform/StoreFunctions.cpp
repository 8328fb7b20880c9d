#include "StoreFunctions.h"

#include <QChar>
#include <QString>
#include <sqlite3.h>

namespace ostrel {

namespace {

// Reads one code point from UTF-8 (or UTF-16 via the template below).
struct Utf8Cursor {
    const unsigned char* p;
    const unsigned char* end;

    bool atEnd() const { return p >= end; }
    char32_t peek(const unsigned char** next) const
    {
        const unsigned char* q = p;
        char32_t c = *q++;
        int extra = 0;
        if (c >= 0xF0) {
            c &= 0x07;
            extra = 3;
        } else if (c >= 0xE0) {
            c &= 0x0F;
            extra = 2;
        } else if (c >= 0xC0) {
            c &= 0x1F;
            extra = 1;
        }
        while (extra-- > 0 && q < end && (*q & 0xC0) == 0x80)
            c = (c << 6) | (*q++ & 0x3F);
        *next = q;
        return c;
    }
    char32_t take()
    {
        const unsigned char* next;
        const char32_t c = peek(&next);
        p = next;
        return c;
    }
};

struct Utf16Cursor {
    const QChar* p;
    const QChar* end;

    bool atEnd() const { return p >= end; }
    char32_t take()
    {
        char32_t c = p->unicode();
        if (p->isHighSurrogate() && p + 1 < end && (p + 1)->isLowSurrogate()) {
            c = QChar::surrogateToUcs4(*p, *(p + 1));
            ++p;
        }
        ++p;
        return c;
    }
};

inline char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// Glob matching with one backtracking point per "%": linear for the usual
// patterns, never exponential.
template <typename Cursor>
bool match(Cursor pattern, Cursor text, char32_t escape)
{
    Cursor starPattern{nullptr, nullptr};
    Cursor starText{nullptr, nullptr};
    bool haveStar = false;
    while (!text.atEnd()) {
        if (!pattern.atEnd()) {
            Cursor p = pattern;
            char32_t pc = p.take();
            bool literal = false;
            if (escape && pc == escape && !p.atEnd()) {
                pc = p.take();
                literal = true;
            }
            if (!literal && pc == '%') {
                pattern = p;
                starPattern = p;
                starText = text;
                haveStar = true;
                continue;
            }
            Cursor t = text;
            const char32_t tc = t.take();
            if ((!literal && pc == '_') || fold(pc) == fold(tc)) {
                pattern = p;
                text = t;
                continue;
            }
        }
        if (!haveStar)
            return false;
        starText.take();
        text = starText;
        pattern = starPattern;
    }
    while (!pattern.atEnd()) {
        Cursor p = pattern;
        if (p.take() != '%')
            return false;
        pattern = p;
    }
    return true;
}

void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    const auto* pattern = sqlite3_value_text(argv[0]);
    const int patternLength = sqlite3_value_bytes(argv[0]);
    const auto* text = sqlite3_value_text(argv[1]);
    const int textLength = sqlite3_value_bytes(argv[1]);
    char32_t escape = 0;
    if (argc == 3) {
        const auto* e = sqlite3_value_text(argv[2]);
        Utf8Cursor ec{e, e + sqlite3_value_bytes(argv[2])};
        if (ec.atEnd()) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = ec.take();
        if (!ec.atEnd()) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    const bool matched = match(Utf8Cursor{pattern, pattern + patternLength},
                               Utf8Cursor{text, text + textLength}, escape);
    sqlite3_result_int(context, matched ? 1 : 0);
}

void upperFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray upper =
        QString::fromUtf8(text, sqlite3_value_bytes(argv[0])).toUpper().toUtf8();
    sqlite3_result_text(context, upper.constData(), int(upper.size()), SQLITE_TRANSIENT);
}

} // namespace

bool likeMatch(QStringView pattern, QStringView text, char32_t escape)
{
    return match(Utf16Cursor{pattern.data(), pattern.data() + pattern.size()},
                 Utf16Cursor{text.data(), text.data() + text.size()}, escape);
}

void installStoreFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "upper", 1, flags, nullptr, upperFunction, nullptr, nullptr,
                               nullptr);
}

} // namespace ostrel

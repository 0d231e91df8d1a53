#include "data/SelectStatement.h"

namespace meridell::data {

namespace {

// Where the piece of text starting at `i` that is not statement code ends (one past its last
// character), or `i` itself when code starts there.
qsizetype endOfLiteral(const QString& sql, qsizetype i) {
    const qsizetype n = sql.size();
    const QChar c = sql[i];
    const QChar after = i + 1 < n ? sql[i + 1] : QChar();
    QChar close;
    if (c == u'\'' || c == u'"' || c == u'`') {
        close = c;
    } else if (c == u'[') {
        close = u']';
    }
    if (!close.isNull()) {
        // A doubled quote inside ends the quote and opens it again at once, which comes to the same.
        qsizetype end = sql.indexOf(close, i + 1);
        return end < 0 ? n : end + 1;
    }
    if (c == u'-' && after == u'-') {
        qsizetype end = sql.indexOf(u'\n', i + 2);
        return end < 0 ? n : end;
    }
    if (c == u'/' && after == u'*') {
        qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
        return end < 0 ? n : end + 2;
    }
    return i;
}

bool startsName(QChar c) {
    return c.isLetter() || c == u'_';
}

bool continuesName(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Replaces ":name" placeholders in the statement code with "?" and counts every placeholder.
QString positionalSql(const QString& sql, int* count) {
    QString out;
    out.reserve(sql.size());
    *count = 0;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        qsizetype end = endOfLiteral(sql, i);
        if (end > i) {
            out += QStringView(sql).mid(i, end - i);
            i = end;
            continue;
        }
        QChar c = sql[i];
        if (c == u':' && i + 1 < n && startsName(sql[i + 1])) {
            i += 2;
            while (i < n && continuesName(sql[i])) {
                ++i;
            }
            out += u'?';
            ++*count;
            continue;
        }
        if (c == u'?') {
            ++*count;
        }
        out += c;
        ++i;
    }
    return out;
}

}  // namespace

SelectStatement SelectStatement::parse(const QString& sql) {
    SelectStatement s;
    s.positional = positionalSql(sql, &s.parameterCount);
    return s;
}

}  // namespace meridell::data

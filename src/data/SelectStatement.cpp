#include "data/SelectStatement.h"

#include <QRegularExpression>

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

QString codeOnly(const QString& sql) {
    QString out = sql;
    for (qsizetype i = 0; i < sql.size();) {
        qsizetype end = endOfLiteral(sql, i);
        if (end == i) {
            ++i;
            continue;
        }
        for (; i < end; ++i) {
            out[i] = u' ';
        }
    }
    return out;
}

QString SelectStatement::rowIdSql() const {
    return QStringLiteral("select rowid from %1%2").arg(quotedName(table), tail);
}

SelectStatement SelectStatement::parse(const QString& sql) {
    SelectStatement s;
    s.positional = positionalSql(sql, &s.parameterCount);
    static const QRegularExpression editable(
        QStringLiteral(R"re(^\s*select\s+\*\s+from\s+"?([A-Za-z_][A-Za-z0-9_]*)"?(\s.*)?$)re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QRegularExpressionMatch m = editable.match(s.positional);
    if (!m.hasMatch()) {
        return s;
    }
    s.table = m.captured(1);
    s.tail = m.captured(2);
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    s.ordered = codeOnly(s.tail).contains(orderBy);
    return s;
}

}  // namespace meridell::data

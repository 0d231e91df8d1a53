#pragma once

#include <QString>

#include <stdexcept>

namespace meridell {

// Every failure in the program travels as this exception; its text is what the user is shown.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// The text of any exception, for the one place that reports errors.
inline QString errorText(const std::exception& e) {
    if (auto* own = dynamic_cast<const Error*>(&e)) {
        return own->text();
    }
    return QString::fromLocal8Bit(e.what());
}

// The text of an error as the user is shown it: a text that opens in Chinese says what happened
// itself; the text of an engine (the database, the system), which opens in English, is preceded by
// a Chinese sentence and stands on its own line below it.
inline QString explainedErrorText(const QString& text) {
    if (!text.isEmpty() && text.front().unicode() >= 0x2e80) {
        return text;
    }
    return QStringLiteral("操作没有完成，系统报告了下面的错误：\n") + text;
}

}  // namespace meridell

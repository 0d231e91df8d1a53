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

}  // namespace meridell

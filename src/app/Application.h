#pragma once

#include <QApplication>

#include <functional>

namespace meridell::app {

// The application object. Every event handler of the program runs under the standard error
// report; should an error still leave a handler, it ends here, at the edge of Qt's event loop,
// and is reported instead of ending the program.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // Where an escaped error is reported; by default it is written to the standard error stream.
    void setErrorReport(std::function<void(const QString&)> report) { report_ = std::move(report); }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void reportEscaped(const QString& text);

    std::function<void(const QString&)> report_;
    bool reporting_ = false;
};

}  // namespace meridell::app

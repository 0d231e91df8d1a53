#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace meridell::word {

// One run of the office converter, in a process group of its own: stopping it ends every process
// the run started, also one that outlives the converter or ignores the request to end. The run
// gets a locale that every system has (C.UTF-8), whatever locale the program itself runs under.
class OfficeProcess : public QObject {
    Q_OBJECT
public:
    explicit OfficeProcess(QObject* parent = nullptr);
    // Ends what is still running of the group at once.
    ~OfficeProcess() override;
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    void start(const QString& program, const QStringList& arguments);
    // Asks the whole group to end, and ends it by force after `graceMs`.
    void stop(int graceMs);
    bool isRunning() const { return running_; }

signals:
    // The converter has named one more document as converted.
    void documentDone();
    // The run is over and its group is ended. `ok`: it ended by itself with exit code 0. `said`:
    // what it wrote to its error channel (its output when that is empty), or why it did not start.
    void ended(bool ok, const QString& said);

private:
    void readOutput();
    void processEnded();
    void startFailed();
    void signalGroup(int signal) const;

    QProcess process_;
    QTimer force_;
    QByteArray pending_;  // the output's last line, not yet whole
    QByteArray output_;
    qint64 group_ = 0;
    bool running_ = false;
    bool stopping_ = false;
};

// The environment of a converter run: the program's own, with the locale C.UTF-8, in which file
// names are read as UTF-8 whether or not the user's locale is installed.
QProcessEnvironment officeEnvironment();

}  // namespace meridell::word

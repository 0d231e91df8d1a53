// The application object's last net: an error that leaves an event handler is reported, and the
// event loop goes on.
#include "app/Application.h"
#include "common/core/Error.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

namespace meridell::app {
namespace {

class Thrower : public QObject {
public:
    int handled = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw Error(QStringLiteral("database is locked"));
        }
        if (event->type() == QEvent::Type(QEvent::User + 1)) {
            ++handled;
            return true;
        }
        return QObject::event(event);
    }
};

TEST(ApplicationTest, ErrorLeavingAnEventHandlerIsReportedAndTheLoopGoesOn) {
    auto* application = qobject_cast<Application*>(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    QStringList reported;
    application->setErrorReport([&](const QString& text) { reported << text; });

    Thrower thrower;
    QEvent sent(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&thrower, &sent));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::processEvents();
    application->setErrorReport({});

    ASSERT_EQ(reported.size(), 2);
    EXPECT_TRUE(reported[0].endsWith(QStringLiteral("\ndatabase is locked"))) << reported[0].toStdString();
    EXPECT_FALSE(reported[0].at(0).unicode() < 128);
    EXPECT_EQ(thrower.handled, 1);  // the event after the failing one is still delivered
}

}  // namespace
}  // namespace meridell::app

// The catch-all of the event loop: an error escaping an event handler is shown
// and the program goes on. Runs under PelkoApplication, hence its own main.

#include <QTest>
#include <stdexcept>

#include "gui/app/pelko_application.h"

using namespace pelko;

namespace {

class Throwing : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("This file is not GIF.");
        if (e->type() == QEvent::User + 1)
            throw 42;
        if (e->type() == QEvent::User + 2) {
            ++handled;
            return true;
        }
        return QObject::event(e);
    }
};

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void escapedErrorsAreShownAndEventsGoOn()
    {
        auto* app = qobject_cast<PelkoApplication*>(QCoreApplication::instance());
        QVERIFY(app);
        QCOMPARE(QApplication::applicationDisplayName(), QString("Pelko"));
        QStringList shown;
        app->showError = [&](const QString& text) { shown << text; };

        Throwing target;
        QEvent boom(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&target, &boom));
        QEvent odd(QEvent::Type(QEvent::User + 1));
        QCoreApplication::sendEvent(&target, &odd);
        QCOMPARE(shown, QStringList({"This file is not GIF.", "Unknown error."}));

        // posted events keep flowing after the errors
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&target, new QEvent(QEvent::Type(QEvent::User + 2)));
        QTRY_COMPARE(target.handled, 1);
        QCOMPARE(shown.size(), 3);
    }
};

int main(int argc, char** argv)
{
    PelkoApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"

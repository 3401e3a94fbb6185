// Proves that the sanitizer run still catches a leak of our own despite the Qt suppressions: this
// program leaks on purpose and the test expects it to fail.
#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTimer::singleShot(0, &app, [] {
        auto* pLeaked = new QObject; // never freed
        pLeaked->setObjectName(QStringLiteral("leaked"));
        QCoreApplication::quit();
    });
    return app.exec();
}

// One widget application for every Qt test of this executable.
#pragma once
#include <QApplication>
#include <QElapsedTimer>
#include <functional>
inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "gravitas-qt-test", *argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
// Lets events run until the condition holds or a second has passed.
inline bool EventuallyTrue(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    for (clock.start(); !condition(); QCoreApplication::processEvents(QEventLoop::AllEvents, 10))
        if (clock.elapsed() > 1000) return false;
    return true;
}

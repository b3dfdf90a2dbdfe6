// Start-up of the windows: which platforms are tried, and the C library's number
// formatting after Qt started.
#include <QtTest>

#include <clocale>
#include <cstdio>

#include "app/gui/QtWindowFactory.h"
#include "tests/app/gui/GuiTestSupport.h"

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void platformCandidates_data() {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("x11");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("session");
        QTest::addColumn<QString>("candidates");
        QTest::newRow("no display at all") << "" << "" << "" << "" << "";
        QTest::newRow("a requested platform needs a display too") << "xcb" << "" << "" << "" << "";
        QTest::newRow("X11") << "" << ":0" << "" << "x11" << "xcb;offscreen";
        QTest::newRow("Wayland only") << "" << "" << "wayland-0" << "" << "wayland;offscreen";
        QTest::newRow("Wayland session with X11 beside it") << "" << ":0" << "wayland-0" << "wayland"
                                                             << "wayland;xcb;offscreen";
        QTest::newRow("X11 session with Wayland beside it") << "" << ":0" << "wayland-0" << "x11"
                                                             << "xcb;wayland;offscreen";
        QTest::newRow("the requested one alone") << "wayland" << ":0" << "" << "" << "wayland;offscreen";
        QTest::newRow("offscreen requested") << "offscreen" << ":0" << "" << "" << "offscreen";
    }
    void platformCandidates() {
        QFETCH(QString, requested);
        QFETCH(QString, x11);
        QFETCH(QString, wayland);
        QFETCH(QString, session);
        const auto arg = [](const QString& s) { return s.isEmpty() ? std::string() : s.toStdString(); };
        const std::string r = arg(requested), x = arg(x11), w = arg(wayland), t = arg(session);
        const auto ptr = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
        QTEST(QString::fromStdString(PlatformCandidates(ptr(r), ptr(x), ptr(w), ptr(t))), "candidates");
    }

    void numbersKeepTheirDecimalPointAfterStart() {
        if (!gNoDecimalCommaLocale.empty()) QSKIP(gNoDecimalCommaLocale.c_str());
        // Qt switched the rest to the person's locale (what would have broken the numbers)...
        QCOMPARE(QByteArray(std::setlocale(LC_MONETARY, nullptr)), QByteArray("de_DE.UTF-8"));
        // ...but printf, which writes the log files, keeps the decimal point.
        QCOMPARE(QByteArray(std::setlocale(LC_NUMERIC, nullptr)), QByteArray("C"));
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", 1234.5);
        QCOMPARE(QByteArray(text), QByteArray("1234.500"));
        QCOMPARE(std::strtod("0.25", nullptr), 0.25);
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<StartupTest>(); });

#include "StartupTest.moc"

// Every window holds its controls under their numbers and the labels a person
// knows, and every label and button has its own keyboard mnemonic.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QtTest>

#include <memory>

#include "app/gui/AboutDialog.h"
#include "app/gui/AdvancedDialog.h"
#include "app/gui/FieldWidget.h"
#include "app/gui/ProgressDialog.h"
#include "app/gui/QuestionDialogs.h"
#include "tests/app/gui/GuiTestSupport.h"

namespace {

// Each window by its number: a window of that kind on a fresh main window.
struct Windows {
    WindowSetup setup;
    std::unique_ptr<QWidget> Make(int number) {
        switch (number) {
            case 102: return nullptr;  // the main window itself
            case 130: return std::make_unique<AdvancedDialog>(setup.dialog->values, *setup.profile, setup.window.get());
            case 131: return std::make_unique<PositionDialog>(ApproximatePosition(), setup.window.get());
            case 129: return std::make_unique<RawKindDialog>(1, setup.window.get());
            case 103: return std::make_unique<ProgressDialog>(setup.window.get());
            case 100: return std::make_unique<AboutDialog>(setup.window.get());
        }
        return nullptr;
    }
};

QString Plain(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

// Texts a person reads in window: title, labels, buttons, group frames, list entries.
QStringList TextsOf(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (auto* l : window->findChildren<QLabel*>()) texts << Plain(l->text());
    for (auto* b : window->findChildren<QAbstractButton*>()) texts << Plain(b->text());
    for (auto* g : window->findChildren<QGroupBox*>()) texts << g->title();
    for (auto* c : window->findChildren<QComboBox*>())
        for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
    return texts;
}

// The mnemonic letter of text (upper case), or 0.
QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toUpper();
    }
    return QChar();
}

}  // namespace

class WindowsLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void controlsAndLabels_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("main 102")
            << 102
            << QList<int>{1, 2, 1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013,
                          1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1036}
            << QStringList{"QERN to RINEX 3.30", "QERN INPUT FILE", "RINEX OUTPUT FILES", "Raw Data File :",
                           "Recorded On :", "File Format :", "QERN ASCII", "QERN BINARY", "Marker Name :",
                           "Marker Number :", "Observer Name :", "Observer Agency :", "Receiver Number :",
                           "Receiver Type :", "Receiver Version :", "Antenna Number :", "Antenna Type :",
                           "Observation File :", "Navigation File :",
                           "Automatic naming according to RINEX conventions", "File Index :",
                           "0 (1st session of day)", "9 (10th session of day)", "Advanced...", "Go...", "Close",
                           "( Tr = Ts + 0 ms, using instantaneous dopplers )"};
        QTest::newRow("advanced options 130")
            << 130 << QList<int>{1028, 1030, 1031, 1032, 1033, 1035, 1, 2}
            << QStringList{"Advanced Options",
                           "Extrapolate satellite-dated raw data transmited at satellite time Ts",
                           "Using instantaneous doppler measurements", "Using smoothed doppler measurements",
                           "Upto reception time : Tr = Ts + Tx", "Where Tx = ", "0", "75", "100", "ms",
                           "Compute positions using smoothed C/A code pseudoranges",
                           "Write a log file with all intermediate results", "RINEX version :", "2", "3",
                           "Save As Defaults", "OK", "Cancel"};
        QTest::newRow("position 131") << 131 << QList<int>{1012, 1013, 1014, 1, 2}
                                      << QStringList{"QERN to RINEX", "Please, enter an approximated position :",
                                                     "Lat :", "Long :", "Alt :", "OK", "Cancel"};
        QTest::newRow("raw-data kind 129")
            << 129 << QList<int>{1009, 1010, 1, 2}
            << QStringList{"QERN to RINEX", "Which kind of raw data do you want to process ?",
                           "Satellite-dated raw data", "Receiver-dated raw data", "OK", "Cancel"};
        QTest::newRow("progress 103") << 103 << QList<int>{1003, 1005, 2} << QStringList{"QERN to RINEX", "Cancel"};
        QTest::newRow("about 100") << 100 << QList<int>{1001, 1008, 1}
                                   << QStringList{"About QERN to RINEX", "QERN to RINEX  Version 3.30", "OK"};
    }
    void controlsAndLabels() {
        QFETCH(int, number);
        QFETCH(QList<int>, ids);
        QFETCH(QStringList, texts);
        Windows windows;
        std::unique_ptr<QWidget> made = windows.Make(number);
        QWidget* window = made ? made.get() : windows.setup.window.get();
        QCOMPARE(window->objectName(), QString::number(number));
        for (const int id : ids) QVERIFY2(window->findChild<QWidget*>(QString::number(id)), qPrintable(QString::number(id)));
        const QStringList shown = TextsOf(window);
        for (const QString& text : texts) QVERIFY2(shown.contains(text), qPrintable(text));
    }

    void everyLabelAndButtonHasItsOwnMnemonic_data() {
        QTest::addColumn<int>("number");
        for (const int number : {102, 130, 131, 129}) QTest::newRow(qPrintable(QString::number(number))) << number;
    }
    void everyLabelAndButtonHasItsOwnMnemonic() {
        QFETCH(int, number);
        Windows windows;
        std::unique_ptr<QWidget> made = windows.Make(number);
        QWidget* window = made ? made.get() : windows.setup.window.get();
        // Every field a person types in or picks from has a label that leads to it.
        QSet<QWidget*> labelled;
        QStringList texts;
        for (auto* l : window->findChildren<QLabel*>()) {
            if (!l->buddy()) continue;
            labelled.insert(l->buddy());
            texts << l->text();
        }
        QList<QWidget*> fields;
        for (auto* c : window->findChildren<QComboBox*>()) fields << c;
        for (auto* f : window->findChildren<FieldWidget*>()) fields << f;
        for (auto* e : window->findChildren<QLineEdit*>())
            if (!qobject_cast<QComboBox*>(e->parentWidget())) fields << e;
        for (QWidget* f : fields) QVERIFY2(labelled.contains(f), qPrintable(f->objectName() + " has no label"));
        for (auto* b : window->findChildren<QAbstractButton*>())
            if (b->text() != QStringLiteral("...") && b->text() != QStringLiteral("OK") &&
                b->text() != QStringLiteral("Cancel") && !b->text().isEmpty())
                texts << b->text();
        for (auto* bar : window->findChildren<QMenuBar*>())
            for (QAction* a : bar->actions()) texts << a->text();
        QSet<QChar> used;
        for (const QString& text : texts) {
            const QChar m = Mnemonic(text);
            QVERIFY2(!m.isNull(), qPrintable(text + " has no mnemonic"));
            QVERIFY2(!used.contains(m), qPrintable(text + " repeats " + m));
            used.insert(m);
        }
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<WindowsLayoutTest>(); });

#include "WindowsLayoutTest.moc"

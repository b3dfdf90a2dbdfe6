// Every window holds its controls under their numbers and the labels a person
// knows; every field has a label leading to it, and no two mnemonics of a window
// share a letter.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QtTest>

#include "app/gui/AboutDialog.h"
#include "app/gui/AdvancedDialog.h"
#include "app/gui/FieldWidget.h"
#include "app/gui/ProgressDialog.h"
#include "app/gui/QuestionDialogs.h"
#include "tests/app/gui/GuiTestSupport.h"

namespace {

// A window of the kind number over a fresh main window (102: the main window itself).
QWidget* Make(WindowSetup& s, int number) {
    QWidget* main = s.window.get();
    switch (number) {
        case 130: return new AdvancedDialog(s.dialog->values, *s.profile, main);
        case 131: return new PositionDialog(ApproximatePosition(), main);
        case 129: return new RawKindDialog(1, main);
        case 103: return new ProgressDialog(main);
        case 100: return new AboutDialog(main);
    }
    return main;
}

// Texts a person reads in window (mnemonic marks removed), and the mnemonic
// texts of its labelled fields, buttons and menus.
void Read(QWidget* window, QStringList& texts, QStringList& mnemonics) {
    texts << window->windowTitle();
    for (auto* l : window->findChildren<QLabel*>()) {
        texts << QString(l->text()).remove(u'&');
        if (l->buddy()) mnemonics << l->text();
    }
    for (auto* b : window->findChildren<QAbstractButton*>()) {
        texts << QString(b->text()).remove(u'&');
        if (b->text().size() > 3 && b->text() != QStringLiteral("Cancel")) mnemonics << b->text();
    }
    for (auto* g : window->findChildren<QGroupBox*>()) texts << g->title();
    for (auto* c : window->findChildren<QComboBox*>())
        for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
    for (auto* bar : window->findChildren<QMenuBar*>())
        for (QAction* a : bar->actions()) mnemonics << a->text();
}

}  // namespace

class WindowsLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void controlsLabelsAndMnemonics_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("main 102") << 102
            << QList<int>{1, 2, 1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013,
                          1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1036}
            << QStringList{"QERN to RINEX 3.30", "QERN INPUT FILE", "RINEX OUTPUT FILES", "Raw Data File :",
                           "Recorded On :", "File Format :", "QERN ASCII", "QERN BINARY", "Marker Name :",
                           "Marker Number :", "Observer Name :", "Observer Agency :", "Receiver Number :",
                           "Receiver Type :", "Receiver Version :", "Antenna Number :", "Antenna Type :",
                           "Observation File :", "Navigation File :", "Automatic naming according to RINEX conventions",
                           "File Index :", "0 (1st session of day)", "9 (10th session of day)", "Advanced...", "Go...",
                           "Close", "( Tr = Ts + 0 ms, using instantaneous dopplers )"};
        QTest::newRow("advanced options 130") << 130 << QList<int>{1028, 1030, 1031, 1032, 1033, 1035, 1, 2}
            << QStringList{"Advanced Options", "Extrapolate satellite-dated raw data transmited at satellite time Ts",
                           "Using instantaneous doppler measurements", "Using smoothed doppler measurements",
                           "Upto reception time : Tr = Ts + Tx", "Where Tx = ", "0", "75", "100", "ms",
                           "Compute positions using smoothed C/A code pseudoranges",
                           "Write a log file with all intermediate results", "RINEX version :", "2", "3",
                           "Save As Defaults", "OK", "Cancel"};
        QTest::newRow("position 131") << 131 << QList<int>{1012, 1013, 1014, 1, 2}
            << QStringList{"QERN to RINEX", "Please, enter an approximated position :", "Lat :", "Long :", "Alt :"};
        QTest::newRow("raw-data kind 129") << 129 << QList<int>{1009, 1010, 1, 2}
            << QStringList{"QERN to RINEX", "Which kind of raw data do you want to process ?",
                           "Satellite-dated raw data", "Receiver-dated raw data"};
        QTest::newRow("progress 103") << 103 << QList<int>{1003, 1005, 2} << QStringList{"QERN to RINEX", "Cancel"};
        QTest::newRow("about 100") << 100 << QList<int>{1001, 1008, 1}
            << QStringList{"About QERN to RINEX", "QERN to RINEX  Version 3.30", "OK"};
    }
    void controlsLabelsAndMnemonics() {
        QFETCH(int, number);
        QFETCH(QList<int>, ids);
        WindowSetup s;
        QWidget* window = Make(s, number);
        QCOMPARE(window->objectName(), QString::number(number));
        for (const int id : ids)
            QVERIFY2(window->findChild<QWidget*>(QString::number(id)), qPrintable(QString::number(id)));
        QStringList shown, mnemonics;
        Read(window, shown, mnemonics);
        QFETCH(QStringList, texts);
        for (const QString& text : texts) QVERIFY2(shown.contains(text), qPrintable(text));
        // Every field a person types in or picks from has a label leading to it.
        QList<QWidget*> fields;
        for (auto* c : window->findChildren<QComboBox*>()) fields << c;
        for (auto* f : window->findChildren<FieldWidget*>()) fields << f;
        for (auto* e : window->findChildren<QLineEdit*>())
            if (!qobject_cast<QComboBox*>(e->parentWidget())) fields << e;
        for (QWidget* f : fields) {
            bool labelled = false;
            for (auto* l : window->findChildren<QLabel*>()) labelled = labelled || l->buddy() == f;
            QVERIFY2(labelled, qPrintable(f->objectName() + " has no label"));
        }
        QString used;
        for (const QString& text : mnemonics) {
            const qsizetype at = text.indexOf(u'&');
            QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text + " has no mnemonic"));
            const QChar letter = text[at + 1].toUpper();
            QVERIFY2(!used.contains(letter), qPrintable(text + " repeats " + letter));
            used += letter;
        }
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<WindowsLayoutTest>(); });

#include "WindowsLayoutTest.moc"

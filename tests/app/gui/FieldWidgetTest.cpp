#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

#include <cmath>
#include <numbers>

#include "app/field/FieldDate.h"
#include "app/field/FieldFactory.h"
#include "app/gui/FieldWidget.h"
#include "tests/app/gui/GuiTestSupport.h"

namespace {

// A dialog as the windows build them: a line edit, a field, a second line edit and
// a default OK button.
struct TestDialog {
    explicit TestDialog(int kind) {
        auto* layout = new QVBoxLayout(&dialog);
        before = new QLineEdit;
        field = new FieldWidget(kind);
        after = new QLineEdit;
        auto* ok = new QPushButton(QStringLiteral("OK"));
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(field),
                           static_cast<QWidget*>(after), static_cast<QWidget*>(ok)})
            layout->addWidget(w);
        dialog.show();
        dialog.activateWindow();
        active = QTest::qWaitForWindowActive(&dialog);
    }
    QDialog dialog;
    QLineEdit* before;
    FieldWidget* field;
    QLineEdit* after;
    bool active;
};

}  // namespace

class FieldWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void typingFillsTheFields_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("latitude") << int(kFieldLat) << 0.0 << 2 << "2838524031s"
                                  << QString::fromUtf8("28°38'52.4031\"S") << -0.5;
        QTest::newRow("date") << int(kFieldDate) << 7697.0 << 2 << "jun152024"
                              << "jun 15, 2024" << DaysSinceGpsOrigin(2024, 6, 15);
        QTest::newRow("altitude") << int(kFieldAlt) << 0.0 << 7 << "1234567" << "1234.567 m"
                                  << 1234.567;
    }
    void typingFillsTheFields() {
        QFETCH(int, kind);
        QFETCH(double, stored);
        QFETCH(int, cell);
        QFETCH(QString, typed);
        TestDialog d(kind);
        d.field->setValue(stored);
        QSignalSpy edited(d.field, &FieldWidget::edited);
        QTest::mouseClick(d.field, Qt::LeftButton, {}, d.field->cellRect(cell).center());
        QVERIFY(d.field->hasFocus());
        QTest::keyClicks(d.field, typed);
        QTEST(d.field->displayText(), "text");
        QFETCH(double, value);
        QVERIFY2(std::fabs(d.field->value() - value) < 1e-9, qPrintable(QString::number(d.field->value(), 'g', 17)));
        QCOMPARE(edited.count(), typed.size());
    }

    void refusedKeysLeaveTheText() {
        TestDialog d(kFieldAlt);
        QSignalSpy edited(d.field, &FieldWidget::edited);
        d.field->setFocus();
        QTest::keyClicks(d.field, "x");
        QTest::keyClick(d.field, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(d.field->displayText(), QStringLiteral("0.000 m"));
        QCOMPARE(edited.count(), 0);
    }

    void caretKeysAndClicks() {
        TestDialog d(kFieldLat);
        d.field->setValue(-0.5);
        QSignalSpy clicked(d.field, &FieldWidget::clicked);
        QSignalSpy focused(d.field, &FieldWidget::focused);
        QSignalSpy doubleClicked(d.field, &FieldWidget::doubleClicked);
        d.before->setFocus();

        // A click on the degree sign: no sub-field, the focus stays where it was.
        QTest::mouseClick(d.field, Qt::LeftButton, {}, d.field->cellRect(4).center());
        QVERIFY(d.before->hasFocus());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(focused.count(), 0);

        QTest::mouseClick(d.field, Qt::LeftButton, {}, d.field->cellRect(6).center());
        QVERIFY(d.field->hasFocus());
        QCOMPARE(d.field->model().Caret(), 6);
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(focused.count(), 1);

        QTest::keyClick(d.field, Qt::Key_Right);
        QCOMPARE(d.field->model().Caret(), 8);
        QTest::keyClick(d.field, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(d.field->model().Caret(), 5);
        QTest::keyClick(d.field, Qt::Key_Backspace);
        QCOMPARE(d.field->model().Caret(), 3);

        QTest::mouseDClick(d.field, Qt::LeftButton, {}, d.field->cellRect(12).center());
        QCOMPARE(doubleClicked.count(), 1);
    }

    void focusMovesWithArrowsAndTab() {
        TestDialog d(kFieldDate);
        QVERIFY(d.active);
        d.field->setFocus();
        QTest::keyClick(d.field, Qt::Key_Down);
        QVERIFY(d.after->hasFocus());
        d.field->setFocus();
        QTest::keyClick(d.field, Qt::Key_Up);
        QVERIFY(d.before->hasFocus());
        QTest::keyClick(d.before, Qt::Key_Tab);
        QVERIFY(d.field->hasFocus());
    }

    void enterAndEscapeReachTheDialog() {
        TestDialog ok(kFieldAlt);
        ok.field->setFocus();
        QTest::keyClick(ok.field, Qt::Key_Return);
        QCOMPARE(ok.dialog.result(), int(QDialog::Accepted));
        TestDialog cancel(kFieldAlt);
        QSignalSpy rejected(&cancel.dialog, &QDialog::rejected);
        cancel.field->setFocus();
        QTest::keyClick(cancel.field, Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
        QVERIFY(cancel.dialog.isHidden());
    }

    void theCaretIsDrawnWithTheFocusOnly() {
        TestDialog d(kFieldDate);
        QVERIFY(d.field->caretRect().isEmpty());
        d.field->setFocus();
        QCOMPARE(d.field->caretRect(), d.field->cellRect(2));
        const QRect cell = d.field->cellRect(2);
        QCOMPARE(cell.width(), d.field->fontMetrics().horizontalAdvance(QLatin1Char('w')));
        QVERIFY(d.field->rect().contains(d.field->cellRect(17)));  // the size hint holds every cell
        QVERIFY(!d.field->grab().isNull());  // paints with the focus
        d.field->setEnabled(false);
        QVERIFY(d.field->caretRect().isEmpty());
        QVERIFY(!d.field->grab().isNull());  // and disabled
        d.field->setEnabled(true);
        d.after->setFocus();
        QVERIFY(d.field->caretRect().isEmpty());
    }

    void accessibleNameAndValue() {
        TestDialog d(kFieldLat);
        d.field->setValue(-0.5);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(d.field);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::EditableText);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Latitude"));
        QCOMPARE(a->text(QAccessible::Value), QString::fromUtf8("28°38'52.4031\"S"));
        d.field->setAccessibleName(QStringLiteral("Lat :"));
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Lat :"));
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<FieldWidgetTest>(); });

#include "FieldWidgetTest.moc"

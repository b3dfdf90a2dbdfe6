// field_shots OUTDIR: one PNG per field member, each a column of fields showing a
// few values, one of them with the focus (block caret) and one disabled.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <numbers>
#include <vector>

#include "app/field/FieldFactory.h"
#include "app/field/FieldNumber.h"
#include "app/gui/FieldWidget.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180;

struct Member {
    const char* name;
    std::vector<double> values;  // program units
    int caretCell;               // of the focused row (the last value)
};

std::unique_ptr<CField> MakeMember(const char* name) {
    if (QByteArray(name) == "CFieldUser") {
        auto user = std::make_unique<CFieldUser>();
        user->Configure(1000, U"km", 2);  // metres shown as kilometres
        return user;
    }
    return MakeFieldByName(name);
}

// Waits up to a second for window to become the active one.
void WaitActive(QWidget& window) {
    QElapsedTimer timer;
    timer.start();
    while (!window.isActiveWindow() && timer.elapsed() < 1000) QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    const Member members[] = {
        {"CFieldLat", {-0.5, 90 * kDeg, 0, 48.8566 * kDeg}, 11},
        {"CFieldLong", {190 * kDeg, -0.04, 2.3522 * kDeg}, 16},
        {"CFieldAlt", {0, -12.5, 9999.999, 35.25}, 10},
        {"CFieldDate", {0, 7697, 16140, 43824}, 2},
        {"CFieldTime", {0, 3725.5, 86400}, 6},
        {"CFieldTime2", {59.6, 45296}, 8},
        {"CFieldXm", {-999999999.999, 0.001, 1234567.891}, 14},
        {"CFieldScale", {0.5, 1.000001234567}, 2},
        {"CFieldSkew", {-1 * kDeg, 359.99999 * kDeg, 12.5 * kDeg}, 1},
        {"CFieldRot", {-999999, 0.000123, 42}, 9},
        {"CFieldUser", {1234567, -500}, 14},
        {"CFieldElev", {5, -90, 12.3}, 10},
        {"CFieldUint", {0, 7, 99}, 2},
    };
    int failures = 0;
    for (const Member& m : members) {
        QWidget page;
        page.setWindowTitle(QString::fromLatin1(m.name));
        auto* grid = new QGridLayout(&page);
        FieldWidget* focusedField = nullptr;
        int row = 0;
        for (size_t i = 0; i <= m.values.size(); ++i) {
            // The values, then the first one again disabled.
            const bool disabled = i == m.values.size();
            const double v = m.values[disabled ? 0 : i];
            auto* field = new FieldWidget(MakeMember(m.name));
            field->setValue(v);
            field->setEnabled(!disabled);
            QString label = QString::number(v, 'g', 12);
            if (disabled) label += QStringLiteral(" (disabled)");
            if (i + 1 == m.values.size()) {
                label += QStringLiteral(" (focus)");
                focusedField = field;
            }
            grid->addWidget(new QLabel(label), row, 0);
            grid->addWidget(field, row++, 1);
        }
        page.show();
        page.activateWindow();
        WaitActive(page);
        focusedField->setFocus();
        const std::vector<double> unit(CField::kMaxCells, 1.0);
        focusedField->model().Click(m.caretCell + 0.5, unit);
        focusedField->model().TakeEvents();
        QApplication::processEvents();
        const QString path = out.filePath(QString::fromLatin1(m.name) + QStringLiteral(".png"));
        if (!page.grab().save(path)) {
            std::fprintf(stderr, "field_shots: cannot write %s\n", qPrintable(path));
            ++failures;
        } else {
            std::printf("%s%s\n", qPrintable(path), focusedField->hasFocus() ? "" : " (no focus)");
        }
    }
    return failures == 0 ? 0 : 1;
}

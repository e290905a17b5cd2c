#include "graph/minmaxmultidimdata.h"
#include "sliders/slidersettingsform.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

using Edits = QList<QPair<QString, QString>>;

// The slider settings form on its own, editing a view that is bound to no cell.
class TestSliderSettingsForm : public QObject
{
    Q_OBJECT

private slots:
    void editsStayConsistent_data();
    void editsStayConsistent();
    void closing_data();
    void closing();
    void fieldsClearOfButtons();
};

void TestSliderSettingsForm::editsStayConsistent_data()
{
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");

    QTest::newRow("smaller maximum keeps the step") << Edits{{"max", "4"}} << 0.0 << 4.0 << 0.5;
    QTest::newRow("maximum below the minimum") << Edits{{"max", "-3"}} << -4.0 << -3.0 << 0.5;
    QTest::newRow("then a step wider than the range")
        << Edits{{"max", "-3"}, {"step", "20"}} << -4.0 << -3.0 << 1.0;
    QTest::newRow("minimum above the maximum") << Edits{{"min", "12"}} << 12.0 << 13.0 << 0.5;
    QTest::newRow("text that is not a number reads as 0")
        << Edits{{"min", "2"}, {"max", "abc"}} << -1.0 << 0.0 << 0.5;
    QTest::newRow("step of the whole range") << Edits{{"step", "1e3"}} << 0.0 << 10.0 << 10.0;
}

void TestSliderSettingsForm::editsStayConsistent()
{
    QFETCH(Edits, edits);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);

    VIVExcelCellSliderView view;
    SliderSettingsForm form;
    form.editSlider(&view);
    for (const auto &[field, text] : edits) {
        auto *edit = form.findChild<QLineEdit *>("lineEdit_" + field);
        edit->setText(text);
        emit edit->editingFinished();
    }
    QCOMPARE(form.minimum(), minimum);
    QCOMPARE(form.maximum(), maximum);
    QCOMPARE(form.step(), step);
    QCOMPARE(form.findChild<QLineEdit *>("lineEdit_min")->text(), QString::number(minimum));
    QCOMPARE(form.findChild<QLineEdit *>("lineEdit_max")->text(), QString::number(maximum));
    QCOMPARE(form.findChild<QLineEdit *>("lineEdit_step")->text(), QString::number(step));
    // Nothing reaches the slider before OK.
    QCOMPARE(view.slider()->realMaximum(), 10.0);
}

void TestSliderSettingsForm::closing_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("validated");
    QTest::newRow("Return in the step applies") << "lineEdit_step" << int(Qt::Key_Return) << true;
    QTest::newRow("Escape in the label cancels")
        << "textEdit_label" << int(Qt::Key_Escape) << false;
}

void TestSliderSettingsForm::closing()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(bool, validated);

    VIVExcelCellSliderView view;
    view.display()->setText("Rate");
    SliderSettingsForm form;
    QSignalSpy closed(&form, &SliderSettingsForm::formClosed);
    form.editSlider(&view);
    auto *label = form.findChild<QPlainTextEdit *>("textEdit_label");
    QCOMPARE(label->toPlainText(), "Rate");
    label->setPlainText("Interest\nrate");
    // Leaving a field finishes its edit; the step is still being typed when the key comes.
    for (const auto &[name, text] : Edits{{"min", "-2"}, {"max", "6"}}) {
        auto *edit = form.findChild<QLineEdit *>("lineEdit_" + name);
        edit->setText(text);
        emit edit->editingFinished();
    }
    form.findChild<QLineEdit *>("lineEdit_step")->setText("0.25");
    QTest::keyClick(form.findChild<QWidget *>(field), Qt::Key(key));

    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.first().first().toBool(), validated);
    QVERIFY(!form.isVisible());
    QCOMPARE(view.slider()->realMinimum(), validated ? -2.0 : 0.0);
    QCOMPARE(view.slider()->realMaximum(), validated ? 6.0 : 10.0);
    QCOMPARE(view.slider()->realStep(), validated ? 0.25 : 0.5);
    QCOMPARE(view.display()->text(), validated ? "Interest\nrate" : "Rate");
    if (validated)
        QCOMPARE(view.display()->data()->maximum(), 6.0);
}

// With the platform's field heights the last row still ends above the buttons.
void TestSliderSettingsForm::fieldsClearOfButtons()
{
    VIVExcelCellSliderView view;
    SliderSettingsForm form;
    form.editSlider(&view);
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *step = form.findChild<QLineEdit *>("lineEdit_step");
    const int stepBottom = step->mapTo(&form, QPoint(0, step->height())).y();
    QVERIFY(stepBottom <= form.findChild<QWidget *>("pushButton_OK")->y());
    QVERIFY(form.findChild<QWidget *>("pushButton_cancel")->isVisible());
}

QTEST_MAIN(TestSliderSettingsForm)
#include "tst_slidersettingsform.moc"

#include "sliders/slidersettingsform.h"
#include "ui_slidersettingsform.h"

#include "graph/minmaxmultidimdata.h"
#include "sliders/sliderlogging.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"

#include <QDoubleValidator>
#include <QKeyEvent>
#include <QTimer>

namespace {

// Text that is not a number reads as 0; numbers pass through single precision.
double fieldNumber(const QLineEdit *field)
{
    return double(field->text().toFloat());
}

} // namespace

SliderSettingsForm::SliderSettingsForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::SliderSettingsForm)
{
    ui->setupUi(this);
    // A window of its own even when the main window is its parent.
    setWindowFlags(windowFlags() | Qt::Window);
    setWindowModality(Qt::ApplicationModal);
    // The fields are written and read in the C locale, whatever the user's locale is.
    auto *validator = new QDoubleValidator(this);
    validator->setLocale(QLocale::c());
    const QList<QLineEdit *> fields{ui->lineEdit_max, ui->lineEdit_min, ui->lineEdit_step};
    for (QLineEdit *field : fields) {
        field->setValidator(validator);
        field->installEventFilter(this);
        connect(field, &QLineEdit::returnPressed, this,
                &SliderSettingsForm::on_pushButton_OK_clicked);
    }
    ui->textEdit_label->installEventFilter(this);
}

SliderSettingsForm::~SliderSettingsForm()
{
    delete ui;
}

void SliderSettingsForm::editSlider(VIVExcelCellSliderView *view)
{
    m_sliderView = view;
    ui->textEdit_label->setPlainText(view->display()->text());
    const VIVSlider *slider = view->slider();
    setMinimum(slider->realMinimum());
    setMaximum(slider->realMaximum());
    setStep(slider->realStep());
    showFields();
    ui->lineEdit_min->setFocus();
    show();
    raise();
}

void SliderSettingsForm::setMinimum(double minimum)
{
    m_minimum = minimum;
    if (minimum > m_maximum)
        m_maximum = minimum + 1;
    limitStep();
    showFields();
}

void SliderSettingsForm::setMaximum(double maximum)
{
    m_maximum = maximum;
    if (maximum < m_minimum)
        m_minimum = maximum - 1;
    limitStep();
    showFields();
}

void SliderSettingsForm::setStep(double step)
{
    m_step = step;
    limitStep();
    showFields();
}

void SliderSettingsForm::limitStep()
{
    if (m_step > m_maximum - m_minimum)
        m_step = m_maximum - m_minimum;
}

void SliderSettingsForm::showFields()
{
    ui->lineEdit_max->setText(QString::number(m_maximum, 'g', 6));
    ui->lineEdit_min->setText(QString::number(m_minimum, 'g', 6));
    ui->lineEdit_step->setText(QString::number(m_step, 'g', 6));
}

void SliderSettingsForm::on_lineEdit_max_editingFinished()
{
    setMaximum(fieldNumber(ui->lineEdit_max));
}

void SliderSettingsForm::on_lineEdit_step_editingFinished()
{
    setStep(fieldNumber(ui->lineEdit_step));
}

void SliderSettingsForm::on_lineEdit_min_editingFinished()
{
    setMinimum(fieldNumber(ui->lineEdit_min));
}

void SliderSettingsForm::on_pushButton_OK_clicked()
{
    // A field losing the focus finishes its edit first.
    ui->pushButton_OK->setFocus();
    // Each setter rewrites all three fields, so they are read before the first one runs: a
    // field still being edited (focus that did not move) keeps what the user typed.
    const double maximum = fieldNumber(ui->lineEdit_max);
    const double minimum = fieldNumber(ui->lineEdit_min);
    const double step = fieldNumber(ui->lineEdit_step);
    setMaximum(maximum);
    setMinimum(minimum);
    setStep(step);
    if (!m_sliderView) {
        qCDebug(lcSlider) << "The slider whose settings were edited is gone";
        close();
        emit formClosed(false);
        return;
    }
    m_sliderView->slider()->setConfig(m_minimum, m_maximum, m_step);
    m_sliderView->display()->data()->setMinMax(m_minimum, m_maximum);
    m_sliderView->display()->setText(ui->textEdit_label->toPlainText());
    close();
    emit formClosed(true);
}

void SliderSettingsForm::on_pushButton_cancel_clicked()
{
    close();
    emit formClosed(false);
}

// Entering a number field selects its text, so that typing replaces it; Escape cancels.
bool SliderSettingsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *field = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, field, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        on_pushButton_cancel_clicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

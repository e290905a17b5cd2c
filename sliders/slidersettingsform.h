#ifndef SLIDERSETTINGSFORM_H
#define SLIDERSETTINGSFORM_H

#include <QPointer>
#include <QWidget>

namespace Ui {
class SliderSettingsForm;
}

class VIVExcelCellSliderView;

// The small window in which the user edits one slider's label, minimum, maximum and step. It
// keeps the three numbers consistent while the user types (a minimum never above the maximum,
// a step no larger than the range) and applies them to the slider only on OK.
class SliderSettingsForm : public QWidget
{
    Q_OBJECT

public:
    explicit SliderSettingsForm(QWidget *parent = nullptr);
    ~SliderSettingsForm() override;

    // Shows the view's description and slider settings and opens the form.
    void editSlider(VIVExcelCellSliderView *view);
    VIVExcelCellSliderView *sliderView() const { return m_sliderView; }

    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    double step() const { return m_step; }
    void setMinimum(double minimum);
    void setMaximum(double maximum);
    void setStep(double step);
    void showFields();

signals:
    void formClosed(bool validated);

public slots:
    void on_pushButton_OK_clicked();
    void on_pushButton_cancel_clicked();
    void on_lineEdit_max_editingFinished();
    void on_lineEdit_step_editingFinished();
    void on_lineEdit_min_editingFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void limitStep();

    double m_minimum = 0.0;
    double m_maximum = 0.0;
    double m_step = 0.0;
    QPointer<VIVExcelCellSliderView> m_sliderView;
    Ui::SliderSettingsForm *ui;
};

#endif

#ifndef VIVSLIDER_H
#define VIVSLIDER_H

#include <QElapsedTimer>
#include <QSlider>

#include <memory>
#include <optional>

class QTimer;

// A vertical slider over a real range: its 100000 integer positions map onto
// [realMinimum, realMaximum], snapped to a grid of realStep counted from realMinimum. The
// three are kept consistent (minimum below maximum, a positive step that divides both the
// minimum and the range). Real values are emitted at a limited rate so that a slow
// spreadsheet recalculation is not flooded while the user drags; the last value of a drag
// is always emitted.
class VIVSlider : public QSlider
{
    Q_OBJECT

public:
    static constexpr int positionCount = 100000;

    explicit VIVSlider(QWidget *parent = nullptr);
    ~VIVSlider() override;

    double realValue() const;
    void setRealValue(double value);

    double realMinimum() const { return m_realMinimum; }
    double realMaximum() const { return m_realMaximum; }
    double realStep() const { return m_realStep; }
    void setRealMinimum(double minimum);
    void setRealMaximum(double maximum);
    void setRealStep(double step);
    // Sets all three at once and keeps the current value where the new range allows; emits
    // configChanged() once and never valueChanged(qreal).
    void setConfig(double minimum, double maximum, double step);
    void applyConfig();

    bool highlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);

signals:
    void configChanged();
    void valueChanged(qreal value);

public slots:
    void sliderValueChanged(int position);
    void timerFired();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void normalizeConfig();
    bool acceptsConfig(double minimum, double maximum, double step) const;
    void checkEmission();

    double m_realMinimum = 0.0;
    double m_realMaximum = 10.0;
    double m_realStep = 0.0;
    std::optional<double> m_emittedValue;
    std::unique_ptr<QTimer> m_emitTimer;
    QElapsedTimer m_lastEmitTime;
    bool m_highlighted = false;
};

#endif

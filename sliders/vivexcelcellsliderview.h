#ifndef VIVEXCELCELLSLIDERVIEW_H
#define VIVEXCELCELLSLIDERVIEW_H

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

class QLabel;
class QPainter;
class VIVExcelRange;
class VIVExcelWatchView;
class VIVSlider;

// The column the main window shows for every input cell that has a slider: a small watch
// display with the cell's label and the history of its values, two icon buttons (go through
// the full range, slider settings), the slider with its painted scale and value labels, and
// the cell's address. A moved slider writes its value into the cell unless a receiver of
// valueChanged() takes the change over. The view can be selected (keyboard and graph
// commands) and active (taking part in the current graph).
class VIVExcelCellSliderView : public QWidget
{
    Q_OBJECT

public:
    // The value of the "tag" property of the two icon buttons.
    enum class IconButton { Scan1D = 0, Settings = 1 };

    explicit VIVExcelCellSliderView(QWidget *parent = nullptr);

    VIVExcelRange *range() const;
    // Binds the cell and configures the slider from the cell's value; nullptr unbinds. The
    // view's signals stay quiet while it binds.
    void setRange(VIVExcelRange *range);
    // Moves to the same cell of another office: the limits, the step and the description stay,
    // the slider shows the cell's value, and nothing is written.
    void rebind(VIVExcelRange *range);
    VIVSlider *slider() const { return m_slider; }
    // The display's text is the slider's description (the cell's labels, one per line).
    VIVExcelWatchView *display() const { return m_display; }
    QLabel *addressLabel() const { return m_addressLabel; }

    bool selected() const { return m_selected; }
    void setSelected(bool selected);
    bool active() const { return m_active; }
    void setActive(bool active);

    // The image that marks the slider's axis in the current graph; empty for none.
    void setOverlayImage(const QString &path);
    // Draws the display's overlay image centred over the lower part of the display. For the
    // owner's handler of the display's afterPaint(QPainter&); display is the widget that painted.
    static void paintOverlayImage(const QWidget *display, QPainter &painter);
    // The cell's content when the scan that writes it began, which the scan's end puts back.
    void rememberCellBeforeScan(const QVariant &value, bool formula);
    QVariant valueBeforeScan() const;
    bool formulaBeforeScan() const;

signals:
    void buttonScan1DClicked();
    void buttonSettingsClicked();
    void closeRequest();
    void configChanged();
    void selectedChanged();
    // Emitted for every rate-limited move of the slider; a receiver that writes the value
    // itself sets handled to true (direct connections only).
    void valueChanged(VIVExcelRange *range, qreal value, bool &handled);

public slots:
    void btnClicked();
    void rangeDestroyed();
    void sliderConfigChanged();
    void sliderValueChanged(qreal value);
    void watchButtonClicked(const QString &name);
    void watchCloseRequest();
    void watchGraphClicked();
    void watchTextClicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void buildDisplay();
    QWidget *buildButtonBar();
    void buildSlider();
    void buildLayout(QWidget *buttonBar);
    void updateSliderStyle();
    void sliderPositionChanged(int position);
    void paintFrame(QPainter &painter, const QRect &area);

    bool m_selected = false;
    QLabel *m_addressLabel = nullptr;
    VIVSlider *m_slider = nullptr;
    VIVExcelWatchView *m_display = nullptr;
    QPointer<VIVExcelRange> m_range;
    QMetaObject::Connection m_rangeConnection;
    QWidget *m_buttonBar = nullptr;
    bool m_active = false;
    // The slider's latest position when it was set while the view's signals were blocked,
    // else -1.
    int m_quietPosition = -1;
};

#endif

#include "app/appstyles.h"

#include "ui_watchwindow.h"
#include "watches/watchwindow.h"

#include <QCheckBox>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

namespace {

const char scrollBarStyle[] =
    "QScrollBar:horizontal { border: 2px solid grey; background: #A0A0A0; height: 15px;"
    " margin: 0 22px 0 22px; }"
    "QScrollBar::handle:horizontal { background: #404040; min-width: 20px; }"
    "QScrollBar::add-line:horizontal { border: 2px solid grey; background: #808080; width: 20px;"
    " subcontrol-position: right; subcontrol-origin: margin; }"
    "QScrollBar::sub-line:horizontal { border: 2px solid grey; background: #808080; width: 20px;"
    " subcontrol-position: left; subcontrol-origin: margin; }"
    "QScrollBar::left-arrow:horizontal, QScrollBar::right-arrow:horizontal { width: 3px;"
    " height: 3px; background: white; }"
    "QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal { background: none; }";

const char sliderStyle[] =
    "QSlider::groove:horizontal { border: 1px solid #999999; height: 6px;"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #B1B1B1, stop:1 #c4c4c4);"
    " margin: 2px 0; }"
    "QSlider::handle:horizontal { background: qlineargradient(x1:0, y1:0, x2:1, y2:1,"
    " stop:0 #e0e0e0, stop:1 #d0d0d0); border: 1px solid #5c5c5c; width: 18px;"
    " margin: -4px 0; border-radius: 3px; }"
    "QSlider::handle:horizontal:disabled { background: qlineargradient(x1:0, y1:0, x2:1, y2:1,"
    " stop:0 #b4b4b4, stop:1 #8f8f8f); }";

const char verticalScrollBarStyle[] =
    "QScrollBar:vertical { border: 2px solid grey; background: #A0A0A0; width: 15px;"
    " margin: 22px 0 22px 0; }"
    "QScrollBar::handle:vertical { background: #404040; min-height: 20px; }"
    "QScrollBar::add-line:vertical { border: 2px solid grey; background: #808080; height: 20px;"
    " subcontrol-position: bottom; subcontrol-origin: margin; }"
    "QScrollBar::sub-line:vertical { border: 2px solid grey; background: #808080; height: 20px;"
    " subcontrol-position: top; subcontrol-origin: margin; }"
    "QScrollBar::up-arrow:vertical, QScrollBar::down-arrow:vertical { width: 3px;"
    " height: 3px; background: white; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";

} // namespace

// Lets a scroll area show the window's background through it.
void AppStyles::makeTransparent(QWidget *widget)
{
    widget->setBackgroundRole(QPalette::Window);
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(Qt::transparent));
    widget->setPalette(palette);
}

QString AppStyles::scrollBar()
{
    return QString::fromLatin1(scrollBarStyle);
}

QString AppStyles::verticalScrollBar()
{
    return QString::fromLatin1(verticalScrollBarStyle);
}

QString AppStyles::slider()
{
    return QString::fromLatin1(sliderStyle);
}

WatchWindow *AppStyles::createWatchWindow(const QRect &available)
{
    auto *window = new WatchWindow;
    if (available.isValid()) {
        QRect place;
        place.setLeft(available.right() - 499);
        place.setRight(available.right() - 100);
        place.setTop(available.top() + 50);
        place.setBottom(available.bottom() - 50);
        window->setGeometry(place);
    }
    Ui::WatchWindow *form = window->form();
    window->setProperty("closebutton", true);
    window->setProperty("windowtitle", "Watches");
    window->setWindowTitle("Watches");
    makeTransparent(form->scrollArea);
    form->pushButton_newWatchWindow->hide();
    window->checkPosition(QRect());
    form->scrollArea->horizontalScrollBar()->setStyleSheet(scrollBar());
    form->scrollArea->verticalScrollBar()->setStyleSheet(verticalScrollBar());
    form->horizontalSlider_watchSize->setStyleSheet(slider());
    form->horizontalSlider_watchGraphAlpha->setStyleSheet(slider());
    form->horizontalSlider_watchSize->setValue(120);
    window->checkWidgetDisplay();
    form->checkBox_useNormalAveraged->hide();
    form->checkBox_useTriangleRects->hide();
    return window;
}

#include "app/watchcontainer.h"

#include "graph/minmaxmultidimdata.h"
#include "watches/vivexcelwatchscale.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchwindow.h"

#include <QGridLayout>
#include <QLabel>

namespace {

using View = VIVExcelWatchView;

View *subWatch(QWidget *container)
{
    auto *sub = new View(container);
    const int defaultHeight = sub->textHeight();
    sub->setTextHeight((sub->areaFlags() & View::AreaTextMetal) ? defaultHeight / 2 : 0);
    sub->removeAreaFlags(View::AreaText);
    sub->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return sub;
}

QGridLayout *gridOf(VIVExcelWatchView *watch)
{
    QWidget *container = watch->parentWidget();
    return container ? qobject_cast<QGridLayout *>(container->layout()) : nullptr;
}

void showCompanions(VIVExcelWatchView *watch, bool subWatches, bool scale)
{
    if (watch->subWatchX())
        watch->subWatchX()->setVisible(subWatches);
    if (watch->subWatchY())
        watch->subWatchY()->setVisible(subWatches);
    if (watch->watchScale())
        watch->watchScale()->setVisible(scale);
}

void setGridSpacing(VIVExcelWatchView *watch, int spacing, bool centred)
{
    if (QGridLayout *grid = gridOf(watch)) {
        grid->setSpacing(spacing);
        if (centred)
            grid->setAlignment(Qt::AlignCenter);
    }
}

} // namespace

QWidget *WatchContainer::build(VIVExcelWatchView *watch)
{
    auto *container = new QWidget;
    auto *grid = new QGridLayout(container);
    grid->setSpacing(2);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(watch, 1, 0, 2, 1);

    View *x = subWatch(container);
    watch->setSubWatchX(x);
    grid->addWidget(x, 1, 2);
    watch->removeAreaFlags(View::AreaSplitVertical);
    View *y = subWatch(container);
    watch->setSubWatchY(y);
    grid->addWidget(y, 2, 2, Qt::AlignBottom);
    watch->removeAreaFlags(View::AreaSplitHorizontal);
    watch->setSubWatchMargin(grid->spacing());

    auto *scale = new VIVExcelWatchScale(container);
    watch->setWatchScale(scale);
    scale->setFixedWidth(44);
    scale->setContentsMargins(0, 3, 0, 24);
    grid->addWidget(scale, 1, 1, 2, 1);

    auto *title = new QLabel(watch->text().split("\n").join(" / "), container);
    title->setStyleSheet("color:white; font-weight:bold; text-align:center; border: none");
    grid->addWidget(title, 0, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(1, 0);
    grid->setColumnStretch(0, 2);
    return container;
}

void WatchContainer::updateDisplay(VIVExcelWatchView *watch, WatchWindow *window)
{
    QList<WatchButton> buttons{{":resources/watchbuttonclose.png", "close"}};
    const QList<WatchButton> exports{{":resources/watchbuttonexportdata.png", "exportdata"},
                                     {":resources/watchbuttonexport.png", "exportimage"}};
    const MinMaxMultiDimData *data = watch->data();
    switch (data->graphDepth()) {
    case GraphDepthNone:
    case GraphDepthValue:
        if (window) {
            window->setSurfaceControlsVisible(false);
            window->setSmoothControlVisible(false);
        }
        watch->setAreaFlags(View::AreaButtons);
        watch->addAreaFlags(View::AreaIndicator);
        showCompanions(watch, false, false);
        setGridSpacing(watch, 0, true);
        break;
    case GraphDepthCurve:
        buttons += exports;
        if (window) {
            window->setSurfaceControlsVisible(false);
            window->setSmoothGraphs(data->drawSettings2D().smooth);
        }
        watch->setAreaFlags(allAreasBut(View::AreaSplit | View::AreaText));
        showCompanions(watch, false, false);
        setGridSpacing(watch, 0, true);
        break;
    case GraphDepthSurface:
    case GraphDepthBeyondSurface:
        buttons += exports;
        if (window) {
            window->setSurfaceControlsVisible(true);
            window->setSmoothControlVisible(data->flat3D());
            window->setSmoothGraphs(data->flat3D() ? data->drawSettings3DFlat().smooth
                                                   : data->drawSettings3DCube().smooth);
        }
        // The value scale and the parameter axis stay: a surface shown as a colour map reads
        // its values on them, and a cube draws neither.
        watch->setAreaFlags(allAreasBut(View::AreaText));
        for (View *sub : {watch->subWatchX(), watch->subWatchY()}) {
            if (sub)
                sub->setAreaFlags(allAreasBut(View::AreaText | View::AreaSplitHorizontal));
        }
        showCompanions(watch, true, data->flat3D());
        setGridSpacing(watch, 2, false);
        break;
    }
    watch->setButtons(buttons);
}

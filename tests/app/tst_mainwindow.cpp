#include "app/mainwindow.h"
#include "app/scanstate.h"
#include "app/sliderwatchregistry.h"
#include "app/watchwindowcommands.h"
#include "ui_mainwindow.h"
#include "watches/watchwindow.h"
#include "widgets/termsofuseform.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void formMatchesLayout();
    void graphButtonState_data();
    void graphButtonState();
    void resizeKeepsChildrenInside();
    void escapeConsumedAndHarmlessOutsideScan();
    void escapeDuringScanRequestsStop();
    void digitsBeyondSliderCountSwallowed();
    void otherKeysNotConsumed();
    void titleDragMovesWindow();
    void missingHelpFileShowsMessage();
    void minimizingHidesWatchWindow_data();
    void minimizingHidesWatchWindow();
    void watchWindowKeys();
    void emptiedWatchWindowIsDropped();
    void termsOfUseAnswers();
    void chromeHelpButtonShowsHelp();

private:
    static bool sendKey(MainWindow &window, int key, QObject *target = nullptr)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        return window.eventFilter(target ? target : &window, &event);
    }
};

void TestMainWindow::formMatchesLayout()
{
    MainWindow window;
    QCOMPARE(window.windowTitle(), QString("Marlowin Pro"));
    QCOMPARE(window.minimumSize(), QSize(608, 300));
    QCOMPARE(window.ui->horizontalSlider_scanZoom->value(), 30);
    QCOMPARE(window.ui->horizontalSlider_scanZoom->minimum(), 12);
    QCOMPARE(window.ui->horizontalSlider_scanZoom->maximum(), 100);
    QCOMPARE(window.ui->label_Marlowin->parentWidget(), &window);
    QCOMPARE(window.ui->label_Marlowin->geometry().topLeft(), QPoint(24, 5));
    QVERIFY(window.ui->label_Marlowin->text().contains("Marlow"));
    QVERIFY(!window.ui->label_WindowIcon->pixmap().isNull());
    QCOMPARE(window.ui->pushButton_newSlider->text(), QString("New Sliders"));
    QCOMPARE(window.ui->pushButton_newWatch->text(), QString("New Watches"));
    QCOMPARE(window.ui->pushButton_DeleteAll->text(), QString("Remove All"));
    QCOMPARE(window.ui->pushButton_Graph->toolTip(),
             QString("Make graphs for whole range of selected slider(s)"));
}

void TestMainWindow::graphButtonState_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("watchCount");
    QTest::addColumn<bool>("scanning");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("graphEnabled");
    QTest::addColumn<bool>("deleteEnabled");
    QTest::newRow("nothing") << 0 << 0 << false << "Graph" << false << false;
    QTest::newRow("one slider, no watch") << 1 << 0 << false << "Graph" << false << true;
    QTest::newRow("one slider and a watch") << 1 << 1 << false << "Graph" << true << true;
    QTest::newRow("two sliders") << 2 << 1 << false << "3D Graph" << true << true;
    QTest::newRow("three sliders") << 3 << 2 << false << "4D Graph" << true << true;
    QTest::newRow("scanning") << 2 << 1 << true << "Stop Scan" << true << false;
}

void TestMainWindow::graphButtonState()
{
    QFETCH(int, selected);
    QFETCH(int, watchCount);
    QFETCH(bool, scanning);
    QFETCH(QString, text);
    QFETCH(bool, graphEnabled);
    QFETCH(bool, deleteEnabled);
    MainWindow window;
    // The button rules only count the lists' entries.
    for (int i = 0; i < selected; ++i) {
        window.registry->m_selectedSliders.append(nullptr);
        window.registry->m_sliders.append(nullptr);
    }
    for (int i = 0; i < watchCount; ++i)
        window.registry->m_watches.append(nullptr);
    ScanState::of(&window)->setScanning(scanning);
    window.updateButtons();
    QCOMPARE(window.ui->pushButton_Graph->text(), text);
    QCOMPARE(window.ui->pushButton_Graph->isEnabled(), graphEnabled);
    QCOMPARE(window.ui->horizontalSlider_scanZoom->isEnabled(), graphEnabled);
    QCOMPARE(window.ui->pushButton_DeleteAll->isEnabled(), deleteEnabled);
    QCOMPARE(window.ui->pushButton_newSlider->isEnabled(), !scanning);
    QCOMPARE(window.ui->pushButton_newWatch->isEnabled(), !scanning);
}

void TestMainWindow::resizeKeepsChildrenInside()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(800, 450);
    QTRY_COMPARE(window.width(), 800);
    const QRect contents = window.contentsRect();
    const QRect main = window.ui->widget_Main->geometry();
    QCOMPARE(main.left(), 10);
    QCOMPARE(main.top(), 30);
    QCOMPARE(main.right(), contents.right() - contents.left() - 20);
    QCOMPARE(main.bottom(), contents.bottom() - contents.top() - 20);
    const QRect title = window.ui->label_Marlowin->geometry();
    QCOMPARE(title.left(), 24);
    QCOMPARE(title.right(), 800 - 1 - 46);
}

void TestMainWindow::escapeConsumedAndHarmlessOutsideScan()
{
    MainWindow window;
    QVERIFY(sendKey(window, Qt::Key_Escape));
    QVERIFY(!ScanState::of(&window)->stopRequested());
    QVERIFY(!ScanState::of(&window)->isScanning());
}

void TestMainWindow::escapeDuringScanRequestsStop()
{
    MainWindow window;
    ScanState::of(&window)->setScanning(true);
    QVERIFY(sendKey(window, Qt::Key_Escape));
    QVERIFY(ScanState::of(&window)->stopRequested());
}

void TestMainWindow::digitsBeyondSliderCountSwallowed()
{
    MainWindow window;
    for (int key = Qt::Key_1; key <= Qt::Key_9; ++key)
        QVERIFY(sendKey(window, key));
    QVERIFY(window.registry->selectedSliders().isEmpty());
}

void TestMainWindow::otherKeysNotConsumed()
{
    MainWindow window;
    QVERIFY(!sendKey(window, Qt::Key_0));
    QVERIFY(!sendKey(window, Qt::Key_Q));
    // Keys for other objects are never taken.
    QObject other;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QVERIFY(!window.eventFilter(&other, &escape));
}

void TestMainWindow::titleDragMovesWindow()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint before = window.pos();
    QMouseEventLabel *title = window.ui->label_Marlowin;
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 25), title->mapToGlobal(QPointF(30, 25)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    window.label_MarlowinMouseMoved(&move);
    QCOMPARE(window.pos(), before + QPoint(20, 15));
    QMouseEvent hover(QEvent::MouseMove, QPointF(60, 60), title->mapToGlobal(QPointF(60, 60)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    window.label_MarlowinMouseMoved(&hover);
    QCOMPARE(window.pos(), before + QPoint(20, 15));
}

void TestMainWindow::missingHelpFileShowsMessage()
{
    QVERIFY(!QFileInfo::exists(MainWindow::helpFilePath()));
    MainWindow window;
    QString text;
    QString informative;
    bool onTop = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        text = box->text();
        informative = box->informativeText();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        box->accept();
    });
    window.showHelp();
    QCOMPARE(text, QString("Marlowin Pro Quick Help file not found."));
    QVERIFY(informative.startsWith("Please re-download Marlowin Pro or request the help file"));
    QVERIFY(onTop);
}

void TestMainWindow::minimizingHidesWatchWindow_data()
{
    QTest::addColumn<bool>("visibleBefore");
    QTest::newRow("visible watch window comes back") << true;
    QTest::newRow("hidden watch window stays hidden") << false;
}

void TestMainWindow::minimizingHidesWatchWindow()
{
    QFETCH(bool, visibleBefore);
    MainWindow window;
    window.show();
    window.watchWindows->adopt(new WatchWindow);
    WatchWindow *watchWindow = window.watchWindows->window();
    watchWindow->setVisible(visibleBefore);

    window.showMinimized();
    QVERIFY(!watchWindow->isVisible());
    QCOMPARE(watchWindow->property("wasvisible").toBool(), visibleBefore);

    window.showNormal();
    QCOMPARE(watchWindow->isVisible(), visibleBefore);
}

void TestMainWindow::watchWindowKeys()
{
    MainWindow window;
    // F is taken even while there is no watch window to act on.
    QVERIFY(sendKey(window, Qt::Key_F));

    window.watchWindows->adopt(new WatchWindow);
    WatchWindow *watchWindow = window.watchWindows->window();
    watchWindow->show();
    auto *flat = watchWindow->findChild<QCheckBox *>(QStringLiteral("checkBox_Flat3DGraph"));
    auto *smooth = watchWindow->findChild<QCheckBox *>(QStringLiteral("checkBox_SmoothGraphs"));
    flat->setVisible(true);
    const bool flatBefore = flat->isChecked();
    QVERIFY(sendKey(window, Qt::Key_F));
    QCOMPARE(flat->isChecked(), !flatBefore);
    flat->setVisible(false);
    QVERIFY(sendKey(window, Qt::Key_F));
    QCOMPARE(flat->isChecked(), !flatBefore);

    const bool smoothBefore = smooth->isChecked();
    QVERIFY(sendKey(window, Qt::Key_S, watchWindow));
    QCOMPARE(smooth->isChecked(), !smoothBefore);
    // Keys for the watch window's children are theirs.
    QVERIFY(!sendKey(window, Qt::Key_S, smooth));
    QCOMPARE(smooth->isChecked(), !smoothBefore);
}

void TestMainWindow::emptiedWatchWindowIsDropped()
{
    MainWindow window;
    auto *older = new WatchWindow;
    window.watchWindows->adopt(older);
    auto *current = new WatchWindow;
    window.watchWindows->adopt(current);
    const QPointer<WatchWindow> olderGuard(older);
    const QPointer<WatchWindow> currentGuard(current);
    // An older window that loses its last watch goes; the current one stays where new watches go.
    emit older->watchesEmptied();
    QTRY_VERIFY(!olderGuard);
    QCOMPARE(window.watchWindows->window(), current);
    emit current->watchesEmptied();
    QVERIFY(!window.watchWindows->window());
    QTRY_VERIFY(!currentGuard);
}

void TestMainWindow::termsOfUseAnswers()
{
    QTemporaryDir folder;
    MainWindow window;
    window.settingsFiles = SettingsFiles(folder.path());
    window.show();
    TermsOfUseForm *form = window.termsOfUseForm;
    QVERIFY(form->findChild<QTextEdit *>("textEdit_termsOfUse")->toPlainText().contains("Terms"));
    window.checkTermsOfUseApproval();
    QVERIFY(form->isVisible());
    QVERIFY(form->isModal());

    // Accepted, then accepted again from the link: the flag stays set, the form closes.
    for (int round = 0; round < 2; ++round) {
        form->findChild<QPushButton *>("pushButton_accept")->click();
        QVERIFY(!form->isVisible());
        QVERIFY(window.settingsFiles.termsOfUseApproved());
        window.checkTermsOfUseApproval();
        QVERIFY(!form->isVisible());
        QTest::mousePress(window.ui->label_termsOfUse, Qt::LeftButton);
        QVERIFY(form->isVisible());
    }

    // Declining closes every window, and with the last window the program ends.
    form->findChild<QPushButton *>("pushButton_reject")->click();
    QVERIFY(ScanState::of(&window)->isClosing());
    QVERIFY(!window.isVisible());
    QVERIFY(!form->isVisible());
    QVERIFY(window.settingsFiles.termsOfUseApproved());
}

void TestMainWindow::chromeHelpButtonShowsHelp()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.grab();
    const QPoint help = window.property("helpbuttonrect").toRect().center();
    QVERIFY(!help.isNull());
    // The help file is missing beside the test, so the help shows its message; the message
    // runs its own event loop, so a timer inside that loop answers it.
    bool messageShown = false;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            messageShown = true;
            box->accept();
        }
    });
    answer.start(20);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(help), window.mapToGlobal(QPointF(help)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    }
    QTRY_VERIFY(messageShown);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

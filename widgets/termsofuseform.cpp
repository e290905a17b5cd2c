#include "widgets/termsofuseform.h"
#include "ui_termsofuseform.h"

#include <QFile>
#include <QScreen>

TermsOfUseForm::TermsOfUseForm(QWidget *parent) : QWidget(parent), ui(new Ui::TermsOfUseForm)
{
    ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    QFile text(":/resources/TermsOfUse.txt");
    if (text.open(QIODevice::ReadOnly | QIODevice::Text))
        ui->textEdit_termsOfUse->setPlainText(QString::fromUtf8(text.readAll()));
}

TermsOfUseForm::~TermsOfUseForm()
{
    delete ui;
}

void TermsOfUseForm::setOwner(QObject *owner)
{
    this->owner = owner;
}

void TermsOfUseForm::setVisible(bool visible)
{
    if (visible && !isVisible())
        centreOnOwnerScreen();
    QWidget::setVisible(visible);
}

void TermsOfUseForm::centreOnOwnerScreen()
{
    const auto *ownerWidget = qobject_cast<const QWidget *>(owner);
    const QScreen *screen = ownerWidget ? ownerWidget->screen() : this->screen();
    if (!screen)
        return;
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    setGeometry(frame);
}

void TermsOfUseForm::on_pushButton_accept_clicked()
{
    emit accepted();
    close();
}

void TermsOfUseForm::on_pushButton_reject_clicked()
{
    emit declined();
}

#ifndef TERMSOFUSEFORM_H
#define TERMSOFUSEFORM_H

#include <QWidget>

namespace Ui {
class TermsOfUseForm;
}

// Shows the terms of use and asks the user to accept or decline them. The form only reports
// the answer: its owner records an acceptance and ends the program on a refusal.
class TermsOfUseForm : public QWidget
{
    Q_OBJECT

public:
    explicit TermsOfUseForm(QWidget *parent = nullptr);
    ~TermsOfUseForm() override;

    // The window whose screen the form is centred on when it shows.
    void setOwner(QObject *owner);
    void setVisible(bool visible) override;

signals:
    void accepted();
    void declined();

private slots:
    void on_pushButton_accept_clicked();
    void on_pushButton_reject_clicked();

private:
    void centreOnOwnerScreen();

    Ui::TermsOfUseForm *ui;
    QObject *owner = nullptr;
};

#endif

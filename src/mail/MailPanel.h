#pragma once

#include "CatalogueDrag.h"
#include "MailAccount.h"
#include "MailEditor.h"

#include <QWidget>

class Dialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

// The tab "Email": the poll's switch `OVGETMAIL` and interval `OVMAILTIME`, the account list `etree`
// with "Neu", "Ändern" and "Löschen", and the account panel `neupoppanel` with its four drop targets
// for catalogue objects (the count panel `ANZPANEL` and the lists `ABSENDER`, `BETREFF`,
// `DATUMUHRZEIT`). The accounts are the list given; the panel changes it and says so with
// listChanged(), after which it is to be saved.
class MailPanel : public QWidget {
    Q_OBJECT
public:
    static inline const QString kAddMode = QStringLiteral("Hinzufügen");
    static inline const QString kChangeMode = QStringLiteral("Ändern");
    // The captions of the four drop targets, for "Ablegen auf …" without a mouse.
    static inline const QString kCountTarget = QStringLiteral("Anzahl der Emails");
    static inline const QString kSenderTarget = QStringLiteral("Absender");
    static inline const QString kSubjectTarget = QStringLiteral("Betreff");
    static inline const QString kDateTarget = QStringLiteral("Datum/Uhrzeit");

    // accounts and dialogs must outlive the panel.
    MailPanel(MailAccountList &accounts, Dialogs &dialogs, QWidget *parent = nullptr);

    // The switch and the interval as the settings hold them; setting them signals nothing.
    void setMailOn(bool on);
    void setMailtime(const QString &minutes);
    // The list was replaced (loaded): the tree shows it anew.
    void reloadAccounts();

    // What a drop on each target does, for a keyboard user: the same rules and refusals (the
    // account panel must be open, the object must have a GAN, a list takes at most five).
    bool dropObjectOnCount(const DraggedObject &object);
    bool dropObjectOnSender(const DraggedObject &object);
    bool dropObjectOnSubject(const DraggedObject &object);
    bool dropObjectOnDate(const DraggedObject &object);

    // Handlers, named as in the window they belong to.
    void eneuClick();
    void eaendernClick();
    void edelteClick();
    void Hinzubtn3Click();
    void ezurueckbtnClick();
    void delabsenderClick();
    void delbetreffClick();
    void deldatumzeitClick();

signals:
    // "Email abruf" was clicked.
    void mailSwitched(bool on);
    // The interval box holds a new number of minutes.
    void mailtimeEdited(const QString &minutes);
    // An account was added, changed, deleted or edited in the tree: the list is to be saved.
    void listChanged();

private:
    bool dropOnList(QComboBox *list, const DraggedObject &object);
    static void removeSelected(QComboBox *list);
    MailForm form() const;
    void showForm(const MailForm &form);
    void setCountCaption(const QString &caption);
    std::optional<qsizetype> selectedAccount() const;
    void selectAccount(qsizetype index);
    void treeEdited(QStandardItem *item);
    void buildAccountPanel();

    MailAccountList &m_accounts;
    Dialogs &m_dialogs;
    QStandardItemModel *m_model = nullptr;
    QString m_countCaption = MailForm::kNoCountObject;
    bool m_reloading = false;

    QCheckBox *OVGETMAIL = nullptr;
    QSpinBox *OVMAILTIME = nullptr;
    QTreeView *etree = nullptr;
    QPushButton *eneu = nullptr;
    QPushButton *eaendern = nullptr;
    QPushButton *edelte = nullptr;
    QWidget *neupoppanel = nullptr;
    QLineEdit *SERVER = nullptr;
    QLineEdit *PORT = nullptr;
    QCheckBox *ABRUF = nullptr;
    QCheckBox *eBalloon = nullptr;
    QCheckBox *eTLS = nullptr;
    QLineEdit *LOGIN = nullptr;
    QLineEdit *PASSWORD = nullptr;
    QLabel *ANZPANEL = nullptr;
    QComboBox *ABSENDER = nullptr;
    QComboBox *BETREFF = nullptr;
    QComboBox *DATUMUHRZEIT = nullptr;
    QPushButton *delabsender = nullptr;
    QPushButton *delbetreff = nullptr;
    QPushButton *deldatumzeit = nullptr;
    QPushButton *Hinzubtn3 = nullptr;
    QPushButton *ezurueckbtn = nullptr;
};

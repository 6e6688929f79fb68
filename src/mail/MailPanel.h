#pragma once

#include "ListEditorPanel.h"
#include "MailAccount.h"
#include "MailEditor.h"
#include "MailTreeModel.h"

class Dialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeView;

// The tab "Email": the poll's switch `OVGETMAIL` and interval `OVMAILTIME`, the account list `etree`
// with "Neu", "Ändern" and "Löschen", and the account panel `neupoppanel` with its four drop targets
// for catalogue objects (the count panel `ANZPANEL` and the lists `ABSENDER`, `BETREFF`,
// `DATUMUHRZEIT`). The accounts are the list given; the panel changes it and says so with
// listChanged(), after which it is to be saved.
class MailPanel : public ListEditorPanel {
    Q_OBJECT
public:
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
    // An account was added, changed or deleted: the list is to be saved. Texts edited in the tree go
    // into the accounts at once and are saved with the next save.
    void listChanged();

private:
    bool dropOnList(QComboBox *list, const DraggedObject &object);
    static void removeChosenItem(QComboBox *list);
    MailForm form() const;
    void showForm(const MailForm &form);
    void setCountCaption(const QString &caption);
    void buildAccountPanel();

    MailAccountList &m_accounts;
    Dialogs &m_dialogs;
    MailTreeModel m_model;
    ListEditRules<MailAccountList> m_listRules;
    QString m_countCaption = MailForm::kNoCountObject;
    bool m_showingMailtime = false; // the interval box shows the settings' value, not the user's

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

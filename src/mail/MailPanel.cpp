#include "MailPanel.h"

#include "Dialogs.h"
#include "MailTexts.h"
#include "NamedWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>
#include <QVBoxLayout>

using NamedWidgets::button;
using NamedWidgets::named;

namespace {
QStringList itemsOf(const QComboBox *list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->itemText(i));
    return items;
}

void showItems(QComboBox *list, const QStringList &items) {
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(static_cast<int>(items.size()) - 1);
}
} // namespace

MailPanel::MailPanel(MailAccountList &accounts, Dialogs &dialogs, QWidget *parent)
    : ListEditorPanel(parent), m_accounts(accounts), m_dialogs(dialogs), m_model(accounts),
      m_listRules(accounts, {[&dialogs](const QString &question) { return dialogs.confirm(question); },
                             [&dialogs](const QString &text) { dialogs.error(text); },
                             [this] {
                                 reloadTree(std::nullopt);
                                 emit listChanged();
                             },
                             {},
                             {}}) {
    setObjectName(QStringLiteral("mailPanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    OVGETMAIL = named(new QCheckBox(kMailSwitch, this), QStringLiteral("OVGETMAIL"), kMailSwitch);
    OVMAILTIME = named(new QSpinBox(this), QStringLiteral("OVMAILTIME"), kMailInterval);
    OVMAILTIME->setRange(1, 1000);
    OVMAILTIME->setValue(5);
    auto *intervalLabel = new QLabel(kMailInterval, this);
    intervalLabel->setBuddy(OVMAILTIME);
    auto *pollRow = new QHBoxLayout;
    pollRow->addWidget(OVGETMAIL);
    pollRow->addStretch();
    pollRow->addWidget(intervalLabel);
    pollRow->addWidget(OVMAILTIME);
    layout->addLayout(pollRow);
    connect(OVGETMAIL, &QCheckBox::clicked, this, &MailPanel::mailSwitched);
    connect(OVMAILTIME, &QSpinBox::valueChanged, this, [this](int minutes) {
        if (!m_showingMailtime)
            emit mailtimeEdited(QString::number(minutes));
    });

    etree = createTree(m_model, m_listRules, QStringLiteral("etree"), QStringLiteral("Email"), this);
    layout->addWidget(etree, 1);
    m_model.setRenaming([&accounts](qsizetype flat, const QString &text) { accounts.setNodeText(flat, text); },
                        [](qsizetype flat) { return MailAccountList::holdsText(flat % kMailAccountNodes); });

    eneu = button(QStringLiteral("eneu"), kMailNew, {}, this);
    eaendern = button(QStringLiteral("eaendern"), kMailChange, {}, this);
    edelte = button(QStringLiteral("edelte"), kMailDelete, kMailDeleteHint, this);
    layout->addLayout(buttonRow({eneu, eaendern, edelte}));
    connect(eneu, &QPushButton::clicked, this, &MailPanel::eneuClick);
    connect(eaendern, &QPushButton::clicked, this, &MailPanel::eaendernClick);
    connect(edelte, &QPushButton::clicked, this, &MailPanel::edelteClick);

    buildAccountPanel();
    setParameterPanel(neupoppanel);
    layout->addWidget(neupoppanel);
    neupoppanel->hide();
    reloadAccounts();
}

void MailPanel::buildAccountPanel() {
    neupoppanel = new QWidget(this);
    neupoppanel->setObjectName(QStringLiteral("neupoppanel"));
    auto *form = new QFormLayout(neupoppanel);
    form->setContentsMargins(0, 0, 0, 0);
    const auto edit = [this](const QString &name, const QString &label) {
        return named(new QLineEdit(neupoppanel), name, label);
    };
    SERVER = edit(QStringLiteral("SERVER"), kMailServer);
    PORT = edit(QStringLiteral("PORT"), kMailPort);
    PORT->setText(MailForm::kDefaultPort);
    LOGIN = edit(QStringLiteral("LOGIN"), kMailLogin);
    PASSWORD = edit(QStringLiteral("PASSWORD"), kMailPassword);
    // Not shown on screen nor read aloud; the mail file keeps it as before.
    PASSWORD->setEchoMode(QLineEdit::Password);
    ABRUF = named(new QCheckBox(kMailFetch, neupoppanel), QStringLiteral("ABRUF"), kMailFetch);
    ABRUF->setChecked(true);
    eBalloon =
        named(new QCheckBox(kMailBalloon, neupoppanel), QStringLiteral("eBalloon"), kMailBalloon, kMailBalloonHint);
    eTLS = named(new QCheckBox(kMailTls, neupoppanel), QStringLiteral("eTLS"), kMailTls, kMailTlsHint);

    ANZPANEL = named(new QLabel(neupoppanel), QStringLiteral("ANZPANEL"), kCountTarget);
    new ObjectDrop(ANZPANEL, &ObjectDrop::hasNumber, [this](const DraggedObject &o) { return dropObjectOnCount(o); });
    ANZPANEL->setFrameShape(QFrame::Panel);
    ANZPANEL->setFocusPolicy(Qt::StrongFocus);
    setCountCaption(MailForm::kNoCountObject);

    const auto list = [this](const QString &name, const QString &label,
                             bool (MailPanel::*drop)(const DraggedObject &)) {
        auto *box = named(new QComboBox(neupoppanel), name, label);
        new ObjectDrop(box, &ObjectDrop::hasNumber, [this, drop](const DraggedObject &o) { return (this->*drop)(o); });
        box->setPlaceholderText(kMailDropHere);
        return box;
    };
    ABSENDER = list(QStringLiteral("ABSENDER"), kSenderTarget, &MailPanel::dropObjectOnSender);
    BETREFF = list(QStringLiteral("BETREFF"), kSubjectTarget, &MailPanel::dropObjectOnSubject);
    DATUMUHRZEIT = list(QStringLiteral("DATUMUHRZEIT"), kDateTarget, &MailPanel::dropObjectOnDate);
    const auto remover = [this](const QString &name, const QString &target) {
        QPushButton *b = named(new QPushButton(QStringLiteral("X"), neupoppanel), name, kMailRemoveFrom.arg(target));
        b->setFixedWidth(24);
        return b;
    };
    delabsender = remover(QStringLiteral("delabsender"), kSenderTarget);
    delbetreff = remover(QStringLiteral("delbetreff"), kSubjectTarget);
    deldatumzeit = remover(QStringLiteral("deldatumzeit"), kDateTarget);
    connect(delabsender, &QPushButton::clicked, this, &MailPanel::delabsenderClick);
    connect(delbetreff, &QPushButton::clicked, this, &MailPanel::delbetreffClick);
    connect(deldatumzeit, &QPushButton::clicked, this, &MailPanel::deldatumzeitClick);

    Hinzubtn3 = button(QStringLiteral("Hinzubtn3"), kAddMode, kConfirmHint, neupoppanel);
    ezurueckbtn = button(QStringLiteral("ezurueckbtn"), kBack, {}, neupoppanel);
    connect(Hinzubtn3, &QPushButton::clicked, this, &MailPanel::Hinzubtn3Click);
    connect(ezurueckbtn, &QPushButton::clicked, this, &MailPanel::ezurueckbtnClick);

    const auto row = [this, form](const QString &label, QWidget *control, QWidget *extra = nullptr) {
        auto *caption = new QLabel(label, neupoppanel);
        caption->setBuddy(control);
        if (!extra) {
            form->addRow(caption, control);
            return;
        }
        auto *line = new QHBoxLayout;
        line->addWidget(control, 1);
        line->addWidget(extra);
        form->addRow(caption, line);
    };
    row(kMailServer, SERVER);
    row(kMailPort, PORT);
    auto *flags = new QHBoxLayout;
    for (QCheckBox *box : {ABRUF, eBalloon, eTLS})
        flags->addWidget(box);
    form->addRow(flags);
    row(kMailLogin, LOGIN);
    row(kMailPassword, PASSWORD);
    row(kCountTarget, ANZPANEL);
    row(kSenderTarget, ABSENDER, delabsender);
    row(kSubjectTarget, BETREFF, delbetreff);
    row(kDateTarget, DATUMUHRZEIT, deldatumzeit);
    form->addRow(buttonRow({Hinzubtn3, ezurueckbtn}));
}

void MailPanel::setMailOn(bool on) {
    OVGETMAIL->setChecked(on);
}

void MailPanel::setMailtime(const QString &minutes) {
    bool ok = false;
    const int value = minutes.trimmed().toInt(&ok);
    if (!ok)
        return;
    m_showingMailtime = true;
    OVMAILTIME->setValue(value);
    m_showingMailtime = false;
}

void MailPanel::reloadAccounts() {
    reloadTree(std::nullopt);
}

bool MailPanel::dropObjectOnCount(const DraggedObject &object) {
    if (!parametersOpen() || !ObjectDrop::hasNumber(object))
        return false;
    setCountCaption(object.gan);
    return true;
}

bool MailPanel::dropObjectOnSender(const DraggedObject &object) {
    return dropOnList(ABSENDER, object);
}

bool MailPanel::dropObjectOnSubject(const DraggedObject &object) {
    return dropOnList(BETREFF, object);
}

bool MailPanel::dropObjectOnDate(const DraggedObject &object) {
    return dropOnList(DATUMUHRZEIT, object);
}

bool MailPanel::dropOnList(QComboBox *list, const DraggedObject &object) {
    if (!parametersOpen())
        return false;
    QStringList items = itemsOf(list);
    const bool added = MailForm::addToList(items, object.gan);
    if (added)
        showItems(list, items);
    return added;
}

void MailPanel::removeChosenItem(QComboBox *list) {
    const int index = list->currentIndex();
    if (index < 0)
        return;
    list->removeItem(index);
    // The item that moved into its place, or nothing.
    list->setCurrentIndex(index < list->count() ? index : -1);
}

void MailPanel::delabsenderClick() {
    removeChosenItem(ABSENDER);
}

void MailPanel::delbetreffClick() {
    removeChosenItem(BETREFF);
}

void MailPanel::deldatumzeitClick() {
    removeChosenItem(DATUMUHRZEIT);
}

void MailPanel::setCountCaption(const QString &caption) {
    m_countCaption = caption;
    // The caption's "&&" is one "&" on the screen.
    ANZPANEL->setText(QString(caption).replace(QStringLiteral("&&"), QStringLiteral("&")));
}

MailForm MailPanel::form() const {
    MailForm f;
    f.server = SERVER->text();
    f.port = PORT->text();
    f.fetch = ABRUF->isChecked();
    f.balloon = eBalloon->isChecked();
    f.tls = eTLS->isChecked();
    f.login = LOGIN->text();
    f.password = PASSWORD->text();
    f.countCaption = m_countCaption;
    f.senders = itemsOf(ABSENDER);
    f.subjects = itemsOf(BETREFF);
    f.dates = itemsOf(DATUMUHRZEIT);
    return f;
}

void MailPanel::showForm(const MailForm &f) {
    SERVER->setText(f.server);
    PORT->setText(f.port);
    ABRUF->setChecked(f.fetch);
    eBalloon->setChecked(f.balloon);
    eTLS->setChecked(f.tls);
    LOGIN->setText(f.login);
    PASSWORD->setText(f.password);
    setCountCaption(f.countCaption);
    showItems(ABSENDER, f.senders);
    showItems(BETREFF, f.subjects);
    showItems(DATUMUHRZEIT, f.dates);
}

void MailPanel::eneuClick() {
    neupoppanel->show();
}

void MailPanel::eaendernClick() {
    const std::optional<qsizetype> selected = selectedEntry();
    if (!selected)
        return;
    const MailAccount &account = m_accounts.at(*selected);
    const std::optional<MailForm> filled = form().withAccount(account);
    if (!filled) {
        const bool fetchOk = readMailFlag(account.fetchFlag).has_value();
        m_dialogs.error(kNotABoolean.arg(fetchOk ? account.balloonFlag : account.fetchFlag));
        return;
    }
    showForm(*filled);
    setMode(Hinzubtn3, kChangeMode);
    neupoppanel->show();
}

void MailPanel::Hinzubtn3Click() {
    const MailForm f = form();
    if (!f.complete()) {
        m_dialogs.information(kMailIncomplete);
    } else if (inAddMode(Hinzubtn3)) {
        const std::optional<qsizetype> selected = selectedEntry();
        m_accounts.append(f.newAccount());
        reloadTree(selected);
    } else if (const std::optional<qsizetype> selected = selectedEntry()) {
        f.applyTo(m_accounts[*selected]);
        reloadTree(m_accounts.size() - 1);
        etree->setFocus();
    }
    ezurueckbtnClick();
    emit listChanged();
}

void MailPanel::ezurueckbtnClick() {
    neupoppanel->hide();
    setMode(Hinzubtn3, kAddMode);
    showForm(MailForm{});
}

void MailPanel::edelteClick() {
    m_listRules.remove(selectedFlat());
}

#include "MailPanel.h"

#include "Dialogs.h"
#include "ImageLists.h"
#include "MailTexts.h"
#include "NamedWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

using NamedWidgets::button;
using NamedWidgets::named;

namespace {
constexpr int kAccountImage = 15;
constexpr int kMailsImage = 16;
constexpr int kFieldImage = 1;
constexpr int kAccountRole = Qt::UserRole + 1;
constexpr int kFieldRole = Qt::UserRole + 2;
constexpr int kNoField = -1;
constexpr int kSlotFieldBase = 100; // slot s (from 0), kind k: base + 3 * s + k

// A widget that takes catalogue objects: every drag that carries one with a GAN is accepted.
template <typename Base> class DropTarget : public Base {
public:
    using Drop = std::function<bool(const DraggedObject &)>; // false: the drop is refused
    template <typename... Args>
    explicit DropTarget(Drop drop, Args &&...args) : Base(std::forward<Args>(args)...), m_drop(std::move(drop)) {
        this->setAcceptDrops(true);
    }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override { take(event); }
    void dragMoveEvent(QDragMoveEvent *event) override { take(event); }
    void dropEvent(QDropEvent *event) override {
        if (const std::optional<DraggedObject> object = take(event); object && !m_drop(*object))
            event->ignore();
    }

private:
    // ANZPANELDragOver: only an object of the catalogue that has a GAN.
    std::optional<DraggedObject> take(QDropEvent *event) {
        std::optional<DraggedObject> object = draggedObject(event->mimeData());
        if (object && !object->gan.isEmpty()) {
            event->acceptProposedAction();
            return object;
        }
        event->ignore();
        return std::nullopt;
    }
    Drop m_drop;
};

QStandardItem *node(const QString &text, int image, int account, int field) {
    auto *item = new QStandardItem(ImageLists::systemImage(image), text);
    item->setData(account, kAccountRole);
    item->setData(field, kFieldRole);
    item->setEditable(field != kNoField || image == kAccountImage);
    return item;
}

// The fields of an account in the order of its nodes.
const std::array<QString MailAccount::*, 7> kFieldMembers{
    &MailAccount::host,  &MailAccount::port,     &MailAccount::fetchFlag, &MailAccount::balloonFlag,
    &MailAccount::login, &MailAccount::password, &MailAccount::countGan};
const std::array<QString MailSlot::*, 3> kSlotMembers{&MailSlot::senderGan, &MailSlot::subjectGan, &MailSlot::dateGan};

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
    : QWidget(parent), m_accounts(accounts), m_dialogs(dialogs) {
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
        if (!m_reloading)
            emit mailtimeEdited(QString::number(minutes));
    });

    m_model = new QStandardItemModel(this);
    etree = named(new QTreeView(this), QStringLiteral("etree"), QStringLiteral("Email"));
    etree->setHeaderHidden(true);
    etree->setModel(m_model);
    etree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    layout->addWidget(etree, 1);
    connect(m_model, &QStandardItemModel::itemChanged, this, &MailPanel::treeEdited);

    auto *buttons = new QHBoxLayout;
    eneu = button(QStringLiteral("eneu"), kMailNew, {}, this);
    eaendern = button(QStringLiteral("eaendern"), kMailChange, {}, this);
    edelte = button(QStringLiteral("edelte"), kMailDelete, kMailDeleteHint, this);
    for (QPushButton *b : {eneu, eaendern, edelte})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(eneu, &QPushButton::clicked, this, &MailPanel::eneuClick);
    connect(eaendern, &QPushButton::clicked, this, &MailPanel::eaendernClick);
    connect(edelte, &QPushButton::clicked, this, &MailPanel::edelteClick);

    buildAccountPanel();
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

    ANZPANEL =
        named(new DropTarget<QLabel>([this](const DraggedObject &o) { return dropObjectOnCount(o); }, neupoppanel),
              QStringLiteral("ANZPANEL"), kCountTarget);
    ANZPANEL->setFrameShape(QFrame::Panel);
    ANZPANEL->setFocusPolicy(Qt::StrongFocus);
    setCountCaption(MailForm::kNoCountObject);

    const auto list = [this](const QString &name, const QString &label,
                             bool (MailPanel::*drop)(const DraggedObject &)) {
        auto *box = named(
            new DropTarget<QComboBox>([this, drop](const DraggedObject &o) { return (this->*drop)(o); }, neupoppanel),
            name, label);
        box->setPlaceholderText(kMailDropHere);
        return static_cast<QComboBox *>(box);
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

    Hinzubtn3 = button(QStringLiteral("Hinzubtn3"), kAddMode, kMailConfirmHint, neupoppanel);
    ezurueckbtn = button(QStringLiteral("ezurueckbtn"), kMailBack, {}, neupoppanel);
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
    auto *confirmRow = new QHBoxLayout;
    confirmRow->addWidget(Hinzubtn3);
    confirmRow->addWidget(ezurueckbtn);
    form->addRow(confirmRow);
}

void MailPanel::setMailOn(bool on) {
    OVGETMAIL->setChecked(on);
}

void MailPanel::setMailtime(const QString &minutes) {
    bool ok = false;
    const int value = minutes.trimmed().toInt(&ok);
    if (!ok)
        return;
    m_reloading = true;
    OVMAILTIME->setValue(value);
    m_reloading = false;
}

void MailPanel::reloadAccounts() {
    m_reloading = true;
    m_model->clear();
    for (qsizetype k = 0; k < m_accounts.size(); ++k) {
        const MailAccount &account = m_accounts.at(k);
        const int a = static_cast<int>(k);
        QStandardItem *top = node(account.name, kAccountImage, a, kNoField);
        for (size_t f = 0; f < kFieldMembers.size(); ++f)
            top->appendRow(node(account.*kFieldMembers[f], kFieldImage, a, static_cast<int>(f)));
        QStandardItem *mails = node(kMailsNode, kMailsImage, a, kNoField);
        mails->setEditable(false);
        for (int s = 0; s < kMailSlotCount; ++s) {
            QStandardItem *slot = node(QString::number(s + 1), kMailsImage, a, kNoField);
            slot->setEditable(false);
            for (int kind = 0; kind < 3; ++kind)
                slot->appendRow(node(account.mailSlots[static_cast<size_t>(s)].*kSlotMembers[static_cast<size_t>(kind)],
                                     kFieldImage, a, kSlotFieldBase + 3 * s + kind));
            mails->appendRow(slot);
        }
        top->appendRow(mails);
        m_model->appendRow(top);
    }
    m_reloading = false;
}

// Texts edited in the tree go into the account at once and are stored with the next save.
void MailPanel::treeEdited(QStandardItem *item) {
    if (m_reloading)
        return;
    const qsizetype a = item->data(kAccountRole).toInt();
    const int field = item->data(kFieldRole).toInt();
    if (a < 0 || a >= m_accounts.size())
        return;
    MailAccount &account = m_accounts[a];
    if (!item->parent())
        account.name = item->text();
    else if (field >= kSlotFieldBase)
        account.mailSlots[static_cast<size_t>((field - kSlotFieldBase) / 3)].*
            kSlotMembers[static_cast<size_t>((field - kSlotFieldBase) % 3)] = item->text();
    else if (field >= 0 && field < static_cast<int>(kFieldMembers.size()))
        account.*kFieldMembers[static_cast<size_t>(field)] = item->text();
}

std::optional<qsizetype> MailPanel::selectedAccount() const {
    const QModelIndex current = etree->currentIndex();
    if (!current.isValid() || current.parent().isValid() || current.row() >= m_accounts.size())
        return std::nullopt;
    return current.row();
}

void MailPanel::selectAccount(qsizetype index) {
    etree->setCurrentIndex(m_model->index(static_cast<int>(index), 0));
}

bool MailPanel::dropObjectOnCount(const DraggedObject &object) {
    if (neupoppanel->isHidden() || object.gan.isEmpty())
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
    if (neupoppanel->isHidden())
        return false;
    QStringList items = itemsOf(list);
    const bool added = MailForm::addToList(items, object.gan);
    if (added)
        showItems(list, items);
    return added;
}

void MailPanel::removeSelected(QComboBox *list) {
    const int index = list->currentIndex();
    if (index < 0)
        return;
    list->removeItem(index);
    // The item that moved into its place, or nothing.
    list->setCurrentIndex(index < list->count() ? index : -1);
}

void MailPanel::delabsenderClick() {
    removeSelected(ABSENDER);
}

void MailPanel::delbetreffClick() {
    removeSelected(BETREFF);
}

void MailPanel::deldatumzeitClick() {
    removeSelected(DATUMUHRZEIT);
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
    const std::optional<qsizetype> selected = selectedAccount();
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
    Hinzubtn3->setText(kChangeMode);
    Hinzubtn3->setAccessibleName(kChangeMode);
    neupoppanel->show();
}

void MailPanel::Hinzubtn3Click() {
    const MailForm f = form();
    if (!f.complete()) {
        m_dialogs.information(kMailIncomplete);
    } else if (Hinzubtn3->text() == kAddMode) {
        const std::optional<qsizetype> selected = selectedAccount();
        m_accounts.append(f.newAccount());
        reloadAccounts();
        if (selected)
            selectAccount(*selected);
    } else if (const std::optional<qsizetype> selected = selectedAccount()) {
        f.applyTo(m_accounts[*selected]);
        reloadAccounts();
        selectAccount(m_accounts.size() - 1);
        etree->setFocus();
    }
    ezurueckbtnClick();
    emit listChanged();
}

void MailPanel::ezurueckbtnClick() {
    neupoppanel->hide();
    Hinzubtn3->setText(kAddMode);
    Hinzubtn3->setAccessibleName(kAddMode);
    showForm(MailForm{});
}

void MailPanel::edelteClick() {
    if (!m_dialogs.confirm(kMailAskDelete))
        return;
    const std::optional<qsizetype> selected = selectedAccount();
    if (!selected)
        return;
    m_accounts.removeAt(*selected);
    reloadAccounts();
    emit listChanged();
}

#include "LoadReplacePanel.h"

#include "AutomationTexts.h"
#include "FieldFocus.h"
#include "NamedWidgets.h"
#include "ObjectDrop.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace T = AutomationTexts;

using NamedWidgets::buddyLabel;
using NamedWidgets::button;
using NamedWidgets::named;

LoadReplacePanel::LoadReplacePanel(LoadReplaceList &rules, Dialogs &dialogs, LoadReplaceEditor::Hooks hooks,
                                   std::function<QString(const QString &)> getlv, QWidget *parent)
    : QWidget(parent), m_rules(rules), m_model(rules), m_editor(rules, dialogs, std::move(hooks)),
      m_getlv(std::move(getlv)) {
    setObjectName(QStringLiteral("loadReplaceEditor"));
    rtree = named(new QTreeView(this), QStringLiteral("rtree"), T::kTab);
    rtree->setHeaderHidden(true);
    rtree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    rtree->setModel(&m_model);
    new ObjectDrop(rtree->viewport(), &LoadReplaceEditor::acceptsDrop,
                   [this](const DraggedObject &object) { return dropObjectOnList(object); });
    m_model.setRenaming([this](qsizetype flat, const QString &text) { m_editor.rtreeEdited(flat, text); });
    connect(rtree->selectionModel(), &QItemSelectionModel::currentChanged, this, &LoadReplacePanel::rtreeChange);
    rtree->installEventFilter(this);

    LRAufbtn = button(QStringLiteral("LRAufbtn"), T::kAuf, T::kAufHint, this);
    LRAbBtn = button(QStringLiteral("LRAbBtn"), T::kAb, T::kAbHint, this);
    lraendernbtn = button(QStringLiteral("lraendernbtn"), T::kAendern, {}, this);
    lrdeletebtn = button(QStringLiteral("lrdeletebtn"), T::kLoeschen, T::kLoeschenHint, this);
    connect(LRAufbtn, &QPushButton::clicked, this, &LoadReplacePanel::LRAufbtnClick);
    connect(LRAbBtn, &QPushButton::clicked, this, &LoadReplacePanel::LRAbBtnClick);
    connect(lraendernbtn, &QPushButton::clicked, this, &LoadReplacePanel::lraendernbtnClick);
    connect(lrdeletebtn, &QPushButton::clicked, this, &LoadReplacePanel::lrdeletebtnClick);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {LRAufbtn, LRAbBtn, lraendernbtn, lrdeletebtn})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rtree, 1);
    layout->addLayout(buttons);

    buildParameterPanel();
    rtreeChange();
}

void LoadReplacePanel::buildParameterPanel() {
    auto *panel = new QFrame(this);
    parapanel2 = named(panel, QStringLiteral("parapanel2"), T::kParameter);
    panel->setAutoFillBackground(true);
    auto *group = new QGroupBox(T::kParameterGroup, panel);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    panelLayout->addWidget(group);

    LRBEZ = named(new QLabel(group), QStringLiteral("LRBEZ"), T::kName);
    LRGA = named(new QLabel(group), QStringLiteral("LRGA"), T::kGa);
    QFont bold = LRBEZ->font();
    bold.setBold(true);
    LRBEZ->setFont(bold);
    LRGA->setFont(bold);
    LRWERT = named(new QLabel(group), QStringLiteral("LRWERT"), T::kValue);
    QFont small = LRWERT->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    LRWERT->setFont(small);

    LRHOST = named(new QLineEdit(group), QStringLiteral("LRHOST"), T::kHost, T::kHostHint);
    LRSPEICHERORT = named(new QLineEdit(group), QStringLiteral("LRSPEICHERORT"), T::kSaveto);
    FieldFocus::selectAllOnFocus(LRHOST);
    FieldFocus::selectAllOnFocus(LRSPEICHERORT);
    m_chooseSaveto = named(new QToolButton(group), QStringLiteral("LRSPEICHERORTwahl"), T::kSavetoDialogTitle,
                           T::kSavetoDialogTitle);
    m_chooseSaveto->setText(T::kChoose);
    connect(m_chooseSaveto, &QToolButton::clicked, this, &LoadReplacePanel::chooseSaveto);

    Hinzubtn2 = button(QStringLiteral("Hinzubtn2"), T::kAddMode, T::kAddHint, group);
    lrzurueckbtn = button(QStringLiteral("lrzurueckbtn"), T::kZurueck, {}, group);
    connect(Hinzubtn2, &QPushButton::clicked, this, &LoadReplacePanel::Hinzubtn2Click);
    connect(lrzurueckbtn, &QPushButton::clicked, this, &LoadReplacePanel::lrzurueckbtnClick);

    auto *saveto = new QHBoxLayout;
    saveto->addWidget(LRSPEICHERORT, 1);
    saveto->addWidget(m_chooseSaveto);
    auto *finishButtons = new QHBoxLayout;
    finishButtons->addWidget(Hinzubtn2);
    finishButtons->addWidget(lrzurueckbtn);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(LRBEZ);
    layout->addWidget(LRGA);
    layout->addWidget(LRWERT);
    layout->addWidget(buddyLabel(T::kHost, LRHOST, group));
    layout->addWidget(LRHOST);
    layout->addWidget(new QLabel(T::kHostNote, group));
    layout->addWidget(buddyLabel(T::kSaveto, LRSPEICHERORT, group));
    layout->addLayout(saveto);
    // The buttons follow the fields: the panel is taller than the page when the settings are open.
    layout->addLayout(finishButtons);
    layout->addStretch(1);
    panel->hide();
}

bool LoadReplacePanel::dropObjectOnList(const DraggedObject &object) {
    if (!parapanel2->isHidden() || !LoadReplaceEditor::acceptsDrop(object))
        return false;
    rtreeDragDrop(object);
    return true;
}

void LoadReplacePanel::rtreeDragDrop(const DraggedObject &object) {
    m_dropped = object;
    setMode(T::kAddMode);
    LRBEZ->setText(object.name);
    LRGA->setText(QStringLiteral("GA:") + object.ga);
    LRWERT->setText(m_getlv ? m_getlv(object.gan) : QString());
    // Host and file keep what they held: the next camera is often on the same host.
    openPanel();
}

void LoadReplacePanel::reload() {
    if (!parapanel2->isHidden())
        lrzurueckbtnClick();
    reloadTree(std::nullopt);
}

void LoadReplacePanel::setParameterPanelHeight(int height) {
    m_panelHeight = height;
    parapanel2->setGeometry(0, 0, width(), m_panelHeight);
}

void LoadReplacePanel::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    parapanel2->setGeometry(0, 0, width(), m_panelHeight);
}

bool LoadReplacePanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched != rtree || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    // The keys act like their buttons, and only when those could be pressed.
    const auto *key = static_cast<QKeyEvent *>(event);
    QPushButton *target = nullptr;
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier)
        target = lrdeletebtn;
    else if (key->key() == Qt::Key_Up && key->modifiers() == Qt::AltModifier)
        target = LRAufbtn;
    else if (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier)
        target = LRAbBtn;
    if (!target)
        return false;
    if (target->isEnabled())
        target->click();
    return true;
}

std::optional<qsizetype> LoadReplacePanel::selectedFlat() const {
    const QModelIndex current = rtree->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return m_model.flatPosition(current);
}

std::optional<qsizetype> LoadReplacePanel::selectedRule() const {
    const std::optional<qsizetype> flat = selectedFlat();
    return flat ? m_rules.entryAt(*flat) : std::nullopt;
}

void LoadReplacePanel::rtreeChange() {
    const LoadReplaceButtons states = m_editor.rtreeChange(selectedFlat());
    LRAufbtn->setEnabled(states.auf);
    LRAbBtn->setEnabled(states.ab);
    lraendernbtn->setEnabled(states.aendern);
    lrdeletebtn->setEnabled(states.loeschen);
}

void LoadReplacePanel::Hinzubtn2Click() {
    if (Hinzubtn2->text() == T::kAddMode) {
        if (!m_dropped || !m_editor.add(*m_dropped, LRHOST->text(), LRSPEICHERORT->text()))
            return;
    } else if (!m_editor.change(m_changing, LRHOST->text(), LRSPEICHERORT->text())) {
        return;
    }
    closePanel();
    // The last rule is chosen afterwards, in both modes.
    reloadTree(m_rules.size() - 1);
    rtree->setFocus();
}

void LoadReplacePanel::lraendernbtnClick() {
    const std::optional<qsizetype> k = selectedRule();
    if (!k)
        return;
    m_changing = *k;
    setMode(T::kChangeMode);
    const LoadReplaceEntry &rule = m_rules.at(*k);
    LRBEZ->setText(rule.bezeichnung);
    LRGA->setText(rule.ga);
    LRWERT->clear();
    LRHOST->setText(rule.host);
    LRSPEICHERORT->setText(rule.saveto);
    openPanel();
}

void LoadReplacePanel::lrzurueckbtnClick() {
    closePanel();
    rtree->setFocus();
}

void LoadReplacePanel::lrdeletebtnClick() {
    const std::optional<qsizetype> k = selectedRule();
    if (!m_editor.lrdeletebtnClick(selectedFlat()))
        return;
    reloadTree(m_rules.isEmpty() ? std::nullopt : std::optional<qsizetype>(std::min(*k, m_rules.size() - 1)));
}

void LoadReplacePanel::LRAufbtnClick() {
    const std::optional<qsizetype> k = selectedRule();
    if (k && m_editor.moveUp(*k))
        reloadTree(*k - 1);
    rtree->setFocus();
}

void LoadReplacePanel::LRAbBtnClick() {
    const std::optional<qsizetype> k = selectedRule();
    if (k && m_editor.moveDown(*k))
        reloadTree(*k + 1);
    rtree->setFocus();
}

void LoadReplacePanel::chooseSaveto() {
    auto *dialog = new QFileDialog(this, T::kSavetoDialogTitle, LRSPEICHERORT->text());
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, LRSPEICHERORT, &QLineEdit::setText);
    dialog->open();
}

void LoadReplacePanel::setMode(const QString &caption) {
    Hinzubtn2->setText(caption);
    Hinzubtn2->setAccessibleName(caption);
}

void LoadReplacePanel::openPanel() {
    parapanel2->show();
    parapanel2->raise();
    LRHOST->setFocus();
}

void LoadReplacePanel::closePanel() {
    parapanel2->hide();
}

void LoadReplacePanel::reloadTree(std::optional<qsizetype> select) {
    m_model.reload();
    if (select)
        rtree->setCurrentIndex(m_model.indexOf(LoadReplaceList::flatPosition(*select)));
    rtreeChange();
}

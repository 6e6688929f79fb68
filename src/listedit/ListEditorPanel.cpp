#include "ListEditorPanel.h"

#include "EntryTreeModel.h"
#include "NamedWidgets.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeView>

QTreeView *ListEditorPanel::createTree(EntryTreeModel &model, ListEditing &rules, const QString &name,
                                       const QString &caption, QWidget *parent) {
    m_model = &model;
    m_rules = &rules;
    connect(m_model, &QAbstractItemModel::modelReset, this, &ListEditorPanel::modelReset);
    m_tree = NamedWidgets::named(new QTreeView(parent), name, caption);
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_tree->setModel(m_model);
    m_tree->installEventFilter(this);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &ListEditorPanel::updateButtons);
    return m_tree;
}

void ListEditorPanel::takeObjectsOnTree(ObjectDrop::Accepts accepts, std::function<void(const DraggedObject &)> open) {
    m_accepts = std::move(accepts);
    m_open = std::move(open);
    m_tree->setDropIndicatorShown(false);
    new ObjectDrop(m_tree->viewport(), m_accepts, [this](const DraggedObject &object) { return takeObject(object); });
}

bool ListEditorPanel::takeObject(const DraggedObject &object) {
    if (parametersOpen() || !m_accepts(object))
        return false;
    m_open(object);
    return true;
}

void ListEditorPanel::setListButtons(QPushButton *up, QPushButton *down, QPushButton *change, QPushButton *remove) {
    m_up = up;
    m_down = down;
    m_change = change;
    m_remove = remove;
    if (m_up)
        connect(m_up, &QPushButton::clicked, this, [this] { moveSelected(true); });
    if (m_down)
        connect(m_down, &QPushButton::clicked, this, [this] { moveSelected(false); });
    if (m_remove)
        connect(m_remove, &QPushButton::clicked, this, &ListEditorPanel::removeSelected);
    updateButtons();
}

bool ListEditorPanel::parametersOpen() const {
    return m_parameters && !m_parameters->isHidden();
}

void ListEditorPanel::setMode(QPushButton *confirm, const QString &caption) {
    confirm->setText(caption);
    confirm->setAccessibleName(caption);
}

bool ListEditorPanel::inAddMode(const QPushButton *confirm) {
    return confirm->text() == kAddMode;
}

QHBoxLayout *ListEditorPanel::buttonRow(std::initializer_list<QPushButton *> buttons) {
    auto *row = new QHBoxLayout;
    for (QPushButton *button : buttons)
        row->addWidget(button);
    return row;
}

std::optional<qsizetype> ListEditorPanel::selectedFlat() const {
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return m_model->flatPosition(current);
}

void ListEditorPanel::selectEntry(qsizetype k) {
    m_tree->setCurrentIndex(m_model->indexOf(m_rules->flatPosition(k)));
}

void ListEditorPanel::reloadTree(std::optional<qsizetype> select) {
    m_reloading = true;
    m_model->reload();
    m_reloading = false;
    if (select)
        selectEntry(*select);
    updateButtons();
}

void ListEditorPanel::modelReset() {
    if (!m_reloading)
        listReplaced();
    updateButtons();
}

void ListEditorPanel::updateButtons() {
    const ListButtons states = m_rules->buttons(selectedFlat());
    for (const auto &[button, enabled] : {std::pair{m_up, states.auf}, std::pair{m_down, states.ab},
                                          std::pair{m_change, states.aendern}, std::pair{m_remove, states.loeschen}})
        if (button)
            button->setEnabled(enabled);
}

bool ListEditorPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_tree || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    // The keys act like their buttons, and only when those could be pressed.
    const auto *key = static_cast<QKeyEvent *>(event);
    QPushButton *target = nullptr;
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier)
        target = m_remove;
    else if (key->key() == Qt::Key_Up && key->modifiers() == Qt::AltModifier)
        target = m_up;
    else if (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier)
        target = m_down;
    if (!target)
        return false;
    if (target->isEnabled())
        target->click();
    return true;
}

void ListEditorPanel::moveSelected(bool up) {
    const std::optional<qsizetype> k = selectedEntry();
    if (k && (up ? m_rules->moveUp(*k) : m_rules->moveDown(*k)))
        reloadTree(*k + (up ? -1 : 1));
    m_tree->setFocus();
}

void ListEditorPanel::removeSelected() {
    const std::optional<qsizetype> k = selectedEntry();
    if (!m_rules->remove(selectedFlat()))
        return;
    // The entry that took the deleted one's place is chosen next, so the key can delete on.
    const qsizetype count = m_rules->entryCount();
    reloadTree(count == 0 ? std::nullopt : std::optional<qsizetype>(std::min(*k, count - 1)));
}

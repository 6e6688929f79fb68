#pragma once

#include "ListEditRules.h"
#include "ObjectDrop.h"

#include <QWidget>
#include <optional>

class EntryTreeModel;
class QHBoxLayout;
class QPushButton;
class QTreeView;

// What the list editors (menu, Load & Replace, mail accounts) share: their list as a tree whose
// nodes can be renamed in place (F2 or a click on the chosen row), the buttons that move, change
// and delete its entries as the list's rules allow, the keys that press them (Delete, Alt+Up,
// Alt+Down), objects of the catalogue dropped on the tree, and a parameter panel where an entry is
// added or changed. Each editor lays out its page and fills its parameter panel.
class ListEditorPanel : public QWidget {
    Q_OBJECT
protected:
    explicit ListEditorPanel(QWidget *parent) : QWidget(parent) {}

    // The captions of the parameter panel's confirm button, which tell its two modes apart, its hint,
    // and the caption of the button that leaves the panel.
    static inline const QString kAddMode = QStringLiteral("Hinzufügen");
    static inline const QString kChangeMode = QStringLiteral("Ändern");
    static inline const QString kConfirmHint = QStringLiteral("Befehl zum Kotextmenü hinzufügen");
    static inline const QString kBack = QStringLiteral("Zurück");

    // The tree over the model, named and captioned for screen readers; called once, before all
    // else. The model shows the list the rules work on; both must outlive the panel.
    QTreeView *createTree(EntryTreeModel &model, ListEditing &rules, const QString &name, const QString &caption,
                          QWidget *parent);
    // Objects of the catalogue dropped on the tree, or given by takeObject: accepts tells which the
    // list takes, open opens the parameter panel to add one.
    void takeObjectsOnTree(ObjectDrop::Accepts accepts, std::function<void(const DraggedObject &)> open);
    // What a drop on the tree does: opens the panel for the object. Refused (false) while the panel
    // is open, or for an object the list does not take.
    bool takeObject(const DraggedObject &object);

    // The buttons the rules make usable; up, down and delete do their work here, and the keys press
    // them when they could be pressed. Any may be none.
    void setListButtons(QPushButton *up, QPushButton *down, QPushButton *change, QPushButton *remove);
    void setParameterPanel(QWidget *panel) { m_parameters = panel; }
    bool parametersOpen() const;
    // The confirm button's caption tells add mode from change mode.
    static void setMode(QPushButton *confirm, const QString &caption);
    static bool inAddMode(const QPushButton *confirm);
    // Buttons side by side, as below the tree and at the foot of the parameter panel.
    static QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons);

    std::optional<qsizetype> selectedFlat() const;
    std::optional<qsizetype> selectedEntry() const { return m_rules->entryAt(selectedFlat()); }
    void selectEntry(qsizetype k);
    // Shows the list anew after a change of the panel's own and chooses entry select, if any.
    void reloadTree(std::optional<qsizetype> select);
    void updateButtons();
    // The list was loaded anew under the panel: an entry being added or changed may be gone.
    virtual void listReplaced() {}

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveSelected(bool up);
    void removeSelected();
    void modelReset();

    EntryTreeModel *m_model = nullptr;
    ListEditing *m_rules = nullptr;
    QTreeView *m_tree = nullptr;
    QWidget *m_parameters = nullptr;
    ObjectDrop::Accepts m_accepts;
    std::function<void(const DraggedObject &)> m_open;
    QPushButton *m_up = nullptr;
    QPushButton *m_down = nullptr;
    QPushButton *m_change = nullptr;
    QPushButton *m_remove = nullptr;
    bool m_reloading = false; // the tree is reloaded for a change of our own
};

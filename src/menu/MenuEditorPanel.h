#pragma once

#include "ListEditorPanel.h"
#include "MenuEditor.h"

#include <optional>

class Dialogs;
class EventSounds;
class MenuTreeModel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedLayout;
class QTreeView;
class SoundPicker;

// The "Menü" tab's editor: the menu tree `btree` with its buttons (up, down, separator, change,
// delete) and the wildcard legend, and the parameter panel `parapanel` that lies over them while an
// entry is added or changed. Objects of the catalogue are dropped onto the tree.
// Keyboard: Delete deletes (after the question), F2 renames, Alt+Up/Alt+Down move the entry.
class MenuEditorPanel : public ListEditorPanel {
    Q_OBJECT
public:
    // Names the tree as a place to put an object on, for a user who cannot drag.
    static inline const QString kDropTargetCaption = QStringLiteral("Menü");
    // Why "Hinzufügen"/"Ändern" cannot be pressed yet, when the symbol is the one choice left.
    static inline const QString kChooseSymbol = QStringLiteral("Bitte ein Symbol wählen");
    // Why the keyboard's "Ablegen auf … Menü" takes nothing while the parameters are open.
    static inline const QString kDropWhileOpen = QStringLiteral("erst Parameter abschließen");

    // menu, model, dialogs and sounds must outlive the panel; the model shows menu. The hooks
    // save, rebuild the popup, look up values and name the menu file (see MenuEditor).
    MenuEditorPanel(MenuList &menu, MenuTreeModel &model, Dialogs &dialogs, EventSounds &sounds,
                    MenuEditor::Hooks hooks, QWidget *parent = nullptr);

    // What a drop on the tree does, for a keyboard user who cannot drag: opens the panel to add
    // the object. Refused (false) without a GAN, or while the panel is open.
    bool dropObject(const DraggedObject &object);
    // Why an object cannot be put on the menu now (the parameter panel is open); empty when it can.
    QString dropRefusal() const;

private:
    void blistDragDrop(const DraggedObject &object);
    void btreeEdited(qsizetype flat, const QString &text);
    void Typ1Change();
    void Aktion1Change();
    void xwertChange();
    void Symbol1Change();
    void gaballoonClick();
    void gaMsgClick();
    void makepopupbtnfrei();
    // Says on the add button and in the window's status line when only the symbol is missing.
    void updateSymbolHint();
    void showSymbolHint(bool show);
    void hinzubtnClick();
    void zurueckbtnClick();
    void aendernbtnClick();
    void LiniebtnClick();

    void fillLists(const QString &type);
    void hideFreeValue();
    EntryParameters parameters() const;
    void finish();
    void openPanel();
    void closePanel();
    bool changeMode() const;
    void listReplaced() override;
    void buildEditorPage();
    void buildParameterPanel(EventSounds &sounds);

    MenuList &m_menu;
    MenuTreeModel &m_model;
    MenuEditor m_editor;
    std::optional<DraggedObject> m_dropped; // the object the add mode adds
    qsizetype m_changing = -1;              // the entry the change mode changes
    bool m_symbolHintShown = false;         // the status line asks for a symbol

    QStackedLayout *m_stack = nullptr;
    QWidget *m_editorPage = nullptr;
    QTreeView *btree = nullptr;
    QPushButton *Aufbtn = nullptr;
    QPushButton *Abbtn = nullptr;
    QPushButton *Liniebtn = nullptr;
    QPushButton *aendernbtn = nullptr;
    QPushButton *deltebtn = nullptr;
    QGroupBox *m_legend = nullptr;

    QWidget *parapanel = nullptr;
    QLabel *Bez = nullptr;
    QComboBox *Typ1 = nullptr;
    QComboBox *Aktion1 = nullptr;
    QLabel *xwertlabel = nullptr;
    QLineEdit *xwert = nullptr;
    QComboBox *Symbol1 = nullptr;
    QCheckBox *gasound = nullptr;
    SoundPicker *m_soundPicker = nullptr;
    QCheckBox *gaballoon = nullptr;
    QCheckBox *gaMsg = nullptr;
    QPushButton *hinzubtn = nullptr;
    QPushButton *zurueckbtn = nullptr;
};

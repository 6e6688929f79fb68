#pragma once

#include "ListEditorPanel.h"
#include "LoadReplaceEditor.h"
#include "LoadReplaceModel.h"

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeView;

// The "Load && Replace" tab's editor: the rule list `rtree` with its buttons (up, down, change,
// delete), and the parameter panel `parapanel2` laid over them while a rule is added or changed.
// Objects of the catalogue are dropped onto the list. Every node can be renamed in place (F2);
// Delete deletes (after the question), Alt+Up/Alt+Down move the rule, as their buttons do.
class LoadReplacePanel : public ListEditorPanel {
    Q_OBJECT
public:
    // What the catalogue's "Ablegen auf …" menu calls the list as a drop target.
    static inline const QString kDropTargetCaption = QStringLiteral("Load && Replace");

    // rules and dialogs must outlive the panel. getlv gives the newest value of a number, with
    // decimal comma ("0,0" after telling the user when none is known).
    LoadReplacePanel(LoadReplaceList &rules, Dialogs &dialogs, LoadReplaceEditor::Hooks hooks,
                     std::function<QString(const QString &gan)> getlv, QWidget *parent = nullptr);

    // What a drop on the list does, for a keyboard user who cannot drag: opens the parameter panel
    // to add a rule for the object. Refused (false) without a GAN, or while the panel is open.
    bool dropObjectOnList(const DraggedObject &object);
    // The rules were loaded anew: the list shows them, a change under way is dropped.
    void reload();
    // The parameter panel's height; it lies over the list, whatever room the page has.
    void setParameterPanelHeight(int height);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void rtreeDragDrop(const DraggedObject &object);
    void Hinzubtn2Click();
    void lraendernbtnClick();
    void lrzurueckbtnClick();
    void chooseSaveto();

    void openPanel();
    void buildParameterPanel();

    LoadReplaceList &m_rules;
    LoadReplaceModel m_model;
    LoadReplaceEditor m_editor;
    std::function<QString(const QString &)> m_getlv;
    std::optional<DraggedObject> m_dropped; // the object the add mode adds
    qsizetype m_changing = -1;              // the rule the change mode changes
    int m_panelHeight = 553;

    QTreeView *rtree = nullptr;
    QPushButton *LRAufbtn = nullptr;
    QPushButton *LRAbBtn = nullptr;
    QPushButton *lraendernbtn = nullptr;
    QPushButton *lrdeletebtn = nullptr;

    QWidget *parapanel2 = nullptr;
    QLabel *LRBEZ = nullptr;
    QLabel *LRGA = nullptr;
    QLabel *LRWERT = nullptr;
    QLineEdit *LRHOST = nullptr;
    QLineEdit *LRSPEICHERORT = nullptr;
    QToolButton *m_chooseSaveto = nullptr;
    QPushButton *Hinzubtn2 = nullptr;
    QPushButton *lrzurueckbtn = nullptr;
};

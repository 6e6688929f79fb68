#include "LoadReplacePanel.h"

#include "AutomationTexts.h"
#include "FieldFocus.h"
#include "NamedWidgets.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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
    : ListEditorPanel(parent), m_rules(rules), m_model(rules), m_editor(rules, dialogs, std::move(hooks)),
      m_getlv(std::move(getlv)) {
    setObjectName(QStringLiteral("loadReplaceEditor"));
    rtree = createTree(m_model, m_editor.listRules(), QStringLiteral("rtree"), T::kTab, this);
    takeObjectsOnTree(&LoadReplaceEditor::acceptsDrop, [this](const DraggedObject &object) { rtreeDragDrop(object); });
    m_model.setRenaming([this](qsizetype flat, const QString &text) { m_editor.rtreeEdited(flat, text); });

    LRAufbtn = button(QStringLiteral("LRAufbtn"), T::kAuf, T::kAufHint, this);
    LRAbBtn = button(QStringLiteral("LRAbBtn"), T::kAb, T::kAbHint, this);
    lraendernbtn = button(QStringLiteral("lraendernbtn"), T::kAendern, {}, this);
    lrdeletebtn = button(QStringLiteral("lrdeletebtn"), T::kLoeschen, T::kLoeschenHint, this);
    setListButtons(LRAufbtn, LRAbBtn, lraendernbtn, lrdeletebtn);
    connect(lraendernbtn, &QPushButton::clicked, this, &LoadReplacePanel::lraendernbtnClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rtree, 1);
    layout->addLayout(buttonRow({LRAufbtn, LRAbBtn, lraendernbtn, lrdeletebtn}));

    buildParameterPanel();
}

void LoadReplacePanel::buildParameterPanel() {
    auto *panel = new QFrame(this);
    parapanel2 = named(panel, QStringLiteral("parapanel2"), T::kParameter);
    setParameterPanel(parapanel2);
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

    Hinzubtn2 = button(QStringLiteral("Hinzubtn2"), kAddMode, kConfirmHint, group);
    lrzurueckbtn = button(QStringLiteral("lrzurueckbtn"), kBack, {}, group);
    connect(Hinzubtn2, &QPushButton::clicked, this, &LoadReplacePanel::Hinzubtn2Click);
    connect(lrzurueckbtn, &QPushButton::clicked, this, &LoadReplacePanel::lrzurueckbtnClick);

    auto *saveto = new QHBoxLayout;
    saveto->addWidget(LRSPEICHERORT, 1);
    saveto->addWidget(m_chooseSaveto);
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
    layout->addLayout(buttonRow({Hinzubtn2, lrzurueckbtn}));
    layout->addStretch(1);
    panel->hide();
}

bool LoadReplacePanel::dropObjectOnList(const DraggedObject &object) {
    return takeObject(object);
}

void LoadReplacePanel::rtreeDragDrop(const DraggedObject &object) {
    m_dropped = object;
    setMode(Hinzubtn2, kAddMode);
    LRBEZ->setText(object.name);
    LRGA->setText(QStringLiteral("GA:") + object.ga);
    LRWERT->setText(m_getlv ? m_getlv(object.gan) : QString());
    // Host and file keep what they held: the next camera is often on the same host.
    openPanel();
}

void LoadReplacePanel::reload() {
    if (parametersOpen())
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

void LoadReplacePanel::Hinzubtn2Click() {
    if (inAddMode(Hinzubtn2)) {
        if (!m_dropped || !m_editor.add(*m_dropped, LRHOST->text(), LRSPEICHERORT->text()))
            return;
    } else if (!m_editor.change(m_changing, LRHOST->text(), LRSPEICHERORT->text())) {
        return;
    }
    parapanel2->hide();
    // The last rule is chosen afterwards, in both modes.
    reloadTree(m_rules.size() - 1);
    rtree->setFocus();
}

void LoadReplacePanel::lraendernbtnClick() {
    const std::optional<qsizetype> k = selectedEntry();
    if (!k)
        return;
    m_changing = *k;
    setMode(Hinzubtn2, kChangeMode);
    const LoadReplaceEntry &rule = m_rules.at(*k);
    LRBEZ->setText(rule.bezeichnung);
    LRGA->setText(rule.ga);
    LRWERT->clear();
    LRHOST->setText(rule.host);
    LRSPEICHERORT->setText(rule.saveto);
    openPanel();
}

void LoadReplacePanel::lrzurueckbtnClick() {
    parapanel2->hide();
    rtree->setFocus();
}

void LoadReplacePanel::chooseSaveto() {
    auto *dialog = new QFileDialog(this, T::kSavetoDialogTitle, LRSPEICHERORT->text());
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, LRSPEICHERORT, &QLineEdit::setText);
    dialog->open();
}

void LoadReplacePanel::openPanel() {
    parapanel2->show();
    parapanel2->raise();
    LRHOST->setFocus();
}

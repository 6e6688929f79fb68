#include "MenuEditorPanel.h"

#include "ImageLists.h"
#include "MenuTreeModel.h"
#include "NamedWidgets.h"
#include "SoundPicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QStatusTipEvent>
#include <QTreeView>
#include <QVBoxLayout>

using NamedWidgets::buddyLabel;
using NamedWidgets::button;
using NamedWidgets::named;

namespace {
QCheckBox *checkBox(const QString &name, const QString &caption, QWidget *parent) {
    return named(new QCheckBox(caption, parent), name, caption);
}
} // namespace

MenuEditorPanel::MenuEditorPanel(MenuList &menu, MenuTreeModel &model, Dialogs &dialogs, EventSounds &sounds,
                                 MenuEditor::Hooks hooks, QWidget *parent)
    : ListEditorPanel(parent), m_menu(menu), m_model(model), m_editor(menu, dialogs, std::move(hooks)) {
    setObjectName(QStringLiteral("menuEditor"));
    buildEditorPage();
    buildParameterPanel(sounds);

    m_legend = named(new QGroupBox(QStringLiteral(" Wildcard "), this), QStringLiteral("wildcardLegend"),
                     QStringLiteral("Wildcard"));
    auto *legendLayout = new QGridLayout(m_legend);
    const QString legend[] = {QStringLiteral("$ = Wert 1=1/0=0"),   QStringLiteral("$1 1=auf/0=zu"),
                              QStringLiteral("$2 1=oben/0=unten"),  QStringLiteral("$3 1=an/0=aus"),
                              QStringLiteral("$4 Wert ohne Komma"), QStringLiteral("$5 Wert Hex umw.")};
    for (int i = 0; i < 6; ++i)
        legendLayout->addWidget(new QLabel(legend[i], m_legend), i % 3, i / 3);

    auto *editorArea = new QWidget(this);
    m_stack = new QStackedLayout(editorArea);
    m_stack->addWidget(m_editorPage);
    m_stack->addWidget(parapanel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editorArea, 1);
    layout->addWidget(m_legend);

    m_model.setRenaming([this](qsizetype flat, const QString &text) { btreeEdited(flat, text); },
                        [this](qsizetype flat) { return m_editor.btreeEditing(flat); });
}

void MenuEditorPanel::buildEditorPage() {
    m_editorPage = new QWidget(this);
    btree = createTree(m_model, m_editor.listRules(), QStringLiteral("btree"), QStringLiteral("Menü"), m_editorPage);
    takeObjectsOnTree(&MenuEditor::acceptsDrop, [this](const DraggedObject &object) { blistDragDrop(object); });

    Aufbtn =
        button(QStringLiteral("Aufbtn"), QStringLiteral("Auf"), QStringLiteral("Befehl hochschieben"), m_editorPage);
    Abbtn =
        button(QStringLiteral("Abbtn"), QStringLiteral("Ab"), QStringLiteral("Befehl runterschieben"), m_editorPage);
    Liniebtn = button(QStringLiteral("Liniebtn"), QStringLiteral("Trennlinie"), QStringLiteral("Trennlinie hinzufügen"),
                      m_editorPage);
    aendernbtn = button(QStringLiteral("aendernbtn"), QStringLiteral("Ändern"), {}, m_editorPage);
    deltebtn =
        button(QStringLiteral("deltebtn"), QStringLiteral("Löschen"), QStringLiteral("Befehl löschen"), m_editorPage);
    setListButtons(Aufbtn, Abbtn, aendernbtn, deltebtn);
    connect(Liniebtn, &QPushButton::clicked, this, &MenuEditorPanel::LiniebtnClick);
    connect(aendernbtn, &QPushButton::clicked, this, &MenuEditorPanel::aendernbtnClick);

    QHBoxLayout *buttons = buttonRow({Aufbtn, Abbtn, Liniebtn, aendernbtn, deltebtn});
    buttons->setSpacing(4);
    // The tab is narrow: every caption stays whole, the short ones give up their room first.
    for (QPushButton *b : {Aufbtn, Abbtn, Liniebtn, aendernbtn, deltebtn})
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 12);
    auto *layout = new QVBoxLayout(m_editorPage);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(btree, 1);
    layout->addLayout(buttons);
}

void MenuEditorPanel::buildParameterPanel(EventSounds &sounds) {
    auto *panel = new QFrame(this);
    parapanel = named(panel, QStringLiteral("parapanel"), QStringLiteral("Parameter"));
    setParameterPanel(parapanel);
    auto *group = new QGroupBox(QStringLiteral(" Parameter "), panel);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    panelLayout->addWidget(group);

    Bez = named(new QLabel(group), QStringLiteral("Bez"), QStringLiteral("Bezeichnung"));
    QFont bold = Bez->font();
    bold.setBold(true);
    Bez->setFont(bold);

    Typ1 = named(new QComboBox(group), QStringLiteral("Typ1"), QStringLiteral("Typ"),
                 QStringLiteral("Hier den Typ des Gerätes angeben"));
    Typ1->addItems(MenuEntryTypes::types());
    Typ1->setEnabled(false);
    Aktion1 = named(new QComboBox(group), QStringLiteral("Aktion1"), QStringLiteral("Aktion"),
                    QStringLiteral("Was soll beim anklicken passieren"));
    xwert = named(new QLineEdit(group), QStringLiteral("xwert"), QStringLiteral("Wert"),
                  QStringLiteral("Freien Wert eingeben"));
    xwertlabel = buddyLabel(QStringLiteral("Wert"), xwert, group);
    xwertlabel->setObjectName(QStringLiteral("xwertlabel"));
    Symbol1 = named(new QComboBox(group), QStringLiteral("Symbol1"), QStringLiteral("Symbol"));
    gasound = checkBox(QStringLiteral("gasound"), QStringLiteral("Sound abspielen"), group);
    m_soundPicker = new SoundPicker(sounds, group);
    gaballoon = checkBox(QStringLiteral("gaballoon"), QStringLiteral("Balloon für GA"), group);
    gaMsg = checkBox(QStringLiteral("gaMsg"), QStringLiteral("Wichtige Meldung erzeugen"), group);
    hinzubtn = button(QStringLiteral("hinzubtn"), kAddMode, kConfirmHint, group);
    hinzubtn->setEnabled(false);
    zurueckbtn = button(QStringLiteral("zurueckbtn"), kBack, {}, group);
    fillLists(MenuEntryTypes::kSwitch);
    Symbol1->setEnabled(false);
    hideFreeValue();

    connect(Typ1, &QComboBox::activated, this, &MenuEditorPanel::Typ1Change);
    connect(Aktion1, &QComboBox::activated, this, &MenuEditorPanel::Aktion1Change);
    connect(xwert, &QLineEdit::textEdited, this, &MenuEditorPanel::xwertChange);
    connect(Symbol1, &QComboBox::activated, this, &MenuEditorPanel::Symbol1Change);
    connect(gaballoon, &QCheckBox::clicked, this, &MenuEditorPanel::gaballoonClick);
    connect(gaMsg, &QCheckBox::clicked, this, &MenuEditorPanel::gaMsgClick);
    connect(hinzubtn, &QPushButton::clicked, this, &MenuEditorPanel::hinzubtnClick);
    connect(zurueckbtn, &QPushButton::clicked, this, &MenuEditorPanel::zurueckbtnClick);

    auto *form = new QFormLayout;
    form->addRow(buddyLabel(QStringLiteral("Typ"), Typ1, group), Typ1);
    form->addRow(buddyLabel(QStringLiteral("Aktion"), Aktion1, group), Aktion1);
    form->addRow(xwertlabel, xwert);
    form->addRow(buddyLabel(QStringLiteral("Symbol"), Symbol1, group), Symbol1);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(Bez);
    layout->addLayout(form);
    layout->addWidget(gasound);
    layout->addWidget(m_soundPicker);
    layout->addWidget(gaballoon);
    layout->addWidget(gaMsg);
    layout->addStretch(1);
    layout->addLayout(buttonRow({hinzubtn, zurueckbtn}));
}

bool MenuEditorPanel::dropObject(const DraggedObject &object) {
    return takeObject(object);
}

QString MenuEditorPanel::dropRefusal() const {
    // A second object would throw away the choices made for the first one.
    return parapanel->isHidden() ? QString() : kDropWhileOpen;
}

void MenuEditorPanel::blistDragDrop(const DraggedObject &object) {
    m_dropped = object;
    // The mode first, so the type change below does not take a symbol from the selected entry.
    setMode(hinzubtn, kAddMode);
    Bez->setText(object.name);
    Typ1->setEnabled(true);
    Typ1->setCurrentIndex(0);
    Typ1Change();
    Aktion1->setCurrentIndex(0);
    gaballoon->setChecked(false);
    m_soundPicker->FillSoundList();
    openPanel();
}

void MenuEditorPanel::btreeEdited(qsizetype flat, const QString &text) {
    m_editor.btreeEdited(flat, text);
}

void MenuEditorPanel::fillLists(const QString &type) {
    Aktion1->clear();
    Aktion1->addItems(MenuEntryTypes::actions(type));
    // Only the switch type starts with an action chosen.
    Aktion1->setCurrentIndex(type == MenuEntryTypes::kSwitch ? 0 : -1);
    Symbol1->clear();
    for (const MenuEntryTypes::Symbol &symbol : MenuEntryTypes::symbols(type))
        Symbol1->addItem(ImageLists::symbolImage(symbol.picture), symbol.name, symbol.picture);
    Symbol1->setCurrentIndex(-1);
}

void MenuEditorPanel::hideFreeValue() {
    xwert->clear();
    xwert->hide();
    xwertlabel->hide();
}

void MenuEditorPanel::Typ1Change() {
    const QString type = Typ1->currentText();
    fillLists(type);
    Aktion1->setEnabled(true);
    // The switch type's first action counts as chosen, and a chosen action opens the symbol list
    // as choosing it would: the symbol is required.
    if (type == MenuEntryTypes::kSwitch)
        Symbol1->setEnabled(true);
    // A change starts from the entry's own symbol, whatever the state its icon shows now; a type
    // without that symbol leaves the choice to the user.
    if (changeMode() && m_changing >= 0 && m_changing < m_menu.size())
        Symbol1->setCurrentIndex(Symbol1->findData(m_menu.at(m_changing).symbol));
    if (type != MenuEntryTypes::kDimmer)
        hideFreeValue();
    makepopupbtnfrei();
}

void MenuEditorPanel::Aktion1Change() {
    if (Aktion1->currentText() == MenuEntryTypes::kFree) {
        xwert->clear();
        xwert->show();
        xwertlabel->show();
        Symbol1->setEnabled(false);
    } else {
        hideFreeValue();
        Symbol1->setEnabled(true);
    }
    updateSymbolHint();
}

void MenuEditorPanel::xwertChange() {
    Symbol1->setEnabled(true);
    updateSymbolHint();
}

void MenuEditorPanel::Symbol1Change() {
    makepopupbtnfrei();
}

void MenuEditorPanel::gaballoonClick() {
    makepopupbtnfrei();
}

void MenuEditorPanel::gaMsgClick() {
    makepopupbtnfrei();
}

void MenuEditorPanel::makepopupbtnfrei() {
    const QString action = Aktion1->currentIndex() >= 0 ? Aktion1->currentText() : QString();
    if (const std::optional<bool> enabled =
            m_editor.makepopupbtnfrei(Typ1->currentIndex() >= 0, action, xwert->text(), Symbol1->currentIndex() >= 0))
        hinzubtn->setEnabled(*enabled);
    updateSymbolHint();
}

void MenuEditorPanel::updateSymbolHint() {
    // Only while the panel is in use, and only when type, action and value are there: then the
    // symbol is what holds the button back, and the user is told so instead of a grey button.
    const bool open = !parapanel->isHidden();
    const bool actionChosen = Typ1->currentIndex() >= 0 && Aktion1->currentIndex() >= 0;
    const bool valueThere = Aktion1->currentText() != MenuEntryTypes::kFree || !xwert->text().isEmpty();
    showSymbolHint(open && actionChosen && valueThere && Symbol1->currentIndex() < 0);
}

void MenuEditorPanel::showSymbolHint(bool show) {
    const QString &hint = show ? kChooseSymbol : kConfirmHint;
    hinzubtn->setToolTip(hint);
    hinzubtn->setAccessibleDescription(hint);
    if (show == m_symbolHintShown)
        return;
    m_symbolHintShown = show;
    // The window's status line shows it (an empty tip takes it away again).
    QStatusTipEvent tip(show ? kChooseSymbol : QString());
    QCoreApplication::sendEvent(this, &tip);
}

EntryParameters MenuEditorPanel::parameters() const {
    EntryParameters p;
    p.typ = Typ1->currentText();
    p.aktion = Aktion1->currentText();
    p.wert = xwert->text();
    if (Symbol1->currentIndex() >= 0)
        p.symbol = Symbol1->currentData().toInt();
    p.balloon = gaballoon->isChecked();
    p.msg = gaMsg->isChecked();
    p.sound = gasound->isChecked();
    p.soundname = m_soundPicker->soundName();
    return p;
}

void MenuEditorPanel::hinzubtnClick() {
    if (!changeMode()) {
        if (!m_dropped)
            return;
        const std::optional<qsizetype> k = m_editor.add(*m_dropped, parameters());
        if (!k)
            return;
        finish();
        reloadTree(*k);
    } else {
        if (!m_editor.change(m_changing, parameters()))
            return;
        m_model.refreshEntry(m_changing);
        finish();
        selectEntry(m_changing);
    }
    btree->setFocus();
}

void MenuEditorPanel::finish() {
    Symbol1->setEnabled(false);
    Bez->clear();
    hinzubtn->setEnabled(false);
    Typ1->setCurrentIndex(0);
    fillLists(MenuEntryTypes::kSwitch);
    hideFreeValue();
    closePanel();
}

void MenuEditorPanel::zurueckbtnClick() {
    Bez->clear();
    closePanel();
    btree->setFocus();
}

void MenuEditorPanel::aendernbtnClick() {
    const std::optional<qsizetype> k = selectedEntry();
    if (!k)
        return;
    const std::optional<EntryParameters> entry = m_editor.openForChange(*k);
    if (!entry)
        return;
    m_changing = *k;
    setMode(hinzubtn, kChangeMode);
    m_soundPicker->FillSoundList();
    Bez->setText(m_menu.at(*k).bezeichnung);
    Typ1->setCurrentIndex(MenuEntryTypes::typeIndex(entry->typ));
    const QStringList known = MenuEntryTypes::actions(MenuEntryTypes::kSwitch) +
                              QStringList{MenuEntryTypes::kFree, MenuEntryTypes::kReadAction};
    if (known.contains(entry->aktion)) {
        Typ1Change();
        Aktion1->setCurrentIndex(Aktion1->findText(entry->aktion));
        // The entry's action is chosen: its value shows and a symbol can be chosen, as after the
        // user's own choice and value.
        if (entry->aktion == MenuEntryTypes::kFree) {
            xwert->setText(entry->wert);
            xwert->show();
            xwertlabel->show();
        }
        Symbol1->setEnabled(true);
    }
    // With its symbol chosen the entry can be changed at once. A free value the file left empty
    // is asked for when the user goes on, not as the panel opens.
    if (entry->aktion != MenuEntryTypes::kFree || !entry->wert.isEmpty())
        makepopupbtnfrei();
    else
        hinzubtn->setEnabled(false);
    gaballoon->setChecked(entry->balloon);
    gaMsg->setChecked(entry->msg);
    gasound->setChecked(entry->sound);
    // A name the system does not list stays as it was stored instead of being dropped.
    m_soundPicker->showSoundName(entry->soundname);
    Typ1->setEnabled(true);
    openPanel();
}

void MenuEditorPanel::LiniebtnClick() {
    const std::optional<qsizetype> selected = selectedFlat();
    if (m_editor.LiniebtnClick())
        reloadTree(selected ? m_menu.entryAt(*selected) : std::nullopt);
}

void MenuEditorPanel::listReplaced() {
    // The menu was loaded anew under the panel: the entry being changed may be gone.
    if (parametersOpen())
        zurueckbtnClick();
}

bool MenuEditorPanel::changeMode() const {
    return !inAddMode(hinzubtn);
}

void MenuEditorPanel::openPanel() {
    // Screen readers say which object the parameters are for.
    parapanel->setAccessibleName(QStringLiteral("Parameter für %1").arg(Bez->text()));
    parapanel->setAccessibleDescription(hinzubtn->text());
    m_stack->setCurrentWidget(parapanel);
    updateSymbolHint();
    Typ1->setFocus();
}

void MenuEditorPanel::closePanel() {
    m_stack->setCurrentWidget(m_editorPage);
    parapanel->setAccessibleName(QStringLiteral("Parameter"));
    parapanel->setAccessibleDescription({});
    showSymbolHint(false);
}

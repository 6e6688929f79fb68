#include "MenuEditor.h"

#include "DecimalComma.h"
#include "Dialogs.h"
#include "StateIcon.h"

namespace MenuEntryTypes {

QStringList types() {
    return {kSwitch, kDimmer, kRead};
}

QStringList actions(const QString &type) {
    if (type == kSwitch)
        return {QStringLiteral("Ein"), QStringLiteral("Aus"), QStringLiteral("Um")};
    if (type == kDimmer)
        return {kFree};
    if (type == kRead)
        return {kReadAction};
    return {};
}

QList<Symbol> symbols(const QString &type) {
    if (type == kSwitch)
        return {{QStringLiteral("Lampe 1"), 0},  {QStringLiteral("Lampe 2"), 2}, {QStringLiteral("Steckdose"), 4},
                {QStringLiteral("grün/rot"), 6}, {QStringLiteral("Check"), 8},   {QStringLiteral("Schalter"), 10}};
    if (type == kDimmer)
        return {{QStringLiteral("Dimmer"), 12}};
    if (type == kRead)
        return {{QStringLiteral("Temperatur"), 16}, {QStringLiteral("Web"), 17},     {QStringLiteral("Haus"), 18},
                {QStringLiteral("Email"), 19},      {QStringLiteral("Cam"), 20},     {QStringLiteral("Uhr"), 21},
                {QStringLiteral("Tropfen"), 23},    {QStringLiteral("Würfel"), 24},  {QStringLiteral("Fenster"), 25},
                {QStringLiteral("Haus 2"), 26},     {QStringLiteral("Handy"), 27},   {QStringLiteral("Film"), 28},
                {QStringLiteral("Brief"), 29},      {QStringLiteral("Telefon"), 30}, {QStringLiteral("Radio"), 31},
                {QStringLiteral("Musik"), 32}};
    return {};
}

int typeIndex(const QString &typ) {
    if (typ == kSwitch)
        return 0;
    if (typ == kDimmer)
        return 1;
    return 2;
}

} // namespace MenuEntryTypes

MenuEditor::MenuEditor(MenuList &menu, Dialogs &dialogs, Hooks hooks)
    : m_menu(menu), m_dialogs(dialogs), m_hooks(std::move(hooks)),
      m_rules(menu, {[&dialogs](const QString &question) { return dialogs.confirm(question); },
                     [&dialogs](const QString &text) { dialogs.error(text); }, [this] { changed(); },
                     [this] { return m_hooks.menuFilePath(); },
                     [&menu](qsizetype k) {
                         return menu.at(k).bezeichnung != QLatin1String("-");
                     }}) {
}

std::optional<bool> MenuEditor::makepopupbtnfrei(bool typeChosen, const QString &action, const QString &value,
                                                 bool symbolChosen) {
    if (!typeChosen || action.isEmpty())
        return false;
    if (action == MenuEntryTypes::kFree && value.isEmpty()) {
        m_dialogs.error(kEnterValue);
        return std::nullopt;
    }
    return symbolChosen;
}

void MenuEditor::fill(MenuCommand &entry, const EntryParameters &parameters) {
    entry.symbol = *parameters.symbol;
    entry.stateIcon = entry.symbol;
    entry.typ = parameters.typ;
    entry.aktion = parameters.aktion;
    entry.wert = parameters.wert;
    entry.lv = m_hooks.getlv(entry.gan);
    entry.balloon = flag(parameters.balloon);
    entry.msg = flag(parameters.msg);
    entry.sound = flag(parameters.sound);
    entry.soundname = parameters.soundname;
    if (entry.aktion != MenuEntryTypes::kReadAction)
        UpdateStateIcon(entry, entry.lv);
}

void MenuEditor::changed() {
    m_hooks.save_blist();
    m_hooks.make_popup();
}

std::optional<qsizetype> MenuEditor::add(const DraggedObject &object, const EntryParameters &parameters) {
    if (!parameters.symbol || !acceptsDrop(object))
        return std::nullopt;
    MenuCommand entry;
    entry.bezeichnung = object.name;
    entry.gan = object.gan;
    fill(entry, parameters);
    m_menu.append(std::move(entry));
    changed();
    return m_menu.size() - 1;
}

bool MenuEditor::change(qsizetype k, const EntryParameters &parameters) {
    if (!parameters.symbol || k < 0 || k >= m_menu.size())
        return false;
    fill(m_menu[k], parameters);
    changed();
    return true;
}

std::optional<EntryParameters> MenuEditor::openForChange(qsizetype k) {
    if (k < 0 || k >= m_menu.size())
        return std::nullopt;
    const MenuCommand &entry = m_menu.at(k);
    EntryParameters parameters;
    for (const auto &[text, target] :
         {std::pair{&entry.balloon, &parameters.balloon}, std::pair{&entry.msg, &parameters.msg},
          std::pair{&entry.sound, &parameters.sound}}) {
        const std::optional<bool> value = truthValue(*text);
        if (!value) {
            m_dialogs.error(QStringLiteral("\"%1\" ist kein gültiger Wahrheitswert.").arg(*text));
            return std::nullopt;
        }
        *target = *value;
    }
    parameters.typ = entry.typ;
    parameters.aktion = entry.aktion;
    parameters.wert = entry.wert;
    parameters.soundname = entry.soundname;
    return parameters;
}

bool MenuEditor::LiniebtnClick() {
    if (m_menu.isEmpty())
        return false;
    m_menu.append(MenuCommand::separator());
    changed();
    return true;
}

bool MenuEditor::btreeEditing(qsizetype flat) const {
    const std::optional<qsizetype> k = m_menu.entryAt(flat);
    return k && MenuList::looksLikeEntry(m_menu.at(*k));
}

QString MenuEditor::btreeEdited(qsizetype flat, const QString &text) {
    const std::optional<qsizetype> k = m_menu.entryAt(flat);
    if (!k)
        return {};
    if (text.trimmed().isEmpty())
        return m_menu.at(*k).bezeichnung;
    const QString name = m_rules.uniqueName(text);
    m_menu[*k].bezeichnung = name;
    m_hooks.make_popup();
    return name;
}

std::optional<bool> MenuEditor::truthValue(const QString &text) {
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> number = DecimalComma::parse(text))
        return *number != 0;
    return std::nullopt;
}

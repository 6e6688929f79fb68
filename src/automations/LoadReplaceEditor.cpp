#include "LoadReplaceEditor.h"

#include "Dialogs.h"
#include "LoadReplaceFile.h"

LoadReplaceEditor::LoadReplaceEditor(LoadReplaceList &rules, Dialogs &dialogs, Hooks hooks)
    : m_rules(rules), m_dialogs(dialogs), m_hooks(std::move(hooks)) {
}

std::optional<qsizetype> LoadReplaceEditor::add(const DraggedObject &object, const QString &host,
                                                const QString &saveto) {
    if (!acceptsDrop(object))
        return std::nullopt;
    m_rules.append({object.name, host, saveto, object.gan, object.ga});
    save();
    return m_rules.size() - 1;
}

bool LoadReplaceEditor::change(qsizetype k, const QString &host, const QString &saveto) {
    if (k < 0 || k >= m_rules.size())
        return false;
    m_rules[k].host = host;
    m_rules[k].saveto = saveto;
    save();
    return true;
}

bool LoadReplaceEditor::moveUp(qsizetype k) {
    if (k <= 0 || k >= m_rules.size())
        return false;
    m_rules.move(k, k - 1);
    save();
    return true;
}

bool LoadReplaceEditor::moveDown(qsizetype k) {
    if (k < 0 || k + 1 >= m_rules.size())
        return false;
    m_rules.move(k, k + 1);
    save();
    return true;
}

bool LoadReplaceEditor::lrdeletebtnClick(std::optional<qsizetype> selectedFlat) {
    if (!m_dialogs.confirm(kAskDelete))
        return false;
    const std::optional<qsizetype> k = selectedFlat ? m_rules.entryAt(*selectedFlat) : std::nullopt;
    if (!k)
        return false;
    QString error;
    if (!eraseLoadReplaceSection(m_hooks.filePath(), LoadReplaceList::flatPosition(*k), &error))
        m_dialogs.error(error);
    m_rules.removeAt(*k);
    save();
    return true;
}

LoadReplaceButtons LoadReplaceEditor::rtreeChange(std::optional<qsizetype> selectedFlat) const {
    LoadReplaceButtons b;
    b.loeschen = m_rules.nodeCount() > 0;
    const std::optional<qsizetype> k = selectedFlat ? m_rules.entryAt(*selectedFlat) : std::nullopt;
    if (!k)
        return b;
    b.aendern = true;
    if (m_rules.size() > 1) {
        b.auf = *k > 0;
        b.ab = *k < m_rules.size() - 1;
    }
    return b;
}

QString LoadReplaceEditor::rtreeEdited(qsizetype flat, const QString &text) {
    if (flat < 0 || flat >= m_rules.nodeCount())
        return text;
    QString unique = text;
    for (qsizetype i = 0; i < m_rules.nodeCount(); ++i)
        if (m_rules.nodeText(i) == unique)
            unique += QString::number(i);
    m_rules.setNodeText(flat, unique);
    return unique;
}

void LoadReplaceEditor::save() {
    QString error;
    if (!save_rlist(m_hooks.filePath(), m_rules, &error))
        m_dialogs.error(error);
}

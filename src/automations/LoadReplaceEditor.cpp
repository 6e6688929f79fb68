#include "LoadReplaceEditor.h"

#include "Dialogs.h"
#include "LoadReplaceFile.h"

LoadReplaceEditor::LoadReplaceEditor(LoadReplaceList &rules, Dialogs &dialogs, Hooks hooks)
    : m_rules(rules), m_dialogs(dialogs), m_hooks(std::move(hooks)),
      m_listRules(rules, {[&dialogs](const QString &question) { return dialogs.confirm(question); },
                          [&dialogs](const QString &text) { dialogs.error(text); },
                          [this] { save(); },
                          [this] { return m_hooks.filePath(); },
                          {}}) {
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

QString LoadReplaceEditor::rtreeEdited(qsizetype flat, const QString &text) {
    if (flat < 0 || flat >= m_rules.nodeCount())
        return text;
    const QString unique = m_listRules.uniqueName(text);
    m_rules.setNodeText(flat, unique);
    return unique;
}

void LoadReplaceEditor::save() {
    QString error;
    if (!save_rlist(m_hooks.filePath(), m_rules, &error))
        m_dialogs.error(error);
}

#include "DropTargets.h"

void DropTargets::add(QWidget *widget, const QString &caption, Drop drop, Refusal refusal) {
    m_targets.append({widget, caption, std::move(drop), std::move(refusal)});
}

QList<DropTargets::Target> DropTargets::shown() const {
    QList<Target> result;
    for (const Target &target : m_targets)
        if (target.widget && target.widget->isVisible())
            result.append(target);
    return result;
}

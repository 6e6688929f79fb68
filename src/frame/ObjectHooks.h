#pragma once

#include <QList>
#include <QString>
#include <functional>

// What subsystems say about single objects (by their GAN) that other subsystems ask: whether an
// object may announce a change of its value just now, and the actions offered on an object
// wherever the program shows one (the tray popup's entries). One for the whole program.
class ObjectHooks {
public:
    // Whether the object may raise a balloon, an important message or a sound now.
    using NotificationGate = std::function<bool(const QString &gan)>;
    struct Action {
        QString name;    // objectName of the menu item
        QString caption; // its German caption, also its accessible name
        // Whether the action applies to the object now; none: always.
        std::function<bool(const QString &gan)> available;
        std::function<void(const QString &gan)> run;
    };

    // Every gate is asked; one that says no holds the notification back.
    void addNotificationGate(NotificationGate gate) { m_gates.append(std::move(gate)); }
    bool mayNotify(const QString &gan) const;

    // Offered in the order added.
    void addAction(Action action) { m_actions.append(std::move(action)); }
    const QList<Action> &actions() const { return m_actions; }

private:
    QList<NotificationGate> m_gates;
    QList<Action> m_actions;
};

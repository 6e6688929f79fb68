#pragma once

#include "MailAccount.h"
#include "MailPanel.h"
#include "Subsystem.h"

#include <QObject>
#include <QPointer>
#include <memory>

class MailPoller;

// Mail polling in the program: the accounts with their file "quendramail.ini", the poll sending
// through the gateway link, and the tab "Email", whose switch and interval are the settings "Mail"
// and "Mailtime".
class MailWiring : public QObject, public Subsystem {
    Q_OBJECT
public:
    explicit MailWiring(QObject *parent = nullptr);
    ~MailWiring() override;

    const MailAccountList &accounts() const { return m_accounts; }
    // Present once attached.
    MailPanel *panel() const { return m_panel; }
    MailPoller *poller() const { return m_poller.get(); }

    void attach(Frame &frame) override;
    // `load_elist` and `save_elist`: the file in the configuration folder.
    void load(const QString &folder) override;
    bool save(const QString &folder) override;

private:
    Frame *m_frame = nullptr;
    MailAccountList m_accounts;
    std::unique_ptr<MailPoller> m_poller;
    QPointer<MailPanel> m_panel; // owned by its tab
};

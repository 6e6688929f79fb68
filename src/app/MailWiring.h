#pragma once

#include "MailAccount.h"

#include <QObject>
#include <memory>

class AppCore;
class LinkController;
class MailPanel;
class MailPoller;
class MainWindow;

// Puts mail polling into the program: the accounts with their file (loaded and saved through the
// start-up's and the closing sequence's hooks), the poll sending through the gateway link, and the
// tab "Email", whose switch and interval are the settings "Mail" and "Mailtime".
class MailWiring : public QObject {
    Q_OBJECT
public:
    // The window's tabs get the panel; the link must outlive this object.
    MailWiring(AppCore &core, MainWindow &window, LinkController &link, QObject *parent = nullptr);
    ~MailWiring() override;

    // load_elist and save_elist: the file in the configuration folder.
    void load(const QString &folder);
    bool save(const QString &folder);

    const MailAccountList &accounts() const { return m_accounts; }
    MailPanel *panel() const { return m_panel; }
    MailPoller *poller() const { return m_poller.get(); }

private:
    AppCore &m_core;
    MailAccountList m_accounts;
    std::unique_ptr<MailPoller> m_poller;
    MailPanel *m_panel = nullptr; // owned by the tab
};

#pragma once

#include "MailAccount.h"
#include "MailExchange.h"

#include <QObject>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

class CommandChannel;
class Dialogs;
class TrayIcon;

// The mail poll: `Timer3` ticks every "Mailtime" minutes while "Email abruf" is ticked; each tick
// takes the accounts whose fetch flag is "-1", asks their mailboxes on a worker thread one after
// the other (through the mailbox plugin, loaded at the first poll), and for each answer sends on the GUI thread the
// count line, then per slot the sender, subject and date lines, and shows the count balloon. Nothing happens while the
// gateway link is down, not even a mailbox connection. A failed account is reported once (error box and bus monitor)
// and the next account is asked all the same. A tick that comes while the previous poll still runs is skipped.
class MailPoller : public QObject {
    Q_OBJECT
public:
    // linkUp: whether the gateway link works at this moment.
    MailPoller(const MailAccountList &accounts, CommandChannel &channel, std::function<bool()> linkUp, TrayIcon &tray,
               Dialogs &dialogs, MailFetchOptions options = {}, QObject *parent = nullptr);
    // Cancels a poll under way; its exchange ends at the next byte or wait.
    ~MailPoller() override;

    bool pollRunning() const { return m_running; }

    void Timer3Timer();
    // "Email abruf": Timer3 runs exactly while it is ticked.
    void OVGETMAILClick(bool checked);
    // A new interval in minutes restarts the period. A text that is no whole number stops the
    // poll (error box) until the next valid interval or a click on "Email abruf". An interval
    // below one minute (a settings file may hold 0) would poll without a pause: it is taken as
    // one minute, with an information box; the setting keeps its text.
    void OVMAILTIMEChange(const QString &minutes);
    // How long a minute of the interval lasts; tests shorten it.
    void setMinuteMs(int ms) { m_minuteMs = ms; }

signals:
    // One account's answer was handled (lines sent, balloon shown or failure reported).
    void accountPolled(const QString &name);
    // Every account of a tick was handled.
    void pollFinished();

private:
    void handle(const MailAccount &account, const MailboxReport &report);
    void send(const QString &gan, const QString &value);

    const MailAccountList &m_accounts;
    CommandChannel &m_channel;
    std::function<bool()> m_linkUp;
    TrayIcon &m_tray;
    Dialogs &m_dialogs;
    MailFetchOptions m_options;
    QTimer m_timer3{this};
    int m_minuteMs = 60000;
    bool m_mailOn = false;
    bool m_running = false;
    std::shared_ptr<std::atomic_bool> m_cancelled = std::make_shared<std::atomic_bool>(false);
    QThread m_thread;
    QObject *m_worker = nullptr; // lives on m_thread
    // The mailbox plugin's exchange once the worker loaded it; only the worker touches it.
    std::shared_ptr<MailExchange *> m_exchange = std::make_shared<MailExchange *>(nullptr);
};

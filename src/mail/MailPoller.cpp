#include "MailPoller.h"

#include "CommandChannel.h"
#include "Dialogs.h"
#include "MailPlugin.h"
#include "MailTexts.h"
#include "TrayIcon.h"

namespace {
constexpr int kDefaultMinutes = 5;

MailServerAccess accessOf(const MailAccount &account) {
    return {account.host, account.port, account.login, account.password, account.tls};
}
} // namespace

MailPoller::MailPoller(const MailAccountList &accounts, CommandChannel &channel, std::function<bool()> linkUp,
                       TrayIcon &tray, Dialogs &dialogs, MailFetchOptions options, QObject *parent)
    : QObject(parent), m_accounts(accounts), m_channel(channel), m_linkUp(std::move(linkUp)), m_tray(tray),
      m_dialogs(dialogs), m_options(std::move(options)) {
    m_timer3.setObjectName(QStringLiteral("Timer3"));
    m_timer3.setInterval(kDefaultMinutes * m_minuteMs);
    connect(&m_timer3, &QTimer::timeout, this, &MailPoller::Timer3Timer);
    m_thread.setObjectName(QStringLiteral("MailPoll"));
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

MailPoller::~MailPoller() {
    *m_cancelled = true;
    m_thread.quit();
    m_thread.wait();
}

void MailPoller::Timer3Timer() {
    if (m_running || m_accounts.isEmpty() || !m_linkUp())
        return;
    MailAccountList polled;
    for (const MailAccount &account : m_accounts)
        if (account.polled())
            polled.append(account);
    if (polled.isEmpty())
        return;
    m_running = true;
    // The poller outlives the worker's turn: its destructor waits for the thread.
    MailPoller *self = this;
    QMetaObject::invokeMethod(
        m_worker,
        [self, polled, options = m_options, cancelled = m_cancelled, exchange = m_exchange,
         plugin = ProgramPaths::mailPlugin()] {
            // The plugin is loaded here, on the worker, at the first poll: loading VMime and the TLS
            // libraries takes a while. A plugin that cannot be loaded fails every account with its
            // reason, and the next poll tries again.
            QString unavailable;
            if (!*exchange)
                *exchange = MailPlugin::load(unavailable, plugin);
            for (const MailAccount &account : polled) {
                if (*cancelled)
                    return;
                MailboxReport report;
                if (*exchange)
                    report = (*exchange)->fetch(accessOf(account), options, *cancelled);
                else
                    report.error = unavailable;
                QMetaObject::invokeMethod(
                    self, [self, account, report = std::move(report)] { self->handle(account, report); },
                    Qt::QueuedConnection);
            }
            QMetaObject::invokeMethod(
                self,
                [self] {
                    self->m_running = false;
                    emit self->pollFinished();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void MailPoller::handle(const MailAccount &account, const MailboxReport &report) {
    if (report.count) {
        send(account.countGan, QString::number(*report.count));
        for (qsizetype s = 0; s < report.newest.size() && s < kMailSlotCount; ++s) {
            const MailSlot &slot = account.mailSlots[static_cast<size_t>(s)];
            const MailSummary &message = report.newest.at(s);
            send(slot.senderGan, message.sender);
            send(slot.subjectGan, message.subject);
            send(slot.dateGan, message.date ? mailDateText(*message.date) : QString());
            if (message.headerCut)
                m_channel.addToBusMonitor(kMailHeaderCut.arg(account.name, QString::number(s + 1),
                                                             QString::number(m_options.headerBytes / 1024)));
        }
    }
    if (!report.error.isEmpty()) {
        const QString text = kMailPollFailed.arg(account.name, report.error);
        m_channel.addToBusMonitor(text);
        emit accountPolled(account.name);
        m_dialogs.error(text);
        return;
    }
    if (account.showsBalloon()) {
        const QString text = kMailBalloonText.arg(QString::number(*report.count), account.name);
        m_tray.setHint(text);
        m_tray.showBalloon(kMailBalloonTitle, text, kMailBalloonMs);
    }
    emit accountPolled(account.name);
}

void MailPoller::send(const QString &gan, const QString &value) {
    if (!gan.isEmpty())
        m_channel.sendLine(QStringLiteral("1|") + gan + u'|' + value);
}

void MailPoller::OVGETMAILClick(bool checked) {
    m_mailOn = checked;
    if (checked)
        m_timer3.start();
    else
        m_timer3.stop();
}

void MailPoller::OVMAILTIMEChange(const QString &minutes) {
    m_timer3.stop();
    bool ok = false;
    int value = minutes.trimmed().toInt(&ok);
    if (!ok) {
        m_dialogs.error(kNotAWholeNumber.arg(minutes));
        return;
    }
    if (value < 1) {
        m_dialogs.information(kMailIntervalRaised.arg(minutes.trimmed()));
        value = 1;
    }
    // QTimer takes an int of milliseconds; a larger interval than it holds is its largest.
    const qint64 ms = std::min(qint64(value) * m_minuteMs, qint64(std::numeric_limits<int>::max()));
    m_timer3.setInterval(static_cast<int>(ms));
    if (m_mailOn)
        m_timer3.start();
}

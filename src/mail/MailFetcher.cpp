#include "MailFetcher.h"

#include "MailTexts.h"

#include <QElapsedTimer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <mutex>
#include <vmime/vmime.hpp>

namespace {
// Ends the exchange after a silence, after the whole exchange's time, or when cancelled.
class ExchangeClock : public vmime::net::timeoutHandler {
public:
    ExchangeClock(const MailFetchOptions &options, const std::atomic_bool &cancelled)
        : m_options(options), m_cancelled(cancelled) {
        m_total.start();
        m_silence.start();
    }
    bool isTimeOut() override {
        return m_cancelled || m_silence.hasExpired(m_options.inactivityTimeoutMs) || totalExpired();
    }
    void resetTimeOut() override { m_silence.restart(); }
    bool handleTimeOut() override { return false; }
    bool totalExpired() const { return m_total.hasExpired(m_options.exchangeTimeoutMs); }
    bool cancelled() const { return m_cancelled; }
    int exchangeTimeoutMs() const { return m_options.exchangeTimeoutMs; }

private:
    const MailFetchOptions &m_options;
    const std::atomic_bool &m_cancelled;
    QElapsedTimer m_total;
    QElapsedTimer m_silence;
};

class ClockFactory : public vmime::net::timeoutHandlerFactory {
public:
    explicit ClockFactory(std::shared_ptr<ExchangeClock> clock) : m_clock(std::move(clock)) {}
    std::shared_ptr<vmime::net::timeoutHandler> create() override { return m_clock; }

private:
    std::shared_ptr<ExchangeClock> m_clock;
};

// What VMime may be holding of the exchange: every byte received since the last one that reached
// a message's sink (a greeting, a response line, the first line of a retrieval grow until their
// line ends). A message's own bytes pass through its sink and are not held.
struct ExchangeTally {
    qint64 held = 0;
    bool overBudget = false;
};

// The platform's socket, counting what arrives: past the budget, the time or a cancel, every
// read fails, so an endless line or an endless stream cannot keep the exchange going.
class BoundedSocket : public vmime::net::socket {
public:
    BoundedSocket(std::shared_ptr<vmime::net::socket> inner, std::shared_ptr<ExchangeClock> clock,
                  std::shared_ptr<ExchangeTally> tally, qint64 budget)
        : m_inner(std::move(inner)), m_clock(std::move(clock)), m_tally(std::move(tally)), m_budget(budget) {}

    void connect(const vmime::string &address, const vmime::port_t port) override { m_inner->connect(address, port); }
    void disconnect() override { m_inner->disconnect(); }
    bool isConnected() const override { return m_inner->isConnected(); }
    bool waitForRead(const int msecs) override { return m_inner->waitForRead(msecs); }
    bool waitForWrite(const int msecs) override { return m_inner->waitForWrite(msecs); }
    void receive(vmime::string &buffer) override {
        check();
        m_inner->receive(buffer);
        count(buffer.size());
    }
    size_t receiveRaw(vmime::byte_t *buffer, const size_t size) override {
        check();
        const size_t got = m_inner->receiveRaw(buffer, size);
        count(got);
        return got;
    }
    void send(const vmime::string &buffer) override { m_inner->send(buffer); }
    void send(const char *str) override { m_inner->send(str); }
    void sendRaw(const vmime::byte_t *buffer, const size_t size) override { m_inner->sendRaw(buffer, size); }
    size_t sendRawNonBlocking(const vmime::byte_t *buffer, const size_t size) override {
        return m_inner->sendRawNonBlocking(buffer, size);
    }
    size_t getBlockSize() const override { return m_inner->getBlockSize(); }
    unsigned int getStatus() const override { return m_inner->getStatus(); }
    const vmime::string getPeerName() const override { return m_inner->getPeerName(); }
    const vmime::string getPeerAddress() const override { return m_inner->getPeerAddress(); }
    std::shared_ptr<vmime::net::timeoutHandler> getTimeoutHandler() override { return m_inner->getTimeoutHandler(); }
    void setTracer(std::shared_ptr<vmime::net::tracer> tracer) override { m_inner->setTracer(std::move(tracer)); }
    std::shared_ptr<vmime::net::tracer> getTracer() override { return m_inner->getTracer(); }

private:
    void check() const {
        if (m_clock->cancelled() || m_clock->totalExpired())
            throw vmime::exceptions::operation_timed_out();
        if (m_tally->overBudget)
            throw vmime::exceptions::socket_exception(kMailServerTooMuch.toStdString());
    }
    void count(size_t bytes) {
        m_tally->held += static_cast<qint64>(bytes);
        if (m_tally->held > m_budget)
            m_tally->overBudget = true;
        check();
    }

    std::shared_ptr<vmime::net::socket> m_inner;
    std::shared_ptr<ExchangeClock> m_clock;
    std::shared_ptr<ExchangeTally> m_tally;
    qint64 m_budget;
};

class BoundedSocketFactory : public vmime::net::socketFactory {
public:
    BoundedSocketFactory(std::shared_ptr<ExchangeClock> clock, std::shared_ptr<ExchangeTally> tally, qint64 budget)
        : m_platform(vmime::platform::getHandler()->getSocketFactory()), m_clock(std::move(clock)),
          m_tally(std::move(tally)), m_budget(budget) {}
    std::shared_ptr<vmime::net::socket> create() override { return wrap(m_platform->create(m_clock)); }
    std::shared_ptr<vmime::net::socket> create(std::shared_ptr<vmime::net::timeoutHandler> th) override {
        return wrap(m_platform->create(std::move(th)));
    }

private:
    std::shared_ptr<vmime::net::socket> wrap(std::shared_ptr<vmime::net::socket> inner) {
        return std::make_shared<BoundedSocket>(std::move(inner), m_clock, m_tally, m_budget);
    }
    std::shared_ptr<vmime::net::socketFactory> m_platform;
    std::shared_ptr<ExchangeClock> m_clock;
    std::shared_ptr<ExchangeTally> m_tally;
    qint64 m_budget;
};

// Where a retrieved message streams: its header is kept, the rest counted and dropped.
class HeaderSink : public vmime::utility::outputStream {
public:
    HeaderSink(qsizetype headerBytes, std::shared_ptr<ExchangeTally> tally)
        : m_collector(headerBytes), m_tally(std::move(tally)) {}
    void flush() override {}
    const MailHeaderCollector &collector() const { return m_collector; }

protected:
    void writeImpl(const vmime::byte_t *const data, const size_t count) override {
        m_collector.take(QByteArrayView(data, static_cast<qsizetype>(count)));
        m_tally->held = 0;
    }

private:
    MailHeaderCollector m_collector;
    std::shared_ptr<ExchangeTally> m_tally;
};

std::shared_ptr<vmime::security::cert::X509Certificate> toVmime(const QByteArray &encoded) {
    return vmime::security::cert::X509Certificate::import(reinterpret_cast<const vmime::byte_t *>(encoded.constData()),
                                                          static_cast<size_t>(encoded.size()));
}

// The system's certificate authorities, read once; reading them takes a while.
const std::vector<std::shared_ptr<vmime::security::cert::X509Certificate>> &systemAuthorities() {
    static std::vector<std::shared_ptr<vmime::security::cert::X509Certificate>> authorities;
    static std::once_flag once;
    std::call_once(once, [] {
        for (const QSslCertificate &certificate : QSslConfiguration::systemCaCertificates())
            if (auto converted = toVmime(certificate.toDer()))
                authorities.push_back(converted);
    });
    return authorities;
}

std::shared_ptr<vmime::security::cert::certificateVerifier> verifier(const MailFetchOptions &options) {
    auto authorities = systemAuthorities();
    for (const QByteArray &pem : options.extraTrustedCertificates)
        if (auto converted = toVmime(pem))
            authorities.push_back(converted);
    auto result = std::make_shared<vmime::security::cert::defaultCertificateVerifier>();
    result->setX509RootCAs(authorities);
    return result;
}

// A server's words in a message: one line, and not more of it than a message box can show.
QString serverWords(const std::string &response) {
    constexpr qsizetype kShown = 200;
    const QString text =
        singleLineText(mailBytesAsText(QByteArrayView(response.data(), static_cast<qsizetype>(response.size()))))
            .trimmed();
    return text.size() > kShown ? text.left(kShown) + u'…' : text;
}

QString errorText(const vmime::exception &e, const ExchangeClock &clock, const ExchangeTally &tally) {
    // Our own bounds first: VMime reports them as whatever its read was doing at the time.
    if (tally.overBudget)
        return kMailServerTooMuch;
    if (clock.cancelled())
        return kMailPollCancelled;
    if (clock.totalExpired())
        return kMailServerTooSlow.arg(clock.exchangeTimeoutMs() / 1000);
    if (dynamic_cast<const vmime::exceptions::operation_timed_out *>(&e))
        return kMailServerTimeout;
    if (auto greeting = dynamic_cast<const vmime::exceptions::connection_greeting_error *>(&e))
        return kMailNotPop3.arg(serverWords(greeting->response()));
    if (auto auth = dynamic_cast<const vmime::exceptions::authentication_error *>(&e))
        return kMailLoginRefused.arg(serverWords(auth->response()));
    if (auto command = dynamic_cast<const vmime::exceptions::command_error *>(&e))
        return kMailCommandRefused.arg(serverWords(command->command()), serverWords(command->response()));
    if (auto response = dynamic_cast<const vmime::exceptions::invalid_response *>(&e))
        return kMailBadResponse.arg(serverWords(response->response()));
    if (dynamic_cast<const vmime::exceptions::connection_error *>(&e))
        return kMailNoConnection;
    if (dynamic_cast<const vmime::exceptions::socket_exception *>(&e))
        return kMailConnectionLost;
    if (dynamic_cast<const vmime::security::cert::certificateException *>(&e))
        return kMailCertificateRefused;
    if (dynamic_cast<const vmime::exceptions::tls_exception *>(&e))
        return kMailTlsFailed;
    return kMailExchangeFailed.arg(serverWords(e.what()));
}

MailSummary retrieve(vmime::net::folder &folder, size_t number, qsizetype headerBytes,
                     const std::shared_ptr<ExchangeTally> &tally) {
    HeaderSink sink(headerBytes, tally);
    try {
        folder.getMessage(number)->extract(sink);
    } catch (const vmime::exceptions::command_error &) {
        // The server refused this one message: its slot gets the values of an empty message.
        return {};
    }
    MailSummary summary = summarizeMessage(sink.collector().header());
    summary.headerCut = sink.collector().cut();
    return summary;
}
} // namespace

MailboxReport fetchMailbox(const MailServerAccess &access, const MailFetchOptions &options,
                           const std::atomic_bool &cancelled) {
    MailboxReport report;
    bool portOk = false;
    const uint port = access.port.trimmed().toUInt(&portOk);
    if (!portOk || port == 0 || port > 65535) {
        report.error = notAPortNumber(access.port);
        return report;
    }
    const bool pop3s = port == static_cast<uint>(options.pop3sPort);

    auto clock = std::make_shared<ExchangeClock>(options, cancelled);
    auto tally = std::make_shared<ExchangeTally>();
    std::shared_ptr<vmime::net::store> store;
    try {
        auto session = vmime::net::session::create();
        const vmime::utility::url url(pop3s ? "pop3s" : "pop3", access.host.toStdString(),
                                      static_cast<vmime::port_t>(port), "", access.login.toStdString(),
                                      access.password.toStdString());
        store = session->getStore(url);
        store->setProperty("options.sasl", false);
        store->setProperty("options.apop", false);
        if (!pop3s && access.tls) {
            store->setProperty("connection.tls", true);
            store->setProperty("connection.tls.required", true);
        }
        store->setTimeoutHandlerFactory(std::make_shared<ClockFactory>(clock));
        store->setSocketFactory(std::make_shared<BoundedSocketFactory>(clock, tally, options.exchangeByteBudget));
        store->setCertificateVerifier(verifier(options));
        store->connect();

        auto folder = store->getDefaultFolder();
        folder->open(vmime::net::folder::MODE_READ_ONLY);
        const size_t count = folder->getMessageCount();
        report.count = static_cast<qint64>(std::min<size_t>(count, std::numeric_limits<qint64>::max()));
        const auto headerBytes = static_cast<qsizetype>(options.headerBytes);
        for (size_t s = 1; s <= std::min<size_t>(count, kNewestMessages); ++s)
            report.newest.append(retrieve(*folder, count - s + 1, headerBytes, tally));
        folder->close(false);
    } catch (const vmime::exception &e) {
        report.error = errorText(e, *clock, *tally);
    } catch (const std::exception &e) {
        report.error = kMailExchangeFailed.arg(serverWords(e.what()));
    }
    // QUIT, also after an error; a connection that broke just goes.
    try {
        if (store && store->isConnected())
            store->disconnect();
    } catch (const std::exception &) {
    }
    return report;
}

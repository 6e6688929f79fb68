// ovsim: a stand-in for the Orvanel server, so Quendra can be developed, tested and shown
// without one. It offers the KO gateway and the catalogue on the web port.

#include "AnsiText.h"
#include "CatalogueServer.h"
#include "DemoChanger.h"
#include "GatewayServer.h"
#include "Log.h"
#include "ObjectStore.h"
#include "TerminationSignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <cstdio>
#include <memory>
#include <optional>

namespace {
const char kDescription[] = "Orvanel server simulator: serves the KO gateway and the object catalogue to Quendra.\n"
                            "\n"
                            "KO gateway (TCP; every line ends with one NUL byte; bytes are Windows-1252):\n"
                            "  first line      the key; a wrong key closes the connection\n"
                            "  after the key   \"2|GAN|value\" for every object, then every change\n"
                            "  1|GAN|value     sets a value and reports \"2|GAN|value\" to every client, the\n"
                            "                  sender included; one-bit objects (fmt EIS1) as 1.0 / 0.0,\n"
                            "                  numbers with \".\"; an unknown GAN is stored as text\n"
                            "  0|GAN           read request: \"2|GAN|value\" to the sender only\n"
                            "  anything else   one reply \"9|ERR|text\" (also for a value that does not fit)\n"
                            "Web port (HTTP/1.1): GET /ovcl?sys/cobjects.xml returns the catalogue file\n"
                            "unchanged as text/xml; other paths 404, malformed requests 400.\n"
                            "\n"
                            "Once listening, ovsim prints one line to stdout:\n"
                            "  ovsim gateway-port=N web-port=M\n"
                            "and logs connections, keys and set values to stderr. SIGTERM or SIGINT end it.";

const QString kBuiltInCatalogue = u":/ovsim/cobjects.xml"_qs;

int usageError(const QString &text) {
    std::fprintf(stderr, "ovsim: %s (see --help)\n", text.toLocal8Bit().constData());
    return 2;
}

std::optional<quint16> parsePort(const QString &text) {
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}
} // namespace

int main(int argc, char *argv[]) {
    // First of all, so that a signal during the set-up is not lost but ends the program after it.
    TerminationSignals::install();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"ovsim"_qs);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    const QCommandLineOption hostOption(u"host"_qs, u"Address to listen on (default 127.0.0.1)."_qs, u"ADDR"_qs,
                                        u"127.0.0.1"_qs);
    const QCommandLineOption portOption(
        u"port"_qs, u"KO gateway port; 0 lets the system pick a free one (default 0)."_qs, u"N"_qs, u"0"_qs);
    const QCommandLineOption webPortOption(
        u"web-port"_qs, u"Web port for the catalogue; 0 lets the system pick (default 0)."_qs, u"N"_qs, u"0"_qs);
    const QCommandLineOption keyOption(u"key"_qs, u"Access key a client must send first (default \"demo\")."_qs,
                                       u"TEXT"_qs, u"demo"_qs);
    const QCommandLineOption catalogueOption(
        u"catalogue"_qs, u"Catalogue document to serve and take the objects from (default: the built-in demo)."_qs,
        u"FILE"_qs);
    const QCommandLineOption demoOption(
        u"demo"_qs, u"Change a few values by itself: temperature 1280, window 1025, message text 70001."_qs);
    const QCommandLineOption intervalOption(
        u"demo-interval"_qs, u"Milliseconds between demo changes (default 3000)."_qs, u"MS"_qs, u"3000"_qs);
    parser.addOptions({hostOption, portOption, webPortOption, keyOption, catalogueOption, demoOption, intervalOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return usageError(u"unexpected argument "_qs + parser.positionalArguments().constFirst());

    QHostAddress host;
    const QString hostText = parser.value(hostOption);
    if (hostText == u"localhost")
        host = QHostAddress(QHostAddress::LocalHost);
    else if (!host.setAddress(hostText))
        return usageError(u"--host needs a numeric address, not "_qs + hostText);
    const auto port = parsePort(parser.value(portOption));
    const auto webPort = parsePort(parser.value(webPortOption));
    if (!port || !webPort)
        return usageError(u"ports are whole numbers from 0 to 65535"_qs);
    bool intervalOk = false;
    const int interval = parser.value(intervalOption).toInt(&intervalOk);
    if (!intervalOk || interval < 1)
        return usageError(u"--demo-interval needs a positive number of milliseconds"_qs);

    const QString cataloguePath = parser.isSet(catalogueOption) ? parser.value(catalogueOption) : kBuiltInCatalogue;
    QFile catalogueFile(cataloguePath);
    if (!catalogueFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "ovsim: cannot read the catalogue %s: %s\n", cataloguePath.toLocal8Bit().constData(),
                     catalogueFile.errorString().toLocal8Bit().constData());
        return 1;
    }
    const QByteArray catalogue = catalogueFile.readAll();

    ObjectStore store;
    for (const QString &warning : store.loadCatalogue(catalogue))
        logEvent(warning);
    GatewayServer gateway(store, AnsiText::encode(parser.value(keyOption)));
    CatalogueServer web(catalogue);
    if (!gateway.listen(host, *port)) {
        std::fprintf(stderr, "ovsim: gateway cannot listen on %s:%u: %s\n", hostText.toLocal8Bit().constData(), *port,
                     gateway.errorString().toLocal8Bit().constData());
        return 1;
    }
    if (!web.listen(host, *webPort)) {
        std::fprintf(stderr, "ovsim: web port cannot listen on %s:%u: %s\n", hostText.toLocal8Bit().constData(),
                     *webPort, web.errorString().toLocal8Bit().constData());
        return 1;
    }
    std::unique_ptr<DemoChanger> demo;
    if (parser.isSet(demoOption))
        demo = std::make_unique<DemoChanger>(store, interval);
    // Ends the event loop, so the simulator closes its sockets and exits with status 0 instead of
    // being killed mid-write.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, &QCoreApplication::quit);

    std::printf("ovsim gateway-port=%u web-port=%u\n", gateway.port(), web.port());
    std::fflush(stdout);
    logEvent(QStringLiteral("ovsim: %1 objects from %2, key \"%3\"%4")
                 .arg(store.values().size())
                 .arg(cataloguePath == kBuiltInCatalogue ? u"the demo catalogue"_qs : cataloguePath,
                      parser.value(keyOption), demo ? QStringLiteral(", demo every %1 ms").arg(interval) : QString()));

    const int status = QCoreApplication::exec();
    logEvent(u"ovsim: stopped"_qs);
    return status;
}

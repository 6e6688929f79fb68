#include "ProcessStats.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace {
QByteArray readAll(const QString &path) {
    QFile file(path);
    // /proc files report no size; readAll reads until the end all the same.
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 statusField(const QByteArray &status, const QByteArray &field) {
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

QString procPath(pid_t pid, const QString &rest) {
    return QStringLiteral("/proc/%1/%2").arg(pid).arg(rest);
}
} // namespace

namespace ProcessStats {

Sample sample(pid_t pid) {
    Sample s;
    const QStringList threads = QDir(procPath(pid, u"task"_qs)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &tid : threads) {
        const QString base = procPath(pid, u"task/"_qs + tid + u'/');
        // schedstat: time on a CPU (ns), time waiting to run (ns), time slices.
        const qint64 cpuNs = readAll(base + u"schedstat"_qs).split(' ').value(0).toLongLong();
        s.cpuNs += cpuNs;
        s.cpuNsByThreadName[QString::fromUtf8(readAll(base + u"comm"_qs).trimmed())] += cpuNs;
        const QByteArray status = readAll(base + u"status"_qs);
        s.switchesByThread.insert(tid.toInt(), statusField(status, "voluntary_ctxt_switches") +
                                                   statusField(status, "nonvoluntary_ctxt_switches"));
    }
    return s;
}

qint64 wakeUpsBetween(const Sample &before, const Sample &after) {
    qint64 wakeUps = 0;
    for (auto it = after.switchesByThread.cbegin(); it != after.switchesByThread.cend(); ++it)
        wakeUps += it.value() - before.switchesByThread.value(it.key(), 0);
    return wakeUps;
}

qint64 threadCpuNsBetween(const Sample &before, const Sample &after, const QString &threadName) {
    return after.cpuNsByThreadName.value(threadName) - before.cpuNsByThreadName.value(threadName);
}

qint64 residentKb(pid_t pid) {
    return statusField(readAll(procPath(pid, u"status"_qs)), "VmRSS");
}

qint64 peakResidentKb(pid_t pid) {
    return statusField(readAll(procPath(pid, u"status"_qs)), "VmHWM");
}

bool resetPeak(pid_t pid) {
    QFile file(procPath(pid, u"clear_refs"_qs));
    return file.open(QIODevice::WriteOnly) && file.write("5") == 1;
}

int sharedLibraryCount(pid_t pid) {
    QSet<QByteArray> files;
    for (const QByteArray &line : readAll(procPath(pid, u"maps"_qs)).split('\n')) {
        const qsizetype slash = line.indexOf('/');
        if (slash < 0)
            continue;
        const QByteArray file = line.mid(slash);
        if (file.contains(".so"))
            files.insert(file);
    }
    return int(files.size());
}

qint64 unreadBytesFrom(quint16 localPort) {
    // "sl local_address rem_address st tx_queue:rx_queue ...", addresses as HEXIP:HEXPORT.
    const QByteArray wanted = ':' + QByteArray::number(localPort, 16).toUpper().rightJustified(4, '0');
    const QList<QByteArray> lines = readAll(u"/proc/net/tcp"_qs).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 5 || !fields.at(1).endsWith(wanted))
            continue;
        const QList<QByteArray> queues = fields.at(4).split(':');
        if (queues.size() == 2)
            return queues.at(1).toLongLong(nullptr, 16);
    }
    return -1;
}

} // namespace ProcessStats

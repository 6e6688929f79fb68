#pragma once

#include "ValueTarget.h"

#include <QList>
#include <QString>

// Records every decoded line it is handed.
class RecordingTarget : public ValueTarget {
public:
    struct Seen {
        DecodedLine line;
        bool initial;
    };
    QList<Seen> seen;
    QStringList *order = nullptr; // shared log to check the order of several targets
    QString name;

    void onValue(const DecodedLine &line, bool initial) override {
        seen.append({line, initial});
        if (order)
            order->append(name);
    }
    // How often the line with this number and raw value came with the given flag.
    int count(const QString &gan, const QString &rawValue, bool initial) const {
        int n = 0;
        for (const Seen &s : seen)
            n += s.line.gan == gan && s.line.rawValue == rawValue && s.initial == initial;
        return n;
    }
};

#pragma once

#include "Dialogs.h"

#include <QList>
#include <QStringList>
#include <functional>

// Records every message box instead of showing it; confirm() answers from a script.
class FakeDialogs : public Dialogs {
public:
    enum class Kind { Error, Information, Message, Confirm };
    struct Box {
        Kind kind;
        QString text;
    };

    void error(const QString &text) override { show({Kind::Error, text}); }
    void information(const QString &text) override { show({Kind::Information, text}); }
    void message(const QString &text) override { show({Kind::Message, text}); }
    // The next scripted answer; "No" when the script is used up or the boxes were closed.
    bool confirm(const QString &text) override {
        show({Kind::Confirm, text});
        return !closedAll && !answers.isEmpty() && answers.takeFirst();
    }
    void closeAll() override { closedAll = true; }

    // The texts of the boxes of one kind, in the order shown.
    QStringList texts(Kind kind) const {
        QStringList result;
        for (const Box &box : boxes)
            if (box.kind == kind)
                result.append(box.text);
        return result;
    }

    QList<Box> boxes;
    QList<bool> answers;
    // Runs while a box is "open": what happens meanwhile (a timer, a signal) happens here.
    std::function<void(const Box &box)> whileOpen;
    bool closedAll = false;

private:
    void show(const Box &box) {
        boxes.append(box);
        if (whileOpen && !closedAll)
            whileOpen(box);
    }
};

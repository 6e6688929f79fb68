#pragma once

#include "Dialogs.h"

#include <QList>
#include <QStringList>

// Records every message box instead of showing it; confirm() answers from a script.
class FakeDialogs : public Dialogs {
public:
    enum class Kind { Error, Information, Message, Confirm };
    struct Box {
        Kind kind;
        QString text;
    };

    void error(const QString &text) override { boxes.append({Kind::Error, text}); }
    void information(const QString &text) override { boxes.append({Kind::Information, text}); }
    void message(const QString &text) override { boxes.append({Kind::Message, text}); }
    // The next scripted answer; "No" when the script is used up.
    bool confirm(const QString &text) override {
        boxes.append({Kind::Confirm, text});
        return !answers.isEmpty() && answers.takeFirst();
    }

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
};

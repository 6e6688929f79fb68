#pragma once

#include "IniFile.h"

#include <QString>
#include <initializer_list>
#include <variant>
#include <vector>

// The keys of one INI format as one list, in the order the file stores them: each names its key,
// the member of T that holds it and how the value is written. Reading and writing both walk the
// list, so no key can be read but not written. A key missing from the file, or a number that
// does not read as one, leaves the member as the object passed in had it (its default). An
// optional text that is empty is not written, so it is meant for sections written afresh.
// `suffix` follows every key: the rows of a numbered list share one table ("ANA-" + "3").
template <typename T> class IniFieldTable {
public:
    enum class Kind {
        Text,         // stored as it is
        OptionalText, // stored as it is, and only when not empty (no key means empty)
        Number,       // a whole number in decimal
        Flag,         // "1"/"0"; any whole number but 0 reads as true
        MinusOneFlag  // "-1"/"0"; any whole number but 0 reads as true
    };
    struct Field {
        QString key;
        Kind kind;
        std::variant<QString T::*, int T::*, bool T::*> member;
    };

    static Field text(QString key, QString T::*member) { return {std::move(key), Kind::Text, member}; }
    static Field optionalText(QString key, QString T::*member) { return {std::move(key), Kind::OptionalText, member}; }
    static Field number(QString key, int T::*member) { return {std::move(key), Kind::Number, member}; }
    static Field flag(QString key, bool T::*member) { return {std::move(key), Kind::Flag, member}; }
    static Field minusOneFlag(QString key, bool T::*member) { return {std::move(key), Kind::MinusOneFlag, member}; }

    IniFieldTable(std::initializer_list<Field> fields) : m_fields(fields) {}
    explicit IniFieldTable(std::vector<Field> fields) : m_fields(std::move(fields)) {}

    const std::vector<Field> &fields() const { return m_fields; }

    void read(const IniFile &ini, const QString &section, T &into, const QString &suffix = {}) const {
        for (const Field &f : m_fields) {
            const QString key = f.key + suffix;
            if (!ini.hasKey(section, key))
                continue;
            if (auto text = std::get_if<QString T::*>(&f.member)) {
                into.*(*text) = ini.readString(section, key);
            } else if (auto number = std::get_if<int T::*>(&f.member)) {
                into.*(*number) = ini.readInt(section, key, into.*(*number));
            } else {
                bool &flag = into.*std::get<bool T::*>(f.member);
                flag = ini.readInt(section, key, flag ? 1 : 0) != 0;
            }
        }
    }

    void write(IniFile &ini, const QString &section, const T &from, const QString &suffix = {}) const {
        for (const Field &f : m_fields) {
            const QString key = f.key + suffix;
            if (auto text = std::get_if<QString T::*>(&f.member)) {
                if (f.kind != Kind::OptionalText || !(from.*(*text)).isEmpty())
                    ini.writeString(section, key, from.*(*text));
            } else if (auto number = std::get_if<int T::*>(&f.member)) {
                ini.writeInt(section, key, from.*(*number));
            } else {
                const bool on = from.*std::get<bool T::*>(f.member);
                ini.writeInt(section, key, on ? (f.kind == Kind::MinusOneFlag ? -1 : 1) : 0);
            }
        }
    }

private:
    std::vector<Field> m_fields;
};

// Random edits of an INI file match a plain model: writes, integer writes, erased sections and
// saves followed by a fresh read. Input: one edit per line; "w" section key value, "n" section key
// number, "e" section, "s" save and read again (the section and key are picked by a byte each).
#include "FuzzCheck.h"
#include "IniFile.h"
#include "Reference.h"

#include <QFile>
#include <array>
#include <memory>
#include <vector>

namespace {
// Names differing only in case are one name; "" and "x y" are names too.
const std::array<QString, 8> kSections = {u"A"_qs, u"a"_qs, u"Menu"_qs, u"MENU"_qs, u"0"_qs, u"11"_qs, u"x y"_qs, {}};
const std::array<QString, 6> kKeys = {u"Key"_qs, u"KEY"_qs, u"key"_qs, u"Wert"_qs, u"GAN"_qs, u"k 2"_qs};

struct ModelSection {
    QString name;
    std::vector<std::pair<QString, QString>> keys;
};

bool sameName(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value byte: a few stand for characters a byte cannot give (line breaks, unmappable ones).
QString valueText(QByteArrayView bytes) {
    QString text;
    for (char c : bytes) {
        switch (c) {
        case '\x01':
            text += u'\n';
            break;
        case '\x02':
            text += u'\r';
            break;
        case '\x03':
            text += u"\r\n";
            break;
        case '\x04':
            text += QChar(0x4E2D);
            break;
        case '\x05':
            text += QChar(0x20AC);
            break;
        default:
            text += QChar(static_cast<char16_t>(static_cast<uint8_t>(c)));
        }
    }
    return text;
}

QString withoutLineBreaks(QString value) {
    return value.replace(u"\r\n"_qs, u" "_qs).replace(u'\r', u' ').replace(u'\n', u' ');
}

class Model {
public:
    void write(const QString &section, const QString &key, const QString &value) {
        ModelSection *s = find(section);
        if (!s)
            s = &m_sections.emplace_back(ModelSection{section, {}});
        for (auto &[k, v] : s->keys) {
            if (sameName(k, key)) {
                v = value;
                return;
            }
        }
        s->keys.emplace_back(key, value);
    }
    void erase(const QString &section) {
        std::erase_if(m_sections, [&](const ModelSection &s) { return sameName(s.name, section); });
    }
    // What a save and a fresh read make of the values.
    void throughFile() {
        for (ModelSection &s : m_sections)
            for (auto &[k, v] : s.keys)
                v = Reference::throughCp1252(v);
    }
    std::optional<QString> value(const QString &section, const QString &key) const {
        const ModelSection *s = const_cast<Model *>(this)->find(section);
        if (s)
            for (const auto &[k, v] : s->keys)
                if (sameName(k, key))
                    return v;
        return std::nullopt;
    }
    void check(const IniFile &ini) const {
        QStringList names;
        for (const ModelSection &s : m_sections)
            names.append(s.name);
        FUZZ_CHECK(ini.sections() == names);
        for (const QString &section : kSections) {
            FUZZ_CHECK(ini.hasSection(section) == (const_cast<Model *>(this)->find(section) != nullptr));
            for (const QString &key : kKeys) {
                const std::optional<QString> expected = value(section, key);
                FUZZ_CHECK(ini.hasKey(section, key) == expected.has_value());
                FUZZ_CHECK(ini.readString(section, key, QStringLiteral("\x01")) == expected.value_or(u"\x01"_qs));
            }
        }
    }

private:
    ModelSection *find(const QString &section) {
        for (ModelSection &s : m_sections)
            if (sameName(s.name, section))
                return &s;
        return nullptr;
    }
    std::vector<ModelSection> m_sections;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString path = Reference::tempFile(QStringLiteral("edits.ini"));
    QFile::remove(path);
    auto ini = std::make_unique<IniFile>(path);
    Model model;
    for (const QByteArray &op : Reference::bytes(data, size).split('\n')) {
        if (op.isEmpty())
            continue;
        const QString &section = kSections[static_cast<uint8_t>(op.size() > 1 ? op.at(1) : 0) % kSections.size()];
        const QString &key = kKeys[static_cast<uint8_t>(op.size() > 2 ? op.at(2) : 0) % kKeys.size()];
        const QByteArray rest = op.mid(3);
        if (op.at(0) == 'w') {
            const QString value = valueText(rest);
            ini->writeString(section, key, value);
            model.write(section, key, withoutLineBreaks(value));
        } else if (op.at(0) == 'n') {
            const int number = rest.toInt();
            ini->writeInt(section, key, number);
            model.write(section, key, QString::number(number));
            FUZZ_CHECK(ini->readInt(section, key, number ^ 1) == number);
        } else if (op.at(0) == 'e') {
            ini->eraseSection(section);
            model.erase(section);
        } else if (op.at(0) == 's') {
            FUZZ_CHECK(ini->save());
            // A new file gets CR LF, and values cannot break lines.
            const QByteArray saved = Reference::readFile(path);
            FUZZ_CHECK(saved.count('\n') == saved.count("\r\n"));
            FUZZ_CHECK(saved.count('\r') == saved.count("\r\n"));
            ini = std::make_unique<IniFile>(path);
            FUZZ_CHECK(ini->readOk());
            model.throughFile();
        }
        model.check(*ini);
    }
    return 0;
}

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <utility>
#include <vector>

// The server's communication objects by GAN, each with its current value in the gateway's form:
// Windows-1252 bytes, numbers with "." and one-bit (EIS1) values as 1.0 or 0.0.
class ObjectStore : public QObject {
    Q_OBJECT

public:
    enum class SetResult { Stored, NotANumber, TooLong, TooManyObjects };

    // Bounds what clients can make the store hold: the length of one value and the number of
    // objects they may add beyond the catalogue.
    static constexpr qsizetype kMaxValueLength = 2048;
    static constexpr std::size_t kMaxAddedObjects = 256;

    using QObject::QObject;

    // Takes every "cobject" element with a usable ganum. The document may be broken on purpose
    // (it is served unchanged to test the client), so nothing here is fatal: the returned texts
    // tell a person which elements were skipped and where the XML went wrong.
    QStringList loadCatalogue(const QByteArray &document);

    bool contains(quint32 gan) const { return m_objects.contains(gan); }
    std::optional<QByteArray> value(quint32 gan) const;
    // All values in ascending GAN order.
    std::vector<std::pair<quint32, QByteArray>> values() const;

    // Stores the value in the object's form and reports it with valueChanged, also when it did
    // not change. An unknown GAN becomes a text object.
    SetResult set(quint32 gan, const QByteArray &value);

    // Decimal digits only, fitting 32 bits.
    static std::optional<quint32> parseGan(QByteArrayView text);
    // Accepts "." or "," as decimal separator and blanks around the number.
    static std::optional<double> parseNumber(const QByteArray &text);
    // "40.0", "21.5", "-3.25": the shortest exact decimal, with ".0" for whole numbers.
    static QByteArray formatNumber(double number);

signals:
    void valueChanged(quint32 gan, const QByteArray &value);

private:
    enum class Kind { Bit, Number, Text };
    struct Object {
        Kind kind = Kind::Text;
        QByteArray value;
    };

    static Kind kindOf(const QString &fmt);
    static std::optional<QByteArray> normalised(Kind kind, const QByteArray &value);

    std::map<quint32, Object> m_objects;
    std::size_t m_addedObjects = 0;
};
